#include "EphemBodies.h"

#include "astro/moon404.h"
#include "astro/util404.h"

namespace {

// A J2000 equatorial vector on the mean ecliptic of J2000.0.
TRectCoord J2000Ecliptic(const TRectCoord& equatorial)
{
  Obliquity(2451545.0L);
  return EquRectToEclRect(equatorial);
}

TRectCoord MoonEphem(long double jd, EphemFrame frame)
{
  if (frame == EphemFrame::J2000) return J2000Ecliptic(MoonJ2000Equatorial(jd));
  TRectCoord rect;
  TPolarCoord polar;
  MoonEcliptic(jd, rect, polar);
  return rect;
}

}  // namespace

const std::vector<EphemBody>& EphemBodies()
{
  static const std::vector<EphemBody> bodies = {
      {"Moon", 13, MoonEphem},
  };
  return bodies;
}
