#include "EphemBodies.h"

#include "astro/astronomy404.h"
#include "astro/moon404.h"
#include "astro/plt404.h"
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

// Earth to Neptune from the planetary ephemeris; of date as the planets are
// drawn, in J2000 the ephemeris vector (the Earth at its centre) turned to
// the ecliptic.
template <int Index>
TRectCoord PlanetEphem(long double jd, EphemFrame frame)
{
  if (frame == EphemFrame::J2000) return J2000Ecliptic(PlanetJ2000Equatorial(Index, jd));
  TRectCoord rect;
  TPolarCoord polar;
  PlanetPosition(Index, jd, rect, polar);
  return rect;
}

// Pluto moves on its mean orbit.
TRectCoord PlutoEphem(long double jd, EphemFrame frame)
{
  return KeplerPosition(MeanPlanetElements(8, frame == EphemFrame::J2000 ? 1 : 0, jd), jd);
}

}  // namespace

const std::vector<EphemBody>& EphemBodies()
{
  static const std::vector<EphemBody> bodies = {
      {PlanetNames[0], 0, PlanetEphem<0>},
      {PlanetNames[1], 1, PlanetEphem<1>},
      {PlanetNames[2], 2, PlanetEphem<2>},
      {PlanetNames[3], 3, PlanetEphem<3>},
      {PlanetNames[4], 4, PlanetEphem<4>},
      {PlanetNames[5], 5, PlanetEphem<5>},
      {PlanetNames[6], 6, PlanetEphem<6>},
      {PlanetNames[7], 7, PlanetEphem<7>},
      {PlanetNames[8], 8, PlutoEphem},
      {"Moon", 13, MoonEphem},
  };
  return bodies;
}
