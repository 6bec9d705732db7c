// The planets' cost per recomputation of the scene: PlanetPosition for Earth
// to Neptune at one instant, in the era of the DE404 fits and in that of
// VSOP87B, and the two series alone for one planet.
#include "astro/de404series.h"
#include "astro/plt404.h"
#include "astro/vsop87b.h"

#include <benchmark/benchmark.h>

namespace {

// A new instant every iteration, as when the time runs: the obliquity and
// nutation caches are recomputed once per instant.
void EightPlanets(benchmark::State& state, long double start)
{
  int i = 0;
  TRectCoord rect;
  TPolarCoord sph;
  for (auto _ : state) {
    const long double jd = start + 0.37L * i++;
    for (int planet = 0; planet < 8; ++planet) {
      PlanetPosition(planet, jd, rect, sph);
      benchmark::DoNotOptimize(rect);
    }
  }
}

void BM_EightPlanetsDe404Era(benchmark::State& state) { EightPlanets(state, 2460000.5L); }
BENCHMARK(BM_EightPlanetsDe404Era)->Unit(benchmark::kMicrosecond);

void BM_EightPlanetsVsop87bEra(benchmark::State& state) { EightPlanets(state, 3500000.5L); }
BENCHMARK(BM_EightPlanetsVsop87bEra)->Unit(benchmark::kMicrosecond);

// Halfway through the late window both series are evaluated.
void BM_EightPlanetsBlendWindow(benchmark::State& state) { EightPlanets(state, 2798532.5L); }
BENCHMARK(BM_EightPlanetsBlendWindow)->Unit(benchmark::kMicrosecond);

void BM_De404Saturn(benchmark::State& state)
{
  long double jd = 2460000.5L;
  for (auto _ : state) benchmark::DoNotOptimize(De404Equatorial(6, jd += 0.37L));
}
BENCHMARK(BM_De404Saturn)->Unit(benchmark::kMicrosecond);

void BM_Vsop87bSaturn(benchmark::State& state)
{
  long double jd = 3500000.5L;
  for (auto _ : state) benchmark::DoNotOptimize(Vsop87bEquatorial(6, jd += 0.37L));
}
BENCHMARK(BM_Vsop87bSaturn)->Unit(benchmark::kMicrosecond);

}  // namespace
