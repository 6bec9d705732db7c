// Spacecraft: loading a trajectory file, interpolating, and painting
// trajectories (the example's, and a long synthetic one) on a canvas that
// draws nothing, so that only the scene's own work is timed.
#include "bodies/Spacecraft.h"
#include "scene/SolarSystem.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>

namespace {

const std::filesystem::path Example =
    std::filesystem::path(__FILE__).parent_path() / "../data/spacecraft/Example-Earth-Mars.spc";

class TNullCanvas : public TCanvas {
public:
  void FillRect(int, int, int, int, TColor) override {}
  void SetPixel(int x, int y, TColor) override { Pixels += x + y; }
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
  long long Pixels = 0;
};

void BM_LoadExample(benchmark::State& state)
{
  for (auto _ : state) {
    TSpacecraft c(Example, 0);
    benchmark::DoNotOptimize(c.Positions.Count());
  }
}
BENCHMARK(BM_LoadExample);

void BM_Calculate(benchmark::State& state)
{
  TSpacecraft c(Example, 0);
  const long double span = c.Positions.LastJD - c.Positions.FirstJD;
  long double jd = c.Positions.FirstJD;
  for (auto _ : state) {
    c.Calculate(jd);
    benchmark::DoNotOptimize(c.Position);
    jd += 0.37L;
    if (jd > c.Positions.FirstJD + span) jd -= span;
  }
}
BENCHMARK(BM_Calculate);

void BM_PositionOfDate(benchmark::State& state)
{
  TSpacecraft c(Example, 0);
  const TRectCoord v{1.1L, -0.4L, 0.02L};
  for (auto _ : state) benchmark::DoNotOptimize(c.PositionOfDate(v, 2461500.5L));
}
BENCHMARK(BM_PositionOfDate);

// Only the spacecraft and its whole trajectory; n synthetic points when
// n > 0, else the example.
void PaintTrajectory(benchmark::State& state, int n)
{
  TSolarSystem scene;
  TDateRec rec;
  rec.Year = 2027;
  rec.Month = 3;
  rec.Day = 1;
  scene.SetDateTime(rec);
  scene.GridMode = 0;
  scene.ShowSun = false;
  scene.ShowNames = false;
  for (int i = 0; i < scene.PlanetsList().Count(); ++i)
    scene.PlanetsList().Items(i)->Visible = false;
  scene.SpacecraftTrajectoryMode = stmAll;
  if (n > 0) {
    auto c = std::make_unique<TSpacecraft>(0x808080);
    c->Equinox = 2451545.0L;
    c->Positions.FirstJD = scene.JD() - n / 200.0L;
    c->Positions.LastJD = scene.JD() + n / 200.0L;
    for (int k = 0; k < n; ++k) {
      const long double a = k * 1e-4L;
      c->Positions.Add(c->Positions.FirstJD + k / 100.0L, {1.5L * std::cos(a), 1.5L * std::sin(a), 0});
    }
    scene.SpacecraftsList().Add(std::move(c));
  } else {
    scene.SpacecraftsList().AddFromFile(Example, 0x808080);
  }
  scene.Recalculate();
  TNullCanvas canvas;
  for (auto _ : state) scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  benchmark::DoNotOptimize(canvas.Pixels);
  state.counters["points"] = static_cast<double>(scene.SpacecraftsList().Items(0)->Positions.Count());
}

void BM_PaintExampleTrajectory(benchmark::State& state) { PaintTrajectory(state, 0); }
BENCHMARK(BM_PaintExampleTrajectory);

void BM_PaintLongTrajectory(benchmark::State& state) { PaintTrajectory(state, 100000); }
BENCHMARK(BM_PaintLongTrajectory);

}  // namespace
