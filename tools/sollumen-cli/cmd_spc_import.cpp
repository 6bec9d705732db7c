// sollumen-cli spc-import: a trajectory file (".spc") from Horizons vector
// tables.
#include "Cli.h"
#include "HorizonsVectors.h"

#include "astro/util404.h"
#include "bodies/Spacecraft.h"

#include <cctype>
#include <cstdio>
#include <limits>

namespace {

std::string Lower(std::string s)
{
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

int PlanetIndex(const std::string& name)
{
  for (int i = 0; i < SpacecraftPlanetCount; ++i)
    if (Lower(name) == Lower(PlanetNames[i])) return i;
  throw UsageError("--planet: unknown planet '" + name + "' (Earth, Mercury, ..., Pluto)");
}

void Fill(TSpacecraftPositionList& list, const std::vector<TSpacecraftPosition>& points)
{
  list.Clear();
  list.FirstJD = points.front().JD;
  list.LastJD = points.back().JD;
  list.Reserve(points.size());
  for (const TSpacecraftPosition& p : points) list.Add(p.JD, p.Position);
}

std::string Summary(const std::string& what, const TSpacecraftPositionList& list)
{
  char line[160];
  std::snprintf(line, sizeof line, "%s: %d points, JD %.6Lf .. %.6Lf\n", what.c_str(),
                list.Count(), list.FirstJD, list.LastJD);
  return line;
}

void RunSpcImport(const CliArgs& args, std::ostream& out)
{
  std::string helio, out_path;
  std::string name, launch;
  bool hasName = false, hasNumber = false, hasLaunch = false;
  long long number = 0;
  std::vector<std::pair<int, std::string>> planets;  // in the order given

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) != 0) {
      if (!helio.empty()) throw UsageError("unexpected argument '" + a + "'");
      helio = a;
      continue;
    }
    if (a != "--planet" && a != "--name" && a != "--number" && a != "--launch" && a != "--out")
      throw UsageError("unknown option '" + a + "'");
    if (i + 1 == args.size()) throw UsageError(a + " needs a value");
    const std::string& v = args[++i];
    auto once = [&](bool& given) {
      if (given) throw UsageError(a + " given twice");
      given = true;
    };
    if (a == "--planet") {
      const std::size_t eq = v.find('=');
      if (eq == std::string::npos || eq + 1 == v.size())
        throw UsageError("--planet needs NAME=FILE, not '" + v + "'");
      const int index = PlanetIndex(v.substr(0, eq));
      for (const auto& p : planets)
        if (p.first == index) throw UsageError("--planet " + v.substr(0, eq) + " given twice");
      planets.emplace_back(index, v.substr(eq + 1));
    } else if (a == "--name") {
      once(hasName);
      name = v;
    } else if (a == "--number") {
      once(hasNumber);
      number = ParseInteger(v, "body number");
      if (number < std::numeric_limits<std::int32_t>::min() ||
          number > std::numeric_limits<std::int32_t>::max())
        throw UsageError("--number must fit in 32 bits, not " + v);
    } else if (a == "--launch") {
      once(hasLaunch);
      launch = v;
    } else {
      if (!out_path.empty()) throw UsageError("--out given twice");
      if (v.empty()) throw UsageError("--out needs a file name");
      out_path = v;
    }
  }
  if (helio.empty()) throw UsageError("expected the heliocentric table HELIO.txt");
  if (!hasName) throw UsageError("expected --name TEXT");
  if (!hasNumber) throw UsageError("expected --number N");
  if (!hasLaunch) throw UsageError("expected --launch TEXT");
  if (out_path.empty()) throw UsageError("expected --out FILE.spc");

  TSpacecraft craft(0);
  craft.Name = name;
  craft.BodyNumber = static_cast<int>(number);
  craft.LaunchText = launch;
  craft.Equinox = 2451545.0L;  // Horizons's ecliptic of J2000.0
  Fill(craft.Positions, ReadHorizonsVectors(helio, {10, "Sun"}));
  out << Summary("heliocentric", craft.Positions);
  for (const auto& [index, file] : planets) {
    TSpacecraftPositionList& list = craft.PlanetocentricPositions[index];
    Fill(list, ReadHorizonsVectors(file, {HorizonsPlanetNumber(index), PlanetNames[index]}));
    out << Summary(PlanetNames[index], list);
  }
  try {
    craft.SaveToFile(out_path);
  } catch (const std::exception& e) {
    throw std::runtime_error("cannot write " + out_path + ": " + e.what());
  }
}

const char* const Help =
    "usage: sollumen-cli spc-import HELIO.txt [--planet NAME=FILE.txt ...] --name TEXT\n"
    "         --number N --launch TEXT --out FILE.spc\n\n"
    "Converts vector tables of JPL's Horizons system into a spacecraft\n"
    "trajectory file. HELIO.txt is a table of the spacecraft centred on the\n"
    "Sun; each --planet table is centred on that planet and covers a close\n"
    "approach. Ask Horizons for an ephemeris of type VECTORS with reference\n"
    "plane ECLIPTIC, reference system J2000, units AU (km are converted), as\n"
    "plain text (CSV_FORMAT=YES or NO). The header of every table must name\n"
    "its centre (the Sun, 10, or the planet's body centre: Earth 399, Mars 499,\n"
    "...), its units and its frame; tables that differ are refused.\n\n"
    "The trajectory file holds the positions on the ecliptic and equinox of\n"
    "J2000.0 (equinox 2451545.0), valid from the first to the last instant of\n"
    "each table; planets without a table get no points. The instants are\n"
    "taken as the table gives them. Prints the number of points and the span\n"
    "of each part.\n\n"
    "  HELIO.txt             heliocentric table\n"
    "  --planet NAME=FILE    table centred on planet NAME (Earth, Mercury, ...,\n"
    "                        Pluto); may be repeated, once per planet\n"
    "  --name TEXT           the spacecraft's name\n"
    "  --number N            its body number\n"
    "  --launch TEXT         the launch text, e.g. \"2011 Nov 26\"\n"
    "  --out FILE.spc        the file to write (replaced when complete)\n\n"
    "Tables that cannot be read or do not fit print a message naming the file\n"
    "on stderr and exit with status 2; nothing is written then.\n";

const CliCommand SpcImport(
    "spc-import",
    "spc-import HELIO.txt [--planet NAME=FILE.txt ...] --name TEXT --number N --launch TEXT "
    "--out FILE.spc",
    Help, RunSpcImport);

}  // namespace
