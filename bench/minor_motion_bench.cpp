// Minor bodies pulled by the planets. Targets: positions within 5" of the
// Swiss Ephemeris's integrated asteroids over 1950-2050 from elements of
// 2022, seen from the Sun and from the Earth, 0.5" at the epoch; at most
// 10 ms CPU per main-belt body and century; 1,000 bodies from 2022 back to
// 1952 within 3 s on two cores (perturbers' grid included); a tick of the
// default scene with 100 minor bodies at most 1.5 times the same tick in
// Keplerian motion.
#include "astro/PerturbedMotion.h"
#include "astro/plt404.h"
#include "bodies/MinorBodyMotion.h"
#include "scene/SolarSystem.h"

#include <benchmark/benchmark.h>
#include <swephexp.h>

#include <cmath>
#include <random>

namespace {

TOrbitElements Row(double epoch, double M, double w, double node, double i, double e, double a)
{
  TOrbitElements el;
  el.EpochJD = epoch;
  el.Incl = i;
  el.NodeLon = node;
  el.PeriLon = node + w;
  el.AxisAU = a;
  el.DailyMotion = 0.9856262L / (a * std::sqrt(static_cast<long double>(a)));
  el.Ecc = e;
  el.MeanLon = node + w + M;
  return el;
}

// 1950 January 1 and 2050 January 1.
constexpr double From = 2433282.5, To = 2469807.5;

// 1,000 main-belt bodies at the sample's epoch, spread like the real ones.
std::vector<TOrbitElements> MainBelt(int count)
{
  std::mt19937 random(25);
  std::uniform_real_distribution<double> u(0, 1);
  std::vector<TOrbitElements> out;
  for (int k = 0; k < count; ++k)
    out.push_back(Row(2459800.5, 360 * u(random), 360 * u(random), 360 * u(random),
                      20 * u(random), 0.25 * u(random), 2.2 + 1.1 * u(random)));
  return out;
}

// First, while the perturbers' grid is empty: all the work of a first jump.
void BM_ThousandBodiesFrom2022To1952(benchmark::State& state)
{
  for (auto _ : state) {
    TOEObjectList list;
    for (const TOrbitElements& el : MainBelt(1000))
      list.Add(std::make_unique<TAsteroid>("body", el, 0));
    const auto failed = PrepareMinorBodies(list, TMinorBodyMotion::Perturbed, 2433647.5L, 2);
    if (!failed.empty()) state.SkipWithError(failed.front().c_str());
  }
}
BENCHMARK(BM_ThousandBodiesFrom2022To1952)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_MainBeltBodyOneCentury(benchmark::State& state)
{
  const TOrbitElements ceres =
      Row(2459800.5, 334.32717, 73.53163, 80.26644, 10.58680, 0.0786358, 2.7666190);
  SharedPerturberGrid().Cover(2459800.5 - 36525, 2459800.5);
  for (auto _ : state) {
    TPerturbedPath path(ceres, PlanetaryForces(), SharedPerturberGrid());
    if (!path.Reach(2459800.5 - 36525)) state.SkipWithError(path.Failure().c_str());
    benchmark::DoNotOptimize(path.NodeCount());
  }
}
BENCHMARK(BM_MainBeltBodyOneCentury)->Unit(benchmark::kMillisecond);

// The perturbers' grid for one century on its own (a fresh grid each time).
void BM_PerturberGridOneCentury(benchmark::State& state)
{
  for (auto _ : state) {
    TPerturberGrid grid;
    grid.Cover(2459800.5 - 36525, 2459800.5);
    benchmark::DoNotOptimize(grid.NodeCount());
  }
}
BENCHMARK(BM_PerturberGridOneCentury)->Unit(benchmark::kMillisecond)->Iterations(1);

// A tick of the default scene with 100 listed minor bodies, once the paths
// reach far enough.
void Tick(benchmark::State& state, TMinorBodyMotion motion)
{
  TSolarSystem scene;
  for (const TOrbitElements& el : MainBelt(100))
    scene.AsteroidsList().Add(std::make_unique<TAsteroid>("body", el, 0));
  scene.MinorBodyMotion = motion;
  const long double start = 2460000.5L;
  scene.SetDateTime(JDToDateRec(0, start + 400));
  long double jd = start;
  for (auto _ : state) {
    jd += 1;
    if (jd > start + 400) jd = start;
    scene.SetDateTime(JDToDateRec(0, jd));
  }
}
void BM_TickPerturbed(benchmark::State& state) { Tick(state, TMinorBodyMotion::Perturbed); }
void BM_TickKepler(benchmark::State& state) { Tick(state, TMinorBodyMotion::Kepler); }
BENCHMARK(BM_TickPerturbed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickKepler)->Unit(benchmark::kMicrosecond);

// Against the Swiss Ephemeris's numerically integrated main asteroids (the
// file seas_18.se1): the largest angle between the two directions over
// 1950-2050, seen from the Sun and from the Earth, in arcseconds.
void BM_AccuracyAgainstSwissEphemeris(benchmark::State& state)
{
  struct TBody {
    const char* Name;
    int Swiss;
    TOrbitElements Elements;
  };
  const TBody bodies[] = {
      {"Ceres", SE_CERES, Row(2459800.5, 334.32717, 73.53163, 80.26644, 10.58680, 0.0786358, 2.7666190)},
      {"Pallas", SE_PALLAS, Row(2459800.5, 315.09111, 310.84262, 172.91790, 34.92714, 0.2299864, 2.7694633)},
      {"Juno", SE_JUNO, Row(2459800.5, 306.62241, 247.80394, 169.84594, 12.99223, 0.2567750, 2.6704222)},
      {"Vesta", SE_VESTA, Row(2459800.5, 61.19230, 151.25778, 103.80081, 7.14078, 0.0884019, 2.3619872)},
      {"Chiron", SE_CHIRON, Row(2459800.5, 188.84205, 339.53219, 209.29926, 6.92081, 0.3762722, 13.7113226)},
      {"Pholus", SE_PHOLUS, Row(2459800.5, 121.82656, 354.65433, 119.40672, 24.64474, 0.5711901, 20.3161285)}};
  swe_set_ephe_path(const_cast<char*>("/usr/share/libswe/ephe"));
  const int flags = SEFLG_SWIEPH | SEFLG_J2000 | SEFLG_NONUT | SEFLG_TRUEPOS | SEFLG_NOABERR |
                    SEFLG_NOGDEFL | SEFLG_XYZ;
  const double eps = 84381.448 / 3600 * M_PI / 180;
  auto angle = [](const double* a, const double* b) {
    const double dot = a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
    const double cross = std::hypot(a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                                    a[0] * b[1] - a[1] * b[0]);
    return std::atan2(cross, dot) * 206264.806;
  };
  SharedPerturberGrid().Cover(From, To);
  for (auto _ : state) {
    for (const TBody& b : bodies) {
      TPerturbedPath path(b.Elements, PlanetaryForces(), SharedPerturberGrid());
      double worstSun = 0, worstEarth = 0, atEpoch = 0;
      for (double jd = From; jd <= To; jd += 10) {
        if (!path.Reach(jd)) {
          state.SkipWithError(path.Failure().c_str());
          return;
        }
        const TVec3 r = path.At(jd).R;
        double swiss[6], swissGeo[6];
        char error[256];
        if (swe_calc(jd, b.Swiss, flags | SEFLG_HELCTR, swiss, error) < 0 ||
            swe_calc(jd, b.Swiss, flags, swissGeo, error) < 0) {
          state.SkipWithError(error);
          return;
        }
        const TRectCoord e = PlanetJ2000Equatorial(0, jd);
        const double earth[3] = {static_cast<double>(e.X),
                                 static_cast<double>(e.Y * std::cos(eps) + e.Z * std::sin(eps)),
                                 static_cast<double>(-e.Y * std::sin(eps) + e.Z * std::cos(eps))};
        const double mine[3] = {r[0], r[1], r[2]};
        const double geo[3] = {r[0] - earth[0], r[1] - earth[1], r[2] - earth[2]};
        worstSun = std::max(worstSun, angle(mine, swiss));
        worstEarth = std::max(worstEarth, angle(geo, swissGeo));
      }
      {
        const TVec3 r = path.At(2459800.5).R;
        double swiss[6];
        char error[256];
        swe_calc(2459800.5, b.Swiss, flags | SEFLG_HELCTR, swiss, error);
        const double mine[3] = {r[0], r[1], r[2]};
        atEpoch = angle(mine, swiss);
      }
      state.counters[std::string(b.Name) + "_sun"] = worstSun;
      state.counters[std::string(b.Name) + "_earth"] = worstEarth;
      state.counters[std::string(b.Name) + "_epoch"] = atEpoch;
    }
  }
}
BENCHMARK(BM_AccuracyAgainstSwissEphemeris)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
