// sollumen-cli render: the default scene drawn into a PNG image, without a
// display.
#include "Cli.h"
#include "DocumentArgs.h"
#include "MinorBodyArgs.h"

#include "app/SceneImage.h"
#include "astro/DatesAndTimes.h"
#include "astro/util404.h"
#include "scene/SolarSystem.h"

#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

namespace {

// The instants the program shows.
constexpr long double FirstJD = 990924.5L;
constexpr long double LastJD = 3912515.5L;
constexpr int MinSize = 16;
constexpr int MaxSize = 8192;

std::string Lower(std::string s)
{
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The scene's switches by their names without "Show".
std::map<std::string, bool TSolarSystem::*> Switches()
{
  return {{"orbits", &TSolarSystem::ShowOrbits},
          {"names", &TSolarSystem::ShowNames},
          {"sun", &TSolarSystem::ShowSun},
          {"rotaxis", &TSolarSystem::ShowRotAxis},
          {"rotation", &TSolarSystem::ShowRotation},
          {"perpendiculars", &TSolarSystem::ShowPerpendiculars},
          {"apsides", &TSolarSystem::ShowApsides},
          {"lineofnodes", &TSolarSystem::ShowLineOfNodes},
          {"directions", &TSolarSystem::ShowDirections},
          {"satellites", &TSolarSystem::ShowSatellites}};
}

// The switches named in a comma-separated list.
std::vector<bool TSolarSystem::*> SwitchList(const std::string& list, const std::string& option)
{
  const auto switches = Switches();
  std::vector<bool TSolarSystem::*> out;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = list.find(',', start);
    const std::string name = list.substr(start, comma == std::string::npos ? comma : comma - start);
    auto it = switches.find(Lower(name));
    if (it == switches.end())
      throw UsageError(option + ": unknown name '" + name +
                       "' (Orbits, Names, Sun, RotAxis, Rotation, Perpendiculars, Apsides, "
                       "LineOfNodes, Directions, Satellites)");
    out.push_back(it->second);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return out;
}

int CenterBody(const std::string& name)
{
  if (Lower(name) == "sun") return bnSun;
  for (int i = 0; i < 9; ++i)
    if (Lower(name) == Lower(PlanetNames[i])) return i;
  throw UsageError("--center: unknown body '" + name + "' (Sun or a planet)");
}

long long IntegerIn(const std::string& text, const char* what, long long lo, long long hi)
{
  const long long v = ParseInteger(text, what);
  if (v < lo || v > hi)
    throw UsageError(std::string(what) + " must lie in " + std::to_string(lo) + " .. " +
                     std::to_string(hi) + ", not " + text);
  return v;
}

// Qt's notes about the environment (no runtime directory, say) are no
// concern of a command that draws into an image; real failures still show.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

// Text and fonts need an application object; the off-screen platform needs
// no display, whatever QT_QPA_PLATFORM says.
struct TOffscreenApplication {
  QtMessageHandler previous = qInstallMessageHandler(QuietMessages);
  int argc = 3;
  char name[13] = "sollumen-cli";
  char platform[10] = "-platform";
  char offscreen[10] = "offscreen";
  char* argv[4] = {name, platform, offscreen, nullptr};
  QGuiApplication app{argc, argv};
  ~TOffscreenApplication() { qInstallMessageHandler(previous); }
};

// The listed minor bodies named, renamed "NAME (n)" as the window renames a
// name already listed; and every row of the table as dots, as "Show all
// objects" draws them (rows without an ellipse left out).
void AddMinorBodies(TSolarSystem& scene, const TTable& table, const std::vector<std::string>& names,
                    bool allObjects)
{
  TOEObjectList& list = scene.AsteroidsList();
  auto listed = [&list](const std::string& name) {
    for (int i = 0; i < list.Count(); ++i)
      if (list.Items(i)->Name == name) return true;
    return false;
  };
  for (const TMinorBodyRow& row : RowsNamed(table, names)) {
    TOrbitElements elements;
    try {
      elements = ReadElements(row);
    } catch (const std::exception& e) {
      throw UsageError(e.what());
    }
    std::string name = row.Name;
    for (int n = 1; listed(name); ++n) name = row.Name + " (" + std::to_string(n) + ")";
    list.Add(std::make_unique<TAsteroid>(name, elements, scene.GetObjectColor(11)));
  }
  if (!allObjects) return;
  TDotBodyList& all = scene.AsteroidsFullList();
  all.Reserve(static_cast<int>(table.RecordCount()));
  const TColor color = scene.GetObjectColor(11);
  table.ForEachRow([&](const TMinorBodyRow& row) {
    try {
      all.Add(ReadElements(row), color);
    } catch (const EInvalidElements&) {
    }
  });
}

void RunRender(const CliArgs& args, std::ostream&)
{
  struct TOptions {
    bool HasJD = false;
    long double JD = 0;
    int Size = 500;
    int Plane = -1;
    long double Dim = -1;
    int Center = -1;
    bool HasRot[3] = {false, false, false};
    long double Rot[3] = {0, 0, 0};
    int Grid = -1;
    std::vector<std::pair<bool TSolarSystem::*, bool>> Switches;  // in the order given
    int ColorMode = 2;
    int SizeMode = 0;
    std::string Out;
    std::string Doc;
    std::vector<std::string> Spacecraft;  // trajectory files, in the order given
    int Trajectory = -1;
    long double DaysBack = -1;
    long double DaysAhead = -1;
    std::string Database, Table;  // the minor-body table
    bool AllObjects = false;
    std::vector<std::string> Add;  // names of rows to list, in the order given
  } o;

  std::set<std::string> seen;
  for (std::size_t i = 0; i < args.size(); i += 2) {
    const std::string& opt = args[i];
    if (opt.rfind("--", 0) != 0) throw UsageError("unexpected argument '" + opt + "'");
    if (opt == "--all-objects") {  // the one option without a value
      if (!seen.insert(opt).second) throw UsageError(opt + " given twice");
      o.AllObjects = true;
      --i;
      continue;
    }
    static const std::set<std::string> known = {
        "--jd",   "--size", "--plane", "--dim",  "--center",     "--rotx",      "--roty",
        "--rotz", "--grid", "--show",  "--hide", "--color-mode", "--size-mode", "--out",
        "--doc",  "--spacecraft", "--trajectory", "--days-back", "--days-ahead",
        "--database", "--table", "--add"};
    if (!known.count(opt)) throw UsageError("unknown option '" + opt + "'");
    if (!seen.insert(opt).second && opt != "--spacecraft") throw UsageError(opt + " given twice");
    if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0)
      throw UsageError(opt + " needs a value");
    const std::string& v = args[i + 1];

    if (opt == "--jd") {
      o.HasJD = true;
      o.JD = ParseReal(v, "Julian date");
      if (o.JD < FirstJD || o.JD > LastJD)
        throw UsageError("Julian date must lie in 990924.5 .. 3912515.5, not " + v);
    } else if (opt == "--size") {
      o.Size = static_cast<int>(IntegerIn(v, "size", MinSize, MaxSize));
    } else if (opt == "--plane") {
      static const std::map<std::string, int> planes = {{"xy", XY}, {"xz", XZ}, {"zy", ZY}, {"3d", D3}};
      auto it = planes.find(v);
      if (it == planes.end()) throw UsageError("--plane must be xy, xz, zy or 3d, not '" + v + "'");
      o.Plane = it->second;
    } else if (opt == "--dim") {
      o.Dim = ParseReal(v, "half-width");
      if (o.Dim < 0.001L || o.Dim > 100)
        throw UsageError("--dim must lie in 0.001 .. 100 AU, not " + v);
    } else if (opt == "--center") {
      o.Center = CenterBody(v);
    } else if (opt == "--rotx" || opt == "--roty" || opt == "--rotz") {
      const int axis = opt[5] - 'x';
      o.HasRot[axis] = true;
      o.Rot[axis] = ParseReal(v, "rotation angle");
    } else if (opt == "--grid") {
      static const std::map<std::string, int> grids = {{"none", 0}, {"radial", 1}, {"rect", 2}};
      auto it = grids.find(v);
      if (it == grids.end()) throw UsageError("--grid must be none, radial or rect, not '" + v + "'");
      o.Grid = it->second;
    } else if (opt == "--show" || opt == "--hide") {
      for (auto sw : SwitchList(v, opt)) o.Switches.emplace_back(sw, opt == "--show");
    } else if (opt == "--color-mode") {
      o.ColorMode = static_cast<int>(IntegerIn(v, "colour mode", 0, 3));
    } else if (opt == "--size-mode") {
      o.SizeMode = static_cast<int>(IntegerIn(v, "size mode", 0, 2));
    } else if (opt == "--out") {
      if (v.empty()) throw UsageError("--out needs a file name");
      o.Out = v;
    } else if (opt == "--doc") {
      o.Doc = v;
    } else if (opt == "--spacecraft") {
      o.Spacecraft.push_back(v);
    } else if (opt == "--trajectory") {
      static const std::map<std::string, int> modes = {
          {"none", stmNone}, {"past", stmPast}, {"future", stmFuture}, {"all", stmAll}, {"user", stmUser}};
      auto it = modes.find(v);
      if (it == modes.end())
        throw UsageError("--trajectory must be none, past, future, all or user, not '" + v + "'");
      o.Trajectory = it->second;
    } else if (opt == "--days-back" || opt == "--days-ahead") {
      const long double days = ParseReal(v, "number of days");
      if (days < 0 || days > 1e99L) throw UsageError(opt + " must lie in 0 .. 1e99, not " + v);
      (opt == "--days-back" ? o.DaysBack : o.DaysAhead) = days;
    } else if (opt == "--database") {
      o.Database = v;
    } else if (opt == "--table") {
      o.Table = v;
    } else if (opt == "--add") {
      o.Add = NameList(v);
    }
  }
  if (o.Out.empty()) throw UsageError("expected --out FILE.png");
  if (seen.count("--database") != seen.count("--table"))
    throw UsageError("--database and --table go together");
  if ((o.AllObjects || !o.Add.empty()) && o.Table.empty())
    throw UsageError("--all-objects and --add need --database DIR --table FILE");

  TOffscreenApplication application;
  TSolarSystem scene;
  if (!o.Doc.empty()) {
    TDocumentState state;
    ReadKnownDocument(o.Doc, scene, state, DefaultProgramDir());
  }
  for (const std::string& file : o.Spacecraft) {
    try {
      scene.SpacecraftsList().AddFromFile(file, scene.GetObjectColor(13));
    } catch (const std::exception& e) {
      throw UsageError(e.what());
    }
  }
  if (!o.Table.empty()) {
    TTable table;
    OpenTableOrThrow(table, o.Database, o.Table);
    AddMinorBodies(scene, table, o.Add, o.AllObjects);
  }
  if (o.Trajectory >= 0)
    scene.SpacecraftTrajectoryMode = static_cast<TSpacecraftTrajectoryMode>(o.Trajectory);
  if (o.DaysBack >= 0) scene.SpacecraftTrajectoryPast = o.DaysBack;
  if (o.DaysAhead >= 0) scene.SpacecraftTrajectoryFuture = o.DaysAhead;
  for (const auto& [sw, on] : o.Switches) scene.*sw = on;
  if (o.Plane >= 0) scene.Plane = static_cast<TPlane>(o.Plane);
  if (o.Dim > 0) scene.SetDim(o.Dim);
  if (o.Grid >= 0) scene.GridMode = o.Grid;
  if (o.HasRot[0]) scene.SetRotX(o.Rot[0]);
  if (o.HasRot[1]) scene.SetRotY(o.Rot[1]);
  if (o.HasRot[2]) scene.SetRotZ(o.Rot[2]);
  scene.SetDateTime(o.HasJD ? JDToDateRec(0, o.JD) : o.Doc.empty() ? NowUT() : scene.DateTime());
  if (o.Center >= 0) scene.SetCenterObject(o.Center);

  const QImage image =
      RenderSceneImage(scene, o.Size, o.ColorMode, o.SizeMode).convertToFormat(QImage::Format_RGB888);
  // Written to a temporary file that replaces the target only when complete.
  QSaveFile file(QString::fromStdString(o.Out));
  if (!file.open(QIODevice::WriteOnly))
    throw std::runtime_error("cannot write " + o.Out + ": " + file.errorString().toStdString());
  QImageWriter writer(&file, "png");
  if (!writer.write(image) || !file.commit())
    throw std::runtime_error("cannot write " + o.Out + ": " +
                             (writer.error() != QImageWriter::UnknownError
                                  ? writer.errorString()
                                  : file.errorString())
                                 .toStdString());
}

const char* const RenderHelp =
    "usage: sollumen-cli render [--jd JD] [--size N] [--plane xy|xz|zy|3d] [--dim AU]\n"
    "         [--center NAME] [--rotx DEG] [--roty DEG] [--rotz DEG]\n"
    "         [--grid none|radial|rect] [--show NAME,...] [--hide NAME,...]\n"
    "         [--color-mode 0-3] [--size-mode 0-2] [--doc FILE.orb]\n"
    "         [--spacecraft FILE.spc ...] [--trajectory none|past|future|all|user]\n"
    "         [--days-back D] [--days-ahead D]\n"
    "         [--database DIR --table FILE [--all-objects] [--add NAME,...]] --out FILE.png\n\n"
    "Draws the scene with its start-up settings (3D view turned 45 degrees\n"
    "about x and z, 2 AU half-width about the Sun, rectangular grid; nine\n"
    "planets and 22 satellites) at the instant JD into an N x N image and\n"
    "writes it as a PNG file. Nothing is printed.\n\n"
    "  --jd JD          Julian date (UT), 990924.5 .. 3912515.5; default now\n"
    "  --size N         edge of the image in pixels, 16 .. 8192; default 500\n"
    "  --plane P        xy, xz, zy (the coordinate planes of the ecliptic) or 3d\n"
    "  --dim AU         half the width of the view, 0.001 .. 100\n"
    "  --center NAME    Sun or a planet (Earth, Mercury, ..., Pluto)\n"
    "  --rotx/--roty/--rotz DEG\n"
    "                   rotation angles of the 3D view, degrees\n"
    "  --grid G         none, radial or rect (a radial grid shows in the\n"
    "                   coordinate planes only)\n"
    "  --show/--hide NAMES\n"
    "                   switch parts of the drawing on or off, comma-separated:\n"
    "                   Orbits, Names, Sun, RotAxis, Rotation, Perpendiculars,\n"
    "                   Apsides, LineOfNodes, Directions, Satellites\n"
    "  --color-mode M   0 black on white, 1 white on black, 2 screen colours\n"
    "                   (default), 3 colours on white\n"
    "  --size-mode S    0 screen (default); 1 and 2 bigger dots and a frame,\n"
    "                   as for print\n"
    "  --out FILE       the PNG file to write (replaced when complete)\n"
    "  --doc FILE.orb   start from the scene of a simulation document (any\n"
    "                   version) at its instant instead of the start-up scene;\n"
    "                   the other options override it\n"
    "  --spacecraft FILE.spc\n"
    "                   add a spacecraft from its trajectory file (after those\n"
    "                   of --doc); may be repeated\n"
    "  --trajectory M   which part of the spacecraft trajectories is drawn: none,\n"
    "                   past, future, all, or user (--days-back before and\n"
    "                   --days-ahead after the instant); default past\n"
    "  --days-back D, --days-ahead D\n"
    "                   days of trajectory before and after the instant in mode\n"
    "                   user, 0 .. 1e99; default 10 each\n"
    "  --database DIR --table FILE\n"
    "                   the minor-body table FILE (\"MPC (10000).db\", say) in the\n"
    "                   directory DIR, for the two options below\n"
    "  --all-objects    every row of the table drawn as a dot, as the window's\n"
    "                   \"Show all objects\" draws it (rows without an ellipse\n"
    "                   are left out)\n"
    "  --add NAME,...   the rows of exactly these names added as listed minor\n"
    "                   bodies (names and orbits), in the order given; an\n"
    "                   unknown name is an error\n\n"
    "Minor bodies are drawn for the years 1950 to 2050 only.\n"
    "Names are matched without regard to case. Each option but --spacecraft may\n"
    "be given once.\n"
    "Bad options and files that cannot be written print a message on stderr\n"
    "and exit with status 2. Needs no display.\n";

const CliCommand RenderCommand(
    "render",
    "render [--jd JD] [--size N] [--plane P] [--dim AU] ... --out FILE.png   draw the scene",
    RenderHelp, RunRender);

}  // namespace
