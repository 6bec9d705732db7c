// sollumen-cli ephem: rectangular positions of bodies as CSV.
#include "Cli.h"
#include "EphemBodies.h"
#include "MinorBodyArgs.h"
#include "MotionArg.h"

#include "astro/DatesAndTimes.h"
#include "bodies/SSClasses.h"
#include "bodies/Spacecraft.h"

#include <algorithm>
#include <memory>
#include <cstdio>
#include <strings.h>

namespace {

const EphemBody& FindBody(const std::string& name)
{
  for (const EphemBody& b : EphemBodies())
    if (strcasecmp(b.Name, name.c_str()) == 0) return b;
  std::string known;
  for (const EphemBody& b : EphemBodies()) known += std::string(known.empty() ? "" : ", ") + b.Name;
  throw UsageError("unknown body '" + name + "' (known: " + known + ")");
}

// A CSV field: quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text)
{
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

void RunEphem(const CliArgs& args, std::ostream& out)
{
  std::vector<long double> instants;
  std::vector<const EphemBody*> bodies;
  std::vector<std::unique_ptr<TSpacecraft>> craft;
  EphemFrame frame = EphemFrame::Date;
  std::string database, tableName;
  std::vector<std::string> minorNames;
  TMinorBodyMotion motion = TMinorBodyMotion::Perturbed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& opt = args[i];
    if (opt != "--jd" && opt != "--frame" && opt != "--body" && opt != "--spacecraft" &&
        opt != "--database" && opt != "--table" && opt != "--minor" && opt != "--motion")
      throw UsageError("unknown argument '" + opt + "'");
    if (i + 1 == args.size()) throw UsageError(opt + " needs a value");
    const std::string& value = args[++i];
    if (opt == "--jd") {
      long double jd = ParseReal(value, "Julian date");
      if (jd < MinJD || jd > MaxJD)
        throw UsageError("Julian date " + value + " is outside the range 0 .. 4000000");
      instants.push_back(jd);
    } else if (opt == "--frame") {
      if (value == "date")
        frame = EphemFrame::Date;
      else if (value == "j2000")
        frame = EphemFrame::J2000;
      else
        throw UsageError("unknown frame '" + value + "' (date or j2000)");
    } else if (opt == "--database") {
      database = value;
    } else if (opt == "--table") {
      tableName = value;
    } else if (opt == "--minor") {
      minorNames.push_back(value);
    } else if (opt == "--motion") {
      motion = ParseMotion(value);
    } else if (opt == "--spacecraft") {
      try {
        craft.push_back(std::make_unique<TSpacecraft>(value, 0));
      } catch (const std::exception& e) {
        throw UsageError(e.what());
      }
    } else {
      bodies.push_back(&FindBody(value));
    }
  }
  if (instants.empty()) throw UsageError("expected at least one --jd JD");
  if (!minorNames.empty() && (database.empty() || tableName.empty()))
    throw UsageError("--minor needs --database DIR --table FILE");
  // The minor bodies as the scene makes them from their rows.
  TOEObjectList minors;
  if (!minorNames.empty()) {
    TTable table;
    OpenTableOrThrow(table, database, tableName);
    for (const TMinorBodyRow& row : RowsNamed(table, minorNames)) {
      try {
        minors.Add(std::make_unique<TAsteroid>(row.Name, ReadElements(row), 0));
      } catch (const std::exception& e) {
        throw UsageError(e.what());
      }
    }
  }
  if (bodies.empty() && craft.empty() && minors.Count() == 0) {
    for (const EphemBody& b : EphemBodies()) bodies.push_back(&b);
    std::stable_sort(bodies.begin(), bodies.end(),
                     [](auto a, auto b) { return a->Number < b->Number; });
  }

  const char* frameName = frame == EphemFrame::Date ? "date" : "j2000";
  out << "jd,body,number,frame,x_au,y_au,z_au\n";
  for (long double jd : instants) {
    for (const EphemBody* b : bodies) {
      TRectCoord v = b->Position(jd, frame);
      char line[256];
      std::snprintf(line, sizeof line, "%.6Lf,%s,%d,%s,%.17Lg,%.17Lg,%.17Lg\n", jd, b->Name,
                    b->Number, frameName, v.X, v.Y, v.Z);
      out << line;
    }
    for (auto& c : craft) {
      TRectCoord v;
      if (!SpacecraftEphem(*c, jd, frame, v)) continue;  // no data for the instant
      char line[256];
      std::snprintf(line, sizeof line, "%.6Lf,", jd);
      out << line << CsvField(c->Name);
      std::snprintf(line, sizeof line, ",%d,%s,%.17Lg,%.17Lg,%.17Lg\n", c->BodyNumber, frameName,
                    v.X, v.Y, v.Z);
      out << line;
    }
    if (minors.Count() > 0) ReportMotionFailures(PrepareMinorBodies(minors, motion, jd));
    for (int i = 0; i < minors.Count(); ++i) {
      auto* m = static_cast<TAsteroid*>(minors.Items(i));
      // Of date as the scene computes it; in J2000 the position in the
      // frame of the row's elements: the integrated one, or the Keplerian
      // one in two-body motion.
      TRectCoord v;
      TIntegratedMotion* path = m->Integrated();
      if (frame == EphemFrame::Date) {
        m->Calculate(jd);
        v = m->Position;
      } else if (path && !path->Failed() && path->Reach(jd)) {
        v = path->J2000At(jd);
      } else {
        v = KeplerPosition(m->Elements, jd);
      }
      char line[256];
      std::snprintf(line, sizeof line, "%.6Lf,", jd);
      out << line << CsvField(m->Name);
      std::snprintf(line, sizeof line, ",%d,%s,%.17Lg,%.17Lg,%.17Lg\n", m->BodyNumber, frameName,
                    v.X, v.Y, v.Z);
      out << line;
    }
  }
}

const CliCommand Ephem(
    "ephem",
    "ephem --jd JD [--jd JD ...] [--frame date|j2000] [--body NAME ...] "
    "[--spacecraft FILE.spc ...] [--database DIR --table FILE --minor NAME ...] "
    "[--motion perturbed|kepler]",
    "usage: sollumen-cli ephem --jd JD [--jd JD ...] [--frame date|j2000] [--body NAME ...]\n"
    "         [--spacecraft FILE.spc ...] [--database DIR --table FILE --minor NAME ...]\n"
    "         [--motion perturbed|kepler]\n"
    "\n"
    "Prints rectangular positions in AU as CSV with the header line\n"
    "  jd,body,number,frame,x_au,y_au,z_au\n"
    "and one row per instant and body: instants in the order given, bodies in\n"
    "body-number order unless --body names them (then in the order named),\n"
    "then the spacecraft, then the minor bodies, in the order given.\n"
    "Planets are heliocentric, the Moon geocentric. Pluto is placed on its mean\n"
    "orbit. Spacecraft are heliocentric, interpolated in their trajectory\n"
    "files; of date they are referred to the mean equinox of date (without\n"
    "nutation), in j2000 turned from the file's equinox to that of J2000.0.\n"
    "A spacecraft has no row at instants outside its trajectory.\n"
    "\n"
    "  --jd JD       instant (Julian date, 0 .. 4000000); may be repeated\n"
    "  --frame date  ecliptic and equinox of date, nutation in longitude\n"
    "                included (default)\n"
    "  --frame j2000 mean ecliptic and equinox of J2000.0\n"
    "  --body NAME   a body (Earth, Mercury, ..., Pluto, Moon); may be repeated;\n"
    "                default all, or none when --spacecraft or --minor\n"
    "                is given\n"
    "  --spacecraft FILE.spc\n"
    "                a spacecraft from its trajectory file; may be repeated\n"
    "  --database DIR --table FILE\n"
    "                the minor-body table FILE in the directory DIR\n"
    "  --minor NAME  the row of exactly that name (body number 11), heliocentric:\n"
    "                of date as the scene computes it, in j2000 in the frame of\n"
    "                the row's elements (which are J2000); may be repeated; an\n"
    "                unknown name is an error\n"
    "  --motion perturbed\n"
    "                minor bodies pulled by the planets along orbits integrated\n"
    "                from their elements (default); bodies that cannot be\n"
    "                integrated move on their two-body ellipse, named on stderr\n"
    "  --motion kepler\n"
    "                minor bodies on the fixed two-body ellipse of their elements\n",
    RunEphem);

}  // namespace
