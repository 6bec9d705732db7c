// Reading the vector tables of JPL's Horizons system (plain-text output of
// an ephemeris of type VECTORS, in its labelled or CSV form).
#pragma once

#include "bodies/Spacecraft.h"

#include <string>
#include <vector>

// The centre a table must have: its Horizons body number and its name
// (for the messages).
struct THorizonsCentre {
  int Number;  // 10 the Sun, 399 the Earth, 499 Mars, ...
  std::string Name;
};

// The positions of a table in AU on the ecliptic and equinox of J2000.0,
// in time order. The header must name the expected centre (its body
// centre), the ecliptic of J2000.0 as reference plane and frame, and AU or
// km as unit. Throws std::runtime_error naming the file and the fault.
std::vector<TSpacecraftPosition> ReadHorizonsVectors(const std::string& path,
                                                     const THorizonsCentre& centre);

// Horizons's number for planet index 0-8 (Earth 399, Mercury 199, ...,
// Pluto 999).
int HorizonsPlanetNumber(int index);
