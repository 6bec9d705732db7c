// Scenes and documents with many listed minor bodies, main-belt orbits shown:
// - an animation tick (one day on, recalculate and paint 800 x 800) of the
//   start-up scene with 10,000 bodies added; target 100 ms, and at most ten
//   times the tick of the same scene without them, measured in the same run
//   (counter "ratio");
// - `sollumen-cli dump` of a document of 200,000 bodies (target 3 s, peak
//   memory 600 MB: counter "peak_MB"), `render --doc` of 20,000 bodies
//   (target 2 s) and `render --doc --frames 4` of 10,000 (target 1.5 s in
//   all), each run as a program of its own, as a user runs it.
// The documents are written once into the temporary directory.
#include "SyntheticDocument.h"

#include "app/widgets/QtCanvas.h"
#include "app/widgets/SceneImage.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

constexpr int Side = 800;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b)
{
  return std::chrono::duration<double>(b - a).count();
}

// One tick: a day on, then the whole view painted.
double Tick(TSolarSystem& scene, TQtCanvas& canvas, TDateRec& instant)
{
  const auto t0 = Clock::now();
  AddTimeSteps(instant, tsuDay, 1);
  scene.SetDateTime(instant);
  scene.Paint(&canvas, 0, 0, Side, Side, 2, 0);
  return Seconds(t0, Clock::now());
}

void BM_TickWith10000MinorBodies(benchmark::State& state)
{
  QImage image(Side, Side, QImage::Format_RGB32);
  TQtCanvas canvas(image);
  canvas.SetFont(SceneImageFont());
  TSolarSystem plain, busy;
  AddMainBeltBodies(busy, 10000);
  TDateRec plainInstant = JDToDateRec(0, SyntheticDocumentJD);
  TDateRec busyInstant = plainInstant;
  plain.SetDateTime(plainInstant);
  busy.SetDateTime(busyInstant);
  busy.Paint(&canvas, 0, 0, Side, Side, 2, 0);  // the first paint builds the orbits
  double plainTotal = 0, busyTotal = 0;
  for (auto _ : state) {
    plainTotal += Tick(plain, canvas, plainInstant);
    const double t = Tick(busy, canvas, busyInstant);
    busyTotal += t;
    state.SetIterationTime(t);
  }
  plain.ForgetCanvas(&canvas);
  busy.ForgetCanvas(&canvas);
  const double n = static_cast<double>(state.iterations());
  state.counters["plain_ms"] = 1000 * plainTotal / n;
  state.counters["ratio"] = busyTotal / plainTotal;
}
BENCHMARK(BM_TickWith10000MinorBodies)->UseManualTime()->Unit(benchmark::kMillisecond);

// Runs the command-line program with these arguments, its output thrown
// away; its wall time and peak memory.
void RunCli(benchmark::State& state, const std::vector<std::string>& args)
{
  std::vector<std::string> all{SOLLUMEN_CLI};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  double peak = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    pid_t pid;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
      state.SkipWithError("cannot start sollumen-cli");
      break;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    state.SetIterationTime(Seconds(t0, Clock::now()));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("sollumen-cli failed");
      break;
    }
    peak = std::max(peak, usage.ru_maxrss / 1024.0);  // kB
  }
  posix_spawn_file_actions_destroy(&actions);
  state.counters["peak_MB"] = peak;
}

std::string Out(const char* name)
{
  return (std::filesystem::temp_directory_path() / "sollumen-bench" / name).string();
}

void BM_CliDump(benchmark::State& state)
{
  RunCli(state, {"dump", SyntheticDocument(static_cast<int>(state.range(0))).string()});
}
BENCHMARK(BM_CliDump)->Arg(20000)->Arg(200000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_CliRenderDocument(benchmark::State& state)
{
  RunCli(state, {"render", "--doc", SyntheticDocument(static_cast<int>(state.range(0))).string(),
                 "--out", Out("render.png")});
}
BENCHMARK(BM_CliRenderDocument)->Arg(10000)->Arg(20000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_CliRenderFourFrames(benchmark::State& state)
{
  RunCli(state, {"render", "--doc", SyntheticDocument(static_cast<int>(state.range(0))).string(),
                 "--frames", "4", "--out", Out("frame.png")});
}
BENCHMARK(BM_CliRenderFourFrames)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

// Text needs an application object, made here so that it outlives every
// benchmark; the off-screen platform needs no display.
int main(int argc, char** argv)
{
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qtArgc = 1;
  QGuiApplication app(qtArgc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
