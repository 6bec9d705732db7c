// Planetary positions of date: the index map, the Earth's barycentre
// correction, the reduction to the ecliptic of date, the JPL-based reference
// positions and the behaviour over the whole range of dates.
#include "astro/Mathematics.h"
#include "astro/astronomy404.h"
#include "astro/moon404.h"
#include "astro/nutate404.h"
#include "astro/plan404.h"
#include "astro/plt404.h"
#include "astro/util404.h"

#include "reference_data.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr long double J2000 = 2451545.0L;
constexpr long double AUInKm = 149597870.7L;

long double ToArcsec(long double rad) { return rad / ArcsecToRadians; }

// The J2000 equatorial vector of the ephemeris, the Earth corrected to its
// centre, on the mean ecliptic of J2000.0.
TRectCoord J2000EclipticPosition(int index, long double jd)
{
  const TRectCoord v = PlanetJ2000Equatorial(index, jd);
  Obliquity(J2000);
  return EquRectToEclRect(v);
}

TEST(PlanetIndex, LibraryNumbersAndNames)
{
  const int numbers[] = {3, 1, 2, 4, 5, 6, 7, 8, 9};
  for (int i = 0; i < PlanetCount; ++i) EXPECT_EQ(PlanetLibraryNumber(i), numbers[i]);
  EXPECT_EQ(PlanetLibraryNumber(9), 0);
  EXPECT_EQ(PlanetLibraryNumber(-1), 0);
  EXPECT_STREQ(PlanetNames[0], "Earth");
  EXPECT_STREQ(PlanetNames[8], "Pluto");
}

TEST(QueryPlan404, UnknownIndexGivesZerosAndKnownOnesTheEphemeris)
{
  for (int index : {9, 10, -1}) {
    TPolarCoord polar{1, 1, 1};
    TRectCoord rect{1, 1, 1};
    EXPECT_EQ(QueryPlan404(index, J2000, polar, rect), Plan404UnknownNumber);
    EXPECT_EQ(rect.X, 0);
    EXPECT_EQ(rect.Z, 0);
    EXPECT_EQ(polar.Lon, 0);
    EXPECT_EQ(polar.Dist, 0);
  }
  TPolarCoord polar;
  TRectCoord rect;
  EXPECT_EQ(QueryPlan404(4, J2000, polar, rect), Plan404Done);
  TPlanetData d;
  d.JD = 2451545.0;
  d.Number = 5;
  Plan404(d);
  EXPECT_EQ(rect.X, d.X);
  EXPECT_EQ(rect.Y, d.Y);
  EXPECT_EQ(rect.Z, d.Z);
  EXPECT_EQ(polar.Dist, d.Radius);
}

TEST(PlanetPosition, UnknownIndexGivesZeros)
{
  TRectCoord rect{1, 1, 1};
  TPolarCoord sph{1, 1, 1};
  PlanetPosition(9, J2000, rect, sph);
  EXPECT_EQ(rect.X, 0);
  EXPECT_EQ(sph.Lat, 0);
  EXPECT_EQ(sph.Dist, 0);
}

// At J2000.0 precession is the identity: the answer is the ephemeris vector
// turned by the obliquity of J2000 with the nutation in longitude added.
TEST(PlanetPosition, AtJ2000IsTheRotatedVectorPlusNutation)
{
  TRectCoord rect;
  TPolarCoord sph;
  PlanetPosition(4, J2000, rect, sph);
  const TPolarCoord expected = RectToPolar(J2000EclipticPosition(4, J2000));
  NutationAngles(J2000);
  EXPECT_NEAR(ToArcsec(NutationState().DPsi), -13.9L, 0.1L);
  EXPECT_NEAR(sph.Lon, expected.Lon + NutationState().DPsi, 1e-15L);
  EXPECT_NEAR(sph.Lat, expected.Lat, 1e-15L);
  EXPECT_NEAR(sph.Dist, expected.Dist, 1e-15L);
  // rect is the polar triple rebuilt.
  const TRectCoord back = PolarToRect(sph);
  EXPECT_NEAR(rect.X, back.X, 1e-15L);
  EXPECT_NEAR(rect.Y, back.Y, 1e-15L);
  EXPECT_NEAR(rect.Z, back.Z, 1e-15L);
}

// The Earth lies about 4700 km from the barycentre, on the far side from the Moon.
TEST(PlanetPosition, EarthIsCorrectedFromTheBarycentre)
{
  for (long double jd : {J2000, 2460000.5L, 3.5e6L}) {
    TRectCoord earth;
    TPolarCoord sph;
    PlanetPosition(0, jd, earth, sph);
    // The barycentre through the same reduction: shift the Earth by the Moon's
    // share, both vectors of date.
    TRectCoord moon;
    TPolarCoord moonPolar;
    MoonEcliptic(jd, moon, moonPolar);
    const TRectCoord offset = VecScale(moon, EarthMoonMassFraction);
    EXPECT_NEAR(VecLength(offset) * AUInKm, 4700, 300) << jd;
    TPolarCoord polar;
    TRectCoord emb;
    QueryPlan404(0, jd, polar, emb);
    // Distance from the Sun differs from the barycentre's by at most the offset.
    EXPECT_LE(std::fabs(VecLength(emb) - sph.Dist), VecLength(offset) * 1.0001L) << jd;
    EXPECT_GT(std::fabs(VecLength(emb) - sph.Dist), 0) << jd;
    // The J2000 forms: barycentre minus Earth points at the Moon.
    const TRectCoord shift = VecSub(emb, PlanetJ2000Equatorial(0, jd));
    EXPECT_LT(AngleBetween(shift, MoonJ2000Equatorial(jd)), 1e-9L) << jd;
    EXPECT_NEAR(VecLength(shift), VecLength(offset), 1e-12L) << jd;
  }
}

struct Tolerance {
  int Index;
  long double Arcsec;
};
// Uranus and Neptune depart most from the JPL orbits of today.
constexpr Tolerance ReferenceTolerance[] = {{0, 1}, {1, 1},   {2, 1}, {3, 1},
                                            {4, 1}, {5, 1}, {6, 1.5L}, {7, 3}};

TEST(PlanetPosition, MatchesTheReferenceOfDate)
{
  const auto rows = ReadReference("jpl-date.csv");
  int checked = 0;
  for (const auto& row : rows) {
    if (row.Number < 0 || row.Number > 7) continue;
    TRectCoord rect;
    TPolarCoord sph;
    PlanetPosition(row.Number, row.JD, rect, sph);
    EXPECT_LT(ToArcsec(AngleBetween(rect, row.Pos)), ReferenceTolerance[row.Number].Arcsec)
        << row.Body << " " << row.JD;
    EXPECT_NEAR(sph.Dist, VecLength(row.Pos), 5e-6L * sph.Dist) << row.Body << " " << row.JD;
    ++checked;
  }
  EXPECT_EQ(checked, 14 * 8);
}

TEST(PlanetPosition, MatchesTheReferenceOfJ2000)
{
  const auto rows = ReadReference("jpl-j2000.csv");
  int checked = 0;
  for (const auto& row : rows) {
    if (row.Number < 0 || row.Number > 7) continue;
    const TRectCoord v = J2000EclipticPosition(row.Number, row.JD);
    EXPECT_LT(ToArcsec(AngleBetween(v, row.Pos)), ReferenceTolerance[row.Number].Arcsec)
        << row.Body << " " << row.JD;
    ++checked;
  }
  EXPECT_EQ(checked, 14 * 8);
}

// Over the whole range (-4712 to +6239) every planet stays near its mean
// orbit: Jupiter's and Saturn's great inequality alone is up to 0.8 degrees.
TEST(PlanetPosition, StaysNearTheMeanOrbitsOverTheWholeRange)
{
  long double worst[8] = {};
  for (long double jd = 0.0L; jd <= 4000000.0L; jd += 1999.5L) {
    for (int i = 0; i < 8; ++i) {
      TRectCoord rect;
      TPolarCoord sph;
      PlanetPosition(i, jd, rect, sph);
      ASSERT_TRUE(std::isfinite(rect.X) && std::isfinite(rect.Y) && std::isfinite(rect.Z))
          << i << " at " << jd;
      const TRectCoord mean = KeplerPosition(MeanPlanetElements(i, 0, jd), jd);
      worst[i] = std::max(worst[i], AngleBetween(rect, mean) * RadiansToDegrees);
    }
  }
  for (int i = 0; i < 8; ++i) EXPECT_LT(worst[i], 1.5L) << PlanetNames[i];
}

}  // namespace
