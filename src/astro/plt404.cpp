#include "astro/plt404.h"

#include "astro/Mathematics.h"
#include "astro/moon404.h"
#include "astro/nutate404.h"
#include "astro/plan404.h"
#include "astro/precess404.h"
#include "astro/util404.h"

#include <cmath>

// The ephemeris forms the barycentre from an Earth-only theory with its own
// copy of the mass ratio; the subtraction below must undo it exactly.
static_assert(EarthMoonMassFraction == Plan404MoonShare);

namespace {

constexpr int LibraryNumbers[PlanetCount] = {3, 1, 2, 4, 5, 6, 7, 8, 9};

}  // namespace

int PlanetLibraryNumber(int index)
{
  return index >= 0 && index < PlanetCount ? LibraryNumbers[index] : 0;
}

std::int32_t QueryPlan404(int index, long double jd, TPolarCoord& polar, TRectCoord& rect)
{
  polar = {};
  rect = {};
  if (index < 0 || index >= PlanetCount) return Plan404UnknownNumber;
  TPlanetData data;
  data.Number = LibraryNumbers[index];
  data.JD = static_cast<double>(jd);
  const std::int32_t result = Plan404(data);
  polar = {data.Lon, data.Lat, data.Radius};
  rect = {data.X, data.Y, data.Z};
  return result;
}

TRectCoord PlanetJ2000Equatorial(int index, long double jd)
{
  TPolarCoord polar;
  TRectCoord v;
  QueryPlan404(index, jd, polar, v);
  if (index == 0) v = VecSub(v, VecScale(MoonJ2000Equatorial(jd), EarthMoonMassFraction));
  return v;
}

void PlanetPosition(int index, long double jd, TRectCoord& rect, TPolarCoord& spherical)
{
  rect = {};
  spherical = {};
  // Without a planet there is no direction to reduce (0/0 in the latitude).
  if (index < 0 || index >= PlanetCount) return;
  const TRectCoord v = Precess(PlanetJ2000Equatorial(index, jd), -1, jd);
  Obliquity(jd);
  const TRectCoord e = EquRectToEclRect(v);
  const long double r = VecLength(e);
  if (r == 0) return;
  NutationAngles(jd);
  const long double lon = ArcTan2(e.X, e.Y) + NutationState().DPsi;
  const long double lat = ArcSin(e.Z / r);
  spherical = {lon, lat, r};
  rect = {r * std::cos(lat) * std::cos(lon), r * std::cos(lat) * std::sin(lon), r * std::sin(lat)};
}
