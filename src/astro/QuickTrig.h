// Sine and cosine in double precision of extended-precision angles, for the
// periodic terms of the satellite theories. The angle loses its whole turns
// in extended precision first, so that a large argument costs neither
// accuracy nor the library's slow reduction; what is left is rounded to
// double, an error below 4e-16 rad. On orbits of a few hundredths of an AU
// that is far below a millimetre, and double's sine is a dozen times faster
// than the extended one.
#pragma once

#include <cmath>

// The whole number nearest x (|x| below 2^62), by a conversion rather than a
// library call.
inline long double NearestWhole(double x)
{
  return static_cast<long double>(static_cast<long long>(x < 0 ? x - 0.5 : x + 0.5));
}

// x less its whole turns of 360 degrees, in -180..180 give or take a
// rounding. The multiple of 360 is exact, so nothing is lost for |x| below
// 2^53 degrees.
inline long double ReduceDegrees(long double x)
{
  if (!(std::fabs(x) < 1e15L)) return std::remainder(x, 360.0L);
  return x - 360.0L * NearestWhole(static_cast<double>(x * (1.0L / 360)));
}

// x less its whole turns of 2 pi, in -pi..pi give or take a rounding. 2 pi
// is taken in two parts, the first exact to 32 bits, so that the multiple is
// exact and the reduction good to 1e-18 rad for |x| up to 1e9. Beyond that
// the library's exact reduction inside its extended sine and cosine is used.
inline long double ReduceRadians(long double x)
{
  constexpr long double TwoPiA = 6.2831853069365024566650390625L;
  constexpr long double TwoPiB = 2.4308402026024770405900576839433880e-10L;
  if (!(std::fabs(x) < 1e9L)) return std::atan2(std::sin(x), std::cos(x));
  long double q = NearestWhole(static_cast<double>(x * 0.15915494309189533576888376337251L));
  return (x - q * TwoPiA) - q * TwoPiB;
}

inline void QuickSinCos(long double radians, double& s, double& c)
{
  double x = static_cast<double>(ReduceRadians(radians));
  s = std::sin(x);
  c = std::cos(x);
}

inline void QuickSinCosDeg(long double degrees, double& s, double& c)
{
  double x = static_cast<double>(ReduceDegrees(degrees)) * 0.017453292519943295769;
  s = std::sin(x);
  c = std::cos(x);
}

inline double QuickSinDeg(long double degrees)
{
  return std::sin(static_cast<double>(ReduceDegrees(degrees)) * 0.017453292519943295769);
}

inline double QuickCosDeg(long double degrees)
{
  return std::cos(static_cast<double>(ReduceDegrees(degrees)) * 0.017453292519943295769);
}
