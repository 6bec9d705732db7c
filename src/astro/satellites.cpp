// Name tables and the steps shared by the satellite theories.
#include "astro/satellites.h"

#include "astro/Mathematics.h"
#include "astro/QuickTrig.h"
#include "astro/precess404.h"
#include "astro/util404.h"

#include <algorithm>
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

namespace {

// The reduction as written, step by step through the obliquity cache.
TRectCoord Reduce1950To2000(const TRectCoord& v, bool ecliptic)
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

struct TReduction {
  TMatrix4 FromEcliptic, FromEquator;
};

// The reduction is linear and its instants are fixed: its matrix, taken
// once from the images of the unit vectors, spares every satellite position
// two precessions.
TReduction ReductionMatrices()
{
  TReduction r;
  const TRectCoord axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  for (int j = 0; j < 3; ++j) {
    TRectCoord a = Reduce1950To2000(axes[j], true), b = Reduce1950To2000(axes[j], false);
    r.FromEcliptic(0, j) = a.X;
    r.FromEcliptic(1, j) = a.Y;
    r.FromEcliptic(2, j) = a.Z;
    r.FromEquator(0, j) = b.X;
    r.FromEquator(1, j) = b.Y;
    r.FromEquator(2, j) = b.Z;
  }
  return r;
}

}  // namespace

TRectCoord From1950To2000(const TRectCoord& v, bool ecliptic)
{
  static const TReduction reduction = ReductionMatrices();
  // Callers rely on the obliquity of the target instant being in force
  // afterwards, as the step-by-step reduction leaves it.
  Obliquity(JD2000);
  return TransformPoint(v, ecliptic ? reduction.FromEcliptic : reduction.FromEquator);
}

TOrbitElements EquatorToReferencePlane(const TOrbitElements& onEquator, long double iEq,
                                       long double nodeEq)
{
  // The spherical triangle of the reference plane, the equator and the
  // orbit: M is the arc of the reference plane from the equator's node to
  // the orbit's node, U the arc of the orbit from there to its node on the
  // equator. U takes both arguments so that it keeps its quadrant while the
  // orbit's node circulates along the equator.
  // The triangle's angles turn slowly and shift the orbit as a whole, so
  // double precision is ample for them (see QuickTrig.h).
  double sg, cg, si, ci, sf, cf;
  QuickSinCosDeg(onEquator.Incl, sg, cg);
  QuickSinCosDeg(iEq, si, ci);
  QuickSinCosDeg(onEquator.NodeLon - nodeEq, sf, cf);

  double m = std::atan2(sg * sf, si * cg + ci * sg * cf);
  double incl = std::asin(std::clamp(sg * sf / std::sin(m), -1.0, 1.0));
  double u = std::atan2(si * sf, ci * sg + si * cg * cf);

  TOrbitElements el = onEquator;
  long double mDeg = m * 57.295779513082320877, uDeg = u * 57.295779513082320877;
  el.Incl = incl * 57.295779513082320877;
  el.NodeLon = nodeEq + mDeg;
  el.PeriLon = nodeEq + mDeg + uDeg + (onEquator.PeriLon - onEquator.NodeLon);
  // Re-expressed like the periapsis, so that the mean anomaly is unchanged.
  el.MeanLon = nodeEq + mDeg + uDeg + (onEquator.MeanLon - onEquator.NodeLon);
  return el;
}
