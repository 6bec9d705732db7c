// One animation tick of the scene on the QPainter canvas, 800 x 800 pixels:
// the default scene's Paint, one day forward (SetDateTime + Paint) in the
// default view and in the satellite views of Jupiter and Saturn, and the
// same with a full list of 1.4 million minor bodies (the animation clock
// leaves 200 ms per tick).
#include "SyntheticCatalogue.h"

#include "app/widgets/QtCanvas.h"
#include "app/widgets/SceneImage.h"
#include "astro/DatesAndTimes.h"
#include "scene/SolarSystem.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <cstdlib>
#include <memory>

namespace {

constexpr int Side = 800;
constexpr long double Instant = 2460676.5L;  // 2025 January 1

TSolarSystem& DefaultScene()
{
  static std::unique_ptr<TSolarSystem> scene;
  if (!scene) {
    scene = std::make_unique<TSolarSystem>();
    scene->SetDateTime(JDToDateRec(0, Instant));
  }
  return *scene;
}

TSolarSystem& CatalogueScene()
{
  static std::unique_ptr<TSolarSystem> scene;
  if (!scene) {
    scene = std::make_unique<TSolarSystem>();
    FillSyntheticCatalogue(scene->AsteroidsFullList(), CatalogueSize, 0x008080);
    scene->SetDateTime(JDToDateRec(0, Instant));
  }
  return *scene;
}

// Paint over and over on one image, as the window repaints its area.
void PaintOnImage(benchmark::State& state, TSolarSystem& scene, bool recalculate)
{
  QImage image(Side, Side, QImage::Format_RGB32);
  TQtCanvas canvas(image);
  canvas.SetFont(SceneImageFont());
  TDateRec instant = JDToDateRec(0, Instant);
  for (auto _ : state) {
    if (recalculate) {
      AddTimeSteps(instant, tsuDay, 1);
      scene.SetDateTime(instant);
    }
    scene.Paint(&canvas, 0, 0, Side, Side, 2, 0);
  }
  scene.ForgetCanvas(&canvas);
}

void BM_DefaultScenePaint(benchmark::State& state) { PaintOnImage(state, DefaultScene(), false); }
void BM_DefaultSceneTick(benchmark::State& state) { PaintOnImage(state, DefaultScene(), true); }

// A planet's satellite system: the view centred on Jupiter (4) or Saturn
// (5) at 0.02 AU, every satellite orbit drawn with its perpendiculars,
// apsides and line of nodes.
void BM_SatelliteViewTick(benchmark::State& state)
{
  TSolarSystem scene;
  scene.SetDateTime(JDToDateRec(0, Instant));
  scene.SetCenterObject(static_cast<int>(state.range(0)));
  scene.SetDim(0.02L);
  scene.ShowPerpendiculars = scene.ShowApsides = scene.ShowLineOfNodes = true;
  PaintOnImage(state, scene, true);
}

void BM_CatalogueScenePaint(benchmark::State& state)
{
  CatalogueScene().SetDim(state.range(0) / 10.0L);
  PaintOnImage(state, CatalogueScene(), false);
}

void BM_CatalogueSceneTick(benchmark::State& state)
{
  CatalogueScene().SetDim(state.range(0) / 10.0L);
  PaintOnImage(state, CatalogueScene(), true);
}

}  // namespace

BENCHMARK(BM_DefaultScenePaint)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_DefaultSceneTick)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_SatelliteViewTick)->Arg(4)->Arg(5)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
// Dim 2 AU (the start-up view) and 4 AU (the whole main belt in view).
BENCHMARK(BM_CatalogueScenePaint)->Arg(20)->Arg(40)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_CatalogueSceneTick)->Arg(20)->Arg(40)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Text needs an application object, made here so that it outlives every
// benchmark and goes before the rest of Qt; the off-screen platform needs no
// display.
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
