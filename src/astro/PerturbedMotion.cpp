#include "astro/PerturbedMotion.h"

#include "astro/moon404.h"
#include "astro/nutate404.h"
#include "astro/plt404.h"
#include "astro/precess404.h"

#include <boost/numeric/odeint/stepper/bulirsch_stoer.hpp>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using TState6 = std::array<double, 6>;

constexpr double Pi = std::numbers::pi;
constexpr double DegPerRad = 180.0 / Pi;
// The speed of light in AU per day.
constexpr double LightSpeed = 173.1446326846693;
// Tables give the daily motion as this over a^1.5 (degrees per day).
constexpr double GaussDegreesPerDay = 0.9856076686;

// Mean obliquity of J2000.0 (84381.448"), turning the ephemeris's equatorial
// vectors into the ecliptic of the element tables.
const double CosEps0 = std::cos(84381.448 / 3600.0 / DegPerRad);
const double SinEps0 = std::sin(84381.448 / 3600.0 / DegPerRad);

TVec3 EclipticJ2000(const TRectCoord& equatorial)
{
  const double x = static_cast<double>(equatorial.X), y = static_cast<double>(equatorial.Y),
               z = static_cast<double>(equatorial.Z);
  return {x, y * CosEps0 + z * SinEps0, -y * SinEps0 + z * CosEps0};
}

// Radii (AU) inside which the body has struck the perturber.
constexpr double KmPerAU = 149597870.7;
constexpr std::array<double, PerturberCount> PerturberRadius = {
    2440 / KmPerAU,  6052 / KmPerAU,  6378 / KmPerAU,  1737 / KmPerAU,  3396 / KmPerAU,
    71492 / KmPerAU, 60268 / KmPerAU, 25559 / KmPerAU, 24764 / KmPerAU, 1188 / KmPerAU};
constexpr double SunRadius = 696000 / KmPerAU;

// The grid's own series: Mercury, Venus, the Earth-Moon barycentre, the
// geocentric Moon, Mars, Jupiter, Saturn, Uranus, Neptune, Pluto.
enum { gsMercury, gsVenus, gsBarycentre, gsMoon, gsMars, gsOuter, SeriesCount = gsOuter + 5 };
constexpr std::array<double, SeriesCount> SeriesSpacing = {1, 2, 2, 2, 4, 16, 16, 16, 16, 16};

TVec3 SeriesPosition(int series, double jd)
{
  if (series == gsMoon) return EclipticJ2000(MoonJ2000Equatorial(jd));
  // Planet index of the ephemeris; index 0 asks for the barycentre.
  static constexpr int Planet[SeriesCount] = {1, 2, 0, -1, 3, 4, 5, 6, 7, 8};
  TPolarCoord polar;
  TRectCoord v;
  QueryPlan404(Planet[series], jd, polar, v);
  return EclipticJ2000(v);
}

constexpr int LagrangePoints = 8;
constexpr int ChunkNodes = 512;
// Nodes before the span's start, so that its first instants interpolate
// between centred nodes.
constexpr int LeadNodes = LagrangePoints;

// Weights of the eight-point Lagrange polynomial through the nodes
// first .. first+7 at u (all in units of the spacing).
void LagrangeWeights(double u, long first, std::array<double, LagrangePoints>& w)
{
  // Denominators (-1)^(7-j) j! (7-j)! of the uniform grid.
  static const std::array<double, LagrangePoints> denominator = [] {
    std::array<double, LagrangePoints> d{};
    for (int j = 0; j < LagrangePoints; ++j) {
      double p = 1;
      for (int k = 0; k < LagrangePoints; ++k)
        if (k != j) p *= static_cast<double>(j - k);
      d[j] = p;
    }
    return d;
  }();
  std::array<double, LagrangePoints> diff;
  double product = 1;
  for (int j = 0; j < LagrangePoints; ++j) {
    diff[j] = u - static_cast<double>(first + j);
    if (diff[j] == 0) {  // on a node
      w.fill(0);
      w[j] = 1;
      return;
    }
    product *= diff[j];
  }
  for (int j = 0; j < LagrangePoints; ++j) w[j] = product / (diff[j] * denominator[j]);
}

}  // namespace

// ----------------------------------------------------------------- forces

TForceModel PlanetaryForces()
{
  // Sun/planet mass ratios (IAU 2009 system; the Earth and the Moon apart,
  // the other planets with their satellites).
  constexpr double earthToMoon = 81.30056907;
  constexpr double sunToEarth = 332946.0487;
  const std::array<double, PerturberCount> ratio = {
      6023657.33, 408523.719, sunToEarth, sunToEarth * earthToMoon, 3098703.59,
      1047.348644, 3497.9018, 22902.98,  19412.26,                  136045556.0};
  TForceModel f;
  for (int i = 0; i < PerturberCount; ++i) f.GM[i] = SunGM / ratio[i];
  f.Relativity = true;
  return f;
}

TForceModel SunAlone() { return {}; }

TVec3 Acceleration(const TPerturberGrid& grid, const TForceModel& forces, double jd,
                   const TVec3& r, const TVec3& v)
{
  const double r2 = r[0] * r[0] + r[1] * r[1] + r[2] * r[2];
  const double rr = std::sqrt(r2);
  const double k = -SunGM / (r2 * rr);
  TVec3 a = {k * r[0], k * r[1], k * r[2]};
  if (forces.Relativity) {
    // Schwarzschild term of the Sun (parametrised post-Newtonian, beta =
    // gamma = 1).
    const double v2 = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    const double rv = r[0] * v[0] + r[1] * v[1] + r[2] * v[2];
    const double c = SunGM / (LightSpeed * LightSpeed * r2 * rr);
    const double f = 4 * SunGM / rr - v2;
    for (int i = 0; i < 3; ++i) a[i] += c * (f * r[i] + 4 * rv * v[i]);
  }
  bool any = false;
  for (double gm : forces.GM) any = any || gm != 0;
  if (!any) return a;
  std::array<TVec3, PerturberCount> p;
  grid.Positions(jd, p);
  for (int j = 0; j < PerturberCount; ++j) {
    if (forces.GM[j] == 0) continue;
    const TVec3 d = {p[j][0] - r[0], p[j][1] - r[1], p[j][2] - r[2]};
    const double d2 = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
    const double p2 = p[j][0] * p[j][0] + p[j][1] * p[j][1] + p[j][2] * p[j][2];
    const double kd = forces.GM[j] / (d2 * std::sqrt(d2));
    const double kp = forces.GM[j] / (p2 * std::sqrt(p2));  // the Sun's pull towards j
    for (int i = 0; i < 3; ++i) a[i] += kd * d[i] - kp * p[j][i];
  }
  return a;
}

// ------------------------------------------------------------------- grid

struct TPerturberGrid::TSeries {
  double Spacing;
  double Start;  // instant of node 0
  long Count;
  std::vector<std::unique_ptr<std::array<TVec3, ChunkNodes>>> Chunks;
  std::unique_ptr<std::atomic<bool>[]> Filled;

  TSeries(double spacing)
      : Spacing(spacing),
        Start(PerturbedSpanStart - LeadNodes * spacing),
        Count(static_cast<long>((PerturbedSpanEnd - Start) / spacing) + 2 * LeadNodes),
        Chunks((Count + ChunkNodes - 1) / ChunkNodes),
        Filled(new std::atomic<bool>[Chunks.size()])
  {
    for (std::size_t c = 0; c < Chunks.size(); ++c) Filled[c].store(false);
  }
  // The chunks that interpolation between jd0 and jd1 reads.
  std::pair<long, long> ChunkRange(double jd0, double jd1) const
  {
    jd0 = std::clamp(jd0, PerturbedSpanStart, PerturbedSpanEnd);
    jd1 = std::clamp(jd1, PerturbedSpanStart, PerturbedSpanEnd);
    const long first = std::max(0L, static_cast<long>((jd0 - Start) / Spacing) - LagrangePoints);
    const long last =
        std::min(Count - 1, static_cast<long>((jd1 - Start) / Spacing) + LagrangePoints);
    return {first / ChunkNodes, last / ChunkNodes};
  }
  const TVec3& Node(long i) const { return (*Chunks[i / ChunkNodes])[i % ChunkNodes]; }
};

TPerturberGrid::TPerturberGrid()
{
  for (double spacing : SeriesSpacing) series_.push_back(std::make_unique<TSeries>(spacing));
}

TPerturberGrid::~TPerturberGrid() = default;

bool TPerturberGrid::Covers(double jd0, double jd1) const
{
  if (jd1 < jd0) std::swap(jd0, jd1);
  for (const auto& s : series_) {
    const auto [c0, c1] = s->ChunkRange(jd0, jd1);
    for (long c = c0; c <= c1; ++c)
      if (!s->Filled[c].load(std::memory_order_acquire)) return false;
  }
  return true;
}

bool TPerturberGrid::Cover(double jd0, double jd1)
{
  if (jd1 < jd0) std::swap(jd0, jd1);
  if (Covers(jd0, jd1)) return false;
  const std::lock_guard<std::mutex> lock(filling_);
  bool computed = false;
  for (int k = 0; k < SeriesCount; ++k) {
    TSeries& s = *series_[k];
    const auto [c0, c1] = s.ChunkRange(jd0, jd1);
    for (long c = c0; c <= c1; ++c) {
      if (s.Filled[c].load(std::memory_order_acquire)) continue;
      auto chunk = std::make_unique<std::array<TVec3, ChunkNodes>>();
      for (int i = 0; i < ChunkNodes; ++i)
        (*chunk)[i] = SeriesPosition(k, s.Start + static_cast<double>(c * ChunkNodes + i) * s.Spacing);
      s.Chunks[c] = std::move(chunk);
      s.Filled[c].store(true, std::memory_order_release);
      computed = true;
    }
  }
  return computed;
}

std::size_t TPerturberGrid::NodeCount() const
{
  std::size_t n = 0;
  for (const auto& s : series_)
    for (std::size_t c = 0; c < s->Chunks.size(); ++c)
      if (s->Filled[c].load(std::memory_order_acquire)) n += ChunkNodes;
  return n;
}

void TPerturberGrid::Positions(double jd, std::array<TVec3, PerturberCount>& out) const
{
  std::array<TVec3, SeriesCount> at;
  std::array<double, LagrangePoints> w;
  double weightsFor = -1;  // the spacing the weights were computed for
  long weightsFirst = 0;
  for (int k = 0; k < SeriesCount; ++k) {
    const TSeries& s = *series_[k];
    const double u = (jd - s.Start) / s.Spacing;
    const long first =
        std::clamp(static_cast<long>(std::floor(u)) - LagrangePoints / 2 + 1, 0L,
                   s.Count - LagrangePoints);
    if (s.Spacing != weightsFor || first != weightsFirst) {
      LagrangeWeights(u, first, w);
      weightsFor = s.Spacing;
      weightsFirst = first;
    }
    TVec3 p = {0, 0, 0};
    for (int j = 0; j < LagrangePoints; ++j) {
      const TVec3& n = s.Node(first + j);
      for (int i = 0; i < 3; ++i) p[i] += w[j] * n[i];
    }
    at[k] = p;
  }
  // The Earth and the Moon from the barycentre and the geocentric Moon.
  const double mu = static_cast<double>(EarthMoonMassFraction);
  TVec3 earth, moon;
  for (int i = 0; i < 3; ++i) {
    earth[i] = at[gsBarycentre][i] - mu * at[gsMoon][i];
    moon[i] = earth[i] + at[gsMoon][i];
  }
  out[ptMercury] = at[gsMercury];
  out[ptVenus] = at[gsVenus];
  out[ptEarth] = earth;
  out[ptMoon] = moon;
  out[ptMars] = at[gsMars];
  for (int j = 0; j < 5; ++j) out[ptJupiter + j] = at[gsOuter + j];
}

TPerturberGrid& SharedPerturberGrid()
{
  static TPerturberGrid grid;
  return grid;
}

// ---------------------------------------------------------------- elements

TStateVector StateFromElements(const TOrbitElements& el, long double jd)
{
  const double e = static_cast<double>(el.Ecc), a = static_cast<double>(el.AxisAU);
  const double i = static_cast<double>(el.Incl) / DegPerRad;
  const double node = static_cast<double>(el.NodeLon) / DegPerRad;
  const double w = static_cast<double>(el.PeriLon - el.NodeLon) / DegPerRad;
  double m = static_cast<double>((el.MeanLon - el.PeriLon) / DegPerRad +
                                 (jd - el.EpochJD) * el.DailyMotion / DegPerRad);
  m = std::remainder(m, 2 * Pi);
  // Kepler's equation to full precision.
  double E = e < 0.8 ? m : (m < 0 ? -Pi : Pi);
  for (int k = 0; k < 50; ++k) {
    const double dE = (E - e * std::sin(E) - m) / (1 - e * std::cos(E));
    E -= dE;
    if (std::abs(dE) < 1e-15) break;
  }
  const double b = a * std::sqrt(1 - e * e);
  const double cE = std::cos(E), sE = std::sin(E);
  const double xo = a * (cE - e), yo = b * sE;
  // The velocity of the Sun's field, whatever constant the daily motion was
  // derived with (the tables' differs from the Gaussian one in the sixth
  // digit).
  const double Edot = std::sqrt(SunGM / (a * a * a)) / (1 - e * cE);
  const double vxo = -a * sE * Edot, vyo = b * cE * Edot;
  // Perifocal to ecliptic.
  const double cw = std::cos(w), sw = std::sin(w), cn = std::cos(node), sn = std::sin(node),
               ci = std::cos(i), si = std::sin(i);
  const TVec3 P = {cw * cn - sw * sn * ci, cw * sn + sw * cn * ci, sw * si};
  const TVec3 Q = {-sw * cn - cw * sn * ci, -sw * sn + cw * cn * ci, cw * si};
  TStateVector s;
  for (int k = 0; k < 3; ++k) {
    s.R[k] = xo * P[k] + yo * Q[k];
    s.V[k] = vxo * P[k] + vyo * Q[k];
  }
  return s;
}

bool ElementsFromState(const TStateVector& s, long double jd, TOrbitElements& el)
{
  const TVec3& r = s.R;
  const TVec3& v = s.V;
  const double rr = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
  const double v2 = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
  const double rv = r[0] * v[0] + r[1] * v[1] + r[2] * v[2];
  const double inverseA = 2 / rr - v2 / SunGM;
  if (!(inverseA > 0) || !std::isfinite(inverseA)) return false;
  const double a = 1 / inverseA;
  const TVec3 h = {r[1] * v[2] - r[2] * v[1], r[2] * v[0] - r[0] * v[2],
                   r[0] * v[1] - r[1] * v[0]};
  const double hh = std::sqrt(h[0] * h[0] + h[1] * h[1] + h[2] * h[2]);
  if (!(hh > 0)) return false;
  TVec3 ev;
  for (int k = 0; k < 3; ++k) ev[k] = ((v2 - SunGM / rr) * r[k] - rv * v[k]) / SunGM;
  const double e = std::sqrt(ev[0] * ev[0] + ev[1] * ev[1] + ev[2] * ev[2]);
  if (!(e < 1)) return false;
  const double incl = std::atan2(std::hypot(h[0], h[1]), h[2]);
  const double node = std::hypot(h[0], h[1]) > 1e-14 * hh ? std::atan2(h[0], -h[1]) : 0.0;
  // Longitudes in the orbit plane are measured from the node: the angle of
  // a vector u is atan2(u . (h x n) / |h|, u . n) with n the node direction.
  const TVec3 nd = {std::cos(node), std::sin(node), 0};
  const TVec3 hn = {(h[1] * nd[2] - h[2] * nd[1]) / hh, (h[2] * nd[0] - h[0] * nd[2]) / hh,
                    (h[0] * nd[1] - h[1] * nd[0]) / hh};
  auto angle = [&](const TVec3& u) {
    return std::atan2(u[0] * hn[0] + u[1] * hn[1] + u[2] * hn[2],
                      u[0] * nd[0] + u[1] * nd[1] + u[2] * nd[2]);
  };
  const double lat = angle(r);                    // argument of latitude
  const double peri = e > 1e-12 ? angle(ev) : 0;  // argument of perihelion
  const double nu = lat - peri;
  const double E = 2 * std::atan(std::sqrt((1 - e) / (1 + e)) * std::tan(nu / 2));
  const double M = E - e * std::sin(E);
  auto degrees = [](double x) {
    const double d = std::fmod(x * DegPerRad, 360.0);
    return d < 0 ? d + 360 : d;
  };
  el.EpochJD = jd;
  el.Incl = incl * DegPerRad;
  el.NodeLon = degrees(node);
  el.PeriLon = degrees(node + peri);
  el.AxisAU = a;
  el.DailyMotion = GaussDegreesPerDay / (a * std::sqrt(a));
  el.Ecc = e;
  el.MeanLon = degrees(node + peri + M);
  return true;
}

TStateVector StateOfDate(const TStateVector& j2000, long double jd)
{
  NutationAngles(jd);
  const TMatrix4 m =
      MatMul(RotationMatrix(2, NutationState().DPsi), EclipticPrecessionMatrix(jd));
  auto turn = [&m](const TVec3& u) {
    const TRectCoord t = TransformPoint({u[0], u[1], u[2]}, m);
    return TVec3{static_cast<double>(t.X), static_cast<double>(t.Y), static_cast<double>(t.Z)};
  };
  return {turn(j2000.R), turn(j2000.V)};
}

// -------------------------------------------------------------------- path

TPerturbedPath::TPerturbedPath(const TOrbitElements& elements, const TForceModel& forces,
                               const TPerturberGrid& grid, double tolerance)
    : elements_(elements), forces_(forces), grid_(grid), tolerance_(tolerance)
{
  const double period = 360.0 / static_cast<double>(elements.DailyMotion);
  // Shorter near the perihelion of eccentric orbits, where they curve most.
  const double e = static_cast<double>(elements.Ecc);
  nodeStep_ = std::clamp(period / 40 * (1 - e) * std::sqrt(1 - e), 1e-3, 50.0);
  const double epoch = static_cast<double>(elements.EpochJD);
  TNode start{epoch, {}, {}, {}};
  if (!(epoch >= PerturbedSpanStart && epoch <= PerturbedSpanEnd) ||
      !(elements.Ecc >= 0 && elements.Ecc < 1) || !(elements.AxisAU > 0) ||
      !(elements.DailyMotion > 0)) {
    failure_ = "the epoch lies outside 1600-2400 or the orbit is not an ellipse";
  } else {
    const TStateVector s = StateFromElements(elements, elements.EpochJD);
    start.R = s.R;
    start.V = s.V;
  }
  // The acceleration at the epoch waits for the first Reach, when the grid
  // covers it.
  forward_.push_back(start);
  backward_.push_back(start);
}

bool TPerturbedPath::NeedsGrid() const
{
  for (double gm : forces_.GM)
    if (gm != 0) return true;
  return false;
}

bool TPerturbedPath::Covers(double jd) const
{
  return !Failed() && jd >= First() && jd <= Last();
}

bool TPerturbedPath::Reach(double jd)
{
  if (Failed()) return false;
  if (Covers(jd)) return true;
  // No path outside the span, but no failure either: the body may come back.
  if (!(jd >= PerturbedSpanStart && jd <= PerturbedSpanEnd)) return false;
  return Extend(jd > Last() ? forward_ : backward_, jd);
}

bool TPerturbedPath::Extend(std::vector<TNode>& nodes, double jd)
{
  namespace odeint = boost::numeric::odeint;
  const double sign = jd > nodes.back().T ? 1 : -1;
  if (NeedsGrid() && !grid_.Covers(nodes.back().T, jd)) {
    failure_ = "the perturbers are not tabulated up to the instant";
    return false;
  }
  if (!started_) {
    const TNode& s = forward_.front();
    forward_.front().A = backward_.front().A = Acceleration(grid_, forces_, s.T, s.R, s.V);
    started_ = true;
  }
  // Time runs from the epoch in the equations, which keeps its resolution,
  // and backwards integration runs in reversed time u = -t: odeint's
  // Bulirsch-Stoer method chooses its order wrongly for negative steps.
  const double epoch = forward_.front().T;
  auto system = [this, epoch, sign](const TState6& x, TState6& dxdu, double u) {
    const TVec3 a = Acceleration(grid_, forces_, epoch + sign * u, {x[0], x[1], x[2]},
                                 {x[3], x[4], x[5]});
    dxdu = {sign * x[3], sign * x[4], sign * x[5], sign * a[0], sign * a[1], sign * a[2]};
  };
  odeint::bulirsch_stoer<TState6> stepper(tolerance_, tolerance_, 1.0, 1.0, nodeStep_);
  const TNode& last = nodes.back();
  TState6 x = {last.R[0], last.R[1], last.R[2], last.V[0], last.V[1], last.V[2]};
  TState6 dxdu = {sign * last.V[0], sign * last.V[1], sign * last.V[2],
                  sign * last.A[0], sign * last.A[1], sign * last.A[2]};
  double u = sign * (last.T - epoch);
  double du = nodes.size() > 1 ? std::abs(nodes.back().T - nodes[nodes.size() - 2].T)
                               : nodeStep_ / 8;
  const double target = sign * (jd - epoch);
  const double end = sign * ((sign > 0 ? PerturbedSpanEnd : PerturbedSpanStart) - epoch);
  for (std::size_t steps = 0; u < target; ++steps) {
    if (steps == MaxSteps) {
      failure_ = "the integration needs too many steps";
      return false;
    }
    du = std::min(du, end - u);  // never past the span
    if (!(du > 1e-9)) {
      failure_ = du > 0 || u < end ? "the integration step collapsed"
                                   : "the instant lies outside 1600-2400";
      return false;
    }
    if (stepper.try_step(system, x, dxdu, u, du) != odeint::success) continue;
    TNode n{epoch + sign * u, {x[0], x[1], x[2]}, {x[3], x[4], x[5]}, {}};
    bool finite = std::isfinite(u);
    for (double c : x) finite = finite && std::isfinite(c);
    if (!finite) {
      failure_ = "the integration left the finite numbers";
      return false;
    }
    if (Struck(n)) {
      failure_ = "the body is on a collision course";
      return false;
    }
    n.A = Acceleration(grid_, forces_, n.T, n.R, n.V);
    dxdu = {sign * x[3], sign * x[4], sign * x[5], sign * n.A[0], sign * n.A[1], sign * n.A[2]};
    nodes.push_back(n);
  }
  return true;
}

bool TPerturbedPath::Struck(const TNode& n) const
{
  if (std::hypot(n.R[0], n.R[1], n.R[2]) < SunRadius) return true;
  if (!NeedsGrid()) return false;
  std::array<TVec3, PerturberCount> p;
  grid_.Positions(n.T, p);
  for (int j = 0; j < PerturberCount; ++j)
    if (forces_.GM[j] != 0 &&
        std::hypot(p[j][0] - n.R[0], p[j][1] - n.R[1], p[j][2] - n.R[2]) < PerturberRadius[j])
      return true;
  return false;
}

TStateVector TPerturbedPath::At(double jd) const
{
  const std::vector<TNode>& nodes = jd >= forward_.front().T ? forward_ : backward_;
  // The step whose ends enclose jd.
  std::size_t i;
  if (&nodes == &forward_)
    i = static_cast<std::size_t>(std::upper_bound(nodes.begin(), nodes.end(), jd,
                                                  [](double t, const TNode& n) { return t < n.T; }) -
                                 nodes.begin());
  else
    i = static_cast<std::size_t>(std::upper_bound(nodes.begin(), nodes.end(), jd,
                                                  [](double t, const TNode& n) { return t > n.T; }) -
                                 nodes.begin());
  if (nodes.size() == 1) return {nodes[0].R, nodes[0].V};
  i = std::clamp<std::size_t>(i, 1, nodes.size() - 1);
  const TNode& n0 = nodes[i - 1];
  const TNode& n1 = nodes[i];
  // Quintic Hermite through position, velocity and acceleration.
  const double h = n1.T - n0.T;
  const double s = (jd - n0.T) / h;
  const double s2 = s * s, s3 = s2 * s, s4 = s3 * s, s5 = s4 * s;
  const double h0 = 1 - 10 * s3 + 15 * s4 - 6 * s5;
  const double h1 = (s - 6 * s3 + 8 * s4 - 3 * s5) * h;
  const double h2 = 0.5 * (s2 - 3 * s3 + 3 * s4 - s5) * h * h;
  const double h3 = 10 * s3 - 15 * s4 + 6 * s5;
  const double h4 = (-4 * s3 + 7 * s4 - 3 * s5) * h;
  const double h5 = 0.5 * (s3 - 2 * s4 + s5) * h * h;
  const double d0 = (-30 * s2 + 60 * s3 - 30 * s4) / h;
  const double d1 = 1 - 18 * s2 + 32 * s3 - 15 * s4;
  const double d2 = 0.5 * (2 * s - 9 * s2 + 12 * s3 - 5 * s4) * h;
  const double d3 = (30 * s2 - 60 * s3 + 30 * s4) / h;
  const double d4 = -12 * s2 + 28 * s3 - 15 * s4;
  const double d5 = 0.5 * (3 * s2 - 8 * s3 + 5 * s4) * h;
  TStateVector out;
  for (int k = 0; k < 3; ++k) {
    out.R[k] = h0 * n0.R[k] + h1 * n0.V[k] + h2 * n0.A[k] + h3 * n1.R[k] + h4 * n1.V[k] +
               h5 * n1.A[k];
    out.V[k] = d0 * n0.R[k] + d1 * n0.V[k] + d2 * n0.A[k] + d3 * n1.R[k] + d4 * n1.V[k] +
               d5 * n1.A[k];
  }
  return out;
}
