// sollumen-cli render: the scene drawn into a PNG or BMP image (or a series
// of them, for a time-lapse film, or a film file), without a display.
#include "Cli.h"
#include "SceneArgs.h"

#include "app/output/ExportImage.h"
#include "app/output/FilmRecording.h"
#include "app/output/OutputTexts.h"
#include "astro/DatesAndTimes.h"
#include "scene/SolarSystem.h"

#include <algorithm>
#include <csignal>
#include <cstdio>

namespace {

constexpr int MinSize = 16;
constexpr int MaxSize = 8192;
constexpr int MaxFrames = 10000;

// The instants the program shows.
constexpr long double FirstJD = 990924.5L;
constexpr long double LastJD = 3912515.5L;

// An interrupted film (Ctrl+C, a terminal closed, kill) stops between two
// frames and removes its temporary file.
TFilmProgress* RunningFilm = nullptr;
extern "C" void StopFilm(int)
{
  if (RunningFilm) RunningFilm->Cancel = true;
}

void WriteFilm(TSolarSystem& scene, const TFilmSettings& settings)
{
  TFilmProgress progress;
  RunningFilm = &progress;
  const int stops[] = {SIGINT, SIGTERM, SIGHUP};
  void (*previous[3])(int);
  for (int i = 0; i < 3; ++i) previous[i] = std::signal(stops[i], StopFilm);
  try {
    RecordFilm(scene, settings, progress);
  } catch (...) {
    for (int i = 0; i < 3; ++i) std::signal(stops[i], previous[i]);
    RunningFilm = nullptr;
    throw;
  }
  for (int i = 0; i < 3; ++i) std::signal(stops[i], previous[i]);
  RunningFilm = nullptr;
}

// The file of frame k: the number before the extension of the name.
std::string FramePath(const std::string& out, int k)
{
  const std::size_t slash = out.rfind('/');
  const std::size_t dot = out.rfind('.');
  const std::size_t cut = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)
                              ? dot
                              : out.size();
  char number[16];
  std::snprintf(number, sizeof number, "%04d", k);
  return out.substr(0, cut) + number + out.substr(cut);
}

void RunRender(const CliArgs& args, std::ostream&)
{
  TSceneOptions scene;
  int size = 500;
  int colorMode = 2;
  int sizeMode = 0;
  bool captions = false;
  int frames = 0;  // 0: one image, no frame numbers
  bool hasStep = false;
  long double stepDays = 1;
  std::string out;
  std::string video;
  int fps = 0;  // 0: not given

  ParseOptions(
      args,
      {"--size", "--color-mode", "--size-mode", "--out", "--frames", "--step-days", "--video",
       "--fps"},
      {"--captions"}, scene, [&](const std::string& opt, const std::string& v) {
        if (opt == "--size") {
          size = static_cast<int>(IntegerIn(v, "size", MinSize, MaxSize));
        } else if (opt == "--color-mode") {
          colorMode = static_cast<int>(IntegerIn(v, "colour mode", 0, 3));
        } else if (opt == "--size-mode") {
          sizeMode = static_cast<int>(IntegerIn(v, "size mode", 0, 2));
        } else if (opt == "--out") {
          if (v.empty()) throw UsageError("--out needs a file name");
          out = v;
        } else if (opt == "--captions") {
          captions = true;
        } else if (opt == "--video") {
          if (v.empty()) throw UsageError("--video needs a file name");
          video = v;
        } else if (opt == "--fps") {
          fps = static_cast<int>(IntegerIn(v, "frames per second", MinFilmFps, MaxFilmFps));
        } else if (opt == "--frames") {
          frames = static_cast<int>(IntegerIn(v, "number of frames", 1, MaxFilmFrames));
        } else if (opt == "--step-days") {
          hasStep = true;
          stepDays = ParseReal(v, "step in days");
        }
      });
  if (!video.empty()) {
    if (!out.empty()) throw UsageError("--out and --video exclude each other");
    if (frames == 0) throw UsageError("--video needs --frames");
    if (size < MinFilmSize || size > MaxFilmSize)
      throw UsageError("the size of a film is 50 .. 4000 pixels");
    if (colorMode != 2 || sizeMode != 0)
      throw UsageError("films are drawn in screen colours and sizes (no --color-mode, --size-mode)");
    if (fps == 0) fps = 25;
    try {
      CheckFilmFile(video, fps);  // before any work
    } catch (const EFilmError& e) {
      throw UsageError(e.what());
    }
  } else {
    if (out.empty()) throw UsageError("expected --out FILE.png");
    if (fps != 0) throw UsageError("--fps needs --video");
    if (frames > MaxFrames) throw UsageError("at most 10000 numbered images; make a --video");
  }
  if (hasStep && frames == 0) throw UsageError("--step-days needs --frames");

  TOffscreenApplication application;
  TSolarSystem solarSystem;
  BuildScene(scene, solarSystem);

  auto render = [&](const std::string& path) {
    const QImage image = RenderExportImage(
        solarSystem, size,
        captions ? SceneCaptions(solarSystem) : std::vector<std::string>(), colorMode, sizeMode);
    SaveExportImage(path, image);  // its errors name the file
  };
  if (frames == 0) {
    render(out);
    return;
  }
  // Every instant of the film must be one the program shows, before the
  // first frame is written.
  const long double first = DateRecToJD(solarSystem.DateTime());
  const long double last = first + (frames - 1) * stepDays;
  if (std::min(first, last) < FirstJD || std::max(first, last) > LastJD)
    throw UsageError("the frames reach beyond 990924.5 .. 3912515.5 (last JD " +
                     std::to_string(static_cast<double>(last)) + ")");
  if (!video.empty()) {
    TFilmSettings film;
    film.Path = video;
    film.Frames = frames;
    film.StepDays = stepDays;
    film.Fps = fps;
    film.Size = size;
    film.Captions = captions;
    film.ViewLine = ViewLine(solarSystem.Plane, CenterText(solarSystem));
    WriteFilm(solarSystem, film);  // its errors name the file
    return;
  }
  for (int k = 0; k < frames; ++k) {
    if (k > 0) {
      solarSystem.SetDateTime(JDToDateRec(0, first + k * stepDays));
      if (scene.Center >= 0) solarSystem.SetCenterObject(scene.Center);
    }
    render(FramePath(out, k));
  }
}

const char* const RenderHelp =
    "usage: sollumen-cli render [--jd JD] [--size N] [--plane xy|xz|zy|3d] [--dim AU]\n"
    "         [--center NAME] [--rotx DEG] [--roty DEG] [--rotz DEG]\n"
    "         [--grid none|radial|rect] [--show NAME,...] [--hide NAME,...]\n"
    "         [--color-mode 0-3] [--size-mode 0-2] [--doc FILE.orb]\n"
    "         [--spacecraft FILE.spc ...] [--trajectory none|past|future|all|user]\n"
    "         [--days-back D] [--days-ahead D]\n"
    "         [--database DIR --table FILE [--all-objects] [--add NAME,...]] [--captions]\n"
    "         [--motion perturbed|kepler]\n"
    "         [--frames N [--step-days D]] --out FILE.png|FILE.bmp\n"
    "   or: sollumen-cli render [scene options as above] [--size N] [--captions]\n"
    "         --frames N [--step-days D] --video FILE.mp4|FILE.webm|FILE.gif [--fps F]\n\n"
    "Draws the scene with its start-up settings (3D view turned 45 degrees\n"
    "about x and z, 2 AU half-width about the Sun, rectangular grid; nine\n"
    "planets and 22 satellites) at the instant JD into an N x N image and\n"
    "writes it as a PNG file, or a BMP file when FILE ends in .bmp (any case).\n"
    "Nothing is printed.\n\n"
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
    "  --out FILE       the image file to write (replaced when complete)\n"
    "  --captions       write the instant and the view into the top left corner,\n"
    "                   as the exported image does, in the complement of the\n"
    "                   background's colour\n"
    "  --frames N       write N images, 1 .. 10000, for a time-lapse film: the\n"
    "                   frame number (0000, 0001, ...) goes before the\n"
    "                   extension of FILE (film.png: film0000.png, ...)\n"
    "  --video FILE     write the N frames as one film instead: H.264 in an MP4\n"
    "                   file, VP9 in a WebM file or an animated GIF (one palette\n"
    "                   for the film), by the extension; up to 100000 frames of\n"
    "                   50 .. 4000 pixels, each the picture --out would write.\n"
    "                   The film the window's \"Save animation\" writes for the\n"
    "                   same scene, step and size. Replaced only when complete;\n"
    "                   an interrupted film leaves no file\n"
    "  --fps F          frames per second of the film, 1 .. 60 (GIF: 1 .. 50);\n"
    "                   default 25\n"
    "  --step-days D    days the instant advances from one frame to the next\n"
    "                   (may be negative or fractional); default 1. Every\n"
    "                   frame's instant must lie in the range of --jd\n"
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
    "                   unknown name is an error\n"
    "  --motion perturbed|kepler\n"
    "                   how listed minor bodies and those of a document move:\n"
    "                   pulled by the planets along orbits integrated from their\n"
    "                   elements, the orbit drawn osculating at the instant\n"
    "                   (default), or on the fixed two-body ellipse of their\n"
    "                   elements; the dots of --all-objects are always two-body\n\n"
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
