#include "bodies/OrbitCurve.h"

#include "astro/Mathematics.h"
#include "astro/QuickTrig.h"
#include "astro/util404.h"
#include "bodies/VectorClones.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace {

constexpr double TurnRad = 6.283185307179586;

// Samples per drawn point step by eccentricity: the denser, the more the
// ellipse bends near perihelion; 0 beyond the last, where the orbit is
// solved point by point. Cubic interpolation is then good to 3e-8 of the
// semi-major axis or better.
int StrideFor(double e)
{
  if (e <= 0.3) return 1;
  if (e <= 0.5) return 2;
  if (e <= 0.7) return 4;
  if (e <= 0.8) return 8;
  return 0;
}

// The mean anomaly at jd, reduced to -pi..pi, formed in extended precision as
// the position is.
double MeanAnomaly(const TOrbitElements& el, long double jd)
{
  return static_cast<double>(
      ReduceRadians(DegToRad(el.MeanLon + el.DailyMotion * (jd - el.EpochJD) - el.PeriLon)));
}

// Points at the same fraction between consecutive samples: the common case
// (every point of a main-belt orbit), four multiplications a coordinate.
SOLLUMEN_VECTOR_CLONES
void Interpolate(const double* __restrict x, const double* __restrict y, int count, double w0,
                 double w1, double w2, double w3, double* __restrict ox, double* __restrict oy)
{
  for (int j = 0; j < count; ++j) {
    ox[j] = w0 * x[j] + w1 * x[j + 1] + w2 * x[j + 2] + w3 * x[j + 3];
    oy[j] = w0 * y[j] + w1 * y[j + 1] + w2 * y[j + 2] + w3 * y[j + 3];
  }
}

}  // namespace

TOrbitCurve::TOrbitCurve(const TOrbitElements& el, bool sample) : elements_(el)
{
  double sw, cw, sn, cn, si, ci;
  QuickSinCosDeg(el.PeriLon - el.NodeLon, sw, cw);
  QuickSinCosDeg(el.NodeLon, sn, cn);
  QuickSinCosDeg(el.Incl, si, ci);
  px_ = cw * cn - sw * ci * sn, py_ = cw * sn + sw * ci * cn, pz_ = sw * si;
  qx_ = -sw * cn - cw * ci * sn, qy_ = -sw * sn + cw * ci * cn, qz_ = cw * si;
  e_ = static_cast<double>(el.Ecc);
  a_ = static_cast<double>(el.AxisAU);
  b_ = a_ * std::sqrt((1 - e_) * (1 + e_));

  stride_ = sample ? StrideFor(e_) : 0;
  if (stride_ == 0) return;
  samples_ = PointSteps * stride_;
  const std::size_t row = static_cast<std::size_t>(samples_) + 3;
  table_ = std::make_unique<double[]>(2 * row);
  double* xs = table_.get();
  double* ys = xs + row;
  const double h = TurnRad / samples_;
  if (e_ <= 0.5) {
    // Each sample's eccentric anomaly from the last one's by two Newton
    // steps: converged, as the four steps from the mean anomaly are on such
    // orbits (to 1e-13 rad), at a third of the cost.
    double ecc = 0, s = 0, c = 1;
    for (int j = 0; j < samples_; ++j) {
      const double m = j * h;
      if (j > 0) ecc += h / (1 - e_ * c);
      for (int step = 0; step < 2; ++step) {
        ::sincos(ecc, &s, &c);
        ecc += (m + e_ * s - ecc) / (1 - e_ * c);
      }
      ::sincos(ecc, &s, &c);
      xs[j + 1] = a_ * (c - e_);
      ys[j + 1] = b_ * s;
    }
  } else {
    for (int j = 0; j < samples_; ++j) {
      double m = j * h;
      if (m > 3.141592653589793) m -= TurnRad;
      PlanePoint(m, xs[j + 1], ys[j + 1]);
    }
  }
  // Sample -1 is the last one, samples N and N + 1 are the first two.
  for (double* v : {xs, ys}) {
    v[0] = v[samples_];
    v[samples_ + 1] = v[1];
    v[samples_ + 2] = v[2];
  }
}

int TOrbitCurve::PlanePoints(const TWalk& w, int step, double* xs, double* ys) const
{
  if (step < 1) step = 1;
  int n = 0;
  if (samples_ == 0) {
    auto solve = [&](int k) {
      double m = w.anomaly_ + k * (TurnRad / PointSteps);
      while (m > 3.141592653589793) m -= TurnRad;
      PlanePoint(m, xs[n], ys[n]);
      ++n;
    };
    if (step > 1) solve(1);
    for (int k = step; k < PointSteps + 1; k += step) solve(k);
    return n;
  }
  const double *x = Xs(), *y = Ys();
  const double w0 = w.w0_, w1 = w.w1_, w2 = w.w2_, w3 = w.w3_;
  // Points k = first, first + step, ... up to `last`, whose samples lie at
  // i, i + d, ... less `wrap`; a plain loop the compiler can vectorise.
  auto run = [&](int first, int last, int wrap) {
    const int d = step * stride_;
    const int i0 = w.first_ + first * stride_ - wrap;
    const int count = first > last ? 0 : (last - first) / step + 1;
    if (d == 1) {
      Interpolate(x + i0, y + i0, count, w0, w1, w2, w3, xs + n, ys + n);
    } else {
      for (int j = 0; j < count; ++j) {
        const int i = i0 + j * d;
        xs[n + j] = w0 * x[i] + w1 * x[i + 1] + w2 * x[i + 2] + w3 * x[i + 3];
        ys[n + j] = w0 * y[i] + w1 * y[i + 1] + w2 * y[i + 2] + w3 * y[i + 3];
      }
    }
    n += count;
  };
  // The points whose sample index stays below one turn, then the rest.
  auto span = [&](int first) {
    const int last = PointSteps;  // 359, the last point walked
    if (first > last) return;
    // The last k with first_ + k * stride_ < samples_, stepping from first.
    int split = (samples_ - 1 - w.first_) / stride_;
    if (split < first) {
      run(first, last, samples_);
      return;
    }
    split = first + (split - first) / step * step;
    run(first, std::min(split, last), 0);
    run(split + step, last, samples_);
  };
  if (step > 1) run(1, 1, w.first_ + stride_ >= samples_ ? samples_ : 0);  // point 1 alone
  span(step);
  return n;
}

std::size_t TOrbitCurve::Bytes() const
{
  return sizeof(*this) + (samples_ > 0 ? 2 * sizeof(double) * (samples_ + 3) : 0);
}

void TOrbitCurve::PlanePoint(double m, double& x, double& y) const
{
  double s, c;
  EccentricAnomalyQuick(m, e_, s, c);
  x = a_ * (c - e_);
  y = b_ * s;
}

TOrbitCurve::TWalk TOrbitCurve::At(const TOrbitElements& phase, long double jd) const
{
  TWalk w;
  w.curve_ = this;
  const double m = MeanAnomaly(phase, jd);
  if (samples_ == 0) {
    w.anomaly_ = m;
    return w;
  }
  double u = (m < 0 ? m + TurnRad : m) * (samples_ / TurnRad);
  int i = static_cast<int>(std::floor(u));
  double f = u - i;
  if (i >= samples_) i -= samples_;  // a rounding at the end of the turn
  if (i < 0) i = 0, f = 0;
  w.first_ = i;
  // Lagrange's cubic through the samples i - 1, i, i + 1, i + 2.
  w.w0_ = -f * (f - 1) * (f - 2) / 6;
  w.w1_ = (f + 1) * (f - 1) * (f - 2) / 2;
  w.w2_ = -(f + 1) * f * (f - 2) / 2;
  w.w3_ = (f + 1) * f * (f - 1) / 6;
  return w;
}

TOrbitVertex TOrbitCurve::SolvedPoint(const TOrbitElements& phase, long double jd, int k) const
{
  const long double m =
      DegToRad(phase.MeanLon + phase.DailyMotion * (jd - phase.EpochJD) - phase.PeriLon) +
      k * (2 * 3.14159265358979323846264338327950288L / PointSteps);
  double x, y;
  PlanePoint(static_cast<double>(ReduceRadians(m)), x, y);
  return Space(x, y);
}

double TOrbitCurve::DistanceTo(const TOrbitElements& el) const
{
  // Points of equal mean anomaly on both orbits, eight around the turn and
  // perihelion among them.
  double sw, cw, sn, cn, si, ci;
  QuickSinCosDeg(el.PeriLon - el.NodeLon, sw, cw);
  QuickSinCosDeg(el.NodeLon, sn, cn);
  QuickSinCosDeg(el.Incl, si, ci);
  const double px = cw * cn - sw * ci * sn, py = cw * sn + sw * ci * cn, pz = sw * si;
  const double qx = -sw * cn - cw * ci * sn, qy = -sw * sn + cw * ci * cn, qz = cw * si;
  const double e = static_cast<double>(el.Ecc), a = static_cast<double>(el.AxisAU);
  const double b = a * std::sqrt((1 - e) * (1 + e));
  double largest = 0;
  for (int j = 0; j < 8; ++j) {
    const double m = (j < 4 ? j : j - 8) * (TurnRad / 8);
    double x, y, s, c;
    PlanePoint(m, x, y);
    EccentricAnomalyQuick(m, e, s, c);
    const double x2 = a * (c - e), y2 = b * s;
    const TOrbitVertex p = Space(x, y);
    const double dx = p.X - (x2 * px + y2 * qx), dy = p.Y - (x2 * py + y2 * qy),
                 dz = p.Z - (x2 * pz + y2 * qz);
    largest = std::max(largest, std::sqrt(dx * dx + dy * dy + dz * dz));
  }
  return std::isfinite(largest) ? largest : INFINITY;
}
