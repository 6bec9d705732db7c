// How minor bodies move: on the two-body ellipse of their elements, or
// pulled by the planets along an integrated path. The integrated motion of
// one body lives in its own small object, created when first needed.
#pragma once

#include "astro/PerturbedMotion.h"
#include "astro/coord404.h"

#include <functional>
#include <string>
#include <vector>

enum class TMinorBodyMotion {
  Perturbed,  // integrated under the Sun, the planets, the Moon and Pluto
  Kepler,     // the two-body ellipse of the elements
};

// The integrated path of one minor body and the state it was last asked
// for. A body that cannot be integrated keeps its failure and moves on its
// two-body ellipse.
class TIntegratedMotion {
public:
  explicit TIntegratedMotion(const TOrbitElements& elements);

  // Integrates until jd is covered; the perturbers' grid must cover the way
  // (CoverGrid). False when the body falls back to two-body motion.
  bool Reach(long double jd);
  // Heliocentric position in the ecliptic of date (nutation in longitude
  // included, as the planets) and the osculating elements of that frame at
  // jd, which must be covered. False when the osculating orbit is not an
  // ellipse (the elements are then left alone).
  bool At(long double jd, TRectCoord& position, TOrbitElements& osculating) const;
  // The position in the mean ecliptic and equinox of J2000.0 (the frame of
  // the element tables).
  TRectCoord J2000At(long double jd) const;

  bool Failed() const { return path_.Failed(); }
  const std::string& Failure() const { return path_.Failure(); }
  // Whether the failure has been told to the user.
  bool Reported = false;
  double First() const { return path_.First(); }
  double Last() const { return path_.Last(); }

private:
  TPerturbedPath path_;
};

// Makes the shared grid cover the way from the paths' ends to jd: the
// theories it calls share process-wide caches, so this belongs on the thread
// that calculates the bodies. Leaves the obliquity cache at jd when it
// computed anything. `from` is the instant the paths start from (an epoch).
void CoverGrid(double from, long double jd);

class TOEObjectList;

// Sets the motion of every minor body of the list and, in perturbed motion,
// integrates their paths to jd: the shared grid first, in slices on the
// calling thread, then the paths on `threads` threads. Between slices and
// every few hundredths of a second while the paths are integrated, the
// calling thread calls `progress` with the share done (0..1); it may let a
// window answer, but must leave the list alone. Returns the names of the
// bodies that fell back to two-body motion and were not reported before.
std::vector<std::string> PrepareMinorBodies(TOEObjectList& list, TMinorBodyMotion motion,
                                            long double jd, int threads = 2,
                                            const std::function<void(double)>& progress = {});
