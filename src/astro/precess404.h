// Precession: Laskar's (1986) rotation sequence for equatorial rectangular
// vectors, and the rigorous reduction of ecliptical coordinates between two
// equinoxes (IAU 1976 angles).
#pragma once

#include "astro/coord404.h"

// direction 1: from the mean equator and equinox of jd to J2000.0; any other
// value: from J2000.0 to jd. At jd = 2451545.0 exactly v is returned and the
// obliquity cache is left alone; otherwise the cache holds the obliquity of
// J2000.0 afterwards for direction 1 and that of jd for the other direction.
// The polar form is (ArcTan2(x, y), pi/2 - ArcCos(z/r), r).
void Precess(const TRectCoord& v, int direction, long double jd, TRectCoord& rect,
             TPolarCoord& polar);
TRectCoord Precess(const TRectCoord& v, int direction, long double jd);

// The rotation that Precess(v, -1, jd) applies between the ecliptics, as a
// matrix on ecliptic rectangular vectors: from the mean ecliptic and equinox
// of J2000.0 to those of jd. The sines and cosines of its angles are taken in
// double precision, which keeps it within 1e-15 (relative) of Precess at a
// fraction of the cost, for the many instants of the orbit caches. Exactly
// the identity at J2000.0; the obliquity cache is left alone.
TMatrix4 EclipticPrecessionMatrix(long double jd);

// From the mean equator and equinox of fromJD to those of toJD, through J2000.0.
void PrecessBetween(const TRectCoord& v, long double fromJD, long double toJD, TRectCoord& rect,
                    TPolarCoord& polar);

// Ecliptic longitude and latitude from the equinox of fromJD to that of toJD;
// the distance is carried over. The new longitude lies in -2pi..0.
void PrecessEcliptic(const TPolarCoord& p, long double fromJD, long double toJD,
                     TPolarCoord& polar, TRectCoord& rect);
