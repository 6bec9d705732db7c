// Recomputation of the built-in bodies as the scene holds them: every planet
// with its 360-point orbit cache, every satellite with its 361 theory
// evaluations (the caches are computed when first read, so each iteration
// reads one point of each). The instant moves on with every iteration, as
// when the clock runs, so no cache hits from one recomputation to the next.
#include "astro/util404.h"
#include "bodies/SSClasses.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

std::unique_ptr<TPlanet> PlanetWithSatellites(int index)
{
  auto planet = std::make_unique<TPlanet>(index, 0xFFFFFF);
  AddSatellites(*planet, 0x008080);
  return planet;
}

void Recompute(benchmark::State& state, const std::vector<int>& indices)
{
  std::vector<std::unique_ptr<TPlanet>> planets;
  for (int i : indices) planets.push_back(PlanetWithSatellites(i));
  long double jd = 2460000.5L;
  for (auto _ : state) {
    jd += 0.37L;
    Obliquity(jd);
    for (auto& p : planets) p->Calculate(jd);
    for (auto& p : planets) {
      benchmark::DoNotOptimize(p->OrbitPoint(1));
      for (int i = 0; i < p->Satellites.Count(); ++i)
        benchmark::DoNotOptimize(p->Satellites.Items(i)->OrbitPoint(1));
    }
  }
}

// The planets whose satellites have theories.
void BM_JupiterSaturnUranus(benchmark::State& state) { Recompute(state, {4, 5, 6}); }
BENCHMARK(BM_JupiterSaturnUranus)->Unit(benchmark::kMillisecond);

// The whole default scene: 9 planets and 22 satellites.
void BM_AllPlanetsAndSatellites(benchmark::State& state)
{
  Recompute(state, {0, 1, 2, 3, 4, 5, 6, 7, 8});
}
BENCHMARK(BM_AllPlanetsAndSatellites)->Unit(benchmark::kMillisecond);

// Each planet alone with its satellites (where the time goes).
void BM_Planet(benchmark::State& state) { Recompute(state, {static_cast<int>(state.range(0))}); }
BENCHMARK(BM_Planet)->DenseRange(0, 8)->Unit(benchmark::kMillisecond);

// The planets alone, without satellites: the orbit caches and positions.
void BM_PlanetsWithoutSatellites(benchmark::State& state)
{
  std::vector<std::unique_ptr<TPlanet>> planets;
  for (int i = 0; i < 9; ++i) planets.push_back(std::make_unique<TPlanet>(i, 0xFFFFFF));
  long double jd = 2460000.5L;
  for (auto _ : state) {
    jd += 0.37L;
    Obliquity(jd);
    for (auto& p : planets) p->Calculate(jd);
    for (auto& p : planets) benchmark::DoNotOptimize(p->OrbitPoint(1));
  }
}
BENCHMARK(BM_PlanetsWithoutSatellites)->Unit(benchmark::kMillisecond);

}  // namespace
