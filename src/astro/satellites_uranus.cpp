// The five major satellites of Uranus after GUST86 (Laskar and Jacobson).
#include "astro/satellites.h"

#include "astro/Mathematics.h"
#include "astro/QuickTrig.h"
#include "astro/SatelliteTerms.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <string>

namespace {

// Sidereal periods (days) and masses relative to Uranus, Miranda to Oberon,
// for the semi-major axes by Kepler's third law.
constexpr long double Period[5] = {1.41347925L, 2.52037935L, 4.1441772L, 8.7058717L,
                                   13.4632389L};
constexpr long double MassRatio[5] = {7.5e-7L, 1.49e-5L, 1.45e-5L, 3.97e-5L, 3.45e-5L};
constexpr long double G = 6.6722e-11L;            // m^3 kg^-1 s^-2
constexpr long double UranusMass = 8.698e25L;     // kg
constexpr long double FourPiSquared = 39.478417604357434478L;
constexpr long double MetresPerAU = 149597870000.0L;

long double AxisFromPeriod(int k)
{
  long double p = Period[k] * 86400;
  return std::cbrt(p * p * (1 + MassRatio[k]) * G * UranusMass / FourPiSquared) / MetresPerAU;
}

int SatelliteIndex(int code)
{
  if (code < FirstUranusSatellite || code > LastUranusSatellite)
    throw std::out_of_range("no theory for Uranus' satellite " + std::to_string(code));
  return code - FirstUranusSatellite;
}

}  // namespace

TOrbitElements UranusEquatorialElements(int code, long double jd)
{
  int k = SatelliteIndex(code);
  const TGustSatellite& sat = GustSatellites[k];
  long double t = jd - GustOriginJD;
  long double lambda = sat.Lambda0 + std::fmod(sat.LambdaRate * t, TwoPi);
  // The periodic terms in double precision (see QuickTrig.h); their
  // arguments are formed in extended precision, since they grow with time.
  double dl = 0, ek = 0, eh = 0, iq = 0, ip = 0;
  for (int j = 0; j < sat.Terms.Count; ++j) {
    const TGustTerm& term = GustTerms[sat.Terms.First + j];
    double s, c;
    QuickSinCos(term.Phase + term.Freq * t, s, c);
    double amp = static_cast<double>(term.Amp);
    switch (term.Series) {
      case usL: dl += amp * s; break;
      case usKH: ek += amp * c; eh += amp * s; break;
      default: iq += amp * c; ip += amp * s; break;
    }
  }
  lambda += dl;
  constexpr double Deg = 57.295779513082320877;
  TOrbitElements el;
  el.EpochJD = jd;
  el.Ecc = std::sqrt(ek * ek + eh * eh);
  el.PeriLon = std::atan2(eh, ek) * Deg;
  el.Incl = std::asin(std::min(1.0, 2 * std::sqrt(iq * iq + ip * ip))) * Deg;
  el.NodeLon = std::atan2(ip, iq) * Deg;
  el.MeanLon = RadToDeg(lambda);
  static const std::array<long double, 5> axes = [] {
    std::array<long double, 5> a;
    for (int i = 0; i < 5; ++i) a[i] = AxisFromPeriod(i);
    return a;
  }();
  el.AxisAU = axes[k];
  el.DailyMotion = RadToDeg(sat.MeanMotion);
  return el;
}

TOrbitElements UranusSatelliteElements(int code, long double jd)
{
  TOrbitElements el = UranusEquatorialElements(code, jd);
  // The theory counts its longitudes from the node where the satellites'
  // plane crosses the B1950 equator going south; the ascending node, 180
  // degrees on, lies at the pole's right ascension plus 90 degrees.
  long double nodeEq = GustPoleRA1950 + 90;
  long double iEq = 90 - GustPoleDec1950;
  el.NodeLon += 180 + nodeEq;
  el.PeriLon += 180 + nodeEq;
  el.MeanLon += 180 + nodeEq;
  return EquatorToReferencePlane(el, iEq, nodeEq);
}

TRectCoord UranusSatellite(int code, long double jd)
{
  if (code < FirstUranusSatellite || code > LastUranusSatellite) return {};
  return From1950To2000(KeplerPositionQuick(UranusSatelliteElements(code, jd), jd), false);
}
