// KeplerPosition runs for every orbit point of every element body, 360 per
// body per recomputation.
#include "astro/astronomy404.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

TOrbitElements Elements(long double e)
{
  TOrbitElements el;
  el.EpochJD = 2451545.0L;
  el.Incl = 10.6L;
  el.NodeLon = 80.3L;
  el.PeriLon = 153.9L;
  el.AxisAU = 2.77L;
  el.DailyMotion = 0.9856076686L / (el.AxisAU * std::sqrt(el.AxisAU));
  el.Ecc = e;
  el.MeanLon = 200.0L;
  return el;
}

// One orbit drawn as 360 points, evenly spaced in time.
void KeplerPositionOrbit(benchmark::State& state, long double e)
{
  TOrbitElements el = Elements(e);
  long double step = 1 / el.DailyMotion;  // one degree of mean anomaly
  for (auto _ : state) {
    for (int i = 0; i < 360; ++i)
      benchmark::DoNotOptimize(KeplerPosition(el, el.EpochJD + i * step));
  }
  state.SetItemsProcessed(state.iterations() * 360);
  state.counters["ns_per_call"] = benchmark::Counter(
      state.iterations() * 360, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Near perihelion of a comet-like orbit, where four Newton steps fall short
// and the bracketed solver takes over.
void KeplerPositionNearPerihelion(benchmark::State& state, long double e)
{
  TOrbitElements el = Elements(e);
  el.MeanLon = el.PeriLon + 5.7L;  // M = 0.1 rad
  for (auto _ : state) benchmark::DoNotOptimize(KeplerPosition(el, el.EpochJD));
  state.counters["ns_per_call"] = benchmark::Counter(
      state.iterations(), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK_CAPTURE(KeplerPositionOrbit, e_0_2, 0.2L);
BENCHMARK_CAPTURE(KeplerPositionOrbit, e_0_97, 0.97L);
BENCHMARK_CAPTURE(KeplerPositionNearPerihelion, e_0_2, 0.2L);
BENCHMARK_CAPTURE(KeplerPositionNearPerihelion, e_0_97, 0.97L);

}  // namespace
