// Constant tables of the planetary orbits: the mean-element polynomials and
// the apsides passages of Uranus and Neptune.
#pragma once

#include <cstdint>
#include <span>

// [set][planet][element][power]: set 0 refers to the mean ecliptic and
// equinox of date, set 1 to J2000.0; planets in the order Earth, Mercury, ...,
// Pluto; elements in the order mean longitude, semi-major axis, eccentricity,
// inclination, node, perihelion; c0 + c1 T + c2 T^2 + c3 T^3 with T in Julian
// centuries from J2000.0 (degrees, or AU for the axis).
enum { meL, meAxis, meEcc, meIncl, meNode, mePeri };
extern const long double MeanElementPolynomials[2][9][6][4];

// Julian dates of the passages through aphelion and perihelion, ascending.
extern const std::span<const std::int32_t> UranusAphelia;
extern const std::span<const std::int32_t> NeptuneAphelia;
extern const std::span<const std::int32_t> UranusPerihelia;
extern const std::span<const std::int32_t> NeptunePerihelia;
