// Moshier's trigonometric fits of the planets to the JPL ephemeris DE404
// (fitted from -3000, for Mercury, Venus, the Earth-Moon barycentre and Mars
// from -1350, to +3000). The tables are generated at build time from
// data/planets/.
#pragma once

#include "astro/coord404.h"

// One planet's table. Args holds, row after row, "0 d" for the polynomial
// part or "p h1 n1 ... hp np d" for a periodic term; Lon, Lat and Rad hold
// the matching coefficients, highest power of T first.
struct TDe404Series {
  int Number;             // library number 1..9
  bool Secular;           // uses the secular argument set (only the barycentre)
  int AddMeanLon;         // argument whose value is added to the longitude, or 0
  int MaxArgs;
  int MaxHarmonic[12];    // highest multiple used of arguments 1..12
  double Distance;        // AU; the radius series is relative to it
  double TimeScale;       // days per unit of T
  double TruncLevel;      // scale of the coefficients to arc seconds
  int Rows;
  const signed char* Args;
  const double* Lon;
  const double* Lat;
  const double* Rad;
};

// Arguments 1..9 (mean longitudes): freq (arcsec per unit of T), phase (arcsec).
struct TLinearArgument {
  double Freq, Phase;
};
// Arguments 1..12 of the barycentre: C[0] + C[1] t + ... in arcsec, t in
// Julian centuries (Count 0: unused argument).
struct TSecularArgument {
  int Count;
  double C[11];
};

extern const TDe404Series De404Series[9];  // library numbers 1..9 in order
extern const TLinearArgument De404LinearArguments[9];
extern const TSecularArgument De404SecularArguments[12];

// Obliquity of J2000.0 the fits are turned to the equator with (DE403 value).
constexpr long double De404ObliquityArcsec = 84381.406173L;

// Heliocentric ecliptic longitude, latitude (radians) and distance (AU) of
// library number 1..9 referred to the mean ecliptic and equinox of J2000.0;
// number 3 is the Earth-Moon barycentre. Any other number gives zeros.
TPolarCoord De404Ecliptic(int number, long double jd);
// The same as rectangular coordinates on the mean equator and equinox of J2000.0.
TRectCoord De404Equatorial(int number, long double jd);
