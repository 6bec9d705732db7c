// The lunar theory's cost per evaluation. The Moon body evaluates it 361
// times per recomputation (its position and 360 orbit points), each at a new
// instant, so the obliquity and nutation caches miss every time.
#include "astro/moon404.h"

#include <benchmark/benchmark.h>

namespace {

// One orbit's worth of instants: a new date at every call.
void BM_MoonEclipticOrbit(benchmark::State& state)
{
  const long double start = 2460000.5L, step = 27.321661L / 360;
  int i = 0;
  TRectCoord rect;
  TPolarCoord polar;
  for (auto _ : state) {
    MoonEcliptic(start + step * i, rect, polar);
    benchmark::DoNotOptimize(rect);
    i = i == 360 ? 0 : i + 1;
  }
}
BENCHMARK(BM_MoonEclipticOrbit)->Unit(benchmark::kMicrosecond);

// The same instant again and again: the caches hit, the theory is still run.
void BM_MoonEclipticSameInstant(benchmark::State& state)
{
  TRectCoord rect;
  TPolarCoord polar;
  for (auto _ : state) {
    MoonEcliptic(2460000.5L, rect, polar);
    benchmark::DoNotOptimize(rect);
  }
}
BENCHMARK(BM_MoonEclipticSameInstant)->Unit(benchmark::kMicrosecond);

void BM_MoonJ2000Equatorial(benchmark::State& state)
{
  long double jd = 2460000.5L;
  for (auto _ : state) {
    TRectCoord v = MoonJ2000Equatorial(jd);
    benchmark::DoNotOptimize(v);
    jd += 0.1L;
  }
}
BENCHMARK(BM_MoonJ2000Equatorial)->Unit(benchmark::kMicrosecond);

}  // namespace
