// One position of a satellite, as each satellite body asks 361 times per scene
// recomputation (the instant and its orbit points). The argument is the
// satellite's code; the instant moves on with every call, as along an orbit.
#include "astro/satellites.h"

#include <benchmark/benchmark.h>

namespace {

template <TRectCoord (*Theory)(int, long double)>
void BM_Satellite(benchmark::State& state)
{
  int code = static_cast<int>(state.range(0));
  long double jd = 2451545.0L;
  for (auto _ : state) {
    TRectCoord v = Theory(code, jd);
    benchmark::DoNotOptimize(v);
    jd += 0.01L;
  }
}

void BM_JupiterSatellite(benchmark::State& state) { BM_Satellite<JupiterSatellite>(state); }
void BM_SaturnSatellite(benchmark::State& state) { BM_Satellite<SaturnSatellite>(state); }
void BM_UranusSatellite(benchmark::State& state) { BM_Satellite<UranusSatellite>(state); }

BENCHMARK(BM_JupiterSatellite)->DenseRange(140, 143)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaturnSatellite)->DenseRange(156, 167)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UranusSatellite)->DenseRange(170, 174)->Unit(benchmark::kMicrosecond);

}  // namespace
