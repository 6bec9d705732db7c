// Minor bodies pulled by the planets: the heliocentric equations of motion of
// a massless body under the Sun, Mercury to Neptune (the Earth and the Moon as
// two bodies) and Pluto, the perturbers' shared grid of positions, and the
// integrated path of one body kept as step polynomials.
//
// Everything here is referred to the mean ecliptic and equinox of J2000.0,
// the frame of the element tables; TPerturbedPath answers in that frame and
// MinorBodyOfDate turns an answer into the ecliptic of date of the scene.
// Times are the program's Julian dates, taken, as every theory takes them, as
// the time of the equations of motion; the epochs of element sets are used
// as they stand on the same scale.
#pragma once

#include "astro/astronomy404.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

using TVec3 = std::array<double, 3>;

// Heliocentric position (AU) and velocity (AU per day).
struct TStateVector {
  TVec3 R{}, V{};
};

// The perturbers in the order of the grid.
enum TPerturber {
  ptMercury, ptVenus, ptEarth, ptMoon, ptMars, ptJupiter, ptSaturn, ptUranus, ptNeptune, ptPluto,
  PerturberCount
};

// What pulls the body: the perturbers' GM (AU^3/day^2) and whether the Sun's
// field carries the first relativistic correction.
struct TForceModel {
  std::array<double, PerturberCount> GM{};
  bool Relativity = false;
};

// The Sun, the planets, the Moon and Pluto with their IAU masses, and the
// Sun's relativistic term.
TForceModel PlanetaryForces();
// The Sun alone, Newtonian: two-body motion.
TForceModel SunAlone();

// The Gaussian gravitational constant squared: the Sun's GM in AU^3/day^2.
constexpr double SunGM = 0.01720209895 * 0.01720209895;

// Instants at which the perturbers are tabulated and bodies are integrated:
// 1600 January 1 to 2400 January 1. An element epoch outside cannot be
// integrated.
constexpr double PerturbedSpanStart = 2305447.5;
constexpr double PerturbedSpanEnd = 2597641.5;

// The perturbers' heliocentric positions on uniform grids of their own
// spacing (one day for Mercury, two for Venus, the Earth-Moon barycentre and
// the Moon, four for Mars, sixteen beyond), interpolated with eight-point
// Lagrange polynomials. Nodes are computed in blocks when first needed and
// kept: the grid is shared by every body, so the theories are asked once per
// node, never once per body and force evaluation.
class TPerturberGrid {
public:
  TPerturberGrid();
  ~TPerturberGrid();
  TPerturberGrid(const TPerturberGrid&) = delete;
  TPerturberGrid& operator=(const TPerturberGrid&) = delete;

  // Computes the nodes that interpolation between jd0 and jd1 (clamped to
  // the span) needs and that are not there yet. The planetary and lunar
  // theories it calls share process-wide caches, so it belongs on the thread
  // that calculates the bodies; it leaves the obliquity cache at J2000.0
  // when it computed anything, and answers whether it did. Calls from
  // several threads are serialised.
  bool Cover(double jd0, double jd1);
  // Whether Cover(jd0, jd1) has nothing left to do; safe from any thread.
  bool Covers(double jd0, double jd1) const;
  // Heliocentric positions at jd, which a Cover must have included. Safe
  // from any thread.
  void Positions(double jd, std::array<TVec3, PerturberCount>& out) const;
  // Nodes computed so far (for benchmarks).
  std::size_t NodeCount() const;

  struct TSeries;

private:
  std::vector<std::unique_ptr<TSeries>> series_;
  std::mutex filling_;
};

// The grid shared by every minor body of the process.
TPerturberGrid& SharedPerturberGrid();

// The acceleration (AU/day^2) of a massless body at r with velocity v.
TVec3 Acceleration(const TPerturberGrid& grid, const TForceModel& forces, double jd,
                   const TVec3& r, const TVec3& v);

// Two-body state of an element set at jd (the mean anomaly advancing with
// the set's daily motion, the velocity that of the Sun's field on an orbit
// of its semi-major axis), and the osculating elements of a
// heliocentric state (with the daily motion of Kepler's third law as the
// tables give it); false when the state is not on an ellipse.
TStateVector StateFromElements(const TOrbitElements& el, long double jd);
bool ElementsFromState(const TStateVector& s, long double jd, TOrbitElements& el);

// The integrated path of one body from its element set: step polynomials
// (quintic Hermite through position, velocity and acceleration at the ends
// of every integration step) forwards and backwards from the epoch, extended
// only as far as the instants asked for.
//
// The integrator is Boost.Odeint's Bulirsch-Stoer method with error control:
// on this smooth problem it needs fewer force evaluations than an
// eighth-order Runge-Kutta method at the same accuracy (and fewer than its
// own dense-output form, which keeps its steps shorter). Its steps are
// bounded to a fortieth of the period so that each step polynomial stays
// accurate.
class TPerturbedPath {
public:
  TPerturbedPath(const TOrbitElements& elements, const TForceModel& forces,
                 const TPerturberGrid& grid, double tolerance = DefaultTolerance);

  static constexpr double DefaultTolerance = 1e-13;
  // The most integration steps one Reach may take.
  static constexpr std::size_t MaxSteps = 200000;

  // Integrates until jd is covered. False for jd outside the span, and,
  // for good, when the body cannot be integrated (the epoch outside the
  // span, a collision course, a step that collapses, too many steps);
  // Failure() then says why. The grid must cover the span between the
  // path's end and jd.
  bool Reach(double jd);
  bool Covers(double jd) const;
  // The instants covered so far.
  double First() const { return backward_.back().T; }
  double Last() const { return forward_.back().T; }
  // The state at a covered instant.
  TStateVector At(double jd) const;

  bool Failed() const { return !failure_.empty(); }
  const std::string& Failure() const { return failure_; }
  std::size_t NodeCount() const { return forward_.size() + backward_.size(); }
  const TOrbitElements& Elements() const { return elements_; }
  // Whether the perturbers' grid must cover the instants integrated over.
  bool NeedsGrid() const;

private:
  struct TNode {
    double T;
    TVec3 R, V, A;
  };
  bool Extend(std::vector<TNode>& nodes, double jd);
  bool Struck(const TNode& n) const;

  TOrbitElements elements_;
  TForceModel forces_;
  const TPerturberGrid& grid_;
  double tolerance_;
  double nodeStep_;  // the longest step polynomial
  std::vector<TNode> forward_, backward_;  // both begin at the epoch
  bool started_ = false;  // the epoch's acceleration is known
  std::string failure_;
};

// Turns a state of the J2000 ecliptic into the ecliptic of date with the
// nutation in longitude, as the planets are given. Leaves the nutation cache
// at jd.
TStateVector StateOfDate(const TStateVector& j2000, long double jd);
