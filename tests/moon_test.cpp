// The lunar theory: its published values, the agreement of its two frames,
// the caches it leaves behind, and the JPL ephemeris.
#include "astro/Angles.h"
#include "astro/Mathematics.h"
#include "astro/moon404.h"
#include "astro/nutate404.h"
#include "astro/precess404.h"
#include "astro/util404.h"

#include "long_double_near.h"
#include "reference_data.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr long double J2000 = 2451545.0L;
constexpr long double KmPerAU = 149597870.66L;

long double ToArcsec(long double rad) { return rad / ArcsecToRadians; }

// Longitude (without nutation), latitude and distance of the Moon on the mean
// ecliptic of date, taken from MoonEcliptic.
TPolarCoord MeanEcliptic(long double jd)
{
  TRectCoord rect;
  TPolarCoord p;
  MoonEcliptic(jd, rect, p);
  p.Lon -= NutationState().DPsi;
  return p;
}

TEST(Moon, ReproducesTheTheorysValues)
{
  // Longitude and latitude in arc seconds, distance in km, on the mean
  // ecliptic and equinox of date, across the whole range of dates. These
  // include the 5l term of the main series (0.111" in longitude).
  struct Case {
    long double jd, lon, lat, km;
  };
  const Case cases[] = {
      {990924.5L, -920377.119115L, 9619.057240L, 360372.824306L},
      {1721423.5L, -823206.495980L, -12844.991481L, 361007.169449L},
      {2451545.0L, 803948.137603L, 18615.379022L, 402446.812090L},
      {2460000.5L, 139103.854732L, 891.866395L, 381928.011681L},
      {2816787.5L, 1129605.468407L, 18299.890239L, 402280.694494L},
      {3912515.5L, 952918.913644L, 17828.555445L, 405838.382948L},
  };
  for (const Case& c : cases) {
    TPolarCoord p = MeanEcliptic(c.jd);
    EXPECT_NEAR_LD(ToArcsec(NormPi(p.Lon - c.lon * ArcsecToRadians)), 0, 1e-6L) << c.jd;
    EXPECT_NEAR_LD(ToArcsec(p.Lat), c.lat, 1e-6L) << c.jd;
    EXPECT_NEAR_LD(p.Dist * KmPerAU, c.km, 1e-6L) << c.jd;
  }
}

TEST(Moon, BothFramesDescribeTheSamePosition)
{
  for (long double jd : {990924.5L, 2433282.5L, 2460000.5L, 3912515.5L}) {
    TRectCoord j2000 = MoonJ2000Equatorial(jd);
    EXPECT_EQ(ObliquityState().JD, J2000) << jd;
    TRectCoord ofDate = Precess(j2000, -1, jd);
    Obliquity(jd);
    TPolarCoord fromJ2000 = RectToPolar(EquRectToEclRect(ofDate));

    TPolarCoord p = MeanEcliptic(jd);
    EXPECT_EQ(ObliquityState().JD, jd);
    EXPECT_EQ(NutationState().JD, jd);
    EXPECT_NEAR_LD(ToArcsec(NormPi(p.Lon - fromJ2000.Lon)), 0, 1e-9L) << jd;
    EXPECT_NEAR_LD(ToArcsec(p.Lat - fromJ2000.Lat), 0, 1e-9L) << jd;
    EXPECT_NEAR_LD(p.Dist, fromJ2000.Dist, 1e-17L) << jd;
  }
}

TEST(Moon, EclipticResultIsConsistent)
{
  const long double jd = 2460000.5L;
  TRectCoord rect;
  TPolarCoord p;
  MoonEcliptic(jd, rect, p);
  EXPECT_NEAR_LD(VecLength(rect), p.Dist, 1e-17L);
  EXPECT_NEAR_LD(NormPi(std::atan2(rect.Y, rect.X) - p.Lon), 0, 1e-15L);
  EXPECT_NEAR_LD(std::asin(rect.Z / p.Dist), p.Lat, 1e-15L);
  // The nutation in longitude really is in the result.
  NutationAngles(jd);
  EXPECT_GT(std::fabs(NutationState().DPsi), 5 * ArcsecToRadians);
  EXPECT_NEAR_LD(p.Lon - MeanEcliptic(jd).Lon, NutationState().DPsi, 1e-15L);
}

TEST(Moon, AtJ2000TheJ2000FrameIsTheFrameOfDate)
{
  TRectCoord j2000 = MoonJ2000Equatorial(J2000);
  TPolarCoord p = MeanEcliptic(J2000);
  Obliquity(J2000);
  TRectCoord expected = EclRectToEquRect(PolarToRect(p));
  EXPECT_NEAR_LD(j2000.X, expected.X, 1e-17L);
  EXPECT_NEAR_LD(j2000.Y, expected.Y, 1e-17L);
  EXPECT_NEAR_LD(j2000.Z, expected.Z, 1e-17L);
}

TEST(Moon, AgreesWithTheJplEphemeris)
{
  // Geocentric directions within 3" of JPL's, in both frames.
  const long double limit = 3 * ArcsecToRadians;
  int checked = 0;
  for (const ReferenceRow& r : ReadReference("jpl-date.csv")) {
    if (r.Number != 13) continue;
    TRectCoord rect;
    TPolarCoord p;
    MoonEcliptic(r.JD, rect, p);
    EXPECT_LT(AngleBetween(rect, r.Pos), limit) << r.JD;
    EXPECT_NEAR_LD(VecLength(rect), VecLength(r.Pos), 1e-7L) << r.JD;  // 15 km
    ++checked;
  }
  for (const ReferenceRow& r : ReadReference("jpl-j2000.csv")) {
    if (r.Number != 13) continue;
    TRectCoord v = MoonJ2000Equatorial(r.JD);
    Obliquity(J2000);
    EXPECT_LT(AngleBetween(EquRectToEclRect(v), r.Pos), limit) << r.JD;
    ++checked;
  }
  EXPECT_EQ(checked, 28);
}

TEST(MoonMeanOrbit, ElementsAndTheirRange)
{
  TMoonMeanOrbit m = MoonMeanOrbit(J2000);
  EXPECT_NEAR_LD(RadToDeg(m.Node), 125.0445479L, 1e-12L);
  EXPECT_NEAR_LD(RadToDeg(m.Perigee), 83.3532465L, 1e-12L);
  EXPECT_NEAR_LD(RadToDeg(m.MeanLon), 218.3164477L, 1e-12L);
  EXPECT_EQ(m.Axis, 0.00257L);
  EXPECT_EQ(m.Ecc, 0.0549L);
  EXPECT_NEAR_LD(RadToDeg(m.Incl), 5.145396L, 1e-15L);
  // The node regresses; every angle stays in 0..2pi; the true Moon stays
  // within the sum of its largest inequalities (about 8 deg) of the mean one.
  for (long double jd : {990924.5L, 2440000.5L, 2451550.5L, 2460000.5L, 3912515.5L}) {
    TMoonMeanOrbit e = MoonMeanOrbit(jd);
    for (long double a : {e.Node, e.Perigee, e.MeanLon}) {
      EXPECT_GE(a, 0);
      EXPECT_LT(a, TwoPi);
    }
    EXPECT_LT(std::fabs(NormPi(MeanEcliptic(jd).Lon - e.MeanLon)), DegToRad(8.5L)) << jd;
  }
  EXPECT_NEAR_LD(NormPi(MoonMeanOrbit(J2000 + 10).Node - m.Node), DegToRad(-0.5295L), 1e-3L);
}

}  // namespace
