// The scene's model: construction, the instant, recomputation, colours and
// the projection of positions to pixels.
#include "scene/SolarSystem.h"

#include "astro/Mathematics.h"
#include "astro/util404.h"

#include <cmath>
#include <cstdio>
#include <utility>

const std::array<TColor, ObjectColorCount> DefaultObjectColors = {
    0xFF0000,  // Earth, blue
    0x0080FF,  // Mercury, orange
    0xFFFFFF,  // Venus, white
    0x0000FF,  // Mars, red
    0x808000,  // Jupiter, teal
    0xC0C0C0,  // Saturn, silver
    0xFFFF00,  // Uranus, aqua
    0xFFA0A0,  // Neptune, light blue
    0xA0A0A0,  // Pluto, grey
    0x00FFFF,  // the Sun (drawn in SunColor)
    0xC0C0C0,  // unused
    0x008080,  // minor bodies, olive
    0x008080,  // satellites, olive
    0x808080,  // spacecraft, grey
};

const std::array<long double, 18> GridSteps = {
    0.001L, 0.002L, 0.0025L, 0.005L, 0.01L, 0.02L, 0.025L, 0.05L, 0.1L,
    0.2L,   0.25L,  0.5L,    1.0L,   2.0L,  2.5L,  5.0L,   10.0L, 20.0L};

bool operator==(const TScreenPoint& a, const TScreenPoint& b)
{
  return a.X == b.X && a.Y == b.Y;
}

TSolarSystem::TSolarSystem()
{
  dateTime_ = NowUT();
  for (int i = 0; i < 9; ++i) planets_.Add(std::make_unique<TPlanet>(i, objectColors_[i]));

  // The satellites, the Moon first, then those of Jupiter, Saturn and Uranus.
  for (int i = 0; i < 9; ++i) AddSatellites(*Planet(i), objectColors_[12]);

  SetDim(2.0L);
  centerObject_ = 9;
  SetRotX(45);
  SetRotY(0);
  SetRotZ(45);
  Plane = D3;
  Recalculate();
}

TSolarSystem::~TSolarSystem()
{
  // The lists free their members from the last to the first.
  directions_.Clear();
  spacecrafts_.Clear();
  asteroidsFull_.Clear();
  asteroids_.Clear();
  planets_.Clear();
}

TPlanet* TSolarSystem::Planet(int index) const
{
  if (index < 0 || index >= planets_.Count()) return nullptr;
  return dynamic_cast<TPlanet*>(planets_.Items(index));
}

void TSolarSystem::SetDateTime(const TDateRec& rec)
{
  dateTime_ = rec;
  canShowObjects_ = rec.Year >= 1950 && rec.Year <= 2050;
  Recalculate();
}

void TSolarSystem::Recalculate()
{
  jd_ = DateRecToJD(dateTime_);
  Obliquity(jd_);
  planets_.CalculateAll(jd_);  // each planet recomputes its satellites
  spacecrafts_.CalculateAll(jd_);
  PrepareMinorBodies(jd_, {});
  asteroids_.CalculateAll(jd_);
  asteroidsFull_.CalculateAll(jd_);
  centerPosition_ = ObjectPosition(centerObject_);
}

void TSolarSystem::PrepareMinorBodies(long double jd, const std::function<void(double)>& progress)
{
  for (std::string& name : ::PrepareMinorBodies(asteroids_, MinorBodyMotion, jd, 2, progress))
    motionFailures_.push_back(std::move(name));
}

std::vector<std::string> TSolarSystem::TakeMotionFailures()
{
  return std::exchange(motionFailures_, {});
}

TRectCoord TSolarSystem::ObjectPosition(int body) const
{
  if (body >= 0 && body <= 8) {
    if (body < planets_.Count()) return planets_.Items(body)->Position;
  }
  return {};
}

void TSolarSystem::SetObjectColor(int index, TColor color)
{
  if (index < 0 || index >= ObjectColorCount) return;
  objectColors_[index] = color;
  if (index <= 8) {
    if (index < planets_.Count()) planets_.Items(index)->Color = color;
  } else if (index == 11) {
    for (int i = 0; i < asteroids_.Count(); ++i) asteroids_.Items(i)->Color = color;
    asteroidsFull_.SetAllColors(color);
  } else if (index == 12) {
    for (int i = 0; i < planets_.Count(); ++i)
      if (TPlanet* p = Planet(i)) p->SetSatellitesColor(color);
  } else if (index == 13) {
    spacecrafts_.SetAllColors(color);
  }
}

TColor TSolarSystem::GetObjectColor(int index) const
{
  if (index < 0 || index >= ObjectColorCount) return 0;
  return objectColors_[index];
}

// ---------------------------------------------------------------- the view

void TSolarSystem::SetDim(long double x)
{
  if (!(x >= 0.001L && x <= 100.0L)) return;  // also refuses NaN
  long double step = 0.001L;
  for (long double e : GridSteps)  // the largest step that fits four times
    if (std::trunc(x / e) > 3) step = e;
  gridStep_ = step;
  dim_ = x;
}

void TSolarSystem::SetCenterObject(int body)
{
  if (body < 0 || body > 9) return;
  centerObject_ = body;
  Recalculate();
}

long double TSolarSystem::RotX() const { return rotX_ * RadiansToDegrees; }
long double TSolarSystem::RotY() const { return rotY_ * RadiansToDegrees; }
long double TSolarSystem::RotZ() const { return rotZ_ * RadiansToDegrees; }

void TSolarSystem::SetRotX(long double degrees)
{
  rotX_ = degrees * DegreesToRadians;
  RebuildViewMatrix();
}

void TSolarSystem::SetRotY(long double degrees)
{
  rotY_ = degrees * DegreesToRadians;
  RebuildViewMatrix();
}

void TSolarSystem::SetRotZ(long double degrees)
{
  rotZ_ = degrees * DegreesToRadians;
  RebuildViewMatrix();
}

void TSolarSystem::RebuildViewMatrix()
{
  // A vector is turned about z first, then y, then x.
  viewMatrix_ = MatMul(MatMul(RotationMatrix(0, rotX_), RotationMatrix(1, rotY_)),
                       RotationMatrix(2, rotZ_));
}

namespace {

// Trunc toward zero, held inside the int range so that positions far
// outside the view still give (far-off) pixel coordinates.
int TruncPixel(long double x)
{
  constexpr long double limit = 1e9L;
  if (!(x > -limit)) return -1000000000;
  if (x > limit) return 1000000000;
  return static_cast<int>(std::trunc(x));
}

}  // namespace

TScreenPoint TSolarSystem::WorldToScreen(const TRectCoord& v) const
{
  TRectCoord d = VecSub(v, centerPosition_);
  long double h, w;
  switch (Plane) {
    case XY: h = d.X; w = d.Y; break;
    case XZ: h = d.X; w = d.Z; break;
    case ZY: h = d.Z; w = d.Y; break;
    default: {
      TRectCoord r = TransformPoint(d, viewMatrix_);
      h = r.X;
      w = r.Y;
    }
  }
  const long double span = 2 * dim_;
  TScreenPoint p;
  p.X = TruncPixel(width_ * (h + dim_) / span) + Left;
  p.Y = Top + height_ - TruncPixel(height_ * (w + dim_) / span);
  return p;
}

long double TSolarSystem::DistanceFromCenter(const TRectCoord& v) const
{
  return VecLength(VecSub(v, centerPosition_));
}

long double TSolarSystem::DistanceFromSun(const TRectCoord& v) const { return VecLength(v); }

bool TSolarSystem::IsInView(const TRectCoord& v) const
{
  long double dc = DistanceFromCenter(v);
  long double ds = DistanceFromSun(v);
  if (dc > 5 * dim_) return false;
  if (dc == 0 || ds == 0) return true;
  return ds >= 0.03L * dim_;
}

long double TSolarSystem::Elongation(const TRectCoord& v) const
{
  long double p = VecLength(v);
  long double q = VecLength(VecSub(v, centerPosition_));
  long double a = VecLength(centerPosition_);
  if (!(q > 0 && a > 0)) return -99;
  long double x = (p * p - q * q - a * a) / (-2 * q * a);
  // Rounding can carry a collinear case a hair beyond +-1.
  if (x > 1) x = 1;
  if (x < -1) x = -1;
  return std::atan2(std::sqrt(1 - x * x), x);
}

// ---------------------------------------------------------------- helpers

int OrbitLevel(long double s, long double dim)
{
  if (s > dim / 2) return 1;
  if (s > dim / 3) return 2;
  if (s > dim / 4) return 3;
  if (s > dim / 5) return 4;
  return 0;
}

int OrbitStep(int level, long double ecc)
{
  int k = level;
  if (ecc > 0.7L) --k;
  if (ecc > 0.8L) --k;
  if (ecc > 0.9L) --k;
  return k <= 0 ? 1 : k;
}

bool FindNodes(const std::array<TRectCoord, OrbitPointCount>& points, TRectCoord& first,
               TRectCoord& second)
{
  auto crossing = [&](int k) {  // k 0-based: between points[k] and points[k + 1]
    const TRectCoord& a = points[k];
    const TRectCoord& b = points[k + 1];
    long double dz = std::fabs(b.Z - a.Z);
    if (dz == 0) return a;
    long double f = std::fabs(a.Z) / dz;
    return VecAdd(a, VecScale(VecSub(b, a), f));
  };
  const int last = OrbitPointCount - 1;  // pairs (1,2) .. (359,360)
  int k = 0;
  while (k < last && Sign(points[k].Z) == Sign(points[k + 1].Z)) ++k;
  if (k == last) return false;
  first = crossing(k);
  int j = k + 1;
  while (j < last && Sign(points[j].Z) == Sign(points[j + 1].Z)) ++j;
  second = j == last ? first : crossing(j);
  return true;
}

std::string GridNumberText(long double x)
{
  if (x == 0) x = 0;  // no "-0"
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.15Lg", x);
  return buffer;
}
