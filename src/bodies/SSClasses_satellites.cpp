#include "bodies/SSClasses.h"

#include "astro/Angles.h"
#include "astro/Mathematics.h"
#include "astro/moon404.h"
#include "astro/util404.h"
#include "astro/precess404.h"
#include "astro/satellites.h"

#include <cmath>
#include <map>

namespace {

constexpr long double KmPerAU = 149597870.0L;

struct SatelliteConstants {
  int Planet;                 // planet index of the parent
  long double Period;         // days
  long double Diameter;       // km
  long double MassRatio;      // of the parent planet's mass
  long double SemiMajorAxis;  // km
  long double Eccentricity;
  long double Inclination;    // degrees
};

// The satellites the scene shows, by body number; their names and
// designations are the satellite theories' own.
const std::map<int, SatelliteConstants>& SatelliteTable()
{
  static const std::map<int, SatelliteConstants> table = {
      {140, {4, 1.769137786L, 3630, 4.68e-05L, 422000, 0.004L, 0.04L}},
      {141, {4, 3.551181041L, 3138, 2.52e-05L, 671000, 0.009L, 0.47L}},
      {142, {4, 7.15455296L, 5262, 7.8e-05L, 1070000, 0.002L, 0.21L}},
      {143, {4, 16.6890184L, 4800, 5.66e-05L, 1883000, 0.007L, 0.51L}},
      {156, {5, 0.942L, 392, 8e-08L, 185520, 0.202L, 1.53L}},
      {157, {5, 1.371L, 500, 1.3e-07L, 238020, 0.00452L, 0}},
      {158, {5, 1.888L, 1060, 1.3e-06L, 294660, 0, 1.86L}},
      {159, {5, 1.888L, 34, 0, 294660, 0, 1.86L}},
      {160, {5, 1.888L, 34, 0, 294660, 0, 1.86L}},
      {161, {5, 2.737L, 1120, 1.85e-06L, 377400, 0.00223L, 0.02L}},
      {162, {5, 2.737L, 36, 0, 377400, 0.00223L, 0.02L}},
      {163, {5, 4.517L, 1530, 4.4e-06L, 527040, 0.001L, 0.35L}},
      {164, {5, 15.95L, 5150, 0.000238L, 1221830, 0.029192L, 0.33L}},
      {165, {5, 21.28L, 410, 3e-08L, 1481100, 0.104L, 0.43L}},
      {166, {5, 79.33L, 1460, 3.3e-06L, 3561300, 0.02828L, 14.72L}},
      {167, {5, 550.5L, 220, 7e-10L, 12952000, 0.16326L, 177}},
      {170, {6, 1.41347925L, 240, 8e-07L, 129390, 0.0027L, 4.2L}},
      {171, {6, 2.52037935L, 579, 1.56e-05L, 191020, 0.0034L, 0.3L}},
      {172, {6, 4.1441772L, 586, 1.35e-05L, 266300, 0.005L, 0.36L}},
      {173, {6, 8.7058717L, 790, 4.06e-05L, 435910, 0.0022L, 0.14L}},
      {174, {6, 13.4632389L, 762, 3.47e-05L, 583520, 0.0008L, 0.1L}},
  };
  return table;
}

const SatelliteConstants& ConstantsOf(int number, int planet)
{
  auto it = SatelliteTable().find(number);
  if (it == SatelliteTable().end() || it->second.Planet != planet)
    throw std::invalid_argument("no satellite number " + std::to_string(number) +
                                " of planet " + std::to_string(planet));
  return it->second;
}

constexpr long double J2000 = 2451545.0L;

// Satellite theories answer in the ecliptic and equinox of 2000 January 1.0
// and leave its obliquity in force. Their vector is turned to the equator
// with that obliquity, precessed from J2000.0 to the date and turned back to
// the ecliptic of the date. The turns by the date's obliquity cancel, so the
// reduction is a turn about x by the obliquity of 2000 January 1.0 less that
// of J2000.0, then the precession between the ecliptics. At J2000.0 itself
// Precess hands the vector back unturned, and so the whole reduction is
// the identity there.
class TEclipticOfDate {
public:
  TEclipticOfDate()
  {
    Obliquity(2451544.5L);
    const long double e0 = ObliquityState().Eps;
    Obliquity(J2000);
    SinCos(e0 - ObliquityState().Eps, sinDelta_, cosDelta_);
  }

  TRectCoord operator()(const TRectCoord& v, long double jd) const
  {
    if (jd == J2000) return v;
    TRectCoord u{v.X, cosDelta_ * v.Y - sinDelta_ * v.Z, sinDelta_ * v.Y + cosDelta_ * v.Z};
    return TransformPoint(u, EclipticPrecessionMatrix(jd));
  }

private:
  long double sinDelta_ = 0, cosDelta_ = 1;
};

}  // namespace

const std::array<int, 22> SatelliteNumbers = {13,  140, 141, 142, 143, 156, 157, 158,
                                              159, 160, 161, 162, 163, 164, 165, 166,
                                              167, 170, 171, 172, 173, 174};

TSatellite::TSatellite(std::string name, TPlanet* parent, TColor color)
    : TAstronomialObject(std::move(name), color, bnSatelliteInConstruction), Parent(parent)
{
}

long double TSatellite::PlanetocentricDistance() const { return VecLength(Position); }

namespace {

const TEclipticOfDate& ToEclipticOfDate()
{
  static const TEclipticOfDate toDate;
  return toDate;
}

}  // namespace

void TSatellite::StartOrbit(long double jd)
{
  orbitJD_ = jd;
  orbitPeriod_ = Period;
  OrbitPoints.Invalidate();
}

void TSatellite::CalculateFromTheory(long double jd, TRectCoord (*theory)(int, long double))
{
  Position = ToEclipticOfDate()(theory(BodyNumber, jd), jd);
  theory_ = theory;
  StartOrbit(jd);
}

void TSatellite::FillOrbitPoints(TOrbitPointArray& points) const
{
  if (!theory_) return;  // never calculated: the points stay zero
  const TEclipticOfDate& toDate = ToEclipticOfDate();
  const long double step = orbitPeriod_ / (OrbitPointCount - 1);
  long double t = orbitJD_;
  for (TRectCoord& p : points) {
    t += step;
    p = toDate(theory_(BodyNumber, t), t);
  }
  // The obliquity cache as precessing each point to its date left it.
  if (t != J2000) Obliquity(t);
}

TEarthMoon::TEarthMoon(TColor color, TPlanet* parent)
    : TSatellite("Moon", parent, color)
{
  BodyNumber = bnMoon;
  Period = 27.3L;
  Mass = 7.35e22L;
  Diameter = 3475.996268172L;
  SemiMajorAxis = 384400;
  Eccentricity = 0.0549L;
  Inclination = 5.15L;
}

void TEarthMoon::Calculate(long double jd)
{
  MoonEcliptic(jd, Position, SphericalPosition);
  StartOrbit(jd);

  const TMoonMeanOrbit orbit = MoonMeanOrbit(jd);
  SemiMajorAxis = orbit.Axis * KmPerAU;
  Eccentricity = orbit.Ecc;
  Inclination = RadToDeg(NormPi(orbit.Incl));
  Node = RadToDeg(Norm2Pi(orbit.Node));
  Perigee = RadToDeg(Norm2Pi(orbit.Perigee));
}

void TEarthMoon::FillOrbitPoints(TOrbitPointArray& points) const
{
  const long double step = orbitPeriod_ / (OrbitPointCount - 1);
  long double t = orbitJD_;
  TPolarCoord unused;
  for (TRectCoord& p : points) {
    t += step;
    MoonEcliptic(t, p, unused);
  }
}

namespace {

void InitFromTable(TSatellite& s, int number, int planet)
{
  const SatelliteConstants& c = ConstantsOf(number, planet);
  const TSatelliteName& name = planet == 4   ? JupiterSatelliteNames[number - FirstJupiterSatellite]
                               : planet == 5 ? SaturnSatelliteNames[number - FirstSaturnSatellite]
                                             : UranusSatelliteNames[number - FirstUranusSatellite];
  s.Name = name.Name;
  s.Designation = name.Designation;
  s.BodyNumber = number;
  s.Period = c.Period;
  s.Diameter = c.Diameter;
  s.Mass = c.MassRatio * PlanetMasses[planet];
  s.SemiMajorAxis = c.SemiMajorAxis;
  s.Eccentricity = c.Eccentricity;
  s.Inclination = c.Inclination;
}

}  // namespace

TJupiterMoon::TJupiterMoon(int number, TPlanet* parent, TColor color)
    : TSatellite("", parent, color)
{
  InitFromTable(*this, number, 4);
}

void TJupiterMoon::Calculate(long double jd) { CalculateFromTheory(jd, JupiterSatellite); }

TSaturnMoon::TSaturnMoon(int number, TPlanet* parent, TColor color)
    : TSatellite("", parent, color)
{
  InitFromTable(*this, number, 5);
}

void TSaturnMoon::Calculate(long double jd) { CalculateFromTheory(jd, SaturnSatellite); }

TUranusMoon::TUranusMoon(int number, TPlanet* parent, TColor color)
    : TSatellite("", parent, color)
{
  InitFromTable(*this, number, 6);
}

void TUranusMoon::Calculate(long double jd) { CalculateFromTheory(jd, UranusSatellite); }

std::unique_ptr<TSatellite> NewSatellite(int number, TPlanet* parent, TColor color)
{
  const int planet = parent ? parent->BodyNumber : -1;
  if (number == bnMoon && planet == bnEarth) return std::make_unique<TEarthMoon>(color, parent);
  if (planet == 4) return std::make_unique<TJupiterMoon>(number, parent, color);
  if (planet == 5) return std::make_unique<TSaturnMoon>(number, parent, color);
  if (planet == 6) return std::make_unique<TUranusMoon>(number, parent, color);
  throw std::invalid_argument("no satellite number " + std::to_string(number) + " of planet " +
                              std::to_string(planet));
}

void AddSatellites(TPlanet& planet, TColor color)
{
  const int index = planet.BodyNumber;
  for (int number : SatelliteNumbers) {
    const bool ofPlanet = number == bnMoon ? index == bnEarth
                                           : SatelliteTable().at(number).Planet == index;
    if (ofPlanet) planet.Satellites.Add(NewSatellite(number, &planet, color));
  }
}

TSatellite* TSatelliteList::Add(std::unique_ptr<TSatellite> s)
{
  items_.push_back(std::move(s));
  return items_.back().get();
}

TSatelliteList::~TSatelliteList() { Clear(); }

void TSatelliteList::Clear()
{
  while (!items_.empty()) items_.pop_back();
}
