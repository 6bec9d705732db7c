#include "astro/de404series.h"

#include <cmath>

namespace {

constexpr long double J2000 = 2451545.0L;
constexpr long double ArcsecPerCircle = 1296000.0L;
// Radians per arc second, exactly as the fits were made with.
constexpr long double Str = 4.8481368110953599359e-6L;
constexpr int MaxHarmonicAll = 24;

long double ModCircle(long double arcsec)
{
  return arcsec - ArcsecPerCircle * std::floor(arcsec / ArcsecPerCircle);
}

long double Horner(const double*& c, int degree, long double t)
{
  long double v = *c++;
  for (int i = 0; i < degree; ++i) v = v * t + *c++;
  return v;
}

// Horner over interleaved (cosine, sine) pairs.
void HornerPair(const double*& c, int degree, long double t, long double& cv, long double& sv)
{
  cv = *c++;
  sv = *c++;
  for (int i = 0; i < degree; ++i) {
    cv = cv * t + *c++;
    sv = sv * t + *c++;
  }
}

// The arguments are below 4 pi; the double-precision sine (several times
// faster than the extended one) is good to 1e-16 there, far below the
// precision of the fitted coefficients.
void SinCos(long double a, long double& s, long double& c)
{
  const double r = static_cast<double>(a);
  s = std::sin(r);
  c = std::cos(r);
}

struct TMultiples {
  long double S[12][MaxHarmonicAll + 1];
  long double C[12][MaxHarmonicAll + 1];
};

// Fundamental argument n (1-based) in radians.
long double Argument(const TDe404Series& s, int n, long double T, long double jd)
{
  if (!s.Secular) {
    const TLinearArgument& a = De404LinearArguments[n - 1];
    return (ModCircle(a.Freq * T) + a.Phase) * Str;
  }
  const TSecularArgument& a = De404SecularArguments[n - 1];
  const long double t = (jd - J2000) / 36525.0L;
  long double tail = 0;
  for (int k = a.Count - 1; k >= 2; --k) tail = tail * t + a.C[k];
  return (ModCircle(a.C[1] * t + a.C[0]) + tail * t * t) * Str;
}

}  // namespace

TPolarCoord De404Ecliptic(int number, long double jd)
{
  if (number < 1 || number > 9) return {};
  const TDe404Series& s = De404Series[number - 1];
  const long double T = (jd - J2000) / s.TimeScale;

  TMultiples m;
  long double arg[12] = {};
  for (int n = 1; n <= s.MaxArgs; ++n) {
    const int K = s.MaxHarmonic[n - 1];
    if (K <= 0 && n != s.AddMeanLon) continue;
    arg[n - 1] = Argument(s, n, T, jd);
    if (K <= 0) continue;
    long double* S = m.S[n - 1];
    long double* C = m.C[n - 1];
    SinCos(arg[n - 1], S[1], C[1]);
    for (int k = 1; k < K; ++k) {
      S[k + 1] = S[1] * C[k] + C[1] * S[k];
      C[k + 1] = C[1] * C[k] - S[1] * S[k];
    }
  }

  long double sl = 0, sb = 0, sr = 0;
  const signed char* p = s.Args;
  const double* pl = s.Lon;
  const double* pb = s.Lat;
  const double* pr = s.Rad;
  for (int row = 0; row < s.Rows; ++row) {
    const int np = *p++;
    if (np == 0) {
      const int d = *p++;
      const long double lon = Horner(pl, d, T);
      // The linear tables' longitude polynomial is the mean longitude: whole
      // turns are dropped to keep its precision.
      sl += s.Secular ? lon : ModCircle(lon);
      sb += Horner(pb, d, T);
      sr += Horner(pr, d, T);
      continue;
    }
    long double sv = 0, cv = 1;
    for (int i = 0; i < np; ++i) {
      const int h = *p++;
      const int n = *p++;
      const int k = h < 0 ? -h : h;
      const long double su = h < 0 ? -m.S[n - 1][k] : m.S[n - 1][k];
      const long double cu = m.C[n - 1][k];
      if (i == 0) {
        sv = su;
        cv = cu;
      } else {
        const long double t = su * cv + cu * sv;
        cv = cu * cv - su * sv;
        sv = t;
      }
    }
    const int d = *p++;
    long double c, sn;
    HornerPair(pl, d, T, c, sn);
    sl += c * cv + sn * sv;
    HornerPair(pb, d, T, c, sn);
    sb += c * cv + sn * sv;
    HornerPair(pr, d, T, c, sn);
    sr += c * cv + sn * sv;
  }

  const long double scale = Str * s.TruncLevel;
  TPolarCoord r;
  r.Lon = (s.AddMeanLon ? arg[s.AddMeanLon - 1] : 0.0L) + scale * sl;
  r.Lat = scale * sb;
  r.Dist = s.Distance * (1.0L + scale * sr);
  return r;
}

TRectCoord De404Equatorial(int number, long double jd)
{
  if (number < 1 || number > 9) return {};
  const TPolarCoord p = De404Ecliptic(number, jd);
  const long double cb = std::cos(p.Lat);
  const long double x = p.Dist * cb * std::cos(p.Lon);
  const long double y = p.Dist * cb * std::sin(p.Lon);
  const long double z = p.Dist * std::sin(p.Lat);
  const long double eps = De404ObliquityArcsec * Str;
  const long double ce = std::cos(eps), se = std::sin(eps);
  return {x, y * ce - z * se, y * se + z * ce};
}
