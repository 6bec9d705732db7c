#include "astro/astronomy404.h"

#include "astro/DatesAndTimes.h"
#include "astro/Mathematics.h"
#include "astro/QuickTrig.h"
#include "astro/astronomy404_tables.h"
#include "astro/util404.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace {

// Four Newton steps from E = m are accurate for every orbit of the planets
// and for most minor bodies. Their result is kept unless it misses Kepler's
// equation, or would still move by the next Newton step, by more than this
// many radians: on comet-like orbits near perihelion a small residual can
// hide a large error in E, since the step divides it by 1 - e cos E.
constexpr long double KeplerResidualLimit = 1e-3L;

// Solves Kepler's equation to full precision. With m reduced to -pi..pi the
// root lies in [m - e, m + e] and on the side of m's sign, where
// f(E) = E - e sin E - m is increasing and convex (m > 0) or concave (m < 0).
// Newton from the far end of the bracket therefore approaches the root
// monotonically however close e is to 1; the bracket catches whatever
// rounding might do.
long double SolveKeplerSafely(long double m, long double e)
{
  long double turns = std::round(m / TwoPi);
  long double m0 = m - turns * TwoPi;
  long double lo = std::max(-Pi, m0 - e), hi = std::min(Pi, m0 + e);
  long double ecc = m0 >= 0 ? hi : lo;
  for (int i = 0; i < 200; ++i) {
    long double f = ecc - e * std::sin(ecc) - m0;
    if (f == 0) break;
    if (f > 0)
      hi = ecc;
    else
      lo = ecc;
    long double next = ecc - f / (1 - e * std::cos(ecc));
    if (!(next > lo && next < hi)) next = 0.5L * (lo + hi);
    if (next == ecc || hi - lo <= 4 * std::numeric_limits<long double>::epsilon()) {
      ecc = next;
      break;
    }
    ecc = next;
  }
  return ecc + turns * TwoPi;
}

// The quantities shared by position and velocity.
struct TOrbitState {
  long double E, Nu, R, U, Node, Incl;
};

TOrbitState OrbitState(const TOrbitElements& el, long double jd)
{
  TOrbitState s;
  long double e = el.Ecc;
  long double m = DegToRad(el.MeanLon + el.DailyMotion * (jd - el.EpochJD) - el.PeriLon);
  s.E = EccentricAnomaly(m, e);
  s.Nu = 2 * ArcTan2(1, std::sqrt((1 + e) / (1 - e)) * std::tan(s.E / 2));
  s.R = el.AxisAU * (1 - e * e) / (1 + e * std::cos(s.Nu));
  s.Node = DegToRad(el.NodeLon);
  s.Incl = DegToRad(el.Incl);
  s.U = DegToRad(el.PeriLon) + s.Nu - s.Node;
  return s;
}

}  // namespace

long double EccentricAnomaly(long double m, long double e)
{
  // SinCos gives both at once and spares the library's slow reduction of
  // the large anomalies of far-off dates.
  long double ecc = m, s, c;
  for (int i = 0; i < 4; ++i) {
    SinCos(ecc, s, c);
    ecc += (m + e * s - ecc) / (1 - e * c);
  }
  SinCos(ecc, s, c);
  const long double residual = m + e * s - ecc;
  if (std::fabs(residual) > KeplerResidualLimit ||
      std::fabs(residual / (1 - e * c)) > KeplerResidualLimit)
    ecc = SolveKeplerSafely(m, e);
  return ecc;
}

TKeplerOrbit PrepareKeplerOrbit(const TOrbitElements& el)
{
  // The unit vectors towards the periapsis (P) and 90 degrees on along the
  // motion (Q).
  long double cw, sw, cn, sn, ci, si;
  SinCos(DegToRad(el.PeriLon - el.NodeLon), sw, cw);
  SinCos(DegToRad(el.NodeLon), sn, cn);
  SinCos(DegToRad(el.Incl), si, ci);
  TKeplerOrbit o;
  o.Elements = el;
  o.P = {cw * cn - sw * ci * sn, cw * sn + sw * ci * cn, sw * si};
  o.Q = {-sw * cn - cw * ci * sn, -sw * sn + cw * ci * cn, cw * si};
  o.SemiMinorAxis = el.AxisAU * std::sqrt((1 - el.Ecc) * (1 + el.Ecc));
  return o;
}

TRectCoord KeplerPosition(const TKeplerOrbit& orbit, long double jd)
{
  const TOrbitElements& el = orbit.Elements;
  long double m = DegToRad(el.MeanLon + el.DailyMotion * (jd - el.EpochJD) - el.PeriLon);
  long double s, c;
  SinCos(EccentricAnomaly(m, el.Ecc), s, c);
  // In the orbit's plane, from the eccentric anomaly directly.
  long double x = el.AxisAU * (c - el.Ecc), y = orbit.SemiMinorAxis * s;
  return {x * orbit.P.X + y * orbit.Q.X, x * orbit.P.Y + y * orbit.Q.Y,
          x * orbit.P.Z + y * orbit.Q.Z};
}

TRectCoord KeplerPosition(const TOrbitElements& el, long double jd)
{
  return KeplerPosition(PrepareKeplerOrbit(el), jd);
}

void EccentricAnomalyQuick(double m, double e, double& sinE, double& cosE)
{
  double ecc = m, s, c;
  for (int i = 0; i < 4; ++i) {
    s = std::sin(ecc);
    c = std::cos(ecc);
    ecc += (m + e * s - ecc) / (1 - e * c);
  }
  s = std::sin(ecc);
  c = std::cos(ecc);
  const double residual = m + e * s - ecc;
  if (std::fabs(residual) > static_cast<double>(KeplerResidualLimit) ||
      std::fabs(residual / (1 - e * c)) > static_cast<double>(KeplerResidualLimit)) {
    ecc = static_cast<double>(SolveKeplerSafely(m, e));
    s = std::sin(ecc);
    c = std::cos(ecc);
  }
  sinE = s;
  cosE = c;
}

TRectCoord KeplerPositionQuick(const TOrbitElements& el, long double jd)
{
  // The mean anomaly is formed in extended precision and loses its whole
  // turns there; the rest is the same computation in double.
  const double m = static_cast<double>(
      ReduceRadians(DegToRad(el.MeanLon + el.DailyMotion * (jd - el.EpochJD) - el.PeriLon)));
  const double e = static_cast<double>(el.Ecc);
  double s, c;
  EccentricAnomalyQuick(m, e, s, c);
  double sw, cw, sn, cn, si, ci;
  QuickSinCosDeg(el.PeriLon - el.NodeLon, sw, cw);
  QuickSinCosDeg(el.NodeLon, sn, cn);
  QuickSinCosDeg(el.Incl, si, ci);
  const double x = static_cast<double>(el.AxisAU) * (c - e);
  const double y = static_cast<double>(el.AxisAU) * std::sqrt((1 - e) * (1 + e)) * s;
  const double px = cw * cn - sw * ci * sn, py = cw * sn + sw * ci * cn, pz = sw * si;
  const double qx = -sw * cn - cw * ci * sn, qy = -sw * sn + cw * ci * cn, qz = cw * si;
  return {x * px + y * qx, x * py + y * qy, x * pz + y * qz};
}

void KeplerPositionPolar(const TOrbitElements& el, long double jd, TRectCoord& rect,
                         TPolarCoord& polar)
{
  rect = KeplerPosition(el, jd);
  polar = RectToPolar(rect);
}

TRectCoord KeplerVelocity(const TOrbitElements& el, long double jd)
{
  TOrbitState s = OrbitState(el, jd);
  long double e = el.Ecc;
  long double n = DegToRad(el.DailyMotion);
  long double k = std::sqrt((1 + e) / (1 - e));
  // k / ((k^2 tan^2(E/2) + 1) cos^2(E/2)), multiplied out so that it stays
  // finite at aphelion, where tan(E/2) has its pole.
  long double sh = std::sin(s.E / 2), ch = std::cos(s.E / 2);
  long double dNu = n / (1 - e * std::cos(s.E)) * k / (k * k * sh * sh + ch * ch);
  long double q = 1 + e * std::cos(s.Nu);
  long double dR = dNu * e * el.AxisAU * (1 - e * e) * std::sin(s.Nu) / (q * q);

  long double cu = std::cos(s.U), su = std::sin(s.U);
  long double cn = std::cos(s.Node), sn = std::sin(s.Node);
  long double ci = std::cos(s.Incl), si = std::sin(s.Incl);
  long double rdNu = s.R * dNu;
  return {dR * (cu * cn - sn * su * ci) - rdNu * (su * cn + sn * cu * ci),
          dR * (cu * sn + cn * su * ci) - rdNu * (su * sn - cn * cu * ci),
          dR * si * su + rdNu * si * cu};
}

TOrbitElements MeanPlanetElements(int index, int set, long double jd)
{
  if (index < 0 || index > 8 || set < 0 || set > 1)
    throw std::out_of_range("no mean elements for planet " + std::to_string(index) + " in set " +
                            std::to_string(set));
  const auto& row = MeanElementPolynomials[set][index];
  long double t = (jd - 2451545.0L) / 36525.0L;
  auto at = [&](int element) {
    const long double* c = row[element];
    return Poly3(t, c[3], c[2], c[1], c[0]);
  };
  TOrbitElements el;
  el.EpochJD = index == 8 ? 2447920.5L : jd;
  el.Incl = at(meIncl);
  el.NodeLon = at(meNode);
  el.PeriLon = at(mePeri);
  el.AxisAU = at(meAxis);
  el.DailyMotion = 0.9856076686L / (el.AxisAU * std::sqrt(el.AxisAU));
  el.Ecc = at(meEcc);
  el.MeanLon = at(meL);
  return el;
}

namespace {

// The published apsides formulae for Mercury to Saturn: k counts passages
// from the reference year Y0 (f passages per year), JDE = A + B k + C k^2.
struct TApsidesFormula {
  long double Y0, F, A, B, C;
};

constexpr TApsidesFormula ApsidesFormulae[6] = {
    {2000.01L, 0.99997L, 2451547.507L, 365.2596358L, 0.0000000156L},    // Earth
    {2000.12L, 4.15201L, 2451590.257L, 87.96934963L, 0},                // Mercury
    {2000.53L, 1.62549L, 2451738.233L, 224.7008188L, -0.0000000327L},   // Venus
    {2001.78L, 0.53166L, 2452195.026L, 686.9957857L, -0.0000001187L},   // Mars
    {2011.2L, 0.0843L, 2455636.936L, 4332.897065L, 0.0001367L},         // Jupiter
    {2003.52L, 0.03393L, 2452830.12L, 10764.21676L, 0.000827L},         // Saturn
};

// The Earth's formula is for the Earth-Moon barycentre; these periodic terms
// (degrees in, days out) move it to the Earth's centre.
long double EarthApsisCorrection(long double k, bool aphelion)
{
  const long double arg[5] = {
      DegToRad(328.41L + 132.788585L * k), DegToRad(316.13L + 584.903153L * k),
      DegToRad(346.2L + 450.380738L * k), DegToRad(136.95L + 659.306737L * k),
      DegToRad(249.52L + 329.653368L * k)};
  static constexpr long double aph[5] = {-1.352L, 0.061L, 0.062L, 0.029L, 0.031L};
  static constexpr long double peri[5] = {1.278L, -0.055L, -0.091L, -0.056L, -0.045L};
  const long double* c = aphelion ? aph : peri;
  long double sum = 0;
  for (int i = 0; i < 5; ++i) sum += c[i] * std::sin(arg[i]);
  return sum;
}

long double FormulaPassage(int index, long double jd, bool aphelion)
{
  const TApsidesFormula& p = ApsidesFormulae[index];
  long double k0 = p.F * (JDToDecimalYear(jd) - p.Y0);
  long double k;
  if (aphelion) {
    // The smallest half-integer greater than k0.
    k = std::floor(k0) + 1.5L;
    if (k - k0 > 1) k -= 1;
  } else {
    k = std::trunc(k0);
  }
  long double jde = p.A + p.B * k + p.C * k * k;
  if (index == 0) jde += EarthApsisCorrection(k, aphelion);
  return jde;
}

// The first tabulated passage after jd, or -1 when the table ends before it.
long double TablePassage(std::span<const std::int32_t> table, long double jd)
{
  auto it = std::upper_bound(table.begin(), table.end(), jd,
                             [](long double x, std::int32_t date) { return x < date; });
  return it == table.end() ? -1.0L : static_cast<long double>(*it);
}

long double Passage(int index, long double jd, bool aphelion)
{
  if (index >= 0 && index <= 5) return FormulaPassage(index, jd, aphelion);
  if (index == 6) return TablePassage(aphelion ? UranusAphelia : UranusPerihelia, jd);
  if (index == 7) return TablePassage(aphelion ? NeptuneAphelia : NeptunePerihelia, jd);
  return -1.0L;
}

}  // namespace

long double AphelionPassage(int index, long double jd) { return Passage(index, jd, true); }

long double PerihelionPassage(int index, long double jd) { return Passage(index, jd, false); }
