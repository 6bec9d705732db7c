// Painting the scene: the pipeline, the drawing primitives, background and
// grid, the bodies with their labels, axes and rings, the Sun and the user's
// lines. The orbit layer is in SolarSystemOrbits.cpp.
#include "scene/SolarSystem.h"

#include "astro/Mathematics.h"
#include "astro/astronomy404_poles.h"
#include "astro/util404.h"
#include "scene/ColFunc.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr long double SolarDiameterAU = 0.0093049372L;
// Saturn's ring radii, 74400 km and 136600 km.
constexpr long double InnerRingAU = 74400.0L / 149597870.0L;
constexpr long double OuterRingAU = 136600.0L / 149597870.0L;

int RoundToInt(long double x) { return static_cast<int>(std::lround(x)); }

}  // namespace

void TSolarSystem::Paint(TCanvas* canvas, int left, int top, int width, int height,
                         int colorMode, int sizeMode)
{
  if (!canvas) return;
  canvas_ = canvas;
  colorMode_ = colorMode >= 0 && colorMode <= 3 ? colorMode : 2;
  sizeMode_ = sizeMode >= 0 && sizeMode <= 2 ? sizeMode : 0;
  Left = left;
  Top = top;
  width_ = width;
  height_ = height;
  canvas->SetClipRect(Left, Top, Left + width_, Top + height_);

  PaintBackgroundAndGrid();
  // The whole table's dots first, as a cloud behind the orbits, planets and
  // names, which stay visible above it.
  if (canShowObjects_) PaintFullListDots();
  PaintOrbitLayer();
  PaintBodiesLayer();
  if (ShowDirections)
    for (int i = 0; i < directions_.Count(); ++i) PaintDirection(*directions_.Items(i));
}

void TSolarSystem::Redraw()
{
  if (canvas_) Paint(canvas_, 0, 0, width_, height_, colorMode_, sizeMode_);
}

void TSolarSystem::ForgetCanvas(const TCanvas* canvas)
{
  if (canvas_ == canvas) canvas_ = nullptr;
}

// ---------------------------------------------------------------- primitives

TColor TSolarSystem::Mode(TColor c) const { return ModeColor(c, colorMode_); }

bool TSolarSystem::Inside(int x, int y) const
{
  return x >= Left && x <= Left + width_ && y >= Top && y <= Top + height_;
}

int TSolarSystem::DotRadius() const
{
  static constexpr int radius[3] = {2, 4, 8};
  return radius[sizeMode_];
}

int TSolarSystem::MinSunRadius() const
{
  static constexpr int radius[3] = {3, 6, 12};
  return radius[sizeMode_];
}

void TSolarSystem::PlotDot(int x, int y, TColor color)
{
  if (!canvas_) return;
  switch (sizeMode_) {
    case 0:
      canvas_->SetPixel(x, y, color);
      break;
    case 1:
      canvas_->SetPixel(x, y, color);
      canvas_->SetPixel(x - 1, y, color);
      canvas_->SetPixel(x, y - 1, color);
      canvas_->SetPixel(x + 1, y, color);
      canvas_->SetPixel(x, y + 1, color);
      break;
    default:
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) canvas_->SetPixel(x + dx, y + dy, color);
  }
}

void TSolarSystem::FilledDot(int x, int y, TColor color)
{
  const int r = DotRadius();
  canvas_->SetPen(color, 1, TPenStyle::Clear);
  canvas_->SetBrush(color, TBrushStyle::Solid);
  canvas_->Ellipse(x - r, y - r, x + r + 1, y + r + 1);
}

void TSolarSystem::DrawLine(const TRectCoord& a, const TRectCoord& b, TColor color, bool dotA,
                            bool dotB)
{
  if (!canvas_) return;
  // Every line of the scene is drawn with a solid pen.
  canvas_->SetPen(color, 1, TPenStyle::Solid);
  canvas_->SetBrush(color, TBrushStyle::Solid);
  const TScreenPoint pa = WorldToScreen(a);
  const TScreenPoint pb = WorldToScreen(b);
  canvas_->MoveTo(pa.X, pa.Y);
  canvas_->LineTo(pb.X, pb.Y);
  const int r = DotRadius();
  if (dotA) canvas_->Ellipse(pa.X - r, pa.Y - r, pa.X + r, pa.Y + r);
  if (dotB) canvas_->Ellipse(pb.X - r, pb.Y - r, pb.X + r, pb.Y + r);
}

void TSolarSystem::DrawArc(const TRectCoord& c, const TRectCoord& n, long double r, int from,
                           int to, TColor color, bool dotStart, bool dotEnd)
{
  if (!canvas_) return;
  canvas_->SetPen(color, 1, TPenStyle::Solid);
  canvas_->SetBrush(color, TBrushStyle::Solid);
  if (from >= to) return;
  const TPolarCoord pole = RectToPolar(n);
  if (std::fabs(pole.Dist) < 1e-8L) return;
  // Turns the circle in the xy-plane so that its axis z comes to lie along n.
  const TMatrix4 m = MatMul(RotationMatrix(2, pole.Lon), RotationMatrix(1, HalfPi - pole.Lat));
  TScreenPoint first, last;
  for (int deg = from; deg <= to; ++deg) {
    const long double theta = deg * DegreesToRadians;
    TRectCoord q = TransformPoint({r * std::cos(theta), r * std::sin(theta), 0}, m);
    last = WorldToScreen(VecAdd(q, c));
    if (deg == from) {
      first = last;
      canvas_->MoveTo(last.X, last.Y);
    } else {
      canvas_->LineTo(last.X, last.Y);
    }
  }
  const int rd = DotRadius();
  if (dotStart) canvas_->Ellipse(first.X - rd, first.Y - rd, first.X + rd, first.Y + rd);
  if (dotEnd) canvas_->Ellipse(last.X - rd, last.Y - rd, last.X + rd, last.Y + rd);
}

void TSolarSystem::Label(int x, int y, int radius, const std::string& text)
{
  const int h = canvas_->TextHeight("0");
  canvas_->TextOut(x + radius + 2, y - h / 2, text);
}

TRectCoord TSolarSystem::PoleInEcliptic(int index) const
{
  TRectCoord rect;
  TPolarCoord polar;
  PoleDirection(index, jd_, rect, polar);
  Obliquity(jd_);
  return EquRectToEclRect(rect);
}

// ---------------------------------------------------------------- background

void TSolarSystem::PaintBackgroundAndGrid()
{
  const int right = Left + width_;
  const int bottom = Top + height_;
  const TColor bg = BackgroundColor(colorMode_, BgColor);
  canvas_->SetBrush(bg, TBrushStyle::Solid);
  canvas_->FillRect(Left, Top, right, bottom, bg);
  if (sizeMode_ == 1 || sizeMode_ == 2) {
    // A black frame two pixels wide inside the edges.
    canvas_->FillRect(Left, Top, right, Top + 2, 0x000000);
    canvas_->FillRect(Left, bottom - 2, right, bottom, 0x000000);
    canvas_->FillRect(Left, Top, Left + 2, bottom, 0x000000);
    canvas_->FillRect(right - 2, Top, right, bottom, 0x000000);
  }

  const TColor grid = Mode(GridColor);
  canvas_->SetPen(grid, 1, TPenStyle::Solid);
  canvas_->SetBrush(grid, TBrushStyle::Clear);
  canvas_->SetFontColor(grid);

  if (Plane == D3) {
    if (GridMode != 2) return;
    // A square grid through the centre object, parallel to the ecliptic.
    const TRectCoord& c = centerPosition_;
    const long double d = dim_;
    for (int i = -5; i <= 5; ++i) {
      const long double k = 2 * i;
      DrawLine({c.X + k * d / 5, c.Y - 2 * d, c.Z}, {c.X + k * d / 5, c.Y + 2 * d, c.Z}, grid,
               false, false);
      DrawLine({c.X - 2 * d, c.Y + k * d / 5, c.Z}, {c.X + 2 * d, c.Y + k * d / 5, c.Z}, grid,
               false, false);
    }
    return;
  }
  PaintFlatGrid();
}

void TSolarSystem::PaintFlatGrid()
{
  const long double s = gridStep_;
  const long double spanX = XMax() - XMin();
  const long double spanY = YMax() - YMin();
  if (GridMode == 1) {
    const int cx = Left + width_ / 2;
    const int cy = Top + height_ / 2;
    const int rings = static_cast<int>(std::trunc(XMax() / s)) + 1;
    for (int l = 1; l <= rings; ++l) {
      const int rx = static_cast<int>(std::trunc(l * s * width_ / spanX));
      const int ry = static_cast<int>(std::trunc(l * s * height_ / spanY));
      canvas_->Ellipse(cx - rx, cy - ry, cx + rx, cy + ry);
      const std::string text = GridNumberText(l * s);
      canvas_->TextOut(cx + 2, cy - ry + 2, text);
      canvas_->TextOut(cx + rx + 2, cy + 2, text);
    }
    canvas_->MoveTo(Left, cy);
    canvas_->LineTo(Left + width_, cy);
    canvas_->MoveTo(cx, Top);
    canvas_->LineTo(cx, Top + height_);
  } else if (GridMode == 2) {
    const int n = static_cast<int>(std::trunc(XMax() / s));
    for (int f = -n - 1; f <= n; ++f) {
      const int px = static_cast<int>(std::trunc((f * s - XMin()) * width_ / spanX));
      const int py = static_cast<int>(std::trunc((f * s - YMin()) * height_ / spanY));
      canvas_->MoveTo(Left, Top + py);
      canvas_->LineTo(Left + width_, Top + py);
      canvas_->MoveTo(Left + px, Top);
      canvas_->LineTo(Left + px, Top + height_);
      // Rows are counted from the top while the vertical coordinate grows
      // upward, so the row at f steps lies at -f steps: the numbers on the
      // left are the true coordinates of their lines.
      // In the top-left corner the two numbers would share one place, and
      // there they now differ: the column's number is written alone.
      canvas_->TextOut(Left + px + 2, Top + 2, GridNumberText(f * s));
      if (px != 0 || py != 0) canvas_->TextOut(Left + 2, Top + py + 2, GridNumberText(-f * s));
    }
  }
}

// ---------------------------------------------------------------- bodies

void TSolarSystem::PaintBodiesLayer()
{
  for (int i = 0; i < planets_.Count(); ++i)
    if (TPlanet* p = dynamic_cast<TPlanet*>(planets_.Items(i))) PaintPlanet(*p);
  PaintSpacecrafts();
  if (canShowObjects_)
    for (int i = 0; i < asteroids_.Count(); ++i) PaintAsteroid(*asteroids_.Items(i));
  PaintSun();
}

void TSolarSystem::PaintPlanet(TPlanet& p)
{
  if (!p.Visible || !IsInView(p.Position)) return;
  for (int i = 0; i < p.Satellites.Count(); ++i) PaintSatellite(*p.Satellites.Items(i), &p);

  const int r = DotRadius();
  const int e = std::max(RoundToInt(p.Diameter * width_ / (4 * dim_)), r);
  const TScreenPoint pt = WorldToScreen(p.Position);
  if (!Inside(pt.X, pt.Y)) return;
  const long double ds = VecLength(p.Position);
  const bool far = ds >= dim_ / 5 || ds == 0;

  const bool saturnRings = p.BodyNumber == 5 && dim_ <= 0.02L;
  const bool axes = far && (ShowRotation || ShowRotAxis);
  TRectCoord n;
  if ((axes || saturnRings) && p.BodyNumber >= 0 && p.BodyNumber <= 8)
    n = PoleInEcliptic(p.BodyNumber);
  const TColor axisColor = Mode(AxesColor);
  const long double len = std::max(dim_ / 15, 0.75L * p.Diameter);
  if (ShowRotation && far) {
    const bool retrograde =
        p.BodyNumber >= 0 && p.BodyNumber <= 8 && PlanetRetrograde[p.BodyNumber];
    DrawArc(p.Position, n, len, 0, 270, axisColor, !retrograde, retrograde);
  }
  if (ShowRotAxis && far)
    DrawLine(VecAdd(p.Position, VecScale(n, len)), VecSub(p.Position, VecScale(n, len)),
             axisColor, false, true);

  const TColor body = Mode(p.Color);
  if (saturnRings) {
    const TColor ring = ScaleColor(body, 50);
    for (int i = 1; i < 72; i += 2) {
      DrawArc(p.Position, n, InnerRingAU, 5 * i, 5 * i + 5, ring, false, false);
      DrawArc(p.Position, n, OuterRingAU, 5 * i, 5 * i + 5, ring, false, false);
    }
  }

  canvas_->SetPen(body, 1, TPenStyle::Clear);
  canvas_->SetBrush(body, TBrushStyle::Solid);
  canvas_->Ellipse(pt.X - e, pt.Y - e, pt.X + e + 1, pt.Y + e + 1);

  canvas_->SetFontColor(body);
  canvas_->SetBrush(body, TBrushStyle::Clear);
  if (ShowNames && far) Label(pt.X, pt.Y, e, p.Name);
}

void TSolarSystem::PaintSatellite(TSatellite& s, const TPlanet* p)
{
  if (!s.Visible || !ShowSatellites || (p && !p->Visible)) return;
  const TRectCoord a = p ? VecAdd(s.Position, p->Position) : s.Position;
  const long double d = s.PlanetocentricDistance();
  if (d < dim_ / 200) return;  // it would sit on its planet's disc

  PaintSatelliteOverlays(s, p);

  const TScreenPoint pt = WorldToScreen(a);
  if (!Inside(pt.X, pt.Y)) return;
  const TColor color = Mode(s.Color);
  FilledDot(pt.X, pt.Y, color);
  if (ShowNames && d >= dim_ / 8) {
    std::string text = s.Name;
    if (!s.Designation.empty()) text += " (" + s.Designation + ")";
    canvas_->SetFontColor(color);
    canvas_->SetBrush(color, TBrushStyle::Clear);
    Label(pt.X, pt.Y, DotRadius(), text);
  }
}

void TSolarSystem::PaintSpacecrafts()
{
  if (!ShowSpacecrafts) return;
  for (int i = 0; i < spacecrafts_.Count(); ++i) {
    const TSpacecraft& c = *spacecrafts_.Items(i);
    // A spacecraft without points has no position even inside its span.
    if (!c.Visible || !c.HasPosition(jd_)) continue;
    const TScreenPoint pt = WorldToScreen(c.PositionOfDate(c.Position, jd_));
    if (!Inside(pt.X, pt.Y)) continue;
    const TColor color = Mode(c.Color);
    FilledDot(pt.X, pt.Y, color);
    if (ShowNames) {
      canvas_->SetFontColor(color);
      canvas_->SetBrush(color, TBrushStyle::Clear);
      Label(pt.X, pt.Y, DotRadius(), c.Name);
    }
  }
}

void TSolarSystem::PaintAsteroid(TOEObject& a)
{
  if (!a.Visible || !IsInView(a.Position)) return;
  const TScreenPoint pt = WorldToScreen(a.Position);
  if (!Inside(pt.X, pt.Y)) return;
  const TColor color = Mode(a.Color);
  FilledDot(pt.X, pt.Y, color);
  const long double ds = VecLength(a.Position);
  if (ShowNames && (ds >= dim_ / 5 || ds == 0)) {
    canvas_->SetFontColor(color);
    canvas_->SetBrush(color, TBrushStyle::Clear);
    Label(pt.X, pt.Y, DotRadius(), a.Name);
  }
}

void TSolarSystem::PaintSun()
{
  if (!ShowSun) return;
  const TRectCoord origin{};
  const int b = std::max(RoundToInt(width_ * SolarDiameterAU / (4 * dim_)), MinSunRadius());
  if (!IsInView(origin)) return;
  const TScreenPoint pt = WorldToScreen(origin);
  if (!Inside(pt.X, pt.Y)) return;

  if (ShowRotation || ShowRotAxis) {
    const TRectCoord n = PoleInEcliptic(bnSun);
    const long double len = dim_ / 15;
    const TColor axisColor = Mode(AxesColor);
    if (ShowRotation) DrawArc(origin, n, len, 0, 270, axisColor, true, false);
    if (ShowRotAxis)
      DrawLine(VecScale(n, len), VecScale(n, -len), axisColor, false, true);
  }

  const TColor color = Mode(SunColor);
  canvas_->SetPen(color, 1, TPenStyle::Clear);
  canvas_->SetBrush(color, TBrushStyle::Solid);
  canvas_->Ellipse(pt.X - b, pt.Y - b, pt.X + b, pt.Y + b);

  canvas_->SetFontColor(color);
  canvas_->SetBrush(color, TBrushStyle::Clear);
  const long double dc = DistanceFromCenter(origin);
  if (ShowNames && (dc >= dim_ / 6 || dc == 0)) Label(pt.X, pt.Y, b, "Sun");
}

// ---------------------------------------------------------------- user lines

void TSolarSystem::PaintDirection(const TDirection& d)
{
  if (!ShowDirections) return;
  if (d.FromObject < 0 || d.FromObject > 9 || d.ToObject < 0 || d.ToObject > 9) return;
  if (d.FromObject == d.ToObject) return;
  const TRectCoord a = ObjectPosition(d.FromObject);
  TRectCoord b = ObjectPosition(d.ToObject);
  const TRectCoord along = VecSub(b, a);
  const long double len = VecLength(along);
  if (!d.Visible || !IsInView(a) || len < dim_ / 20) return;
  // An end off view is replaced by a point 1.5 half-widths from the start.
  if (!IsInView(b)) b = VecAdd(a, VecScale(along, 1.5L * dim_ / len));
  DrawLine(a, b, d.Color, false, false);  // the line's own colour in every mode
}
