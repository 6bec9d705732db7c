// Angle normalisation and the sexagesimal angle record with its text.
#pragma once

#include <string>

// a reduced to -pi..pi; exactly +-pi stay as they are.
long double NormPi(long double a);
// a reduced to 0..2pi, 2pi excluded.
long double Norm2Pi(long double a);

struct TDMSAngle {
  int Deg = 0;            // >= 0
  int Min = 0;            // 0..59
  long double Sec = 0;    // 0 <= Sec < 60
  int Sign = 1;           // +1 or -1
};

// Angles of MaxDMSDegrees or more (and infinite ones) give MaxDMSDegrees
// degrees and nothing else; NaN gives zero.
constexpr int MaxDMSDegrees = 2'000'000'000;
TDMSAngle RadToDMS(long double a);

// Style 0: whole minutes; 1: whole seconds; 2 and 3: seconds with one or two
// decimals. UTF-8 text with the degree sign, e.g. "23° 26' 21''".
std::string DMSText(TDMSAngle dms, int style);
