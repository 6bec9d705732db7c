// The scene record in its four layouts.
#include "scene/SolarSystemStream.h"

#include "bodies/SSClassesStream.h"

#include <cmath>
#include <filesystem>

namespace {

constexpr int PlanetCount = 9;
// The fewest bytes of a satellite group (a Boolean, an Integer, three
// Floats) and of a String.
constexpr std::uint64_t MinSatelliteBytes = 1 + 2 + 3 * 2;
constexpr std::uint64_t MinStringBytes = 2;

TColor ReadColor(TReader& r) { return static_cast<TColor>(r.ReadIntValue()); }

// programDir + name for a plain file name; empty for a name with a directory
// part, which would lead out of the program's directory.
std::filesystem::path ProgramFilePath(const std::string& programDir, const std::string& name)
{
  if (name.empty() || name == "." || name == ".." ||
      name.find_first_of("/\\") != std::string::npos)
    return {};
  return std::filesystem::path(programDir + name);
}

void WriteColor(TWriter& w, TColor c) { w.WriteIntValue(static_cast<std::int32_t>(c)); }

void WritePosition(TWriter& w, const TRectCoord& p)
{
  w.WriteFloatValue(p.X);
  w.WriteFloatValue(p.Y);
  w.WriteFloatValue(p.Z);
}

void SkipPosition(TReader& r)
{
  r.ReadFloatValue();
  r.ReadFloatValue();
  r.ReadFloatValue();
}

TPlanet& PlanetAt(TSolarSystem& scene, int index)
{
  TPlanet* p = scene.Planet(index);
  if (!p) throw EReadError(InvalidPropertyValueMessage);  // the scene always has nine
  return *p;
}

// The instant is applied in UT. An instant the date conversions cannot hold
// (not a number, or beyond their range) is damaged data: no document the
// program wrote carries one.
void ReadInstant(TReader& r, TSolarSystem& scene)
{
  const long double jd = r.ReadFloatValue();
  if (!(jd >= MinJD && jd <= MaxJD)) throw EReadError(InvalidPropertyValueMessage);
  scene.SetDateTime(JDToDateRec(0, jd));
}

void ReadColors(TReader& r, TSolarSystem& scene)
{
  scene.GridColor = ReadColor(r);
  scene.BgColor = ReadColor(r);
  scene.SunColor = ReadColor(r);
  scene.PerpendicularColor = ReadColor(r);
  scene.AxesColor = ReadColor(r);
}

// ShowOrbits to ShowLineOfNodes, in record order; common to 1.5 - 1.7.
void ReadFlags(TReader& r, TSolarSystem& scene)
{
  scene.ShowOrbits = r.ReadBoolValue();
  scene.ShowNames = r.ReadBoolValue();
  scene.ShowSun = r.ReadBoolValue();
  scene.ShowRotAxis = r.ReadBoolValue();
  scene.ShowRotation = r.ReadBoolValue();
  scene.ShowPerpendiculars = r.ReadBoolValue();
  scene.ShowApsides = r.ReadBoolValue();
  scene.ShowLineOfNodes = r.ReadBoolValue();
}

// GridMode, Dim, CenterObject, RotX, RotY, RotZ, Plane.
void ReadView(TReader& r, TSolarSystem& scene)
{
  scene.GridMode = r.ReadIntValue();
  scene.SetDim(r.ReadFloatValue());
  const int center = r.ReadIntValue();
  // Setting the same centre again would only recompute the same positions.
  if (center != scene.CenterObject()) scene.SetCenterObject(center);
  scene.SetRotX(r.ReadFloatValue());
  scene.SetRotY(r.ReadFloatValue());
  scene.SetRotZ(r.ReadFloatValue());
  scene.Plane = static_cast<TPlane>(r.ReadIntValue());
}

// One group per planet with its satellites (1.6 and 1.7).
void ReadPlanetGroups(TReader& r, TSolarSystem& scene)
{
  for (int i = 0; i < PlanetCount; ++i) {
    TPlanet& p = PlanetAt(scene, i);
    p.Visible = r.ReadBoolValue();
    scene.SetObjectColor(i, ReadColor(r));
    SkipPosition(r);
    const std::int32_t m = r.ReadCountValue(MinSatelliteBytes, "satellites");
    for (std::int32_t j = 0; j < m; ++j) {
      // A group announcing more satellites than the planet has is damaged.
      if (j >= p.Satellites.Count()) throw EReadError(InvalidPropertyValueMessage);
      TSatellite& s = *p.Satellites.Items(j);
      s.Visible = r.ReadBoolValue();
      s.Color = ReadColor(r);
      SkipPosition(r);
    }
  }
}

// Visibility and colour of the planets in the older layouts: nine Booleans,
// then nine colours.
void ReadPlanetLists(TReader& r, TSolarSystem& scene)
{
  for (int i = 0; i < PlanetCount; ++i) PlanetAt(scene, i).Visible = r.ReadBoolValue();
  for (int i = 0; i < PlanetCount; ++i) scene.SetObjectColor(i, ReadColor(r));
}

// Items 1 - 29 of the 1.7 layout without ShowSpacecrafts, which 1.6 lacks.
void ReadScene16Part(TReader& r, TSolarSystem& scene, bool withSpacecraftFlag)
{
  ReadInstant(r, scene);
  ReadColors(r, scene);
  ReadFlags(r, scene);
  scene.ShowSatellites = r.ReadBoolValue();
  if (withSpacecraftFlag) scene.ShowSpacecrafts = r.ReadBoolValue();
  scene.ShowDirections = r.ReadBoolValue();
  ReadView(r, scene);
  ReadPlanetGroups(r, scene);
  ReadLines(r, scene.DirectionList());
  ReadBodiesV3(r, scene.AsteroidsList());
  scene.SetObjectColor(11, ReadColor(r));
  scene.SetObjectColor(12, ReadColor(r));
}

}  // namespace

void WriteScene(TWriter& w, TSolarSystem& scene)
{
  w.WriteFloatValue(DateRecToJD(scene.DateTime()));
  WriteColor(w, scene.GridColor);
  WriteColor(w, scene.BgColor);
  WriteColor(w, scene.SunColor);
  WriteColor(w, scene.PerpendicularColor);
  WriteColor(w, scene.AxesColor);
  w.WriteBoolValue(scene.ShowOrbits);
  w.WriteBoolValue(scene.ShowNames);
  w.WriteBoolValue(scene.ShowSun);
  w.WriteBoolValue(scene.ShowRotAxis);
  w.WriteBoolValue(scene.ShowRotation);
  w.WriteBoolValue(scene.ShowPerpendiculars);
  w.WriteBoolValue(scene.ShowApsides);
  w.WriteBoolValue(scene.ShowLineOfNodes);
  w.WriteBoolValue(scene.ShowSatellites);
  w.WriteBoolValue(scene.ShowSpacecrafts);
  w.WriteBoolValue(scene.ShowDirections);
  w.WriteIntValue(scene.GridMode);
  w.WriteFloatValue(scene.Dim());
  w.WriteIntValue(scene.CenterObject());
  w.WriteFloatValue(scene.RotX());
  w.WriteFloatValue(scene.RotY());
  w.WriteFloatValue(scene.RotZ());
  w.WriteIntValue(scene.Plane);

  for (int i = 0; i < PlanetCount; ++i) {
    const TPlanet* p = scene.Planet(i);
    if (!p) throw EWriteError(StreamWriteErrorMessage);  // the scene always has nine
    w.WriteBoolValue(p->Visible);
    WriteColor(w, scene.GetObjectColor(i));
    WritePosition(w, p->Position);
    w.WriteIntValue(p->Satellites.Count());
    for (int j = 0; j < p->Satellites.Count(); ++j) {
      const TSatellite& s = *p->Satellites.Items(j);
      w.WriteBoolValue(s.Visible);
      WriteColor(w, s.Color);
      WritePosition(w, s.Position);
    }
  }
  WriteLines(w, scene.DirectionList());
  WriteBodies(w, scene.AsteroidsList());
  WriteColor(w, scene.GetObjectColor(11));
  WriteColor(w, scene.GetObjectColor(12));
  WriteColor(w, scene.GetObjectColor(13));
  w.WriteFloatValue(scene.SpacecraftTrajectoryPast);
  w.WriteFloatValue(scene.SpacecraftTrajectoryFuture);
  w.WriteIntValue(scene.SpacecraftTrajectoryMode);
  w.WriteBoolValue(scene.ShowPlanetocentricTrajectories);
  // Then the file names (no directory) of the spacecraft's trajectory files.
  const TSpacecraftList& craft = scene.SpacecraftsList();
  w.WriteIntValue(craft.Count());
  for (int i = 0; i < craft.Count(); ++i)
    w.WriteStringValue(std::filesystem::path(craft.Items(i)->TrajectoryFile).filename().string());
}

void ReadScene17(TReader& r, TSolarSystem& scene, const std::string& programDir,
                 std::vector<std::string>& spacecraftFiles)
{
  ReadScene16Part(r, scene, true);
  scene.SetObjectColor(13, ReadColor(r));
  scene.SpacecraftTrajectoryPast = r.ReadFloatValue();
  scene.SpacecraftTrajectoryFuture = r.ReadFloatValue();
  scene.SpacecraftTrajectoryMode = static_cast<TSpacecraftTrajectoryMode>(r.ReadIntValue());
  scene.ShowPlanetocentricTrajectories = r.ReadBoolValue();
  // Each trajectory file is looked for in the program's directory; a missing
  // one is skipped silently, a damaged one fails the reading.
  const std::int32_t n = r.ReadCountValue(MinStringBytes, "spacecraft");
  for (std::int32_t i = 0; i < n; ++i) {
    spacecraftFiles.push_back(r.ReadStringValue());
    const std::filesystem::path path = ProgramFilePath(programDir, spacecraftFiles.back());
    std::error_code ec;
    if (!path.empty() && std::filesystem::is_regular_file(path, ec))
      scene.SpacecraftsList().AddFromFile(path, scene.GetObjectColor(13));
  }
  scene.Recalculate();
  scene.Redraw();
}

void ReadScene16(TReader& r, TSolarSystem& scene)
{
  ReadScene16Part(r, scene, false);
  scene.Recalculate();
  scene.Redraw();
}

void ReadScene15(TReader& r, TSolarSystem& scene)
{
  ReadInstant(r, scene);
  ReadColors(r, scene);
  ReadFlags(r, scene);
  scene.ShowSatellites = true;
  ReadView(r, scene);
  ReadPlanetLists(r, scene);
  ReadBodiesV2(r, scene.AsteroidsList());
  scene.SetObjectColor(11, ReadColor(r));
  scene.SetObjectColor(12, OldDocumentSatelliteColor);
  scene.Redraw();
}

void ReadScene10(TReader& r, TSolarSystem& scene)
{
  scene.GridColor = ReadColor(r);
  // The colours and switches these documents lack, set before the instant.
  scene.BgColor = 0x000000;
  scene.SunColor = 0x00FFFF;
  scene.PerpendicularColor = scene.GridColor;
  scene.AxesColor = scene.GridColor;
  scene.ShowSun = true;
  scene.ShowRotAxis = false;
  scene.ShowRotation = false;
  scene.ShowPerpendiculars = false;
  scene.ShowApsides = false;
  scene.ShowLineOfNodes = false;
  scene.ShowSatellites = true;
  scene.SetObjectColor(12, OldDocumentSatelliteColor);

  ReadInstant(r, scene);
  scene.ShowOrbits = r.ReadBoolValue();
  scene.ShowNames = r.ReadBoolValue();
  ReadView(r, scene);
  ReadPlanetLists(r, scene);
  ReadBodiesV1(r, scene.AsteroidsList());
  scene.SetObjectColor(11, ReadColor(r));
  scene.Redraw();
}

void CopySceneRecord(TSolarSystem& from, TSolarSystem& to, const std::string& programDir)
{
  TMemoryStream bytes;
  {
    TWriter w(bytes);
    WriteScene(w, from);
    w.FlushBuffer();
  }
  bytes.SetPosition(0);
  to.SpacecraftsList().Clear();
  TReader r(bytes);
  std::vector<std::string> names;
  ReadScene17(r, to, programDir, names);
}
