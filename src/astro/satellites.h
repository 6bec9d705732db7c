// Planetocentric positions of the major satellites of Jupiter (Lieske's
// theory), Saturn (Harper-Taylor) and Uranus (GUST86).
//
// Every position is a rectangular vector in AU from the planet's centre,
// referred to the ecliptic and mean equinox of 2000 January 1.0
// (JD 2451544.5). The theories work in the frame of 1950.0; the reduction to
// 2000 changes the obliquity cache of util404 (it is left at JD 2451544.5).
#pragma once

#include "astro/astronomy404.h"
#include "astro/coord404.h"

// Satellite codes (body numbers). Codes 150-155 (Pan to Janus) have names but
// no theory.
constexpr int FirstJupiterSatellite = 140, LastJupiterSatellite = 143;
constexpr int FirstSaturnSatellite = 150, LastSaturnSatellite = 167;
constexpr int FirstSaturnTheory = 156;  // Mimas
constexpr int FirstUranusSatellite = 170, LastUranusSatellite = 174;

struct TSatelliteName {
  const char* Name;
  const char* Designation;
};

// Indexed by code - 140, code - 150 and code - 170.
extern const TSatelliteName JupiterSatelliteNames[4];
extern const TSatelliteName SaturnSatelliteNames[18];
extern const TSatelliteName UranusSatelliteNames[5];

// Codes 140-143; any other code gives the zero vector.
TRectCoord JupiterSatellite(int code, long double jd);
// Codes 156-167; any other code gives the zero vector.
TRectCoord SaturnSatellite(int code, long double jd);
// Codes 170-174; any other code gives the zero vector.
TRectCoord UranusSatellite(int code, long double jd);

// ---- The steps of the theories ----------------------------------------

// From the 1950 frame to the ecliptic and equinox of 2000 January 1.0. An
// ecliptic vector is first turned to the equator with the obliquity of 1950.
TRectCoord From1950To2000(const TRectCoord& v, bool ecliptic);

// Elements of an orbit given on a planet's equator, re-expressed on the
// reference plane. The equator has inclination iEq and ascending node nodeEq
// on the reference plane. In the given elements Incl is the inclination on
// the equator, and NodeLon, PeriLon and MeanLon are counted from the
// reference x axis along the reference plane to nodeEq, then along the
// equator. Angles in degrees; the other elements are copied.
TOrbitElements EquatorToReferencePlane(const TOrbitElements& onEquator, long double iEq,
                                       long double nodeEq);

// Jupiter's satellite in the ecliptic frame of 1950.0 (codes 140-143).
TRectCoord JupiterSatellite1950(int code, long double jd);

// Mimas to Helene (156-162): elements on Saturn's equator, counted as for
// EquatorToReferencePlane with Saturn's equator of 1950.
TOrbitElements SaturnEquatorialElements(int code, long double jd);
// Elements on the ecliptic of 1950.0 that SaturnSatellite hands to the
// Kepler step (codes 156-167), epoch jd.
TOrbitElements SaturnSatelliteElements(int code, long double jd);

// Elements in the theory's own frame: Uranus' equator, longitudes counted
// from the node where the satellites' plane crosses the equator of B1950
// going south (codes 170-174), epoch jd.
TOrbitElements UranusEquatorialElements(int code, long double jd);
// Elements on the equator of B1950 that UranusSatellite hands to the Kepler
// step (codes 170-174), epoch jd.
TOrbitElements UranusSatelliteElements(int code, long double jd);
