// The scale track bar of the view panel: position p stands for the half
// width 0.003 * e^(p/15) AU, so each step zooms by the same factor.
#pragma once

#include <cmath>

constexpr int DimTrackMin = 1;
constexpr int DimTrackMax = 150;

inline long double DimFromTrackBar(int position)
{
  return 0.003L * std::exp(position / 15.0L);
}

// The position for a half width, truncated toward zero (not rounded), so
// that a value between two positions goes to the one nearer 0.003.
inline int TrackBarFromDim(long double dim)
{
  const long double p = 15.0L * std::log(dim / 0.003L);
  if (!(p > -1e6L && p < 1e6L)) return p > 0 ? DimTrackMax : DimTrackMin;  // NaN, huge
  return static_cast<int>(std::trunc(p));
}
