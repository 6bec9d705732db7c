// Films of the default scene: a year by days at 1080 x 1080 in H.264 (the
// frames drawn on one thread while the caller encodes), and 100 frames of
// an animated GIF (and of VP9) at 500 x 500. The counters give the
// processor seconds of the whole film (cpu_s), of the drawing thread
// (render_cpu_s) and so of the encoding (encode_cpu_s, the encoder's own
// threads included), the wall time, and the size of the file. On a machine
// shared with other work, cpu_s / 2 is what two free cores would take.
#include "app/output/FilmRecording.h"
#include "astro/DatesAndTimes.h"
#include "scene/SolarSystem.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QGuiApplication& Application()
{
  static int argc = 1;
  static char name[] = "film_bench";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QGuiApplication app(argc, argv);
  return app;
}

void Film(benchmark::State& state, const char* extension, int frames, int size)
{
  Application();
  TFilmSettings settings;
  settings.Path = (std::filesystem::temp_directory_path() /
                   ("film_bench" + std::to_string(getpid()) + extension))
                      .string();
  settings.Frames = frames;
  settings.StepDays = 1;
  settings.Fps = 25;
  settings.Size = size;
  settings.ViewLine = "3D-plot, centered to Sun";
  TFilmTimes times;
  double cpu = 0;
  auto processSeconds = [] {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
  };
  for (auto _ : state) {
    const double before = processSeconds();
    TSolarSystem scene;
    scene.SetDateTime(JDToDateRec(0, 2460676.5L));
    TFilmProgress progress;
    times = RecordFilm(scene, settings, progress);
    cpu = processSeconds() - before;
  }
  state.counters["cpu_s"] = cpu;
  state.counters["render_cpu_s"] = times.Render;
  state.counters["encode_cpu_s"] = cpu - times.Render;
  state.counters["wall_s"] = times.Total;
  state.counters["MB"] = std::filesystem::file_size(settings.Path) / 1e6;
  std::filesystem::remove(settings.Path);
}

void BM_YearByDaysH264(benchmark::State& state) { Film(state, ".mp4", 365, 1080); }
BENCHMARK(BM_YearByDaysH264)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void BM_Gif100Frames500(benchmark::State& state) { Film(state, ".gif", 100, 500); }
BENCHMARK(BM_Gif100Frames500)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void BM_WebM100Frames500(benchmark::State& state) { Film(state, ".webm", 100, 500); }
BENCHMARK(BM_WebM100Frames500)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
