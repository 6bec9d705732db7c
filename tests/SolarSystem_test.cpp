// The scene's model and its projection: construction, the instant, colours,
// the view setters and the pixel mapping.
#include "scene/SolarSystem.h"

#include "astro/Mathematics.h"
#include "scene/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TDateRec Date(int year, int month, int day, int hour = 0)
{
  TDateRec r;
  r.Year = year;
  r.Month = month;
  r.Day = day;
  r.Hour = hour;
  return r;
}

// A scene painted once into (left, top, size, size) so that the projection
// knows its rectangle.
void PaintInto(TSolarSystem& scene, int left = 0, int top = 0, int size = 500)
{
  TRecordingCanvas canvas;
  scene.Paint(&canvas, left, top, size, size, 2, 0);
  scene.ForgetCanvas(&canvas);
}

TEST(SceneModel, NewSceneHoldsNinePlanetsAndTwentyTwoSatellites)
{
  TSolarSystem scene;
  ASSERT_EQ(scene.PlanetsList().Count(), 9);
  const int expected[9] = {1, 0, 0, 0, 4, 12, 5, 0, 0};
  int total = 0;
  for (int i = 0; i < 9; ++i) {
    TPlanet* p = scene.Planet(i);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->BodyNumber, i);
    EXPECT_EQ(p->Color, DefaultObjectColors[i]) << i;
    EXPECT_EQ(p->Satellites.Count(), expected[i]) << p->Name;
    for (int k = 0; k < p->Satellites.Count(); ++k) {
      EXPECT_EQ(p->Satellites.Items(k)->Color, 0x008080u);
      EXPECT_EQ(p->Satellites.Items(k)->BodyNumber, SatelliteNumbers[total + k]);
    }
    total += p->Satellites.Count();
  }
  EXPECT_EQ(total, 22);
  EXPECT_EQ(scene.Planet(0)->Satellites.Items(0)->BodyNumber, bnMoon);
  EXPECT_EQ(scene.AsteroidsList().Count(), 0);
  EXPECT_EQ(scene.AsteroidsFullList().Count(), 0);
  EXPECT_EQ(scene.SpacecraftsList().Count(), 0);
  EXPECT_EQ(scene.DirectionList().Count(), 0);
}

TEST(SceneModel, Defaults)
{
  TSolarSystem scene;
  EXPECT_EQ(scene.Width(), 500);
  EXPECT_EQ(scene.Height(), 500);
  EXPECT_EQ(scene.Left, 0);
  EXPECT_EQ(scene.Top, 0);
  EXPECT_EQ(scene.Dim(), 2.0L);
  EXPECT_EQ(scene.GridStep(), 0.5L);
  EXPECT_EQ(scene.CenterObject(), 9);
  EXPECT_TRUE(scene.ShowOrbits && scene.ShowNames && scene.ShowSun && scene.ShowSpacecrafts &&
              scene.ShowDirections && scene.ShowSatellites);
  EXPECT_FALSE(scene.ShowRotAxis || scene.ShowRotation || scene.ShowPerpendiculars ||
               scene.ShowApsides || scene.ShowLineOfNodes);
  EXPECT_EQ(scene.GridMode, 2);
  EXPECT_EQ(scene.Plane, D3);
  EXPECT_NEAR(static_cast<double>(scene.RotX()), 45, 1e-12);
  EXPECT_NEAR(static_cast<double>(scene.RotY()), 0, 1e-12);
  EXPECT_NEAR(static_cast<double>(scene.RotZ()), 45, 1e-12);
  EXPECT_EQ(scene.GridColor, 0x505050u);
  EXPECT_EQ(scene.BgColor, 0x000000u);
  EXPECT_EQ(scene.SunColor, 0x00FFFFu);
  EXPECT_EQ(scene.AxesColor, 0x000000u);
  EXPECT_EQ(scene.PerpendicularColor, 0x505050u);
  EXPECT_EQ(scene.SpacecraftTrajectoryPast, 10.0L);
  EXPECT_EQ(scene.SpacecraftTrajectoryFuture, 10.0L);
  EXPECT_EQ(scene.SpacecraftTrajectoryMode, stmPast);
  EXPECT_TRUE(scene.ShowPlanetocentricTrajectories);
  EXPECT_FALSE(scene.CanShowObjects());
  EXPECT_EQ(scene.Canvas(), nullptr);
  EXPECT_EQ(scene.ColorMode(), 2);
  EXPECT_EQ(scene.SizeMode(), 0);
  EXPECT_EQ(scene.DateTime().Zone, 0);
  for (int i = 0; i < ObjectColorCount; ++i)
    EXPECT_EQ(scene.GetObjectColor(i), DefaultObjectColors[i]) << i;
  EXPECT_EQ(DefaultObjectColors[9], 0x00FFFFu);
  EXPECT_EQ(DefaultObjectColors[11], 0x008080u);
  EXPECT_EQ(DefaultObjectColors[13], 0x808080u);
  // The construction computed every body for the current instant.
  EXPECT_NE(VecLength(scene.Planet(0)->Position), 0);
  EXPECT_EQ(scene.JD(), DateRecToJD(scene.DateTime()));
}

TEST(SceneModel, CanShowObjectsFollowsTheYearOfTheInstant)
{
  TSolarSystem scene;
  scene.SetDateTime(Date(1950, 1, 1));
  EXPECT_TRUE(scene.CanShowObjects());
  scene.SetDateTime(Date(1949, 12, 31, 23));
  EXPECT_FALSE(scene.CanShowObjects());
  scene.SetDateTime(Date(2050, 12, 31, 23));
  EXPECT_TRUE(scene.CanShowObjects());
  scene.SetDateTime(Date(2051, 1, 1));
  EXPECT_FALSE(scene.CanShowObjects());
}

TEST(SceneModel, SetDateTimeRecomputesForTheInstantWithItsZone)
{
  TSolarSystem scene;
  TDateRec rec = Date(2000, 1, 1, 12);
  rec.Zone = 120;  // 12:00 two hours east of Greenwich is 10:00 UT
  scene.SetDateTime(rec);
  EXPECT_EQ(scene.DateTime(), rec);
  EXPECT_NEAR(static_cast<double>(scene.JD()), 2451545.0 - 2.0 / 24, 1e-9);
  TPlanet earth(0, 0);
  earth.Calculate(scene.JD());
  EXPECT_EQ(VecLength(VecSub(earth.Position, scene.Planet(0)->Position)), 0);
}

TEST(SceneModel, CenterObjectOutsideZeroToNineIsIgnoredWithoutRecomputing)
{
  TSolarSystem scene;
  scene.SetDateTime(Date(2005, 6, 1));
  scene.SetCenterObject(3);
  EXPECT_EQ(scene.CenterObject(), 3);
  const TRectCoord mars = scene.Planet(3)->Position;
  EXPECT_EQ(VecLength(VecSub(scene.CenterPosition(), mars)), 0);

  // A planet moved by hand stays moved while nothing recomputes.
  scene.Planet(3)->Position = {9, 9, 9};
  scene.SetCenterObject(10);
  scene.SetCenterObject(-1);
  EXPECT_EQ(scene.CenterObject(), 3);
  EXPECT_EQ(scene.Planet(3)->Position.X, 9);
  EXPECT_EQ(VecLength(VecSub(scene.CenterPosition(), mars)), 0);

  scene.SetCenterObject(9);  // valid: recomputes, the Sun is at the centre
  EXPECT_EQ(VecLength(VecSub(scene.Planet(3)->Position, mars)), 0);
  EXPECT_EQ(VecLength(scene.CenterPosition()), 0);
}

TEST(SceneModel, SetObjectColorReachesTheBodiesOfItsKind)
{
  TSolarSystem scene;
  TOrbitElements el;
  el.EpochJD = 2451545;
  el.AxisAU = 2.5L;
  el.DailyMotion = 0.25L;
  el.Ecc = 0.1L;
  scene.AsteroidsList().Add(std::make_unique<TAsteroid>("Ceres", el, 0x123456));
  scene.AsteroidsFullList().Add(el, 0x123456);
  scene.AsteroidsFullList().Add(el, 0x654321);

  scene.SetObjectColor(11, 0x0000AA);
  EXPECT_EQ(scene.AsteroidsList().Items(0)->Color, 0x0000AAu);
  EXPECT_EQ(scene.AsteroidsFullList().Color(0), 0x0000AAu);
  EXPECT_EQ(scene.AsteroidsFullList().Color(1), 0x0000AAu);
  EXPECT_EQ(scene.GetObjectColor(11), 0x0000AAu);

  scene.SetObjectColor(12, 0x00BB00);
  for (int i = 0; i < 9; ++i)
    for (int k = 0; k < scene.Planet(i)->Satellites.Count(); ++k)
      EXPECT_EQ(scene.Planet(i)->Satellites.Items(k)->Color, 0x00BB00u);

  scene.SetObjectColor(4, 0x0C0C0C);
  EXPECT_EQ(scene.Planet(4)->Color, 0x0C0C0Cu);
  EXPECT_EQ(scene.GetObjectColor(4), 0x0C0C0Cu);

  // The Sun's entry changes the table only.
  scene.SetObjectColor(9, 0xABCDEF);
  EXPECT_EQ(scene.GetObjectColor(9), 0xABCDEFu);
  EXPECT_EQ(scene.SunColor, 0x00FFFFu);
  for (int i = 0; i < 9; ++i) EXPECT_NE(scene.Planet(i)->Color, 0xABCDEFu);
  EXPECT_EQ(scene.AsteroidsList().Items(0)->Color, 0x0000AAu);

  scene.SetObjectColor(14, 1);
  scene.SetObjectColor(-1, 1);
  EXPECT_EQ(scene.GetObjectColor(14), 0u);
  EXPECT_EQ(scene.GetObjectColor(13), 0x808080u);
}

// ---------------------------------------------------------------- the view

TEST(SceneView, RotationsAreDegreesOutside)
{
  TSolarSystem scene;
  scene.SetRotX(30);
  scene.SetRotY(-120);
  scene.SetRotZ(400);
  EXPECT_NEAR(static_cast<double>(scene.RotX()), 30, 1e-13);
  EXPECT_NEAR(static_cast<double>(scene.RotY()), -120, 1e-13);
  EXPECT_NEAR(static_cast<double>(scene.RotZ()), 400, 1e-13);
}

TEST(SceneView, DimLimitsAndGridSteps)
{
  TSolarSystem scene;
  struct {
    long double dim, step;
  } cases[] = {{2, 0.5L},     {0.15L, 0.025L}, {100, 20},    {0.001L, 0.001L},
               {0.3L, 0.05L}, {0.02L, 0.005L}, {0.0039L, 0.001L}, {7.9L, 1}, {8, 2}};
  for (auto c : cases) {
    scene.SetDim(c.dim);
    EXPECT_EQ(scene.Dim(), c.dim);
    EXPECT_EQ(scene.GridStep(), c.step) << static_cast<double>(c.dim);
    EXPECT_EQ(scene.XMin(), -c.dim);
    EXPECT_EQ(scene.YMax(), c.dim);
  }
  scene.SetDim(0.3L);
  for (long double bad : {0.0005L, 101.0L, -1.0L, std::numeric_limits<long double>::quiet_NaN(),
                          std::numeric_limits<long double>::infinity()}) {
    scene.SetDim(bad);
    EXPECT_EQ(scene.Dim(), 0.3L);
    EXPECT_EQ(scene.GridStep(), 0.05L);
  }
}

TEST(SceneView, XYProjectionOfTheExamples)
{
  TSolarSystem scene;
  scene.Plane = XY;
  PaintInto(scene);
  EXPECT_EQ(scene.WorldToScreen({1, 0, 0}), (TScreenPoint{375, 250}));
  EXPECT_EQ(scene.WorldToScreen({0, 1, 0}), (TScreenPoint{250, 125}));
  EXPECT_EQ(scene.WorldToScreen({0, 0, 0}), (TScreenPoint{250, 250}));
  EXPECT_EQ(scene.WorldToScreen({0, 0, 1}), (TScreenPoint{250, 250}));
  // Trunc rounds toward zero on both sides of the window's lower edge.
  EXPECT_EQ(scene.WorldToScreen({-2.003L, -2.003L, 0}), (TScreenPoint{0, 500}));
  EXPECT_EQ(scene.WorldToScreen({-2.01L, 0, 0}).X, -1);

  scene.Plane = XZ;
  EXPECT_EQ(scene.WorldToScreen({1, 5, 1}), (TScreenPoint{375, 125}));
  scene.Plane = ZY;
  EXPECT_EQ(scene.WorldToScreen({5, 1, -1}), (TScreenPoint{125, 125}));

  // The rectangle's corner is added; the centre object lands in the middle.
  PaintInto(scene, 40, 30, 200);
  scene.Plane = XY;
  EXPECT_EQ(scene.WorldToScreen({1, 0, 0}), (TScreenPoint{40 + 150, 30 + 100}));
  scene.SetDateTime(Date(2000, 3, 1));
  scene.SetCenterObject(4);
  EXPECT_EQ(scene.WorldToScreen(scene.Planet(4)->Position), (TScreenPoint{140, 130}));
}

TEST(SceneView, ThreeDimensionalViewWithZeroAnglesEqualsXY)
{
  TSolarSystem scene;
  scene.SetRotX(0);
  scene.SetRotY(0);
  scene.SetRotZ(0);
  PaintInto(scene);
  const TRectCoord points[] = {{1, 0, 0}, {0.3L, -1.7L, 0.4L}, {-1.2L, 0.77L, -3}, {0, 0, 0}};
  for (const TRectCoord& v : points) {
    scene.Plane = D3;
    TScreenPoint d3 = scene.WorldToScreen(v);
    scene.Plane = XY;
    EXPECT_EQ(d3, scene.WorldToScreen(v));
  }
}

TEST(SceneView, EdgeOnViewPutsTheEclipticOnTheMiddleRow)
{
  TSolarSystem scene;
  scene.SetRotX(90);
  scene.SetRotY(0);
  scene.SetRotZ(0);
  PaintInto(scene);
  for (const TRectCoord& v : {TRectCoord{1, 0, 0}, TRectCoord{0, 1, 0}, TRectCoord{-0.7L, 1.3L, 0}})
    EXPECT_EQ(scene.WorldToScreen(v).Y, 250);
  EXPECT_EQ(scene.WorldToScreen({1, 0, 0}).X, 375);
  EXPECT_EQ(scene.WorldToScreen({0, 1, 0}).X, 250);
  // North of the ecliptic is down.
  EXPECT_EQ(scene.WorldToScreen({0, 0, 1}), (TScreenPoint{250, 375}));
}

TEST(SceneView, IsInView)
{
  TSolarSystem scene;
  scene.SetDim(2);
  EXPECT_TRUE(scene.IsInView({0, 0, 0}));
  EXPECT_FALSE(scene.IsInView({0.02L * 2, 0, 0}));   // would merge with the Sun
  EXPECT_TRUE(scene.IsInView({0, 0.03L * 2, 0}));
  EXPECT_TRUE(scene.IsInView({10, 0, 0}));            // 5 Dim from the centre
  EXPECT_FALSE(scene.IsInView({10.0001L, 0, 0}));

  // Around a planet: the planet itself is in view however close to the Sun
  // the view is measured, the Sun too; other bodies near the Sun are not.
  scene.SetDateTime(Date(2010, 1, 1));
  scene.SetCenterObject(1);
  scene.SetDim(20);
  const TRectCoord mercury = scene.Planet(1)->Position;
  EXPECT_TRUE(scene.IsInView(mercury));
  EXPECT_TRUE(scene.IsInView({0, 0, 0}));
  EXPECT_FALSE(scene.IsInView(VecScale(mercury, 0.5L)));
  EXPECT_DOUBLE_EQ(static_cast<double>(scene.DistanceFromCenter({0, 0, 0})),
                   static_cast<double>(VecLength(mercury)));
  EXPECT_DOUBLE_EQ(static_cast<double>(scene.DistanceFromSun(mercury)),
                   static_cast<double>(VecLength(mercury)));
}

TEST(SceneView, Elongation)
{
  TSolarSystem scene;
  scene.SetDateTime(Date(2010, 1, 1));
  for (int i = 0; i < 9; ++i)
    EXPECT_EQ(scene.Elongation(scene.Planet(i)->Position), -99) << "Sun at the centre";

  scene.SetCenterObject(0);
  const TRectCoord earth = scene.Planet(0)->Position;
  EXPECT_EQ(scene.Elongation(earth), -99);
  EXPECT_NEAR(static_cast<double>(scene.Elongation({0, 0, 0})), 0, 1e-9);
  // Straight away from the Sun, and at right angles to it.
  EXPECT_NEAR(static_cast<double>(scene.Elongation(VecScale(earth, 2))), Pi, 1e-6);
  TRectCoord side{-earth.Y, earth.X, 0};
  EXPECT_NEAR(static_cast<double>(scene.Elongation(VecAdd(earth, side))), HalfPi, 1e-12);
  // (the Earth lies within a few millionths of an AU of the ecliptic)
  EXPECT_NEAR(static_cast<double>(scene.Elongation(VecAdd(earth, {0, 0, 0.3L}))), HalfPi, 1e-4);
}

// ---------------------------------------------------------------- helpers

TEST(OrbitHelpers, OrbitLevelAndStep)
{
  EXPECT_EQ(OrbitLevel(1.01L, 2), 1);
  EXPECT_EQ(OrbitLevel(1.0L, 2), 2);
  EXPECT_EQ(OrbitLevel(0.6L, 2), 3);
  EXPECT_EQ(OrbitLevel(0.45L, 2), 4);
  EXPECT_EQ(OrbitLevel(0.4L, 2), 0);
  EXPECT_EQ(OrbitStep(4, 0.95L), 1);
  EXPECT_EQ(OrbitStep(2, 0.75L), 1);
  EXPECT_EQ(OrbitStep(3, 0.0L), 3);
  EXPECT_EQ(OrbitStep(4, 0.85L), 2);
  EXPECT_EQ(OrbitStep(0, 0.1L), 1);
}

TEST(OrbitHelpers, PointWalkVisitsPointOneAndTheMultiplesOfTheStep)
{
  for (int k = 1; k <= 4; ++k) {
    std::vector<int> seen;
    WalkOrbitPoints(k, [&](int n) { seen.push_back(n); });
    std::vector<int> expected{1};
    for (int m = k == 1 ? 2 : k; m <= 359; m += k) expected.push_back(m);
    EXPECT_EQ(seen, expected) << "step " << k;
  }
  std::vector<int> three;
  WalkOrbitPoints(3, [&](int n) { three.push_back(n); });
  EXPECT_EQ(three.size(), 120u);
  EXPECT_EQ(three[1], 3);
  EXPECT_EQ(three.back(), 357);
}

TEST(OrbitHelpers, NodesOfACachedOrbit)
{
  std::array<TRectCoord, OrbitPointCount> pts{};
  TRectCoord a, b;
  for (int k = 0; k < OrbitPointCount; ++k) pts[k] = {std::cos(k * 0.0175L), std::sin(k * 0.0175L), 0};
  EXPECT_FALSE(FindNodes(pts, a, b)) << "an orbit in the ecliptic has no nodes";

  // z = 1 for points 1-100, -1 for 101-300, 3 from 301 on.
  for (int k = 0; k < OrbitPointCount; ++k)
    pts[k] = {static_cast<long double>(k), 0, k < 100 ? 1.0L : k < 300 ? -1.0L : 3.0L};
  ASSERT_TRUE(FindNodes(pts, a, b));
  EXPECT_DOUBLE_EQ(static_cast<double>(a.X), 99.5);
  EXPECT_DOUBLE_EQ(static_cast<double>(a.Z), 0);
  EXPECT_DOUBLE_EQ(static_cast<double>(b.X), 299.25);
  EXPECT_DOUBLE_EQ(static_cast<double>(b.Z), 0);

  // One crossing only: the second node is the first.
  for (int k = 0; k < OrbitPointCount; ++k)
    pts[k] = {static_cast<long double>(k), 0, k < 200 ? 2.0L : -2.0L};
  ASSERT_TRUE(FindNodes(pts, a, b));
  EXPECT_DOUBLE_EQ(static_cast<double>(a.X), 199.5);
  EXPECT_DOUBLE_EQ(static_cast<double>(b.X), 199.5);

  // A point lying in the plane counts as a change of sign, the node is the point.
  for (int k = 0; k < OrbitPointCount; ++k)
    pts[k] = {static_cast<long double>(k), 0, k < 50 ? 1.0L : k == 50 ? 0.0L : 1.0L};
  ASSERT_TRUE(FindNodes(pts, a, b));
  EXPECT_DOUBLE_EQ(static_cast<double>(a.X), 50);
  EXPECT_DOUBLE_EQ(static_cast<double>(b.X), 50);
}

TEST(OrbitHelpers, GridNumbers)
{
  EXPECT_EQ(GridNumberText(0.5L), "0.5");
  EXPECT_EQ(GridNumberText(1.0L), "1");
  EXPECT_EQ(GridNumberText(-0.25L), "-0.25");
  EXPECT_EQ(GridNumberText(3 * 0.1L), "0.3");
  EXPECT_EQ(GridNumberText(-0.0L), "0");
  EXPECT_EQ(GridNumberText(2.5L), "2.5");
}

}  // namespace
