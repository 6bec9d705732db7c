// The satellites of Saturn after the Harper-Taylor formulae (frame of 1950.0),
// Phoebe from its mean elements.
#include "astro/satellites.h"

#include "astro/Mathematics.h"
#include "astro/QuickTrig.h"
#include "astro/SatelliteTerms.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace {

constexpr int Mimas = 156, Enceladus = 157, Tethys = 158, Telesto = 159, Calypso = 160,
              Dione = 161, Helene = 162, Rhea = 163, Titan = 164, Hyperion = 165, Iapetus = 166,
              Phoebe = 167;

constexpr long double Kappa = RadiansToDegrees;

// Trigonometry of degrees in double precision (see QuickTrig.h): every
// result enters as a perturbation, a slowly turning direction or a ratio of
// small quantities, never as a whole-turn longitude.
long double SinD(long double x) { return QuickSinDeg(x); }
long double CosD(long double x) { return QuickCosDeg(x); }
long double TanD(long double x)
{
  return std::tan(static_cast<double>(ReduceDegrees(x)) * 0.017453292519943295769);
}
long double Atan2D(long double y, long double x)
{
  return std::atan2(static_cast<double>(y), static_cast<double>(x)) * 57.295779513082320877;
}

// ---- Mimas to Helene: elements on Saturn's equator --------------------

struct TInnerSatellite {
  long double Axis, Motion, Ecc, Gamma;
  long double Node0, NodeRate;  // node on the equator: Node0 + NodeRate*T
  long double Lon0;             // mean longitude: Lon0 + n*t + periodic part
  long double Peri0, PeriRate;  // periapsis: Peri0 + PeriRate*T
};

// Mimas, Enceladus, Tethys, Dione (t days from JD 2411093.0, T = t/365.25).
constexpr TInnerSatellite InnerSatellites[4] = {
    {0.00124171L, 381.994516L, 0.01986L, 1.57L, 49.4L, -365.025L, 128.839L, 107.0L, 365.56L},
    {0.00158935L, 262.7319052L, 0.00532L, 0.036L, 145.0L, -152.7L, 200.155L, 312.7L, 123.42L},
    {0.00197069L, 190.697920278L, 0.000212L, 1.1121L, 111.41L, -72.24754L, 284.9982L, 97.0L,
     72.29L},
    {0.00252413L, 131.534920026L, 0.001715L, 0.0289L, 228.0L, -30.6197L, 255.1183L, 173.6L,
     30.8381L}};

TOrbitElements InnerElements(int code, long double jd)
{
  // The Trojan companions move on the orbit of Tethys or Dione, 60 degrees
  // ahead or behind.
  int body = code;
  long double lead = 0;
  if (code == Telesto || code == Calypso) {
    body = Tethys;
    lead = code == Telesto ? 60 : -60;
  } else if (code == Helene) {
    body = Dione;
    lead = 60;
  }
  int k = body == Mimas ? 0 : body == Enceladus ? 1 : body == Tethys ? 2 : 3;
  const TInnerSatellite& s = InnerSatellites[k];

  long double t = jd - 2411093.0L;
  long double T = t / 365.25L;
  long double gam = 5.0616L * ((jd - 2433282.423L) / 365.25L + 1950 - 1866.06L);
  long double lambda = s.Lon0 + std::fmod(s.Motion * t, 360.0L);
  switch (body) {
    case Mimas:
      lambda += -43.415L * SinD(gam) - 0.714L * SinD(3 * gam) - 0.020L * SinD(5 * gam);
      break;
    case Enceladus:
      lambda += 15.38L / 60 * SinD(59.4L + 32.73L * T) + 13.04L / 60 * SinD(119.2L + 93.18L * T);
      break;
    case Tethys:
      lambda += 2.0751L * SinD(gam) + 0.0341L * SinD(3 * gam) + 0.001L * SinD(5 * gam);
      break;
    default:  // Dione
      lambda += -0.88L / 60 * SinD(59.4L + 32.73L * T) - 0.75L / 60 * SinD(119.2L + 93.18L * T);
      break;
  }

  TOrbitElements el;
  el.EpochJD = jd;
  el.Incl = s.Gamma;
  el.NodeLon = s.Node0 + s.NodeRate * T;
  el.PeriLon = s.Peri0 + s.PeriRate * T;
  el.AxisAU = s.Axis;
  el.DailyMotion = s.Motion;
  el.Ecc = s.Ecc;
  el.MeanLon = lambda + lead;
  return el;
}

// ---- Rhea to Iapetus: the periodic terms of saturn.txt ----------------

// A satellite's time variables, arguments and polynomials at one instant.
struct TSaturnArgs {
  long double Time[MaxSaturnTimes] = {};
  long double Arg[MaxSaturnArgs] = {};
  long double Poly[MaxSaturnPolys] = {};
};

TSaturnArgs EvaluateArgs(const TSaturnTable& tab, long double jd)
{
  TSaturnArgs v;
  for (int k = 0; k < tab.TimeCount; ++k)
    v.Time[k] = (jd - tab.Times[k].JD0) / tab.Times[k].Div + tab.Times[k].Add;
  for (int k = 0; k < tab.AngleCount; ++k) {
    const TSaturnAngle& a = tab.Angles[k];
    v.Arg[k] = a.C0 + a.C1 * v.Time[a.Time];
  }
  for (int k = 0; k < tab.PolyCount; ++k) {
    const TSaturnPoly& p = tab.Polys[k];
    v.Poly[k] = Poly3(v.Time[p.Time], p.C[3], p.C[2], p.C[1], p.C[0]);
  }
  return v;
}

// Sums of the periodic terms per target; args must be complete.
template <int N>
void SumTerms(const TSaturnTable& tab, const long double* args, long double (&sum)[N])
{
  for (auto& s : sum) s = 0;
  for (int j = 0; j < tab.TermCount; ++j) {
    const TSaturnTerm& t = tab.Terms[j];
    long double arg = 0;
    for (int k = 0; k < MaxSaturnArgs; ++k)
      if (t.Mult[k] != 0) arg += t.Mult[k] * args[k];
    sum[t.Target] += t.Coef * (t.Cosine ? CosD(arg) : SinD(arg));
  }
}

TOrbitElements RheaElements(long double jd)
{
  using namespace RheaTable;
  const long double* cst = Table.Consts;
  TSaturnArgs v = EvaluateArgs(Table, jd);
  long double s[TargetCount];
  SumTerms(Table, v.Arg, s);
  long double ie = SaturnEquatorIncl1950, oe = SaturnEquatorNode1950;
  long double sg = SinD(cst[gamma0]);

  TOrbitElements el;
  el.EpochJD = jd;
  el.AxisAU = cst[a];
  el.DailyMotion = cst[n];
  el.Ecc = std::hypot(s[esinw], s[ecosw]);
  el.PeriLon = Atan2D(s[esinw], s[ecosw]);
  el.MeanLon = cst[lambda0] + std::fmod(cst[n] * v.Time[d], 360.0L) +
               Kappa * sg * TanD(ie / 2) * SinD(v.Arg[N]);
  el.Incl = ie + cst[di] + Kappa * sg * CosD(v.Arg[N]) + s[i];
  el.NodeLon = oe + cst[dnode] + (Kappa * sg * SinD(v.Arg[N]) + s[nodes]) / SinD(ie);
  return el;
}

TOrbitElements TitanElements(long double jd)
{
  using namespace TitanTable;
  const long double* cst = Table.Consts;
  TSaturnArgs v = EvaluateArgs(Table, jd);
  long double ie = SaturnEquatorIncl1950, oe = SaturnEquatorNode1950;
  long double sg = SinD(cst[gamma0]);
  long double* x = v.Arg;

  long double ia = ie + cst[di] + Kappa * sg * CosD(x[N]);
  long double oa = oe + cst[dnode] + Kappa * sg * SinD(x[N]) / SinD(ie);
  // Angles of Titan's orbit against Saturn's orbit, for the solar terms.
  long double dn = oa - x[Os];
  long double psi = Atan2D(SinD(x[is]) * SinD(dn),
                           CosD(x[is]) * SinD(ia) - SinD(x[is]) * CosD(ia) * CosD(dn));
  long double theta = x[Os] + Atan2D(SinD(ia) * SinD(dn),
                                     CosD(x[is]) * SinD(ia) * CosD(dn) - SinD(x[is]) * CosD(ia));
  x[Ls] = x[lams] - theta;
  x[Psi] = psi;
  x[g] = x[wa] - oa - psi;
  long double s[TargetCount];
  SumTerms(Table, x, s);

  TOrbitElements el;
  el.EpochJD = jd;
  el.AxisAU = cst[a];
  el.DailyMotion = cst[n];
  el.MeanLon = cst[lambda0] + std::fmod(cst[n] * v.Time[d], 360.0L) +
               Kappa * sg * TanD(ie / 2) * SinD(x[N]) + s[lambda];
  el.Ecc = cst[e0] + s[e];
  el.PeriLon = x[wa] + s[w];
  el.Incl = ia + s[i];
  el.NodeLon = oa + s[node];
  return el;
}

TOrbitElements HyperionElements(long double jd)
{
  using namespace HyperionTable;
  const long double* cst = Table.Consts;
  TSaturnArgs v = EvaluateArgs(Table, jd);
  long double s[TargetCount];
  SumTerms(Table, v.Arg, s);
  long double ie = SaturnEquatorIncl1950, oe = SaturnEquatorNode1950;

  TOrbitElements el;
  el.EpochJD = jd;
  el.AxisAU = cst[a0] + s[a];
  el.DailyMotion = cst[n];
  el.Ecc = cst[e0] + s[e];
  el.Incl = ie + cst[di] + s[i];
  el.NodeLon = oe + (cst[dnode] + s[nodes]) / SinD(ie + cst[di]);
  el.PeriLon = v.Arg[w0] + s[w];
  el.MeanLon = cst[lambda0] + std::fmod(cst[n] * v.Time[d], 360.0L) + s[lambda];
  return el;
}

TOrbitElements IapetusElements(long double jd)
{
  using namespace IapetusTable;
  const long double* cst = Table.Consts;
  TSaturnArgs v = EvaluateArgs(Table, jd);
  long double* x = v.Arg;
  const long double* p = v.Poly;

  long double lam0 = cst[lambda0] + std::fmod(cst[n] * v.Time[d], 360.0L);
  x[l] = lam0 - p[w0];
  x[ls] = x[lams] - x[ws];
  x[lT] = x[lamT] - x[wT];
  x[g] = p[w0] - p[node0] - x[theta];
  x[gs] = x[ws] - x[Ths];
  x[gT] = x[wT] - x[PhT];
  x[g1] = p[w0] - p[node0] - x[phi];
  long double s[TargetCount];
  SumTerms(Table, x, s);

  TOrbitElements el;
  el.EpochJD = jd;
  el.AxisAU = cst[a0] * (1 + s[arel]);
  el.DailyMotion = cst[n];
  el.Ecc = p[e0] + s[e];
  el.Incl = p[i0] + s[i];
  // Divided by the unperturbed eccentricity and inclination.
  el.PeriLon = p[w0] + s[we] / p[e0];
  el.NodeLon = p[node0] + s[nodes] / SinD(p[i0]);
  el.MeanLon = lam0 + s[lambda];
  return el;
}

TOrbitElements PhoebeElements(long double jd)
{
  long double t = jd - 2433282.5L;
  long double T = t / 365.25L;
  long double node = 245.998L - 0.41353L * T;
  long double peri = 280.165L - 0.19586L * T;
  long double lon = 277.872L - 0.6541068L * t;
  // The published elements count the periapsis and the mean longitude
  // backwards from the node (retrograde convention); the Kepler step counts
  // them forwards, so they are mirrored about the node.
  TOrbitElements el;
  el.EpochJD = jd;
  el.Incl = 173.949L - 0.02L * T;
  el.NodeLon = node;
  el.PeriLon = 2 * node - peri;
  el.AxisAU = 0.0865752L;
  el.DailyMotion = 0.6541068L;
  el.Ecc = 0.16326L;
  el.MeanLon = 2 * node - lon;
  return el;
}

void CheckCode(int code, int first, int last)
{
  if (code < first || code > last)
    throw std::out_of_range("no theory for Saturn's satellite " + std::to_string(code));
}

}  // namespace

TOrbitElements SaturnEquatorialElements(int code, long double jd)
{
  CheckCode(code, Mimas, Helene);
  return InnerElements(code, jd);
}

TOrbitElements SaturnSatelliteElements(int code, long double jd)
{
  CheckCode(code, FirstSaturnTheory, LastSaturnSatellite);
  switch (code) {
    case Rhea: return RheaElements(jd);
    case Titan: return TitanElements(jd);
    case Hyperion: return HyperionElements(jd);
    case Iapetus: return IapetusElements(jd);
    case Phoebe: return PhoebeElements(jd);
    default:
      // Saturn's equator of 1950, the frame of the theory.
      return EquatorToReferencePlane(InnerElements(code, jd), SaturnEquatorIncl1950,
                                     SaturnEquatorNode1950);
  }
}

TRectCoord SaturnSatellite(int code, long double jd)
{
  if (code < FirstSaturnTheory || code > LastSaturnSatellite) return {};
  return From1950To2000(KeplerPositionQuick(SaturnSatelliteElements(code, jd), jd), true);
}
