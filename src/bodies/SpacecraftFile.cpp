// Reading and writing trajectory files. Nothing in a file is trusted: counts
// are checked against the size of the file before anything is reserved, and
// every number must be finite, so that a damaged or hostile file is refused
// with a message instead of costing memory or producing positions no one
// can draw.
#include "bodies/Spacecraft.h"

#include "astro/DatesAndTimes.h"
#include "astro/util404.h"

#include <algorithm>
#include <cmath>

namespace {

// The fewest bytes a point can take: four values, each at least a tag and a
// one-byte integer.
constexpr std::uint64_t MinPointBytes = 4 * 2;

class TTrajectoryReader {
public:
  TTrajectoryReader(TStream& stream, std::uint64_t size, const std::string& fileName)
      : r_(stream, TFiler::DefaultBufferSize), size_(size), fileName_(fileName)
  {
  }

  std::string String() { return r_.ReadStringValue(); }
  std::int32_t Integer() { return r_.ReadIntValue(); }

  long double Finite()
  {
    const long double x = r_.ReadFloatValue();
    if (!std::isfinite(x)) throw Error("a number that is not finite");
    return x;
  }

  void Points(TSpacecraftPositionList& list)
  {
    list.Clear();
    list.FirstJD = Finite();
    list.LastJD = Finite();
    const std::int32_t n = Integer();
    if (n < 0) throw Error("a negative number of points (" + std::to_string(n) + ")");
    if (static_cast<std::uint64_t>(n) > size_ / MinPointBytes)
      throw Error(std::to_string(n) + " points announced, more than the file can hold");
    // Room grows with the points actually read, never ahead of them by more
    // than a small block.
    list.Reserve(static_cast<std::size_t>(std::min<std::int32_t>(n, 4096)));
    long double previous = -INFINITY;
    for (std::int32_t i = 0; i < n; ++i) {
      Where = Block + ", point " + std::to_string(i + 1);
      const long double jd = Finite();
      TRectCoord p;
      p.X = Finite();
      p.Y = Finite();
      p.Z = Finite();
      if (jd < previous) throw Error("the points go back in time");
      previous = jd;
      list.Add(jd, p);
    }
  }

  ETrajectoryFileError Error(const std::string& reason) const
  {
    return ETrajectoryFileError("Error reading trajectory file \"" + fileName_ + "\": " + reason +
                                " (" + Where + ").");
  }

  std::string Block;  // the part of the file being read, for the messages
  std::string Where;

private:
  TReader r_;
  std::uint64_t size_;
  const std::string& fileName_;
};

void WritePoints(TWriter& w, const TSpacecraftPositionList& list)
{
  w.WriteFloatValue(list.FirstJD);
  w.WriteFloatValue(list.LastJD);
  w.WriteIntValue(list.Count());
  for (int i = 0; i < list.Count(); ++i) {
    const TSpacecraftPosition& p = list.Items(i);
    w.WriteFloatValue(p.JD);
    w.WriteFloatValue(p.Position.X);
    w.WriteFloatValue(p.Position.Y);
    w.WriteFloatValue(p.Position.Z);
  }
}

}  // namespace

void TSpacecraft::ReadTrajectory(TStream& stream, std::uint64_t size, const std::string& fileName)
{
  TTrajectoryReader r(stream, size, fileName);
  try {
    r.Where = "header";
    r.String();  // not used
    Name = r.String();
    BodyNumber = r.Integer();
    Equinox = r.Finite();
    if (Equinox < MinJD || Equinox > MaxJD) throw r.Error("an equinox outside the dates known");
    LaunchText = r.String();
    r.Block = r.Where = "heliocentric points";
    r.Points(Positions);
    for (int i = 0; i < SpacecraftPlanetCount; ++i) {
      r.Block = r.Where = std::string("points relative to ") + PlanetNames[i];
      r.Points(PlanetocentricPositions[i]);
    }
  } catch (const ETrajectoryFileError&) {
    throw;
  } catch (const EReadError& e) {
    const std::string what = e.what();
    throw r.Error(what == StreamReadErrorMessage        ? "the data end too early"
                  : what == InvalidPropertyValueMessage ? "a value of the wrong kind"
                                                        : what);
  }
}

void TSpacecraft::WriteTrajectory(TWriter& w) const
{
  w.WriteStringValue(TrajectoryFileTag);
  w.WriteStringValue(Name);
  w.WriteIntValue(BodyNumber);
  w.WriteFloatValue(Equinox);
  w.WriteStringValue(LaunchText);
  WritePoints(w, Positions);
  for (const TSpacecraftPositionList& list : PlanetocentricPositions) WritePoints(w, list);
}

void TSpacecraft::SaveToFile(const std::filesystem::path& path) const
{
  TReplacingFileStream file(path);
  {
    TWriter w(file);
    WriteTrajectory(w);
    w.FlushBuffer();
  }
  file.Commit();
}
