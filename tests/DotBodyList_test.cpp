#include "bodies/DotBodyList.h"

#include "astro/astronomy404.h"
#include "bodies/ParallelChunks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr long double J2000 = 2451545.0L;

TOrbitElements Elements(long double a, long double e, long double incl, long double node,
                        long double peri, long double meanLon, long double epoch = J2000)
{
  TOrbitElements el;
  el.EpochJD = epoch;
  el.Incl = incl;
  el.NodeLon = node;
  el.PeriLon = peri;
  el.AxisAU = a;
  el.DailyMotion = 0.9856076686L / (a * std::sqrt(a));
  el.Ecc = e;
  el.MeanLon = meanLon;
  return el;
}

long double Miss(const TDotBodyList& list, int i, const TOrbitElements& el, long double jd)
{
  const TRectCoord p = KeplerPosition(el, jd);
  return std::max({std::fabs(list.X(i) - p.X), std::fabs(list.Y(i) - p.Y),
                   std::fabs(list.Z(i) - p.Z)});
}

// Elements spread over everything a catalogue holds, from circular to
// comet-like orbits, retrograde ones and epochs far from the instant.
std::vector<TOrbitElements> VariedElements(int count, unsigned seed)
{
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(0, 1);
  const double eccs[] = {0, 1e-6, 0.05, 0.2, 0.35, 0.4999, 0.5, 0.6, 0.75, 0.9, 0.97, 0.995};
  std::vector<TOrbitElements> out;
  for (int i = 0; i < count; ++i) {
    const double e = i % 3 == 0 ? eccs[i / 3 % 12] : 0.6 * u(rng) * u(rng);
    out.push_back(Elements(0.3 + 60 * u(rng) * u(rng) * u(rng), e, 180 * u(rng) * u(rng),
                           360 * u(rng), 720 * u(rng) - 360, 1080 * u(rng) - 360,
                           2400000.5L + 100000 * u(rng)));
  }
  return out;
}

}  // namespace

TEST(DotBodyList, PositionsAreThoseOfKeplerPositionAtAnyEccentricity)
{
  // Long enough to be split over threads where there are several cores.
  const std::vector<TOrbitElements> els = VariedElements(30000, 7);
  TDotBodyList list;
  list.Reserve(static_cast<int>(els.size()));
  for (const TOrbitElements& el : els) list.Add(el, 0x008080);
  ASSERT_EQ(list.Count(), 30000);

  for (long double jd : {J2000, 2433282.5L, 2469807.5L, 990924.5L, 3912515.5L}) {
    list.CalculateAll(jd);
    long double worst = 0;
    int worstIndex = -1;
    for (int i = 0; i < list.Count(); ++i) {
      const long double miss = Miss(list, i, els[i], jd);
      if (!(miss <= worst)) worst = miss, worstIndex = i;
    }
    EXPECT_LT(worst, 1e-9L) << "jd " << static_cast<double>(jd) << ", body " << worstIndex
                            << " e " << static_cast<double>(els[worstIndex].Ecc);
  }
}

TEST(DotBodyList, EccentricOrbitsNearPerihelionKeepKeplerPositionsFourNewtonSteps)
{
  // At e = 0.97 close to perihelion the four Newton steps of KeplerPosition
  // stop up to 1e-3 rad short of the root and their result is kept, or the
  // equation is solved in full when they miss it by more; a solver that
  // always converges would put these dots elsewhere.
  TDotBodyList list;
  std::vector<TOrbitElements> els;
  for (double e : {0.5, 0.8, 0.9, 0.97, 0.9999})
    for (int k = -400; k <= 400; ++k) {
      els.push_back(Elements(2.5, e, 12, 40, 100, 100 + 0.05 * k));
      list.Add(els.back(), 0);
    }
  list.CalculateAll(J2000);
  for (int i = 0; i < list.Count(); ++i)
    ASSERT_LT(Miss(list, i, els[i], J2000), 1e-9L)
        << "e " << static_cast<double>(els[i].Ecc) << " M "
        << static_cast<double>(els[i].MeanLon - els[i].PeriLon) << " deg";
}

TEST(DotBodyList, SimpleOrbitsAndRecalculation)
{
  TDotBodyList list;
  // Circular orbit in the ecliptic a quarter turn from the x axis.
  list.Add(Elements(2, 0, 0, 0, 0, 90), 1);
  // Tilted orbit at its ascending node: on the x axis at 1 AU.
  list.Add(Elements(1, 0, 30, 0, 0, 0), 2);
  EXPECT_EQ(list.X(0), 0);  // nothing computed yet
  list.CalculateAll(J2000);
  EXPECT_NEAR(list.X(0), 0, 1e-15);
  EXPECT_NEAR(list.Y(0), 2, 1e-15);
  EXPECT_NEAR(list.Z(0), 0, 1e-15);
  EXPECT_NEAR(list.X(1), 1, 1e-15);
  EXPECT_NEAR(list.Y(1), 0, 1e-15);
  // A quarter period later the tilted body is at its highest point.
  const long double quarter = 90 / 0.9856076686L;
  list.CalculateAll(J2000 + quarter);
  EXPECT_NEAR(list.Z(1), std::sin(30 * 3.14159265358979323846 / 180), 1e-12);
  EXPECT_EQ(list.XData()[1], list.X(1));
}

TEST(DotBodyList, RejectsSetsWithoutAnEllipseAndKeepsTheList)
{
  TDotBodyList list;
  list.Add(Elements(1, 0.1, 0, 0, 0, 0), 5);
  TOrbitElements bad = Elements(1, 1.0, 0, 0, 0, 0);
  EXPECT_THROW(list.Add(bad, 1), EInvalidElements);
  bad = Elements(1, 0.1, 0, 0, 0, 0);
  bad.AxisAU = 0;
  EXPECT_THROW(list.Add(bad, 1), EInvalidElements);
  bad = Elements(1, 0.1, 0, 0, 0, 0);
  bad.DailyMotion = -1;
  EXPECT_THROW(list.Add(bad, 1), EInvalidElements);
  bad = Elements(1, 0.1, 0, 0, 0, std::numeric_limits<long double>::quiet_NaN());
  EXPECT_THROW(list.Add(bad, 1), EInvalidElements);
  ASSERT_EQ(list.Count(), 1);
  list.CalculateAll(J2000);
  EXPECT_TRUE(std::isfinite(list.X(0)));
}

TEST(DotBodyList, AddingManyAtOnceIsAddingThemOneByOne)
{
  // Enough bodies to be reduced on several threads, eccentric ones among them.
  const std::vector<TOrbitElements> els = VariedElements(70000, 11);
  TDotBodyList single, many;
  single.Add(els[0], 7);
  many.Add(els[0], 7);
  for (std::size_t i = 1; i < els.size(); ++i) single.Add(els[i], 7);
  many.AddAll(std::vector<TOrbitElements>(els.begin() + 1, els.end()), 7);
  ASSERT_EQ(many.Count(), single.Count());
  EXPECT_TRUE(many.OneColor());
  const long double jd = J2000 + 12345.6L;
  single.CalculateAll(jd);
  many.CalculateAll(jd);
  for (int i = 0; i < single.Count(); ++i) {
    ASSERT_EQ(many.X(i), single.X(i)) << i;
    ASSERT_EQ(many.Y(i), single.Y(i)) << i;
    ASSERT_EQ(many.Z(i), single.Z(i)) << i;
  }
  // A set without an ellipse refuses the whole batch and keeps the list.
  std::vector<TOrbitElements> bad = {els[1], Elements(1, 1.0, 0, 0, 0, 0)};
  EXPECT_THROW(many.AddAll(bad, 7), EInvalidElements);
  EXPECT_EQ(many.Count(), single.Count());
  many.AddAll({els[1]}, 8);
  EXPECT_FALSE(many.OneColor());
}

TEST(DotBodyList, ColoursClearingAndMemory)
{
  TDotBodyList list;
  const int n = 50000;
  list.Reserve(n);
  for (int i = 0; i < n; ++i) list.Add(Elements(2 + i % 7, 0.01 * (i % 99), 5, i, 2 * i, 3 * i), i);
  EXPECT_EQ(list.Color(123), 123u);
  EXPECT_FALSE(list.OneColor());
  list.SetAllColors(0x008080);
  EXPECT_TRUE(list.OneColor());
  list.SetColor(123, 0xABCDEF);
  EXPECT_EQ(list.ColorData()[123], 0xABCDEFu);
  EXPECT_FALSE(list.OneColor());
  list.SetColor(123, 0x008080);
  EXPECT_TRUE(list.OneColor());
  list.SetAllColors(0x008080);
  EXPECT_EQ(list.Color(0), 0x008080u);
  EXPECT_EQ(list.Color(n - 1), 0x008080u);
  EXPECT_LE(list.MemoryBytes(), 200u * n);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_TRUE(list.OneColor());
  list.CalculateAll(J2000);  // an empty list computes nothing
  list.Add(Elements(1, 0, 0, 0, 0, 0), 7);
  list.Add(Elements(2, 0, 0, 0, 0, 0), 7);
  EXPECT_TRUE(list.OneColor());
  list.Add(Elements(3, 0, 0, 0, 0, 0), 8);
  EXPECT_FALSE(list.OneColor());
  list.CalculateAll(J2000);
  EXPECT_NEAR(list.X(0), 1, 1e-15);
  EXPECT_EQ(list.Color(0), 7u);
}

TEST(ParallelChunks, EveryIndexOnceInContiguousChunks)
{
  for (int count : {0, 1, 5, 7, 100, 1001})
    for (int threads : {1, 2, 3, 6, 16}) {
      std::vector<std::atomic<int>> seen(count);
      std::atomic<int> chunks{0};
      RunInChunks(count, threads, [&](int begin, int end, int) {
        ASSERT_LT(begin, end);
        ++chunks;
        for (int i = begin; i < end; ++i) ++seen[i];
      });
      for (int i = 0; i < count; ++i) ASSERT_EQ(seen[i], 1) << count << " " << threads;
      EXPECT_LE(chunks, std::max(1, std::min(count, threads)));
    }
}
