// The full list of minor bodies, drawn as dots only: a whole catalogue of up
// to some million unnamed bodies that are never shown with names or orbits
// and never stored in documents. Bodies are kept compactly, in double
// precision, which is ample for a dot.
#pragma once

#include "astro/astronomy404.h"
#include "bodies/SSClasses.h"

#include <vector>

class TDotBodyList {
public:
  int Count() const { return static_cast<int>(colors_.size()); }
  // Throws EInvalidElements for a set without an ellipse.
  void Add(const TOrbitElements& elements, TColor color);
  void Clear();
  void Reserve(int count);

  TColor Color(int i) const { return colors_[i]; }
  void SetAllColors(TColor color);

  // Heliocentric ecliptic positions at jd (AU), computed on all cores.
  void CalculateAll(long double jd);
  double X(int i) const { return positions_[3 * i]; }
  double Y(int i) const { return positions_[3 * i + 1]; }
  double Z(int i) const { return positions_[3 * i + 2]; }

private:
  std::vector<TOrbitElements> elements_;
  std::vector<TColor> colors_;
  std::vector<double> positions_;
};
