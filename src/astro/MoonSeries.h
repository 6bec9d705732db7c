// The periodic series and explicit perturbation terms of the lunar theory
// (generated at build time from data/moon).
//
// Series rows start with the multipliers of D, l', l and F (the Moon's mean
// elongation, the Sun's mean anomaly, the Moon's mean anomaly and its
// argument of latitude).
#pragma once

#include <cstdint>

// Longitude and distance: longitude 10000*A + B, distance 10000*C + D (the
// distance term counts only when D is not zero).
struct TMoonLonDistRow {
  int32_t Mult[4];
  int32_t A, B, C, D;
};

// Latitude, main series: 10000*A + B.
struct TMoonLatRow {
  int32_t Mult[4];
  int32_t A, B;
};

// Longitude and distance of the T^2 series: one coefficient each.
struct TMoonLonDistT2Row {
  int32_t Mult[4];
  int32_t Lon, Dist;
};

// Latitude of the T and T^2 series: one coefficient.
struct TMoonLatTRow {
  int32_t Mult[4];
  int32_t A;
};

// Largest multiple of D, l', l and F that the series use.
constexpr int MoonSeriesMaxMultiple[4] = {6, 4, 5, 4};

constexpr int MoonMainLonDistCount = 118;
constexpr int MoonMainLatCount = 77;
constexpr int MoonT1LonDistCount = 38;
constexpr int MoonT1LatCount = 16;
constexpr int MoonT2LonDistCount = 25;
constexpr int MoonT2LatCount = 12;

extern const TMoonLonDistRow MoonMainLonDist[MoonMainLonDistCount];
extern const TMoonLatRow MoonMainLat[MoonMainLatCount];
extern const TMoonLonDistRow MoonT1LonDist[MoonT1LonDistCount];
extern const TMoonLatTRow MoonT1Lat[MoonT1LatCount];
extern const TMoonLonDistT2Row MoonT2LonDist[MoonT2LonDistCount];
extern const TMoonLatTRow MoonT2Lat[MoonT2LatCount];

// Where an explicit term's contribution goes: the long-period longitude
// terms l, l1, l2, l3 (arc seconds; 0.00001" per century, century^2,
// century^3), the latitude term B, or the latitude and distance series sums.
enum TMoonAccumulator { maL, maL1, maL2, maL3, maB, maLat, maDist };

// One explicit perturbation term: Sin*sin(g) + Cos*cos(g), with g the
// combination of the mean arguments (arc seconds) plus Phase. A
// non-negative ZSin or ZCos takes that coefficient from the secular table
// instead. Terms sharing an Id share their argument. The sine and cosine of
// the phase are tabulated so that g can be built by the addition theorems.
struct TMoonExplicitTerm {
  int32_t Id;
  int32_t Stage;  // 2: the T^2 stage, 1: the T stage, 0: the constant stage
  TMoonAccumulator Acc;
  int32_t Mult[10];  // Venus, Earth, Mars, Jupiter, Saturn, D, l', l, F, L
  // The non-zero entries of Mult: how many, which, and their values.
  int32_t Used;
  int32_t UsedArg[5];
  int32_t UsedMult[5];
  long double Phase;  // arc seconds
  long double PhaseSin, PhaseCos;
  long double Sin, Cos;
  int32_t ZSin, ZCos;
  int32_t TimesT;  // 1: the contribution is multiplied by T
};

// Largest multiple of each mean argument (in the order of Mult) that the
// explicit terms use.
constexpr int MoonExplicitMaxMultiple[10] = {26, 29, 8, 3, 5, 2, 2, 2, 2, 1};

constexpr int MoonExplicitTermCount = 95;
extern const TMoonExplicitTerm MoonExplicitTerms[MoonExplicitTermCount];
