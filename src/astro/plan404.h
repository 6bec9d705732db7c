// The planetary ephemeris behind the planets: heliocentric positions on the
// mean equator and equinox of J2000.0 for the library numbers 1..9 (Mercury,
// Venus, Earth-Moon barycentre, Mars, Jupiter, Saturn, Uranus, Neptune,
// Pluto), exchanged through one record as the program has always done.
//
// The positions come from Moshier's DE404 fits up to the year +2900 (Mars
// only after -1450, Jupiter to Neptune only after -2900) and from VSOP87B
// after +3000 (and for Mars before -1550, for Jupiter to Neptune before
// -3000); in the 100-year windows between, the two vectors are blended
// linearly so that no jump appears. The outer planets' fits start at -3000
// and run away before it (Saturn and Uranus 3 degrees off their orbits by
// -4700). Pluto is answered from its DE404 fit between -3000 and +3000 and
// from its mean orbit outside.
#pragma once

#include "astro/coord404.h"

#include <cstddef>
#include <cstdint>

// The exchange record; its layout (natural alignment, 64 bytes) is fixed.
struct TPlanetData {
  double JD = 0;      // the instant, filled by the caller
  double Lon = 0;     // heliocentric ecliptic longitude of J2000.0, radians
  double Lat = 0;     // heliocentric ecliptic latitude of J2000.0, radians
  double Radius = 0;  // heliocentric distance, AU
  double X = 0, Y = 0, Z = 0;  // heliocentric, mean equator and equinox of J2000.0, AU
  std::int32_t Number = 0;     // library number, filled by the caller
};
static_assert(sizeof(TPlanetData) == 64);
static_assert(offsetof(TPlanetData, X) == 32 && offsetof(TPlanetData, Number) == 56);

// Result codes of Plan404.
constexpr std::int32_t Plan404Done = 0;
constexpr std::int32_t Plan404UnknownNumber = -1;
constexpr std::int32_t Plan404BadDate = -2;  // JD not a finite number

// Fills Lon, Lat, Radius, X, Y, Z for data.Number at data.JD; for an unknown
// number or a non-finite JD they are set to zero.
std::int32_t Plan404(TPlanetData& data);

// The Moon's share of the Earth-Moon mass (Earth/Moon mass ratio 81.300585),
// with which the barycentre is formed from an Earth-only theory.
constexpr long double Plan404MoonShare = 0.012150581918706896L;

// Limits of the blend windows (Julian dates): the late window for every
// planet, the early ones for Mars and for Jupiter to Neptune.
constexpr long double LateBlendStart = 2780270.0L;
constexpr long double LateBlendEnd = 2816795.0L;
constexpr long double MarsBlendStart = 1154907.5L;
constexpr long double MarsBlendEnd = 1191432.5L;
constexpr long double OuterBlendStart = 625307.5L;  // -3000 January 1
constexpr long double OuterBlendEnd = 661832.5L;    // -2900 January 1
// Pluto's DE404 fit is used from -3000 January 1 to +3000 January 1.
constexpr long double PlutoFitStart = 625307.5L;
constexpr long double PlutoFitEnd = 2816787.5L;

// Weight of VSOP87B (0..1) in the answer for library number 1..8.
long double Vsop87bWeight(int number, long double jd);
