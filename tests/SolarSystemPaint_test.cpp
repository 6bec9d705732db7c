// Painting the scene, checked primitive by primitive on the recording
// canvas: pipeline, background and grids, bodies with their labels, axes and
// rings, the Sun, user lines, colour and size modes.
#include "SceneTestSupport.h"

#include "scene/ColFunc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <utility>

namespace {

using K = TCanvasOpKind;

TEST(ColFunc, ScaleColorAndModeColours)
{
  EXPECT_EQ(ScaleColor(0xC0C0C0, 50), 0x606060u);
  EXPECT_EQ(ScaleColor(0x0080FF, 50), 0x00407Fu);
  EXPECT_EQ(ScaleColor(0x102030, 1000), 0xA0FFFFu);  // red and green capped
  EXPECT_EQ(ScaleColor(0x102030, 0), 0u);
  EXPECT_EQ(ScaleColor(0x102030, -20), 0u);
  EXPECT_EQ(ScaleColor(0x0000FFFF, 100), 0x0000FFFFu);
  EXPECT_EQ(ModeColor(0x123456, 0), 0x000000u);
  EXPECT_EQ(ModeColor(0x123456, 1), 0xFFFFFFu);
  EXPECT_EQ(ModeColor(0x123456, 2), 0x123456u);
  EXPECT_EQ(ModeColor(0x123456, 3), 0x123456u);
  EXPECT_EQ(BackgroundColor(0, 0x111111), 0xFFFFFFu);
  EXPECT_EQ(BackgroundColor(1, 0x111111), 0x000000u);
  EXPECT_EQ(BackgroundColor(2, 0x111111), 0x111111u);
  EXPECT_EQ(BackgroundColor(3, 0x111111), 0xFFFFFFu);
}

TEST(ScenePaint, NoCanvasDrawsNothingAndRedrawReusesTheLastCanvas)
{
  TSolarSystem scene;
  scene.Redraw();  // before any Paint: nothing, no crash
  scene.Paint(nullptr, 0, 0, 300, 300, 2, 0);
  EXPECT_EQ(scene.Canvas(), nullptr);
  EXPECT_EQ(scene.Width(), 500);

  TRecordingCanvas canvas;
  scene.Paint(&canvas, 10, 20, 300, 300, 3, 1);
  EXPECT_EQ(scene.Canvas(), &canvas);
  EXPECT_EQ(scene.Width(), 300);
  EXPECT_EQ(scene.Left, 10);
  ASSERT_GE(canvas.Ops.size(), 2u);
  const TCanvasOp clip = canvas.Ops[0];
  EXPECT_EQ(clip.Kind, K::ClipRect);
  EXPECT_EQ(std::make_pair(clip.X1, clip.Y1), std::make_pair(10, 20));
  EXPECT_EQ(std::make_pair(clip.X2, clip.Y2), std::make_pair(310, 320));
  EXPECT_EQ(canvas.Ops[1].Kind, K::FillRect);

  canvas.Clear();
  scene.Redraw();  // at (0, 0), same size and modes
  ASSERT_FALSE(canvas.Ops.empty());
  EXPECT_EQ(canvas.Ops[0].X1, 0);
  EXPECT_EQ(canvas.Ops[0].X2, 300);
  EXPECT_EQ(canvas.Ops[1].Color, 0xFFFFFFu);  // colour mode 3 kept
  EXPECT_EQ(scene.SizeMode(), 1);

  scene.ForgetCanvas(&canvas);
  canvas.Clear();
  scene.Redraw();
  EXPECT_TRUE(canvas.Ops.empty());
}

TEST(ScenePaint, BackgroundByColourModeAndTheFrameOfLargeSizes)
{
  TSolarSystem scene;
  Quiet(scene);
  scene.BgColor = 0x202020;
  const TColor expected[4] = {0xFFFFFF, 0x000000, 0x202020, 0xFFFFFF};
  for (int mode = 0; mode < 4; ++mode) {
    TRecordingCanvas canvas;
    scene.Paint(&canvas, 0, 0, 400, 400, mode, 0);
    auto fills = canvas.OfKind(K::FillRect);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].Color, expected[mode]);
    EXPECT_EQ(fills[0].X2, 400);
  }
  for (int size = 1; size <= 2; ++size) {
    TRecordingCanvas canvas;
    scene.Paint(&canvas, 5, 5, 100, 100, 2, size);
    auto fills = canvas.OfKind(K::FillRect);
    ASSERT_EQ(fills.size(), 5u);
    // Top, bottom, left and right strips, two pixels wide, black.
    std::set<std::vector<int>> frame;
    for (size_t i = 1; i < fills.size(); ++i) {
      EXPECT_EQ(fills[i].Color, 0u);
      frame.insert({fills[i].X1, fills[i].Y1, fills[i].X2, fills[i].Y2});
    }
    EXPECT_EQ(frame, (std::set<std::vector<int>>{
                         {5, 5, 105, 7}, {5, 103, 105, 105}, {5, 5, 7, 105}, {103, 5, 105, 105}}));
  }
}

TEST(ScenePaint, RectangularGridInAPlane)
{
  TSolarSystem scene;
  Quiet(scene);
  scene.Plane = XY;
  scene.GridMode = 2;
  TRecordingCanvas canvas;
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  auto lines = canvas.OfKind(K::Line);
  ASSERT_EQ(lines.size(), 20u);  // f = -5 .. 4, one row and one column each
  for (const auto& l : lines) {
    EXPECT_EQ(l.PenColor, 0x505050u);
    EXPECT_EQ(l.PenWidth, 1);
  }
  // f = -5 lies at -62 (Trunc(-62.5)), outside; f = -4 on the edge.
  EXPECT_EQ(std::vector<int>({lines[0].X1, lines[0].Y1, lines[0].X2, lines[0].Y2}),
            std::vector<int>({0, -62, 500, -62}));
  EXPECT_EQ(std::vector<int>({lines[3].X1, lines[3].Y1, lines[3].X2, lines[3].Y2}),
            std::vector<int>({0, 0, 0, 500}));
  // The left edge's number of a row comes first (f = -2 is y = +1 there).
  auto one = canvas.Texts("1");
  ASSERT_EQ(one.size(), 2u);
  EXPECT_EQ(std::make_pair(one[0].X1, one[0].Y1), std::make_pair(2, 127));
  EXPECT_EQ(std::make_pair(one[1].X1, one[1].Y1), std::make_pair(377, 2));
  EXPECT_EQ(one[0].Color, 0x505050u);
  // Up the left edge the numbers grow, as y does on the screen.
  auto minusOne = canvas.Texts("-1");
  ASSERT_EQ(minusOne.size(), 2u);
  EXPECT_EQ(minusOne[0].Y1, 2);
  EXPECT_EQ(minusOne[1].Y1, 377);
  EXPECT_EQ(canvas.Texts("-2.5").size(), 1u);  // only along the top
  EXPECT_EQ(canvas.Texts("2.5").size(), 1u);   // only down the left
  EXPECT_EQ(canvas.Texts("0.5").size(), 2u);
  // The top-left corner holds x = -2 alone, not y = 2 over it.
  auto two = canvas.Texts("2");
  ASSERT_EQ(two.size(), 1u);
  EXPECT_EQ(std::make_pair(two[0].X1, two[0].Y1), std::make_pair(502, 2));
  auto corner = canvas.Texts("-2");
  ASSERT_EQ(corner.size(), 2u);
  EXPECT_EQ(std::make_pair(corner[0].X1, corner[0].Y1), std::make_pair(2, 2));
  EXPECT_EQ(std::make_pair(corner[1].X1, corner[1].Y1), std::make_pair(2, 502));
}

TEST(ScenePaint, LeftGridNumbersAreTheTrueCoordinatesOfTheirRows)
{
  // In X-Y the vertical coordinate is y, in X-Z it is z; both grow upward.
  for (TPlane plane : {XY, XZ}) {
    TSolarSystem scene;
    Quiet(scene);
    scene.Plane = plane;
    scene.GridMode = 2;
    TRecordingCanvas canvas;
    scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
    // Down the left edge below the corner, which holds the top row's x.
    std::vector<TCanvasOp> left;
    for (const auto& t : canvas.OfKind(K::Text))
      if (t.X1 == 2 && t.Y1 > 2 && t.Y1 <= 502) left.push_back(t);
    std::sort(left.begin(), left.end(), [](auto& a, auto& b) { return a.Y1 < b.Y1; });
    ASSERT_EQ(left.size(), 8u) << plane;
    EXPECT_EQ(left.front().Text, "1.5") << plane;  // top
    EXPECT_EQ(left.back().Text, "-2") << plane;    // bottom
    EXPECT_EQ(left[3].Text, "0") << plane;
    // A point 1 AU up lies on the row labelled 1 (to the pixel the two
    // roundings allow).
    TRectCoord up;
    (plane == XY ? up.Y : up.Z) = 1;
    const int row = scene.WorldToScreen(up).Y;
    auto one = std::find_if(left.begin(), left.end(), [](auto& t) { return t.Text == "1"; });
    ASSERT_NE(one, left.end());
    EXPECT_NEAR(one->Y1 - 2, row, 1) << plane;
  }
}

TEST(ScenePaint, RadialGridInAPlane)
{
  TSolarSystem scene;
  Quiet(scene);
  scene.Plane = XZ;
  scene.GridMode = 1;
  TRecordingCanvas canvas;
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  auto rings = canvas.OfKind(K::Ellipse);
  ASSERT_EQ(rings.size(), 5u);  // l = 1 .. Trunc(2 / 0.5) + 1
  EXPECT_EQ(std::vector<int>({rings[0].X1, rings[0].Y1, rings[0].X2, rings[0].Y2}),
            std::vector<int>({188, 188, 312, 312}));
  EXPECT_EQ(rings[0].BrushStyle, TBrushStyle::Clear);
  EXPECT_EQ(rings[0].PenColor, 0x505050u);
  EXPECT_EQ(rings[4].X1, 250 - 312);
  auto half = canvas.Texts("0.5");
  ASSERT_EQ(half.size(), 2u);
  EXPECT_EQ(std::make_pair(half[0].X1, half[0].Y1), std::make_pair(252, 190));
  EXPECT_EQ(std::make_pair(half[1].X1, half[1].Y1), std::make_pair(314, 252));
  auto lines = canvas.OfKind(K::Line);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(std::vector<int>({lines[0].X1, lines[0].Y1, lines[0].X2, lines[0].Y2}),
            std::vector<int>({0, 250, 500, 250}));
  EXPECT_EQ(std::vector<int>({lines[1].X1, lines[1].Y1, lines[1].X2, lines[1].Y2}),
            std::vector<int>({250, 0, 250, 500}));
}

TEST(ScenePaint, GridsOfTheThreeDimensionalView)
{
  TSolarSystem scene;
  Quiet(scene);
  scene.Plane = D3;
  scene.GridMode = 1;  // no radial grid in 3D
  TRecordingCanvas canvas;
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_TRUE(canvas.OfKind(K::Line).empty());
  EXPECT_TRUE(canvas.OfKind(K::Ellipse).empty());

  scene.GridMode = 2;
  scene.SetRotX(0);
  scene.SetRotY(0);
  scene.SetRotZ(0);
  canvas.Clear();
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  auto lines = canvas.OfKind(K::Line);
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_TRUE(canvas.OfKind(K::Text).empty());
  // Seen from the pole: 11 columns and 11 rows 0.4 Dim apart, +-2 Dim long.
  EXPECT_EQ(std::vector<int>({lines[0].X1, lines[0].Y1, lines[0].X2, lines[0].Y2}),
            std::vector<int>({-250, 750, -250, -250}));
  EXPECT_EQ(std::vector<int>({lines[11].X1, lines[11].Y1, lines[11].X2, lines[11].Y2}),
            std::vector<int>({-250, 250, 750, 250}));
  for (const auto& l : lines) EXPECT_EQ(l.PenColor, 0x505050u);
}

TEST(ScenePaint, SunDiscLabelAndMinimumRadius)
{
  TSolarSystem scene;
  Quiet(scene);
  scene.ShowSun = true;
  scene.ShowNames = true;
  TRecordingCanvas canvas;
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  auto discs = canvas.OfKind(K::Ellipse);
  ASSERT_EQ(discs.size(), 1u);
  EXPECT_EQ(std::vector<int>({discs[0].X1, discs[0].Y1, discs[0].X2, discs[0].Y2}),
            std::vector<int>({247, 247, 253, 253}));
  EXPECT_EQ(discs[0].BrushColor, 0x00FFFFu);
  EXPECT_EQ(discs[0].PenStyle, TPenStyle::Clear);
  auto label = canvas.Texts("Sun");
  ASSERT_EQ(label.size(), 1u);
  EXPECT_EQ(std::make_pair(label[0].X1, label[0].Y1),
            std::make_pair(250 + 3 + 2, 250 - TRecordingCanvas::CharHeight / 2));
  EXPECT_EQ(label[0].Color, 0x00FFFFu);

  canvas.Clear();
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 2);
  discs = canvas.OfKind(K::Ellipse);
  ASSERT_EQ(discs.size(), 1u);
  EXPECT_EQ(discs[0].X1, 250 - 12);

  // Round(500 * 0.0093049372 / 0.04) = 116
  scene.SetDim(0.01L);
  canvas.Clear();
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  discs = canvas.OfKind(K::Ellipse);
  ASSERT_EQ(discs.size(), 1u);
  EXPECT_EQ(discs[0].X1, 250 - 116);
  EXPECT_EQ(canvas.Texts("Sun")[0].X1, 250 + 116 + 2);
}

TEST(ScenePaint, SunLabelNeedsASixthOfTheViewFromTheCentre)
{
  TSolarSystem scene;
  scene.SetDateTime(SceneDate(2003, 8, 27));
  Quiet(scene);
  scene.ShowSun = true;
  scene.ShowNames = true;
  scene.Plane = XY;
  scene.SetCenterObject(3);
  const long double ds = VecLength(scene.Planet(3)->Position);
  TRecordingCanvas canvas;
  scene.SetDim(ds * 5.9L);
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_EQ(canvas.Texts("Sun").size(), 1u);
  scene.SetDim(ds * 6.1L);
  canvas.Clear();
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_EQ(canvas.Texts("Sun").size(), 0u);
  EXPECT_EQ(canvas.OfKind(K::Ellipse).size(), 1u);
}

TEST(ScenePaint, JupitersDiscIsRaisedToTheDotRadius)
{
  TSolarSystem scene;
  scene.SetDateTime(SceneDate(2010, 1, 1));
  Quiet(scene);
  scene.ShowNames = true;
  scene.Planet(4)->Visible = true;
  scene.SetCenterObject(4);
  for (int size = 0; size <= 2; ++size) {
    TRecordingCanvas canvas;
    scene.Paint(&canvas, 0, 0, 500, 500, 2, size);
    const int e = size == 0 ? 2 : size == 1 ? 4 : 8;
    auto disc = FirstOp(canvas, [](const TCanvasOp& op) { return IsEllipseIn(op, 0x808000); });
    ASSERT_GE(disc, 0);
    const TCanvasOp& op = canvas.Ops[disc];
    EXPECT_EQ(std::vector<int>({op.X1, op.Y1, op.X2, op.Y2}),
              std::vector<int>({250 - e, 250 - e, 250 + e + 1, 250 + e + 1}));
    EXPECT_EQ(op.PenStyle, TPenStyle::Clear);
    auto label = canvas.Texts("Jupiter");
    ASSERT_EQ(label.size(), 1u);
    EXPECT_EQ(std::make_pair(label[0].X1, label[0].Y1), std::make_pair(250 + e + 2, 250 - 6));
    EXPECT_EQ(label[0].Color, 0x808000u);
  }
  // At 0.01 AU the disc is Round(0.000955789 * 500 / 0.04) = 12 pixels.
  scene.SetDim(0.01L);
  TRecordingCanvas canvas;
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  auto disc = FirstOp(canvas, [](const TCanvasOp& op) { return IsEllipseIn(op, 0x808000); });
  ASSERT_GE(disc, 0);
  EXPECT_EQ(canvas.Ops[disc].X1, 250 - 12);
}

TEST(ScenePaint, SaturnsRingsOnlyInCloseViews)
{
  TSolarSystem scene;
  scene.SetDateTime(SceneDate(2010, 1, 1));
  Quiet(scene);
  scene.Planet(5)->Visible = true;
  scene.SetCenterObject(5);
  const TColor ring = ScaleColor(0xC0C0C0, 50);
  auto isRing = [&](const TCanvasOp& op) { return IsLineIn(op, ring); };

  scene.SetDim(0.0201L);
  TRecordingCanvas canvas;
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_EQ(CountOps(canvas, isRing), 0);

  scene.SetDim(0.02L);
  canvas.Clear();
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  // 36 dashes of 5 degrees (five segments each) on each of the two circles.
  EXPECT_EQ(CountOps(canvas, isRing), 2 * 36 * 5);
  const int disc = FirstOp(canvas, [](const TCanvasOp& op) { return IsEllipseIn(op, 0xC0C0C0); });
  EXPECT_LT(LastOp(canvas, isRing), disc) << "the disc covers the rings";
  // The outer ring spans 136600 km: its dashes stay within that radius of the
  // centre, and reach close to it.
  const double outer = 136600.0 / 149597870.0 * 500 / 0.04;
  double farthest = 0;
  for (const auto& op : canvas.Ops)
    if (isRing(op)) farthest = std::max(farthest, std::hypot(op.X2 - 250.0, op.Y2 - 250.0));
  EXPECT_LE(farthest, outer + 1.5);
  EXPECT_GE(farthest, outer - 1.5);
}

TEST(ScenePaint, RotationArcAndAxisOfThePlanetsAndTheSun)
{
  TSolarSystem scene;
  scene.SetDateTime(SceneDate(2010, 1, 1));
  Quiet(scene);
  scene.AxesColor = 0x0A0B0C;
  scene.ShowRotation = true;
  scene.ShowRotAxis = true;
  scene.ShowSun = true;
  TRecordingCanvas canvas;
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  auto isAxis = [](const TCanvasOp& op) { return IsLineIn(op, 0x0A0B0C); };
  EXPECT_EQ(CountOps(canvas, isAxis), 270 + 1);
  // Dots: the arc's start (the Sun turns direct) and the axis's second end.
  auto dots = canvas.OfKind(K::Ellipse);
  ASSERT_EQ(dots.size(), 3u);  // and the Sun's disc last
  auto arcStart = canvas.Ops[FirstOp(canvas, isAxis)];
  EXPECT_EQ(std::make_pair(dots[0].X1 + 2, dots[0].Y1 + 2), std::make_pair(arcStart.X1, arcStart.Y1));
  EXPECT_EQ(dots[0].X2 - dots[0].X1, 4);
  auto axis = canvas.Ops[LastOp(canvas, isAxis)];
  EXPECT_EQ(std::make_pair(dots[1].X1 + 2, dots[1].Y1 + 2), std::make_pair(axis.X2, axis.Y2));
  // The axis is Dim/15 either side of the Sun along its pole.
  EXPECT_NEAR(std::hypot(axis.X1 - 250.0, axis.Y1 - 250.0), 500.0 / 4 * 2 / 15, 8.5);
  EXPECT_LE(std::abs(axis.X1 + axis.X2 - 500), 1);

  // Venus turns backward: the dot marks the end of its arc.
  scene.ShowSun = false;
  scene.ShowRotAxis = false;
  scene.Planet(2)->Visible = true;
  scene.SetCenterObject(2);
  scene.SetDim(1);
  canvas.Clear();
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_EQ(CountOps(canvas, isAxis), 270);
  auto arcEnd = canvas.Ops[LastOp(canvas, isAxis)];
  const int dot = FirstOp(canvas, [](const TCanvasOp& op) { return IsEllipseIn(op, 0x0A0B0C); });
  ASSERT_GE(dot, 0);
  EXPECT_GT(dot, LastOp(canvas, isAxis));
  EXPECT_EQ(std::make_pair(canvas.Ops[dot].X1 + 2, canvas.Ops[dot].Y1 + 2),
            std::make_pair(arcEnd.X2, arcEnd.Y2));

  // Close to the Sun (nearer than Dim/5) a planet shows neither.
  scene.SetDim(4);
  canvas.Clear();
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_EQ(CountOps(canvas, isAxis), 0);
}

TEST(ScenePaint, DrawArcTurnsCounterClockwiseAboutItsAxis)
{
  TSolarSystem scene;
  Quiet(scene);
  scene.Plane = XY;
  TRecordingCanvas canvas;
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  canvas.Clear();
  scene.DrawArc({0, 0, 0}, {0, 0, 5}, 1, 0, 90, 0x111111, false, true);
  auto lines = canvas.OfKind(K::Line);
  ASSERT_EQ(lines.size(), 90u);
  EXPECT_EQ(std::make_pair(lines[0].X1, lines[0].Y1), std::make_pair(375, 250));
  EXPECT_EQ(std::make_pair(lines[89].X2, lines[89].Y2), std::make_pair(250, 125));
  auto dots = canvas.OfKind(K::Ellipse);
  ASSERT_EQ(dots.size(), 1u);
  EXPECT_EQ(std::vector<int>({dots[0].X1, dots[0].Y1, dots[0].X2, dots[0].Y2}),
            std::vector<int>({248, 123, 252, 127}));

  // About x: it starts toward decreasing latitude and turns toward +y.
  scene.Plane = ZY;
  canvas.Clear();
  scene.DrawArc({0, 0, 0}, {1, 0, 0}, 1, 0, 90, 0x111111, false, false);
  lines = canvas.OfKind(K::Line);
  ASSERT_EQ(lines.size(), 90u);
  EXPECT_EQ(std::make_pair(lines[0].X1, lines[0].Y1), std::make_pair(125, 250));
  EXPECT_EQ(std::make_pair(lines[89].X2, lines[89].Y2), std::make_pair(250, 125));

  canvas.Clear();
  scene.DrawArc({0, 0, 0}, {0, 0, 1}, 1, 90, 90, 0x111111, true, true);
  scene.DrawArc({0, 0, 0}, {0, 0, 1e-9L}, 1, 0, 90, 0x111111, true, true);
  EXPECT_TRUE(canvas.OfKind(K::Line).empty());
  EXPECT_TRUE(canvas.OfKind(K::Ellipse).empty());
}

TEST(ScenePaint, PlanetOutsideTheRectangleStillDrawsItsSatellites)
{
  TSolarSystem scene;
  scene.SetDateTime(SceneDate(2010, 1, 1));
  Quiet(scene);
  scene.ShowNames = true;
  scene.Plane = XY;
  scene.SetDim(0.005L);
  TPlanet* jupiter = scene.Planet(4);
  jupiter->Visible = true;
  // Placed by hand: 1.5 half-widths east of the Sun, with Callisto back inside.
  jupiter->Position = {0.0075L, 0, 0};
  TSatellite* callisto = jupiter->FindSatellite(143);
  callisto->Position = {-0.00599L, 0, 0};
  callisto->Color = 0x00C0C1;
  TRecordingCanvas canvas;
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_EQ(CountOps(canvas, [](const TCanvasOp& op) { return IsEllipseIn(op, 0x808000); }), 0);
  EXPECT_TRUE(canvas.Texts("Jupiter").empty());
  const int dot = FirstOp(canvas, [](const TCanvasOp& op) { return IsEllipseIn(op, 0x00C0C1); });
  ASSERT_GE(dot, 0);
  // Callisto at x = 0.00151 AU: pixel Trunc(325.5).
  EXPECT_EQ(std::vector<int>({canvas.Ops[dot].X1, canvas.Ops[dot].Y1, canvas.Ops[dot].X2,
                              canvas.Ops[dot].Y2}),
            std::vector<int>({323, 248, 328, 253}));
  auto label = canvas.Texts("Callisto (J IV)");
  ASSERT_EQ(label.size(), 1u);
  EXPECT_EQ(std::make_pair(label[0].X1, label[0].Y1), std::make_pair(325 + 2 + 2, 250 - 6));

  // A planet more than five half-widths away draws nothing, satellites included.
  jupiter->Position = {0.026L, 0, 0};
  canvas.Clear();
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_EQ(FirstOp(canvas, [](const TCanvasOp& op) { return IsEllipseIn(op, 0x00C0C1); }), -1);
}

TEST(ScenePaint, SatellitesNeedDistanceFromTheirPlanetForDotAndName)
{
  TSolarSystem scene;
  scene.SetDateTime(SceneDate(2010, 1, 1));
  Quiet(scene);
  scene.ShowNames = true;
  scene.Planet(0)->Visible = true;
  scene.SetCenterObject(0);
  TSatellite* moon = scene.Planet(0)->Satellites.Items(0);
  moon->Color = 0x00C0C1;
  const long double d = moon->PlanetocentricDistance();
  auto isMoon = [](const TCanvasOp& op) { return IsEllipseIn(op, 0x00C0C1); };
  TRecordingCanvas canvas;

  scene.SetDim(d * 201);  // nearer than Dim/200
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_EQ(CountOps(canvas, isMoon), 0);

  scene.SetDim(d * 9);  // a dot, but nearer than Dim/8: no name
  canvas.Clear();
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_EQ(CountOps(canvas, isMoon), 1);
  EXPECT_TRUE(canvas.Texts("Moon").empty());

  scene.SetDim(d * 7);
  canvas.Clear();
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  ASSERT_EQ(canvas.Texts("Moon").size(), 1u) << "the Moon has no designation";
  EXPECT_EQ(canvas.Texts("Moon")[0].Color, 0x00C0C1u);

  scene.ShowSatellites = false;
  canvas.Clear();
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_EQ(CountOps(canvas, isMoon), 0);
}

TEST(ScenePaint, MercurysNameNeedsAFifthOfTheViewFromTheSun)
{
  TSolarSystem scene;
  scene.SetDateTime(SceneDate(2010, 1, 1));
  Quiet(scene);
  scene.ShowNames = true;
  scene.Planet(1)->Visible = true;
  const long double ds = VecLength(scene.Planet(1)->Position);
  TRecordingCanvas canvas;
  scene.SetDim(ds * 4.9L);
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_EQ(canvas.Texts("Mercury").size(), 1u);
  scene.SetDim(ds * 5.1L);
  canvas.Clear();
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_TRUE(canvas.Texts("Mercury").empty());
  EXPECT_EQ(CountOps(canvas, [](const TCanvasOp& op) { return IsEllipseIn(op, 0x0080FF); }), 1);
}

TEST(ScenePaint, UserLineOffViewIsCutAtOneAndAHalfHalfWidths)
{
  TSolarSystem scene;
  scene.SetDateTime(SceneDate(2010, 1, 1));
  Quiet(scene);
  scene.Plane = XY;
  scene.SetCenterObject(0);
  scene.SetDim(0.1L);
  scene.DirectionList().Add(std::make_unique<TDirection>(0, 0x0000FF, 4));
  TRecordingCanvas canvas;
  scene.Paint(&canvas, 0, 0, 500, 500, 0, 0);  // own colour even in black on white
  auto lines = canvas.OfKind(K::Line);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].PenColor, 0x0000FFu);
  EXPECT_EQ(std::make_pair(lines[0].X1, lines[0].Y1), std::make_pair(250, 250));
  const TRectCoord& e = scene.Planet(0)->Position;
  TRectCoord d = VecSub(scene.Planet(4)->Position, e);
  TRectCoord b = VecAdd(e, VecScale(d, 0.15L / VecLength(d)));
  EXPECT_EQ(std::make_pair(lines[0].X2, lines[0].Y2),
            std::make_pair(scene.WorldToScreen(b).X, scene.WorldToScreen(b).Y));

  // A line within the view runs from body to body.
  auto& line = *scene.DirectionList().Items(0);
  line.FromObject = 9;
  line.ToObject = 1;
  const TRectCoord mercury = scene.Planet(1)->Position;
  scene.SetCenterObject(9);
  scene.SetDim(VecLength(mercury) * 10);
  canvas.Clear();
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  lines = canvas.OfKind(K::Line);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(std::make_pair(lines[0].X1, lines[0].Y1), std::make_pair(250, 250));
  EXPECT_EQ(std::make_pair(lines[0].X2, lines[0].Y2),
            std::make_pair(scene.WorldToScreen(mercury).X, scene.WorldToScreen(mercury).Y));

  // Invisible, hidden, degenerate, unknown or too short lines are not drawn.
  const std::vector<std::function<void()>> changes = {
      [&] { line.Visible = false; },
      [&] { scene.ShowDirections = false; },
      [&] { line.ToObject = 9; },
      [&] { line.ToObject = 10; },
      [&] { line.FromObject = -1; },
      [&] { scene.SetDim(VecLength(mercury) * 21); },
  };
  for (size_t i = 0; i < changes.size(); ++i) {
    line.Visible = true;
    line.FromObject = 9;
    line.ToObject = 1;
    scene.ShowDirections = true;
    scene.SetDim(VecLength(mercury) * 10);
    changes[i]();
    canvas.Clear();
    scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
    EXPECT_TRUE(canvas.OfKind(K::Line).empty()) << "change " << i;
  }
}

// Checks every primitive of a painting against the colour mode: the
// background, the frame and the user's lines keep their colours, everything
// else is drawn in `ink`.
void ExpectInk(const TRecordingCanvas& canvas, TColor background, TColor ink, TColor userLine)
{
  int fills = 0, userLines = 0;
  for (const TCanvasOp& op : canvas.Ops) {
    switch (op.Kind) {
      case K::FillRect:
        EXPECT_EQ(op.Color, fills++ == 0 ? background : 0x000000u);
        break;
      case K::SetPixel:
        EXPECT_EQ(op.Color, ink);
        break;
      case K::Line:
        if (op.PenColor == userLine)
          ++userLines;
        else
          EXPECT_EQ(op.PenColor, ink);
        break;
      case K::Ellipse:
        if (op.BrushStyle == TBrushStyle::Solid) {
          EXPECT_EQ(op.BrushColor, ink);
        }
        if (op.PenStyle == TPenStyle::Solid) {
          EXPECT_EQ(op.PenColor, ink);
        }
        break;
      case K::Text:
        EXPECT_EQ(op.Color, ink) << op.Text;
        break;
      default:
        break;
    }
  }
  EXPECT_EQ(userLines, 1);
  EXPECT_TRUE(IsLineIn(canvas.Ops.back(), userLine)) << "user lines come last";
}

void AddSyntheticFullList(TSolarSystem& scene, int count)
{
  std::uint32_t seed = 12345;
  auto next = [&] {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) / 16777216.0L;
  };
  for (int i = 0; i < count; ++i) {
    TOrbitElements el;
    el.EpochJD = 2453000.5L;
    el.AxisAU = 0.4L + 4 * next();
    el.Ecc = 0.3L * next();
    el.Incl = 30 * next();
    el.NodeLon = 360 * next();
    el.PeriLon = 360 * next();
    el.MeanLon = 360 * next();
    el.DailyMotion = 0.9856076686L / std::pow(static_cast<double>(el.AxisAU), 1.5);
    scene.AsteroidsFullList().Add(el, 0x008080);
  }
}

TEST(ScenePaint, ColourModesZeroAndOneDrawEverythingInOneInkButUserLines)
{
  TSolarSystem scene;
  scene.SetDateTime(SceneDate(2005, 6, 1));
  scene.ShowRotAxis = scene.ShowRotation = scene.ShowPerpendiculars = true;
  scene.ShowApsides = scene.ShowLineOfNodes = true;
  scene.AxesColor = 0x445566;
  TOrbitElements el;
  el.EpochJD = 2453500.5L;
  el.AxisAU = 1.6L;
  el.Ecc = 0.4L;
  el.Incl = 12;
  el.NodeLon = 40;
  el.PeriLon = 100;
  el.DailyMotion = 0.9856076686L / std::pow(1.6, 1.5);
  scene.AsteroidsList().Add(std::make_unique<TAsteroid>("Minor", el, 0x0000AA));
  AddSyntheticFullList(scene, 300);
  scene.DirectionList().Add(std::make_unique<TDirection>(0, 0x0000FF, 3));
  scene.Recalculate();

  for (int plane : {int(D3), int(XY)}) {
    scene.Plane = static_cast<TPlane>(plane);
    scene.GridMode = plane == D3 ? 2 : 1;
    TRecordingCanvas black, white, frame;
    scene.Paint(&black, 0, 0, 500, 500, 0, 0);
    ExpectInk(black, 0xFFFFFF, 0x000000, 0x0000FF);
    scene.Paint(&white, 0, 0, 500, 500, 1, 0);
    ExpectInk(white, 0x000000, 0xFFFFFF, 0x0000FF);
    scene.Paint(&frame, 0, 0, 500, 500, 0, 1);
    ExpectInk(frame, 0xFFFFFF, 0x000000, 0x0000FF);
    // Sanity: the painting holds every kind of primitive.
    for (K kind : {K::SetPixel, K::Line, K::Ellipse, K::Text})
      EXPECT_FALSE(black.OfKind(kind).empty());
  }
}

TEST(ScenePaint, SizeModesGrowDotsIntoPlusesAndBlocks)
{
  TSolarSystem scene;
  scene.SetDateTime(SceneDate(2005, 6, 1));
  Quiet(scene);
  AddSyntheticFullList(scene, 1);
  scene.Recalculate();
  const TDotBodyList& list = scene.AsteroidsFullList();
  const TRectCoord p{list.X(0), list.Y(0), list.Z(0)};
  for (int size = 0; size <= 2; ++size) {
    TRecordingCanvas canvas;
    scene.Paint(&canvas, 0, 0, 500, 500, 2, size);
    const TScreenPoint c = scene.WorldToScreen(p);
    std::set<std::pair<int, int>> pixels;
    for (const auto& op : canvas.OfKind(K::SetPixel)) {
      EXPECT_EQ(op.Color, 0x008080u);
      pixels.insert({op.X1 - c.X, op.Y1 - c.Y});
    }
    std::set<std::pair<int, int>> expected{{0, 0}};
    if (size == 1) expected.insert({{-1, 0}, {1, 0}, {0, -1}, {0, 1}});
    if (size == 2)
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) expected.insert({dx, dy});
    EXPECT_EQ(pixels, expected) << "size mode " << size;
  }
  // No minor bodies outside 1950..2050.
  scene.SetDateTime(SceneDate(2060, 6, 1));
  TRecordingCanvas canvas;
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_TRUE(canvas.OfKind(K::SetPixel).empty());
}

// A recording canvas that also offers a raw pixel surface.
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

TEST(ScenePaint, FullListDotsWrittenStraightIntoPixelsMatchTheCanvasPath)
{
  TSolarSystem scene;
  scene.SetDateTime(SceneDate(2005, 6, 1));
  Quiet(scene);
  AddSyntheticFullList(scene, 20000);
  scene.Recalculate();
  scene.SetDim(1.5L);
  for (TPlane plane : {D3, XY, XZ, ZY})
    for (int size = 0; size <= 2; ++size)
      for (int mode : {1, 2}) {
        scene.Plane = plane;
        // The rectangle overhangs the surface on the right and at the bottom.
        TRecordingCanvas recorded;
        scene.Paint(&recorded, 30, 40, 500, 500, mode, size);
        std::set<std::pair<int, int>> expected;
        for (const auto& op : recorded.OfKind(K::SetPixel))
          if (op.X1 >= 30 && op.X1 < 520 && op.Y1 >= 40 && op.Y1 < 510)
            expected.insert({op.X1, op.Y1});
        TSurfaceCanvas surface(520, 510);
        scene.Paint(&surface, 30, 40, 500, 500, mode, size);
        EXPECT_TRUE(surface.OfKind(K::SetPixel).empty());
        std::set<std::pair<int, int>> written;
        const std::uint32_t word = (mode == 1 ? 0xFFFFFFu : 0x008080u) | 0xFF000000u;
        for (int y = 0; y < 510; ++y)
          for (int x = 0; x < 520; ++x)
            if (std::uint32_t v = surface.pixels[static_cast<size_t>(y) * 520 + x]) {
              EXPECT_EQ(v, word);
              written.insert({x, y});
            }
        EXPECT_GT(written.size(), 1000u);
        EXPECT_EQ(written, expected) << "plane " << plane << " size " << size;
      }
}

}  // namespace
