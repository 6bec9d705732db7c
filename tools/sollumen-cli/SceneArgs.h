// The scene options shared by the commands that draw (render, print): the
// instant, the view, the switches, a document and spacecraft; and the
// off-screen application they draw with; and minor bodies from a table.
#pragma once

#include "Cli.h"

#include "scene/SolarSystem.h"

#include <QGuiApplication>

#include <set>
#include <string>
#include <utility>
#include <vector>

struct TSceneOptions {
  bool HasJD = false;
  long double JD = 0;
  int Plane = -1;
  long double Dim = -1;
  int Center = -1;
  bool HasRot[3] = {false, false, false};
  long double Rot[3] = {0, 0, 0};
  int Grid = -1;
  std::vector<std::pair<bool TSolarSystem::*, bool>> Switches;  // in the order given
  std::string Doc;
  std::vector<std::string> Spacecraft;  // trajectory files, in the order given
  int Trajectory = -1;
  long double DaysBack = -1;
  long double DaysAhead = -1;
  std::string Database, Table;  // the minor-body table
  bool AllObjects = false;       // every row, as "Show all objects" draws them
  std::vector<std::string> Add;  // names of rows to list, in the order given
  TMinorBodyMotion Motion = TMinorBodyMotion::Perturbed;
};

// The names of the scene options (each takes a value but the flags).
const std::set<std::string>& SceneOptionNames();
const std::set<std::string>& SceneFlagNames();
// Reads the value of one of them.
void ParseSceneOption(const std::string& option, const std::string& value, TSceneOptions& o);

// Walks "--name value" pairs and bare `flags`: refuses unknown options
// (neither a scene option nor in `own`), options given twice (but
// --spacecraft) and missing values; hands every other option to `handle`
// (a flag with an empty value) and the scene options to `scene`.
template <class Handler>
void ParseOptions(const CliArgs& args, const std::set<std::string>& own,
                  const std::set<std::string>& flags, TSceneOptions& scene, Handler&& handle);

// The scene of the options: the document's (or the start-up scene), with
// the other options on top, at the instant asked for.
void BuildScene(const TSceneOptions& o, TSolarSystem& scene);
// What the main window's centre list shows for the scene's centre body.
std::string CenterText(const TSolarSystem& scene);
// The two text lines of a printed page or exported image.
std::vector<std::string> SceneCaptions(const TSolarSystem& scene);

// An integer within lo .. hi, or a usage error naming `what`.
long long IntegerIn(const std::string& text, const char* what, long long lo, long long hi);

// Text and fonts need an application object; the off-screen platform needs
// no display, whatever QT_QPA_PLATFORM says.
struct TOffscreenApplication {
  TOffscreenApplication();
  ~TOffscreenApplication();
  QtMessageHandler previous;
  int argc = 3;
  char name[13] = "sollumen-cli";
  char platform[10] = "-platform";
  char offscreen[10] = "offscreen";
  char* argv[4] = {name, platform, offscreen, nullptr};
  QGuiApplication app{argc, argv};
};

// ---- template definition

template <class Handler>
void ParseOptions(const CliArgs& args, const std::set<std::string>& own,
                  const std::set<std::string>& flags, TSceneOptions& scene, Handler&& handle)
{
  std::set<std::string> seen;
  for (std::size_t i = 0; i < args.size();) {
    const std::string& opt = args[i];
    if (opt.rfind("--", 0) != 0) throw UsageError("unexpected argument '" + opt + "'");
    const bool isSceneFlag = SceneFlagNames().count(opt) > 0;
    const bool isScene = isSceneFlag || SceneOptionNames().count(opt) > 0;
    const bool isFlag = isSceneFlag || flags.count(opt) > 0;
    if (!isScene && !isFlag && !own.count(opt)) throw UsageError("unknown option '" + opt + "'");
    if (!seen.insert(opt).second && opt != "--spacecraft") throw UsageError(opt + " given twice");
    if (isFlag) {
      if (isSceneFlag)
        ParseSceneOption(opt, std::string(), scene);
      else
        handle(opt, std::string());
      ++i;
      continue;
    }
    if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0)
      throw UsageError(opt + " needs a value");
    if (isScene)
      ParseSceneOption(opt, args[i + 1], scene);
    else
      handle(opt, args[i + 1]);
    i += 2;
  }
}
