// The planetary theory VSOP87, version B (Bretagnon and Francou 1988): the
// complete series of Mercury to Neptune, generated at build time from
// data/vsop87/.
#pragma once

#include "astro/coord404.h"

// One planet's series. Terms of section s (L0..L5, B0..B5, R0..R5) are
// Start[s] .. Start[s+1]-1; term i is
//   Cos[i] cos(C tau) - Sin[i] sin(C tau),  C = Freq[Index[i]],
// which is A cos(B + C tau) with Cos = A cos B, Sin = A sin B.
struct TVsopSeries {
  int FreqCount;
  const double* Freq;  // radians per Julian millennium
  int Start[19];
  const unsigned short* Index;
  const double* Cos;
  const double* Sin;
};

// No planet has more distinct frequencies (checked by the generator).
constexpr int VsopMaxFreq = 2048;

// Mercury, Venus, Earth, Mars, Jupiter, Saturn, Uranus, Neptune.
extern const TVsopSeries VsopSeries[8];

// Heliocentric longitude, latitude (radians) and distance (AU) referred to
// the dynamical ecliptic and equinox of J2000.0, for planet 1..8 in the order
// above (3 is the Earth itself). Any other number gives zeros.
TPolarCoord Vsop87bEcliptic(int planet, long double jd);
// The same as rectangular coordinates on the mean equator and equinox of
// J2000.0 (FK5 axes), through the frame matrix published with VSOP87.
TRectCoord Vsop87bEquatorial(int planet, long double jd);
