// spacecraft-example: the example trajectory file shipped with the program,
// an Earth-Mars transfer of the 2026 launch window computed from Keplerian
// arcs (patched conics):
//
// - the transfer arc about the Sun is the solution of Lambert's problem
//   from the Earth at launch to Mars at arrival, with the planets placed by
//   the program's own planetary theory (mean ecliptic and equinox of
//   J2000.0), so that the spacecraft meets the planets the program draws;
//   launch and arrival dates are the pair of the window that needs the least
//   hyperbolic excess speed at both ends together; that is a transfer of
//   nearly half an orbit, close to a Hohmann transfer between the real
//   orbits (exactly half an orbit would leave its plane undetermined, so
//   transfers of more than 179 degrees about the Sun are not considered);
// - near each planet a hyperbola about it with that excess speed: leaving
//   from a periapsis 300 km above the Earth at launch, arriving at a
//   periapsis 400 km above Mars at arrival, each in the plane through the
//   asymptote closest to the ecliptic, tabulated every 15 minutes for four
//   days; these are the file's points relative to the Earth and to Mars;
// - the heliocentric points follow the planet plus its hyperbola in those
//   four days (every 6 hours) and the transfer arc, daily, between them.
//
// usage: spacecraft-example OUTPUT.spc
#include "astro/DatesAndTimes.h"
#include "astro/Mathematics.h"
#include "astro/plt404.h"
#include "astro/util404.h"
#include "bodies/Spacecraft.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <iostream>

namespace {

using V = TRectCoord;

constexpr long double KilometresPerAU = 149597870.7L;
constexpr long double SecondsPerDay = 86400;
constexpr long double GaussK = 0.01720209895L;
constexpr long double MuSun = GaussK * GaussK;  // AU^3 / day^2

long double MuFromKm(long double gm)  // km^3/s^2 to AU^3/day^2
{
  return gm * SecondsPerDay * SecondsPerDay / (KilometresPerAU * KilometresPerAU * KilometresPerAU);
}

const long double MuEarth = MuFromKm(398600.4418L);
const long double MuMars = MuFromKm(42828.37L);
constexpr long double EarthPeriapsisKm = 6378.137L + 300;
constexpr long double MarsPeriapsisKm = 3396.19L + 400;

constexpr int Earth = 0;
constexpr int Mars = 3;
constexpr long double NearPlanetDays = 4;
constexpr long double NearStep = 1.0L / 96;  // 15 minutes
constexpr long double NearHelioStep = 0.25L;

long double Dot(const V& a, const V& b) { return a.X * b.X + a.Y * b.Y + a.Z * b.Z; }
V Cross(const V& a, const V& b)
{
  return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}
V Unit(const V& a) { return VecScale(a, 1 / VecLength(a)); }

// Heliocentric position on the ecliptic of J2000.0, as the program has it.
V PlanetAt(int index, long double jd)
{
  Obliquity(2451545.0L);
  return EquRectToEclRect(PlanetJ2000Equatorial(index, jd));
}

V PlanetVelocity(int index, long double jd)
{
  const long double h = 0.01L;
  return VecScale(VecSub(PlanetAt(index, jd + h), PlanetAt(index, jd - h)), 1 / (2 * h));
}

long double StumpffC(long double z)
{
  if (z > 1e-8L) return (1 - std::cos(std::sqrt(z))) / z;
  if (z < -1e-8L) return (std::cosh(std::sqrt(-z)) - 1) / -z;
  return 0.5L - z / 24;
}

long double StumpffS(long double z)
{
  if (z > 1e-8L) {
    const long double s = std::sqrt(z);
    return (s - std::sin(s)) / (s * z);
  }
  if (z < -1e-8L) {
    const long double s = std::sqrt(-z);
    return (std::sinh(s) - s) / (s * -z);
  }
  return 1.0L / 6 - z / 120;
}

// Lambert's problem, prograde, less than one revolution (universal
// variables, solved by bisection). False when there is no solution.
bool Lambert(const V& r1, const V& r2, long double dt, V& v1, V& v2)
{
  const long double a1 = VecLength(r1), a2 = VecLength(r2);
  long double angle = std::acos(std::clamp(Dot(r1, r2) / (a1 * a2), -1.0L, 1.0L));
  if (Cross(r1, r2).Z < 0) angle = TwoPi - angle;
  const long double A = std::sin(angle) * std::sqrt(a1 * a2 / (1 - std::cos(angle)));
  auto y = [&](long double z) {
    return a1 + a2 + A * (z * StumpffS(z) - 1) / std::sqrt(StumpffC(z));
  };
  auto F = [&](long double z) {
    const long double yz = y(z);
    return std::pow(yz / StumpffC(z), 1.5L) * StumpffS(z) + A * std::sqrt(yz) -
           std::sqrt(MuSun) * dt;
  };
  long double lo = -4 * Pi * Pi, hi = 4 * Pi * Pi - 1e-9L;
  while (y(lo) <= 0 && lo < hi) lo = lo / 2 + hi / 2;  // y must stay positive
  if (!(F(lo) < 0 && F(hi) > 0)) return false;
  for (int i = 0; i < 200; ++i) {
    const long double mid = (lo + hi) / 2;
    (F(mid) < 0 ? lo : hi) = mid;
  }
  const long double yz = y(lo);
  const long double f = 1 - yz / a1;
  const long double g = A * std::sqrt(yz / MuSun);
  const long double gdot = 1 - yz / a2;
  v1 = VecScale(VecSub(r2, VecScale(r1, f)), 1 / g);
  v2 = VecScale(VecSub(VecScale(r2, gdot), r1), 1 / g);
  return true;
}

// Position on the elliptic orbit through (r0, v0) after dt days.
V Propagate(const V& r0, const V& v0, long double dt)
{
  const long double r = VecLength(r0);
  const long double a = 1 / (2 / r - Dot(v0, v0) / MuSun);
  const long double n = std::sqrt(MuSun / (a * a * a));
  const long double ecosE = 1 - r / a;
  const long double esinE = Dot(r0, v0) / std::sqrt(MuSun * a);
  const long double e = std::hypot(ecosE, esinE);
  const long double E0 = std::atan2(esinE, ecosE);
  const long double M = E0 - esinE + n * dt;
  long double E = M;
  for (int i = 0; i < 50; ++i) E -= (E - e * std::sin(E) - M) / (1 - e * std::cos(E));
  const long double dE = E - E0;
  const long double f = 1 - a / r * (1 - std::cos(dE));
  const long double g = dt - (dE - std::sin(dE)) / n;
  return VecAdd(VecScale(r0, f), VecScale(v0, g));
}

// A hyperbola about a planet: periapsis radius rp (AU), excess velocity
// vinf (AU/day) leaving (outgoing) or arriving, in the plane through the
// asymptote closest to the ecliptic. At(t) is the position t days after
// periapsis (t < 0 before it).
struct THyperbola {
  long double Mu, A, E, N;
  V P, Q;  // towards periapsis; along the motion at periapsis

  THyperbola(long double mu, long double rp, const V& vinf, bool outgoing) : Mu(mu)
  {
    const long double v2 = Dot(vinf, vinf);
    A = mu / v2;  // |a|
    E = 1 + rp * v2 / mu;
    N = std::sqrt(mu / (A * A * A));
    const long double cosInf = -1 / E, sinInf = std::sqrt(E * E - 1) / E;
    const V u = Unit(vinf);
    const V z{0, 0, 1};
    const V normal = Unit(VecSub(z, VecScale(u, Dot(z, u))));
    P = VecAdd(VecScale(u, outgoing ? cosInf : -cosInf), VecScale(Cross(u, normal), sinInf));
    Q = Cross(normal, P);
  }

  V At(long double t) const
  {
    const long double M = N * t;
    long double H = std::asinh(M / E);
    for (int i = 0; i < 60; ++i) H -= (E * std::sinh(H) - H - M) / (E * std::cosh(H) - 1);
    const long double x = A * (E - std::cosh(H));
    const long double y = A * std::sqrt(E * E - 1) * std::sinh(H);
    return VecAdd(VecScale(P, x), VecScale(Q, y));
  }
};

struct TTransfer {
  long double Launch = 0, Arrival = 0;
  long double VinfLaunch = 0, VinfArrival = 0;  // km/s
  long double Angle = 0;                        // degrees about the Sun
  V V1, V2;                                     // AU/day
};

long double KmPerSecond(const V& v) { return VecLength(v) * KilometresPerAU / SecondsPerDay; }

TTransfer BestTransfer(long double firstLaunch, long double lastLaunch)
{
  TTransfer best;
  long double bestCost = INFINITY;
  for (long double t0 = firstLaunch; t0 <= lastLaunch; t0 += 1) {
    const V r1 = PlanetAt(Earth, t0);
    const V vE = PlanetVelocity(Earth, t0);
    for (long double tof = 150; tof <= 330; tof += 1) {
      const long double t1 = t0 + tof;
      const V r2 = PlanetAt(Mars, t1);
      long double angle = std::acos(Dot(r1, r2) / (VecLength(r1) * VecLength(r2)));
      if (Cross(r1, r2).Z < 0) angle = TwoPi - angle;
      if (angle > 179 * DegreesToRadians) continue;
      V v1, v2;
      if (!Lambert(r1, r2, tof, v1, v2)) continue;
      const long double d = KmPerSecond(VecSub(v1, vE));
      const long double a = KmPerSecond(VecSub(v2, PlanetVelocity(Mars, t1)));
      if (d + a < bestCost) {
        bestCost = d + a;
        best = {t0, t1, d, a, angle * RadiansToDegrees, v1, v2};
      }
    }
  }
  return best;
}

std::string Date(long double jd) { return DateText(JDToDateRec(0, jd)); }

}  // namespace

int main(int argc, char** argv)
{
  if (argc != 2) {
    std::cerr << "usage: spacecraft-example OUTPUT.spc\n";
    return 2;
  }
  // Launches from 2026 October 1 to December 8.
  const TTransfer t = BestTransfer(2461314.5L, 2461382.5L);
  if (t.Launch == 0) {
    std::cerr << "no transfer found\n";
    return 1;
  }

  const V vinfOut = VecSub(t.V1, PlanetVelocity(Earth, t.Launch));
  const V vinfIn = VecSub(t.V2, PlanetVelocity(Mars, t.Arrival));
  const THyperbola leave(MuEarth, EarthPeriapsisKm / KilometresPerAU, vinfOut, true);
  const THyperbola arrive(MuMars, MarsPeriapsisKm / KilometresPerAU, vinfIn, false);
  const long double endLeave = t.Launch + NearPlanetDays;
  const long double startArrive = t.Arrival - NearPlanetDays;

  TSpacecraft craft(0);
  craft.Name = "Example Earth-Mars transfer";
  craft.BodyNumber = bnSpacecraftInConstruction;
  craft.Equinox = 2451545.0L;
  craft.LaunchText = Date(t.Launch) + " (computed example)";

  TSpacecraftPositionList& helio = craft.Positions;
  helio.FirstJD = t.Launch;
  helio.LastJD = t.Arrival;
  const V r1 = PlanetAt(Earth, t.Launch);
  // Steps are counted, not added, so that the instants stay exact.
  for (int k = 0; k * NearHelioStep <= NearPlanetDays; ++k) {
    const long double jd = t.Launch + k * NearHelioStep;
    helio.Add(jd, VecAdd(PlanetAt(Earth, jd), leave.At(jd - t.Launch)));
  }
  for (int k = 1; endLeave + k < startArrive; ++k) {
    const long double jd = endLeave + k;
    helio.Add(jd, Propagate(r1, t.V1, jd - t.Launch));
  }
  for (int k = static_cast<int>(NearPlanetDays / NearHelioStep); k >= 0; --k) {
    const long double jd = t.Arrival - k * NearHelioStep;
    helio.Add(jd, VecAdd(PlanetAt(Mars, jd), arrive.At(jd - t.Arrival)));
  }

  TSpacecraftPositionList& nearEarth = craft.PlanetocentricPositions[Earth];
  nearEarth.FirstJD = t.Launch;
  nearEarth.LastJD = endLeave;
  for (int k = 0; k * NearStep <= NearPlanetDays; ++k)
    nearEarth.Add(t.Launch + k * NearStep, leave.At(k * NearStep));
  TSpacecraftPositionList& nearMars = craft.PlanetocentricPositions[Mars];
  nearMars.FirstJD = startArrive;
  nearMars.LastJD = t.Arrival;
  const int steps = static_cast<int>(std::lround(NearPlanetDays / NearStep));
  for (int k = steps; k >= 0; --k)
    nearMars.Add(t.Arrival - k * NearStep, arrive.At(-k * NearStep));

  try {
    craft.SaveToFile(argv[1]);
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  std::printf("launch %s (JD %.1Lf), arrival %s (JD %.1Lf), %.0Lf days, %.1Lf degrees about "
              "the Sun\nexcess speed %.3Lf km/s leaving the Earth, %.3Lf km/s arriving at Mars\n"
              "%d heliocentric points, %d about the Earth, %d about Mars\n",
              Date(t.Launch).c_str(), t.Launch, Date(t.Arrival).c_str(), t.Arrival,
              t.Arrival - t.Launch, t.Angle, t.VinfLaunch, t.VinfArrival, helio.Count(),
              nearEarth.Count(), nearMars.Count());
  return 0;
}
