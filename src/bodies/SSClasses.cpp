#include "bodies/SSClasses.h"

#include "astro/plt404.h"
#include "bodies/MinorBodyMotion.h"
#include "astro/util404.h"

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

void TOrbitalObject::Calculate(long double jd)
{
  TOEObject::Calculate(jd);
  orbitElements_ = Elements;
  orbitJD_ = jd;
  OrbitPoints.Invalidate();
}

void TOrbitalObject::SetOrbit(const TOrbitElements& elements, long double jd)
{
  orbitElements_ = elements;
  orbitJD_ = jd;
  OrbitPoints.Invalidate();
}

void TOrbitalObject::FillOrbitPoints(TOrbitPointArray& points) const
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
  TOrbitalObject::Calculate(jd);
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
      perturbed_->OnPath = true;
      SetOrbit(perturbed_->Osculating, jd);
      return;
    }
  }
  TOrbitalObject::Calculate(jd);  // two-body motion, also when the path failed
}

const TOrbitElements& TAsteroid::OrbitElements() const
{
  return perturbed_ && perturbed_->OnPath ? perturbed_->Osculating : Elements;
}

TOEObject* TOEObjectList::Add(std::unique_ptr<TOEObject> body)
{
  items_.push_back(std::move(body));
  return items_.back().get();
}

void TOEObjectList::Clear()
{
  while (!items_.empty()) items_.pop_back();
}

void TOEObjectList::DeleteByName(const std::string& name)
{
  for (auto i = items_.size(); i-- > 0;)
    if (items_[i]->Name == name) items_.erase(items_.begin() + static_cast<long>(i));
}

void TOEObjectList::CalculateAll(long double jd)
{
  for (auto& body : items_) body->Calculate(jd);
}
