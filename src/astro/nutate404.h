// IAU 1980 nutation: the nutation in longitude and in obliquity, cached for
// the last instant asked for, and the turn from the mean to the true equator.
#pragma once

#include "astro/coord404.h"

// The nutation cache (one per thread); both angles in radians. JD is -1 until the first
// evaluation.
struct TNutationState {
  long double JD = -1;
  long double DPsi = 0;  // nutation in longitude
  long double DEps = 0;  // nutation in obliquity
};

// Evaluates the series for jd unless jd is the cached instant.
void NutationAngles(long double jd);
const TNutationState& NutationState();

// Turns v, referred to the mean equator and equinox of jd, into the true
// equator and equinox of jd, in place. Leaves the nutation and obliquity
// caches at jd.
void ApplyNutation(TRectCoord& v, long double jd);
