// The full list of minor bodies, drawn as dots only: a whole catalogue of up
// to some million unnamed bodies that are never shown with names or orbits
// and never stored in documents. Each body is reduced once, when it is
// added, to what its position needs in double precision (ample for a dot):
// its mean anomaly at a common reference date, its mean motion, its
// eccentricity and the two orbit-plane axes scaled by the semi-axes. The
// positions are then computed for the whole list at once, column by column
// and on all cores, about 100 bytes per body in all.
#pragma once

#include "astro/astronomy404.h"
#include "bodies/SSClasses.h"

#include <cstddef>
#include <vector>

class TDotBodyList {
public:
  int Count() const { return static_cast<int>(colors_.size()); }
  // Throws EInvalidElements for a set without an ellipse. The position is
  // zero until the next CalculateAll.
  void Add(const TOrbitElements& elements, TColor color);
  // Adds many bodies at once, reduced on all cores; the same as adding them
  // one by one. Throws before adding any when one set has no ellipse.
  void AddAll(const std::vector<TOrbitElements>& elements, TColor color);
  void Clear();
  void Reserve(int count);

  TColor Color(int i) const { return colors_[i]; }
  void SetColor(int i, TColor color);
  void SetAllColors(TColor color);
  // Whether every body has the same colour (as after SetAllColors), so that
  // the order in which dots are drawn does not matter.
  bool OneColor() const;

  // Heliocentric positions at jd (AU), in the frame of the elements, the
  // same as KeplerPosition gives to well below 1e-9 AU. Long lists are
  // split over all cores, or over `threads` threads when that is positive.
  void CalculateAll(long double jd, int threads = 0);
  double X(int i) const { return x_[i]; }
  double Y(int i) const { return y_[i]; }
  double Z(int i) const { return z_[i]; }
  // The position columns, Count() values each, for drawing the whole list.
  const double* XData() const { return x_.data(); }
  const double* YData() const { return y_.data(); }
  const double* ZData() const { return z_.data(); }
  const TColor* ColorData() const { return colors_.data(); }

  // Heap memory held by the list (capacity included), in bytes.
  std::size_t MemoryBytes() const;

  // How many threads a list of `count` bodies is shared among.
  static int ThreadCount(int count);

private:
  // Room for n more bodies of one colour, and the reduction of body i.
  void Grow(int n, TColor color);
  void Reduce(int i, const TOrbitElements& el);
  // Fills x_, y_, z_ for the bodies [begin, end).
  void CalculateRange(int begin, int end, double dt);

  // Per body, in columns so that the position loop runs in vector registers.
  std::vector<double> meanAnomaly_;  // radians at ReferenceJD, -pi..pi
  std::vector<double> meanMotion_;   // radians per day
  std::vector<double> ecc_;
  // Position = P (cos E - e) + Q sin E for the eccentric anomaly E: P is
  // the unit vector towards perihelion times a, Q the one 90 degrees ahead
  // in the direction of motion times a sqrt(1 - e^2).
  std::vector<double> px_, py_, pz_, qx_, qy_, qz_;
  std::vector<TColor> colors_;
  // The bodies whose eccentricity needs Kepler's equation solved the slow
  // way (see DotBodyList.cpp), in ascending order.
  std::vector<int> eccentric_;
  // Results; each thread writes its own range.
  std::vector<double> x_, y_, z_;
  // Whether all bodies have one colour: 1 yes, 0 no, -1 not known.
  mutable signed char oneColor_ = 1;
};
