// The geocentric Moon: Moshier's analytical lunar theory (ELP2000-85 adjusted
// to the DE404 ephemeris), and the Moon's mean orbit.
#pragma once

#include "astro/coord404.h"

// The two frames the program asks the lunar theory for.
enum TMoonFrame {
  // Ecliptic and equinox of date, nutation in longitude included.
  mfEclipticOfDate = 0,
  // Mean equator and equinox of J2000.0, no nutation.
  mfJ2000Equator = 1,
};

// The complete evaluation at jd: rectangular coordinates in AU and polar
// ones (longitude, latitude in radians, distance in AU) in the given frame.
// It evaluates the obliquity of jd first; the J2000 frame leaves the
// obliquity cache at J2000.0, the ecliptic frame leaves both the obliquity and
// the nutation cache at jd.
void MoonPosition(long double jd, TMoonFrame frame, TRectCoord& rect, TPolarCoord& polar);

// Geocentric ecliptic of date, nutation in longitude included. The longitude
// is not reduced to one turn.
void MoonEcliptic(long double jd, TRectCoord& rect, TPolarCoord& polar);

// Geocentric, mean equator and equinox of J2000.0, AU.
TRectCoord MoonJ2000Equatorial(long double jd);

// Mean orbital elements of the Moon; angles in radians, in 0..2pi.
struct TMoonMeanOrbit {
  long double Axis = 0;     // semi-major axis, AU
  long double Incl = 0;     // inclination on the ecliptic
  long double Ecc = 0;      // eccentricity
  long double Perigee = 0;  // longitude of the perigee
  long double Node = 0;     // longitude of the ascending node
  long double MeanLon = 0;  // mean longitude
};

TMoonMeanOrbit MoonMeanOrbit(long double jd);
