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

namespace {

TOrbitElements Orbit(long double a, long double e)
{
  TOrbitElements el = MinorBodyElements();
  el.AxisAU = a;
  el.Ecc = e;
  el.DailyMotion = 0.9856076686L / (a * std::sqrt(a));
  return el;
}

// The drawn points of a body's kept orbit at its instant.
std::vector<TOrbitVertex> DrawnPoints(const TAsteroid& body, double tolerance = 0)
{
  TOrbitCurve::TWalk walk;
  EXPECT_TRUE(body.OrbitWalk(tolerance, walk));
  std::vector<TOrbitVertex> v;
  for (int k = 1; k <= OrbitPointCount; ++k) v.push_back(walk.Point(k));
  return v;
}

// Elements that drift by `rate` AU of semi-major axis a day, as osculating
// elements do.
class TDriftingBody : public TAsteroid {
public:
  TDriftingBody(const TOrbitElements& el, long double rate) : TAsteroid("Drifting", el, 0), rate_(rate) {}
  TOrbitElements At(long double jd) const
  {
    TOrbitElements el = Elements;
    el.AxisAU += rate_ * (jd - Elements.EpochJD);
    return el;
  }
  void Calculate(long double jd) override
  {
    osculating_ = At(jd);
    TAsteroid::Calculate(jd);
  }
  const TOrbitElements& OrbitElements() const override { return osculating_; }
  bool OsculatingOrbit() const override { return true; }

private:
  long double rate_;
  TOrbitElements osculating_;
};

}  // namespace

TEST(KeptOrbit, ReadAfterManyInstantsEqualsAFreshOneAndIsBuiltOnce)
{
  // From the main belt to comet-like orbits, whose points are solved one by
  // one; the instant moves a day at a time, with jumps of years between.
  for (long double e : {0.0L, 0.15L, 0.45L, 0.65L, 0.78L, 0.93L}) {
    const TOrbitElements el = Orbit(e > 0.9L ? 12 : 2.6L, e);
    TAsteroid stepped("Sample", el, 0x008080);
    long double jd = 2451545.0L;
    stepped.Calculate(jd);
    const TOrbitCurve* kept = stepped.Orbit();
    for (int i = 1; i <= 600; ++i) {
      jd += i % 100 == 0 ? 3652.75L : 1;
      stepped.Calculate(jd);
      if (i % 7 == 0) (void)DrawnPoints(stepped);
    }
    EXPECT_EQ(stepped.Orbit(), kept) << "e = " << static_cast<double>(e) << ": built once";

    TAsteroid fresh("Sample", el, 0x008080);
    fresh.Calculate(jd);
    const auto a = DrawnPoints(stepped), b = DrawnPoints(fresh);
    for (int k = 1; k <= OrbitPointCount; ++k) {
      const std::string what = "e = " + std::to_string(static_cast<double>(e)) + " point " + std::to_string(k);
      EXPECT_EQ(a[k - 1].X, b[k - 1].X) << what;
      EXPECT_EQ(a[k - 1].Y, b[k - 1].Y) << what;
      EXPECT_EQ(a[k - 1].Z, b[k - 1].Z) << what;
      // And the drawn point is the position k/359 of a period on, solved
      // in extended precision, to a few parts in 1e8 of the orbit.
      const TRectCoord exact = KeplerPosition(el, jd + k * (360 / el.DailyMotion) / 359);
      const TRectCoord p{a[k - 1].X, a[k - 1].Y, a[k - 1].Z};
      EXPECT_LT(VecLength(VecSub(p, exact)), 5e-8L * el.AxisAU) << what;
      EXPECT_LT(VecLength(VecSub(stepped.OrbitPoint(k), exact)), 1e-12L * el.AxisAU) << what;
    }
  }
}

TEST(KeptOrbit, RebuiltWhenTheElementsChangeOrDriftByMoreThanThePixel)
{
  TAsteroid body("Sample", Orbit(2.6L, 0.2L), 0x008080);
  EXPECT_EQ(body.Orbit(), nullptr) << "nothing before the first instant";
  body.Calculate(2451545.0L);
  const TOrbitCurve* first = body.Orbit();
  body.Elements.Ecc = 0.2000001L;
  body.Calculate(2451546.0L);
  ASSERT_NE(body.Orbit(), nullptr);
  EXPECT_EQ(body.Orbit()->Elements().Ecc, 0.2000001L) << "rebuilt" << first;

  // A drift of 1e-9 AU a day: a pixel of 1e-6 AU keeps the orbit for a
  // few hundred days, while the phase follows the elements of the day.
  const TOrbitElements el = Orbit(2.6L, 0.2L);
  TDriftingBody drifting(el, 1e-9L);
  drifting.Calculate(el.EpochJD);
  const TOrbitCurve* kept = drifting.Orbit(1e-6);
  for (int day = 1; day <= 300; ++day) {
    drifting.Calculate(el.EpochJD + day);
    EXPECT_EQ(drifting.Orbit(1e-6), kept) << "day " << day;
  }
  const TOrbitElements now = drifting.At(el.EpochJD + 300);
  const TOrbitVertex p = DrawnPoints(drifting, 1e-6)[0];
  const TRectCoord exact = KeplerPosition(now, el.EpochJD + 300 + (360 / now.DailyMotion) / 359);
  EXPECT_LT(VecLength(VecSub(TRectCoord{p.X, p.Y, p.Z}, exact)), 1e-6L);
  drifting.Calculate(el.EpochJD + 2000);  // 2e-6 AU on
  const TOrbitCurve* rebuilt = drifting.Orbit(1e-6);
  EXPECT_EQ(rebuilt->Elements().AxisAU, drifting.At(el.EpochJD + 2000).AxisAU);
  EXPECT_EQ(drifting.Orbit(0), drifting.Orbit(0)) << "no tolerance: rebuilt once, then kept";
  EXPECT_LE(sizeof(TAsteroid), 1024u) << "a lean body";
}
