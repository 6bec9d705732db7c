// Periodic terms of the satellite theories of Jupiter, Saturn and Uranus.
// The tables are generated at build time from data/satellites/ by
// gen_satellites.py; the enumerations below name their columns and must
// follow the order of the files (the generated source checks this).
#pragma once

struct TTermRange {
  int First = 0, Count = 0;
};

// ---- Galilean satellites (Lieske), data/satellites/galilean.txt ----------

// The angles of which every argument is an integer combination (degrees).
enum TGalileanAngle {
  gaL1, gaL2, gaL3, gaL4,          // mean longitudes
  gaPi1, gaPi2, gaPi3, gaPi4,      // proper periapsis longitudes
  gaOm1, gaOm2, gaOm3, gaOm4,      // proper node longitudes
  gaG, gaGs,                       // mean anomalies of Jupiter and Saturn
  gaPsi,                           // longitude of the origin of the Jovian frame
  gaPhl,                           // libration argument
  gaPiJ,                           // longitude of Jupiter's perihelion
  GalileanAngleCount
};

enum TGalileanSeries {
  gsSigma,  // longitude perturbation, radians
  gsRho,    // radius perturbation, fraction of the semi-major axis
  gsB,      // latitude above Jupiter's equator, radians
};

struct TGalileanTerm {
  int Series;                            // TGalileanSeries
  int Coef;                              // amplitude, units of 1e-7
  signed char Mult[GalileanAngleCount];  // multipliers of the angles
  long double Phase;                     // constant added to the argument, degrees
  bool AddSigma;  // the argument also holds the satellite's whole longitude perturbation
};

extern const TGalileanTerm GalileanTerms[];
// Io, Europa, Ganymede, Callisto.
extern const TTermRange GalileanRanges[4];

// ---- Rhea, Titan, Hyperion, Iapetus (Harper-Taylor), data/satellites/saturn.txt ----

// Time variable v = (JD - JD0)/Div + Add.
struct TSaturnTime {
  long double JD0, Div, Add;
};
// Angle in degrees, C0 + C1*v with v the time variable Time.
struct TSaturnAngle {
  long double C0, C1;
  int Time;
};
// Polynomial C[0] + C[1]*v + C[2]*v^2 + C[3]*v^3 in the time variable Time.
struct TSaturnPoly {
  int Time;
  long double C[4];
};

constexpr int MaxSaturnTimes = 4, MaxSaturnPolys = 4, MaxSaturnArgs = 16;
// Coef*sin or Coef*cos of the integer combination Mult of the satellite's
// arguments (degrees). Coef is in degrees for angles (radian amplitudes are
// converted when the table is generated), a pure number or AU otherwise.
struct TSaturnTerm {
  int Target;
  long double Coef;
  bool Cosine;
  signed char Mult[MaxSaturnArgs];
};

struct TSaturnTable {
  const TSaturnTime* Times;
  int TimeCount;
  const long double* Consts;
  const TSaturnAngle* Angles;  // the first AngleCount arguments
  int AngleCount;
  const TSaturnPoly* Polys;
  int PolyCount;
  const TSaturnTerm* Terms;
  int TermCount;
};

// Each satellite names its time variables, constants, polynomials, arguments
// (its angles first, then the quantities its theory derives from them) and
// the targets its terms add to. Constants are in the file's units.
namespace RheaTable {
enum Time { d, y, yT };
enum Const { a, n, lambda0, gamma0, di, dnode };
enum Arg { piR, wT, N, NT };
enum Target { esinw, ecosw, i, nodes, TargetCount };
extern const TSaturnTable Table;
}  // namespace RheaTable

namespace TitanTable {
enum Time { d, y, T };
enum Const { a, n, lambda0, gamma0, di, dnode, e0 };
enum Arg { N, wa, is, Os, ms, lams, Ls, Psi, g };
enum Target { lambda, e, w, i, node, TargetCount };
extern const TSaturnTable Table;
}  // namespace TitanTable

namespace HyperionTable {
enum Time { d, T };
enum Const { n, lambda0, a0, e0, di, dnode };
enum Arg { tau, zeta, th0, th1, th2, th3, th4, th5, w0 };
enum Target { a, e, i, nodes, w, lambda, TargetCount };
extern const TSaturnTable Table;
}  // namespace HyperionTable

namespace IapetusTable {
enum Time { d, c, t, dT };
enum Const { a0, n, lambda0 };
enum Poly { e0, i0, node0, w0 };
enum Arg { theta, lams, ws, Ths, lamT, wT, PhT, phi, l, ls, lT, g, gs, gT, g1 };
enum Target { we, nodes, arel, e, i, lambda, TargetCount };
extern const TSaturnTable Table;
}  // namespace IapetusTable

// Inclination and ascending node of Saturn's equator on the ecliptic of
// 1950.0, degrees.
extern const long double SaturnEquatorIncl1950;
extern const long double SaturnEquatorNode1950;

// ---- Uranian satellites (GUST86), data/satellites/uranus.txt -------------

enum TGustSeries {
  usL,   // mean longitude: A*sin(phi)
  usKH,  // eccentricity vector (k, h) = A*(cos phi, sin phi)
  usQP,  // inclination vector (q, p) = A*(cos phi, sin phi)
};

// phi = Phase + Freq*t, radians, t in days from the theory's origin.
struct TGustTerm {
  int Series;  // TGustSeries
  long double Amp, Phase, Freq;
};

struct TGustSatellite {
  long double MeanMotion;  // rad/day
  long double Lambda0;     // rad
  long double LambdaRate;  // rad/day
  TTermRange Terms;
};

extern const TGustTerm GustTerms[];
// Miranda, Ariel, Umbriel, Titania, Oberon.
extern const TGustSatellite GustSatellites[5];
extern const long double GustOriginJD;
// The theory's pole of Uranus, mean equator and equinox of B1950, degrees.
extern const long double GustPoleRA1950;
extern const long double GustPoleDec1950;
