// Spacecraft in the scene: the dot and its label, the trajectory in its five
// modes, the trajectory relative to the centre planet, the colour index, and
// the spacecraft of the scene record.
#include "SceneTestSupport.h"
#include "TrajectoryBytes.h"

#include "scene/SolarSystemStream.h"

#include <gtest/gtest.h>

namespace {

using K = TCanvasOpKind;

constexpr TColor CraftColor = 0x00AA00;

// A scene of nothing but spacecraft, in the ecliptic plane, at 2010 Jan 1.
void Prepare(TSolarSystem& scene)
{
  scene.SetDateTime(SceneDate(2010, 1, 1));
  Quiet(scene);
  scene.ShowOrbits = true;  // trajectories belong to the orbit layer
  scene.Plane = XY;
  scene.SetDim(2);
}

// 41 daily points from 20 days before the instant to 20 days after, along a
// line 0.02 AU apart (2.5 pixels at Dim 2 and 500 pixels).
TSpacecraft& AddCraft(TSolarSystem& scene)
{
  auto c = std::make_unique<TSpacecraft>(CraftColor);
  c->Name = "Probe";
  const long double jd = scene.JD();
  c->Equinox = jd - 3650;  // ten years before: the points are precessed
  c->Positions.FirstJD = jd - 20;
  c->Positions.LastJD = jd + 20;
  for (int k = -20; k <= 20; ++k) c->Positions.Add(jd + k, {1 + 0.02L * k, 0.3L, 0.01L});
  TSpacecraft* craft = scene.SpacecraftsList().Add(std::move(c));
  scene.Recalculate();
  return *craft;
}

std::vector<TCanvasOp> Dots(const TRecordingCanvas& canvas)
{
  std::vector<TCanvasOp> dots;
  for (const TCanvasOp& op : canvas.OfKind(K::SetPixel))
    if (op.Color == CraftColor) dots.push_back(op);
  return dots;
}

TScreenPoint Pixel(const TSolarSystem& scene, const TSpacecraft& c, const TRectCoord& v)
{
  return scene.WorldToScreen(c.PositionOfDate(v, scene.JD()));
}

TEST(SpacecraftDrawing, DotAndLabelAtThePositionOfDate)
{
  TSolarSystem scene;
  Prepare(scene);
  scene.SpacecraftTrajectoryMode = stmNone;
  scene.ShowNames = true;
  TSpacecraft& c = AddCraft(scene);
  TRecordingCanvas canvas;
  scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);

  const TScreenPoint p = Pixel(scene, c, {1, 0.3L, 0.01L});
  const auto ellipses = canvas.OfKind(K::Ellipse);
  ASSERT_EQ(ellipses.size(), 1u);
  EXPECT_EQ(ellipses[0].BrushColor, CraftColor);
  EXPECT_EQ(ellipses[0].X1, p.X - 2);
  EXPECT_EQ(ellipses[0].Y1, p.Y - 2);
  EXPECT_EQ(ellipses[0].X2, p.X + 3);
  const auto labels = canvas.Texts("Probe");
  ASSERT_EQ(labels.size(), 1u);
  EXPECT_EQ(labels[0].X1, p.X + 2 + 2);
  EXPECT_EQ(labels[0].Y1, p.Y - TRecordingCanvas::CharHeight / 2);
  EXPECT_EQ(labels[0].Color, CraftColor);
  EXPECT_TRUE(Dots(canvas).empty());  // no trajectory in stmNone

  // Precession over ten years moves the dot off the unreduced position.
  const TScreenPoint raw = scene.WorldToScreen({1, 0.3L, 0.01L});
  EXPECT_FALSE(raw == p);

  // Black on white: the dot is black.
  canvas.Clear();
  scene.Paint(&canvas, 0, 0, 500, 500, 0, 0);
  EXPECT_EQ(canvas.OfKind(K::Ellipse).at(0).BrushColor, 0x000000u);
}

TEST(SpacecraftDrawing, NothingWithoutDataOrWhenHidden)
{
  TSolarSystem scene;
  Prepare(scene);
  scene.SpacecraftTrajectoryMode = stmAll;
  TSpacecraft& c = AddCraft(scene);
  auto drawn = [&] {
    TRecordingCanvas canvas;
    scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
    return canvas.OfKind(K::Ellipse).size() + Dots(canvas).size();
  };
  EXPECT_EQ(drawn(), 1u + 41u);

  c.Visible = false;
  EXPECT_EQ(drawn(), 0u);
  c.Visible = true;
  scene.ShowSpacecrafts = false;
  EXPECT_EQ(drawn(), 0u);
  scene.ShowSpacecrafts = true;
  scene.ShowOrbits = false;  // the dot stays, the trajectory goes
  EXPECT_EQ(drawn(), 1u);
  scene.ShowOrbits = true;

  // Outside the span: neither spacecraft nor trajectory.
  TDateRec later = SceneDate(2010, 1, 21, 0, 1);
  scene.SetDateTime(later);
  EXPECT_EQ(drawn(), 0u);
  scene.SetDateTime(SceneDate(2010, 1, 21));  // LastJD itself
  EXPECT_EQ(drawn(), 1u + 41u);
}

TEST(SpacecraftDrawing, TheFiveTrajectoryWindows)
{
  TSolarSystem scene;
  Prepare(scene);
  TSpacecraft& c = AddCraft(scene);
  const long double jd = scene.JD();
  auto window = [&](TSpacecraftTrajectoryMode mode) {
    scene.SpacecraftTrajectoryMode = mode;
    TRecordingCanvas canvas;
    scene.Paint(&canvas, 0, 0, 500, 500, 2, 0);
    std::vector<int> days;
    // Each dot is matched back to the day of its point.
    for (const TCanvasOp& op : Dots(canvas))
      for (int k = -20; k <= 20; ++k) {
        const TScreenPoint p = Pixel(scene, c, c.Positions.Items(k + 20).Position);
        if (p.X == op.X1 && p.Y == op.Y1) days.push_back(k);
      }
    return days;
  };
  auto range = [](int from, int to) {
    std::vector<int> v;
    for (int k = from; k <= to; ++k) v.push_back(k);
    return v;
  };

  EXPECT_EQ(window(stmNone), std::vector<int>{});
  EXPECT_EQ(window(stmPast), range(-20, 0));
  EXPECT_EQ(window(stmFuture), range(0, 20));
  EXPECT_EQ(window(stmAll), range(-20, 20));
  scene.SpacecraftTrajectoryPast = 5;
  scene.SpacecraftTrajectoryFuture = 2.5L;
  EXPECT_EQ(window(stmUser), range(-5, 2));
  // Clipped to the data span.
  scene.SpacecraftTrajectoryPast = 100;
  scene.SpacecraftTrajectoryFuture = 0;
  EXPECT_EQ(window(stmUser), range(-20, 0));
  (void)jd;
}

TEST(SpacecraftDrawing, PlanetocentricTrajectoryAboutTheCentre)
{
  TSolarSystem scene;
  Prepare(scene);
  scene.SpacecraftTrajectoryMode = stmAll;
  TSpacecraft& c = AddCraft(scene);
  const long double jd = scene.JD();
  TSpacecraftPositionList& mars = c.PlanetocentricPositions[3];
  mars.FirstJD = jd - 1;
  mars.LastJD = jd + 1;
  for (int k = 0; k < 5; ++k) mars.Add(jd - 1 + 0.5L * k, {0.004L * k - 0.008L, 0.002L, 0});

  struct TResult {
    int Dots = 0;
    bool Caption = false;
    std::vector<TCanvasOp> Ops;
  };
  auto paint = [&] {
    TRecordingCanvas canvas;
    scene.Paint(&canvas, 10, 20, 500, 400, 2, 0);
    TResult r;
    r.Dots = static_cast<int>(Dots(canvas).size());
    const auto caption = canvas.Texts("planetocentric trajectory");
    r.Caption = !caption.empty();
    if (r.Caption) {
      EXPECT_EQ(caption[0].X1, 10 + 500 - 25 * TRecordingCanvas::CharWidth - 5);
      EXPECT_EQ(caption[0].Y1, 20 + 400 - TRecordingCanvas::CharHeight - 3);
      EXPECT_EQ(caption[0].Color, CraftColor);
    }
    r.Ops = Dots(canvas);
    return r;
  };

  scene.SetCenterObject(3);
  scene.SetDim(0.02L);
  TResult on = paint();
  EXPECT_TRUE(on.Caption);
  ASSERT_EQ(on.Dots, 5);
  for (int k = 0; k < 5; ++k) {
    const TScreenPoint p = scene.WorldToScreen(
        VecAdd(c.PositionOfDate(mars.Items(k).Position, jd), scene.CenterPosition()));
    EXPECT_EQ(on.Ops[k].X1, p.X) << k;
    EXPECT_EQ(on.Ops[k].Y1, p.Y) << k;
  }

  // 0.2 AU is still close enough; beyond it the heliocentric points return.
  scene.SetDim(0.2L);
  EXPECT_TRUE(paint().Caption);
  scene.SetDim(0.21L);
  EXPECT_FALSE(paint().Caption);
  scene.SetDim(0.02L);

  scene.ShowPlanetocentricTrajectories = false;
  EXPECT_FALSE(paint().Caption);
  scene.ShowPlanetocentricTrajectories = true;

  scene.SetCenterObject(0);  // points about Mars only
  EXPECT_FALSE(paint().Caption);
  scene.SetCenterObject(9);
  EXPECT_FALSE(paint().Caption);
  scene.SetCenterObject(3);

  // Outside the planetocentric span, the heliocentric trajectory.
  scene.SetDateTime(SceneDate(2010, 1, 3));
  TResult off = paint();
  EXPECT_FALSE(off.Caption);

  // In the planetocentric window the trajectory mode still applies.
  scene.SetDateTime(SceneDate(2010, 1, 1));
  scene.SpacecraftTrajectoryMode = stmPast;
  on = paint();
  EXPECT_TRUE(on.Caption);
  EXPECT_EQ(on.Dots, 3);
  scene.SpacecraftTrajectoryMode = stmNone;
  EXPECT_FALSE(paint().Caption);
}

TEST(SpacecraftScene, ColourIndexThirteenRecoloursTheSpacecraft)
{
  TSolarSystem scene;
  Prepare(scene);
  TSpacecraft& c = AddCraft(scene);
  scene.SetObjectColor(13, 0x102030);
  EXPECT_EQ(c.Color, 0x102030u);
  EXPECT_EQ(scene.GetObjectColor(13), 0x102030u);
}

// ---------------------------------------------------------------- records

std::vector<std::uint8_t> SceneRecord(TSolarSystem& scene)
{
  TMemoryStream m;
  {
    TWriter w(m);
    WriteScene(w, scene);
  }
  return m.Bytes();
}

void ReadRecord(const std::vector<std::uint8_t>& bytes, TSolarSystem& scene,
                const std::string& programDir, std::vector<std::string>& names)
{
  TMemoryStream m(bytes);
  TReader r(m);
  ReadScene17(r, scene, programDir, names);
}

TTrajectoryBytes Trajectory(const std::string& name)
{
  TTrajectoryBytes b;
  b.Header(name, 4001, 2451545.0, "")
      .Block(2455190.5, 2455200.5, {{2455190.5, 1, 0, 0}, {2455200.5, 0, 1, 0}})
      .EmptyBlocks(9);
  return b;
}

TEST(SpacecraftScene, RecordKeepsFileNamesAndSkipsMissingFiles)
{
  TTempDir dir("spc-record");
  Trajectory("Alpha").WriteTo(dir.Path / "alpha.spc");
  Trajectory("Beta").WriteTo(dir.Path / "beta.spc");
  Trajectory("Gamma").WriteTo(dir.Path / "gamma.spc");

  TSolarSystem scene;
  scene.SetDateTime(SceneDate(2010, 1, 1));
  scene.SetObjectColor(13, 0x0000C0);
  for (const char* n : {"alpha.spc", "beta.spc", "gamma.spc"})
    scene.SpacecraftsList().AddFromFile(dir.Path / n, scene.GetObjectColor(13));
  scene.SpacecraftTrajectoryMode = stmUser;
  const auto bytes = SceneRecord(scene);

  std::filesystem::remove(dir.Path / "beta.spc");
  TSolarSystem other;
  std::vector<std::string> names;
  ReadRecord(bytes, other, dir.Dir(), names);
  EXPECT_EQ(names, (std::vector<std::string>{"alpha.spc", "beta.spc", "gamma.spc"}));
  ASSERT_EQ(other.SpacecraftsList().Count(), 2);
  EXPECT_EQ(other.SpacecraftsList().Items(0)->Name, "Alpha");
  EXPECT_EQ(other.SpacecraftsList().Items(1)->Name, "Gamma");
  EXPECT_EQ(other.SpacecraftsList().Items(1)->TrajectoryFile, dir.Dir() + "gamma.spc");
  EXPECT_EQ(other.SpacecraftsList().Items(0)->Color, 0x0000C0u);
  EXPECT_EQ(other.SpacecraftTrajectoryMode, stmUser);
  // Recomputed for the document's instant.
  const TSpacecraft& alpha = *other.SpacecraftsList().Items(0);
  EXPECT_GT(VecLength(alpha.Position), 0);

  // Written again: only the names of the spacecraft present.
  std::vector<std::string> again;
  TSolarSystem third;
  ReadRecord(SceneRecord(other), third, dir.Dir(), again);
  EXPECT_EQ(again, (std::vector<std::string>{"alpha.spc", "gamma.spc"}));
}

TEST(SpacecraftScene, RecordNeverLooksOutsideTheProgramDirectory)
{
  TTempDir dir("spc-outside");
  std::filesystem::create_directory(dir.Path / "program");
  Trajectory("Outside").WriteTo(dir.Path / "outside.spc");

  TSolarSystem scene;
  auto bytes = SceneRecord(scene);  // ends with the count 0: tag 2, byte 0
  ASSERT_GE(bytes.size(), 2u);
  bytes.resize(bytes.size() - 2);
  TTrajectoryBytes tail;
  tail.Int(2).String("../outside.spc").String(dir.Path.string() + "/outside.spc");
  bytes.insert(bytes.end(), tail.Data.begin(), tail.Data.end());

  std::vector<std::string> names;
  ReadRecord(bytes, scene, dir.Dir() + "program/", names);
  EXPECT_EQ(names.size(), 2u);
  EXPECT_EQ(scene.SpacecraftsList().Count(), 0);
}

TEST(SpacecraftScene, DamagedFileNamedInRecordFailsTheReading)
{
  TTempDir dir("spc-record-bad");
  Trajectory("Good").WriteTo(dir.Path / "good.spc");
  TSolarSystem scene;
  scene.SpacecraftsList().AddFromFile(dir.Path / "good.spc", 0);
  const auto bytes = SceneRecord(scene);

  TTrajectoryBytes damaged = Trajectory("Good");
  damaged.Data.resize(damaged.Data.size() / 2);
  damaged.WriteTo(dir.Path / "good.spc");
  TSolarSystem other;
  std::vector<std::string> names;
  EXPECT_THROW(ReadRecord(bytes, other, dir.Dir(), names), EReadError);
  EXPECT_EQ(other.SpacecraftsList().Count(), 0);
}

}  // namespace
