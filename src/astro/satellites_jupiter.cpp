// The Galilean satellites after Lieske's theory (time origin JD 2443000.5).
#include "astro/satellites.h"

#include "astro/Mathematics.h"
#include "astro/QuickTrig.h"
#include "astro/SatelliteTerms.h"

#include <cmath>

namespace {

// Semi-major axes, AU: Io, Europa, Ganymede, Callisto.
constexpr long double Axis[4] = {0.002819347L, 0.004485872L, 0.007155352L, 0.012585436L};

// Inclination of Jupiter's equator on its orbit, of the orbit on the
// ecliptic of 1950, and the node of the orbit, degrees.
constexpr long double EquatorOnOrbit = 3.10401L;
constexpr long double OrbitOnEcliptic = 1.30691L;
constexpr long double OrbitNode = 99.99754L;

// The fundamental angles in degrees, d days from JD 2443000.5.
void FundamentalAngles(long double d, long double a[GalileanAngleCount])
{
  a[gaL1] = 106.07859L + 203.4889553630644L * d;
  a[gaL2] = 175.733787L + 101.3747245566245L * d;
  a[gaL3] = 120.5613855L + 50.31760915340462L * d;
  a[gaL4] = 84.455823L + 21.57107087517961L * d;
  a[gaPi1] = 82.380231L + 0.16102275L * d;
  a[gaPi2] = 128.960393L + 0.04645644L * d;
  a[gaPi3] = 187.550171L + 0.00712408L * d;
  a[gaPi4] = 335.309254L + 0.00183939L * d;
  a[gaOm1] = 308.365749L - 0.1328061L * d;
  a[gaOm2] = 100.438938L - 0.03261535L * d;
  a[gaOm3] = 118.908928L - 0.00717678L * d;
  a[gaOm4] = 322.746564L - 0.00176018L * d;
  a[gaG] = 30.2380210168L + 0.08309256178969453L * d;
  a[gaGs] = 31.9785280244L + 0.033459733896L * d;
  a[gaPsi] = 316.500101L - 0.00000248L * d;
  a[gaPhl] = 184.415351L + 0.17356902L * d;
  a[gaPiJ] = 13.470395L;
  // Whole turns only cost precision in the combinations below.
  for (int k = 0; k < GalileanAngleCount; ++k) a[k] = ReduceDegrees(a[k]);
}

// The periodic terms are evaluated in double precision (see QuickTrig.h):
// their arguments are combinations of the reduced angles, in radians.
double Argument(const TGalileanTerm& term, const double a[GalileanAngleCount])
{
  double arg = static_cast<double>(term.Phase) * 0.017453292519943295769;
  for (int k = 0; k < GalileanAngleCount; ++k)
    if (term.Mult[k] != 0) arg += term.Mult[k] * a[k];
  return arg;
}

// Sines and cosines of the fixed angles of step 5.
struct TJovianFrame {
  double CosEquator, SinEquator, CosOrbit, SinOrbit, CosNode, SinNode;
};

const TJovianFrame& JovianFrame()
{
  static const TJovianFrame f = [] {
    TJovianFrame r;
    QuickSinCosDeg(EquatorOnOrbit, r.SinEquator, r.CosEquator);
    QuickSinCosDeg(OrbitOnEcliptic, r.SinOrbit, r.CosOrbit);
    QuickSinCosDeg(OrbitNode, r.SinNode, r.CosNode);
    return r;
  }();
  return f;
}

// Counter-clockwise rotations about x and z by the angle of (c, s), as
// RotateVector turns.
TRectCoord TurnX(const TRectCoord& v, long double c, long double s)
{
  return {v.X, c * v.Y - s * v.Z, s * v.Y + c * v.Z};
}

TRectCoord TurnZ(const TRectCoord& v, long double c, long double s)
{
  return {c * v.X - s * v.Y, s * v.X + c * v.Y, v.Z};
}

}  // namespace

TRectCoord JupiterSatellite1950(int code, long double jd)
{
  if (code < FirstJupiterSatellite || code > LastJupiterSatellite) return {};
  int k = code - FirstJupiterSatellite;
  long double a[GalileanAngleCount];
  FundamentalAngles(jd - 2443000.5L, a);

  double ad[GalileanAngleCount];
  for (int j = 0; j < GalileanAngleCount; ++j)
    ad[j] = static_cast<double>(a[j]) * 0.017453292519943295769;

  const TTermRange range = GalileanRanges[k];
  const TGalileanTerm* terms = GalileanTerms + range.First;
  // The longitude perturbation is summed first: the latitude terms are
  // functions of the perturbed longitude. Its series is in radians.
  double sigma = 0, rho = 0, b = 0;
  for (int j = 0; j < range.Count; ++j)
    if (terms[j].Series == gsSigma) sigma += terms[j].Coef * std::sin(Argument(terms[j], ad));
  sigma *= 1e-7;
  for (int j = 0; j < range.Count; ++j) {
    const TGalileanTerm& t = terms[j];
    if (t.Series == gsRho) {
      rho += t.Coef * std::cos(Argument(t, ad));
    } else if (t.Series == gsB) {
      double arg = Argument(t, ad) + (t.AddSigma ? sigma : 0);
      b += t.Coef * std::sin(arg);
    }
  }
  rho *= 1e-7;
  b *= 1e-7;

  // In Jupiter's equatorial frame, x axis towards the longitude psi.
  long double psi = a[gaPsi];
  long double r = Axis[k] * (1 + static_cast<long double>(rho));
  double sl, cl;
  QuickSinCos(DegToRad(a[gaL1 + k] - psi) + sigma, sl, cl);
  TRectCoord v{r * cl, r * sl, Axis[k] * static_cast<long double>(b)};

  // Equator to orbit, orbit to the ecliptic of 1950: counter-clockwise
  // rotations (turning the x axis the other way would mirror the orbit planes).
  const TJovianFrame& f = JovianFrame();
  double sp, cp;
  QuickSinCosDeg(psi - OrbitNode, sp, cp);
  v = TurnX(v, f.CosEquator, f.SinEquator);
  v = TurnZ(v, cp, sp);
  v = TurnX(v, f.CosOrbit, f.SinOrbit);
  v = TurnZ(v, f.CosNode, f.SinNode);
  return v;
}

TRectCoord JupiterSatellite(int code, long double jd)
{
  if (code < FirstJupiterSatellite || code > LastJupiterSatellite) return {};
  return From1950To2000(JupiterSatellite1950(code, jd), true);
}
