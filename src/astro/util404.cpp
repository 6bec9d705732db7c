#include "astro/util404.h"

#include "astro/Mathematics.h"

#include <algorithm>
#include <cmath>

const char* const PlanetNames[9] = {"Earth",  "Mercury", "Venus",   "Mars", "Jupiter",
                                    "Saturn", "Uranus",  "Neptune", "Pluto"};

long double ReduceArcsec(long double x) { return x - 1296000.0L * std::trunc(x / 1296000.0L); }

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
  s.CosEps = std::cos(s.Eps);
  s.SinEps = std::sin(s.Eps);
  return s;
}

TObliquityState ObliquityCache = ComputeObliquity(2451544.5L);

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

void SinCosMultiples(long double a, int n, long double* s, long double* c)
{
  long double sa = std::sin(a), ca = std::cos(a);
  s[1] = sa;
  c[1] = ca;
  if (n < 2) return;
  s[2] = 2.0L * sa * ca;
  c[2] = ca * ca - sa * sa;
  for (int j = 2; j < n; ++j) {
    s[j + 1] = sa * c[j] + ca * s[j];
    c[j + 1] = ca * c[j] - sa * s[j];
  }
}
