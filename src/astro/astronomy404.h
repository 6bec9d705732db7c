// Orbital elements, Keplerian motion, the mean elements of the planets and
// the times of their perihelion and aphelion passages.
#pragma once

#include "astro/coord404.h"

struct TOrbitElements {
  long double EpochJD = 0;      // Julian date at which MeanLon holds
  long double Incl = 0;         // inclination, degrees
  long double NodeLon = 0;      // longitude of the ascending node, degrees
  long double PeriLon = 0;      // longitude of perihelion, degrees
  long double AxisAU = 0;       // semi-major axis, AU
  long double DailyMotion = 0;  // mean daily motion, degrees per day
  long double Ecc = 0;          // eccentricity, 0 <= e < 1
  long double MeanLon = 0;      // mean longitude at EpochJD, degrees
};

// Eccentric anomaly for mean anomaly m (radians) and eccentricity 0 <= e < 1:
// four Newton steps from E = m, solved to full precision instead when those
// still miss Kepler's equation by more than 1e-3 rad.
long double EccentricAnomaly(long double m, long double e);

TRectCoord KeplerPosition(const TOrbitElements& el, long double jd);

// An element set with its orbit's orientation worked out once, for many
// positions on the same orbit (the orbit caches).
struct TKeplerOrbit {
  TOrbitElements Elements;
  TRectCoord P, Q;        // unit vectors towards periapsis and 90 degrees on
  long double SemiMinorAxis = 0;  // AU
};
TKeplerOrbit PrepareKeplerOrbit(const TOrbitElements& el);
// The same as KeplerPosition(orbit.Elements, jd).
TRectCoord KeplerPosition(const TKeplerOrbit& orbit, long double jd);

// KeplerPosition computed in double precision from the mean anomaly on (the
// same four Newton steps and the same fallback): good to a few parts in 1e16
// of the orbit's size, which on the small orbits of satellites is far below
// a millimetre, at a fraction of the cost.
TRectCoord KeplerPositionQuick(const TOrbitElements& el, long double jd);
// The eccentric anomaly of EccentricAnomaly in double precision, as its
// sine and cosine; m in radians, reduced to a turn.
void EccentricAnomalyQuick(double m, double e, double& sinE, double& cosE);
void KeplerPositionPolar(const TOrbitElements& el, long double jd, TRectCoord& rect,
                         TPolarCoord& polar);
// Velocity in AU per day.
TRectCoord KeplerVelocity(const TOrbitElements& el, long double jd);

// index 0..8 in the order Earth, Mercury, ..., Pluto; set 0 is referred to
// the mean ecliptic and equinox of date, set 1 to J2000.0. Any other index or
// set throws std::out_of_range.
TOrbitElements MeanPlanetElements(int index, int set, long double jd);

// Julian date of the passage for planet index 0..7, or -1 when there is none.
long double AphelionPassage(int index, long double jd);
long double PerihelionPassage(int index, long double jd);
