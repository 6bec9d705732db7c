// Spacecraft on tabulated trajectories. Each spacecraft comes from one
// trajectory file (".spc"): heliocentric points at given instants and,
// for close approaches, points relative to each planet. Between two points
// the position is interpolated linearly; outside the file's span the
// spacecraft has no position.
//
// The trajectory file is one tagged value stream:
//   String   (not used)
//   String   Name
//   Integer  BodyNumber
//   Float    Equinox (Julian date of the mean ecliptic and equinox of all
//            coordinates in the file)
//   String   LaunchText
//   Float    FirstJD, Float LastJD, Integer N, then N points
//            (Float JD, Float x, Float y, Float z; AU, heliocentric ecliptic)
//   nine blocks, one per planet index 0-8: Float FirstJD, Float LastJD,
//            Integer n, then n points relative to that planet
#pragma once

#include "bodies/SSClasses.h"
#include "stream/TaggedStream.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// One tabulated point.
struct TSpacecraftPosition {
  long double JD = 0;
  TRectCoord Position;  // AU
};

// Points in increasing time, valid in [FirstJD, LastJD] (the span stored in
// the file, which need not coincide with the points' own instants).
class TSpacecraftPositionList {
public:
  long double FirstJD = 0;
  long double LastJD = 0;

  int Count() const { return static_cast<int>(items_.size()); }
  const TSpacecraftPosition& Items(int i) const { return items_.at(i); }
  void Add(long double jd, const TRectCoord& position) { items_.push_back({jd, position}); }
  void Reserve(std::size_t n) { items_.reserve(n); }
  void Clear() { items_.clear(); }

  bool Covers(long double jd) const { return jd >= FirstJD && jd <= LastJD; }
  // The position at jd: exactly a point at its own instant, linear between
  // two points, the first point before it and the last point after it. Zero
  // for an empty list. The span is not consulted.
  TRectCoord Interpolate(long double jd) const;
  // Index range [first, last) of the points whose instants lie in [t0, t1].
  void PointsBetween(long double t0, long double t1, int& first, int& last) const;

private:
  std::vector<TSpacecraftPosition> items_;
};

constexpr int SpacecraftPlanetCount = 9;

// A trajectory file that cannot be used; the message names the file and the
// fault. Being a stream read error, it is caught wherever those are.
class ETrajectoryFileError : public EReadError {
public:
  using EReadError::EReadError;
};

class TSpacecraft : public TAstronomialObject {
public:
  // An empty spacecraft ("Spacecraft", body number 4000) with no points and
  // no file, to be filled by a caller that writes trajectory files.
  explicit TSpacecraft(TColor color);
  // Reads the trajectory file; Name and BodyNumber come from it. Throws
  // EFileError when the file cannot be opened and ETrajectoryFileError when
  // its contents are damaged: wrong kinds of values, too few data, negative
  // counts or more points than the file can hold, numbers that are not
  // finite, points that go back in time.
  TSpacecraft(const std::filesystem::path& path, TColor color);

  // Position = the heliocentric point interpolated at jd (in the file's
  // frame), or zero outside [Positions.FirstJD, Positions.LastJD].
  void Calculate(long double jd) override;
  // Whether the spacecraft has a position at jd: inside the span, with
  // points to interpolate.
  bool HasPosition(long double jd) const { return Positions.Count() > 0 && Positions.Covers(jd); }

  // v, given in this spacecraft's frame (ecliptic and equinox Equinox),
  // referred to the mean ecliptic and equinox of jd.
  TRectCoord PositionOfDate(const TRectCoord& v, long double jd) const;
  // The same reduction as a rotation matrix (for TransformPoint), for many
  // points of one instant.
  TMatrix4 PrecessionToDate(long double jd) const;

  // Reads the fields from a trajectory stream of `size` bytes in all;
  // `fileName` names the file in the messages.
  void ReadTrajectory(TStream& stream, std::uint64_t size, const std::string& fileName);
  void WriteTrajectory(TWriter& writer) const;
  // Writes a trajectory file; an existing one is replaced only when the new
  // one is complete. Throws EFileError or EWriteError.
  void SaveToFile(const std::filesystem::path& path) const;

  TSpacecraftPositionList Positions;  // heliocentric
  std::array<TSpacecraftPositionList, SpacecraftPlanetCount> PlanetocentricPositions;
  long double Equinox = 2451545.0L;  // Julian date
  std::string TrajectoryFile;        // full path
  std::string LaunchText;
};

// Owning list of spacecraft in insertion order.
class TSpacecraftList {
public:
  TSpacecraftList() = default;
  ~TSpacecraftList() { Clear(); }
  TSpacecraftList(const TSpacecraftList&) = delete;
  TSpacecraftList& operator=(const TSpacecraftList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  TSpacecraft* Items(int i) const { return items_.at(i).get(); }
  TSpacecraft* Add(std::unique_ptr<TSpacecraft> craft);
  // Loads a spacecraft from its trajectory file and appends it; on failure
  // the list is unchanged and the error goes to the caller.
  TSpacecraft* AddFromFile(const std::filesystem::path& path, TColor color);
  void CalculateAll(long double jd);
  void SetAllColors(TColor color);
  void Clear();  // frees the members from the last to the first

private:
  std::vector<std::unique_ptr<TSpacecraft>> items_;
};

// The text the first value of trajectory files written by this program holds.
inline constexpr const char* TrajectoryFileTag = "Sollumen trajectory";
