// The periodic terms of the IAU 1980 nutation series other than the leading
// term in the Moon's node (generated at build time from data/nutation).
#pragma once

#include <cstdint>

struct TNutationTerm {
  int32_t Mult[5];   // multipliers of l, l', F, D, Omega
  int32_t Lon;       // longitude coefficient, 0.0001"
  int32_t LonRate;   // its rate, 0.00001" per Julian century
  int32_t Obl;       // obliquity coefficient, 0.0001"
  int32_t OblRate;   // its rate, 0.00001" per Julian century
};

// Largest multiple of each argument in the series (l, l', F, D, Omega).
constexpr int NutationMaxMultiple[5] = {3, 2, 4, 4, 2};

constexpr int NutationTermCount = 105;
extern const TNutationTerm NutationTerms[NutationTermCount];
