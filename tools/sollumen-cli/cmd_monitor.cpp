// sollumen-cli monitor: the monitor's readouts of one body, as lines of
// label and value.
#include "Cli.h"
#include "DocumentArgs.h"
#include "MotionArg.h"

#include "astro/DatesAndTimes.h"
#include "database/MinorBodyTable.h"
#include "astro/util404.h"
#include "scene/MonitorObjects.h"
#include "scene/MonitorValues.h"
#include "scene/SolarSystem.h"

#include <cctype>
#include <map>
#include <memory>
#include <set>

namespace {

constexpr long double FirstJD = 990924.5L;
constexpr long double LastJD = 3912515.5L;

std::string Lower(std::string s)
{
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

int CenterBody(const std::string& name)
{
  if (Lower(name) == "sun") return bnSun;
  for (int i = 0; i < 9; ++i)
    if (Lower(name) == Lower(PlanetNames[i])) return i;
  throw UsageError("--center: unknown body '" + name + "' (Sun or a planet)");
}

// Adds the rows named to the scene's minor bodies, in the order given; the
// first row of each name counts.
void AddMinorBodies(TSolarSystem& scene, const std::string& directory, const std::string& file,
                    const std::vector<std::string>& names)
{
  std::map<std::string, TMinorBodyRow> found;
  try {
    TTable table;
    table.SetDatabaseName(directory);
    table.SetTableName(file);
    table.Open();
    const std::set<std::string> wanted(names.begin(), names.end());
    table.ForEachRow([&](const TMinorBodyRow& row) {
      if (wanted.count(row.Name) && !found.count(row.Name)) found.emplace(row.Name, row);
    });
  } catch (const std::exception& e) {
    throw UsageError(e.what());
  }
  for (const std::string& name : names) {
    auto it = found.find(name);
    if (it == found.end()) throw UsageError("--minor: no row named '" + name + "' in " + file);
    try {
      scene.AsteroidsList().Add(
          std::make_unique<TAsteroid>(name, ReadElements(it->second), scene.GetObjectColor(11)));
    } catch (const std::exception& e) {
      throw UsageError(e.what());
    }
  }
}

void RunMonitor(const CliArgs& args, std::ostream& out)
{
  std::string name;
  bool hasName = false;
  bool hasJD = false;
  long double jd = 0;
  int center = -1;
  std::string doc;
  std::vector<std::string> spacecraft;
  std::string database, table;
  std::vector<std::string> minor;
  TMinorBodyMotion motion = TMinorBodyMotion::Perturbed;

  std::set<std::string> seen;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) != 0) {
      if (hasName) throw UsageError("unexpected argument '" + a + "' (one body name only)");
      name = a;
      hasName = true;
      continue;
    }
    static const std::set<std::string> known = {"--jd",         "--center",   "--doc",
                                                "--spacecraft", "--database", "--table",
                                                "--minor",      "--motion"};
    if (!known.count(a)) throw UsageError("unknown option '" + a + "'");
    if (!seen.insert(a).second && a != "--spacecraft" && a != "--minor")
      throw UsageError(a + " given twice");
    if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0)
      throw UsageError(a + " needs a value");
    const std::string& v = args[++i];
    if (a == "--jd") {
      hasJD = true;
      jd = ParseReal(v, "Julian date");
      if (jd < FirstJD || jd > LastJD)
        throw UsageError("Julian date must lie in 990924.5 .. 3912515.5, not " + v);
    } else if (a == "--center") {
      center = CenterBody(v);
    } else if (a == "--doc") {
      doc = v;
    } else if (a == "--spacecraft") {
      spacecraft.push_back(v);
    } else if (a == "--database") {
      database = v;
    } else if (a == "--table") {
      table = v;
    } else if (a == "--minor") {
      minor.push_back(v);
    } else if (a == "--motion") {
      motion = ParseMotion(v);
    }
  }
  if (!hasName) throw UsageError("expected the name of a body");
  const bool tableGiven = seen.count("--database") || seen.count("--table");
  if (tableGiven != !minor.empty() || seen.count("--database") != seen.count("--table"))
    throw UsageError("--database DIR, --table FILE and --minor NAME go together");

  TSolarSystem scene;
  if (!doc.empty()) {
    TDocumentState state;
    ReadKnownDocument(doc, scene, state, DefaultProgramDir(), TDescriptionUse::PassOver);
  }
  for (const std::string& file : spacecraft) {
    try {
      scene.SpacecraftsList().AddFromFile(file, scene.GetObjectColor(13));
    } catch (const std::exception& e) {
      throw UsageError(e.what());
    }
  }
  if (!minor.empty()) AddMinorBodies(scene, database, table, minor);
  scene.MinorBodyMotion = motion;
  scene.SetDateTime(hasJD ? JDToDateRec(0, jd) : doc.empty() ? NowUT() : scene.DateTime());
  if (center >= 0) scene.SetCenterObject(center);
  ReportMotionFailures(scene.TakeMotionFailures());

  const std::vector<TMonitorEntry> entries = MonitorEntries(scene);
  const int entry = FindMonitorEntry(entries, name);
  const TAstronomialObject* body = MonitorObject(scene, entry);
  out << "object\t" << entries[entry].Text << "\n";
  if (!body) return;
  for (const TMonitorRow& row : MonitorValues(scene, *body).Rows)
    out << row.Label << "\t" << row.Value << "\n";
}

const char* const MonitorHelp =
    "usage: sollumen-cli monitor NAME [--jd JD] [--center BODY] [--doc FILE.orb]\n"
    "         [--spacecraft FILE.spc ...] [--database DIR --table FILE --minor NAME ...]\n"
    "         [--motion perturbed|kepler]\n\n"
    "Prints what the monitor window shows for the body NAME: first\n"
    "'object<TAB>' and the list entry chosen, then one line 'LABEL<TAB>VALUE'\n"
    "per row, in the window's order, with '.' as decimal separator.\n\n"
    "NAME is an entry of the monitor's list (Mercury .. Pluto, the Moon,\n"
    "'Io (J I)', 'Titan (S VI)', ...; while minor bodies may be shown also the\n"
    "spacecraft and the minor bodies of the scene), matched without regard to\n"
    "case; a name not in the list chooses Earth.\n\n"
    "  --jd JD          Julian date (UT), 990924.5 .. 3912515.5; default now,\n"
    "                   or the document's instant\n"
    "  --center BODY    Sun or a planet (Earth, Mercury, ..., Pluto)\n"
    "  --doc FILE.orb   start from the scene of a simulation document\n"
    "  --spacecraft FILE.spc\n"
    "                   add a spacecraft from its trajectory file; may be repeated\n"
    "  --database DIR --table FILE --minor NAME\n"
    "                   add the minor body of the row named NAME (exactly) of the\n"
    "                   minor-body table FILE in DIR; --minor may be repeated\n"
    "  --motion perturbed|kepler\n"
    "                   how minor bodies move: pulled by the planets along\n"
    "                   orbits integrated from their elements (default), or on\n"
    "                   the fixed two-body ellipse of their elements\n"
    "\n"
    "Bad options and unreadable files print a message on stderr and exit with\n"
    "status 2.\n";

const CliCommand MonitorCommand("monitor",
                                "monitor NAME [--jd JD] [--center BODY] [--doc FILE.orb] ...   "
                                "the monitor's readouts of a body",
                                MonitorHelp, RunMonitor);

}  // namespace
