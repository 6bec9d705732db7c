#include "document/SimulationDocument.h"

#include "scene/SolarSystemStream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

const fs::path Fixtures = fs::path(SOLLUMEN_TEST_DATA) / "documents";

Bytes FileBytes(const fs::path& p)
{
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A directory of its own for each test, removed afterwards.
class TempDir {
public:
  TempDir()
  {
    std::random_device rd;
    Path = fs::temp_directory_path() / ("sollumen-doc-" + std::to_string(rd()));
    fs::create_directories(Path);
  }
  ~TempDir()
  {
    std::error_code ec;
    fs::remove_all(Path, ec);
  }
  fs::path Path;
};

TDocumentReadResult Open(const fs::path& p, TSolarSystem& scene, TDocumentState& state)
{
  return OpenDocument(p, scene, state, "/program/");
}

TDocumentReadResult OpenBytes(const Bytes& b, TSolarSystem& scene, TDocumentState& state)
{
  TMemoryStream m(b);
  return OpenDocument(m, "mem.orb", scene, state, "/program/");
}

// A state unlike both the defaults and every fixture.
TDocumentState Current()
{
  TDocumentState s;
  s.ShowAllObjects = true;
  s.RealTimeMode = true;
  s.TimeStepValue = 42;
  s.TimeStepUnit = 9;
  s.MonitorVisible = true;
  s.MonitorObject = "Pluto";
  s.DescriptionColor = 0x123456;
  s.DescriptionVisible = true;
  s.TablePath = "/current/";
  s.TableName = "current.db";
  s.Description = {"old"};
  return s;
}

}  // namespace

// ---------------------------------------------------------------- old versions

TEST(DocumentVersions, OnePointZeroWithItsDefaultsAndSideFile)
{
  TSolarSystem scene;
  scene.ShowRotAxis = true;
  scene.ShowApsides = true;
  scene.ShowSatellites = false;
  scene.ShowSpacecrafts = false;
  scene.Planet(4)->Satellites.Items(1)->Visible = false;
  TDocumentState state = Current();
  const TDocumentReadResult r = Open(Fixtures / "doc10.orb", scene, state);

  EXPECT_EQ(r.Version, TDocumentVersion::V10);
  EXPECT_FALSE(r.Failed()) << r.Error;
  EXPECT_TRUE(r.OfferConversion());
  // The scene: values read and the defaults of the first documents.
  EXPECT_EQ(DateRecToJD(scene.DateTime()), 2451545.25L);
  EXPECT_EQ(scene.GridColor, 0x123456u);
  EXPECT_EQ(scene.PerpendicularColor, 0x123456u);
  EXPECT_EQ(scene.AxesColor, 0x123456u);
  EXPECT_EQ(scene.BgColor, 0x000000u);
  EXPECT_EQ(scene.SunColor, 0x00FFFFu);
  EXPECT_TRUE(scene.ShowSun);
  EXPECT_FALSE(scene.ShowRotAxis);
  EXPECT_FALSE(scene.ShowApsides);
  EXPECT_TRUE(scene.ShowSatellites);
  EXPECT_FALSE(scene.ShowSpacecrafts);  // not in the document
  EXPECT_FALSE(scene.ShowOrbits);
  EXPECT_TRUE(scene.ShowNames);
  EXPECT_EQ(scene.GridMode, 1);
  EXPECT_EQ(scene.Dim(), 5);  // stored as an integer
  EXPECT_EQ(scene.CenterObject(), 4);
  EXPECT_NEAR(static_cast<double>(scene.RotY()), -15, 1e-12);
  EXPECT_EQ(scene.Plane, XZ);
  EXPECT_FALSE(scene.Planet(8)->Visible);
  EXPECT_EQ(scene.Planet(2)->Color, 0x030303u);
  EXPECT_EQ(scene.GetObjectColor(12), OldDocumentSatelliteColor);
  EXPECT_EQ(scene.Planet(6)->Satellites.Items(0)->Color, OldDocumentSatelliteColor);
  EXPECT_FALSE(scene.Planet(4)->Satellites.Items(1)->Visible);  // untouched
  ASSERT_EQ(scene.AsteroidsList().Count(), 2);
  EXPECT_EQ(scene.AsteroidsList().Items(1)->Name, "Hygi\u00eba");  // Windows-1252
  EXPECT_EQ(scene.AsteroidsList().Items(1)->Color, 0x00A0A0u);
  EXPECT_TRUE(scene.AsteroidsList().Items(0)->Visible);
  // The window's part.
  EXPECT_EQ(state.MainWindow, (std::array<int, 4>{10, 20, 800, 600}));
  EXPECT_EQ(state.MonitorPos, (std::array<int, 2>{100, 200}));
  EXPECT_EQ(state.DescriptionWindow, (std::array<int, 4>{30, 40, 300, 200}));
  EXPECT_TRUE(state.ShowAllObjects);
  EXPECT_TRUE(state.RealTimeMode);  // not in the document: as it was
  EXPECT_EQ(state.TimeStepValue, 2.5L);
  EXPECT_EQ(state.TimeStepUnit, 1);
  EXPECT_TRUE(state.MonitorVisible);
  EXPECT_EQ(state.MonitorObject, "Mars");
  EXPECT_EQ(state.DescriptionColor, 0xE0FFFFu);
  EXPECT_TRUE(r.TableChanged);
  EXPECT_EQ(state.TablePath, "C:\\Data\\");
  EXPECT_EQ(state.TableName, "MPC (10000).db");
  // The side file is shown although the document says the window was hidden.
  EXPECT_TRUE(state.DescriptionVisible);
  EXPECT_EQ(state.Description, (std::vector<std::string>{"{\\rtf1\\ansi First line\\par",
                                                         "S\u00e9cond\\par", "}"}));
}

TEST(DocumentVersions, OnePointZeroWithoutSideFileHasAnEmptyDescription)
{
  TempDir dir;
  fs::copy_file(Fixtures / "doc10.orb", dir.Path / "alone.orb");
  TSolarSystem scene;
  TDocumentState state = Current();
  const TDocumentReadResult r = Open(dir.Path / "alone.orb", scene, state);
  EXPECT_FALSE(r.Failed());
  EXPECT_TRUE(state.Description.empty());
  EXPECT_FALSE(state.DescriptionVisible);  // as the document says
}

// A description is read only when wanted, and never beyond its bound: a
// side file too large is not read at all, a record too large is read
// through and dropped, and both are told; what draws only the scene reads
// neither.
TEST(DocumentVersions, DescriptionsAreBoundedAndReadOnlyWhenWanted)
{
  TempDir dir;
  fs::copy_file(Fixtures / "doc10.orb", dir.Path / "huge.orb");
  const fs::path side = dir.Path / "huge.rtf";
  fs::copy_file(Fixtures / "doc10.rtf", side);
  TSolarSystem scene;
  TDocumentState state = Current();
  TDocumentReadResult r = OpenDocument(dir.Path / "huge.orb", scene, state, "/program/",
                                       TDescriptionUse::PassOver);
  EXPECT_FALSE(r.Failed());
  EXPECT_TRUE(state.Description.empty());
  EXPECT_FALSE(state.DescriptionVisible);  // as the document says
  EXPECT_EQ(r.Notice, "");
  fs::resize_file(side, MaxDescriptionBytes + 1);  // sparse: nothing to write
  state = Current();
  r = Open(dir.Path / "huge.orb", scene, state);
  EXPECT_FALSE(r.Failed());
  EXPECT_FALSE(state.DescriptionVisible);  // nothing to show
  EXPECT_TRUE(state.Description.empty());
  EXPECT_EQ(r.Notice, "The description file \"" + side.string() +
                          "\" is larger than 16 MB and was not read.");
  fs::resize_file(side, MaxDescriptionBytes);  // at the bound: read
  state = Current();
  r = Open(dir.Path / "huge.orb", scene, state);
  EXPECT_EQ(r.Notice, "");
  EXPECT_TRUE(state.DescriptionVisible);
  EXPECT_FALSE(state.Description.empty());

  // A record of lines beyond the bound in a 1.7 document; the rest of the
  // document still reads.
  state = Current();
  state.Description.assign(17, std::string(1 << 20, 'x'));
  state.MonitorObject = "Titan";
  const fs::path doc = dir.Path / "long.orb";
  SaveDocument(doc, scene, state);
  for (TDescriptionUse use : {TDescriptionUse::Keep, TDescriptionUse::PassOver}) {
    TDocumentState got = Current();
    r = OpenDocument(doc, scene, got, "/program/", use);
    EXPECT_FALSE(r.Failed());
    EXPECT_EQ(got.MonitorObject, "Titan");
    EXPECT_TRUE(got.Description.empty());
    EXPECT_EQ(r.Notice, use == TDescriptionUse::Keep
                            ? "The description in \"" + doc.string() +
                                  "\" is larger than 16 MB and was not read."
                            : "");
  }
}

TEST(DocumentVersions, OnePointFiveWithItsDefaults)
{
  TSolarSystem scene;
  scene.ShowSpacecrafts = false;
  scene.ShowDirections = false;
  scene.ShowSatellites = false;
  scene.Planet(5)->Satellites.Items(0)->Visible = false;
  TDocumentState state = Current();
  const TDocumentReadResult r = Open(Fixtures / "doc15.orb", scene, state);

  EXPECT_EQ(r.Version, TDocumentVersion::V15);  // the header had blanks around it
  EXPECT_FALSE(r.Failed()) << r.Error;
  EXPECT_TRUE(r.OfferConversion());
  EXPECT_EQ(DateRecToJD(scene.DateTime()), 2440000.5L);
  EXPECT_TRUE(scene.CanShowObjects());
  EXPECT_EQ(scene.SunColor, 0x00EEFFu);
  EXPECT_TRUE(scene.ShowLineOfNodes);
  EXPECT_TRUE(scene.ShowSatellites);
  EXPECT_FALSE(scene.ShowSpacecrafts);
  EXPECT_FALSE(scene.ShowDirections);
  EXPECT_EQ(scene.CenterObject(), 3);
  EXPECT_EQ(scene.Plane, ZY);
  EXPECT_FALSE(scene.Planet(1)->Visible);
  EXPECT_EQ(scene.GetObjectColor(12), OldDocumentSatelliteColor);
  EXPECT_EQ(scene.Planet(5)->Satellites.Items(4)->Color, OldDocumentSatelliteColor);
  EXPECT_FALSE(scene.Planet(5)->Satellites.Items(0)->Visible);
  // Vesta, a second Saturn, and the record of body number 12 dropped.
  ASSERT_EQ(scene.AsteroidsList().Count(), 2);
  EXPECT_EQ(scene.AsteroidsList().Items(0)->Name, "Vesta");
  EXPECT_EQ(scene.AsteroidsList().Items(1)->BodyNumber, 5);
  EXPECT_NE(scene.AsteroidsList().Items(1), scene.Planet(5));
  EXPECT_EQ(scene.GetObjectColor(11), 0x00C0C0u);

  EXPECT_FALSE(state.ShowAllObjects);
  EXPECT_TRUE(state.RealTimeMode);
  EXPECT_EQ(state.TimeStepValue, 7);  // stored as a 64-bit integer
  EXPECT_EQ(state.TimeStepUnit, 10);
  EXPECT_FALSE(state.MonitorVisible);
  EXPECT_EQ(state.MonitorObject, "Vesta");
  EXPECT_TRUE(r.TableChanged);
  EXPECT_EQ(state.TablePath, "/data/tables/");
  EXPECT_EQ(state.TableName, "numbered.db");
  EXPECT_EQ(state.Description, (std::vector<std::string>{"{\\rtf1 one\\par", "two}"}));
  EXPECT_FALSE(state.MainWindow.has_value());
}

TEST(DocumentVersions, OnePointSixLeavesSpacecraftSettingsAlone)
{
  TSolarSystem scene;
  scene.ShowSpacecrafts = false;
  scene.SetObjectColor(13, 0x0000AA);
  scene.SpacecraftTrajectoryMode = stmNone;
  TDocumentState state = Current();
  const TDocumentReadResult r = Open(Fixtures / "doc16.orb", scene, state);

  EXPECT_EQ(r.Version, TDocumentVersion::V16);
  EXPECT_FALSE(r.Failed()) << r.Error;
  EXPECT_TRUE(r.OfferConversion());
  EXPECT_FALSE(scene.ShowSpacecrafts);
  EXPECT_EQ(scene.GetObjectColor(13), 0x0000AAu);
  EXPECT_EQ(scene.SpacecraftTrajectoryMode, stmNone);
  EXPECT_FALSE(scene.ShowSatellites);
  EXPECT_FALSE(scene.ShowDirections);
  EXPECT_EQ(scene.Dim(), 0.5L);
  EXPECT_EQ(scene.CenterObject(), 0);
  EXPECT_FALSE(scene.Planet(8)->Visible);
  EXPECT_FALSE(scene.Planet(5)->Satellites.Items(3)->Visible);
  EXPECT_TRUE(scene.Planet(5)->Satellites.Items(2)->Visible);
  EXPECT_EQ(scene.Planet(5)->Satellites.Items(2)->Color, 0x00CC00u);  // colour index 12
  ASSERT_EQ(scene.DirectionList().Count(), 2);
  EXPECT_EQ(scene.DirectionList().Items(0)->FromObject, 9);
  EXPECT_FALSE(scene.DirectionList().Items(1)->Visible);
  ASSERT_EQ(scene.AsteroidsList().Count(), 1);
  // The stored position is not used: the body is computed for the instant.
  EXPECT_NE(scene.AsteroidsList().Items(0)->Position.X, 1.5L);
  EXPECT_NE(scene.AsteroidsList().Items(0)->Position.X, 0);

  EXPECT_EQ(state.TimeStepValue, -3);
  EXPECT_EQ(state.MonitorObject, "Io \u2609");  // UTF-16 in the file
  EXPECT_EQ(state.DescriptionColor, 0x00FFFFu);
  EXPECT_FALSE(state.DescriptionVisible);
  EXPECT_EQ(state.TableName, "comets.db");
  ASSERT_EQ(state.Description.size(), 2u);
  EXPECT_EQ(state.Description[0].size(), 311u);  // a long string
}

TEST(DocumentVersions, OnePointSevenKeepsTheTableInUse)
{
  TSolarSystem scene;
  scene.SetDim(3);
  TDocumentState state = Current();
  const TDocumentReadResult r = Open(Fixtures / "doc17.orb", scene, state);

  EXPECT_EQ(r.Version, TDocumentVersion::V17);
  EXPECT_FALSE(r.Failed()) << r.Error;
  EXPECT_FALSE(r.OfferConversion());
  EXPECT_EQ(scene.Dim(), 3);             // 500 is out of range
  EXPECT_EQ(scene.CenterObject(), 9);    // 12 is no centre
  EXPECT_FALSE(scene.ShowSpacecrafts);
  EXPECT_EQ(scene.GetObjectColor(13), 0x777777u);
  EXPECT_EQ(scene.SpacecraftTrajectoryPast, 20);
  EXPECT_EQ(scene.SpacecraftTrajectoryFuture, 5);
  EXPECT_EQ(scene.SpacecraftTrajectoryMode, stmUser);
  EXPECT_FALSE(scene.ShowPlanetocentricTrajectories);
  EXPECT_FALSE(scene.Planet(0)->Satellites.Items(0)->Visible);
  EXPECT_EQ(scene.AsteroidsList().Items(1)->Name, "\u010cesk\u00e1");
  EXPECT_EQ(r.SpacecraftFiles, (std::vector<std::string>{"voyager1.spc", "missing.spc"}));
  EXPECT_EQ(scene.SpacecraftsList().Count(), 0);

  EXPECT_FALSE(r.TableChanged);
  EXPECT_EQ(state.TablePath, "/current/");
  EXPECT_EQ(state.TableName, "current.db");
  EXPECT_EQ(r.DocumentTablePath, "/elsewhere/");
  EXPECT_EQ(r.DocumentTableName, "other.db");
  EXPECT_FALSE(state.RealTimeMode);
  EXPECT_EQ(state.TimeStepUnit, 0);
  EXPECT_EQ(state.MonitorObject, "");
  EXPECT_TRUE(state.DescriptionVisible);
  EXPECT_EQ(state.Description, std::vector<std::string>{"{\\rtf1 Gr\u00fc\u00dfe\\par}"});
}

// ---------------------------------------------------------------- failures

TEST(DocumentFailures, ReadErrorKeepsWhatWasReadAndOffersNoConversion)
{
  TSolarSystem scene;
  TDocumentState state = Current();
  const fs::path path = Fixtures / "moons.orb";
  const TDocumentReadResult r = Open(path, scene, state);
  EXPECT_EQ(r.Version, TDocumentVersion::V16);
  EXPECT_EQ(r.Error, "Error reading file " + path.string() + ".");
  EXPECT_FALSE(r.OfferConversion());
  // The scene as far as read: everything before the Earth's second moon.
  EXPECT_EQ(DateRecToJD(scene.DateTime()), 2455000.75L);
  EXPECT_EQ(scene.GridColor, 0x050505u);
  EXPECT_EQ(scene.GetObjectColor(0), 0x00AA00u);
  EXPECT_EQ(scene.GetObjectColor(1), DefaultObjectColors[1]);
  EXPECT_EQ(scene.Planet(0)->Satellites.Items(0)->Color, 0x00BB00u);
  // The window's part: only the description was cleared before reading.
  EXPECT_TRUE(state.Description.empty());
  EXPECT_FALSE(state.DescriptionVisible);
  EXPECT_TRUE(state.RealTimeMode);
  EXPECT_EQ(state.TablePath, "/current/");
  EXPECT_FALSE(r.TableChanged);
}

TEST(DocumentFailures, UnknownHeaderChangesNothing)
{
  TSolarSystem scene;
  const TDateRec before = scene.DateTime();
  TDocumentState state = Current();
  Bytes b = {0x06, 0x07, 's', 'l', ' ', 'v', '1', '.', '8'};
  const TDocumentReadResult r = OpenBytes(b, scene, state);
  EXPECT_EQ(r.Version, TDocumentVersion::None);
  EXPECT_FALSE(r.Failed());
  EXPECT_FALSE(r.OfferConversion());
  EXPECT_EQ(scene.DateTime(), before);
  EXPECT_EQ(state.Description, std::vector<std::string>{"old"});
  EXPECT_TRUE(state.DescriptionVisible);
  // Headers are compared with their case.
  b = {0x06, 0x07, 'S', 'L', ' ', 'V', '1', '.', '7'};
  EXPECT_EQ(OpenBytes(b, scene, state).Version, TDocumentVersion::None);
}

TEST(DocumentFailures, AnythingButATextIsTakenForTheFirstVersion)
{
  TSolarSystem scene;
  TDocumentState state;
  for (const Bytes& b : {Bytes{}, Bytes{0x09}, Bytes{0x02, 0x01}, Bytes{0x06, 0x05, 's'}}) {
    TMemoryStream m(b);
    EXPECT_EQ(IdentifyDocument(m), TDocumentVersion::V10);
    const TDocumentReadResult r = OpenBytes(b, scene, state);
    EXPECT_EQ(r.Version, TDocumentVersion::V10);
    EXPECT_EQ(r.Error, "Error reading file mem.orb.");
    EXPECT_FALSE(r.OfferConversion());
  }
}

TEST(DocumentFailures, MissingFileCannotBeOpened)
{
  TSolarSystem scene;
  TDocumentState state = Current();
  const fs::path p = fs::temp_directory_path() / "sollumen-no-such-dir" / "x.orb";
  try {
    Open(p, scene, state);
    FAIL() << "opened a missing file";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + p.string() + "\". ", 0), 0u)
        << e.what();
  }
  EXPECT_EQ(state.Description, std::vector<std::string>{"old"});

  // A directory is no document either.
  TempDir dir;
  EXPECT_THROW(Open(dir.Path, scene, state), EFileError);
}

// ---------------------------------------------------------------- saving

TEST(DocumentSaving, WritesTheCurrentVersionAndReadsBackEveryValue)
{
  TempDir dir;
  TSolarSystem scene;
  TDocumentState state;
  ASSERT_FALSE(Open(Fixtures / "doc16.orb", scene, state).Failed());
  state.RealTimeMode = true;
  state.MonitorObject = "Titan";
  state.Description = {"{\\rtf1", "Gr\u00fc\u00dfe \u2609", "", "}"};
  const fs::path p = dir.Path / "saved.orb";
  SaveDocument(p, scene, state);

  const Bytes b = FileBytes(p);
  ASSERT_GE(b.size(), 9u);
  EXPECT_EQ((Bytes{b.begin(), b.begin() + 9}), (Bytes{0x06, 0x07, 's', 'l', ' ', 'v', '1', '.', '7'}));

  TSolarSystem back;
  TDocumentState got = Current();
  const TDocumentReadResult r = Open(p, back, got);
  EXPECT_EQ(r.Version, TDocumentVersion::V17);
  EXPECT_FALSE(r.Failed()) << r.Error;
  EXPECT_EQ(got.ShowAllObjects, state.ShowAllObjects);
  EXPECT_TRUE(got.RealTimeMode);
  EXPECT_EQ(got.TimeStepValue, state.TimeStepValue);
  EXPECT_EQ(got.TimeStepUnit, state.TimeStepUnit);
  EXPECT_EQ(got.MonitorVisible, state.MonitorVisible);
  EXPECT_EQ(got.MonitorObject, "Titan");
  EXPECT_EQ(got.DescriptionColor, state.DescriptionColor);
  EXPECT_EQ(got.DescriptionVisible, state.DescriptionVisible);
  EXPECT_EQ(r.DocumentTablePath, state.TablePath);
  EXPECT_EQ(r.DocumentTableName, state.TableName);
  EXPECT_EQ(got.Description, state.Description);
  EXPECT_EQ(back.DateTime(), scene.DateTime());
  EXPECT_EQ(back.ShowSpacecrafts, scene.ShowSpacecrafts);
  EXPECT_EQ(back.DirectionList().Count(), 2);

  // Saved again from what was read, the file is the same.
  SaveDocument(dir.Path / "again.orb", back, [&] {
    TDocumentState s = got;
    s.TablePath = r.DocumentTablePath;
    s.TableName = r.DocumentTableName;
    return s;
  }());
  EXPECT_EQ(FileBytes(dir.Path / "again.orb"), b);
}

TEST(DocumentSaving, ConvertingAnOldDocumentInPlace)
{
  TempDir dir;
  const fs::path p = dir.Path / "old.orb";
  fs::copy_file(Fixtures / "doc15.orb", p);
  TSolarSystem scene;
  TDocumentState state;
  const TDocumentReadResult first = Open(p, scene, state);
  ASSERT_TRUE(first.OfferConversion());
  SaveDocument(p, scene, state);  // the answer Yes
  const TDocumentReadResult second = Open(p, scene, state);
  EXPECT_EQ(second.Version, TDocumentVersion::V17);
  EXPECT_FALSE(second.OfferConversion());
  // Nothing but the document is left in the directory.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path), fs::directory_iterator()), 1);
}

TEST(DocumentSaving, FailureNamesTheFileAndLeavesTheOldOneAlone)
{
  TempDir dir;
  TSolarSystem scene;
  TDocumentState state;
  const fs::path missing = dir.Path / "no-such-dir" / "x.orb";
  try {
    SaveDocument(missing, scene, state);
    FAIL() << "saved into a missing directory";
  } catch (const EDocumentWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Could not create file " + missing.string() + ".");
  }

  // When the new file cannot take the old one's place, the old one stays and
  // no temporary file is left behind.
  const fs::path target = dir.Path / "keep.orb";
  fs::create_directories(target / "inside");
  try {
    SaveDocument(target, scene, state);
    FAIL() << "replaced a directory";
  } catch (const EDocumentWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Could not create file " + target.string() + ".");
  }
  EXPECT_TRUE(fs::exists(target / "inside"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path), fs::directory_iterator()), 1);
}
