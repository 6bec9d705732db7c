#include "bodies/DotBodyList.h"

#include "astro/Mathematics.h"
#include "bodies/ParallelChunks.h"
#include "bodies/VectorClones.h"

#include <algorithm>
#include <cmath>
#include <thread>

// Where the time goes: per body and tick, one sine/cosine pair of the mean
// anomaly, one polynomial sine/cosine of the eccentric anomaly's offset from
// it, two Halley steps that update sin E and cos E by the angle-sum rule,
// and six products for the rotation into the ecliptic; no library trig, no
// true anomaly, no branches. The loop runs in vector registers (AVX2 and FMA
// where the processor has them), a block of bodies at a time, and reads and
// writes about 100 bytes per body, so memory bandwidth is the next limit.
// The few very eccentric bodies are redone in each block (below); they
// cost some 150 ns each.
//
// Four Newton steps from E = M, as KeplerPosition takes them, have fully
// converged below this eccentricity (to 1e-13 rad at 0.5), so any solver
// agrees with it there. Above it they may stop short of the root near
// perihelion, and KeplerPosition keeps that result unless it still misses
// Kepler's equation, or the next step would still move E, by more than
// 1e-3 rad; then it solves in full. Bodies from this eccentricity on take
// the same path, so that their dots stay exactly where KeplerPosition puts
// them. They are few in any catalogue.
static constexpr double SlowEccentricity = 0.5;
// KeplerPosition's limit for keeping the four steps, and a margin about it
// within which the choice is left to KeplerPosition's own extended
// precision.
static constexpr double KeplerMissLimit = 1e-3;
static constexpr double KeplerMissMargin = 1e-6;
// Mean anomalies are kept for this date so that one subtraction per tick
// gives every body's time offset.
static constexpr long double ReferenceJD = 2451545.0L;
// Lists shorter than this are computed on one thread.
static constexpr int ThreadedCount = 20000;
// Bodies computed together: their columns (some 100 kB) stay in the cache.
static constexpr int BlockSize = 1024;

namespace {

// Round to the nearest integer without a library call (|x| < 2^51), so that
// the loop below stays in vector registers.
inline double RoundNear(double x)
{
  constexpr double Shift = 6755399441055744.0;  // 1.5 * 2^52
  return (x + Shift) - Shift;
}

// sin and cos of |d| <= pi/4 by their Taylor series to order 15 and 16, to
// about 1e-16; still 1e-16 at the 0.75 rad that E - M reaches below
// SlowEccentricity.
inline void SinCosSmall(double d, double& s, double& c)
{
  const double d2 = d * d;
  double ps = -1.0 / 1307674368000.0;  // -1/15!
  ps = ps * d2 + 1.0 / 6227020800.0;
  ps = ps * d2 - 1.0 / 39916800.0;
  ps = ps * d2 + 1.0 / 362880.0;
  ps = ps * d2 - 1.0 / 5040.0;
  ps = ps * d2 + 1.0 / 120.0;
  ps = ps * d2 - 1.0 / 6.0;
  s = d + d * d2 * ps;
  double pc = 1.0 / 20922789888000.0;  // 1/16!
  pc = pc * d2 - 1.0 / 87178291200.0;
  pc = pc * d2 + 1.0 / 479001600.0;
  pc = pc * d2 - 1.0 / 3628800.0;
  pc = pc * d2 + 1.0 / 40320.0;
  pc = pc * d2 - 1.0 / 720.0;
  pc = pc * d2 + 1.0 / 24.0;
  pc = pc * d2 - 0.5;
  c = 1 + d2 * pc;
}

// sin and cos of a moderate angle (a few turns at most), to about 2e-16.
inline void SinCos(double x, double& s, double& c)
{
  constexpr double HalfPiHi = 1.57079632679489655800e+00;
  constexpr double HalfPiLo = 6.12323399573676588613e-17;
  const double k = RoundNear(x * 0.63661977236758134308);
  const double r = (x - k * HalfPiHi) - k * HalfPiLo;
  double sr, cr;
  SinCosSmall(r, sr, cr);
  const double q = k - 4 * RoundNear((k - 1.5) * 0.25);  // k mod 4
  const bool odd = q == 1.0 || q == 3.0;
  const double s1 = odd ? cr : sr, c1 = odd ? sr : cr;
  s = q >= 2.0 ? -s1 : s1;
  c = q == 1.0 || q == 2.0 ? -c1 : c1;
}

// The mean anomaly at dt days from the reference date, reduced to -pi..pi.
inline double MeanAnomaly(double m0, double n, double dt)
{
  constexpr double TwoPiHi = 6.28318530717958623200e+00;
  constexpr double TwoPiLo = 2.44929359829470635445e-16;
  const double m = m0 + n * dt;
  const double k = RoundNear(m * (1 / TwoPiHi));
  return (m - k * TwoPiHi) - k * TwoPiLo;
}

struct TPositionColumns {
  const double* __restrict M0;
  const double* __restrict N;
  const double* __restrict Ecc;
  const double* __restrict Px;
  const double* __restrict Py;
  const double* __restrict Pz;
  const double* __restrict Qx;
  const double* __restrict Qy;
  const double* __restrict Qz;
  double* __restrict X;
  double* __restrict Y;
  double* __restrict Z;
};

// Positions of the bodies [begin, end) for eccentricities below
// SlowEccentricity. E = M + d: the series d = e sin M (1 + e cos M) is
// within 0.05 rad, and two Halley steps bring it below 1e-15 rad. sin E and
// cos E follow each step by the angle-sum rule, so only the first needs
// the full polynomial.
SOLLUMEN_VECTOR_CLONES
void ComputePositions(TPositionColumns c, int begin, int end, double dt)
{
  for (int i = begin; i < end; ++i) {
    const double m = MeanAnomaly(c.M0[i], c.N[i], dt);
    const double e = c.Ecc[i];
    double sm, cm;
    SinCos(m, sm, cm);
    double d = e * sm * (1 + e * cm);
    double sd, cd;
    SinCosSmall(d, sd, cd);
    double sinE = sm * cd + cm * sd, cosE = cm * cd - sm * sd;
    for (int step = 0; step < 2; ++step) {
      const double f = d - e * sinE, f1 = 1 - e * cosE, f2 = e * sinE;
      const double h = -f / (f1 - 0.5 * f * f2 / f1);
      d += h;
      const double h2 = h * h;
      const double sh = h * (1 + h2 * (-1.0 / 6 + h2 * (1.0 / 120 + h2 * (-1.0 / 5040))));
      const double ch = 1 + h2 * (-0.5 + h2 * (1.0 / 24 + h2 * (-1.0 / 720 + h2 * (1.0 / 40320))));
      const double s = sinE * ch + cosE * sh;
      cosE = cosE * ch - sinE * sh;
      sinE = s;
    }
    const double u = cosE - e;
    c.X[i] = c.Px[i] * u + c.Qx[i] * sinE;
    c.Y[i] = c.Py[i] * u + c.Qy[i] * sinE;
    c.Z[i] = c.Pz[i] * u + c.Qz[i] * sinE;
  }
}

// Kepler's equation solved in full for m in -pi..pi: the root lies in
// [m - e, m + e] on the side of m's sign, where Newton from the far end
// approaches it monotonically; the bracket catches what rounding might do.
double SolveKeplerBracketed(double m, double e)
{
  constexpr double Pi = 3.14159265358979323846;
  double lo = std::max(-Pi, m - e), hi = std::min(Pi, m + e);
  double ecc = m >= 0 ? hi : lo, s, c;
  for (int i = 0; i < 100; ++i) {
    SinCos(ecc, s, c);
    const double f = ecc - e * s - m;
    if (f == 0) break;
    if (f > 0)
      hi = ecc;
    else
      lo = ecc;
    double next = ecc - f / (1 - e * c);
    if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
    const bool done = std::fabs(next - ecc) <= 1e-15 || hi - lo <= 1e-15;
    ecc = next;
    if (done) break;
  }
  return ecc;
}

// The eccentric anomaly as KeplerPosition finds it (see above).
double EccentricAnomalyAsKepler(double m, double e)
{
  double ecc = m, s, c;
  for (int i = 0; i < 4; ++i) {
    SinCos(ecc, s, c);
    ecc += (m + e * s - ecc) / (1 - e * c);
  }
  SinCos(ecc, s, c);
  const double residual = m + e * s - ecc;
  const double miss = std::max(std::fabs(residual), std::fabs(residual / (1 - e * c)));
  if (miss < KeplerMissLimit - KeplerMissMargin) return ecc;
  if (miss > KeplerMissLimit + KeplerMissMargin) return SolveKeplerBracketed(m, e);
  return static_cast<double>(EccentricAnomaly(m, e));
}

}  // namespace

void TDotBodyList::Add(const TOrbitElements& el, TColor color)
{
  CheckElements("", el);
  if (el.Ecc >= SlowEccentricity) eccentric_.push_back(Count());
  if (oneColor_ > 0 && !colors_.empty() && colors_.front() != color) oneColor_ = 0;
  Grow(1, color);
  Reduce(Count() - 1, el);
}

void TDotBodyList::AddAll(const std::vector<TOrbitElements>& elements, TColor color)
{
  for (const TOrbitElements& el : elements) CheckElements("", el);
  const int first = Count(), n = static_cast<int>(elements.size());
  if (n == 0) return;
  for (int i = 0; i < n; ++i)
    if (elements[i].Ecc >= SlowEccentricity) eccentric_.push_back(first + i);
  if (oneColor_ > 0 && !colors_.empty() && colors_.front() != color) oneColor_ = 0;
  Grow(n, color);
  // Each body is reduced on its own, exactly as Add reduces it.
  RunInChunks(n, ThreadCount(n), [&](int begin, int end, int) {
    for (int i = begin; i < end; ++i) Reduce(first + i, elements[i]);
  });
}

void TDotBodyList::Grow(int n, TColor color)
{
  const std::size_t size = colors_.size() + n;
  for (auto* v : {&meanAnomaly_, &meanMotion_, &ecc_, &px_, &py_, &pz_, &qx_, &qy_, &qz_, &x_,
                  &y_, &z_})
    v->resize(size);
  colors_.resize(size, color);
}

void TDotBodyList::Reduce(int i, const TOrbitElements& el)
{
  const long double e = el.Ecc;
  const long double node = DegToRad(el.NodeLon), incl = DegToRad(el.Incl);
  const long double peri = DegToRad(el.PeriLon - el.NodeLon);  // argument of perihelion
  const long double cw = std::cos(peri), sw = std::sin(peri);
  const long double cn = std::cos(node), sn = std::sin(node);
  const long double ci = std::cos(incl), si = std::sin(incl);
  const long double a = el.AxisAU, b = el.AxisAU * std::sqrt(1 - e * e);
  long double m = DegToRad(el.MeanLon + el.DailyMotion * (ReferenceJD - el.EpochJD) - el.PeriLon);
  m = std::remainder(m, TwoPi);

  meanAnomaly_[i] = static_cast<double>(m);
  meanMotion_[i] = static_cast<double>(DegToRad(el.DailyMotion));
  ecc_[i] = static_cast<double>(e);
  px_[i] = static_cast<double>(a * (cw * cn - sw * sn * ci));
  py_[i] = static_cast<double>(a * (cw * sn + sw * cn * ci));
  pz_[i] = static_cast<double>(a * sw * si);
  qx_[i] = static_cast<double>(b * (-sw * cn - cw * sn * ci));
  qy_[i] = static_cast<double>(b * (-sw * sn + cw * cn * ci));
  qz_[i] = static_cast<double>(b * cw * si);
}

void TDotBodyList::Clear()
{
  for (auto* v : {&meanAnomaly_, &meanMotion_, &ecc_, &px_, &py_, &pz_, &qx_, &qy_, &qz_, &x_,
                  &y_, &z_})
    v->clear();
  colors_.clear();
  eccentric_.clear();
  oneColor_ = 1;
}

void TDotBodyList::Reserve(int count)
{
  if (count <= 0) return;
  for (auto* v : {&meanAnomaly_, &meanMotion_, &ecc_, &px_, &py_, &pz_, &qx_, &qy_, &qz_, &x_,
                  &y_, &z_})
    v->reserve(count);
  colors_.reserve(count);
}

void TDotBodyList::SetColor(int i, TColor color)
{
  if (colors_[i] != color) oneColor_ = -1;
  colors_[i] = color;
}

void TDotBodyList::SetAllColors(TColor color)
{
  for (TColor& c : colors_) c = color;
  oneColor_ = 1;
}

bool TDotBodyList::OneColor() const
{
  if (colors_.empty()) return true;
  if (oneColor_ < 0)
    oneColor_ = std::all_of(colors_.begin(), colors_.end(),
                            [first = colors_.front()](TColor c) { return c == first; });
  return oneColor_ > 0;
}

std::size_t TDotBodyList::MemoryBytes() const
{
  std::size_t bytes = 0;
  for (auto* v : {&meanAnomaly_, &meanMotion_, &ecc_, &px_, &py_, &pz_, &qx_, &qy_, &qz_, &x_,
                  &y_, &z_})
    bytes += v->capacity() * sizeof(double);
  return bytes + colors_.capacity() * sizeof(TColor) + eccentric_.capacity() * sizeof(int);
}

int TDotBodyList::ThreadCount(int count)
{
  if (count < ThreadedCount) return 1;
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(std::min(cores, 16u));
}

void TDotBodyList::CalculateRange(int begin, int end, double dt)
{
  const TPositionColumns columns{meanAnomaly_.data(), meanMotion_.data(), ecc_.data(),
                                 px_.data(),          py_.data(),         pz_.data(),
                                 qx_.data(),          qy_.data(),         qz_.data(),
                                 x_.data(),           y_.data(),          z_.data()};
  auto eccentric = std::lower_bound(eccentric_.begin(), eccentric_.end(), begin);
  // Block by block, so that the few eccentric bodies are redone while their
  // columns are still in the cache.
  for (int block = begin; block < end; block += BlockSize) {
    const int blockEnd = std::min(end, block + BlockSize);
    ComputePositions(columns, block, blockEnd, dt);
    for (; eccentric != eccentric_.end() && *eccentric < blockEnd; ++eccentric) {
      const int i = *eccentric;
      const double e = ecc_[i];
      double s, c;
      SinCos(EccentricAnomalyAsKepler(MeanAnomaly(meanAnomaly_[i], meanMotion_[i], dt), e), s, c);
      const double u = c - e;
      x_[i] = px_[i] * u + qx_[i] * s;
      y_[i] = py_[i] * u + qy_[i] * s;
      z_[i] = pz_[i] * u + qz_[i] * s;
    }
  }
}

void TDotBodyList::CalculateAll(long double jd, int threads)
{
  const double dt = static_cast<double>(jd - ReferenceJD);
  RunInChunks(Count(), threads > 0 ? threads : ThreadCount(Count()),
              [this, dt](int begin, int end, int) { CalculateRange(begin, end, dt); });
}
