#include "astro/util404.h"

#include "astro/Mathematics.h"

#include <algorithm>
#include <cmath>

const char* const PlanetNames[9] = {"Earth",  "Mercury", "Venus",   "Mars", "Jupiter",
                                    "Saturn", "Uranus",  "Neptune", "Pluto"};

long double ReduceArcsec(long double x)
{
  constexpr long double Turn = 1296000.0L;
  long double q = x / Turn;
  if (!(std::fabs(q) < 1e15L)) return x - Turn * std::trunc(q);
  // Truncating the extended quotient would switch the x87 rounding mode
  // twice, which costs more than the rest of this function; the quotient
  // truncated through a double may be one turn off near a whole number of
  // turns, and the result is brought back to the sign of x.
  long double r = x - Turn * static_cast<long double>(static_cast<long long>(static_cast<double>(q)));
  if (x >= 0) {
    if (r < 0) r += Turn;
    else if (r >= Turn) r -= Turn;
  } else {
    if (r > 0) r -= Turn;
    else if (r <= -Turn) r += Turn;
  }
  return r;
}

namespace {

TObliquityState ComputeObliquity(long double jd)
{
  // Laskar's expansion, in Julian millennia from J2000.0; arc seconds.
  static const long double coef[] = {2.45e-10L,  5.79e-9L,  2.787e-7L,  7.12e-7L,
                                     -3.905e-5L, -0.0024967L, -0.005138L, 1.99925L,
                                     -0.0155L,   -468.093L,  84381.448L};
  long double t = (jd - 2451545.0L) / 365250.0L;
  long double e = 0;
  for (long double k : coef) e = e * t + k;
  TObliquityState s;
  s.JD = jd;
  s.Eps = e * ArcsecToRadians;
  SinCos(s.Eps, s.SinEps, s.CosEps);
  return s;
}

// One cache per thread, so that scenes computed on different threads (the
// window's and a film's) never see each other's instant.
thread_local TObliquityState ObliquityCache = ComputeObliquity(2451544.5L);

TPolarCoord PolarOf(const TRectCoord& v)
{
  TPolarCoord p;
  p.Dist = VecLength(v);
  p.Lon = ArcTan2(v.X, v.Y);
  // Rounding may push |z/r| a hair past 1; the zero vector has no direction.
  p.Lat = p.Dist > 0 ? ArcSin(std::clamp(v.Z / p.Dist, -1.0L, 1.0L)) : 0.0L;
  return p;
}

}  // namespace

void Obliquity(long double jd)
{
  if (jd != ObliquityCache.JD) ObliquityCache = ComputeObliquity(jd);
}

const TObliquityState& ObliquityState() { return ObliquityCache; }

TRectCoord EclRectToEquRect(const TRectCoord& v)
{
  const TObliquityState& o = ObliquityCache;
  return {v.X, v.Y * o.CosEps - v.Z * o.SinEps, v.Y * o.SinEps + v.Z * o.CosEps};
}

TRectCoord EquRectToEclRect(const TRectCoord& v)
{
  const TObliquityState& o = ObliquityCache;
  return {v.X, v.Y * o.CosEps + v.Z * o.SinEps, -v.Y * o.SinEps + v.Z * o.CosEps};
}

void EclToEqu(const TRectCoord& v, TRectCoord& rect, TPolarCoord& polar)
{
  rect = EclRectToEquRect(v);
  polar = PolarOf(rect);
}

void EquToEcl(const TRectCoord& v, TRectCoord& rect, TPolarCoord& polar)
{
  rect = EquRectToEclRect(v);
  polar = PolarOf(rect);
}

TPolarCoord EquPolarToEclPolar(const TPolarCoord& p)
{
  TRectCoord rect;
  TPolarCoord polar;
  EquToEcl(PolarToRect(p), rect, polar);
  return polar;
}

namespace {

// Taylor coefficients (-1)^k/(2k+1)! and (-1)^k/(2k)!. For |r| <= pi/4 the
// first omitted terms are below 2e-22, far under the rounding of the result.
constexpr long double SinCoef[] = {
    -1.0L / 6, 1.0L / 120, -1.0L / 5040, 1.0L / 362880, -1.0L / 39916800,
    1.0L / 6227020800.0L, -1.0L / 1307674368000.0L, 1.0L / 355687428096000.0L,
    -1.0L / 121645100408832000.0L};
constexpr long double CosCoef[] = {
    1.0L / 24, -1.0L / 720, 1.0L / 40320, -1.0L / 3628800, 1.0L / 479001600,
    -1.0L / 87178291200.0L, 1.0L / 20922789888000.0L, -1.0L / 6402373705728000.0L,
    1.0L / 2432902008176640000.0L};

}  // namespace

void SinCos(long double x, long double& s, long double& c)
{
  if (!(std::fabs(x) <= 4096.0L)) {
    s = std::sin(x);
    c = std::cos(x);
    return;
  }
  // pi/2 in three parts; the first two have 32 significant bits each, so
  // that q times them is exact for |q| < 2^32.
  constexpr long double PiOver2A = 1.5707963267341256141662597656250L;
  constexpr long double PiOver2B = 6.077100506303965976595549136618501506746e-11L;
  constexpr long double PiOver2C = 2.022266248795950732376519042844277273704e-21L;
  // The nearest multiple of pi/2, found in double precision: a neighbouring
  // one near the midpoint leaves |r| a hair above pi/4, which does no harm.
  double qd = std::floor(static_cast<double>(x * (2.0L / Pi)) + 0.5);
  long double q = qd;
  long double r = ((x - q * PiOver2A) - q * PiOver2B) - q * PiOver2C;

  long double z = r * r;
  long double ps = 0, pc = 0;
  for (int k = 8; k >= 0; --k) {
    ps = ps * z + SinCoef[k];
    pc = pc * z + CosCoef[k];
  }
  long double sr = r + r * z * ps;
  long double cr = 1.0L - 0.5L * z + z * z * pc;
  switch (static_cast<int>(qd) & 3) {
    case 0: s = sr; c = cr; break;
    case 1: s = cr; c = -sr; break;
    case 2: s = -sr; c = -cr; break;
    default: s = -cr; c = sr; break;
  }
}

void SinCosMultiples(long double a, int n, long double* s, long double* c)
{
  long double sa, ca;
  SinCos(a, sa, ca);
  s[1] = sa;
  c[1] = ca;
  if (n < 2) return;
  // The running pair stays in registers: reading back what was just stored
  // would stall on every step.
  long double sj = 2.0L * sa * ca, cj = ca * ca - sa * sa;
  s[2] = sj;
  c[2] = cj;
  for (int j = 2; j < n; ++j) {
    long double sn = sa * cj + ca * sj;
    cj = ca * cj - sa * sj;
    sj = sn;
    s[j + 1] = sj;
    c[j + 1] = cj;
  }
}
