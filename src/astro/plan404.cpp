#include "astro/plan404.h"

#include "astro/Mathematics.h"
#include "astro/astronomy404.h"
#include "astro/de404series.h"
#include "astro/moon404.h"
#include "astro/vsop87b.h"

#include <algorithm>
#include <cmath>

namespace {

// The obliquity of J2000.0 by which the ecliptic quantities of the record
// and Pluto's mean orbit are turned (IAU 1976).
constexpr long double EclipticObliquity = 84381.448L * ArcsecToRadians;

long double Ramp(long double x) { return std::clamp(x, 0.0L, 1.0L); }

TRectCoord EclipticToEquator(const TRectCoord& v)
{
  const long double c = std::cos(EclipticObliquity), s = std::sin(EclipticObliquity);
  return {v.X, c * v.Y - s * v.Z, s * v.Y + c * v.Z};
}

TRectCoord EquatorToEcliptic(const TRectCoord& v)
{
  const long double c = std::cos(EclipticObliquity), s = std::sin(EclipticObliquity);
  return {v.X, c * v.Y + s * v.Z, -s * v.Y + c * v.Z};
}

// VSOP87B knows the Earth, not the barycentre the record promises for 3.
TRectCoord VsopEquatorial(int number, long double jd)
{
  TRectCoord v = Vsop87bEquatorial(number, jd);
  if (number == 3) v = VecAdd(v, VecScale(MoonJ2000Equatorial(jd), Plan404MoonShare));
  return v;
}

TRectCoord PlanetEquatorial(int number, long double jd)
{
  const long double w = Vsop87bWeight(number, jd);
  if (w == 0) return De404Equatorial(number, jd);
  if (w == 1) return VsopEquatorial(number, jd);
  return VecAdd(VecScale(De404Equatorial(number, jd), 1 - w),
                VecScale(VsopEquatorial(number, jd), w));
}

TRectCoord PlutoEquatorial(long double jd)
{
  if (jd >= PlutoFitStart && jd <= PlutoFitEnd) return De404Equatorial(9, jd);
  return EclipticToEquator(KeplerPosition(MeanPlanetElements(8, 1, jd), jd));
}

}  // namespace

long double Vsop87bWeight(int number, long double jd)
{
  long double w = Ramp((jd - LateBlendStart) / (LateBlendEnd - LateBlendStart));
  if (number == 4) w = std::max(w, Ramp((MarsBlendEnd - jd) / (MarsBlendEnd - MarsBlendStart)));
  if (number >= 5 && number <= 8)
    w = std::max(w, Ramp((OuterBlendEnd - jd) / (OuterBlendEnd - OuterBlendStart)));
  return w;
}

std::int32_t Plan404(TPlanetData& data)
{
  data.Lon = data.Lat = data.Radius = 0;
  data.X = data.Y = data.Z = 0;
  const int number = data.Number;
  if (number < 1 || number > 9) return Plan404UnknownNumber;
  if (!std::isfinite(data.JD)) return Plan404BadDate;
  const long double jd = data.JD;
  const TRectCoord v = number == 9 ? PlutoEquatorial(jd) : PlanetEquatorial(number, jd);
  data.X = static_cast<double>(v.X);
  data.Y = static_cast<double>(v.Y);
  data.Z = static_cast<double>(v.Z);
  const TPolarCoord p = RectToPolar(EquatorToEcliptic(v));
  data.Lon = static_cast<double>(p.Lon);
  data.Lat = static_cast<double>(p.Lat);
  data.Radius = static_cast<double>(p.Dist);
  return Plan404Done;
}
