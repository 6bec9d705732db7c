// Minor bodies pulled by the planets in the scene: the body sits on the
// orbit drawn, a document keeps the rows' elements and shows the same
// positions when reopened, Keplerian motion is the two-body ellipse, and the
// settings file keeps the choice in a section of its own.
#include "document/SettingsFile.h"
#include "document/SimulationDocument.h"
#include "scene/SolarSystem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

TOrbitElements Apophis()
{
  TOrbitElements el;
  el.EpochJD = 2461200.5L;
  el.Incl = 3.34100L;
  el.NodeLon = 203.89365L;
  el.PeriLon = 203.89365L + 126.67957L;
  el.AxisAU = 0.9223592L;
  el.DailyMotion = 0.9856262L / (el.AxisAU * std::sqrt(el.AxisAU));
  el.Ecc = 0.1911492L;
  el.MeanLon = el.PeriLon + 175.33040L;
  return el;
}

long double Gap(const TRectCoord& a, const TRectCoord& b) { return VecLength(VecSub(a, b)); }

struct TScratch {
  std::filesystem::path Path = std::filesystem::temp_directory_path() /
                               ("sollumen-motion-" + std::to_string(getpid()));
  TScratch() { std::filesystem::create_directories(Path); }
  ~TScratch() { std::filesystem::remove_all(Path); }
};

// A year after the approach of 2029, as the scene shows it.
constexpr long double AfterApproach = 2462605.5L;

TEST(MinorBodyScene, PerturbedBodiesSitOnTheirOrbitAndReopenWhereTheyWere)
{
  TScratch dir;
  TSolarSystem scene;
  scene.AsteroidsList().Add(std::make_unique<TAsteroid>("Apophis", Apophis(), 0xFFFFFF));
  scene.SetDateTime(JDToDateRec(0, AfterApproach));
  ASSERT_TRUE(scene.TakeMotionFailures().empty());
  const TOEObject& body = *scene.AsteroidsList().Items(0);
  // Pulled out of its two-body ellipse by the Earth: far from it a year on.
  EXPECT_GT(Gap(body.Position, KeplerPosition(Apophis(), AfterApproach)), 0.1L);
  // The orbit drawn is the osculating one: the body sits on it, and the
  // elements stored stay the row's.
  const TOrbitElements& osculating = body.OrbitElements();
  EXPECT_LT(Gap(KeplerPosition(osculating, AfterApproach), body.Position), 1e-9L);
  EXPECT_GT(std::fabs(osculating.AxisAU - Apophis().AxisAU), 0.05L);
  EXPECT_EQ(body.Elements.AxisAU, Apophis().AxisAU);

  TDocumentState state;
  SaveDocument(dir.Path / "apophis.orb", scene, state);
  TSolarSystem again;
  TDocumentState read;
  OpenDocument(dir.Path / "apophis.orb", again, read, dir.Path.string());
  again.SetDateTime(JDToDateRec(0, AfterApproach));
  ASSERT_EQ(again.AsteroidsList().Count(), 1);
  EXPECT_LT(Gap(again.AsteroidsList().Items(0)->Position, body.Position), 1e-12L);
  EXPECT_EQ(again.AsteroidsList().Items(0)->Elements.MeanLon, Apophis().MeanLon);

  // Keplerian motion is exactly the two-body position of the elements.
  again.MinorBodyMotion = TMinorBodyMotion::Kepler;
  again.Recalculate();
  const TOEObject& kepler = *again.AsteroidsList().Items(0);
  const TRectCoord expected = KeplerPosition(Apophis(), AfterApproach);
  EXPECT_EQ(kepler.Position.X, expected.X);
  EXPECT_EQ(kepler.Position.Y, expected.Y);
  EXPECT_EQ(kepler.Position.Z, expected.Z);
  EXPECT_EQ(kepler.OrbitElements().AxisAU, Apophis().AxisAU);
}

TEST(MinorBodyScene, BodiesThatCannotBeIntegratedAreNamedOnceAndMoveOnTheirEllipse)
{
  TSolarSystem scene;
  TOrbitElements old = Apophis();
  old.EpochJD = 2000000.5L;  // far before the perturbers' tables
  scene.AsteroidsList().Add(std::make_unique<TAsteroid>("Ancient", old, 0xFFFFFF));
  scene.SetDateTime(JDToDateRec(0, 2460000.5L));
  const auto failed = scene.TakeMotionFailures();
  ASSERT_EQ(failed.size(), 1u);
  EXPECT_EQ(failed[0].rfind("Ancient", 0), 0u);
  const TRectCoord expected = KeplerPosition(old, 2460000.5L);
  EXPECT_EQ(scene.AsteroidsList().Items(0)->Position.X, expected.X);
  scene.SetDateTime(JDToDateRec(0, 2460100.5L));
  EXPECT_TRUE(scene.TakeMotionFailures().empty());
}

TEST(MinorBodyScene, TheSettingsFileKeepsTheMotionInItsOwnSection)
{
  TScratch dir;
  const auto ini = dir.Path / "sl.ini";
  TSettings s;
  WriteSettingsFile(ini, s);
  auto contents = [&] {
    std::ifstream in(ini);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  };
  // The default leaves the file as older builds wrote it.
  EXPECT_EQ(contents().find("MinorBodies"), std::string::npos);
  s.PerturbedMotion = false;
  WriteSettingsFile(ini, s);
  const std::string text = contents();
  EXPECT_LT(text.find("[MinorBodies]"), text.find("Motion=kepler"));
  EXPECT_NE(text.find("Motion=kepler"), std::string::npos);
  EXPECT_FALSE(ReadSettingsFile(ini, TSettings{}, dir.Path.string()).PerturbedMotion);
  s.PerturbedMotion = true;
  WriteSettingsFile(ini, s);
  EXPECT_NE(contents().find("Motion=perturbed"), std::string::npos);
  EXPECT_TRUE(ReadSettingsFile(ini, TSettings{}, dir.Path.string()).PerturbedMotion);
}

}  // namespace
