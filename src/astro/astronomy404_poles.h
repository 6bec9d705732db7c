// Directions of the north poles of the Sun and the planets (IAU rotation
// elements), part of the astronomy404 module.
#pragma once

#include "astro/coord404.h"

// index: the planet index 0..8 (Earth, Mercury, ..., Pluto) or 9 for the Sun;
// any other index throws std::out_of_range.

// Unit vector of the north pole, mean equator and equinox of J2000.0; polar
// = (right ascension in 0..2pi, declination in -pi..pi, 1).
void PoleJ2000(int index, long double jd, TRectCoord& rect, TPolarCoord& polar);

// The same pole referred to the mean equator and equinox of jd (precessed
// with Precess, which leaves the obliquity cache at jd).
void PoleDirection(int index, long double jd, TRectCoord& rect, TPolarCoord& polar);
