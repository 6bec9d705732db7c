// The scene: every body the program shows, the instant they are computed
// for, the view settings and colours; it maps positions to pixels and paints
// itself onto any canvas rectangle (screen, printer page, image).
//
// Property style:
// - a property whose setter only stores the value is a public field
//   (ShowOrbits, GridColor, Plane, Left, ...);
// - a property whose setter does more, or that is read-only, is a pair of
//   methods named after it: Dim() / SetDim(x), CenterObject() /
//   SetCenterObject(i), RotX() / SetRotX(deg), Width(), CanShowObjects();
// - the lists are reached through methods returning the scene's own list
//   objects (PlanetsList(), AsteroidsList(), ...), which are never replaced.
// Setters ignore out-of-range values silently and neither recompute nor
// repaint, except SetCenterObject, which recomputes; callers repaint.
#pragma once

#include "astro/DatesAndTimes.h"
#include "astro/coord404.h"
#include "bodies/DotBodyList.h"
#include "bodies/MinorBodyMotion.h"
#include "bodies/SSClasses.h"
#include "bodies/Spacecraft.h"
#include "scene/Canvas.h"
#include "scene/DotPainter.h"

#include <array>
#include <string>
#include <vector>

enum TPlane : int { XY = 0, XZ = 1, ZY = 2, D3 = 3 };

enum TSpacecraftTrajectoryMode : int {
  stmNone = 0,
  stmPast = 1,
  stmFuture = 2,
  stmAll = 3,
  stmUser = 4,
};

struct TScreenPoint {
  int X = 0;
  int Y = 0;
};

bool operator==(const TScreenPoint& a, const TScreenPoint& b);

// Number of colour indices (ObjectColors): 0-8 the planets, 9 the Sun,
// 10 unused, 11 minor bodies, 12 satellites, 13 spacecraft.
constexpr int ObjectColorCount = 14;
extern const std::array<TColor, ObjectColorCount> DefaultObjectColors;

// Grid steps (AU) the Dim setter chooses from, smallest first.
extern const std::array<long double, 18> GridSteps;

class TSolarSystem {
public:
  TSolarSystem();
  ~TSolarSystem();
  TSolarSystem(const TSolarSystem&) = delete;
  TSolarSystem& operator=(const TSolarSystem&) = delete;

  // ---- published properties that only store
  int Left = 0;
  int Top = 0;
  bool ShowOrbits = true;
  bool ShowNames = true;
  bool ShowSun = true;
  bool ShowSpacecrafts = true;
  bool ShowRotAxis = false;
  bool ShowRotation = false;
  bool ShowPerpendiculars = false;
  bool ShowApsides = false;
  bool ShowLineOfNodes = false;
  bool ShowDirections = true;  // user-defined lines
  bool ShowSatellites = true;
  int GridMode = 2;  // 0 none, 1 radial, 2 rectangular
  TPlane Plane = D3;
  TColor GridColor = 0x505050;
  TColor BgColor = 0x000000;  // background in colour mode 2
  TColor SunColor = 0x00FFFF;
  TColor AxesColor = 0x000000;  // rotation axes and arcs
  TColor PerpendicularColor = 0x505050;
  long double SpacecraftTrajectoryPast = 10.0L;    // days, stmUser
  long double SpacecraftTrajectoryFuture = 10.0L;  // days, stmUser
  TSpacecraftTrajectoryMode SpacecraftTrajectoryMode = stmPast;
  bool ShowPlanetocentricTrajectories = true;
  // How the listed minor bodies move (the full list's dots stay two-body);
  // applied by the next Recalculate.
  TMinorBodyMotion MinorBodyMotion = TMinorBodyMotion::Perturbed;

  // ---- published properties with working setters, and read-only ones
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Half the width of the view in AU, 0.001..100; chooses the grid step.
  long double Dim() const { return dim_; }
  void SetDim(long double x);

  // Body number at the centre: 0-8 a planet, 9 the Sun. A valid value is
  // stored and everything is recomputed.
  int CenterObject() const { return centerObject_; }
  void SetCenterObject(int body);

  // Rotation angles of the 3D view in degrees.
  long double RotX() const;
  long double RotY() const;
  long double RotZ() const;
  void SetRotX(long double degrees);
  void SetRotY(long double degrees);
  void SetRotZ(long double degrees);

  // Whether minor bodies may be shown: the year of the instant lies in
  // 1950..2050. False until the first SetDateTime.
  bool CanShowObjects() const { return canShowObjects_; }

  TOEObjectList& PlanetsList() { return planets_; }
  const TOEObjectList& PlanetsList() const { return planets_; }
  TSpacecraftList& SpacecraftsList() { return spacecrafts_; }
  const TSpacecraftList& SpacecraftsList() const { return spacecrafts_; }
  TOEObjectList& AsteroidsList() { return asteroids_; }
  const TOEObjectList& AsteroidsList() const { return asteroids_; }
  TDotBodyList& AsteroidsFullList() { return asteroidsFull_; }
  const TDotBodyList& AsteroidsFullList() const { return asteroidsFull_; }
  TDirectionList& DirectionList() { return directions_; }
  const TDirectionList& DirectionList() const { return directions_; }

  // Planet of index 0-8 in PlanetsList, or nullptr.
  TPlanet* Planet(int index) const;

  // ---- the instant
  const TDateRec& DateTime() const { return dateTime_; }
  // The only way the instant changes: stores it, decides CanShowObjects and
  // recomputes every body.
  void SetDateTime(const TDateRec& rec);
  // The instant of DateTime as a Julian date (UT).
  long double JD() const { return jd_; }

  // Computes every body for the instant, then the centre position.
  void Recalculate();
  // Integrates the listed minor bodies' paths to jd ahead of a change of the
  // instant, telling `progress` (see PrepareMinorBodies); Recalculate then
  // only evaluates them.
  void PrepareMinorBodies(long double jd, const std::function<void(double)>& progress);
  // The minor bodies that fell back to two-body motion since the last call,
  // each named once, with the reason.
  std::vector<std::string> TakeMotionFailures();

  // ---- colours by colour index 0-13; other indices are ignored (black).
  void SetObjectColor(int index, TColor color);
  TColor GetObjectColor(int index) const;

  // ---- painting
  // Draws the whole scene into the rectangle; colorMode 0 black on white,
  // 1 white on black, 2 screen colours, 3 colours on white; sizeMode 0
  // screen, 1 and 2 high resolutions. A null canvas draws nothing. The
  // canvas and rectangle are kept for Redraw.
  void Paint(TCanvas* canvas, int left, int top, int width, int height, int colorMode,
             int sizeMode);
  // Paint again on the kept canvas at (0, 0) with the kept size and modes.
  void Redraw();
  // The owner of a canvas calls this before destroying it, so that Redraw
  // never reaches a canvas that is gone.
  void ForgetCanvas(const TCanvas* canvas);
  TCanvas* Canvas() const { return canvas_; }
  int ColorMode() const { return colorMode_; }
  int SizeMode() const { return sizeMode_; }

  // ---- projection and view
  long double XMin() const { return -dim_; }
  long double XMax() const { return dim_; }
  long double YMin() const { return -dim_; }
  long double YMax() const { return dim_; }
  long double GridStep() const { return gridStep_; }
  const TMatrix4& ViewMatrix() const { return viewMatrix_; }
  const TRectCoord& CenterPosition() const { return centerPosition_; }

  TScreenPoint WorldToScreen(const TRectCoord& v) const;
  // False for bodies more than 5 Dim from the centre and for bodies within
  // 3 % of Dim of the Sun (except the Sun and the centre object).
  bool IsInView(const TRectCoord& v) const;
  long double DistanceFromCenter(const TRectCoord& v) const;
  long double DistanceFromSun(const TRectCoord& v) const;
  // Angle (radians) at the centre object between the Sun and v; -99 when the
  // centre is the Sun or v is the centre's position.
  long double Elongation(const TRectCoord& v) const;

  // ---- drawing primitives (valid during and after a Paint)
  // Both edges of the painted rectangle count as inside.
  bool Inside(int x, int y) const;
  int DotRadius() const;
  int MinSunRadius() const;
  // One pixel, a plus of five or a 3x3 block, by size mode.
  void PlotDot(int x, int y, TColor color);
  void DrawLine(const TRectCoord& a, const TRectCoord& b, TColor color, bool dotA, bool dotB);
  // Arc of radius r (AU) about c in the plane perpendicular to n, from
  // `from` to `to` whole degrees, counter-clockwise seen from the tip of n.
  void DrawArc(const TRectCoord& c, const TRectCoord& n, long double r, int from, int to,
               TColor color, bool dotStart, bool dotEnd);

private:
  // painting, by layer
  void PaintBackgroundAndGrid();
  void PaintFlatGrid();
  void PaintOrbitLayer();
  void PaintBodiesLayer();
  void PaintFullListDots();
  // The view reduced to what the many-dot painters need.
  TDotView DotView() const;
  void PaintPlanet(TPlanet& p);
  void PaintSatellite(TSatellite& s, const TPlanet* p);
  void PaintSpacecrafts();
  void PaintAsteroid(TOEObject& a);
  void PaintSun();
  void PaintDirection(const TDirection& d);

  // orbits (the orbit layer and the satellite overlays)
  void PaintOrbit(TOEObject& o);
  // The orbits of the listed minor bodies, with their apsides and nodes.
  void PaintMinorBodyOrbits();
  // The dots of the orbits of consecutive minor bodies, in list order.
  void PaintOrbitDots(const std::vector<const TAsteroid*>& bodies, double tolerance);
  void PaintPerpendiculars(TOEObject& o);
  void PaintApsides(TOEObject& o);
  void PaintLineOfNodes(TOEObject& o);
  void PaintSatelliteOverlays(TSatellite& s, const TPlanet* p);
  void PaintSatellitePerpendiculars(TSatellite& s, const TPlanet* p, long double d);
  void PaintSatelliteApsides(TSatellite& s, const TPlanet* p);
  void PaintSatelliteLineOfNodes(TSatellite& s, const TPlanet* p);
  void PaintSpacecraftTrajectories();
  void PaintTrajectory(const TSpacecraft& c);
  // Whether c's trajectory is drawn from its points relative to the centre
  // planet: a planet at the centre, Dim at most 0.2 AU, planetocentric
  // trajectories on, and points about that planet for the instant.
  bool IsPlanetocentricTrajectory(const TSpacecraft& c) const;

  // helpers
  TColor Mode(TColor c) const;
  // North pole of a planet (0-8) or the Sun (9), ecliptic of the instant.
  TRectCoord PoleInEcliptic(int index) const;
  // Text with its top-left corner beside a body's disc or dot of radius.
  void Label(int x, int y, int radius, const std::string& text);
  // Text of an apsis at (x + 4, y - h/2) followed by a filled dot.
  void ApsisMark(const TScreenPoint& p, const std::string& text, TColor color);
  void FilledDot(int x, int y, TColor color);
  void RebuildViewMatrix();
  TRectCoord ObjectPosition(int body) const;  // 0-8 a planet, 9 the Sun

  TOEObjectList planets_;
  TOEObjectList asteroids_;
  TDotBodyList asteroidsFull_;
  TSpacecraftList spacecrafts_;
  TDirectionList directions_;

  std::array<TColor, ObjectColorCount> objectColors_ = DefaultObjectColors;
  TDateRec dateTime_;
  long double jd_ = 0;
  bool canShowObjects_ = false;

  int width_ = 500;
  int height_ = 500;
  long double dim_ = 2.0L;
  long double gridStep_ = 0.5L;
  int centerObject_ = 9;
  TRectCoord centerPosition_;
  std::vector<std::string> motionFailures_;
  long double rotX_ = 0, rotY_ = 0, rotZ_ = 0;  // radians
  TMatrix4 viewMatrix_;

  TCanvas* canvas_ = nullptr;  // not owned
  int colorMode_ = 2;
  int sizeMode_ = 0;
};

// ---- orbit helpers

// Detail level of an orbit of size s (AU) in a view of half-width dim:
// 1 above dim/2, 2 above dim/3, 3 above dim/4, 4 above dim/5, else 0.
int OrbitLevel(long double s, long double dim);

// Step of the point walk for an element orbit of level q and eccentricity e:
// denser for eccentric orbits, at least 1.
int OrbitStep(int level, long double ecc);

// The point walk over the 360 cached orbit points with step k >= 1: point 1,
// then every multiple of k up to 359, in that order. Calls visit(number)
// once per distinct point (number 1-based).
template <class F>
void WalkOrbitPoints(int k, F&& visit)
{
  if (k < 1) k = 1;
  int number = 1;
  int last = 0;
  for (int i = 1; i <= OrbitPointCount; ++i) {
    if (number != last) {
      visit(number);
      last = number;
    }
    number = i - i % k;
    if (number == 0) number = 1;
  }
}

// The two crossings of the plane z = 0 by the cached orbit, interpolated
// linearly between neighbouring points; the second equals the first when
// there is only one. False when the orbit does not cross.
bool FindNodes(const std::array<TRectCoord, OrbitPointCount>& points, TRectCoord& first,
               TRectCoord& second);

// Shortest general decimal text of a grid value ("0.5", "1", "-0.25").
std::string GridNumberText(long double x);
