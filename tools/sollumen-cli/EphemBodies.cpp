#include "EphemBodies.h"

#include "astro/astronomy404.h"
#include "astro/moon404.h"
#include "astro/plt404.h"
#include "astro/satellites.h"
#include "astro/util404.h"
#include "bodies/SSClasses.h"
#include "bodies/Spacecraft.h"

#include <memory>

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

// Satellites of date are what their bodies compute: the planet recalculates
// its satellites, which reduce their theory's vector to the date. In J2000 the
// theory's own vector (ecliptic and equinox of J2000).
template <int Planet, int Code>
TRectCoord SatelliteEphem(long double jd, EphemFrame frame)
{
  TRectCoord (*theory)(int, long double) =
      Planet == 4 ? JupiterSatellite : Planet == 5 ? SaturnSatellite : UranusSatellite;
  if (frame == EphemFrame::J2000) return theory(Code, jd);

  TPlanet planet(Planet, 0);
  TSatellite* satellite = planet.Satellites.Add(NewSatellite(Code, &planet, 0));
  Obliquity(jd);  // as the scene does before recalculating its bodies
  planet.Calculate(jd);
  return satellite->Position;
}

template <int Code>
EphemBody Satellite()
{
  if constexpr (Code <= LastJupiterSatellite)
    return {JupiterSatelliteNames[Code - FirstJupiterSatellite].Name, Code,
            SatelliteEphem<4, Code>};
  else if constexpr (Code <= LastSaturnSatellite)
    return {SaturnSatelliteNames[Code - FirstSaturnSatellite].Name, Code,
            SatelliteEphem<5, Code>};
  else
    return {UranusSatelliteNames[Code - FirstUranusSatellite].Name, Code,
            SatelliteEphem<6, Code>};
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
      Satellite<140>(), Satellite<141>(), Satellite<142>(), Satellite<143>(),
      Satellite<156>(), Satellite<157>(), Satellite<158>(), Satellite<159>(),
      Satellite<160>(), Satellite<161>(), Satellite<162>(), Satellite<163>(),
      Satellite<164>(), Satellite<165>(), Satellite<166>(), Satellite<167>(),
      Satellite<170>(), Satellite<171>(), Satellite<172>(), Satellite<173>(),
      Satellite<174>(),
  };
  return bodies;
}

bool SpacecraftEphem(TSpacecraft& craft, long double jd, EphemFrame frame, TRectCoord& v)
{
  if (!craft.HasPosition(jd)) return false;
  craft.Calculate(jd);
  v = craft.PositionOfDate(craft.Position, frame == EphemFrame::J2000 ? 2451545.0L : jd);
  return true;
}
