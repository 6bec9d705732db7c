#include "bodies/SSClasses.h"

#include "astro/plt404.h"
#include "bodies/MinorBodyMotion.h"
#include "astro/util404.h"
#include "bodies/DotBodyList.h"
#include "bodies/ParallelChunks.h"

#include <algorithm>
#include <climits>

#include <cmath>
#include <mutex>

const std::array<long double, 9> PlanetMasses = {
    5.9742e24L, 3.302e23L, 4.869e24L, 6.419e23L, 1.8988e27L,
    5.684e26L,  8.698e25L, 1.024e26L, 1.29e22L};

const std::array<long double, 9> PlanetDiameters = {
    8.527046541504902e-05L,  3.2607416135002455e-05L, 8.091024290653336e-05L,
    4.541775895606e-05L,     0.0009557890095627698L,  0.0008057333971399459L,
    0.00034171609528932465L, 0.00033107423254087777L, 1.537455045315819e-05L};

const std::array<bool, 9> PlanetRetrograde = {false, false, true,  false, false,
                                              false, true,  false, true};

void CheckElements(const std::string& name, const TOrbitElements& el)
{
  const long double values[] = {el.EpochJD, el.Incl,        el.NodeLon, el.PeriLon,
                                el.AxisAU,  el.DailyMotion, el.Ecc,     el.MeanLon};
  for (long double v : values)
    if (!std::isfinite(v))
      throw EInvalidElements("\"" + name + "\": orbital elements are not finite numbers");
  if (el.DailyMotion <= 0)
    throw EInvalidElements("\"" + name + "\": the mean daily motion must be positive");
  if (el.Ecc < 0 || el.Ecc >= 1)
    throw EInvalidElements("\"" + name + "\": the eccentricity must lie in 0 .. <1");
  if (el.AxisAU <= 0)
    throw EInvalidElements("\"" + name + "\": the semi-major axis must be positive");
}

TAstronomialObject::TAstronomialObject(std::string name, TColor color, int bodyNumber)
    : Name(std::move(name)), BodyNumber(bodyNumber), Color(color)
{
}

TOEObject::TOEObject(std::string name, const TOrbitElements& elements, TColor color,
                     int bodyNumber)
    : TAstronomialObject(std::move(name), color, bodyNumber), Elements(elements)
{
  CheckElements(Name, Elements);
}

void TOEObject::Calculate(long double jd)
{
  KeplerPositionPolar(Elements, jd, Position, SphericalPosition);
}

void TOrbitPoints::Fill() const
{
  // One lock for all caches: the theories behind them share process-wide
  // caches of their own.
  static std::mutex filling;
  const std::lock_guard<std::mutex> lock(filling);
  if (!stale_.load(std::memory_order_relaxed)) return;  // filled meanwhile
  source_.FillOrbitPoints(points_);
  stale_.store(false, std::memory_order_release);
}

void TOrbitalObject::GetOrbitPoints(TOrbitPointArray& points) const
{
  for (int k = 1; k <= OrbitPointCount; ++k) points[k - 1] = OrbitPoint(k);
}

void TPlanet::FillOrbitPoints(TOrbitPointArray& points) const
{
  const long double step = (360.0L / orbitElements_.DailyMotion) / (OrbitPointCount - 1);
  const TKeplerOrbit orbit = PrepareKeplerOrbit(orbitElements_);
  long double t = orbitJD_;
  for (TRectCoord& p : points) {
    t += step;  // repeated addition, as the cache has always been built
    p = KeplerPosition(orbit, t);
  }
}

TPlanet::TPlanet(int index, TColor color)
    : TOrbitalObject(PlanetNames[index], MeanPlanetElements(index, 0, 2451544.5L), color, index),
      Mass(PlanetMasses[index]),
      Diameter(PlanetDiameters[index])
{
  Eccentricity = Elements.Ecc;
  SemiMajorAxis = Elements.AxisAU;
  Period = 360.0L / Elements.DailyMotion;
  Inclination = Elements.Incl;
}

void TPlanet::Calculate(long double jd)
{
  Elements = MeanPlanetElements(BodyNumber, 0, jd);
  Eccentricity = Elements.Ecc;
  SemiMajorAxis = Elements.AxisAU;
  Inclination = Elements.Incl;
  Period = 360.0L / Elements.DailyMotion;
  TOEObject::Calculate(jd);
  orbitElements_ = Elements;
  orbitJD_ = jd;
  OrbitPoints.Invalidate();
  if (BodyNumber != bnPluto) PlanetPosition(BodyNumber, jd, Position, SphericalPosition);
  for (int i = 0; i < Satellites.Count(); ++i) Satellites.Items(i)->Calculate(jd);
}

void TPlanet::SetSatellitesColor(TColor color)
{
  for (int i = 0; i < Satellites.Count(); ++i) Satellites.Items(i)->Color = color;
}

TSatellite* TPlanet::FindSatellite(int bodyNumber) const
{
  TSatellite* found = nullptr;
  for (int i = 0; i < Satellites.Count(); ++i)
    if (Satellites.Items(i)->BodyNumber == bodyNumber) found = Satellites.Items(i);
  return found;
}

// What a body in perturbed motion keeps: its path and its osculating
// orbit at the last instant.
struct TAsteroid::TPerturbed {
  std::unique_ptr<TIntegratedMotion> Path;
  TOrbitElements Osculating;
  bool OnPath = false;  // the last Calculate answered from the path
};

TAsteroid::TAsteroid(std::string name, const TOrbitElements& elements, TColor color)
    : TOrbitalObject(std::move(name), elements, color, bnMinorBody)
{
}

TAsteroid::~TAsteroid() = default;

void TAsteroid::SetMotion(TMinorBodyMotion motion)
{
  if (motion == TMinorBodyMotion::Kepler) perturbed_.reset();
  else if (!perturbed_) perturbed_ = std::make_unique<TPerturbed>();
}

TMinorBodyMotion TAsteroid::Motion() const
{
  return perturbed_ ? TMinorBodyMotion::Perturbed : TMinorBodyMotion::Kepler;
}

TIntegratedMotion* TAsteroid::Integrated()
{
  if (!perturbed_) return nullptr;
  if (!perturbed_->Path) perturbed_->Path = std::make_unique<TIntegratedMotion>(Elements);
  return perturbed_->Path.get();
}

void TAsteroid::Calculate(long double jd)
{
  TIntegratedMotion* path = Integrated();
  bool onPath = false;
  if (path) {
    perturbed_->OnPath = false;
    if (!path->Failed()) CoverGrid(path->First() > jd ? path->First() : path->Last(), jd);
    if (path->Reach(jd)) {
      TOrbitElements osculating;
      const bool ellipse = path->At(jd, Position, osculating);
      SphericalPosition = RectToPolar(Position);
      // Beside a planet the heliocentric orbit may briefly not be an
      // ellipse; the orbit drawn is then the last one that was.
      if (ellipse || perturbed_->Osculating.DailyMotion <= 0) {
        if (!ellipse) osculating = Elements;
        perturbed_->Osculating = osculating;
      }
      perturbed_->OnPath = onPath = true;
    }
  }
  if (!onPath) TOEObject::Calculate(jd);  // two-body motion, also when the path failed
  orbitElements_ = OrbitElements();
  orbitJD_ = jd;
  calculated_ = true;
}

const TOrbitElements& TAsteroid::OrbitElements() const
{
  return perturbed_ && perturbed_->OnPath ? perturbed_->Osculating : Elements;
}

bool TAsteroid::OsculatingOrbit() const { return perturbed_ && perturbed_->OnPath; }

namespace {

bool SameElements(const TOrbitElements& a, const TOrbitElements& b)
{
  return a.EpochJD == b.EpochJD && a.Incl == b.Incl && a.NodeLon == b.NodeLon &&
         a.PeriLon == b.PeriLon && a.AxisAU == b.AxisAU && a.DailyMotion == b.DailyMotion &&
         a.Ecc == b.Ecc && a.MeanLon == b.MeanLon;
}

}  // namespace

const TOrbitCurve* TAsteroid::Orbit(double tolerance) const
{
  if (!calculated_) return nullptr;
  if (curve_ && !SameElements(curve_->Elements(), orbitElements_)) {
    // An orbit drifting with the instant is kept while the drift stays
    // below the tolerance; the phase along it always follows the instant.
    const bool keep = OsculatingOrbit() && tolerance > 0 &&
                      curve_->DistanceTo(orbitElements_) <= tolerance;
    if (!keep) curve_.reset();
  }
  if (!curve_) curve_ = std::make_unique<TOrbitCurve>(orbitElements_);
  return curve_.get();
}

bool TAsteroid::OrbitWalk(double tolerance, TOrbitCurve::TWalk& walk) const
{
  const TOrbitCurve* orbit = Orbit(tolerance);
  if (!orbit) return false;
  walk = orbit->At(orbitElements_, orbitJD_);
  return true;
}

TRectCoord TAsteroid::OrbitPoint(int k) const
{
  if (!calculated_) return {};
  const TOrbitVertex v = TOrbitCurve(orbitElements_, false).SolvedPoint(orbitElements_, orbitJD_, k);
  return {v.X, v.Y, v.Z};
}

void TAsteroid::GetOrbitPoints(TOrbitPointArray& points) const
{
  if (!calculated_) {
    points = {};
    return;
  }
  const TOrbitCurve orbit(orbitElements_, false);
  for (int k = 1; k <= OrbitPointCount; ++k) {
    const TOrbitVertex v = orbit.SolvedPoint(orbitElements_, orbitJD_, k);
    points[k - 1] = {v.X, v.Y, v.Z};
  }
}

TOEObject* TOEObjectList::Add(std::unique_ptr<TOEObject> body)
{
  items_.push_back(std::move(body));
  if (named_) ++names_[items_.back()->Name];
  return items_.back().get();
}

void TOEObjectList::Clear()
{
  while (!items_.empty()) items_.pop_back();
  names_.clear();
  named_ = false;
}

void TOEObjectList::DeleteByName(const std::string& name)
{
  // One pass however many share the name.
  std::erase_if(items_, [&](const std::unique_ptr<TOEObject>& b) { return b->Name == name; });
  if (named_) names_.erase(name);
}

bool TOEObjectList::HasName(const std::string& name) const
{
  if (!named_) {
    names_.clear();
    for (const auto& body : items_) ++names_[body->Name];
    named_ = true;
  }
  return names_.count(name) > 0;
}

void TOEObjectList::CalculateAll(long double jd)
{
  // Thousands of minor bodies share the cores.
  constexpr int ManyBodies = 512;
  const int n = Count();
  const bool alone = n >= ManyBodies && std::all_of(items_.begin(), items_.end(), [](const auto& b) {
                       return b->CalculatesAlone();
                     });
  if (!alone) {
    for (auto& body : items_) body->Calculate(jd);
    return;
  }
  RunInChunks(n, TDotBodyList::ThreadCount(INT_MAX), [&](int begin, int end, int) {
    for (int i = begin; i < end; ++i) items_[i]->Calculate(jd);
  });
}
