// The integrated motion of minor bodies: two-body motion when the planets
// weigh nothing, reversibility, the integrator's own error by
// self-convergence, and Apophis's approach to the Earth in April 2029.
#include "astro/PerturbedMotion.h"

#include "astro/plt404.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Elements as the tables give them: M, argument of perihelion, node, i, e, a.
TOrbitElements RowElements(double epoch, double M, double w, double node, double i, double e,
                           double a)
{
  TOrbitElements el;
  el.EpochJD = epoch;
  el.Incl = i;
  el.NodeLon = node;
  el.PeriLon = node + w;
  el.AxisAU = a;
  el.DailyMotion = 0.9856076686L / (a * std::sqrt(static_cast<long double>(a)));
  el.Ecc = e;
  el.MeanLon = node + w + M;
  return el;
}

const TOrbitElements Ceres =
    RowElements(2459800.5, 334.32717, 73.53163, 80.26644, 10.58680, 0.0786358, 2.7666190);
const TOrbitElements Pallas =
    RowElements(2459800.5, 315.09111, 310.84262, 172.91790, 34.92714, 0.2299864, 2.7694633);
const TOrbitElements Apophis =
    RowElements(2461200.5, 175.33040, 126.67957, 203.89365, 3.34100, 0.1911492, 0.9223592);

double Distance(const TVec3& a, const TVec3& b)
{
  return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

constexpr double Century = 36525;

TEST(PerturbedMotion, WithoutPlanetsTheMotionIsTheTwoBodyOrbitBothWays)
{
  for (const TOrbitElements& el : {Ceres, Pallas, Apophis}) {
    TPerturbedPath path(el, SunAlone(), SharedPerturberGrid());
    const double epoch = static_cast<double>(el.EpochJD);
    ASSERT_TRUE(path.Reach(epoch + Century)) << path.Failure();
    ASSERT_TRUE(path.Reach(epoch - Century)) << path.Failure();
    // At the ends, and between nodes, where the step polynomials answer.
    for (double jd : {epoch - Century, epoch - 3217.3, epoch + 0.37, epoch + 12345.6,
                      epoch + Century}) {
      const TStateVector exact = StateFromElements(el, jd);
      EXPECT_LT(Distance(path.At(jd).R, exact.R), 1e-8) << jd;
      EXPECT_LT(Distance(path.At(jd).V, exact.V), 1e-9) << jd;
    }
  }
}

TEST(PerturbedMotion, ForwardThenBackReturnsToTheStart)
{
  TPerturberGrid& grid = SharedPerturberGrid();
  const double epoch = static_cast<double>(Pallas.EpochJD);
  grid.Cover(epoch, epoch + Century);
  TPerturbedPath there(Pallas, PlanetaryForces(), grid);
  ASSERT_TRUE(there.Reach(epoch + Century)) << there.Failure();
  // Back from the last step's end, where the path holds the integrated state.
  TOrbitElements end;
  ASSERT_TRUE(ElementsFromState(there.At(there.Last()), there.Last(), end));
  TPerturbedPath back(end, PlanetaryForces(), grid);
  ASSERT_TRUE(back.Reach(epoch)) << back.Failure();
  EXPECT_LT(Distance(back.At(epoch).R, StateFromElements(Pallas, epoch).R), 1e-8);
}

// The integrator's own error: a hundredfold tighter tolerance moves the
// positions over a century by less than 0.1" seen from the Sun.
TEST(PerturbedMotion, ConvergesToBetterThanATenthOfAnArcsecondOverACentury)
{
  TPerturberGrid& grid = SharedPerturberGrid();
  const double epoch = static_cast<double>(Ceres.EpochJD);
  grid.Cover(epoch - 0.7 * Century, epoch + 0.3 * Century);
  for (const TOrbitElements& el : {Ceres, Pallas}) {
    TPerturbedPath usual(el, PlanetaryForces(), grid);
    TPerturbedPath fine(el, PlanetaryForces(), grid, TPerturbedPath::DefaultTolerance / 100);
    double worst = 0;
    for (double jd = epoch - 0.7 * Century; jd <= epoch + 0.3 * Century; jd += 97.3) {
      ASSERT_TRUE(usual.Reach(jd) && fine.Reach(jd));
      const TVec3 a = usual.At(jd).R, b = fine.At(jd).R;
      worst = std::max(worst, Distance(a, b) / std::hypot(b[0], b[1], b[2]));
    }
    EXPECT_LT(worst * 206264.8, 0.1);
  }
}

// JPL: 38,012 km from the Earth's centre on 2029 April 13 at 21:46 UT.
TEST(PerturbedMotion, ApophisPassesTheEarthWhereAndWhenItShould)
{
  TPerturberGrid& grid = SharedPerturberGrid();
  grid.Cover(2461200.5, 2462300.5);
  TPerturbedPath path(Apophis, PlanetaryForces(), grid);
  ASSERT_TRUE(path.Reach(2462241.5)) << path.Failure();
  double closest = 1e9, when = 0;
  for (double jd = 2462239.5; jd <= 2462241.5; jd += 1.0 / 1440) {
    TVec3 earth;
    const TRectCoord e = PlanetJ2000Equatorial(0, jd);
    const double eps = 84381.448 / 3600 * M_PI / 180;
    earth = {static_cast<double>(e.X),
             static_cast<double>(e.Y * std::cos(eps) + e.Z * std::sin(eps)),
             static_cast<double>(-e.Y * std::sin(eps) + e.Z * std::cos(eps))};
    const double d = Distance(path.At(jd).R, earth) * 149597870.7;
    if (d < closest) closest = d, when = jd;
  }
  EXPECT_NEAR(closest, 38012, 500);
  EXPECT_NEAR(when, 2462240.407, 30.0 / 1440);
}

TEST(PerturbedMotion, ElementsThatCannotBeIntegratedSayWhy)
{
  TOrbitElements early = Ceres;
  early.EpochJD = 2200000.5;  // before the perturbers' tables
  TPerturbedPath path(early, PlanetaryForces(), SharedPerturberGrid());
  EXPECT_FALSE(path.Reach(2459800.5));
  EXPECT_FALSE(path.Failure().empty());
  // Osculating elements of a state are the elements it came from.
  TOrbitElements back;
  ASSERT_TRUE(ElementsFromState(StateFromElements(Pallas, 2459900.5), 2459900.5, back));
  EXPECT_NEAR(static_cast<double>(back.AxisAU), 2.7694633, 1e-10);
  EXPECT_NEAR(static_cast<double>(back.Ecc), 0.2299864, 1e-10);
  EXPECT_NEAR(static_cast<double>(back.NodeLon), 172.91790, 1e-8);
  EXPECT_LT(Distance(StateFromElements(back, 2460000.5).R,
                     StateFromElements(Pallas, 2460000.5).R), 1e-10);
}

}  // namespace
