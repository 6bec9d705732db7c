// Spacecraft: interpolation in the tabulated points, the reduction to the
// equinox of date, and trajectory files good, damaged and hostile.
#include "TrajectoryBytes.h"
#include "LargestAllocation.h"
#include "long_double_near.h"

#include "astro/Angles.h"
#include "astro/Mathematics.h"
#include "astro/plt404.h"
#include "astro/util404.h"
#include "bodies/Spacecraft.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

using TPoint = TTrajectoryBytes::TPoint;

// Three points, 10 days apart, valid from the first to 5 days after the last.
TTrajectoryBytes ThreePoints()
{
  TTrajectoryBytes b;
  b.Header("Probe", 4711, 2451545.0, "2000 Jan 1")
      .Block(2451545.0, 2451570.0,
             {{2451545.0, 1.0, 0.0, 0.0}, {2451555.0, 0.0, 2.0, 0.25}, {2451565.0, -1.0, 0.5, -0.5}})
      .EmptyBlocks(9);
  return b;
}

TSpacecraft Load(const TTrajectoryBytes& bytes, const TTempDir& dir, const char* name = "t.spc")
{
  bytes.WriteTo(dir.Path / name);
  return TSpacecraft(dir.Path / name, 0x00AA00);
}

// The message of the error loading fails with, "" when it succeeds.
std::string LoadFailure(const TTrajectoryBytes& bytes, const TTempDir& dir)
{
  bytes.WriteTo(dir.Path / "bad.spc");
  try {
    TSpacecraft c(dir.Path / "bad.spc", 0);
  } catch (const ETrajectoryFileError& e) {
    return e.what();
  }
  return "";
}

void ExpectSame(const TRectCoord& a, const TRectCoord& b)
{
  EXPECT_EQ(a.X, b.X);
  EXPECT_EQ(a.Y, b.Y);
  EXPECT_EQ(a.Z, b.Z);
}

TEST(Spacecraft, FileFillsTheFieldsInOrder)
{
  TTempDir dir("spc-fields");
  TTrajectoryBytes b;
  b.Header("Voyager \xE9", 31, 2433282.423, "1977 Sep 5")  // 8-bit text is Windows-1252
      .Block(2443391.5, 2443400.0, {{2443391.5, 1, 2, 3}, {2443392.5, 1.5, 2.5, 3.5}})
      .Block(2443391.5, 2443392.0, {{2443391.5, 1e-4, 2e-4, 3e-4}})  // about the Earth
      .EmptyBlocks(3)
      .Block(2443391.5, 2443391.5, {})  // Jupiter: a span without points
      .EmptyBlocks(4);
  const TSpacecraft c = Load(b, dir);
  EXPECT_EQ(c.Name, "Voyager \u00e9");
  EXPECT_EQ(c.BodyNumber, 31);
  EXPECT_EQ(c.Equinox, 2433282.423);
  EXPECT_EQ(c.LaunchText, "1977 Sep 5");
  EXPECT_EQ(c.TrajectoryFile, (dir.Path / "t.spc").string());
  EXPECT_EQ(c.Color, 0x00AA00u);
  EXPECT_EQ(c.Positions.FirstJD, 2443391.5L);
  EXPECT_EQ(c.Positions.LastJD, 2443400.0L);
  ASSERT_EQ(c.Positions.Count(), 2);
  EXPECT_EQ(c.Positions.Items(1).JD, 2443392.5L);
  EXPECT_EQ(c.Positions.Items(1).Position.Z, 3.5L);
  ASSERT_EQ(c.PlanetocentricPositions[0].Count(), 1);
  EXPECT_EQ(c.PlanetocentricPositions[0].Items(0).Position.Y, static_cast<long double>(2e-4));
  EXPECT_EQ(c.PlanetocentricPositions[4].Count(), 0);
  EXPECT_EQ(c.PlanetocentricPositions[4].FirstJD, 2443391.5L);
  for (int i : {1, 2, 3, 5, 6, 7, 8}) EXPECT_EQ(c.PlanetocentricPositions[i].Count(), 0) << i;
}

TEST(Spacecraft, InterpolatesExactlyAtPointsAndLinearlyBetween)
{
  TTempDir dir("spc-interp");
  TSpacecraft c = Load(ThreePoints(), dir);

  c.Calculate(2451545.0);  // FirstJD = t0
  ExpectSame(c.Position, {1, 0, 0});
  c.Calculate(2451555.0);
  ExpectSame(c.Position, {0, 2, 0.25});
  c.Calculate(2451565.0);
  ExpectSame(c.Position, {-1, 0.5, -0.5});

  c.Calculate(2451550.0);  // halfway: the mean
  EXPECT_NEAR_LD(c.Position.X, 0.5L, 1e-18L);
  EXPECT_NEAR_LD(c.Position.Y, 1.0L, 1e-18L);
  EXPECT_NEAR_LD(c.Position.Z, 0.125L, 1e-18L);
  c.Calculate(2451557.5);  // a quarter of the way to the third point
  EXPECT_NEAR_LD(c.Position.X, -0.25L, 1e-18L);
  EXPECT_NEAR_LD(c.Position.Y, 1.625L, 1e-18L);
  EXPECT_NEAR_LD(c.SphericalPosition.Dist, VecLength(c.Position), 1e-18L);
  EXPECT_TRUE(c.HasPosition(2451557.5));
}

TEST(Spacecraft, HasNoPositionOutsideItsSpanAndHoldsTheLastPointInside)
{
  TTempDir dir("spc-span");
  TSpacecraft c = Load(ThreePoints(), dir);
  for (long double jd : {2451544.999L, 2451570.001L, 2400000.0L}) {
    c.Calculate(2451550);
    c.Calculate(jd);
    ExpectSame(c.Position, {});
    EXPECT_EQ(c.SphericalPosition.Dist, 0);
    EXPECT_FALSE(c.HasPosition(jd));
  }
  // After the last point but inside [FirstJD, LastJD]: the last point held.
  for (long double jd : {2451565.5L, 2451570.0L}) {
    c.Calculate(jd);
    ExpectSame(c.Position, {-1, 0.5, -0.5});
    EXPECT_TRUE(c.HasPosition(jd));
  }
}

TEST(Spacecraft, FirstPointHeldBeforeItAndNoPointsMeanNoPosition)
{
  TSpacecraft c(0);
  c.Positions.FirstJD = 100;
  c.Positions.LastJD = 200;
  c.Calculate(150);  // a span without points
  ExpectSame(c.Position, {});
  EXPECT_FALSE(c.HasPosition(150));
  c.Positions.Add(120, {1, 2, 3});
  c.Calculate(110);
  ExpectSame(c.Position, {1, 2, 3});
  EXPECT_TRUE(c.HasPosition(110));
}

TEST(Spacecraft, PositionOfDateAtItsOwnEquinoxIsUnchanged)
{
  TSpacecraft c(0);
  c.Equinox = 2455000.5L;
  const TRectCoord v{0.3L, -1.2L, 0.05L};
  ExpectSame(c.PositionOfDate(v, 2455000.5L), v);
  // The matrix of the same reduction is the identity up to rounding.
  const TRectCoord w = TransformPoint(v, c.PrecessionToDate(2455000.5L));
  EXPECT_NEAR_LD(w.X, v.X, 1e-17L);
  EXPECT_NEAR_LD(w.Y, v.Y, 1e-17L);
  EXPECT_NEAR_LD(w.Z, v.Z, 1e-17L);
}

TEST(Spacecraft, PositionOfDatePrecessesTheEcliptic)
{
  // Venus from the ecliptic of J2000.0 to that of -214 June 30 (Meeus,
  // Astronomical Algorithms, example 21.c): 149.48194, 1.76549 degrees
  // become 118.704, 1.615.
  TSpacecraft c(0);
  c.Equinox = 2451545.0L;
  TPolarCoord p;
  p.Lon = 149.48194L * DegreesToRadians;
  p.Lat = 1.76549L * DegreesToRadians;
  p.Dist = 0.72L;
  const TRectCoord of = c.PositionOfDate(PolarToRect(p), 1643074.5L);
  const TPolarCoord q = RectToPolar(of);
  EXPECT_NEAR(static_cast<double>(Norm2Pi(q.Lon) * RadiansToDegrees), 118.704, 0.0006);
  EXPECT_NEAR(static_cast<double>(q.Lat * RadiansToDegrees), 1.615, 0.0006);
  EXPECT_NEAR_LD(q.Dist, 0.72L, 1e-17L);

  // The matrix does the same, and going back restores the vector.
  const TRectCoord m = TransformPoint(PolarToRect(p), c.PrecessionToDate(1643074.5L));
  EXPECT_NEAR_LD(m.X, of.X, 1e-16L);
  EXPECT_NEAR_LD(m.Y, of.Y, 1e-16L);
  EXPECT_NEAR_LD(m.Z, of.Z, 1e-16L);
  // Over half a century the angles' series nearly invert each other.
  TSpacecraft back(0);
  back.Equinox = 2469807.5L;
  const TRectCoord v = back.PositionOfDate(c.PositionOfDate(PolarToRect(p), 2469807.5L), 2451545.0L);
  const TRectCoord original = PolarToRect(p);
  EXPECT_NEAR_LD(v.X, original.X, 1e-10L);
  EXPECT_NEAR_LD(v.Y, original.Y, 1e-10L);
  EXPECT_NEAR_LD(v.Z, original.Z, 1e-10L);
}

TEST(SpacecraftFile, NineEmptyPlanetBlocksAreValid)
{
  TTempDir dir("spc-empty");
  TTrajectoryBytes b;
  b.Header("Empty", 4000, 2451545.0, "").Block(2451545.0, 2451546.0, {}).EmptyBlocks(9);
  EXPECT_EQ(LoadFailure(b, dir), "");
  // Floats stored as integers, as other writers may store whole numbers.
  TTrajectoryBytes ints;
  ints.String("").String("Ints").Int(7).Int(2451545).String("");
  ints.Int(2451545).Int(2451546).Int(1).Int(2451545).Int(1).Int(-1).Int(0);
  ints.EmptyBlocks(9);
  const TSpacecraft c = Load(ints, dir);
  ASSERT_EQ(c.Positions.Count(), 1);
  ExpectSame(c.Positions.Items(0).Position, {1, -1, 0});
}

TEST(SpacecraftFile, WrittenFileReadsBack)
{
  TTempDir dir("spc-write");
  TSpacecraft c = Load(ThreePoints(), dir);
  c.PlanetocentricPositions[3].FirstJD = 2451560;
  c.PlanetocentricPositions[3].LastJD = 2451561;
  c.PlanetocentricPositions[3].Add(2451560.25L, {1e-3L, -2e-3L, 1.0L / 3});
  c.LaunchText = "launched \u2192 Mars";  // not 8-bit text
  c.SaveToFile(dir.Path / "copy.spc");
  const TSpacecraft d(dir.Path / "copy.spc", 0);
  EXPECT_EQ(d.Name, "Probe");
  EXPECT_EQ(d.BodyNumber, 4711);
  EXPECT_EQ(d.LaunchText, c.LaunchText);
  EXPECT_EQ(d.Positions.Count(), 3);
  EXPECT_EQ(d.Positions.LastJD, 2451570.0L);
  ASSERT_EQ(d.PlanetocentricPositions[3].Count(), 1);
  ExpectSame(d.PlanetocentricPositions[3].Items(0).Position, {1e-3L, -2e-3L, 1.0L / 3});
  EXPECT_EQ(d.PlanetocentricPositions[3].Items(0).JD, 2451560.25L);
}

TEST(SpacecraftFile, DamagedFilesAreRefusedNamingTheFile)
{
  TTempDir dir("spc-damaged");
  const std::string file = (dir.Path / "bad.spc").string();
  auto refused = [&](const TTrajectoryBytes& b, const std::string& reason) {
    const std::string message = LoadFailure(b, dir);
    EXPECT_NE(message.find("\"" + file + "\""), std::string::npos) << message;
    EXPECT_NE(message.find(reason), std::string::npos) << message;
  };

  TTrajectoryBytes backwards;
  backwards.Header("B", 1, 2451545.0, "")
      .Block(2451545, 2451565, {{2451545, 1, 0, 0}, {2451555, 1, 1, 0}, {2451550, 1, 2, 0}})
      .EmptyBlocks(9);
  refused(backwards, "the points go back in time (heliocentric points, point 3)");

  TTrajectoryBytes backwardsAtMars;
  backwardsAtMars.Header("B", 1, 2451545.0, "").Block(2451545, 2451546, {}).EmptyBlocks(3);
  backwardsAtMars.Block(1, 2, {{2, 0, 0, 0}, {1, 0, 0, 0}}).EmptyBlocks(5);
  refused(backwardsAtMars, "(points relative to Mars, point 2)");

  TTrajectoryBytes negative;
  negative.Header("N", 1, 2451545.0, "").Float(2451545).Float(2451546).Int(-5);
  refused(negative, "a negative number of points (-5)");

  TTrajectoryBytes notFinite;
  notFinite.Header("F", 1, 2451545.0, "")
      .Block(2451545, 2451546, {{2451545, 1, std::nan(""), 0}})
      .EmptyBlocks(9);
  refused(notFinite, "a number that is not finite (heliocentric points, point 1)");
  TTrajectoryBytes infiniteSpan;
  infiniteSpan.Header("F", 1, 2451545.0, "")
      .Block(2451545, HUGE_VAL, {})
      .EmptyBlocks(9);
  refused(infiniteSpan, "not finite");
  TTrajectoryBytes badEquinox;
  badEquinox.Header("E", 1, -HUGE_VAL, "").Block(1, 2, {}).EmptyBlocks(9);
  refused(badEquinox, "not finite (header)");
  TTrajectoryBytes farEquinox;
  farEquinox.Header("E", 1, 1e30, "").Block(1, 2, {}).EmptyBlocks(9);
  refused(farEquinox, "an equinox outside the dates known");

  TTrajectoryBytes truncated = ThreePoints();
  truncated.Data.resize(truncated.Data.size() - 5);
  refused(truncated, "the data end too early (points relative to Pluto)");
  TTrajectoryBytes noBlocks;
  noBlocks.Header("T", 1, 2451545.0, "").Block(2451545, 2451546, {{2451545, 1, 0, 0}});
  refused(noBlocks, "the data end too early (points relative to Earth)");

  TTrajectoryBytes wrongKind;
  wrongKind.Header("W", 1, 2451545.0, "").String("2451545").Float(2451546).Int(0);
  refused(wrongKind, "a value of the wrong kind (heliocentric points)");

  refused(TTrajectoryBytes{}, "the data end too early (header)");
}

TEST(SpacecraftFile, AbsurdCountsCostNoMemory)
{
  TTempDir dir("spc-counts");
  const std::string file = (dir.Path / "bad.spc").string();
  for (std::int32_t n : {2000000000, 0x7FFFFFFF, 1000}) {
    TTrajectoryBytes b;
    b.Header("C", 1, 2451545.0, "").Float(2451545).Float(2451546).Int(n);
    b.Float(2451545).Float(1).Float(2).Float(3);  // one point of the many announced
    LargestAllocation = 0;
    const std::string message = LoadFailure(b, dir);
    EXPECT_LT(LargestAllocation.load(), 100000u) << n;
    EXPECT_NE(message.find(std::to_string(n) + " points announced, more than the file can hold"),
              std::string::npos)
        << message;
  }
  // A count the file could hold but does not: the data are read as far as
  // they go, and room is not taken ahead of them.
  TTrajectoryBytes b;
  b.Header("C", 1, 2451545.0, "").Float(2451545).Float(2451546).Int(100000);
  b.Float(2451545).Float(1).Float(2).Float(3);
  b.Data.resize(b.Data.size() + 1000000, 8);  // Booleans where points should be
  LargestAllocation = 0;
  EXPECT_NE(LoadFailure(b, dir).find("a value of the wrong kind (heliocentric points, point 2)"),
            std::string::npos);
  EXPECT_LT(LargestAllocation.load(), 400000u);
}

TEST(SpacecraftFile, MissingFileAndDirectoryFail)
{
  TTempDir dir("spc-missing");
  EXPECT_THROW(TSpacecraft(dir.Path / "none.spc", 0), EFileError);
  // A directory: opened perhaps, never read as a trajectory.
  std::filesystem::create_directory(dir.Path / "dir.spc");
  EXPECT_THROW(TSpacecraft(dir.Path / "dir.spc", 0), std::runtime_error);
}

TEST(SpacecraftList, AddFromFileAppendsOnlyWhatLoads)
{
  TTempDir dir("spc-list");
  ThreePoints().WriteTo(dir.Path / "a.spc");
  TTrajectoryBytes bad = ThreePoints();
  bad.Data.resize(20);
  bad.WriteTo(dir.Path / "b.spc");

  TSpacecraftList list;
  list.AddFromFile(dir.Path / "a.spc", 0x123456);
  EXPECT_THROW(list.AddFromFile(dir.Path / "b.spc", 0), ETrajectoryFileError);
  EXPECT_THROW(list.AddFromFile(dir.Path / "c.spc", 0), EFileError);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0)->Color, 0x123456u);
  list.CalculateAll(2451555.0L);
  ExpectSame(list.Items(0)->Position, {0, 2, 0.25});
  list.SetAllColors(0x654321);
  EXPECT_EQ(list.Items(0)->Color, 0x654321u);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(SpacecraftPositionList, PointsBetweenIsInclusive)
{
  TSpacecraftPositionList l;
  for (int k = 0; k < 10; ++k) l.Add(100 + k, {});
  int first, last;
  l.PointsBetween(102, 105, first, last);
  EXPECT_EQ(first, 2);
  EXPECT_EQ(last, 6);
  l.PointsBetween(101.5, 101.9, first, last);
  EXPECT_EQ(first, last);
  l.PointsBetween(50, 500, first, last);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, 10);
  l.PointsBetween(105, 104, first, last);  // an empty window
  EXPECT_EQ(first, last);
}

// ---------------------------------------------------------------- the example

// The planet on the ecliptic of J2000.0, the frame of the example's points.
TRectCoord PlanetJ2000(int index, long double jd)
{
  Obliquity(2451545.0L);
  return EquRectToEclRect(PlanetJ2000Equatorial(index, jd));
}

TEST(ShippedExample, LeavesTheEarthAndReachesMars)
{
  const TSpacecraft c(SOLLUMEN_TEST_DATA "/../../data/spacecraft/Example-Earth-Mars.spc", 0);
  EXPECT_EQ(c.Name, "Example Earth-Mars transfer");
  EXPECT_EQ(c.Equinox, 2451545.0L);
  const TSpacecraftPositionList& helio = c.Positions;
  ASSERT_GT(helio.Count(), 200);
  EXPECT_EQ(helio.Items(0).JD, helio.FirstJD);
  EXPECT_EQ(helio.Items(helio.Count() - 1).JD, helio.LastJD);
  EXPECT_GT(helio.LastJD - helio.FirstJD, 150);

  // It starts at the Earth and ends at Mars, a few thousand km from their
  // centres (periapsis of the hyperbolas about them).
  const long double km = 1 / 149597870.7L;
  const long double atEarth =
      VecLength(VecSub(helio.Items(0).Position, PlanetJ2000(0, helio.FirstJD)));
  const long double atMars =
      VecLength(VecSub(helio.Items(helio.Count() - 1).Position, PlanetJ2000(3, helio.LastJD)));
  EXPECT_NEAR(static_cast<double>(atEarth / km), 6678.137, 1);
  EXPECT_NEAR(static_cast<double>(atMars / km), 3796.19, 1);

  // Its points about the planets are its heliocentric points less the
  // planet, where both have points.
  for (int index : {0, 3}) {
    const TSpacecraftPositionList& near = c.PlanetocentricPositions[index];
    ASSERT_GT(near.Count(), 100) << index;
    EXPECT_GE(near.FirstJD, helio.FirstJD);
    EXPECT_LE(near.LastJD, helio.LastJD);
    EXPECT_GE(near.LastJD - near.FirstJD, 3);
    for (int k = 0; k < near.Count(); k += 24) {  // every 6 hours
      const TSpacecraftPosition& p = near.Items(k);
      const TRectCoord fromHelio = VecSub(helio.Interpolate(p.JD), PlanetJ2000(index, p.JD));
      EXPECT_LT(VecLength(VecSub(fromHelio, p.Position)), 1 * km) << index << " " << k;
    }
  }
  for (int index : {1, 2, 4, 5, 6, 7, 8}) EXPECT_EQ(c.PlanetocentricPositions[index].Count(), 0);
}

}  // namespace
