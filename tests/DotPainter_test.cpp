#include "scene/DotPainter.h"

#include "astro/DatesAndTimes.h"
#include "scene/RecordingCanvas.h"
#include "scene/SolarSystem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <set>
#include <vector>

namespace {

// A recording canvas with a raw pixel surface; a pixel word is the colour
// with a marker in the high byte.
class TSurfaceCanvas : public TRecordingCanvas {
public:
  TSurfaceCanvas(int w, int h) : w_(w), h_(h), pixels(static_cast<size_t>(w) * h, 0) {}
  std::uint32_t* Pixels() override { return pixels.data(); }
  int PixelsWidth() const override { return w_; }
  int PixelsHeight() const override { return h_; }
  std::uint32_t PixelValue(TColor c) const override { return c | 0xFF000000u; }

  int w_, h_;
  std::vector<std::uint32_t> pixels;
};

TOrbitElements RandomElements(std::mt19937& rng)
{
  std::uniform_real_distribution<double> u(0, 1);
  TOrbitElements el;
  el.EpochJD = 2453000.5L;
  // Some far and steep orbits, which project into the view from far in
  // front of it or behind it.
  el.AxisAU = u(rng) < 0.8 ? 0.3 + 5 * u(rng) : 5 + 40 * u(rng);
  el.Ecc = 0.6 * u(rng) * u(rng);
  el.Incl = u(rng) < 0.9 ? 25 * u(rng) : 90 * u(rng);
  el.NodeLon = 360 * u(rng);
  el.PeriLon = 360 * u(rng);
  el.MeanLon = 360 * u(rng);
  el.DailyMotion = 0.9856076686L / std::pow(static_cast<double>(el.AxisAU), 1.5);
  return el;
}

// A circular orbit in the ecliptic, at (r cos lon, r sin lon, 0) at its epoch.
TOrbitElements At(long double r, long double lonDeg)
{
  TOrbitElements el;
  el.EpochJD = 2453522.5L;
  el.AxisAU = r;
  el.MeanLon = lonDeg;
  el.DailyMotion = 0.9856076686L / std::pow(static_cast<double>(r), 1.5);
  return el;
}

TDotView ViewOf(const TSolarSystem& s, int left, int top, int side, int colorMode, int sizeMode)
{
  TDotView v;
  v.CenterX = static_cast<double>(s.CenterPosition().X);
  v.CenterY = static_cast<double>(s.CenterPosition().Y);
  v.CenterZ = static_cast<double>(s.CenterPosition().Z);
  SetDotViewPlane(v, s.Plane, s.ViewMatrix());
  v.Dim = static_cast<double>(s.Dim());
  v.Left = left, v.Top = top, v.Width = v.Height = side;
  v.ColorMode = colorMode, v.SizeMode = sizeMode;
  return v;
}

// The picture the scene's own rules give, in extended precision: IsInView,
// WorldToScreen, the inside test, PlotDot's shapes, clipping to the
// rectangle and the surface, later dots over earlier ones.
std::vector<std::uint32_t> Expected(const TSolarSystem& s, const TDotBodyList& list, int w, int h,
                                    int colorMode, int sizeMode)
{
  std::vector<std::uint32_t> out(static_cast<size_t>(w) * h, 0);
  const int left = s.Left, top = s.Top, right = left + s.Width(), bottom = top + s.Height();
  for (int i = 0; i < list.Count(); ++i) {
    const TRectCoord v{list.X(i), list.Y(i), list.Z(i)};
    if (!s.IsInView(v)) continue;
    const TScreenPoint p = s.WorldToScreen(v);
    if (!(p.X >= left && p.X <= right && p.Y >= top && p.Y <= bottom)) continue;
    const TColor c = colorMode == 0 ? 0 : colorMode == 1 ? 0xFFFFFF : list.Color(i);
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        if (sizeMode == 0 && (dx || dy)) continue;
        if (sizeMode == 1 && dx && dy) continue;
        const int x = p.X + dx, y = p.Y + dy;
        if (x >= std::max(left, 0) && x < std::min(right, w) && y >= std::max(top, 0) &&
            y < std::min(bottom, h))
          out[static_cast<size_t>(y) * w + x] = c | 0xFF000000u;
      }
  }
  return out;
}

int Differences(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b)
{
  int n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

int Drawn(const std::vector<std::uint32_t>& a)
{
  int n = 0;
  for (std::uint32_t v : a) n += v != 0;
  return n;
}

}  // namespace

TEST(DotPainter, ThePicturesOfTheScenesRulesInEveryPlaneSizeAndColourMode)
{
  TSolarSystem scene;
  scene.SetDateTime(JDToDateRec(0, 2453522.5L));
  std::mt19937 rng(99);
  TDotBodyList& list = scene.AsteroidsFullList();
  for (int i = 0; i < 30000; ++i) list.Add(RandomElements(rng), 0x008080);  // shared by threads
  scene.Recalculate();

  struct TCase {
    TPlane Plane;
    long double Dim;
    int Center;
  };
  for (TCase c : {TCase{D3, 2, 9}, TCase{XY, 3, 9}, TCase{XZ, 1.5L, 3}, TCase{ZY, 4, 4}}) {
    scene.Plane = c.Plane;
    scene.SetDim(c.Dim);
    scene.SetCenterObject(c.Center);
    for (int size = 0; size <= 2; ++size)
      for (int mode : {0, 2}) {
        // The rectangle overhangs the surface on the right and at the bottom.
        TSurfaceCanvas surface(520, 510);
        scene.Paint(&surface, 30, 40, 500, 500, mode, size);  // sets the rectangle
        std::fill(surface.pixels.begin(), surface.pixels.end(), 0);
        PaintDots(surface, list, ViewOf(scene, 30, 40, 500, mode, size));
        const auto expected = Expected(scene, list, 520, 510, mode, size);
        EXPECT_GT(Drawn(expected), 500);
        EXPECT_EQ(Differences(surface.pixels, expected), 0)
            << "plane " << c.Plane << " size " << size << " mode " << mode;
      }
  }
}

TEST(DotPainter, LaterBodiesCoverEarlierOnesWhenColoursDiffer)
{
  TSolarSystem scene;
  scene.SetDateTime(JDToDateRec(0, 2453522.5L));
  scene.Plane = XY;
  TDotBodyList& list = scene.AsteroidsFullList();
  std::mt19937 rng(5);
  // Many bodies on few pixels (a wide view), in three colours.
  for (int i = 0; i < 30000; ++i) list.Add(RandomElements(rng), 0x0000FF << (8 * (i % 3)));
  scene.SetDim(60);
  scene.Recalculate();
  EXPECT_FALSE(list.OneColor());
  TSurfaceCanvas surface(300, 300);
  scene.Paint(&surface, 0, 0, 300, 300, 2, 0);
  std::fill(surface.pixels.begin(), surface.pixels.end(), 0);
  PaintDots(surface, list, ViewOf(scene, 0, 0, 300, 2, 0));
  EXPECT_EQ(Differences(surface.pixels, Expected(scene, list, 300, 300, 2, 0)), 0);

  // One colour again: drawn on all cores, the same picture.
  list.SetAllColors(0x008080);
  EXPECT_TRUE(list.OneColor());
  std::fill(surface.pixels.begin(), surface.pixels.end(), 0);
  PaintDots(surface, list, ViewOf(scene, 0, 0, 300, 2, 0));
  EXPECT_EQ(Differences(surface.pixels, Expected(scene, list, 300, 300, 2, 0)), 0);
}

TEST(DotPainter, ViewTestsNearTheSunAndTheCentreAndFarAway)
{
  TSolarSystem scene;
  scene.SetDateTime(JDToDateRec(0, 2453522.5L));
  scene.Plane = XY;
  scene.SetDim(2);  // 0.03 Dim = 0.06 AU; 25 pixels per AU on 100
  TDotBodyList& list = scene.AsteroidsFullList();
  list.Add(At(0.05L, 0), 1);   // within 3 % of Dim of the Sun
  list.Add(At(0.07L, 90), 2);  // just clear of it
  list.Add(At(1.9L, 180), 3);  // near the left edge
  list.Add(At(2.5L, 0), 4);    // beyond the right edge
  list.Add(At(1.3L, 90), 5);
  list.Add(At(1.9L, 90), 6);
  scene.Recalculate();

  TSurfaceCanvas surface(100, 100);
  auto colours = [&] {
    std::set<std::uint32_t> out;
    for (std::uint32_t v : surface.pixels)
      if (v) out.insert(v & 0xFFFFFF);
    return out;
  };
  TDotView view = ViewOf(scene, 0, 0, 100, 2, 0);
  PaintDots(surface, list, view);
  EXPECT_EQ(colours(), (std::set<std::uint32_t>{2, 3, 5, 6}));

  // The centre object is shown however close it is to the Sun.
  view.CenterX = list.X(0), view.CenterY = list.Y(0), view.CenterZ = list.Z(0);
  std::fill(surface.pixels.begin(), surface.pixels.end(), 0);
  PaintDots(surface, list, view);
  EXPECT_EQ(colours(), (std::set<std::uint32_t>{1, 2, 3, 5, 6}));
  EXPECT_EQ(surface.pixels[50 * 100 + 50], 0xFF000001u);

  // Seen along the y axis with 5 Dim = 1.5 AU: the bodies at 0.07, 1.3 and
  // 1.9 AU on that axis all fall on the middle of the picture, but the last
  // is too far away to be drawn over the 1.3 AU body.
  view = ViewOf(scene, 0, 0, 100, 2, 0);
  SetDotViewPlane(view, XZ, scene.ViewMatrix());
  view.Dim = 0.3;
  std::fill(surface.pixels.begin(), surface.pixels.end(), 0);
  PaintDots(surface, list, view);
  EXPECT_EQ(colours(), (std::set<std::uint32_t>{1, 5}));
}

TEST(DotPainter, CanvasesWithoutPixelsGetPlotDotShapes)
{
  TSolarSystem scene;
  scene.SetDateTime(JDToDateRec(0, 2453522.5L));
  scene.Plane = XY;
  TDotBodyList& list = scene.AsteroidsFullList();
  list.Add(At(1, 0), 0x123456);
  scene.Recalculate();
  for (int size = 0; size <= 2; ++size) {
    TRecordingCanvas canvas;
    PaintDots(canvas, list, ViewOf(scene, 0, 0, 500, 2, size));
    const auto ops = canvas.OfKind(TCanvasOpKind::SetPixel);
    ASSERT_EQ(ops.size(), size == 0 ? 1u : size == 1 ? 5u : 9u);
    EXPECT_EQ(ops[0].Color, 0x123456u);
    // (1, 0, 0) at Dim 2 on 500 pixels: (375, 250).
    EXPECT_EQ(ops[size == 2 ? 4 : 0].X1, 375);
    EXPECT_EQ(ops[size == 2 ? 4 : 0].Y1, 250);
  }
  // Nothing for an empty list, an empty rectangle or a non-positive Dim.
  TRecordingCanvas canvas;
  TDotView view = ViewOf(scene, 0, 0, 0, 2, 0);
  PaintDots(canvas, list, view);
  view = ViewOf(scene, 0, 0, 500, 2, 0);
  view.Dim = 0;
  PaintDots(canvas, list, view);
  PaintDots(canvas, TDotBodyList(), ViewOf(scene, 0, 0, 500, 2, 0));
  EXPECT_TRUE(canvas.Ops.empty());
}
