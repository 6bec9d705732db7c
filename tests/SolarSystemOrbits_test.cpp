// The orbit layer and the satellite overlays on the recording canvas: the
// point walk's pixels, perpendiculars, apsides with their passage dates,
// lines of nodes and the order of the layer.
#include "SceneTestSupport.h"

#include "astro/Mathematics.h"
#include "scene/ColFunc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <set>

namespace {

using K = TCanvasOpKind;

TOrbitElements MinorElements(long double a, long double e)
{
  TOrbitElements el;
  el.EpochJD = 2453500.5L;
  el.AxisAU = a;
  el.Ecc = e;
  el.Incl = 12;
  el.NodeLon = 40;
  el.PeriLon = 100;
  el.MeanLon = 10;
  el.DailyMotion = 0.9856076686L / std::pow(static_cast<double>(a), 1.5);
  return el;
}

bool IsPixelIn(const TCanvasOp& op, TColor c) { return op.Kind == K::SetPixel && op.Color == c; }

bool StartsWith(const TCanvasOp& op, const std::string& prefix)
{
  return op.Kind == K::Text && op.Text.rfind(prefix, 0) == 0;
}

// The Julian date of a label "X  (yyyy/mm/dd)" or "X  (yyyy/mm/dd  hh:mm)".
long double LabelJD(const std::string& text, bool withTime)
{
  static const std::regex dateOnly(R"([PA]  \((\d{4})/(\d{2})/(\d{2})\))");
  static const std::regex dateTime(R"([PA]  \((\d{4})/(\d{2})/(\d{2})  (\d{2}):(\d{2})\))");
  std::smatch m;
  if (!std::regex_match(text, m, withTime ? dateTime : dateOnly)) return -1;
  TDateRec r = SceneDate(std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]));
  if (withTime) {
    r.Hour = std::stoi(m[4]);
    r.Minute = std::stoi(m[5]);
  }
  return DateRecToJD(r);
}

TEST(SceneOrbits, PointWalkPlotsEveryThirdPointOfALevelThreeOrbit)
{
  TSolarSystem scene;
  scene.SetDateTime(SceneDate(2005, 6, 1));
  Quiet(scene);
  scene.ShowOrbits = true;
  TPlanet* earth = scene.Planet(0);
  earth->Visible = true;
  scene.SetDim(3.5L);  // a = 1 lies between Dim/4 and Dim/3
  TRecordingCanvas canvas;
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  std::vector<std::pair<int, int>> expected;
  WalkOrbitPoints(3, [&](int k) {
    const TScreenPoint p = scene.WorldToScreen(earth->OrbitPoint(k));
    expected.push_back({p.X, p.Y});
  });
  std::vector<std::pair<int, int>> plotted;
  for (const auto& op : canvas.OfKind(K::SetPixel)) {
    EXPECT_EQ(op.Color, 0xFF0000u);
    plotted.push_back({op.X1, op.Y1});
  }
  EXPECT_EQ(plotted.size(), 120u);
  EXPECT_EQ(plotted, expected);

  // An orbit that spans the view gets all 359 distinct points.
  scene.SetDim(1.5L);
  canvas.Clear();
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_EQ(canvas.OfKind(K::SetPixel).size(), 359u);
}

TEST(SceneOrbits, EccentricAndSmallOrbitsAreDrawnDenser)
{
  TSolarSystem scene;
  scene.SetDateTime(SceneDate(2005, 6, 1));
  Quiet(scene);
  scene.ShowOrbits = true;
  scene.SetDim(2);
  auto count = [&](long double a, long double e) {
    scene.AsteroidsList().Clear();
    scene.AsteroidsList().Add(std::make_unique<TAsteroid>("Minor", MinorElements(a, e), 0x00AA00));
    scene.Recalculate();
    TRecordingCanvas canvas;
    scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
    int shown = 0;
    auto* body = dynamic_cast<TOrbitalObject*>(scene.AsteroidsList().Items(0));
    for (int k = 1; k <= 359; ++k) {
      const TRectCoord& p = body->OrbitPoint(k);
      const TScreenPoint px = scene.WorldToScreen(p);
      if (scene.IsInView(p) && scene.Inside(px.X, px.Y)) ++shown;
    }
    const int pixels = CountOps(canvas, [](const TCanvasOp& op) { return IsPixelIn(op, 0x00AA00); });
    return std::make_pair(pixels, shown);
  };
  // e = 0.95 at level 4: step 4 - 3 = 1, every point that is in view.
  auto [p1, all1] = count(0.45L, 0.95L);
  EXPECT_EQ(p1, all1);
  EXPECT_LT(p1, 359) << "points close to the Sun are hidden";
  // e = 0.75 at level 2: step 1.
  auto [p2, all2] = count(0.9L, 0.75L);
  EXPECT_EQ(p2, all2);
  // Level 0 still draws every point.
  auto [p3, all3] = count(0.3L, 0.1L);
  EXPECT_EQ(p3, all3);
  EXPECT_EQ(p3, 359);
  // e = 0.1 at level 4: every fourth point.
  auto [p4, all4] = count(0.45L, 0.1L);
  EXPECT_EQ(p4, 90);
  (void)all4;
}

TEST(SceneOrbits, NothingOfTheLayerWithoutOrbits)
{
  TSolarSystem scene;
  scene.SetDateTime(SceneDate(2005, 6, 1));
  scene.ShowOrbits = false;
  scene.ShowApsides = scene.ShowLineOfNodes = scene.ShowPerpendiculars = true;
  scene.AxesColor = 0x010203;
  TRecordingCanvas canvas;
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_EQ(FirstOp(canvas, [](const TCanvasOp& op) { return StartsWith(op, "P"); }), -1);
  EXPECT_EQ(FirstOp(canvas, [](const TCanvasOp& op) { return StartsWith(op, "A"); }), -1);
  EXPECT_TRUE(canvas.OfKind(K::SetPixel).empty());
  // Only the grid's lines are drawn.
  for (const auto& op : canvas.OfKind(K::Line)) EXPECT_EQ(op.PenColor, 0x505050u);
}

TEST(SceneOrbits, LayerOrderPerpendicularsThenEachOrbitWithApsidesAndNodes)
{
  TSolarSystem scene;
  scene.SetDateTime(SceneDate(2005, 6, 1));
  Quiet(scene);
  scene.ShowOrbits = scene.ShowPerpendiculars = scene.ShowApsides = scene.ShowLineOfNodes = true;
  scene.Plane = XZ;
  scene.PerpendicularColor = 0x303030;
  scene.Planet(3)->Visible = true;  // Mars, 0x0000FF
  scene.Planet(8)->Visible = true;  // Pluto, far outside but still walked
  scene.AsteroidsList().Add(std::make_unique<TAsteroid>("Minor", MinorElements(1.6L, 0.4L), 0x00AA00));
  scene.Recalculate();
  TRecordingCanvas canvas;
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);

  auto perp = [](const TCanvasOp& op) { return IsLineIn(op, 0x303030); };
  // Mars (level 1: 359 points) then the minor body (359); Pluto is level 0.
  auto perps = std::vector<TCanvasOp>();
  for (const auto& op : canvas.Ops)
    if (perp(op)) perps.push_back(op);
  ASSERT_EQ(perps.size(), 2u * 359);
  const TOrbitalObject* mars = scene.Planet(3);
  const auto* minor = dynamic_cast<TOrbitalObject*>(scene.AsteroidsList().Items(0));
  EXPECT_EQ(perps[0].X1, scene.WorldToScreen(mars->OrbitPoint(1)).X);
  EXPECT_EQ(perps[0].Y1, scene.WorldToScreen(mars->OrbitPoint(1)).Y);
  EXPECT_EQ(perps[359].Y1, scene.WorldToScreen(minor->OrbitPoint(1)).Y);
  for (const auto& op : perps) {  // down to the ecliptic: vertical in the XZ plane
    EXPECT_EQ(op.X1, op.X2);
    EXPECT_EQ(op.Y2, 250);
  }

  const TColor marsHalf = ScaleColor(0x0000FF, 50), minorHalf = ScaleColor(0x00AA00, 50);
  const int lastPerp = LastOp(canvas, perp);
  const int marsP = FirstOp(canvas, [&](const TCanvasOp& op) { return StartsWith(op, "P  (") && op.Color == marsHalf; });
  const int marsA = FirstOp(canvas, [&](const TCanvasOp& op) { return StartsWith(op, "A  (") && op.Color == marsHalf; });
  const int marsNode = FirstOp(canvas, [&](const TCanvasOp& op) { return IsLineIn(op, marsHalf); });
  const int marsDot = FirstOp(canvas, [](const TCanvasOp& op) { return IsPixelIn(op, 0x0000FF); });
  const int marsLastDot = LastOp(canvas, [](const TCanvasOp& op) { return IsPixelIn(op, 0x0000FF); });
  const int minorP = FirstOp(canvas, [&](const TCanvasOp& op) { return op.Kind == K::Text && op.Text == "P" && op.Color == minorHalf; });
  const int minorNode = FirstOp(canvas, [&](const TCanvasOp& op) { return IsLineIn(op, minorHalf); });
  const int minorDot = FirstOp(canvas, [](const TCanvasOp& op) { return IsPixelIn(op, 0x00AA00); });
  const int minorLastDot = LastOp(canvas, [](const TCanvasOp& op) { return IsPixelIn(op, 0x00AA00); });
  const int marsDisc = FirstOp(canvas, [](const TCanvasOp& op) { return IsEllipseIn(op, 0x0000FF); });
  for (int i : {marsP, marsA, marsNode, marsDot, minorP, minorNode, minorDot, marsDisc}) ASSERT_GE(i, 0);
  EXPECT_LT(lastPerp, marsP);
  EXPECT_LT(marsP, marsA);
  EXPECT_LT(marsA, marsNode);
  EXPECT_LT(marsNode, marsDot);
  EXPECT_LT(marsLastDot, minorP);
  EXPECT_LT(minorP, minorNode);
  EXPECT_LT(minorNode, minorDot);
  EXPECT_LT(minorLastDot, marsDisc) << "bodies come after the orbit layer";

  // Two nodes, each a line from the Sun to a point on the ecliptic.
  EXPECT_EQ(CountOps(canvas, [&](const TCanvasOp& op) { return IsLineIn(op, marsHalf); }), 2);
  for (const auto& op : canvas.Ops)
    if (IsLineIn(op, marsHalf) || IsLineIn(op, minorHalf)) {
      EXPECT_EQ(std::make_pair(op.X1, op.Y1), std::make_pair(250, 250));
      EXPECT_NEAR(op.Y2, 250, 1);
    }
  // The apsides are far from the walk's points: Pluto's lie beyond 5 Dim.
  EXPECT_EQ(CountOps(canvas, [](const TCanvasOp& op) { return IsPixelIn(op, 0xA0A0A0); }), 0);
  EXPECT_EQ(canvas.Texts("P").size(), 1u);

  // Minor bodies are left out entirely outside 1950..2050.
  scene.SetDateTime(SceneDate(2070, 6, 1));
  canvas.Clear();
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_EQ(CountOps(canvas, perp), 359);
  EXPECT_EQ(CountOps(canvas, [&](const TCanvasOp& op) { return IsLineIn(op, minorHalf); }), 0);
  EXPECT_EQ(CountOps(canvas, [](const TCanvasOp& op) { return IsPixelIn(op, 0x00AA00); }), 0);
}

TEST(SceneOrbits, ApsidesOfThePlanetsCarryTheNextPassages)
{
  TSolarSystem scene;
  scene.SetDateTime(SceneDate(2005, 6, 1));
  Quiet(scene);
  scene.ShowOrbits = scene.ShowApsides = true;
  TPlanet* earth = scene.Planet(0);
  earth->Visible = true;
  TRecordingCanvas canvas;
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  const int p = FirstOp(canvas, [](const TCanvasOp& op) { return StartsWith(op, "P  ("); });
  const int a = FirstOp(canvas, [](const TCanvasOp& op) { return StartsWith(op, "A  ("); });
  ASSERT_GE(p, 0);
  ASSERT_GE(a, 0);
  const long double tP = LabelJD(canvas.Ops[p].Text, false);
  const long double tA = LabelJD(canvas.Ops[a].Text, false);
  // Perihelion early in January, aphelion early in July: both still ahead.
  EXPECT_GE(tP, scene.JD() - 1);
  EXPECT_LE(tP, scene.JD() + 366);
  EXPECT_EQ(canvas.Ops[p].Text.substr(4, 8), "2006/01/");
  EXPECT_EQ(canvas.Ops[a].Text.substr(4, 8), "2005/07/");
  EXPECT_GE(tA, scene.JD());

  // The label beside the point of mean anomaly 0, then a dot on it.
  TOrbitElements el = earth->Elements;
  el.MeanLon = el.PeriLon;
  const TScreenPoint at = scene.WorldToScreen(KeplerPosition(el, el.EpochJD));
  EXPECT_EQ(std::make_pair(canvas.Ops[p].X1, canvas.Ops[p].Y1), std::make_pair(at.X + 4, at.Y - 6));
  EXPECT_EQ(canvas.Ops[p].Color, ScaleColor(0xFF0000, 50));
  const TCanvasOp& dot = canvas.Ops[p + 1];
  EXPECT_EQ(dot.Kind, K::Ellipse);
  EXPECT_EQ(std::vector<int>({dot.X1, dot.Y1, dot.X2, dot.Y2}),
            std::vector<int>({at.X - 2, at.Y - 2, at.X + 3, at.Y + 3}));
  EXPECT_EQ(dot.BrushColor, ScaleColor(0xFF0000, 50));

  // Pluto and the minor bodies: the letters alone.
  earth->Visible = false;
  scene.Planet(8)->Visible = true;
  scene.AsteroidsList().Add(std::make_unique<TAsteroid>("Minor", MinorElements(30, 0.2L), 0x00AA00));
  scene.Recalculate();
  scene.SetDim(50);
  canvas.Clear();
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_EQ(canvas.Texts("P").size(), 2u);
  EXPECT_EQ(canvas.Texts("A").size(), 2u);
  EXPECT_EQ(FirstOp(canvas, [](const TCanvasOp& op) { return StartsWith(op, "P  ("); }), -1);
}

TEST(SceneOrbits, UranusAndNeptuneBeyondTheirPassageTablesShowLettersOnly)
{
  TSolarSystem scene;
  Quiet(scene);
  scene.ShowOrbits = scene.ShowApsides = true;
  scene.Planet(6)->Visible = scene.Planet(7)->Visible = true;
  scene.SetDim(40);
  scene.SetDateTime(SceneDate(4000, 1, 1));
  TRecordingCanvas canvas;
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_EQ(canvas.Texts("P").size(), 2u);
  EXPECT_EQ(canvas.Texts("A").size(), 2u);

  scene.SetDateTime(SceneDate(2000, 1, 1));
  canvas.Clear();
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_TRUE(canvas.Texts("P").empty());
  EXPECT_EQ(CountOps(canvas, [](const TCanvasOp& op) { return StartsWith(op, "P  ("); }), 2);
  // Uranus passed perihelion in 1966 and reaches it again in 2050.
  const int uranusP = FirstOp(canvas, [](const TCanvasOp& op) { return StartsWith(op, "P  ("); });
  const long double t = LabelJD(canvas.Ops[uranusP].Text, false);
  EXPECT_GE(t, scene.JD());
  EXPECT_LE(t, scene.JD() + 84 * 365.25L);
}

// A scene around planet `index` showing satellite `number` alone.
void AroundSatellite(TSolarSystem& scene, int index, int number, long double dim)
{
  scene.SetDateTime(SceneDate(2005, 6, 1, 12));
  Quiet(scene);
  TPlanet* p = scene.Planet(index);
  p->Visible = true;
  for (int i = 0; i < p->Satellites.Count(); ++i)
    p->Satellites.Items(i)->Visible = p->Satellites.Items(i)->BodyNumber == number;
  p->FindSatellite(number)->Color = 0x00C0C1;
  scene.SetCenterObject(index);
  scene.SetDim(dim);
  scene.ShowOrbits = true;
}

TEST(SceneOrbits, SatelliteApsidesCarryDateAndTimeBelowFiveDays)
{
  TSolarSystem scene;
  AroundSatellite(scene, 4, 140, 0.004L);  // Io, 1.769 days
  scene.ShowApsides = true;
  TRecordingCanvas canvas;
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  auto labels = std::vector<TCanvasOp>();
  for (const auto& op : canvas.Ops)
    if (StartsWith(op, "P  (") || StartsWith(op, "A  (")) labels.push_back(op);
  ASSERT_EQ(labels.size(), 2u);
  const long double io = scene.Planet(4)->FindSatellite(140)->Period;
  for (const auto& op : labels) {
    const long double t = LabelJD(op.Text, true);
    EXPECT_GE(t, scene.JD() - 1.0L / 1440) << op.Text;
    EXPECT_LE(t, scene.JD() + io) << op.Text;
    EXPECT_EQ(op.Color, 0x00C0C1u) << "full brightness";
  }
  EXPECT_EQ(labels[0].Text[0], 'P');

  AroundSatellite(scene, 5, 164, 0.012L);  // Titan, 15.95 days
  scene.ShowApsides = true;
  canvas.Clear();
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  labels.clear();
  for (const auto& op : canvas.Ops)
    if (StartsWith(op, "P  (") || StartsWith(op, "A  (")) labels.push_back(op);
  ASSERT_EQ(labels.size(), 2u);
  for (const auto& op : labels) {
    const long double t = LabelJD(op.Text, false);
    EXPECT_GE(t, scene.JD() - 1) << op.Text;
    EXPECT_LE(t, scene.JD() + 16) << op.Text;
  }
}

TEST(SceneOrbits, SatelliteOrbitPerpendicularsAndNodes)
{
  TSolarSystem scene;
  AroundSatellite(scene, 4, 140, 0.004L);  // Io beyond Dim/3: every point
  scene.Plane = XZ;
  scene.ShowPerpendiculars = scene.ShowLineOfNodes = true;
  scene.PerpendicularColor = 0x303030;
  TRecordingCanvas canvas;
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  const TSatellite* io = scene.Planet(4)->FindSatellite(140);
  const TRectCoord jupiter = scene.Planet(4)->Position;
  // Jupiter's own orbit may add a perpendicular down to the ecliptic, far
  // below; Io's end on the plane through Jupiter, the middle row.
  std::vector<std::pair<int, int>> starts, expected;
  for (const auto& op : canvas.Ops)
    if (IsLineIn(op, 0x303030) && op.Y2 == 250) {
      EXPECT_EQ(op.X1, op.X2);
      starts.push_back({op.X1, op.Y1});
    }
  WalkOrbitPoints(1, [&](int k) {
    const TScreenPoint p = scene.WorldToScreen(VecAdd(io->OrbitPoint(k), jupiter));
    expected.push_back({p.X, p.Y});
  });
  EXPECT_EQ(starts.size(), 359u);
  EXPECT_EQ(starts, expected);
  // Orbit dots: level 1, each point without a view test.
  EXPECT_EQ(CountOps(canvas, [](const TCanvasOp& op) { return IsPixelIn(op, 0x00C0C1); }), 359);
  // Nodes: two lines from Jupiter, at half brightness.
  const TColor half = ScaleColor(0x00C0C1, 50);
  int count = 0;
  for (const auto& op : canvas.Ops)
    if (IsLineIn(op, half)) {
      ++count;
      EXPECT_EQ(std::make_pair(op.X1, op.Y1), std::make_pair(250, 250));
      EXPECT_NEAR(op.Y2, 250, 1);
    }
  EXPECT_EQ(count, 2);

  // Level 0 (closer than Dim/5): the dot but no orbit and no overlays.
  scene.SetDim(0.02L);
  canvas.Clear();
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_EQ(CountOps(canvas, [](const TCanvasOp& op) { return IsPixelIn(op, 0x00C0C1); }), 0);
  EXPECT_EQ(CountOps(canvas, [](const TCanvasOp& op) { return IsLineIn(op, 0x303030) && op.Y2 == 250; }), 0);
  EXPECT_EQ(CountOps(canvas, [](const TCanvasOp& op) { return IsEllipseIn(op, 0x00C0C1); }), 1);
}

TEST(SceneOrbits, CompanionsOfTethysAndDioneDrawNoOrbit)
{
  for (int number : {159, 160, 162}) {
    TSolarSystem scene;
    AroundSatellite(scene, 5, number, 0.003L);
    TRecordingCanvas canvas;
    scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
    EXPECT_EQ(CountOps(canvas, [](const TCanvasOp& op) { return IsPixelIn(op, 0x00C0C1); }), 0);
    EXPECT_EQ(CountOps(canvas, [](const TCanvasOp& op) { return IsEllipseIn(op, 0x00C0C1); }), 1);
  }
  TSolarSystem scene;
  AroundSatellite(scene, 5, 158, 0.003L);  // Tethys itself
  TRecordingCanvas canvas;
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
  EXPECT_GT(CountOps(canvas, [](const TCanvasOp& op) { return IsPixelIn(op, 0x00C0C1); }), 100);
}

}  // namespace
