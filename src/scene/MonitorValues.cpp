#include "scene/MonitorValues.h"

#include "astro/Angles.h"
#include "astro/DatesAndTimes.h"
#include "astro/Mathematics.h"
#include "astro/astronomy404_poles.h"
#include "astro/coord404.h"
#include "astro/util404.h"
#include "scene/MonitorFormats.h"
#include "scene/SolarSystem.h"

#include <cmath>

namespace {

// AU per day to km/s, the factor the readout has always used.
constexpr long double KmPerSecondPerAUPerDay = 1731.4815L;
constexpr long double SolarConstant = 1374;  // W/m^2 at 1 AU
constexpr int Minutes = 0;
constexpr int Seconds = 1;

const char* const HelioDistance = "heliocentric distance";
const char* const CenterDistance = "distance from centered object";

std::vector<std::string> HeliocentricPositionLabels()
{
  return {"ecliptical heliocentric pos. x [AU]", "ecliptical heliocentric pos. y [AU]",
          "ecliptical heliocentric pos. z [AU]", "ecliptical heliocentric longitude",
          "ecliptical heliocentric latitude",    std::string(HelioDistance) + " [AU]",
          std::string(CenterDistance) + " [AU]"};
}

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b)
{
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class TFiller {
public:
  TFiller(const TSolarSystem& scene, TMonitorKind kind, const std::string& separator)
      : scene_(scene), sep_(separator)
  {
    values_.Known = true;
    values_.Kind = kind;
    for (std::string& label : MonitorLabels(kind)) values_.Rows.push_back({std::move(label), ""});
  }

  void Set(int row, std::string value) { values_.Rows[row].Value = std::move(value); }
  void Label(int row, std::string label) { values_.Rows[row].Label = std::move(label); }
  std::string F(long double x, int p, int d) const { return FixedText(x, p, d, sep_); }
  std::string E4(long double x) const { return E4Text(x, sep_); }
  std::string Angle(long double radians, int style) const
  {
    return AngleText(radians, style, sep_);
  }
  std::string Period(long double days) const { return PeriodText(days, sep_); }
  // A date of the calendar's range as its text; beyond it the Julian date.
  std::string Date(long double jd) const
  {
    if (jd >= MinJD && jd <= MaxJD) return DateText(JDToDateRec(0, jd));
    return "JD " + F(jd, 10, 1);
  }

  // Rows 0-2: a position in AU (F(12,6)) or converted to km (F(10,0)).
  void PositionAU(const TRectCoord& v)
  {
    Set(0, F(v.X, 12, 6));
    Set(1, F(v.Y, 12, 6));
    Set(2, F(v.Z, 12, 6));
  }
  void PositionKm(const TRectCoord& v)
  {
    Set(0, F(v.X * MonitorKmPerAU, 10, 0));
    Set(1, F(v.Y * MonitorKmPerAU, 10, 0));
    Set(2, F(v.Z * MonitorKmPerAU, 10, 0));
  }
  void LonLat(long double lon, long double lat, int style)
  {
    Set(3, Angle(Norm2Pi(lon), style));
    Set(4, Angle(NormPi(lat), style));
  }
  // A distance row that switches to 1000 km near the reference.
  void Distance(int row, const char* what, long double d)
  {
    if (d < MonitorNearDistance) {
      Label(row, std::string(what) + " [1000 km]");
      Set(row, F(d * MonitorKmPerAU / 1000, 6, 0));
    } else {
      Label(row, std::string(what) + " [AU]");
      Set(row, F(d, 12, 6));
    }
  }
  void Distances(const TRectCoord& v)
  {
    Distance(5, HelioDistance, scene_.DistanceFromSun(v));
    Distance(6, CenterDistance, scene_.DistanceFromCenter(v));
  }
  std::string Elongation(const TRectCoord& v) const
  {
    const long double e = scene_.Elongation(v);
    return e == -99 ? "n.c." : Angle(e, Minutes);
  }
  // Rows 7-14 of planets and minor bodies, from the element set.
  void Orbit(const TOEObject& body, int angleStyle)
  {
    const TOrbitElements& el = body.OrbitElements();
    Set(7, F(VecLength(KeplerVelocity(el, scene_.JD())) * KmPerSecondPerAUPerDay, 10, 2));
    Set(8, F(el.AxisAU, 10, 4));
    Set(9, Period(360 / el.DailyMotion));
    Set(10, F(el.Ecc, 10, 4));
    Set(11, Angle(DegToRad(el.Incl), angleStyle));
    Set(12, Angle(DegToRad(el.NodeLon), angleStyle));
    Set(13, Angle(DegToRad(el.PeriLon), angleStyle));
    Set(14, Elongation(body.Position));
  }
  std::string SolarFlux(const TRectCoord& v) const
  {
    const long double r = scene_.DistanceFromSun(v);
    return F(SolarConstant / (r * r), 10, 2);
  }

  TMonitorValues Take() { return std::move(values_); }

private:
  const TSolarSystem& scene_;
  const std::string& sep_;
  TMonitorValues values_;
};

TMonitorValues PlanetValues(const TSolarSystem& scene, const TPlanet& p, const std::string& sep)
{
  TFiller f(scene, mkPlanet, sep);
  f.PositionAU(p.Position);
  f.LonLat(p.SphericalPosition.Lon, p.SphericalPosition.Lat, Seconds);
  f.Distances(p.Position);
  f.Orbit(p, Seconds);
  // The pole comes referred to the equator of date; PoleDirection leaves
  // the obliquity of that date for the conversion to the ecliptic.
  TRectCoord poleRect;
  TPolarCoord pole;
  PoleDirection(p.BodyNumber, scene.JD(), poleRect, pole);
  const TPolarCoord ecl = EquPolarToEclPolar(pole);
  f.Set(15, f.Angle(Norm2Pi(ecl.Lon), Minutes));
  f.Set(16, f.Angle(ecl.Lat, Minutes));
  f.Set(17, f.E4(p.Mass));
  f.Set(18, f.F(p.Diameter * MonitorKmPerAU, 6, 0));
  f.Set(19, f.SolarFlux(p.Position));
  return f.Take();
}

TMonitorValues MinorBodyValues(const TSolarSystem& scene, const TOEObject& a,
                               const std::string& sep)
{
  TFiller f(scene, mkMinorBody, sep);
  f.PositionAU(a.Position);
  f.LonLat(a.SphericalPosition.Lon, a.SphericalPosition.Lat, Minutes);
  f.Distances(a.Position);
  f.Orbit(a, Minutes);
  f.Set(15, f.SolarFlux(a.Position));
  return f.Take();
}

constexpr int PhoebeNumber = 167;

TMonitorValues SatelliteValues(const TSolarSystem& scene, const TSatellite& s,
                               const std::string& sep)
{
  TFiller f(scene, mkSatellite, sep);
  f.PositionKm(s.Position);
  f.Set(3, f.F(s.PlanetocentricDistance() * MonitorKmPerAU, 9, 0));
  f.Set(4, f.F(s.SemiMajorAxis, 10, 0));
  if (s.BodyNumber == PhoebeNumber) {
    // Its orbit is retrograde and referred to the ecliptic.
    f.Label(5, "mean orbital period (retrograde)");
    f.Label(7, "mean orbital inclination to ecliptic");
  }
  f.Set(5, f.Period(s.Period));
  f.Set(6, f.F(s.Eccentricity, 10, 3));
  f.Set(7, f.Angle(DegToRad(s.Inclination), Minutes));
  f.Set(8, f.E4(s.Mass));
  f.Set(9, f.F(s.Diameter, 10, 0));
  return f.Take();
}

TMonitorValues MoonValues(const TSolarSystem& scene, const TEarthMoon& m, const std::string& sep)
{
  TFiller f(scene, mkMoon, sep);
  f.PositionKm(m.Position);
  f.LonLat(m.SphericalPosition.Lon, m.SphericalPosition.Lat, Seconds);
  f.Set(5, f.F(m.PlanetocentricDistance() * MonitorKmPerAU, 9, 0));
  f.Set(6, f.F(m.SemiMajorAxis, 10, 0));
  f.Set(7, f.Period(m.Period));
  f.Set(8, f.F(m.Eccentricity, 10, 3));
  f.Set(9, f.Angle(DegToRad(m.Inclination), Seconds));
  f.Set(10, f.Angle(DegToRad(m.Node), Seconds));
  f.Set(11, f.Angle(DegToRad(m.Perigee), Seconds));
  f.Set(12, f.E4(m.Mass));
  f.Set(13, f.F(m.Diameter, 10, 0));
  return f.Take();
}

// Below this length the stored position means "no data for the instant".
constexpr long double NoPosition = 1e-10L;

TMonitorValues SpacecraftValues(const TSolarSystem& scene, const TSpacecraft& c,
                                const std::string& sep)
{
  TFiller f(scene, mkSpacecraft, sep);
  if (VecLength(c.Position) < NoPosition) {
    for (int row = 0; row <= 6; ++row) f.Set(row, "not available");
  } else {
    const TRectCoord v = c.PositionOfDate(c.Position, scene.JD());
    const TPolarCoord polar = RectToPolar(v);
    f.PositionAU(v);
    f.LonLat(polar.Lon, polar.Lat, Seconds);
    f.Distances(v);
  }
  f.Set(7, f.Date(c.Positions.FirstJD));
  f.Set(8, f.Date(c.Positions.LastJD));
  f.Set(9, c.LaunchText);
  return f.Take();
}

}  // namespace

int MonitorRowCount(TMonitorKind kind)
{
  switch (kind) {
    case mkPlanet: return 20;
    case mkSatellite: return 10;
    case mkMoon: return 14;
    case mkSpacecraft: return 10;
    case mkMinorBody: return 16;
  }
  return 20;
}

int MonitorWindowHeight(TMonitorKind kind) { return 17 * MonitorRowCount(kind) + 53; }

std::vector<std::string> MonitorLabels(TMonitorKind kind)
{
  const std::string elongation = "elongation from sun (for centered obj.)";
  const std::string flux = "solar flux [W/m^2]";
  switch (kind) {
    case mkPlanet:
      return Concat(HeliocentricPositionLabels(),
                    {"orbital velocity [km/s]", "mean semi major axis [AU]", "mean orbital period",
                     "mean eccentricity of orbit", "mean orbital inclination",
                     "mean longitude of asc. node", "mean longitude of perihelion", elongation,
                     "ecliptical longitude of north pole", "ecliptical latitude of north pole",
                     "mass [kg]", "diameter [km]", flux});
    case mkMinorBody:
      return Concat(HeliocentricPositionLabels(),
                    {"orbital velocity [km/s]", "semi major axis [AU]", "orbital period",
                     "eccentricity of orbit", "orbital inclination", "longitude of asc. node",
                     "longitude of perihelion", elongation, flux});
    case mkSpacecraft:
      return Concat(HeliocentricPositionLabels(),
                    {"first data available", "last data available", "was launched on"});
    case mkSatellite:
      return {"ecliptical planetocentric pos. x [km]",
              "ecliptical planetocentric pos. y [km]",
              "ecliptical planetocentric pos. z [km]",
              "planetocentric distance [km]",
              "mean semi major axis [km]",
              "mean orbital period",
              "mean eccentricity of orbit",
              "mean orbital inclination to planetary equ.",
              "mass [kg]",
              "diameter [km]"};
    case mkMoon:
      return {"ecliptical geocentric pos. x [km]",
              "ecliptical geocentric pos. y [km]",
              "ecliptical geocentric pos. z [km]",
              "ecliptical geocentric longitude",
              "ecliptical geocentric latitude",
              "geocentric distance [km]",
              "mean semi major axis [km]",
              "mean orbital period",
              "mean eccentricity of orbit",
              "mean orbital inclination to ecliptic",
              "mean longitude of asc. node",
              "mean longitude of perigee",
              "mass [kg]",
              "diameter [km]"};
  }
  return {};
}

TMonitorValues MonitorValues(const TSolarSystem& scene, const TAstronomialObject& body,
                             const std::string& separator)
{
  if (auto* p = dynamic_cast<const TPlanet*>(&body)) return PlanetValues(scene, *p, separator);
  if (auto* m = dynamic_cast<const TEarthMoon*>(&body)) return MoonValues(scene, *m, separator);
  if (auto* s = dynamic_cast<const TSatellite*>(&body)) return SatelliteValues(scene, *s, separator);
  if (auto* c = dynamic_cast<const TSpacecraft*>(&body))
    return SpacecraftValues(scene, *c, separator);
  // Every other element body of the scene's lists is a minor body.
  if (auto* a = dynamic_cast<const TOEObject*>(&body)) return MinorBodyValues(scene, *a, separator);
  return {};
}

TMonitorView MonitorShowView(const TAstronomialObject& body)
{
  TMonitorView view;
  if (auto* p = dynamic_cast<const TPlanet*>(&body)) {
    view.Dim = 1.2L * p->SemiMajorAxis;
  } else if (auto* s = dynamic_cast<const TSatellite*>(&body)) {
    if (!s->Parent) return view;
    // The centre list: the Sun, then Mercury .. Pluto (the Earth third).
    static const int entries[9] = {3, 1, 2, 4, 5, 6, 7, 8, 9};
    const int planet = s->Parent->BodyNumber;
    if (planet < 0 || planet > 8) return view;
    view.Center = planet;
    view.CenterEntry = entries[planet];
    view.Dim = s->SemiMajorAxis * 1200 / 149597870000.0L;
  } else {
    view.Dim = 1.4L * VecLength(body.Position);
  }
  view.Valid = view.Dim > 0 && std::isfinite(view.Dim);
  return view;
}
