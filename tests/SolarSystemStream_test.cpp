#include "scene/SolarSystemStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes SceneRecord(TSolarSystem& scene)
{
  TMemoryStream m;
  {
    TWriter w(m);
    WriteScene(w, scene);
  }
  return m.Bytes();
}

TOrbitElements Ceres()
{
  TOrbitElements e;
  e.EpochJD = 2451400.5L;
  e.Incl = 10.58L;
  e.NodeLon = 80.49L;
  e.PeriLon = 153.77L;
  e.AxisAU = 2.7675L;
  e.DailyMotion = 0.21408L;
  e.Ecc = 0.0785L;
  e.MeanLon = 123.25L;
  return e;
}

TDateRec Instant(int year, int month, int day, int hour, int minute, int second)
{
  TDateRec r;
  r.Year = year;
  r.Month = month;
  r.Day = day;
  r.Hour = hour;
  r.Minute = minute;
  r.Second = second;
  r.Zone = 0;
  return r;
}

// One scene with every stored setting away from its default, built once.
TSolarSystem& Changed()
{
  static TSolarSystem* s = [] {
    auto* p = new TSolarSystem;
    TSolarSystem& c = *p;
    c.GridColor = 0x010203;
    c.BgColor = 0x040506;
    c.SunColor = 0x070809;
    c.PerpendicularColor = 0x0A0B0C;
    c.AxesColor = 0xFFFFFF;
    c.ShowOrbits = false;
    c.ShowNames = false;
    c.ShowSun = false;
    c.ShowRotAxis = true;
    c.ShowRotation = true;
    c.ShowPerpendiculars = true;
    c.ShowApsides = true;
    c.ShowLineOfNodes = true;
    c.ShowSatellites = false;
    c.ShowSpacecrafts = false;
    c.ShowDirections = false;
    c.GridMode = 1;
    c.SetDim(7.5L);
    c.SetCenterObject(4);
    c.SetRotX(-33.25L);
    c.SetRotY(12.5L);
    c.SetRotZ(170);
    c.Plane = XZ;
    for (int i = 0; i < 9; ++i) c.SetObjectColor(i, 0x100000 + i);
    c.Planet(2)->Visible = false;
    c.Planet(5)->Satellites.Items(3)->Visible = false;
    c.Planet(0)->Satellites.Items(0)->Visible = false;
    c.DirectionList().Add(std::make_unique<TDirection>(9, 0x00FF00, 3));
    c.DirectionList().Add(std::make_unique<TDirection>(4, 0x0000FF, 5))->Visible = false;
    c.AsteroidsList().Add(std::make_unique<TAsteroid>("Ceres", Ceres(), 0));
    c.SetObjectColor(11, 0x112233);
    c.SetObjectColor(12, 0x445566);
    c.SetObjectColor(13, 0x778899);
    c.SpacecraftTrajectoryPast = 3.5L;
    c.SpacecraftTrajectoryFuture = 400;
    c.SpacecraftTrajectoryMode = stmAll;
    c.ShowPlanetocentricTrajectories = false;
    c.SetDateTime(Instant(1987, 6, 5, 4, 3, 2));
    return p;
  }();
  return *s;
}

std::string ReadFailure(const Bytes& b, TSolarSystem& scene)
{
  TMemoryStream m(b);
  TReader r(m);
  std::vector<std::string> names;
  try {
    ReadScene17(r, scene, "", names);
  } catch (const EReadError& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST(SceneRecord, CurrentRecordRestoresEverySetting)
{
  TSolarSystem& a = Changed();
  const Bytes b = SceneRecord(a);

  TSolarSystem s;
  TMemoryStream m(b);
  std::vector<std::string> names{"kept"};
  {
    TReader r(m);
    ReadScene17(r, s, "/nowhere/", names);
  }
  EXPECT_EQ(m.Position(), b.size()) << "the record was not read to its end";

  EXPECT_EQ(s.DateTime(), Instant(1987, 6, 5, 4, 3, 2));
  EXPECT_TRUE(s.CanShowObjects());
  EXPECT_EQ(s.GridColor, 0x010203u);
  EXPECT_EQ(s.BgColor, 0x040506u);
  EXPECT_EQ(s.SunColor, 0x070809u);
  EXPECT_EQ(s.PerpendicularColor, 0x0A0B0Cu);
  EXPECT_EQ(s.AxesColor, 0xFFFFFFu);
  EXPECT_FALSE(s.ShowOrbits);
  EXPECT_FALSE(s.ShowNames);
  EXPECT_FALSE(s.ShowSun);
  EXPECT_TRUE(s.ShowRotAxis);
  EXPECT_TRUE(s.ShowRotation);
  EXPECT_TRUE(s.ShowPerpendiculars);
  EXPECT_TRUE(s.ShowApsides);
  EXPECT_TRUE(s.ShowLineOfNodes);
  EXPECT_FALSE(s.ShowSatellites);
  EXPECT_FALSE(s.ShowSpacecrafts);
  EXPECT_FALSE(s.ShowDirections);
  EXPECT_EQ(s.GridMode, 1);
  EXPECT_EQ(s.Dim(), 7.5L);
  EXPECT_EQ(s.GridStep(), a.GridStep());
  EXPECT_EQ(s.CenterObject(), 4);
  EXPECT_NEAR(static_cast<double>(s.RotX()), -33.25, 1e-12);
  EXPECT_NEAR(static_cast<double>(s.RotY()), 12.5, 1e-12);
  EXPECT_NEAR(static_cast<double>(s.RotZ()), 170, 1e-12);
  EXPECT_EQ(s.Plane, XZ);
  for (int i = 0; i < ObjectColorCount; ++i)
    if (i != 9 && i != 10) {
      EXPECT_EQ(s.GetObjectColor(i), a.GetObjectColor(i)) << i;
    }
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(s.Planet(i)->Visible, i != 2) << i;
    EXPECT_EQ(s.Planet(i)->Color, 0x100000u + i) << i;
    for (int k = 0; k < s.Planet(i)->Satellites.Count(); ++k) {
      const TSatellite& sat = *s.Planet(i)->Satellites.Items(k);
      EXPECT_EQ(sat.Visible, a.Planet(i)->Satellites.Items(k)->Visible) << i << " " << k;
      EXPECT_EQ(sat.Color, 0x445566u);
    }
  }
  EXPECT_FALSE(s.Planet(5)->Satellites.Items(3)->Visible);
  ASSERT_EQ(s.DirectionList().Count(), 2);
  EXPECT_EQ(s.DirectionList().Items(1)->FromObject, 4);
  EXPECT_EQ(s.DirectionList().Items(1)->ToObject, 5);
  EXPECT_EQ(s.DirectionList().Items(1)->Color, 0x0000FFu);
  EXPECT_FALSE(s.DirectionList().Items(1)->Visible);
  ASSERT_EQ(s.AsteroidsList().Count(), 1);
  EXPECT_EQ(s.AsteroidsList().Items(0)->Name, "Ceres");
  EXPECT_EQ(s.AsteroidsList().Items(0)->Color, 0x112233u);
  EXPECT_EQ(s.AsteroidsList().Items(0)->Elements.MeanLon, Ceres().MeanLon);
  // Recomputed at the end of the record: the minor body has its position.
  EXPECT_EQ(s.AsteroidsList().Items(0)->Position.X, a.AsteroidsList().Items(0)->Position.X);
  EXPECT_EQ(s.Planet(3)->Position.X, a.Planet(3)->Position.X);
  EXPECT_EQ(s.SpacecraftTrajectoryPast, 3.5L);
  EXPECT_EQ(s.SpacecraftTrajectoryFuture, 400);
  EXPECT_EQ(s.SpacecraftTrajectoryMode, stmAll);
  EXPECT_FALSE(s.ShowPlanetocentricTrajectories);
  EXPECT_EQ(names, std::vector<std::string>{"kept"});  // none in the record

  // Written again, the record is the same byte for byte.
  EXPECT_EQ(SceneRecord(s), b);
}

TEST(SceneRecord, SpacecraftNamesAreKeptInOrder)
{
  Bytes b = SceneRecord(Changed());
  ASSERT_EQ((Bytes{b.end() - 2, b.end()}), (Bytes{0x02, 0x00}));  // no spacecraft
  b.erase(b.end() - 2, b.end());
  const Bytes names = {0x02, 0x02, 0x06, 0x01, 'a', 0x06, 0x05, 'b', '.', 's', 'p', 'c'};
  b.insert(b.end(), names.begin(), names.end());
  TSolarSystem s;
  TMemoryStream m(b);
  TReader r(m);
  std::vector<std::string> read;
  ReadScene17(r, s, "", read);
  EXPECT_EQ(read, (std::vector<std::string>{"a", "b.spc"}));
}

TEST(SceneRecord, InstantsOutsideTheCalendarAreDamagedData)
{
  TSolarSystem& s = Changed();
  const TDateRec before = s.DateTime();
  for (long double jd : {std::numeric_limits<long double>::quiet_NaN(),
                         std::numeric_limits<long double>::infinity(), -0.5L, 4000000.5L,
                         1e300L}) {
    TMemoryStream m;
    {
      TWriter w(m);
      w.WriteFloatValue(jd);
    }
    EXPECT_EQ(ReadFailure(m.Bytes(), s), "Invalid property value") << static_cast<double>(jd);
    EXPECT_EQ(s.DateTime(), before);
  }
}

TEST(SceneRecord, EndOfDataKeepsWhatWasApplied)
{
  const Bytes full = SceneRecord(Changed());
  // Cut just after the five colours and eleven switches.
  std::size_t cut = 11;                                  // the instant
  for (int i = 0; i < 5; ++i) cut += full[cut] == 2 ? 2 : full[cut] == 3 ? 3 : 5;
  cut += 11;
  TSolarSystem s;
  EXPECT_EQ(ReadFailure(Bytes(full.begin(), full.begin() + cut), s), "Stream read error");
  EXPECT_EQ(s.DateTime(), Instant(1987, 6, 5, 4, 3, 2));
  EXPECT_EQ(s.AxesColor, 0xFFFFFFu);
  EXPECT_FALSE(s.ShowDirections);
  EXPECT_EQ(s.GridMode, 2);  // not reached
  EXPECT_EQ(s.CenterObject(), 9);
}
