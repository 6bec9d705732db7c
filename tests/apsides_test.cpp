// The apsides tables of Uranus and Neptune: their fixed ends and counts, one
// passage per orbit, and agreement with the planetary theory they came from.
#include "astro/astronomy404.h"
#include "astro/astronomy404_tables.h"
#include "astro/plt404.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>

namespace {

struct Expected {
  const char* Name;
  std::span<const std::int32_t> Table;
  std::size_t Count;
  std::int32_t First, Last;
  long double Period;  // days
};

const Expected Tables[] = {
    {"Uranus aphelia", UranusAphelia, 77, 643781, 2976874, 30687},
    {"Neptune aphelia", NeptuneAphelia, 40, 634055, 2982239, 60190},
    // The theory gives one perihelion per orbit between these ends: 78, not 79.
    {"Uranus perihelia", UranusPerihelia, 78, 628254, 2992620, 30687},
    {"Neptune perihelia", NeptunePerihelia, 39, 664135, 2951824, 60190},
};

long double Distance(int index, long double jd)
{
  TPolarCoord polar;
  TRectCoord rect;
  QueryPlan404(index, jd, polar, rect);
  return VecLength(rect);
}

TEST(ApsidesTables, EndsCountsAndSpacing)
{
  for (const auto& t : Tables) {
    ASSERT_EQ(t.Table.size(), t.Count) << t.Name;
    EXPECT_EQ(t.Table.front(), t.First) << t.Name;
    EXPECT_EQ(t.Table.back(), t.Last) << t.Name;
    // Neptune's shallow apsides wander by several years; never two in one orbit.
    for (std::size_t i = 1; i < t.Table.size(); ++i) {
      const long double gap = t.Table[i] - t.Table[i - 1];
      EXPECT_GT(gap, 0.85L * t.Period) << t.Name << " " << t.Table[i];
      EXPECT_LT(gap, 1.15L * t.Period) << t.Name << " " << t.Table[i];
    }
  }
}

TEST(ApsidesTables, AreExtremaOfTheDistance)
{
  // Inside the ends, each tabulated date is within a day of the extremum: a
  // step of 60 days either way moves the distance away from it.
  const int index[] = {6, 7, 6, 7};
  const int sign[] = {-1, -1, 1, 1};
  for (int k = 0; k < 4; ++k) {
    const auto& t = Tables[k];
    for (std::size_t i = 1; i + 1 < t.Table.size(); i += 7) {
      const long double jd = t.Table[i];
      const long double r = sign[k] * Distance(index[k], jd);
      EXPECT_LT(r, sign[k] * Distance(index[k], jd - 60)) << t.Name << " " << jd;
      EXPECT_LT(r, sign[k] * Distance(index[k], jd + 60)) << t.Name << " " << jd;
    }
  }
}

TEST(ApsidesTables, PassagesOfUranusAndNeptune)
{
  // The next passage after the instant; -1 at or after the last entry.
  EXPECT_EQ(AphelionPassage(6, 2451545.0L), 2454890);
  EXPECT_EQ(PerihelionPassage(6, 2451545.0L), 2470034);
  EXPECT_EQ(PerihelionPassage(7, 2451545.0L), 2467141);
  EXPECT_EQ(AphelionPassage(6, 2454890.0L), 2485476);
  EXPECT_EQ(AphelionPassage(6, 2976874.0L), -1);
  EXPECT_EQ(AphelionPassage(6, 2976873.5L), 2976874);
  EXPECT_EQ(PerihelionPassage(7, 2951824.0L), -1);
  EXPECT_EQ(AphelionPassage(7, 0.0L), 634055);
}

}  // namespace
