// The monitor's rows without a window: the list and its fallback to Earth,
// the layouts and their heights, the distance switch, "n.c.", Phoebe's
// labels, the period text, the number formats, the true sign of y, the
// spacecraft without data and the view "Show" makes.
#include "astro/Angles.h"
#include "astro/Mathematics.h"
#include "scene/MonitorFormats.h"
#include "scene/MonitorObjects.h"
#include "scene/MonitorValues.h"
#include "scene/SolarSystem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

TDateRec J2000()
{
  TDateRec r;
  r.Year = 2000;
  r.Month = 1;
  r.Day = 1;
  r.Hour = 12;
  return r;
}

TOrbitElements CeresLike()
{
  TOrbitElements el;
  el.EpochJD = 2451545;
  el.Incl = 10.6;
  el.NodeLon = 80.3;
  el.PeriLon = 153.9;
  el.AxisAU = 2.767;
  el.DailyMotion = 0.2141;
  el.Ecc = 0.0785;
  el.MeanLon = 100;
  return el;
}

const TMonitorRow& Row(const TMonitorValues& v, int i) { return v.Rows.at(i); }

TMonitorValues ValuesOf(const TSolarSystem& scene, const std::string& name)
{
  const auto entries = MonitorEntries(scene);
  return MonitorValues(scene, *MonitorObject(scene, FindMonitorEntry(entries, name)));
}

TEST(MonitorFormats, FixedScientificPeriodAndAngleTexts)
{
  EXPECT_EQ(FixedText(0.1234565L, 12, 6), "0.123457");
  EXPECT_EQ(FixedText(-1.5L, 12, 6, ","), "-1,500000");
  EXPECT_EQ(FixedText(-0.0000001L, 12, 6), "0.000000");  // no "-0"
  EXPECT_EQ(FixedText(0, 6, 0), "0");
  EXPECT_EQ(FixedText(12345.6L, 6, 0), "12346");
  // Rounded to the significant digits before the decimals are written.
  EXPECT_EQ(FixedText(123456.789L, 6, 2), "123457.00");
  // An integer part longer than the precision turns scientific.
  EXPECT_EQ(FixedText(1234567.0L, 6, 0), "1.23457E+06");
  EXPECT_EQ(FixedText(999999.7L, 6, 0, ","), "1,00000E+06");
  EXPECT_EQ(E4Text(5.9742e24L), "5.974E+24");
  EXPECT_EQ(E4Text(3.979e17L, ","), "3,979E+17");

  EXPECT_EQ(PeriodText(27.3217L), "27 d 7 h");
  EXPECT_EQ(PeriodText(686.98L), "1 y 321 d 17 h");
  EXPECT_EQ(PeriodText(365.25L), "1 y 0 d 0 h");
  EXPECT_EQ(PeriodText(365.2L), "365 d 4 h");

  EXPECT_EQ(AngleText(-(12 + 5 / 60.0L + 7.4L / 3600) * DegreesToRadians, 1), "-12\u00b0 05' 07''");
  EXPECT_EQ(AngleText((359 + 59 / 60.0L + 45 / 3600.0L) * DegreesToRadians, 0), "0\u00b0 00' ");
}

// Element sets imported from elsewhere may carry any number: what no text
// of whole years, degrees or dates can hold is written in scientific
// notation, never as a wrapped or saturated integer.
TEST(MonitorFormats, ValuesBeyondThePrintableRangeTurnScientific)
{
  EXPECT_EQ(PeriodText(3.6e22L), "9.856E+19 y");
  EXPECT_EQ(PeriodText(-3.6e22L, ","), "-9,856E+19 y");
  EXPECT_EQ(PeriodText(365.25e9L - 1), "999999999 y 364 d 6 h");  // the last whole years
  EXPECT_EQ(PeriodText(-800), "-2 y -69 d -12 h");
  EXPECT_EQ(PeriodText(INFINITY), "inf");
  EXPECT_EQ(PeriodText(NAN), "nan");
  EXPECT_EQ(AngleText(2147483648.0L * DegreesToRadians, 0), "2.147E+09\u00b0 ");
  EXPECT_EQ(AngleText(-1e300L, 1), "-5.730E+301\u00b0 ");
  EXPECT_EQ(AngleText(NAN, 1), "nan");
  EXPECT_EQ(AngleText(400.999L * DegreesToRadians, 0), "401\u00b0 00' ");  // not reduced
  EXPECT_EQ(DMSText(RadToDMS(1e30L), 0), "2000000000\u00b0 00' ");  // held at the bound

  // A minor body whose axis and inclination fit the element columns, on the
  // row's own ellipse so that its elements are shown as they are stored.
  TSolarSystem scene;
  scene.MinorBodyMotion = TMinorBodyMotion::Kepler;
  TOrbitElements el = CeresLike();
  el.AxisAU = 5e12L;
  el.DailyMotion = 0.9856076686L / std::pow(5e12L, 1.5L);
  el.Incl = 2147483648.0L;
  el.NodeLon = -3e9L;
  scene.AsteroidsList().Add(std::make_unique<TAsteroid>("Far", el, 0xFFFFFF));
  TSpacecraft* craft = scene.SpacecraftsList().Add(std::make_unique<TSpacecraft>(0x00FF00));
  craft->Positions.FirstJD = -1e30L;
  craft->Positions.LastJD = 1e300L;
  scene.SetDateTime(J2000());
  const TMonitorValues far = ValuesOf(scene, "Far");
  EXPECT_EQ(Row(far, 8).Value, "5.000000000E+12");
  EXPECT_EQ(Row(far, 9).Value, "1.118E+19 y");
  EXPECT_EQ(Row(far, 11).Value, "2.147E+09\u00b0 ");
  EXPECT_EQ(Row(far, 12).Value, "-3.000E+09\u00b0 ");
  const TMonitorValues c = MonitorValues(scene, *craft);
  EXPECT_EQ(Row(c, 7).Value, "JD -1.000000000E+30");
  EXPECT_EQ(Row(c, 8).Value, "JD 1.000000000E+300");
}

TEST(MonitorList, FixedEntriesResolveToTheirBodiesAndUnknownNamesToEarth)
{
  TSolarSystem scene;
  scene.SetDateTime(J2000());
  const auto entries = MonitorEntries(scene);
  ASSERT_EQ(entries.size(), 28u);
  for (int i = 0; i < MonitorFixedEntryCount; ++i) {
    const TAstronomialObject* body = MonitorObject(scene, i);
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->BodyNumber, MonitorFixedEntries[i].BodyNumber) << entries[i].Text;
  }
  EXPECT_EQ(entries[3].Indent, 1);
  EXPECT_EQ(entries[4].Indent, 0);
  EXPECT_EQ(FindMonitorEntry(entries, "titan (s vi)"), 16);
  EXPECT_EQ(FindMonitorEntry(entries, "Titan"), MonitorEarthEntry);
  EXPECT_EQ(FindMonitorEntry(entries, ""), MonitorEarthEntry);
  EXPECT_EQ(MonitorObject(scene, 99)->BodyNumber, 0);
}

TEST(MonitorList, SpacecraftAndMinorBodiesOnlyWhileTheSceneMayShowThem)
{
  TSolarSystem scene;
  scene.AsteroidsList().Add(std::make_unique<TAsteroid>("Ceres", CeresLike(), 0xFFFFFF));
  scene.SpacecraftsList().Add(std::make_unique<TSpacecraft>(0x00FF00));
  scene.SetDateTime(J2000());
  auto entries = MonitorEntries(scene);
  ASSERT_EQ(entries.size(), 30u);
  EXPECT_EQ(entries[28].Text, "Spacecraft");
  EXPECT_EQ(entries[29].Text, "Ceres");
  EXPECT_EQ(MonitorObject(scene, 29), scene.AsteroidsList().Items(0));
  const TMonitorValues ceres = ValuesOf(scene, "CERES");
  EXPECT_EQ(ceres.Kind, mkMinorBody);
  EXPECT_EQ(Row(ceres, 8).Label, "semi major axis [AU]");
  EXPECT_EQ(Row(ceres, 8).Value, "2.7670");

  // Removed from the scene, or at a date without minor bodies: Earth.
  scene.AsteroidsList().DeleteByName("Ceres");
  EXPECT_EQ(FindMonitorEntry(MonitorEntries(scene), "Ceres"), MonitorEarthEntry);
  scene.AsteroidsList().Add(std::make_unique<TAsteroid>("Ceres", CeresLike(), 0xFFFFFF));
  TDateRec late = J2000();
  late.Year = 2100;
  scene.SetDateTime(late);
  entries = MonitorEntries(scene);
  EXPECT_EQ(entries.size(), 28u);
  EXPECT_EQ(FindMonitorEntry(entries, "Ceres"), MonitorEarthEntry);
  EXPECT_EQ(MonitorObject(scene, 29)->BodyNumber, 0);
}

TEST(MonitorRows, LayoutsAndWindowHeightsPerKind)
{
  const std::pair<TMonitorKind, int> heights[] = {
      {mkPlanet, 393}, {mkSatellite, 223}, {mkMoon, 291}, {mkSpacecraft, 223}, {mkMinorBody, 325}};
  for (auto [kind, height] : heights) {
    EXPECT_EQ(MonitorWindowHeight(kind), height) << int(kind);
    EXPECT_EQ(static_cast<int>(MonitorLabels(kind).size()), MonitorRowCount(kind));
  }
  TSolarSystem scene;
  scene.SetDateTime(J2000());
  EXPECT_EQ(ValuesOf(scene, "Mars").Kind, mkPlanet);
  EXPECT_EQ(ValuesOf(scene, "Moon").Kind, mkMoon);
  EXPECT_EQ(ValuesOf(scene, "Io (J I)").Kind, mkSatellite);
  EXPECT_EQ(ValuesOf(scene, "Mars").Rows.size(), 20u);
}

TEST(MonitorRows, YRowsShowTheTrueY)
{
  TSolarSystem scene;
  scene.SetDateTime(J2000());
  // At J2000 the Earth lies at y = +0.967 AU (JPL: 0.9672).
  const TMonitorValues earth = ValuesOf(scene, "Earth");
  EXPECT_EQ(Row(earth, 1).Label, "ecliptical heliocentric pos. y [AU]");
  EXPECT_EQ(Row(earth, 1).Value, FixedText(scene.Planet(0)->Position.Y, 12, 6));
  EXPECT_EQ(Row(earth, 1).Value.substr(0, 5), "0.967");
  for (const char* name : {"Moon", "Titan (S VI)"}) {
    const TMonitorValues v = ValuesOf(scene, name);
    const TAstronomialObject* body =
        MonitorObject(scene, FindMonitorEntry(MonitorEntries(scene), name));
    EXPECT_EQ(Row(v, 1).Value, FixedText(body->Position.Y * MonitorKmPerAU, 10, 0)) << name;
    EXPECT_EQ(Row(v, 1).Value[0] == '-', body->Position.Y < 0) << name;
  }
}

TEST(MonitorRows, DistanceSwitchAndElongationNotComputable)
{
  TSolarSystem scene;
  scene.SetDateTime(J2000());
  // Centre the Sun: no elongation for any body.
  EXPECT_EQ(Row(ValuesOf(scene, "Mars"), 14).Value, "n.c.");

  scene.SetCenterObject(0);
  const TMonitorValues earth = ValuesOf(scene, "Earth");
  EXPECT_EQ(Row(earth, 14).Value, "n.c.");  // the centre itself
  EXPECT_EQ(Row(earth, 6).Label, "distance from centered object [1000 km]");
  EXPECT_EQ(Row(earth, 6).Value, "0");
  EXPECT_EQ(Row(earth, 5).Label, "heliocentric distance [AU]");
  const TMonitorValues mars = ValuesOf(scene, "Mars");
  EXPECT_NE(Row(mars, 14).Value, "n.c.");
  EXPECT_EQ(Row(mars, 6).Label, "distance from centered object [AU]");

  // The Moon, well inside the limit, keeps its kilometres.
  const TMonitorValues moon = ValuesOf(scene, "Moon");
  EXPECT_EQ(Row(moon, 5).Label, "geocentric distance [km]");
  EXPECT_GT(std::stod(Row(moon, 5).Value), 350000);

  // A planet just inside the limit switches; one just outside does not.
  TPlanet* m = scene.Planet(3);
  const TRectCoord e = scene.Planet(0)->Position;
  m->Position = {e.X + 0.05L, e.Y, e.Z};
  EXPECT_EQ(Row(MonitorValues(scene, *m), 6).Label, "distance from centered object [1000 km]");
  EXPECT_EQ(Row(MonitorValues(scene, *m), 6).Value, "7480");
  m->Position = {e.X, e.Y, e.Z + MonitorNearDistance};
  EXPECT_EQ(Row(MonitorValues(scene, *m), 6).Label, "distance from centered object [AU]");
}

TEST(MonitorRows, PhoebeIsLabelledRetrogradeAndToTheEcliptic)
{
  TSolarSystem scene;
  scene.SetDateTime(J2000());
  const TMonitorValues phoebe = ValuesOf(scene, "Phoebe (S IX)");
  EXPECT_EQ(Row(phoebe, 5).Label, "mean orbital period (retrograde)");
  EXPECT_EQ(Row(phoebe, 7).Label, "mean orbital inclination to ecliptic");
  EXPECT_EQ(Row(phoebe, 5).Value.find(" y "), 1u);  // a year and a half
  const TMonitorValues iapetus = ValuesOf(scene, "Iapetus (S VIII)");
  EXPECT_EQ(Row(iapetus, 5).Label, "mean orbital period");
  EXPECT_EQ(Row(iapetus, 7).Label, "mean orbital inclination to planetary equ.");
  EXPECT_EQ(Row(iapetus, 5).Value.find(" y "), std::string::npos);
}

TEST(MonitorRows, SpacecraftWithoutDataAndTheViewsOfShow)
{
  TSolarSystem scene;
  TSpacecraft* craft = scene.SpacecraftsList().Add(std::make_unique<TSpacecraft>(0x00FF00));
  craft->Positions.FirstJD = 2451000.5L;
  craft->Positions.LastJD = 2451001.5L;
  craft->LaunchText = "1998/07/03";
  scene.SetDateTime(J2000());
  const TMonitorValues v = MonitorValues(scene, *craft);
  ASSERT_EQ(v.Kind, mkSpacecraft);
  for (int row = 0; row <= 6; ++row) EXPECT_EQ(Row(v, row).Value, "not available") << row;
  EXPECT_EQ(Row(v, 6).Label, "distance from centered object [AU]");
  EXPECT_EQ(Row(v, 7).Value, "1998/07/06");
  EXPECT_EQ(Row(v, 9).Value, "1998/07/03");
  EXPECT_FALSE(MonitorShowView(*craft).Valid);  // the view stays as it is

  const TMonitorView mars = MonitorShowView(*scene.Planet(3));
  EXPECT_TRUE(mars.Valid);
  EXPECT_EQ(mars.Center, bnSun);
  EXPECT_EQ(mars.CenterEntry, 0);
  EXPECT_NEAR(static_cast<double>(mars.Dim), 1.2 * 1.5237, 1e-3);
  const TMonitorView titan = MonitorShowView(*scene.Planet(5)->FindSatellite(164));
  EXPECT_EQ(titan.Center, 5);
  EXPECT_EQ(titan.CenterEntry, 6);
  EXPECT_NEAR(static_cast<double>(titan.Dim), 1.2 * 1221830 / 149597870.0, 1e-9);
  EXPECT_EQ(MonitorShowView(*scene.Planet(0)->Satellites.Items(0)).CenterEntry, 3);
}

}  // namespace
