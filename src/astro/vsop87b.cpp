#include "astro/vsop87b.h"

#include <cmath>

namespace {

constexpr long double J2000 = 2451545.0L;
constexpr long double DaysPerMillennium = 365250.0L;

// From the dynamical ecliptic and equinox of VSOP87 to the FK5 equator and
// equinox of J2000.0 (published with the theory). It is nearly the rotation
// by the obliquity 84381.4091", but the ecliptic's equinox sits 0.099" away.
constexpr long double ToFk5[3][3] = {
    {1.000000000000L, 0.000000440360L, -0.000000190919L},
    {-0.000000479966L, 0.917482137087L, -0.397776982902L},
    {0.000000000000L, 0.397776982902L, 0.917482137087L}};

// cos and sin of a long-double angle of any size: whole turns are removed in
// extended precision, the rest is evaluated in double, whose library sine is
// several times faster; the result is good to about 1e-16 (the series carry 11
// decimals).
void CosSin(long double a, long double& c, long double& s)
{
  constexpr long double TwoPi = 6.283185307179586477L;
  // Adding and taking away 1.5 * 2^63 rounds to a whole number of turns;
  // a cast to an integer would switch the x87 rounding mode at every term,
  // which costs more than the sine.
  constexpr long double Round = 13835058055282163712.0L;
  const long double turns = (a / TwoPi + Round) - Round;
  const double r = static_cast<double>(a - turns * TwoPi);
  c = std::cos(r);
  s = std::sin(r);
}

}  // namespace

TPolarCoord Vsop87bEcliptic(int planet, long double jd)
{
  if (planet < 1 || planet > 8) return {};
  const TVsopSeries& s = VsopSeries[planet - 1];
  const long double tau = (jd - J2000) / DaysPerMillennium;

  // cos and sin of C tau once per distinct frequency.
  long double cf[VsopMaxFreq], sf[VsopMaxFreq];
  for (int i = 0; i < s.FreqCount; ++i) CosSin(s.Freq[i] * tau, cf[i], sf[i]);

  long double coord[3];
  for (int c = 0; c < 3; ++c) {
    long double v = 0;
    for (int k = 5; k >= 0; --k) {
      const int sec = 6 * c + k;
      long double sum = 0;
      for (int i = s.Start[sec]; i < s.Start[sec + 1]; ++i) {
        const int f = s.Index[i];
        sum += s.Cos[i] * cf[f] - s.Sin[i] * sf[f];
      }
      v = v * tau + sum;
    }
    coord[c] = v;
  }
  return {coord[0], coord[1], coord[2]};
}

TRectCoord Vsop87bEquatorial(int planet, long double jd)
{
  if (planet < 1 || planet > 8) return {};
  const TPolarCoord p = Vsop87bEcliptic(planet, jd);
  const long double cb = std::cos(p.Lat);
  const long double e[3] = {p.Dist * cb * std::cos(p.Lon), p.Dist * cb * std::sin(p.Lon),
                            p.Dist * std::sin(p.Lat)};
  long double q[3];
  for (int i = 0; i < 3; ++i) q[i] = ToFk5[i][0] * e[0] + ToFk5[i][1] * e[1] + ToFk5[i][2] * e[2];
  return {q[0], q[1], q[2]};
}
