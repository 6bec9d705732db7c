// The orbit layer: orbits as dots through the cached orbit points, thinned
// by the orbit's size in the view; perpendiculars to the ecliptic, apsides
// with the dates of the next passages and lines of nodes; the same overlays
// for the satellites.
#include "scene/SolarSystem.h"

#include "astro/astronomy404.h"
#include "scene/ColFunc.h"

#include <algorithm>
#include <cmath>

namespace {

// Half brightness in the colour modes; black or white otherwise.
TColor ConstructionColor(TColor c, int colorMode)
{
  if (colorMode == 0) return 0x000000;
  if (colorMode == 1) return 0xFFFFFF;
  return ScaleColor(c, 50);
}

// The first passage at or after jd, searching one period further at a time;
// -1 when the tables of passages end before it.
long double NextPassage(long double (*passage)(int, long double), int index, long double jd,
                        long double period)
{
  long double t = 0;
  for (int j = 0; t < jd; ++j) {
    if (j > 16) return -1;  // a passage that never comes is no passage
    t = passage(index, jd + j * period);
    if (t < 0) return -1;
  }
  return t;
}

std::string ApsisText(const char* letter, long double jd, bool withTime)
{
  if (jd < 0) return letter;
  const TDateRec rec = JDToDateRec(0, jd);
  return std::string(letter) + "  (" + (withTime ? DateTimeText(rec) : DateText(rec)) + ")";
}

}  // namespace

void TSolarSystem::PaintOrbitLayer()
{
  if (!ShowOrbits) return;
  if (ShowPerpendiculars) {
    for (int i = 0; i < planets_.Count(); ++i) PaintPerpendiculars(*planets_.Items(i));
    if (canShowObjects_)
      for (int i = 0; i < asteroids_.Count(); ++i) PaintPerpendiculars(*asteroids_.Items(i));
  }
  for (int i = 0; i < planets_.Count(); ++i) PaintOrbit(*planets_.Items(i));
  PaintSpacecraftTrajectories();
  if (canShowObjects_) PaintMinorBodyOrbits();
}

void TSolarSystem::PaintOrbit(TOEObject& o)
{
  auto* body = dynamic_cast<TOrbitalObject*>(&o);
  if (!body || !o.Visible) return;
  const int q = OrbitLevel(o.OrbitElements().AxisAU, dim_);
  if (q > 0) {
    PaintApsides(o);
    PaintLineOfNodes(o);
  }
  const TColor color = Mode(o.Color);
  TOrbitPointArray points;
  body->GetOrbitPoints(points);
  WalkOrbitPoints(OrbitStep(q, o.OrbitElements().Ecc), [&](int k) {
    const TRectCoord& p = points[k - 1];
    if (!IsInView(p)) return;
    const TScreenPoint pt = WorldToScreen(p);
    if (Inside(pt.X, pt.Y)) PlotDot(pt.X, pt.Y, color);
  });
}

void TSolarSystem::PaintPerpendiculars(TOEObject& o)
{
  auto* body = dynamic_cast<TOrbitalObject*>(&o);
  if (!body || !o.Visible || !ShowOrbits || !ShowPerpendiculars) return;
  const int q = OrbitLevel(o.OrbitElements().AxisAU, dim_);
  if (q == 0) return;
  const TColor color = Mode(PerpendicularColor);
  TOrbitPointArray points;
  body->GetOrbitPoints(points);
  WalkOrbitPoints(q, [&](int k) {
    const TRectCoord& p = points[k - 1];
    if (IsInView(p)) DrawLine(p, {p.X, p.Y, 0}, color, false, false);
  });
}

void TSolarSystem::PaintApsides(TOEObject& o)
{
  if (!o.Visible || !ShowApsides) return;
  TOrbitElements el = o.OrbitElements();
  el.MeanLon = el.PeriLon;  // mean anomaly 0 at the epoch
  const TRectCoord perihelion = KeplerPosition(el, el.EpochJD);
  if (!IsInView(perihelion)) return;
  el.MeanLon = el.PeriLon + 180;
  const TRectCoord aphelion = KeplerPosition(el, el.EpochJD);
  if (!IsInView(aphelion)) return;

  const TColor color = ConstructionColor(o.Color, colorMode_);
  std::string textP = "P", textA = "A";
  auto* planet = dynamic_cast<TPlanet*>(&o);
  if (planet && o.BodyNumber >= 0 && o.BodyNumber < bnPluto) {
    // Earth to Neptune: the dates of the next passages. Where the tables of
    // Uranus and Neptune end, the letters stand alone.
    textP = ApsisText("P", NextPassage(PerihelionPassage, o.BodyNumber, jd_, planet->Period),
                      false);
    textA = ApsisText("A", NextPassage(AphelionPassage, o.BodyNumber, jd_, planet->Period),
                      false);
  }
  canvas_->SetPen(color, 1, TPenStyle::Clear);
  canvas_->SetBrush(color, TBrushStyle::Clear);
  ApsisMark(WorldToScreen(perihelion), textP, color);
  ApsisMark(WorldToScreen(aphelion), textA, color);
}

void TSolarSystem::ApsisMark(const TScreenPoint& p, const std::string& text, TColor color)
{
  canvas_->SetFontColor(color);
  const int h = canvas_->TextHeight("0");
  canvas_->TextOut(p.X + 4, p.Y - h / 2, text);
  FilledDot(p.X, p.Y, color);
}

void TSolarSystem::PaintLineOfNodes(TOEObject& o)
{
  auto* body = dynamic_cast<TOrbitalObject*>(&o);
  if (!body || !o.Visible || !ShowLineOfNodes) return;
  TRectCoord first, second;
  TOrbitPointArray points;
  body->GetOrbitPoints(points);
  if (!FindNodes(points, first, second)) return;
  if (!IsInView(first) || !IsInView(second)) return;
  const TColor color = ConstructionColor(o.Color, colorMode_);
  DrawLine({}, first, color, false, false);
  DrawLine({}, second, color, false, false);
}

// ---------------------------------------------------------------- satellites

void TSolarSystem::PaintSatelliteOverlays(TSatellite& s, const TPlanet* p)
{
  if (!s.Visible || !ShowSatellites || !ShowOrbits || (p && !p->Visible)) return;
  // Telesto, Calypso and Helene share the orbits of Tethys and Dione.
  if (s.BodyNumber == 159 || s.BodyNumber == 160 || s.BodyNumber == 162) return;
  const long double d = s.PlanetocentricDistance();
  const int q = OrbitLevel(d, dim_);
  if (q == 0) return;
  const TColor color = Mode(s.Color);

  PaintSatellitePerpendiculars(s, p, d);
  PaintSatelliteApsides(s, p);
  PaintSatelliteLineOfNodes(s, p);

  const TRectCoord origin = p ? p->Position : TRectCoord{};
  WalkOrbitPoints(q, [&](int k) {
    const TScreenPoint pt = WorldToScreen(VecAdd(s.OrbitPoint(k), origin));
    if (Inside(pt.X, pt.Y)) PlotDot(pt.X, pt.Y, color);
  });
}

void TSolarSystem::PaintSatellitePerpendiculars(TSatellite& s, const TPlanet* p, long double d)
{
  if (!ShowPerpendiculars) return;
  int step = 4;
  if (d > dim_ / 5) step = 3;
  if (d > dim_ / 4) step = 2;
  if (d > dim_ / 3) step = 1;
  const TRectCoord origin = p ? p->Position : TRectCoord{};
  const TColor color = Mode(PerpendicularColor);
  // Down to the plane through the planet parallel to the ecliptic.
  WalkOrbitPoints(step, [&](int k) {
    const TRectCoord q = VecAdd(s.OrbitPoint(k), origin);
    DrawLine(q, {q.X, q.Y, origin.Z}, color, false, false);
  });
}

void TSolarSystem::PaintSatelliteApsides(TSatellite& s, const TPlanet* p)
{
  if (!s.Visible || !ShowApsides) return;
  // dist[k]: k = 0 now, 1..360 the cached points, point k lying k/359 of a
  // period after the instant.
  std::array<long double, OrbitPointCount + 1> dist;
  dist[0] = VecLength(s.Position);
  for (int k = 1; k <= OrbitPointCount; ++k) dist[k] = VecLength(s.OrbitPoint(k));
  int peri = 0, apo = 0;
  for (int k = 1; k <= OrbitPointCount - 2; ++k) {
    if (!peri && dist[k] <= dist[k - 1] && dist[k] <= dist[k + 1]) peri = k;
    if (!apo && dist[k] >= dist[k - 1] && dist[k] >= dist[k + 1]) apo = k;
  }
  if (!peri || !apo || !(dist[peri] < dist[apo])) return;  // none, or a circle

  const TRectCoord origin = p ? p->Position : TRectCoord{};
  const TRectCoord a = VecAdd(s.OrbitPoint(peri), origin);
  const TRectCoord b = VecAdd(s.OrbitPoint(apo), origin);
  if (!IsInView(a) || !IsInView(b)) return;

  const TColor color = Mode(s.Color);
  const bool withTime = !(s.Period > 5);
  const long double tPeri = jd_ + peri * s.Period / (OrbitPointCount - 1);
  const long double tApo = jd_ + apo * s.Period / (OrbitPointCount - 1);
  canvas_->SetPen(color, 1, TPenStyle::Clear);
  canvas_->SetBrush(color, TBrushStyle::Clear);
  ApsisMark(WorldToScreen(a), ApsisText("P", tPeri, withTime), color);
  ApsisMark(WorldToScreen(b), ApsisText("A", tApo, withTime), color);
}

void TSolarSystem::PaintSatelliteLineOfNodes(TSatellite& s, const TPlanet* p)
{
  if (!s.Visible || !ShowLineOfNodes) return;
  TRectCoord first, second;
  // Crossings of the plane through the planet parallel to the ecliptic.
  if (!FindNodes(s.OrbitPoints, first, second)) return;
  const TRectCoord origin = p ? p->Position : TRectCoord{};
  first = VecAdd(first, origin);
  second = VecAdd(second, origin);
  if (!IsInView(first) || !IsInView(second)) return;
  const TColor color = ConstructionColor(s.Color, colorMode_);
  DrawLine(origin, first, color, false, false);
  DrawLine(origin, second, color, false, false);
}

// ---------------------------------------------------------------- spacecraft

void TSolarSystem::PaintSpacecraftTrajectories()
{
  for (int i = 0; i < spacecrafts_.Count(); ++i) PaintTrajectory(*spacecrafts_.Items(i));
}

bool TSolarSystem::IsPlanetocentricTrajectory(const TSpacecraft& c) const
{
  if (centerObject_ < 0 || centerObject_ >= SpacecraftPlanetCount) return false;
  if (!(dim_ <= 0.2L) || !ShowPlanetocentricTrajectories) return false;
  const TSpacecraftPositionList& list = c.PlanetocentricPositions[centerObject_];
  return list.Count() > 0 && list.Covers(jd_);
}

void TSolarSystem::PaintTrajectory(const TSpacecraft& c)
{
  // Close to a planet whose neighbourhood the file tabulates, the points
  // relative to that planet are drawn about it instead of the heliocentric
  // ones.
  const bool planetocentric = IsPlanetocentricTrajectory(c);
  const TSpacecraftPositionList& list =
      planetocentric ? c.PlanetocentricPositions[centerObject_] : c.Positions;
  if (!c.Visible || !ShowSpacecrafts || SpacecraftTrajectoryMode == stmNone) return;
  if (!list.Covers(jd_)) return;

  long double t0 = list.FirstJD, t1 = list.LastJD;
  switch (SpacecraftTrajectoryMode) {
    case stmPast: t1 = jd_; break;
    case stmFuture: t0 = jd_; break;
    case stmUser:
      t0 = std::max(list.FirstJD, jd_ - SpacecraftTrajectoryPast);
      t1 = std::min(list.LastJD, jd_ + SpacecraftTrajectoryFuture);
      break;
    default: break;  // stmAll: the whole span
  }

  const TColor color = Mode(c.Color);
  if (planetocentric) {
    const std::string caption = "planetocentric trajectory";
    canvas_->SetFontColor(color);
    canvas_->SetBrush(color, TBrushStyle::Clear);
    const int tw = canvas_->TextWidth(caption);
    const int th = canvas_->TextHeight(caption);
    canvas_->TextOut(Left + width_ - tw - 5, Top + height_ - th - 3, caption);
  }

  // Every point is referred to the equinox of the instant by one rotation.
  TMatrix4 toDate = c.PrecessionToDate(jd_);
  if (planetocentric) {
    toDate(0, 3) = centerPosition_.X;
    toDate(1, 3) = centerPosition_.Y;
    toDate(2, 3) = centerPosition_.Z;
  }
  int first, last;
  list.PointsBetween(t0, t1, first, last);
  for (int k = first; k < last; ++k) {
    const TScreenPoint pt = WorldToScreen(TransformPoint(list.Items(k).Position, toDate));
    if (Inside(pt.X, pt.Y)) PlotDot(pt.X, pt.Y, color);
  }
}
