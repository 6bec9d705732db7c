#include "bodies/SSClasses.h"

#include "astro/astronomy404.h"
#include "astro/Mathematics.h"
#include "astro/satellites.h"
#include "astro/util404.h"
#include "reference_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr long double J2000 = 2451545.0L;

long double Distance(const TRectCoord& a, const TRectCoord& b)
{
  return VecLength(VecSub(a, b));
}

TOrbitElements SampleElements()
{
  TOrbitElements el;
  el.EpochJD = J2000;
  el.Incl = 10;
  el.NodeLon = 80;
  el.PeriLon = 150;
  el.AxisAU = 2.7L;
  el.DailyMotion = 0.9856076686L / (2.7L * std::sqrt(2.7L));
  el.Ecc = 0.2L;
  el.MeanLon = 30;
  return el;
}

std::unique_ptr<TPlanet> PlanetWithSatellites(int index)
{
  auto planet = std::make_unique<TPlanet>(index, 0x123456);
  AddSatellites(*planet, 0x008080);
  return planet;
}

}  // namespace

TEST(OrbitalObject, CacheSpansOnePeriodStartingOneStepAfterTheInstant)
{
  TAsteroid body("Sample", SampleElements(), 0x008080);
  body.Calculate(J2000);
  const long double period = 360.0L / body.Elements.DailyMotion;
  EXPECT_LT(Distance(body.OrbitPoint(1), body.OrbitPoint(360)), 1e-12L);
  EXPECT_LT(Distance(body.OrbitPoint(1), KeplerPosition(body.Elements, J2000 + period / 359)),
            1e-12L);
  EXPECT_GT(Distance(body.OrbitPoint(1), body.Position), 1e-3L);
  EXPECT_EQ(body.BodyNumber, bnMinorBody);
}

TEST(OrbitalObject, RefusesElementsWithoutAnEllipse)
{
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  auto with = [](auto change) {
    TOrbitElements el = SampleElements();
    change(el);
    return el;
  };
  EXPECT_THROW(TAsteroid("a", with([](auto& e) { e.Ecc = 1; }), 0), EInvalidElements);
  EXPECT_THROW(TAsteroid("a", with([](auto& e) { e.Ecc = -0.1L; }), 0), EInvalidElements);
  EXPECT_THROW(TAsteroid("a", with([](auto& e) { e.DailyMotion = 0; }), 0), EInvalidElements);
  EXPECT_THROW(TAsteroid("a", with([&](auto& e) { e.MeanLon = nan; }), 0), EInvalidElements);
  EXPECT_THROW(TAsteroid("a", with([](auto& e) { e.AxisAU = 0; }), 0), EInvalidElements);
  EXPECT_NO_THROW(TAsteroid("a", SampleElements(), 0));
}

TEST(Planet, PlutoIsKeplerianTheOthersFollowTheTheory)
{
  TPlanet pluto(bnPluto, 0xA0A0A0);
  pluto.Calculate(J2000);
  const TRectCoord kepler = KeplerPosition(MeanPlanetElements(8, 0, J2000), J2000);
  EXPECT_LT(Distance(pluto.Position, kepler), 1e-15L);
  EXPECT_EQ(pluto.Name, "Pluto");

  TPlanet jupiter(4, 0x808000);
  jupiter.Calculate(J2000);
  const TRectCoord mean = KeplerPosition(jupiter.Elements, J2000);
  const long double off = Distance(jupiter.Position, mean);
  EXPECT_GT(off, 1e-4L);  // the theory is not the mean orbit ...
  EXPECT_LT(off, 0.1L);   // ... but stays close to it
  EXPECT_NEAR(jupiter.Period, 360.0L / jupiter.Elements.DailyMotion, 1e-9L);
  EXPECT_NEAR(jupiter.SemiMajorAxis, 5.202603191L, 1e-6L);
}

TEST(Planet, RecalculatesItsSatellitesAndFindsTheLastOfANumber)
{
  auto jupiter = PlanetWithSatellites(4);
  ASSERT_EQ(jupiter->Satellites.Count(), 4);
  jupiter->Calculate(J2000 + 100);
  TSatellite* io = jupiter->FindSatellite(140);
  ASSERT_NE(io, nullptr);
  EXPECT_EQ(io->Name, "Io");
  EXPECT_GT(io->PlanetocentricDistance(), 0.0025L);
  EXPECT_LT(io->PlanetocentricDistance(), 0.0029L);

  const TRectCoord before = io->Position;
  jupiter->Calculate(J2000 + 100.5L);
  EXPECT_GT(Distance(io->Position, before), 1e-3L);

  auto second = std::make_unique<TJupiterMoon>(140, jupiter.get(), 1);
  TSatellite* last = jupiter->Satellites.Add(std::move(second));
  EXPECT_EQ(jupiter->FindSatellite(140), last);
  EXPECT_EQ(jupiter->FindSatellite(999), nullptr);

  jupiter->SetSatellitesColor(0xABCDEF);
  for (int i = 0; i < jupiter->Satellites.Count(); ++i)
    EXPECT_EQ(jupiter->Satellites.Items(i)->Color, 0xABCDEFu);
}

TEST(Satellites, ConstantsOfTheTable)
{
  auto jupiter = PlanetWithSatellites(4);
  auto saturn = PlanetWithSatellites(5);
  EXPECT_NEAR(jupiter->FindSatellite(140)->Mass, 8.886384e22L, 1e9L);
  EXPECT_NEAR(saturn->FindSatellite(164)->Mass, 0.000238L * 5.684e26L, 1e10L);
  EXPECT_EQ(saturn->FindSatellite(164)->Designation, "S VI");
  for (int n : {159, 160}) {
    EXPECT_EQ(saturn->FindSatellite(n)->Period, saturn->FindSatellite(158)->Period);
    EXPECT_EQ(saturn->FindSatellite(n)->SemiMajorAxis, saturn->FindSatellite(158)->SemiMajorAxis);
    EXPECT_EQ(saturn->FindSatellite(n)->Inclination, saturn->FindSatellite(158)->Inclination);
  }
  EXPECT_EQ(saturn->FindSatellite(162)->Period, saturn->FindSatellite(161)->Period);
  EXPECT_EQ(saturn->Satellites.Count(), 12);
  EXPECT_THROW(TSaturnMoon(150, saturn.get(), 0), std::invalid_argument);
  EXPECT_THROW(TJupiterMoon(170, jupiter.get(), 0), std::invalid_argument);
  EXPECT_THROW(NewSatellite(bnMoon, jupiter.get(), 0), std::invalid_argument);
  EXPECT_EQ(NewSatellite(164, saturn.get(), 0)->Name, "Titan");
}

TEST(Satellites, CachesStartOneStepAfterTheInstant)
{
  auto saturn = PlanetWithSatellites(5);
  saturn->Calculate(J2000);
  TSatellite* phoebe = saturn->FindSatellite(167);
  EXPECT_EQ(phoebe->Period, 550.5L);
  // Point 1 is where the satellite stands 1/359 of a period later.
  TSaturnMoon probe(167, saturn.get(), 0);
  probe.Calculate(J2000 + 550.5L / 359);
  EXPECT_LT(Distance(phoebe->OrbitPoint(1), probe.Position), 1e-12L);
  // Titan's cache closes after one sidereal period (within its perturbations).
  TSatellite* titan = saturn->FindSatellite(164);
  EXPECT_LT(Distance(titan->OrbitPoint(1), titan->OrbitPoint(360)), 0.02L * 0.00816765L);
}

TEST(Moon, MeanOrbitReplacesTheConstructorsConstants)
{
  TPlanet earth(0, 0xFF0000);
  auto* moon = static_cast<TEarthMoon*>(
      earth.Satellites.Add(std::make_unique<TEarthMoon>(0x008080, &earth)));
  EXPECT_EQ(moon->SemiMajorAxis, 384400);
  EXPECT_EQ(moon->Inclination, 5.15L);
  EXPECT_EQ(moon->BodyNumber, bnMoon);
  earth.Calculate(J2000);
  EXPECT_NEAR(moon->SemiMajorAxis, 384466.5259L, 1e-3L);
  EXPECT_NEAR(moon->Inclination, 5.145396L, 1e-9L);
  EXPECT_GE(moon->Node, 0);
  EXPECT_LT(moon->Node, 360);
  EXPECT_GE(moon->Perigee, 0);
  EXPECT_LT(moon->Perigee, 360);
  EXPECT_NEAR(moon->PlanetocentricDistance(), 0.00257L, 0.0002L);
  EXPECT_GT(moon->SphericalPosition.Dist, 0);
}

TEST(OEObjectList, DeleteByNameRemovesEveryMatchAndOnlyThose)
{
  TOEObjectList list;
  for (const char* name : {"Ceres", "Vesta", "Ceres", "ceres"})
    list.Add(std::make_unique<TAsteroid>(name, SampleElements(), 0));
  list.DeleteByName("Ceres");
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items(0)->Name, "Vesta");
  EXPECT_EQ(list.Items(1)->Name, "ceres");
  list.DeleteByName("Pallas");
  EXPECT_EQ(list.Count(), 2);
  list.CalculateAll(J2000);
  EXPECT_GT(list.Items(0)->SphericalPosition.Dist, 2);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(DirectionList, AssignMakesIndependentVisibleCopies)
{
  TDirectionList scene, copy;
  scene.Add(std::make_unique<TDirection>(0, 0x0000FF, 3));
  scene.Add(std::make_unique<TDirection>(3, 0x00FF00, 3));  // kept, never drawn
  scene.Items(1)->Visible = false;
  copy.Assign(scene);
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(copy.Items(1)->FromObject, 3);
  EXPECT_EQ(copy.Items(1)->ToObject, 3);
  EXPECT_TRUE(copy.Items(1)->Visible);
  copy.Items(0)->Color = 0xFFFFFF;
  EXPECT_EQ(scene.Items(0)->Color, 0x0000FFu);

  copy.Assign(copy);  // assigning a list to itself keeps it
  EXPECT_EQ(copy.Count(), 2);
  TDirectionList empty;
  copy.Assign(empty);
  EXPECT_EQ(copy.Count(), 0);

  TDirection line(1, 2, 3);
  line.Visible = false;
  TDirection other(0, 0, 0);
  other.Assign(line);
  EXPECT_EQ(other.FromObject, 1);
  EXPECT_EQ(other.Color, 2u);
  EXPECT_EQ(other.ToObject, 3);
  EXPECT_FALSE(other.Visible);
}

// The satellite bodies' positions of date against the JPL-based reference:
// this checks the reduction from the theories' J2000 frame to the date.
TEST(Satellites, PositionsOfDateAgreeWithTheReference)
{
  const auto rows = ReadReference("jpl-date.csv");
  auto earth = PlanetWithSatellites(0);
  auto jupiter = PlanetWithSatellites(4);
  auto saturn = PlanetWithSatellites(5);
  auto uranus = PlanetWithSatellites(6);
  int checked = 0;
  for (const auto& row : rows) {
    if (row.Number < 13 || row.Body == "Mimas") continue;  // Mimas' theory is loose
    TPlanet* planet = row.Number == 13    ? earth.get()
                      : row.Number < 150  ? jupiter.get()
                      : row.Number < 170  ? saturn.get()
                                          : uranus.get();
    Obliquity(row.JD);
    planet->Calculate(row.JD);
    TSatellite* s = planet->FindSatellite(row.Number);
    ASSERT_NE(s, nullptr) << row.Body;
    const long double limitDeg = row.Number == 13 ? 3.0L / 3600 : row.Number == 165 ? 1.2L : 0.5L;
    EXPECT_LT(AngleBetween(s->Position, row.Pos) * RadiansToDegrees, limitDeg)
        << row.Body << " at " << static_cast<double>(row.JD);
    ++checked;
  }
  EXPECT_GT(checked, 14 * 15);
}
