// The bodies that `sollumen-cli ephem` can list: one entry per body, in
// body-number order. A new body needs only a new entry in EphemBodies.cpp.
#pragma once

#include "astro/coord404.h"

#include <vector>

enum class EphemFrame {
  Date,   // ecliptic and equinox of date, nutation in longitude included
  J2000,  // mean ecliptic and equinox of J2000.0
};

struct EphemBody {
  const char* Name;
  int Number;  // the body number
  // Position at jd in AU: heliocentric for the planets, planetocentric for
  // satellites (geocentric for the Moon).
  TRectCoord (*Position)(long double jd, EphemFrame frame);
};

const std::vector<EphemBody>& EphemBodies();

class TSpacecraft;

// A spacecraft's heliocentric position at jd: of date, the interpolated
// position referred to the equinox of date (PositionOfDate, no nutation); in
// J2000, the interpolated position turned from the file's equinox to that of
// J2000.0. False when the spacecraft has no position at jd.
bool SpacecraftEphem(TSpacecraft& craft, long double jd, EphemFrame frame, TRectCoord& v);
