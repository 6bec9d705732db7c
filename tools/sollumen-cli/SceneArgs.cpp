#include "SceneArgs.h"
#include "MinorBodyArgs.h"

#include "DocumentArgs.h"
#include "MotionArg.h"

#include "app/output/OutputTexts.h"
#include "astro/DatesAndTimes.h"
#include "astro/util404.h"

#include <cctype>
#include <cstdio>
#include <map>

namespace {

// The instants the program shows.
constexpr long double FirstJD = 990924.5L;
constexpr long double LastJD = 3912515.5L;

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

// Qt's notes about the environment (no runtime directory, say) are no
// concern of a command that draws into an image; real failures still show.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

}  // namespace

long long IntegerIn(const std::string& text, const char* what, long long lo, long long hi)
{
  const long long v = ParseInteger(text, what);
  if (v < lo || v > hi)
    throw UsageError(std::string(what) + " must lie in " + std::to_string(lo) + " .. " +
                     std::to_string(hi) + ", not " + text);
  return v;
}

const std::set<std::string>& SceneOptionNames()
{
  static const std::set<std::string> names = {
      "--jd",   "--plane", "--dim",  "--center", "--rotx",       "--roty",      "--rotz",
      "--grid", "--show",  "--hide", "--doc",    "--spacecraft", "--trajectory", "--days-back",
      "--days-ahead", "--database", "--table", "--add", "--motion"};
  return names;
}

const std::set<std::string>& SceneFlagNames()
{
  static const std::set<std::string> names = {"--all-objects"};
  return names;
}

void ParseSceneOption(const std::string& opt, const std::string& v, TSceneOptions& o)
{
  if (opt == "--jd") {
    o.HasJD = true;
    o.JD = ParseReal(v, "Julian date");
    if (o.JD < FirstJD || o.JD > LastJD)
      throw UsageError("Julian date must lie in 990924.5 .. 3912515.5, not " + v);
  } else if (opt == "--plane") {
    static const std::map<std::string, int> planes = {{"xy", XY}, {"xz", XZ}, {"zy", ZY}, {"3d", D3}};
    auto it = planes.find(v);
    if (it == planes.end()) throw UsageError("--plane must be xy, xz, zy or 3d, not '" + v + "'");
    o.Plane = it->second;
  } else if (opt == "--dim") {
    o.Dim = ParseReal(v, "half-width");
    if (o.Dim < 0.001L || o.Dim > 100) throw UsageError("--dim must lie in 0.001 .. 100 AU, not " + v);
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
  } else if (opt == "--motion") {
    o.Motion = ParseMotion(v);
  } else if (opt == "--all-objects") {
    o.AllObjects = true;
  }
}

void BuildScene(const TSceneOptions& o, TSolarSystem& scene)
{
  if (o.Database.empty() != o.Table.empty())
    throw UsageError("--database and --table go together");
  if ((o.AllObjects || !o.Add.empty()) && o.Table.empty())
    throw UsageError("--all-objects and --add need --database DIR --table FILE");
  if (!o.Doc.empty()) {
    TDocumentState state;
    ReadKnownDocument(o.Doc, scene, state, DefaultProgramDir(), TDescriptionUse::PassOver);
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
  scene.MinorBodyMotion = o.Motion;
  scene.SetDateTime(o.HasJD ? JDToDateRec(0, o.JD) : o.Doc.empty() ? NowUT() : scene.DateTime());
  if (o.Center >= 0) scene.SetCenterObject(o.Center);
  ReportMotionFailures(scene.TakeMotionFailures());
}

std::string CenterText(const TSolarSystem& scene)
{
  const int c = scene.CenterObject();
  return c >= 0 && c < 9 ? std::string(PlanetNames[c]) : std::string("Sun");
}

std::vector<std::string> SceneCaptions(const TSolarSystem& scene)
{
  return {InstantLine(scene.DateTime()), ViewLine(scene.Plane, CenterText(scene))};
}

TOffscreenApplication::TOffscreenApplication() : previous(qInstallMessageHandler(QuietMessages)) {}

TOffscreenApplication::~TOffscreenApplication() { qInstallMessageHandler(previous); }
