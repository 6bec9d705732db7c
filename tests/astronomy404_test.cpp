#include "astro/astronomy404.h"

#include "astro/Angles.h"
#include "astro/Mathematics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace {

constexpr long double J2000 = 2451545.0L;

// Kepler's equation by plain bisection: slow, but independent of the solver
// under test.
long double BisectKepler(long double m, long double e)
{
  long double lo = m - 1, hi = m + 1;
  for (int i = 0; i < 200; ++i) {
    long double mid = 0.5L * (lo + hi);
    (mid - e * std::sin(mid) - m > 0 ? hi : lo) = mid;
  }
  return 0.5L * (lo + hi);
}

// Position from the eccentric anomaly in the orbital plane, turned into the
// ecliptic by the three rotations of the orbit's orientation.
TRectCoord PositionFromE(const TOrbitElements& el, long double ecc)
{
  long double e = el.Ecc, a = el.AxisAU;
  TRectCoord p{a * (std::cos(ecc) - e), a * std::sqrt(1 - e * e) * std::sin(ecc), 0};
  p = RotateVector(2, p, DegToRad(el.PeriLon - el.NodeLon));
  p = RotateVector(0, p, DegToRad(el.Incl));
  return RotateVector(2, p, DegToRad(el.NodeLon));
}

// Elements whose mean anomaly at `jd` is m radians.
TOrbitElements Orbit(long double e, long double m, long double jd = J2000)
{
  TOrbitElements el;
  el.EpochJD = jd;
  el.Incl = 23.5L;
  el.NodeLon = 40;
  el.PeriLon = 115;
  el.AxisAU = 2.7L;
  el.DailyMotion = 0.9856076686L / (el.AxisAU * std::sqrt(el.AxisAU));
  el.Ecc = e;
  el.MeanLon = el.PeriLon + RadToDeg(m);
  return el;
}

void ExpectNear(const TRectCoord& a, const TRectCoord& b, long double tol)
{
  EXPECT_NEAR(a.X, b.X, tol);
  EXPECT_NEAR(a.Y, b.Y, tol);
  EXPECT_NEAR(a.Z, b.Z, tol);
}

TEST(EccentricAnomaly, CircularOrbitGivesMeanAnomaly)
{
  for (long double m : {-3.0L, -0.4L, 0.0L, 1.0L, 3.1L, 50.0L})
    EXPECT_EQ(EccentricAnomaly(m, 0), m);
}

TEST(EccentricAnomaly, FourNewtonStepsAreKeptWhenCloseEnough)
{
  // Four steps leave this short of the converged 0.6308435, and that
  // value is used as it stands.
  EXPECT_NEAR(EccentricAnomaly(0.1L, 0.9L), 0.6308688L, 5e-8L);
  // The planets' orbits converge to full precision in four steps.
  for (long double m = -3.1L; m < 3.2L; m += 0.05L)
    EXPECT_NEAR(EccentricAnomaly(m, 0.2563L), BisectKepler(m, 0.2563L), 1e-15L) << m;
}

TEST(EccentricAnomaly, CometLikeOrbitsAreSolvedWhereFourStepsFail)
{
  // Mean anomalies at which four steps from E = M land more than 1e-3 rad
  // off Kepler's equation (e = 0.995, M = 0.3 ends near E = -5e6).
  struct {
    long double e, m;
  } cases[] = {{0.97L, 0.05L},  {0.97L, 0.1L},   {0.97L, -0.3L},  {0.995L, 0.005L},
               {0.995L, 0.01L}, {0.995L, 0.035L}, {0.995L, 0.2L}, {0.995L, -0.3L},
               {0.995L, 0.5L}};
  for (auto c : cases) {
    long double ecc = EccentricAnomaly(c.m, c.e);
    EXPECT_NEAR(c.m + c.e * std::sin(ecc) - ecc, 0, 1e-15L) << c.e << " " << c.m;
    EXPECT_NEAR(ecc, BisectKepler(c.m, c.e), 1e-12L) << c.e << " " << c.m;
    // Whole revolutions of M carry through to E.
    long double turns = 40 * TwoPi;
    EXPECT_NEAR(EccentricAnomaly(c.m + turns, c.e) - turns, ecc, 1e-12L);

    TOrbitElements el = Orbit(c.e, c.m);
    ExpectNear(KeplerPosition(el, J2000), PositionFromE(el, BisectKepler(c.m, c.e)), 1e-12L);
  }
}

TEST(EccentricAnomaly, NeverMissesKeplersEquationByMoreThanTheLimit)
{
  for (long double e : {0.9L, 0.97L, 0.995L, 0.9999L})
    for (long double m = -7.0L; m < 7.0L; m += 0.0037L) {
      long double ecc = EccentricAnomaly(m, e);
      ASSERT_LE(std::fabs(m + e * std::sin(ecc) - ecc), 1e-3L) << e << " " << m;
    }
}

TEST(EccentricAnomaly, ErrorInTheAnomalyItselfStaysWithinTheLimit)
{
  // Near perihelion a residual below 1e-3 can still mean an error in E of
  // several times that (e = 0.97, M = 0.5 kept a residual of 2.7e-4).
  for (long double e : {0.97L, 0.995L})
    for (long double m = -3.0L; m < 3.0L; m += 0.0041L) {
      const long double ecc = EccentricAnomaly(m, e);
      long double lo = -Pi - 1, hi = Pi + 1, mm = NormPi(m);
      for (int i = 0; i < 200; ++i) {
        const long double mid = (lo + hi) / 2;
        (mid - e * std::sin(mid) < mm ? lo : hi) = mid;
      }
      ASSERT_LE(std::fabs(NormPi(ecc - lo)), 1.1e-3L) << e << " " << m;
    }
}

TEST(KeplerPosition, CircularOrbitInTheEcliptic)
{
  TOrbitElements el;
  el.EpochJD = 2460000.5L;
  el.AxisAU = 1.5L;
  el.DailyMotion = 0.5L;
  el.MeanLon = 90;
  ExpectNear(KeplerPosition(el, el.EpochJD), {0, 1.5L, 0}, 1e-18L);
  // A quarter of a revolution later the body stands on the -x axis.
  ExpectNear(KeplerPosition(el, el.EpochJD + 180), {-1.5L, 0, 0}, 1e-17L);
  // e = 0 keeps the distance at a.
  el.Incl = 70;
  el.NodeLon = 200;
  for (long double d = 0; d < 720; d += 37)
    EXPECT_NEAR(VecLength(KeplerPosition(el, el.EpochJD + d)), 1.5L, 1e-17L);
}

TEST(KeplerPosition, InclinedEllipseMatchesTheOrbitalPlaneConstruction)
{
  for (long double e : {0.0167L, 0.2L, 0.5L}) {
    TOrbitElements el = Orbit(e, 0.7L);
    for (long double d = -3000; d <= 3000; d += 250) {
      long double m = DegToRad(el.MeanLon + el.DailyMotion * d - el.PeriLon);
      ExpectNear(KeplerPosition(el, J2000 + d), PositionFromE(el, BisectKepler(m, e)), 1e-12L);
    }
  }
}

TEST(KeplerPosition, PerihelionAndAphelionDistances)
{
  TOrbitElements el = Orbit(0.3L, 0);
  EXPECT_NEAR(VecLength(KeplerPosition(el, J2000)), 2.7L * 0.7L, 1e-15L);
  long double halfPeriod = 180 / el.DailyMotion;
  EXPECT_NEAR(VecLength(KeplerPosition(el, J2000 + halfPeriod)), 2.7L * 1.3L, 1e-14L);
  // The perihelion lies at longitude PeriLon when the orbit is in the ecliptic.
  el.Incl = 0;
  TRectCoord rect;
  TPolarCoord polar;
  KeplerPositionPolar(el, J2000, rect, polar);
  EXPECT_NEAR(Norm2Pi(polar.Lon), DegToRad(115), 1e-15L);
}

TEST(KeplerPosition, PolarFormAgreesWithRectangular)
{
  TOrbitElements el = Orbit(0.4L, 2.0L);
  for (long double d = 0; d < 2000; d += 123) {
    TRectCoord rect;
    TPolarCoord polar;
    KeplerPositionPolar(el, J2000 + d, rect, polar);
    ExpectNear(rect, KeplerPosition(el, J2000 + d), 0);
    EXPECT_NEAR(polar.Dist, VecLength(rect), 1e-15L);
    ExpectNear(PolarToRect(polar), rect, 1e-15L);
  }
}

TEST(KeplerVelocity, MatchesTheDerivativeOfThePosition)
{
  const long double h = 1e-3L;  // days
  for (long double e : {0.0L, 0.0167L, 0.2L, 0.5L}) {
    TOrbitElements el = Orbit(e, 1.0L);
    // Every 111 days, and exactly at aphelion, where tan(E/2) has its pole.
    long double aphelion = J2000 + (RadToDeg(Pi) - RadToDeg(1.0L)) / el.DailyMotion;
    for (long double jd = J2000; jd < J2000 + 1600; jd += 111) {
      for (long double t : {jd, aphelion}) {
        TRectCoord v = KeplerVelocity(el, t);
        TRectCoord d = VecScale(
            VecSub(KeplerPosition(el, t + h), KeplerPosition(el, t - h)), 1 / (2 * h));
        ExpectNear(v, d, 1e-12L);
      }
    }
  }
}

TEST(KeplerVelocity, UsesTheSameSolverAsThePosition)
{
  // e = 0.97 near perihelion, where four Newton steps are not enough.
  TOrbitElements el = Orbit(0.97L, 0.1L);
  const long double h = 1e-4L;
  TRectCoord v = KeplerVelocity(el, J2000);
  TRectCoord d =
      VecScale(VecSub(KeplerPosition(el, J2000 + h), KeplerPosition(el, J2000 - h)), 1 / (2 * h));
  ExpectNear(v, d, 1e-10L);
  // Vis-viva: v^2 = n^2 a^3 (2/r - 1/a).
  long double n = DegToRad(el.DailyMotion), a = el.AxisAU;
  long double r = VecLength(KeplerPosition(el, J2000));
  EXPECT_NEAR(VecLength(v) * VecLength(v), n * n * a * a * a * (2 / r - 1 / a), 1e-14L);
}

TEST(MeanPlanetElements, EarthAtJ2000)
{
  TOrbitElements el = MeanPlanetElements(0, 0, J2000);
  EXPECT_EQ(el.EpochJD, J2000);
  EXPECT_NEAR(el.MeanLon, 100.466449L, 1e-12L);
  EXPECT_NEAR(el.PeriLon, 102.937348L, 1e-12L);
  EXPECT_NEAR(el.AxisAU, 1.000001018L, 1e-15L);
  EXPECT_NEAR(el.DailyMotion, 0.9856061636L, 5e-11L);
  EXPECT_NEAR(el.Ecc, 0.01670862L, 1e-15L);
  EXPECT_EQ(el.Incl, 0);

  // Referred to J2000.0 the ecliptic of date is tilted against it.
  TOrbitElements j2 = MeanPlanetElements(0, 1, J2000 + 36525);
  EXPECT_NEAR(j2.Incl, 0.0130546L - 0.00000931L - 0.000000034L, 1e-15L);
  EXPECT_NEAR(j2.NodeLon, 174.873174L - 0.2410908L + 0.00004067L - 0.000001327L, 1e-12L);

  // The mean orbit puts the Earth where the Sun's opposite is: heliocentric
  // longitude 100.38 degrees, 0.9833 AU at J2000.0.
  TPolarCoord p;
  TRectCoord rect;
  KeplerPositionPolar(MeanPlanetElements(0, 1, J2000), J2000, rect, p);
  EXPECT_NEAR(RadToDeg(p.Lon), 100.38L, 0.02L);
  EXPECT_NEAR(p.Dist, 0.9833L, 0.0002L);
}

TEST(MeanPlanetElements, PolynomialsInCenturiesFromJ2000)
{
  const long double t = 2;  // centuries
  TOrbitElements jup = MeanPlanetElements(4, 0, J2000 + t * 36525);
  EXPECT_NEAR(jup.AxisAU, 5.202603191L + 0.0000001913L * t, 1e-15L);
  EXPECT_NEAR(jup.Ecc, Poly3(t, -0.00000000197L, -0.0000004719L, 0.000163244L, 0.04849485L),
              1e-15L);
  TOrbitElements mer = MeanPlanetElements(1, 1, J2000 - t * 36525);
  EXPECT_NEAR(mer.MeanLon, Poly3(-t, 0.000000002L, -0.00000535L, 149472.6746358L, 252.250906L),
              1e-9L);
  TOrbitElements nep = MeanPlanetElements(7, 0, J2000 + t * 36525);
  EXPECT_NEAR(nep.PeriLon, Poly3(t, -0.000000003L, 0.00037918L, 1.4262677L, 48.123691L), 1e-12L);
  EXPECT_NEAR(nep.NodeLon, Poly3(t, -0.000000636L, 0.00026006L, 1.1022057L, 131.784057L), 1e-12L);
}

TEST(MeanPlanetElements, PlutoIsConstantWithItsOwnEpoch)
{
  for (int set : {0, 1}) {
    TOrbitElements el = MeanPlanetElements(8, set, 2470000.0L);
    EXPECT_EQ(el.EpochJD, 2447920.5L);
    EXPECT_NEAR(el.MeanLon, 224.38521L, 1e-15L);
    EXPECT_NEAR(el.AxisAU, 39.543L, 1e-15L);
    EXPECT_NEAR(el.Ecc, 0.249L, 1e-15L);
    EXPECT_NEAR(el.Incl, 17.14L, 1e-15L);
    EXPECT_NEAR(el.NodeLon, 110.307L, 1e-15L);
    EXPECT_NEAR(el.PeriLon, 224.075L, 1e-15L);
  }
}

TEST(MeanPlanetElements, RefusesUnknownPlanetsAndSets)
{
  EXPECT_THROW(MeanPlanetElements(9, 0, J2000), std::out_of_range);
  EXPECT_THROW(MeanPlanetElements(-1, 0, J2000), std::out_of_range);
  EXPECT_THROW(MeanPlanetElements(0, 2, J2000), std::out_of_range);
}

TEST(ApsidesPassages, PublishedDates)
{
  // Venus in perihelion 1978 December 31 (JDE 2443873.704) and Mars in
  // aphelion 2032 October 24, 23h (JDE 2463530.456), asked for from dates
  // earlier in those years.
  EXPECT_NEAR(PerihelionPassage(2, 2443752.5L), 2443873.704L, 1e-3L);
  EXPECT_NEAR(AphelionPassage(3, 2463415.5L), 2463530.456L, 1e-3L);
  // The Earth, within the formula's few hours: perihelion 2000 January 3,
  // 05h UT; aphelion 2000 July 4, 00h; perihelion 2024 January 3, 00:38;
  // aphelion 2024 July 5, 05:06.
  EXPECT_NEAR(PerihelionPassage(0, 2451600.5L), 2451546.72L, 0.3L);
  EXPECT_NEAR(AphelionPassage(0, 2451600.5L), 2451729.49L, 0.3L);
  EXPECT_NEAR(PerihelionPassage(0, 2460400.5L), 2460312.527L, 0.3L);
  EXPECT_NEAR(AphelionPassage(0, 2460400.5L), 2460496.713L, 0.3L);
}

TEST(ApsidesPassages, AphelionNextPerihelionLast)
{
  const long double period[6] = {365.26L, 87.97L, 224.70L, 687.0L, 4332.9L, 10764.2L};
  for (int i = 0; i < 6; ++i) {
    // After each formula's reference year: the next aphelion, the last
    // perihelion (up to the few days' slack of the decimal year).
    for (long double jd = 2456000.5L; jd < 2456000.5L + 2 * period[i]; jd += period[i] / 7) {
      long double a = AphelionPassage(i, jd), p = PerihelionPassage(i, jd);
      EXPECT_GT(a, jd - 5) << i;
      EXPECT_LT(a, jd + period[i] + 5) << i;
      EXPECT_LT(p, jd + 5) << i;
      EXPECT_GT(p, jd - period[i] - 5) << i;
      // Asking again just after a passage gives the following one.
      EXPECT_NEAR(AphelionPassage(i, a + 6) - a, period[i], 0.02L * period[i]) << i;
    }
    // Before it, perihelia come after the instant.
    long double early = 2415020.5L;  // 1900
    long double p = PerihelionPassage(i, early);
    EXPECT_GT(p, early - 5) << i;
    EXPECT_LT(p, early + period[i] + 5) << i;
  }
}

TEST(ApsidesPassages, NoAnswer)
{
  // Only Mercury to Neptune have apsides passages.
  for (long double jd : {2000000.5L, 2451545.0L, 2976875.0L}) {
    for (int i : {8, 9, -1, 100}) {
      EXPECT_EQ(AphelionPassage(i, jd), -1) << i;
      EXPECT_EQ(PerihelionPassage(i, jd), -1) << i;
    }
  }
}

}  // namespace
