// sollumen-cli dump: everything a document sets, as one JSON object.
#include "Cli.h"
#include "DocumentArgs.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

std::string JsonString(const std::string& s)
{
  std::string out = "\"";
  for (char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", u);
      out += buf;
    } else {
      out += c;  // text in the program is valid UTF-8
    }
  }
  return out + "\"";
}

std::string JsonNumber(long double x)
{
  if (!std::isfinite(x)) return "null";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17Lg", x);
  return buf;
}

std::string JsonBool(bool b) { return b ? "true" : "false"; }

// One JSON object or array, its members separated by ", ".
class TJson {
public:
  explicit TJson(char open) : text_(1, open), close_(open == '{' ? '}' : ']') {}
  TJson& Key(const char* key, const std::string& value)
  {
    Sep();
    text_ += JsonString(key) + ": " + value;
    return *this;
  }
  TJson& Item(const std::string& value)
  {
    Sep();
    text_ += value;
    return *this;
  }
  std::string Str() const { return text_ + close_; }

private:
  void Sep()
  {
    if (!first_) text_ += ", ";
    first_ = false;
  }
  std::string text_;
  char close_;
  bool first_ = true;
};

std::string Int(long long v) { return std::to_string(v); }

template <std::size_t N>
std::string IntArray(const std::array<int, N>& a)
{
  TJson j('[');
  for (int v : a) j.Item(Int(v));
  return j.Str();
}

std::string SceneJson(TSolarSystem& s, const TDocumentReadResult& result)
{
  TJson j('{');
  j.Key("jd", JsonNumber(DateRecToJD(s.DateTime())))
      .Key("GridColor", Int(s.GridColor))
      .Key("BgColor", Int(s.BgColor))
      .Key("SunColor", Int(s.SunColor))
      .Key("PerpendicularColor", Int(s.PerpendicularColor))
      .Key("AxesColor", Int(s.AxesColor))
      .Key("ShowOrbits", JsonBool(s.ShowOrbits))
      .Key("ShowNames", JsonBool(s.ShowNames))
      .Key("ShowSun", JsonBool(s.ShowSun))
      .Key("ShowRotAxis", JsonBool(s.ShowRotAxis))
      .Key("ShowRotation", JsonBool(s.ShowRotation))
      .Key("ShowPerpendiculars", JsonBool(s.ShowPerpendiculars))
      .Key("ShowApsides", JsonBool(s.ShowApsides))
      .Key("ShowLineOfNodes", JsonBool(s.ShowLineOfNodes))
      .Key("ShowSatellites", JsonBool(s.ShowSatellites))
      .Key("ShowSpacecrafts", JsonBool(s.ShowSpacecrafts))
      .Key("ShowDirections", JsonBool(s.ShowDirections))
      .Key("CanShowObjects", JsonBool(s.CanShowObjects()))
      .Key("GridMode", Int(s.GridMode))
      .Key("Dim", JsonNumber(s.Dim()))
      .Key("CenterObject", Int(s.CenterObject()))
      .Key("RotX", JsonNumber(s.RotX()))
      .Key("RotY", JsonNumber(s.RotY()))
      .Key("RotZ", JsonNumber(s.RotZ()))
      .Key("Plane", Int(s.Plane))
      .Key("SpacecraftTrajectoryPast", JsonNumber(s.SpacecraftTrajectoryPast))
      .Key("SpacecraftTrajectoryFuture", JsonNumber(s.SpacecraftTrajectoryFuture))
      .Key("SpacecraftTrajectoryMode", Int(s.SpacecraftTrajectoryMode))
      .Key("ShowPlanetocentricTrajectories", JsonBool(s.ShowPlanetocentricTrajectories));

  TJson colors('[');
  for (int i = 0; i < ObjectColorCount; ++i) colors.Item(Int(s.GetObjectColor(i)));
  j.Key("ObjectColors", colors.Str());

  TJson planets('[');
  for (int i = 0; i < 9; ++i) {
    const TPlanet* p = s.Planet(i);
    if (!p) continue;
    TJson sats('[');
    for (int k = 0; k < p->Satellites.Count(); ++k) {
      const TSatellite& sat = *p->Satellites.Items(k);
      sats.Item(TJson('{').Key("Visible", JsonBool(sat.Visible)).Key("Color", Int(sat.Color)).Str());
    }
    planets.Item(TJson('{')
                     .Key("Visible", JsonBool(p->Visible))
                     .Key("Color", Int(p->Color))
                     .Key("satellites", sats.Str())
                     .Str());
  }
  j.Key("planets", planets.Str());

  TJson lines('[');
  for (int i = 0; i < s.DirectionList().Count(); ++i) {
    const TDirection& d = *s.DirectionList().Items(i);
    lines.Item(TJson('{')
                   .Key("FromObject", Int(d.FromObject))
                   .Key("ToObject", Int(d.ToObject))
                   .Key("Color", Int(d.Color))
                   .Key("Visible", JsonBool(d.Visible))
                   .Str());
  }
  j.Key("lines", lines.Str());

  TJson asteroids('[');
  for (int i = 0; i < s.AsteroidsList().Count(); ++i) {
    const TOEObject& a = *s.AsteroidsList().Items(i);
    const TOrbitElements& e = a.Elements;
    TJson el('[');
    for (long double v : {e.EpochJD, e.Incl, e.NodeLon, e.PeriLon, e.AxisAU, e.DailyMotion, e.Ecc,
                          e.MeanLon})
      el.Item(JsonNumber(v));
    asteroids.Item(TJson('{')
                       .Key("Name", JsonString(a.Name))
                       .Key("BodyNumber", Int(a.BodyNumber))
                       .Key("Color", Int(a.Color))
                       .Key("Visible", JsonBool(a.Visible))
                       .Key("Elements", el.Str())
                       .Str());
  }
  j.Key("asteroids", asteroids.Str());

  TJson craft('[');
  for (const std::string& name : result.SpacecraftFiles) craft.Item(JsonString(name));
  j.Key("spacecraft", craft.Str());
  return j.Str();
}

void RunDump(const CliArgs& args, std::ostream& out)
{
  std::string file;
  std::string programDir;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--program-dir") {
      if (++i == args.size()) throw UsageError("--program-dir needs a directory");
      programDir = args[i];
      if (!programDir.empty() && programDir.back() != '/') programDir += '/';
    } else if (file.empty() && (args[i].empty() || args[i][0] != '-' || args[i] == "-")) {
      file = args[i];
    } else {
      throw UsageError("unexpected argument '" + args[i] + "'");
    }
  }
  if (file.empty()) throw UsageError("expected: dump FILE [--program-dir DIR]");
  if (programDir.empty()) programDir = DefaultProgramDir();

  TSolarSystem scene;
  TDocumentState state;
  const TDocumentReadResult result = ReadDocumentOrThrow(file, scene, state, programDir);
  if (result.Version == TDocumentVersion::None) {
    out << "{\"version\": null}\n";
    return;
  }

  TJson j('{');
  j.Key("version", JsonString(DocumentVersionText(result.Version)))
      .Key("scene", SceneJson(scene, result))
      .Key("showAllObjects", JsonBool(state.ShowAllObjects))
      .Key("realTimeMode", JsonBool(state.RealTimeMode))
      .Key("timeStepValue", JsonNumber(state.TimeStepValue))
      .Key("timeStepUnit", Int(state.TimeStepUnit))
      .Key("monitorVisible", JsonBool(state.MonitorVisible))
      .Key("monitorObject", JsonString(state.MonitorObject))
      .Key("descriptionColor", Int(state.DescriptionColor))
      .Key("descriptionVisible", JsonBool(state.DescriptionVisible))
      .Key("tablePath", JsonString(result.DocumentTablePath))
      .Key("tableName", JsonString(result.DocumentTableName));
  TJson lines('[');
  for (const std::string& line : state.Description) lines.Item(JsonString(line));
  j.Key("description", lines.Str());
  if (DescriptionPlainText)
    j.Key("descriptionText", JsonString(DescriptionPlainText(state.Description)));
  if (state.MainWindow) j.Key("mainWindow", IntArray(*state.MainWindow));
  if (state.MonitorPos) j.Key("monitorPos", IntArray(*state.MonitorPos));
  if (state.DescriptionWindow) j.Key("descriptionWindow", IntArray(*state.DescriptionWindow));
  out << j.Str() << "\n";
}

const char* const DumpHelp =
    "usage: sollumen-cli dump FILE [--program-dir DIR]\n\n"
    "Reads the simulation document FILE (any version: 1.0/1.1, 1.5, 1.6, 1.7)\n"
    "into a fresh default scene by the rules of opening a document and prints\n"
    "one JSON object on one line:\n"
    "  version             \"1.7\", \"1.6\", \"1.5\" or \"1.0\" (also for 1.1)\n"
    "  scene               jd (the document's instant as a Julian date; real-\n"
    "                      time mode is reported but not acted on), the view\n"
    "                      colours, switches and settings under their property\n"
    "                      names, ObjectColors (14 colour indices), planets\n"
    "                      (Visible, Color, satellites), lines, asteroids (Name,\n"
    "                      BodyNumber, Color, Visible, the 8 Elements: epoch,\n"
    "                      inclination, node, perihelion, axis, daily motion,\n"
    "                      eccentricity, mean longitude) and spacecraft (the\n"
    "                      trajectory file names read)\n"
    "  showAllObjects, realTimeMode, timeStepValue, timeStepUnit,\n"
    "  monitorVisible, monitorObject, descriptionColor, descriptionVisible,\n"
    "  tablePath, tableName, description (the lines of its rich text; for 1.0\n"
    "  documents those of the side file FILE.rtf when it exists),\n"
    "  descriptionText     its plain text, paragraphs separated by line feeds\n"
    "                      (in a build with the Qt side)\n"
    "  mainWindow [l,t,w,h], monitorPos [l,t], descriptionWindow [l,t,w,h]\n"
    "                      1.0 documents only\n"
    "Numbers have 17 significant digits, colours are integers (red in the low\n"
    "byte).\n\n"
    "A document whose first value is a text other than a known header prints\n"
    "{\"version\": null}. A document that cannot be opened or read prints the\n"
    "message on stderr, nothing on stdout, and exits with status 2.\n\n"
    "--program-dir DIR   where spacecraft trajectory files are looked for\n"
    "                    (default: the directory of sollumen-cli)\n";

const CliCommand DumpCommand("dump", "dump FILE [--program-dir DIR]   a document as JSON",
                             DumpHelp, RunDump);

}  // namespace
