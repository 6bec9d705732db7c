// Spacecraft: interpolation of the tabulated points, reduction to the
// equinox of date, and the list of spacecraft.
#include "bodies/Spacecraft.h"

#include "astro/precess404.h"

#include <algorithm>

namespace {

bool EarlierThan(const TSpacecraftPosition& p, long double jd) { return p.JD < jd; }

}  // namespace

// ---------------------------------------------------------------- points

TRectCoord TSpacecraftPositionList::Interpolate(long double jd) const
{
  if (items_.empty()) return {};
  // The first point at or after jd.
  auto it = std::lower_bound(items_.begin(), items_.end(), jd, EarlierThan);
  // After the last point the file's span may still go on: the last point is
  // held, as the first is before the first point.
  if (it == items_.end()) return items_.back().Position;
  if (it == items_.begin() || it->JD == jd) return it->Position;
  const TSpacecraftPosition& a = *(it - 1);
  const TSpacecraftPosition& b = *it;
  const long double f = (jd - a.JD) / (b.JD - a.JD);
  return VecAdd(a.Position, VecScale(VecSub(b.Position, a.Position), f));
}

void TSpacecraftPositionList::PointsBetween(long double t0, long double t1, int& first,
                                            int& last) const
{
  auto lo = std::lower_bound(items_.begin(), items_.end(), t0, EarlierThan);
  auto hi = std::upper_bound(items_.begin(), items_.end(), t1,
                             [](long double jd, const TSpacecraftPosition& p) { return jd < p.JD; });
  if (hi < lo) hi = lo;  // t1 < t0
  first = static_cast<int>(lo - items_.begin());
  last = static_cast<int>(hi - items_.begin());
}

// ---------------------------------------------------------------- spacecraft

TSpacecraft::TSpacecraft(TColor color)
    : TAstronomialObject("Spacecraft", color, bnSpacecraftInConstruction)
{
}

TSpacecraft::TSpacecraft(const std::filesystem::path& path, TColor color)
    : TAstronomialObject("Spacecraft", color, bnSpacecraftInConstruction),
      TrajectoryFile(path.string())
{
  TFileStream file(path, TFileMode::OpenRead);
  std::error_code ec;
  std::uint64_t size = std::filesystem::file_size(path, ec);
  if (ec) size = 0;  // not a plain file: nothing can be read from it
  ReadTrajectory(file, size, TrajectoryFile);
}

void TSpacecraft::Calculate(long double jd)
{
  Position = {};
  SphericalPosition = {};
  if (!Positions.Covers(jd)) return;  // no data for the instant
  Position = Positions.Interpolate(jd);
  SphericalPosition = RectToPolar(Position);
}

TRectCoord TSpacecraft::PositionOfDate(const TRectCoord& v, long double jd) const
{
  if (jd == Equinox) return v;
  TPolarCoord polar;
  TRectCoord rect;
  PrecessEcliptic(RectToPolar(v), Equinox, jd, polar, rect);
  return rect;
}

TMatrix4 TSpacecraft::PrecessionToDate(long double jd) const
{
  // A rotation: its columns are the images of the three axes.
  TMatrix4 m;
  const TRectCoord axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  for (int j = 0; j < 3; ++j) {
    const TRectCoord c = PositionOfDate(axes[j], jd);
    m(0, j) = c.X;
    m(1, j) = c.Y;
    m(2, j) = c.Z;
  }
  m(3, 3) = 1;
  return m;
}

// ---------------------------------------------------------------- the list

TSpacecraft* TSpacecraftList::Add(std::unique_ptr<TSpacecraft> craft)
{
  items_.push_back(std::move(craft));
  return items_.back().get();
}

TSpacecraft* TSpacecraftList::AddFromFile(const std::filesystem::path& path, TColor color)
{
  return Add(std::make_unique<TSpacecraft>(path, color));
}

void TSpacecraftList::CalculateAll(long double jd)
{
  for (auto& c : items_) c->Calculate(jd);
}

void TSpacecraftList::SetAllColors(TColor color)
{
  for (auto& c : items_) c->Color = color;
}

void TSpacecraftList::Clear()
{
  while (!items_.empty()) items_.pop_back();
}
