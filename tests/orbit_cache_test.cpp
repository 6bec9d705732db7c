// The orbit caches are computed when first read after a change of the
// instant. Whatever a reader has or has not read before, it must see the
// points of the body's current instant, bit for bit what a freshly
// calculated body holds.
#include "SceneTestSupport.h"

#include "astro/astronomy404.h"
#include "astro/Mathematics.h"
#include "astro/util404.h"
#include "bodies/SSClasses.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr long double Instants[] = {2460676.5L, 2460677.25L, 2451545.0L, 2447000.125L};
constexpr long double Last = 2447000.125L;

TOrbitElements MinorBodyElements()
{
  TOrbitElements el;
  el.EpochJD = 2451545.0L;
  el.Incl = 10;
  el.NodeLon = 80;
  el.PeriLon = 150;
  el.AxisAU = 2.7L;
  el.DailyMotion = 0.9856076686L / (2.7L * std::sqrt(2.7L));
  el.Ecc = 0.2L;
  el.MeanLon = 30;
  return el;
}

// Each planet with satellites, holding all of them as the scene does.
std::vector<std::unique_ptr<TPlanet>> PlanetsWithSatellites()
{
  std::vector<std::unique_ptr<TPlanet>> planets;
  for (int index : {0, 4, 5, 6}) {
    planets.push_back(std::make_unique<TPlanet>(index, 0xFFFFFF));
    AddSatellites(*planets.back(), 0x008080);
  }
  return planets;
}

void ExpectSamePoint(const TRectCoord& a, const TRectCoord& b, const std::string& what)
{
  EXPECT_EQ(a.X, b.X) << what;
  EXPECT_EQ(a.Y, b.Y) << what;
  EXPECT_EQ(a.Z, b.Z) << what;
}

void ExpectSameOrbit(const TOrbitPoints& a, const TOrbitPoints& b, const std::string& name)
{
  EXPECT_GT(VecLength(a[0]), 0) << name << " has an orbit";
  for (int k = 0; k < OrbitPointCount; ++k)
    ExpectSamePoint(a[k], b[k], name + " point " + std::to_string(k + 1));
}

// The same for any body with an orbit, read point by point.
void ExpectSameOrbit(const TOrbitalObject& a, const TOrbitalObject& b, const std::string& name)
{
  EXPECT_GT(VecLength(a.OrbitPoint(1)), 0) << name << " has an orbit";
  for (int k = 1; k <= OrbitPointCount; ++k)
    ExpectSamePoint(a.OrbitPoint(k), b.OrbitPoint(k), name + " point " + std::to_string(k));
}

bool SameOp(const TCanvasOp& a, const TCanvasOp& b)
{
  return a.Kind == b.Kind && a.X1 == b.X1 && a.Y1 == b.Y1 && a.X2 == b.X2 && a.Y2 == b.Y2 &&
         a.Color == b.Color && a.PenColor == b.PenColor && a.Text == b.Text;
}

}  // namespace

TEST(OrbitCache, ReadAfterSeveralInstantsEqualsAFreshBody)
{
  // Calculated at every instant, read only at some: at the first, and the
  // Moon and one satellite of each planet also at the third.
  auto stepped = PlanetsWithSatellites();
  TAsteroid minor("Sample", MinorBodyElements(), 0x008080);
  for (long double jd : Instants) {
    Obliquity(jd);
    for (auto& p : stepped) p->Calculate(jd);
    minor.Calculate(jd);
    if (jd == Instants[0]) {
      for (auto& p : stepped) (void)p->OrbitPoint(1);
      (void)minor.OrbitPoint(1);
    }
    if (jd == Instants[2])
      for (auto& p : stepped) (void)p->Satellites.Items(0)->OrbitPoint(360);
  }
  // A body whose elements change after its Calculate keeps the orbit of
  // that Calculate, as its position does.
  const TOrbitElements elements = minor.Elements;
  minor.Elements.AxisAU = 5;

  auto fresh = PlanetsWithSatellites();
  Obliquity(Last);
  for (auto& p : fresh) p->Calculate(Last);
  TAsteroid freshMinor("Sample", elements, 0x008080);
  freshMinor.Calculate(Last);

  ExpectSameOrbit(minor, freshMinor, "minor body");
  for (size_t i = 0; i < fresh.size(); ++i) {
    ExpectSameOrbit(stepped[i]->OrbitPoints, fresh[i]->OrbitPoints, stepped[i]->Name);
    for (int j = 0; j < fresh[i]->Satellites.Count(); ++j) {
      const TSatellite& s = *stepped[i]->Satellites.Items(j);
      ExpectSamePoint(s.Position, fresh[i]->Satellites.Items(j)->Position, s.Name);
      ExpectSameOrbit(s.OrbitPoints, fresh[i]->Satellites.Items(j)->OrbitPoints, s.Name);
    }
  }
}

TEST(OrbitCache, PointsArePositionsOfTheLaterInstants)
{
  // Point k of a satellite's cache is the position the satellite itself
  // takes at the instant k steps on, the time advancing by repeated
  // addition: the Moon, Io, Titan (whose theory differs from Phoebe's),
  // Phoebe and Miranda.
  auto planets = PlanetsWithSatellites();
  Obliquity(Last);
  for (auto& p : planets) p->Calculate(Last);
  auto probes = PlanetsWithSatellites();
  for (int number : {13, 140, 164, 167, 170}) {
    for (size_t i = 0; i < planets.size(); ++i) {
      const TSatellite* s = planets[i]->FindSatellite(number);
      if (!s) continue;
      TSatellite* probe = probes[i]->FindSatellite(number);
      const long double step = s->Period / (OrbitPointCount - 1);
      long double t = Last;
      for (int k = 1; k <= OrbitPointCount; k += 17) {
        for (int n = (k == 1 ? 1 : 17); n > 0; --n) t += step;
        Obliquity(t);
        probe->Calculate(t);
        ExpectSamePoint(s->OrbitPoint(k), probe->Position, s->Name + " point " + std::to_string(k));
      }
    }
  }
}

TEST(OrbitCache, ConcurrentFirstReadsSeeOneFilling)
{
  auto planets = PlanetsWithSatellites();
  auto fresh = PlanetsWithSatellites();
  Obliquity(Last);
  for (auto& p : fresh) p->Calculate(Last);
  for (auto& p : fresh) (void)p->Satellites.Items(p->Satellites.Count() - 1)->OrbitPoint(1);
  Obliquity(Last);
  for (auto& p : planets) p->Calculate(Last);

  // Both threads read the same stale caches (the last satellite of each
  // planet) from the last point to the first.
  auto readAll = [&] {
    long double sum = 0;
    for (auto& p : planets)
      for (int k = OrbitPointCount; k >= 1; --k)
        sum += p->Satellites.Items(p->Satellites.Count() - 1)->OrbitPoint(k).X;
    return sum;
  };
  long double other = 0;
  std::thread worker([&] { other = readAll(); });
  const long double here = readAll();
  worker.join();
  EXPECT_EQ(here, other);
  for (size_t i = 0; i < planets.size(); ++i) {
    const TSatellite& s = *planets[i]->Satellites.Items(planets[i]->Satellites.Count() - 1);
    ExpectSameOrbit(s.OrbitPoints,
                    fresh[i]->Satellites.Items(fresh[i]->Satellites.Count() - 1)->OrbitPoints,
                    s.Name);
  }
}

TEST(OrbitCache, SceneSteppedThroughViewsDrawsAsAFreshScene)
{
  // One scene painted around Jupiter and Saturn with every overlay at some
  // instants and left unpainted at others; then both scenes draw the same
  // Saturn view and the default view.
  TSolarSystem stepped;
  stepped.AsteroidsList().Add(std::make_unique<TAsteroid>("Sample", MinorBodyElements(), 0x008080));
  stepped.ShowPerpendiculars = stepped.ShowApsides = stepped.ShowLineOfNodes = true;
  TRecordingCanvas scratch;
  const TDateRec dates[] = {SceneDate(2025, 1, 1), SceneDate(2025, 1, 2, 6), SceneDate(1987, 5, 3),
                            SceneDate(2001, 9, 30, 18, 45)};
  for (int i = 0; i < 4; ++i) {
    stepped.SetDateTime(dates[i]);
    if (i == 1) continue;
    stepped.SetCenterObject(i == 2 ? 5 : 4);
    stepped.SetDim(0.02L);
    stepped.Paint(&scratch, 0, 0, 600, 600, 2, 0);
  }

  TSolarSystem fresh;
  fresh.AsteroidsList().Add(std::make_unique<TAsteroid>("Sample", MinorBodyElements(), 0x008080));
  fresh.ShowPerpendiculars = fresh.ShowApsides = fresh.ShowLineOfNodes = true;
  fresh.SetDateTime(dates[3]);
  for (long double dim : {0.02L, 2.0L}) {
    TRecordingCanvas a, b;
    for (TSolarSystem* scene : {&stepped, &fresh}) {
      scene->SetCenterObject(dim < 1 ? 5 : 9);
      scene->SetDim(dim);
      scene->Paint(scene == &stepped ? &a : &b, 0, 0, 600, 600, 2, 0);
    }
    ASSERT_EQ(a.Ops.size(), b.Ops.size()) << "Dim " << static_cast<double>(dim);
    for (size_t i = 0; i < a.Ops.size(); ++i)
      EXPECT_TRUE(SameOp(a.Ops[i], b.Ops[i])) << "op " << i << ", Dim " << static_cast<double>(dim);
  }
  ExpectSameOrbit(*static_cast<TAsteroid*>(stepped.AsteroidsList().Items(0)),
                  *static_cast<TAsteroid*>(fresh.AsteroidsList().Items(0)), "minor body");
  for (int i = 0; i < 9; ++i) {
    ExpectSameOrbit(stepped.Planet(i)->OrbitPoints, fresh.Planet(i)->OrbitPoints,
                    stepped.Planet(i)->Name);
    for (int j = 0; j < stepped.Planet(i)->Satellites.Count(); ++j)
      ExpectSameOrbit(stepped.Planet(i)->Satellites.Items(j)->OrbitPoints,
                      fresh.Planet(i)->Satellites.Items(j)->OrbitPoints,
                      stepped.Planet(i)->Satellites.Items(j)->Name);
  }
}
