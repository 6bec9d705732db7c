#include "astro/nutate404.h"

#include "astro/Mathematics.h"
#include "astro/NutationSeries.h"
#include "astro/util404.h"

#include <cmath>

namespace {

// Per thread, as the obliquity cache.
thread_local TNutationState NutationCache;

// 0.0001" in radians.
constexpr long double TenThousandthArcsec = 4.848136811095359832772e-10L;

// The multiple-angle tables run from -Span to Span times each argument.
constexpr int Span = 4;
static_assert([] {
  for (int m : NutationMaxMultiple)
    if (m > Span) return false;
  return true;
}());

}  // namespace

const TNutationState& NutationState() { return NutationCache; }

void NutationAngles(long double jd)
{
  if (jd == NutationCache.JD) return;

  long double t = (jd - 2451545.0L) / 36525.0L;
  long double t2 = t * t;
  long double t10 = t / 10.0L;

  // Fundamental arguments in arc seconds: the linear part is reduced to one
  // turn before the quadratic part is added.
  long double arg[5];
  long double om = ReduceArcsec(-6962890.539L * t + 450160.280L) + (0.008L * t + 7.455L) * t2;
  arg[1] = ReduceArcsec(129596581.224L * t + 1287099.804L) - (0.012L * t + 0.577L) * t2;
  arg[0] = ReduceArcsec(1717915922.633L * t + 485866.733L) + (0.064L * t + 31.310L) * t2;
  arg[2] = ReduceArcsec(1739527263.137L * t + 335778.877L) + (0.011L * t - 13.257L) * t2;
  arg[3] = ReduceArcsec(1602961601.328L * t + 1072261.307L) + (0.019L * t - 6.891L) * t2;
  arg[4] = om;

  // sin and cos of j times each argument for j = -Span..Span, at index
  // Span + j; j = 0 gives (0, 1).
  long double ss[5][2 * Span + 1] = {}, cc[5][2 * Span + 1] = {};
  for (int k = 0; k < 5; ++k) {
    long double* s = ss[k] + Span;
    long double* c = cc[k] + Span;
    SinCosMultiples(arg[k] * ArcsecToRadians, NutationMaxMultiple[k], s, c);
    s[0] = 0;
    c[0] = 1;
    for (int n = 1; n <= NutationMaxMultiple[k]; ++n) {
      s[-n] = -s[n];
      c[-n] = c[n];
    }
  }

  long double dpsi = 0, deps = 0;
  for (const TNutationTerm& term : NutationTerms) {
    // The argument's sine and cosine by the addition theorems. Folding in a
    // zero multiple, (0, 1), is exact, so every multiplier can be taken
    // without a branch; no row has all five zero.
    long double s = ss[0][Span + term.Mult[0]];
    long double c = cc[0][Span + term.Mult[0]];
    for (int k = 1; k < 5; ++k) {
      long double sk = ss[k][Span + term.Mult[k]];
      long double ck = cc[k][Span + term.Mult[k]];
      long double sn = sk * c + ck * s;
      c = ck * c - sk * s;
      s = sn;
    }
    long double a = term.Lon, b = term.Obl;
    if (term.LonRate != 0) a += term.LonRate * t10;
    if (term.OblRate != 0) b += term.OblRate * t10;
    dpsi += a * s;
    deps += b * c;
  }

  // The leading term in the node.
  dpsi += (-171996.0L - 1742.0L * t10) * ss[4][Span + 1];
  deps += (92025.0L + 89.0L * t10) * cc[4][Span + 1];

  NutationCache.JD = jd;
  NutationCache.DPsi = dpsi * TenThousandthArcsec;
  NutationCache.DEps = deps * TenThousandthArcsec;
}

void ApplyNutation(TRectCoord& v, long double jd)
{
  NutationAngles(jd);
  Obliquity(jd);
  const TObliquityState& o = ObliquityState();
  const TNutationState& n = NutationCache;

  // To the ecliptic of date, by dpsi about its pole, back to the true equator
  // (obliquity eps + deps), folded into one matrix.
  long double f = o.Eps + n.DEps;
  long double ce, se, sino, coso, cl, sl;
  SinCos(f, se, ce);
  SinCos(n.DEps, sino, coso);
  SinCos(n.DPsi, sl, cl);
  long double x = v.X, y = v.Y, z = v.Z;
  v.X = cl * x - sl * o.CosEps * y - sl * o.SinEps * z;
  v.Y = sl * ce * x + (cl * o.CosEps * ce + o.SinEps * se) * y -
        (sino + (1.0L - cl) * o.SinEps * ce) * z;
  v.Z = sl * se * x + (sino + (cl - 1.0L) * se * o.CosEps) * y +
        (cl * o.SinEps * se + o.CosEps * ce) * z;
}
