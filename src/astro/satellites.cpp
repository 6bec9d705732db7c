// Name tables and the steps shared by the satellite theories.
#include "astro/satellites.h"

#include "astro/Mathematics.h"
#include "astro/precess404.h"
#include "astro/util404.h"

#include <cmath>

const TSatelliteName JupiterSatelliteNames[4] = {
    {"Io", "J I"}, {"Europa", "J II"}, {"Ganymede", "J III"}, {"Callisto", "J IV"}};

const TSatelliteName SaturnSatelliteNames[18] = {
    {"Pan", "S XVIII"},     {"Atlas", "S XV"},      {"Prometheus", "S XVI"},
    {"Pandora", "S XVII"},  {"Epimetheus", "S XI"}, {"Janus", "S X"},
    {"Mimas", "S I"},       {"Enceladus", "S II"},  {"Tethys", "S III"},
    {"Telesto", "S XIII"},  {"Calypso", "S XIV"},   {"Dione", "S IV"},
    {"Helene", "S XII"},    {"Rhea", "S V"},        {"Titan", "S VI"},
    {"Hyperion", "S VII"},  {"Iapetus", "S VIII"},  {"Phoebe", "S IX"}};

const TSatelliteName UranusSatelliteNames[5] = {
    {"Miranda", "U V"}, {"Ariel", "U I"}, {"Umbriel", "U II"}, {"Titania", "U III"},
    {"Oberon", "U IV"}};

namespace {
constexpr long double JD1950 = 2433282.5L;
constexpr long double JD2000 = 2451544.5L;
}  // namespace

TRectCoord From1950To2000(const TRectCoord& v, bool ecliptic)
{
  TRectCoord equ = v;
  if (ecliptic) {
    // The vector belongs to the ecliptic of 1950, whatever instant the
    // obliquity cache was last evaluated for.
    Obliquity(JD1950);
    equ = EclRectToEquRect(v);
  }
  TRectCoord rect;
  TPolarCoord polar;
  PrecessBetween(equ, JD1950, JD2000, rect, polar);
  // PrecessBetween leaves the obliquity of its target instant in the cache.
  return EquRectToEclRect(rect);
}

TOrbitElements EquatorToReferencePlane(const TOrbitElements& onEquator, long double iEq,
                                       long double nodeEq)
{
  // The spherical triangle of the reference plane, the equator and the
  // orbit: M is the arc of the reference plane from the equator's node to
  // the orbit's node, U the arc of the orbit from there to its node on the
  // equator. U takes both arguments so that it keeps its quadrant while the
  // orbit's node circulates along the equator.
  long double gamma = DegToRad(onEquator.Incl);
  long double f = DegToRad(onEquator.NodeLon - nodeEq);
  long double ie = DegToRad(iEq);
  long double sg = std::sin(gamma), cg = std::cos(gamma);
  long double si = std::sin(ie), ci = std::cos(ie);
  long double sf = std::sin(f), cf = std::cos(f);

  long double m = ArcTan2(si * cg + ci * sg * cf, sg * sf);
  long double incl = ArcSin(sg * sf / std::sin(m));
  long double u = ArcTan2(ci * sg + si * cg * cf, si * sf);

  TOrbitElements el = onEquator;
  long double mDeg = RadToDeg(m), uDeg = RadToDeg(u);
  el.Incl = RadToDeg(incl);
  el.NodeLon = nodeEq + mDeg;
  el.PeriLon = nodeEq + mDeg + uDeg + (onEquator.PeriLon - onEquator.NodeLon);
  // Re-expressed like the periapsis, so that the mean anomaly is unchanged.
  el.MeanLon = nodeEq + mDeg + uDeg + (onEquator.MeanLon - onEquator.NodeLon);
  return el;
}
