// The full list of minor bodies at the size of the whole catalogue: the
// positions of 1.4 million bodies (on all cores and on one), the dots drawn
// into an 800 x 800 image of 32-bit pixels, and the memory per body.
#include "SyntheticCatalogue.h"

#include "astro/DatesAndTimes.h"
#include "bodies/DotBodyList.h"
#include "scene/DotPainter.h"
#include "scene/SolarSystem.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr long double Instant = 2460676.5L;  // 2025 January 1, inside 1950..2050

TDotBodyList& Catalogue()
{
  static TDotBodyList list;
  if (list.Count() == 0) FillSyntheticCatalogue(list, CatalogueSize, 0x008080);
  return list;
}

// The same number of bodies, all below the eccentricity from which Kepler's
// equation is solved the slow way, to show what the few others cost.
TDotBodyList& LowEccentricityCatalogue()
{
  static TDotBodyList list;
  if (list.Count() == 0) {
    std::mt19937 rng(1404);
    list.Reserve(CatalogueSize);
    while (list.Count() < CatalogueSize) {
      const TOrbitElements el = SyntheticElements(rng);
      if (el.Ecc < 0.5L) list.Add(el, 0x008080);
    }
  }
  return list;
}

// A bare image: 32-bit pixels and nothing else, so that only the scene's
// own work is measured.
class TBufferCanvas : public TCanvas {
public:
  TBufferCanvas(int w, int h) : w_(w), h_(h), pixels_(static_cast<size_t>(w) * h) {}
  void FillRect(int left, int top, int right, int bottom, TColor color) override
  {
    for (int y = std::max(0, top); y < std::min(bottom, h_); ++y)
      std::fill(&pixels_[static_cast<size_t>(y) * w_ + std::max(0, left)],
                &pixels_[static_cast<size_t>(y) * w_ + std::min(right, w_)], PixelValue(color));
  }
  void SetPixel(int x, int y, TColor color) override
  {
    if (x >= 0 && y >= 0 && x < w_ && y < h_) pixels_[static_cast<size_t>(y) * w_ + x] = color;
  }
  void SetPen(TColor, int, TPenStyle) override {}
  void SetBrush(TColor, TBrushStyle) override {}
  void MoveTo(int, int) override {}
  void LineTo(int, int) override {}
  void Ellipse(int, int, int, int) override {}
  void SetFontColor(TColor) override {}
  void TextOut(int, int, const std::string&) override {}
  int TextWidth(const std::string& text) override { return 7 * static_cast<int>(text.size()); }
  int TextHeight(const std::string&) override { return 13; }
  void SetClipRect(int, int, int, int) override {}
  std::uint32_t* Pixels() override { return pixels_.data(); }
  int PixelsWidth() const override { return w_; }
  int PixelsHeight() const override { return h_; }

private:
  int w_, h_;
  std::vector<std::uint32_t> pixels_;
};

void CalculateAll(benchmark::State& state, TDotBodyList& list, int threads)
{
  long double jd = Instant;
  for (auto _ : state) {
    list.CalculateAll(jd, threads);
    jd += 1;
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * list.Count());
  state.counters["ns_per_body"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * list.Count(),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["threads"] = threads > 0 ? threads : TDotBodyList::ThreadCount(list.Count());
}

void BM_CalculateAll(benchmark::State& state) { CalculateAll(state, Catalogue(), 0); }
void BM_CalculateAllOneThread(benchmark::State& state) { CalculateAll(state, Catalogue(), 1); }
void BM_CalculateAllLowEccentricityOneThread(benchmark::State& state)
{
  CalculateAll(state, LowEccentricityCatalogue(), 1);
}

// A scene that draws nothing but the dots of the full list: the image
// cleared, then the projection, the view tests and the pixel writes.
void PaintDots(benchmark::State& state, TPlane plane, long double dim, int sizeMode)
{
  static TSolarSystem* scene = nullptr;
  if (!scene) {
    scene = new TSolarSystem;  // kept for the whole run, with its catalogue
    FillSyntheticCatalogue(scene->AsteroidsFullList(), CatalogueSize, 0x008080);
    scene->SetDateTime(JDToDateRec(0, Instant));
    scene->ShowOrbits = false;
    scene->ShowSun = false;
    scene->ShowDirections = false;
    scene->GridMode = 0;
    for (int i = 0; i < scene->PlanetsList().Count(); ++i)
      scene->PlanetsList().Items(i)->Visible = false;
  }
  scene->Plane = plane;
  scene->SetDim(dim);
  TBufferCanvas canvas(800, 800);
  for (auto _ : state) {
    scene->Paint(&canvas, 0, 0, 800, 800, 2, sizeMode);
    benchmark::ClobberMemory();
  }
  state.counters["ns_per_body"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * CatalogueSize,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_SceneDots3D(benchmark::State& state) { PaintDots(state, D3, 4, 0); }
void BM_SceneDotsXY(benchmark::State& state) { PaintDots(state, XY, 4, 0); }
void BM_SceneDots3DSizeMode2(benchmark::State& state) { PaintDots(state, D3, 4, 2); }

// The dot painter alone, without the scene: the start-up 3D view at 4 AU.
void BM_DotPainter(benchmark::State& state)
{
  TDotBodyList& list = Catalogue();
  list.CalculateAll(Instant);
  TSolarSystem scene;  // for its view matrix
  TDotView view;
  SetDotViewPlane(view, D3, scene.ViewMatrix());
  view.Dim = 4;
  view.Width = view.Height = 800;
  view.SizeMode = static_cast<int>(state.range(0));
  TBufferCanvas canvas(800, 800);
  for (auto _ : state) {
    ::PaintDots(canvas, list, view);
    benchmark::ClobberMemory();
  }
  state.counters["ns_per_body"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * list.Count(),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_MemoryPerBody(benchmark::State& state)
{
  TDotBodyList& list = Catalogue();
  for (auto _ : state) benchmark::DoNotOptimize(list.MemoryBytes());
  state.counters["bytes_per_body"] =
      static_cast<double>(list.MemoryBytes()) / static_cast<double>(list.Count());
}

}  // namespace

BENCHMARK(BM_CalculateAll)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_CalculateAllOneThread)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_CalculateAllLowEccentricityOneThread)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_SceneDots3D)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_SceneDotsXY)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_SceneDots3DSizeMode2)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_DotPainter)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_MemoryPerBody)->Iterations(1);
