// A film of the scene moving through time: frame k shows the instant k
// steps after the first, drawn exactly as image export draws a picture
// (the same painting, the same two caption lines), and the frames go to a
// film file (FilmWriter). The window and the command line make their films
// here, so the same scene, step and size give the same film.
#pragma once

#include "app/output/FilmWriter.h"
#include "astro/DatesAndTimes.h"
#include "scene/SolarSystem.h"

#include <QImage>

#include <atomic>
#include <stdexcept>
#include <string>

struct TFilmSettings {
  std::string Path;       // .mp4, .webm or .gif
  int Frames = 100;       // 1 .. MaxFilmFrames
  long double StepDays = 1;  // from one frame to the next; may be negative
  int Fps = 25;
  int Size = 500;         // the picture's side in pixels
  bool Captions = true;   // the instant and the view in the top left corner
  std::string ViewLine;   // the second caption line ("3D-plot, centered to Sun")
};

constexpr int MaxFilmFrames = 100000;
constexpr int MinFilmSize = 50;
constexpr int MaxFilmSize = 4000;

// The instant of frame k: `first` itself for k = 0, then first + k steps
// (in UT).
TDateRec FilmFrameInstant(const TDateRec& first, long double stepDays, int k);
// Throws EFilmError naming the range when some frame's instant lies outside
// Julian date 990924.5 .. 3912515.5.
void CheckFilmInstants(const TDateRec& first, long double stepDays, int frames);

// Frame k of a film starting at `first`: the scene set to its instant and
// drawn with its caption lines.
QImage RenderFilmFrame(TSolarSystem& scene, const TDateRec& first, const TFilmSettings& settings,
                       int k);

// Shared with the thread that watches a film being made.
struct TFilmProgress {
  std::atomic<int> FramesDone{0};  // encoded
  std::atomic<bool> Cancel{false};
};

// The user stopped the film; nothing was written.
class EFilmCancelled : public std::runtime_error {
public:
  EFilmCancelled() : std::runtime_error("The film was cancelled; no file was written.") {}
};

// Seconds spent drawing frames (processor time of the drawing thread) and
// encoding them (time on the caller's thread, waits for frames excluded),
// and from start to end.
struct TFilmTimes {
  double Render = 0;
  double Encode = 0;
  double Total = 0;
};

// Makes the film from the scene's current instant on. The frames are drawn
// on a thread of their own while the calling thread encodes them, a few
// frames queued between; the scene is moved through the film's instants
// (give it a copy of the window's, CopyScene). Throws EFilmError (nothing
// written, an earlier file intact) or EFilmCancelled when progress.Cancel
// was set.
TFilmTimes RecordFilm(TSolarSystem& scene, const TFilmSettings& settings,
                      TFilmProgress& progress);

// The colours of a scene (0xRRGGBB) that a GIF film's palette keeps exactly.
std::vector<std::uint32_t> SceneFilmColors(const TSolarSystem& scene);
