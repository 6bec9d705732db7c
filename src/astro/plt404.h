// Planetary positions: the planet index, the call of the planetary ephemeris
// (Plan404) and the reduction of its answer to the heliocentric ecliptic of
// date in which the planets are drawn.
//
// Planet index: 0 Earth, 1 Mercury, 2 Venus, 3 Mars, 4 Jupiter, 5 Saturn,
// 6 Uranus, 7 Neptune, 8 Pluto (names in PlanetNames, util404.h).
#pragma once

#include "astro/coord404.h"

#include <cstdint>

constexpr int PlanetCount = 9;

// The Moon's share of the Earth-Moon mass (= 1/82.300585).
constexpr long double EarthMoonMassFraction = 0.012150581918706896L;

// The ephemeris's number for a planet index (the Earth's, 3, is the
// Earth-Moon barycentre); 0 for an index outside 0..8.
int PlanetLibraryNumber(int index);

// Heliocentric position of planet `index` on the mean equator and equinox of
// J2000.0, as the ephemeris gives it (for the Earth: the Earth-Moon
// barycentre), widened to extended precision; the instant is passed on as a
// double. Returns the ephemeris's result code. An index outside 0..8 gives
// zero triples without a call.
std::int32_t QueryPlan404(int index, long double jd, TPolarCoord& polar, TRectCoord& rect);

// Heliocentric position of planet `index` 0..8 on the mean equator and
// equinox of J2000.0, the Earth's corrected from the Earth-Moon barycentre to
// its centre with the Moon; zeros for an index outside 0..8.
TRectCoord PlanetJ2000Equatorial(int index, long double jd);

// Heliocentric ecliptic position of date (nutation in longitude applied) of
// planet `index` 0..7: rect in AU, spherical = (longitude, latitude in
// radians, distance in AU); the longitude is atan2's value plus the nutation
// in longitude, not reduced. Leaves the obliquity and nutation caches at jd.
// An index outside 0..8 gives zero triples.
void PlanetPosition(int index, long double jd, TRectCoord& rect, TPolarCoord& spherical);
