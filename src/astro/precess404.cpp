#include "astro/precess404.h"

#include "astro/Angles.h"
#include "astro/Mathematics.h"
#include "astro/util404.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr long double J2000 = 2451545.0L;

// Laskar's expansions in Julian millennia, highest power first.
// General precession in longitude, arc seconds (times tau below).
constexpr long double PrecLon[] = {-8.66e-10L, -4.759e-8L, 2.424e-7L, 1.3095e-5L, 1.7451e-4L,
                                   -1.8055e-3L, -0.235316L, 0.076L, 110.5407L, 50287.7L};
// Longitude of the node of the moving ecliptic on the J2000 ecliptic, radians.
constexpr long double NodeLon[] = {6.6402e-16L, -2.69151e-15L, -1.547021e-12L, 7.521313e-12L,
                                   1.9e-10L,    -3.54e-9L,     -1.8103e-7L,    1.26e-7L,
                                   7.436169e-5L, -0.04207794833L, 3.052115282424L};
// Inclination of the moving ecliptic on the J2000 ecliptic, radians.
constexpr long double Incl[] = {1.2147e-16L,  7.3759e-17L,  -8.26287e-14L, 2.50341e-13L,
                                2.4650839e-11L, -5.4000441e-11L, 1.32115526e-9L, -6.012e-7L,
                                -1.62442e-5L, 0.00227850649L, 0.0L};

template <std::size_t N>
long double Horner(const long double (&c)[N], long double x)
{
  long double s = 0;
  for (long double k : c) s = s * x + k;
  return s;
}

template <std::size_t N>
double HornerDouble(const long double (&c)[N], double x)
{
  double s = 0;
  for (long double k : c) s = s * x + static_cast<double>(k);
  return s;
}

// Turn the frame about z by angle a.
void TurnZ(long double a, long double& x, long double& y)
{
  long double c, s;
  SinCos(a, s, c);
  long double xn = c * x + s * y;
  y = -s * x + c * y;
  x = xn;
}

}  // namespace

void Precess(const TRectCoord& v, int direction, long double jd, TRectCoord& rect,
             TPolarCoord& polar)
{
  if (jd == J2000) {
    rect = v;
    polar = RectToPolar(v);
    return;
  }
  bool toJ2000 = direction == 1;
  long double tau = (jd - J2000) / 36525.0L / 10.0L;

  // Equator of the starting frame to its ecliptic.
  Obliquity(toJ2000 ? jd : J2000);
  TRectCoord e = EquRectToEclRect(v);
  long double x = e.X, y = e.Y, z = e.Z;

  long double pA = Horner(PrecLon, tau) * ArcsecToRadians * tau;
  long double w = Horner(NodeLon, tau);
  long double i = Horner(Incl, tau);

  TurnZ(toJ2000 ? w + pA : w, x, y);
  long double ai = toJ2000 ? -i : i;
  long double c, s;
  SinCos(ai, s, c);
  long double yn = c * y + s * z;
  z = -s * y + c * z;
  y = yn;
  TurnZ(toJ2000 ? -w : -w - pA, x, y);

  // Ecliptic of the target frame back to its equator.
  Obliquity(toJ2000 ? J2000 : jd);
  rect = EclRectToEquRect({x, y, z});
  polar = RectToPolar(rect);
}

TRectCoord Precess(const TRectCoord& v, int direction, long double jd)
{
  TRectCoord rect;
  TPolarCoord polar;
  Precess(v, direction, jd, rect, polar);
  return rect;
}

TMatrix4 EclipticPrecessionMatrix(long double jd)
{
  // The angles in double as well: pA and i are small, and an error in w
  // only tilts the node line, which turns the ecliptic by i alone.
  const double tau = static_cast<double>((jd - J2000) / 36525.0L / 10.0L);
  const double pA = HornerDouble(PrecLon, tau) * static_cast<double>(ArcsecToRadians) * tau;
  const double w = HornerDouble(NodeLon, tau);
  const double i = HornerDouble(Incl, tau);
  // Precess turns the ecliptic frame by w about z, by i about x and back by
  // w + pA about z. The first two turns and the third's w make one rotation
  // by i about the node line (cos w, sin w, 0), written out by Rodrigues'
  // formula so that it is exactly the identity where i = 0; then pA.
  const double sp = std::sin(pA), cp = std::cos(pA);
  const double sw = std::sin(w), cw = std::cos(w);
  const double si = std::sin(i);
  const double hs = std::sin(i / 2);
  const double vi = 2 * hs * hs;  // 1 - cos i
  const double n[3][3] = {{1 - vi * sw * sw, vi * cw * sw, -si * sw},
                          {vi * cw * sw, 1 - vi * cw * cw, si * cw},
                          {si * sw, -si * cw, 1 - vi}};
  TMatrix4 m;
  for (int j = 0; j < 3; ++j) {
    m(0, j) = cp * n[0][j] - sp * n[1][j];
    m(1, j) = sp * n[0][j] + cp * n[1][j];
    m(2, j) = n[2][j];
  }
  m(3, 3) = 1;
  return m;
}

void PrecessBetween(const TRectCoord& v, long double fromJD, long double toJD, TRectCoord& rect,
                    TPolarCoord& polar)
{
  Precess(Precess(v, 1, fromJD), -1, toJD, rect, polar);
}

void PrecessEcliptic(const TPolarCoord& p, long double fromJD, long double toJD,
                     TPolarCoord& polar, TRectCoord& rect)
{
  long double T = (fromJD - J2000) / 36525.0L;
  long double t = (toJD - fromJD) / 36525.0L;
  long double eta = ((47.0029L - 0.06603L * T + 0.000598L * T * T) * t +
                     (-0.03302L + 0.000598L * T) * t * t + 0.00006L * t * t * t) *
                    ArcsecToRadians;
  long double bigPi = (629554.9824L + 3289.4789L * T + 0.60622L * T * T -
                       (869.8089L + 0.50491L * T) * t + 0.03536L * t * t) *
                      ArcsecToRadians;
  long double pp = ((5029.0966L + 2.22226L * T - 0.000042L * T * T) * t +
                    (1.11113L - 0.000042L * T) * t * t - 0.00006L * t * t * t) *
                   ArcsecToRadians;

  long double ce = std::cos(eta), se = std::sin(eta);
  long double cb = std::cos(p.Lat), sb = std::sin(p.Lat);
  long double d = bigPi - p.Lon;
  long double a = ce * cb * std::sin(d) - se * sb;
  long double b = cb * std::cos(d);
  long double c = ce * sb + se * cb * std::sin(d);

  polar.Lon = -Norm2Pi(ArcTan2(b, a) - pp - bigPi);
  polar.Lat = ArcSin(std::clamp(c, -1.0L, 1.0L));
  polar.Dist = p.Dist;
  rect = PolarToRect(polar);
}
