// Obliquity, nutation, precession and pole directions.
#include "astro/Mathematics.h"
#include "astro/astronomy404_poles.h"
#include "astro/nutate404.h"
#include "astro/precess404.h"
#include "astro/util404.h"

#include "long_double_near.h"
#include "reference_data.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr long double J2000 = 2451545.0L;

long double ToArcsec(long double rad) { return rad / ArcsecToRadians; }

void ExpectNear(const TRectCoord& a, const TRectCoord& b, long double tol)
{
  EXPECT_NEAR_LD(a.X, b.X, tol);
  EXPECT_NEAR_LD(a.Y, b.Y, tol);
  EXPECT_NEAR_LD(a.Z, b.Z, tol);
}

TEST(Obliquity, J2000AndCache)
{
  // At start the cache holds the evening before J2000.0.
  EXPECT_EQ(ObliquityState().JD, 2451544.5L);
  Obliquity(J2000);
  EXPECT_EQ(ObliquityState().JD, J2000);
  EXPECT_NEAR_LD(ToArcsec(ObliquityState().Eps), 84381.448L, 1e-9L);
  EXPECT_NEAR_LD(ObliquityState().CosEps, std::cos(ObliquityState().Eps), 1e-18L);
  // A century on the obliquity has fallen by about 46.8".
  Obliquity(J2000 + 36525);
  EXPECT_NEAR_LD(ToArcsec(ObliquityState().Eps), 84381.448L - 46.81L, 0.01L);
}

TEST(ReduceArcsec, KeepsSignAndDropsWholeTurns)
{
  EXPECT_EQ(ReduceArcsec(-1300000), -4000);
  EXPECT_EQ(ReduceArcsec(1296000), 0);
  EXPECT_EQ(ReduceArcsec(1296000 * 3 + 12.5L), 12.5L);
  EXPECT_EQ(ReduceArcsec(-12.5L), -12.5L);
  // Near whole turns, and far out: always within one turn, with the sign of
  // x, and the same angle.
  for (long double k : {1.0L, 3.0L, 77.0L, 1e6L, 3e9L}) {
    for (long double d : {-1e-6L, -1e-9L, 0.0L, 1e-9L, 1e-6L}) {
      for (long double sign : {1.0L, -1.0L}) {
        long double x = sign * (k * 1296000 + d);
        long double r = ReduceArcsec(x);
        EXPECT_LT(std::fabs(r), 1296000.0L) << x;
        EXPECT_TRUE(r == 0 || (r > 0) == (x > 0)) << x << " " << r;
        long double turns = (x - r) / 1296000;
        EXPECT_EQ(turns, std::round(turns)) << x;
      }
    }
  }
}

TEST(SinCos, MatchesTheLibraryInEveryQuadrantAndBeyond)
{
  for (long double x = -40; x <= 40; x += 0.0137L) {
    long double s, c;
    SinCos(x, s, c);
    EXPECT_NEAR_LD(s, std::sin(x), 2e-19L) << x;
    EXPECT_NEAR_LD(c, std::cos(x), 2e-19L) << x;
  }
  for (long double x : {0.0L, HalfPi, Pi, -Pi, 3 * HalfPi, 4000.5L, 1e7L, -3e9L}) {
    long double s, c;
    SinCos(x, s, c);
    EXPECT_NEAR_LD(s, std::sin(x), 2e-19L) << x;
    EXPECT_NEAR_LD(c, std::cos(x), 2e-19L) << x;
  }
}

TEST(SinCosMultiples, MatchDirectEvaluation)
{
  long double s[7], c[7];
  SinCosMultiples(2.3L, 6, s, c);
  for (int j = 1; j <= 6; ++j) {
    EXPECT_NEAR_LD(s[j], std::sin(2.3L * j), 1e-17L) << j;
    EXPECT_NEAR_LD(c[j], std::cos(2.3L * j), 1e-17L) << j;
  }
}

TEST(EclipticEquator, RotationsAreInverseAndUseTheCachedObliquity)
{
  Obliquity(J2000);
  TRectCoord v{0.3L, -0.7L, 0.2L};
  ExpectNear(EquRectToEclRect(EclRectToEquRect(v)), v, 1e-18L);
  // The ecliptic pole lies at right ascension 270 deg, declination 90 - eps.
  TRectCoord rect;
  TPolarCoord polar;
  EclToEqu({0, 0, 2}, rect, polar);
  EXPECT_NEAR_LD(polar.Lon, -HalfPi, 1e-18L);
  EXPECT_NEAR_LD(polar.Lat, HalfPi - ObliquityState().Eps, 1e-18L);
  EXPECT_NEAR_LD(polar.Dist, 2, 1e-18L);
  // The equator's pole seen from the ecliptic.
  TPolarCoord p = EquPolarToEclPolar({0.0L, HalfPi, 1.0L});
  EXPECT_NEAR_LD(p.Lon, HalfPi, 1e-15L);
  EXPECT_NEAR_LD(p.Lat, HalfPi - ObliquityState().Eps, 1e-15L);
  // The zero vector has no direction but must not yield NaN.
  EquToEcl({0, 0, 0}, rect, polar);
  EXPECT_EQ(polar.Lat, 0);
  EXPECT_EQ(polar.Dist, 0);
}

TEST(Nutation, MatchesPublishedValues)
{
  struct Case {
    long double jd, dpsi, deps;  // arc seconds
  };
  const Case cases[] = {{990924.5L, -15.654697L, 1.974188L},
                        {2451545.0L, -13.923385L, -5.773808L},
                        {2460000.5L, -9.274907L, 7.736184L},
                        {3912515.5L, -4.475100L, -9.578979L}};
  for (const Case& c : cases) {
    NutationAngles(c.jd);
    EXPECT_EQ(NutationState().JD, c.jd);
    EXPECT_NEAR_LD(ToArcsec(NutationState().DPsi), c.dpsi, 2e-6L) << c.jd;
    EXPECT_NEAR_LD(ToArcsec(NutationState().DEps), c.deps, 2e-6L) << c.jd;
  }
}

TEST(Nutation, ApplyNutationShiftsTheEquinoxAndSetsBothCaches)
{
  const long double jd = 2460000.5L;
  Obliquity(J2000);
  TRectCoord v{1, 0, 0};
  ApplyNutation(v, jd);
  EXPECT_EQ(NutationState().JD, jd);
  EXPECT_EQ(ObliquityState().JD, jd);
  // The mean equinox lies at true ecliptic longitude dpsi, on the true
  // equator inclined by eps + deps.
  long double dpsi = NutationState().DPsi;
  long double f = ObliquityState().Eps + NutationState().DEps;
  EXPECT_NEAR_LD(VecLength(v), 1, 1e-18L);
  EXPECT_NEAR_LD(v.X, std::cos(dpsi), 1e-18L);
  EXPECT_NEAR_LD(v.Y, std::sin(dpsi) * std::cos(f), 1e-18L);
  EXPECT_NEAR_LD(v.Z, std::sin(dpsi) * std::sin(f), 1e-18L);
  // A vector on the true equator's pole axis stays near the pole: deps and
  // dpsi sin(eps) move it by under 20".
  TRectCoord pole{0, 0, 1};
  ApplyNutation(pole, jd);
  EXPECT_LT(std::acos(pole.Z), 20 * ArcsecToRadians);
  EXPECT_GT(std::acos(pole.Z), 1 * ArcsecToRadians);
}

TEST(Precess, IdentityAtJ2000LeavesTheCacheAlone)
{
  Obliquity(2460000.5L);
  TRectCoord v{0.1L, -0.2L, 0.3L}, rect;
  TPolarCoord polar;
  Precess(v, 1, J2000, rect, polar);
  EXPECT_EQ(rect.X, v.X);
  EXPECT_EQ(rect.Y, v.Y);
  EXPECT_EQ(rect.Z, v.Z);
  EXPECT_NEAR_LD(polar.Dist, VecLength(v), 1e-18L);
  EXPECT_EQ(ObliquityState().JD, 2460000.5L);
}

TEST(Precess, RoundTripsAndLeavesTheDocumentedObliquity)
{
  TRectCoord v{0.6L, -0.48L, 0.64L};
  for (long double jd : {990924.5L, 2415020.0L, 2460000.5L, 3912515.5L}) {
    TRectCoord there = Precess(v, -1, jd);
    EXPECT_EQ(ObliquityState().JD, jd);
    TRectCoord back = Precess(there, 1, jd);
    EXPECT_EQ(ObliquityState().JD, J2000);
    ExpectNear(back, v, 1e-16L);
    EXPECT_NEAR_LD(VecLength(there), 1, 1e-17L);
  }
  TRectCoord a, b;
  TPolarCoord pa, pb;
  PrecessBetween(v, 2415020.0L, 2488070.0L, a, pa);
  PrecessBetween(a, 2488070.0L, 2415020.0L, b, pb);
  ExpectNear(b, v, 1e-16L);
}

TEST(Precess, MovesTheEquinoxByTheGeneralPrecession)
{
  // The J2000 equinox seen from the ecliptic of J2100 has a longitude of
  // about 5029" (general precession over a century).
  const long double jd = J2000 + 36525;
  TRectCoord v = Precess({1, 0, 0}, -1, jd);
  TRectCoord e = EquRectToEclRect(v);
  EXPECT_NEAR_LD(ToArcsec(std::atan2(e.Y, e.X)), 5029.0L, 2.0L);
  // The polar form is that of the rectangular result.
  TRectCoord rect;
  TPolarCoord polar;
  Precess({1, 0, 0}, -1, jd, rect, polar);
  EXPECT_NEAR_LD(polar.Lon, std::atan2(rect.Y, rect.X), 1e-18L);
  EXPECT_NEAR_LD(polar.Lat, std::asin(rect.Z), 1e-15L);
}

TEST(PrecessEcliptic, AgreesWithTheRectangularPrecession)
{
  // The IAU 1976 angles and Laskar's expansion differ by about 0.33" per
  // century in the general precession, and hardly otherwise.
  for (long double jd : {2305447.5L, 2415020.0L, 2488070.0L, 2597641.5L}) {
    long double tol = (0.35L * std::fabs(jd - J2000) / 36525 + 0.05L) * ArcsecToRadians;
    for (long double lon : {0.3L, 2.0L, 4.5L}) {
      TPolarCoord from{lon, 0.4L, 2.5L};
      TPolarCoord p;
      TRectCoord r;
      PrecessEcliptic(from, J2000, jd, p, r);
      EXPECT_LE(p.Lon, 0);
      EXPECT_GT(p.Lon, -TwoPi);
      EXPECT_EQ(p.Dist, 2.5L);

      Obliquity(J2000);
      TRectCoord v = Precess(EclRectToEquRect(PolarToRect(from)), -1, jd);
      TRectCoord expected = EquRectToEclRect(v);
      EXPECT_LT(AngleBetween(r, expected), tol) << jd << " " << lon;
    }
  }
}

TEST(Poles, J2000Directions)
{
  TRectCoord rect;
  TPolarCoord polar;
  PoleJ2000(0, J2000, rect, polar);
  ExpectNear(rect, {0, 0, 1}, 1e-18L);
  PoleJ2000(9, 2460000.5L, rect, polar);
  EXPECT_NEAR_LD(RadToDeg(polar.Lon), 286.13L, 1e-12L);
  EXPECT_NEAR_LD(RadToDeg(polar.Lat), 63.87L, 1e-12L);
  EXPECT_EQ(polar.Dist, 1);
  // Uranus' pole lies south of the equator; Earth's moves with time.
  PoleJ2000(6, J2000, rect, polar);
  EXPECT_NEAR_LD(RadToDeg(polar.Lat), -15.1L, 1e-12L);
  PoleJ2000(0, J2000 + 36525, rect, polar);
  EXPECT_NEAR_LD(RadToDeg(polar.Lon), 360 - 0.641L, 1e-12L);
  EXPECT_NEAR_LD(RadToDeg(polar.Lat), 90 - 0.557L, 1e-12L);
  EXPECT_THROW(PoleJ2000(10, J2000, rect, polar), std::out_of_range);
  EXPECT_THROW(PoleJ2000(-1, J2000, rect, polar), std::out_of_range);
}

TEST(Poles, TheEarthsPoleOfDateIsTheEquatorsPole)
{
  // The Earth's pole table follows precession: referred to the equator of
  // date it stays within a few arc seconds of the z axis over a century.
  const long double jd = J2000 + 36525;
  TRectCoord rect;
  TPolarCoord polar;
  PoleDirection(0, jd, rect, polar);
  EXPECT_EQ(ObliquityState().JD, jd);
  EXPECT_LT(HalfPi - polar.Lat, 30 * ArcsecToRadians);
}

TEST(FrameChain, ReferenceFramesAgreeWithOurModels)
{
  // The reference positions were turned from J2000 to the ecliptic of date
  // with the same frame models as ours, so the chain J2000 ecliptic -> J2000
  // equator -> equator of date -> ecliptic of date + dpsi reproduces them.
  auto j2000 = ReadReference("jpl-j2000.csv");
  auto date = ReadReference("jpl-date.csv");
  int checked = 0;
  for (const ReferenceRow& r : j2000) {
    if (r.Number != 0 && r.Number != 13 && r.Number != 5) continue;
    const ReferenceRow* d = FindReference(date, r.JD, r.Number);
    ASSERT_NE(d, nullptr);
    Obliquity(J2000);
    TRectCoord v = Precess(EclRectToEquRect(r.Pos), -1, r.JD);
    Obliquity(r.JD);
    TRectCoord e = EquRectToEclRect(v);
    NutationAngles(r.JD);
    TPolarCoord p = RectToPolar(e);
    p.Lon += NutationState().DPsi;
    EXPECT_LT(AngleBetween(PolarToRect(p), d->Pos), 0.001L * ArcsecToRadians)
        << r.Body << " " << r.JD;
    ++checked;
  }
  EXPECT_EQ(checked, 3 * 14);
}

}  // namespace
