// The kept orbit of a minor body: one revolution of its ellipse, sampled at
// equal steps of mean anomaly from perihelion on, in double precision. It
// depends on the elements alone, not on the instant, so a body keeps it
// while time moves and builds it again only when its elements change.
//
// The orbit is drawn as it always was: point k (1..360) is the position k/359
// of a period after the instant. Those points are read off the samples by
// cubic interpolation at the instant's mean anomaly, which stays within a
// few parts in 1e8 of the orbit's size on the orbits the samples are kept
// for. Orbits more eccentric than that are not sampled: their points are
// solved one by one (in double) whenever they are read.
#pragma once

#include "astro/astronomy404.h"

#include <cstddef>
#include <memory>

struct TOrbitVertex {
  double X = 0, Y = 0, Z = 0;  // AU, ecliptic of date
};

class TOrbitCurve {
public:
  // The drawn points are 1/359 of a turn of mean anomaly apart.
  static constexpr int PointSteps = 359;

  // Without `sample` only the orbit's orientation is worked out, for
  // SolvedPoint.
  explicit TOrbitCurve(const TOrbitElements& elements, bool sample = true);
  TOrbitCurve(const TOrbitCurve&) = delete;
  TOrbitCurve& operator=(const TOrbitCurve&) = delete;

  // The elements the orbit was built from.
  const TOrbitElements& Elements() const { return elements_; }
  // Whether the orbit is sampled (false: too eccentric, solved point by point).
  bool Sampled() const { return samples_ > 0; }
  // Memory the orbit holds, bytes.
  std::size_t Bytes() const;

  // The points of the orbit for one instant.
  class TWalk {
  public:
    // Point k, 1..360 (any k >= 0 will do).
    TOrbitVertex Point(int k) const;

  private:
    friend class TOrbitCurve;
    const TOrbitCurve* curve_ = nullptr;
    int first_ = 0;                // sampled: the sample before the instant
    double w0_ = 0, w1_ = 0, w2_ = 0, w3_ = 0;  // and the interpolation weights
    double anomaly_ = 0;           // solved: mean anomaly at the instant, rad
  };
  // The phase at jd is taken from `phase`, the elements in use then, which
  // may have drifted a little from those the orbit was built from.
  TWalk At(const TOrbitElements& phase, long double jd) const;
  TWalk At(long double jd) const { return At(elements_, jd); }

  // The points the scene's point walk with step `step` visits (point 1, then
  // every multiple of step up to 359), in the orbit's plane: x towards
  // perihelion, y 90 degrees on (see Perihelion and Ahead). Returns their
  // number, at most 359; xs and ys take that many.
  int PlanePoints(const TWalk& walk, int step, double* xs, double* ys) const;
  // Unit vectors of the orbit's plane: towards perihelion, and 90 degrees on
  // along the motion.
  TOrbitVertex Perihelion() const { return {px_, py_, pz_}; }
  TOrbitVertex Ahead() const { return {qx_, qy_, qz_}; }

  // Point k at the instant jd solved rather than interpolated, the mean
  // anomaly formed in extended precision: the position of the orbit's
  // elements k/359 of a period after jd, to double precision.
  TOrbitVertex SolvedPoint(const TOrbitElements& phase, long double jd, int k) const;

  // How far this orbit lies from the orbit of `elements`: the largest
  // distance between points of equal mean anomaly, over a few of them (AU).
  double DistanceTo(const TOrbitElements& elements) const;

private:
  // x towards perihelion and y 90 degrees on, in the orbit's plane.
  void PlanePoint(double meanAnomaly, double& x, double& y) const;
  TOrbitVertex Space(double x, double y) const
  {
    return {x * px_ + y * qx_, x * py_ + y * qy_, x * pz_ + y * qz_};
  }

  TOrbitElements elements_;
  double a_ = 0, b_ = 0, e_ = 0;  // semi-axes (AU) and eccentricity
  double px_ = 0, py_ = 0, pz_ = 0;  // unit vector towards perihelion
  double qx_ = 0, qy_ = 0, qz_ = 0;  // and 90 degrees on along the motion
  int samples_ = 0;  // per revolution; 0 when not sampled
  int stride_ = 0;   // samples from one drawn point to the next
  // x of samples -1 .. samples_ + 1 (so that every interpolation finds its
  // four samples in a row), then y of the same.
  std::unique_ptr<double[]> table_;
  const double* Xs() const { return table_.get(); }
  const double* Ys() const { return table_.get() + samples_ + 3; }
};

inline TOrbitVertex TOrbitCurve::TWalk::Point(int k) const
{
  const TOrbitCurve& c = *curve_;
  if (c.samples_ == 0) {
    double m = anomaly_ + k * (6.283185307179586 / PointSteps);
    while (m > 3.141592653589793) m -= 6.283185307179586;
    double x, y;
    c.PlanePoint(m, x, y);
    return c.Space(x, y);
  }
  int i = first_ + k * c.stride_;
  while (i >= c.samples_) i -= c.samples_;
  const double* xs = c.Xs() + i;  // samples i - 1 .. i + 2
  const double* ys = c.Ys() + i;
  return c.Space(w0_ * xs[0] + w1_ * xs[1] + w2_ * xs[2] + w3_ * xs[3],
                 w0_ * ys[0] + w1_ * ys[1] + w2_ * ys[2] + w3_ * ys[3]);
}
