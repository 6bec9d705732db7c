// The mean obliquity of the ecliptic and the rotations between ecliptic and
// equator, arc-second reduction, sine/cosine tables of multiple angles and the
// planet name table.
//
// The rotations read the obliquity of whatever instant was evaluated last, so
// a caller evaluates Obliquity(jd) for its own instant right before
// converting. Each thread has a cache of its own.
#pragma once

#include "astro/coord404.h"

// The planet names in planet-index order: Earth, Mercury, ..., Pluto.
extern const char* const PlanetNames[9];

// x minus its whole turns of 1296000", keeping the sign of x.
long double ReduceArcsec(long double x);

// The obliquity cache: the mean obliquity (radians) of the instant JD.
struct TObliquityState {
  long double JD = 0;
  long double Eps = 0;
  long double CosEps = 1;
  long double SinEps = 0;
};

// Mean obliquity of the ecliptic at jd (Laskar 1986); recomputes only when jd
// differs from the cached instant. At start the cache holds JD 2451544.5.
void Obliquity(long double jd);
const TObliquityState& ObliquityState();

// Rotations by the cached obliquity. The polar form is (ArcTan2(x, y),
// ArcSin(z/r), r) of the rotated vector.
void EclToEqu(const TRectCoord& v, TRectCoord& rect, TPolarCoord& polar);
void EquToEcl(const TRectCoord& v, TRectCoord& rect, TPolarCoord& polar);
TRectCoord EclRectToEquRect(const TRectCoord& v);
TRectCoord EquRectToEclRect(const TRectCoord& v);
TPolarCoord EquPolarToEclPolar(const TPolarCoord& p);

// Sine and cosine of x together. For |x| up to 4096 radians the angle is
// brought to within pi/4 of a multiple of pi/2 and both come from their
// series, several times faster than the library's extended-precision
// functions; beyond that the library is called.
void SinCos(long double x, long double& s, long double& c);

// s[j] = sin(j*a), c[j] = cos(j*a) for j = 1..n (n >= 1), built by the
// addition theorems from one sine and cosine; entry 0 is left untouched.
void SinCosMultiples(long double a, int n, long double* s, long double* c);
