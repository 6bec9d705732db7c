// The scene at animation speed: every 200 ms tick recomputes all bodies and
// repaints the whole view. Targets: Recalculate of the default scene within
// 15 ms, Paint at 800 x 800 within 10 ms.
#include "scene/RecordingCanvas.h"
#include "scene/SolarSystem.h"

#include <benchmark/benchmark.h>

namespace {

// Draws nothing: measures the scene's own work.
class TNullCanvas : public TCanvas {
public:
  void FillRect(int, int, int, int, TColor) override {}
  void SetPixel(int, int, TColor) override { ++Pixels_; }
  void SetPen(TColor, int, TPenStyle) override {}
  void SetBrush(TColor, TBrushStyle) override {}
  void MoveTo(int, int) override {}
  void LineTo(int, int) override { ++Lines_; }
  void Ellipse(int, int, int, int) override {}
  void SetFontColor(TColor) override {}
  void TextOut(int, int, const std::string&) override {}
  int TextWidth(const std::string& text) override { return 7 * static_cast<int>(text.size()); }
  int TextHeight(const std::string&) override { return 13; }
  void SetClipRect(int, int, int, int) override {}

  long Pixels_ = 0;
  long Lines_ = 0;
};

TDateRec Instant()
{
  TDateRec r;
  r.Year = 2024;
  r.Month = 3;
  r.Day = 20;
  r.Hour = 6;
  return r;
}

void BM_DefaultSceneRecalculate(benchmark::State& state)
{
  TSolarSystem scene;
  scene.SetDateTime(Instant());
  long double step = 0;
  for (auto _ : state) {
    // A new instant each time, as the animation clock gives.
    TDateRec r = Instant();
    r.Minute = static_cast<int>(step);
    step = step < 58 ? step + 1 : 0;
    scene.SetDateTime(r);
    benchmark::DoNotOptimize(scene.Planet(0)->Position.X);
  }
}
BENCHMARK(BM_DefaultSceneRecalculate)->Unit(benchmark::kMillisecond);

void PaintDefault(benchmark::State& state, TCanvas& canvas, bool everything)
{
  TSolarSystem scene;
  scene.SetDateTime(Instant());
  if (everything) {
    scene.ShowRotAxis = scene.ShowRotation = scene.ShowPerpendiculars = true;
    scene.ShowApsides = scene.ShowLineOfNodes = true;
  }
  for (auto _ : state) scene.Paint(&canvas, 0, 0, 800, 800, 2, 0);
}

void BM_DefaultScenePaintNull(benchmark::State& state)
{
  TNullCanvas canvas;
  PaintDefault(state, canvas, false);
}
BENCHMARK(BM_DefaultScenePaintNull)->Unit(benchmark::kMillisecond);

void BM_DefaultScenePaintAllOverlaysNull(benchmark::State& state)
{
  TNullCanvas canvas;
  PaintDefault(state, canvas, true);
}
BENCHMARK(BM_DefaultScenePaintAllOverlaysNull)->Unit(benchmark::kMillisecond);

void BM_DefaultScenePaintRecording(benchmark::State& state)
{
  TRecordingCanvas canvas;
  TSolarSystem scene;
  scene.SetDateTime(Instant());
  for (auto _ : state) {
    canvas.Clear();
    scene.Paint(&canvas, 0, 0, 800, 800, 2, 0);
  }
  state.counters["ops"] = static_cast<double>(canvas.Ops.size());
}
BENCHMARK(BM_DefaultScenePaintRecording)->Unit(benchmark::kMillisecond);

// The planets around Jupiter: its satellites with their orbits and overlays.
void BM_JupiterSystemPaintNull(benchmark::State& state)
{
  TNullCanvas canvas;
  TSolarSystem scene;
  scene.SetDateTime(Instant());
  scene.SetCenterObject(4);
  scene.SetDim(0.02L);
  scene.ShowPerpendiculars = scene.ShowApsides = scene.ShowLineOfNodes = true;
  for (auto _ : state) scene.Paint(&canvas, 0, 0, 800, 800, 2, 0);
}
BENCHMARK(BM_JupiterSystemPaintNull)->Unit(benchmark::kMillisecond);

}  // namespace
