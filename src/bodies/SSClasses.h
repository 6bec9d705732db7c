// The bodies the scene shows: planets, minor bodies, natural satellites and
// the lines the user draws between bodies. Every body computes its own
// position for a Julian date through Calculate.
#pragma once

#include "astro/astronomy404.h"
#include "astro/coord404.h"
#include "bodies/OrbitCurve.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

// A 24-bit colour with red in the low byte, then green, then blue.
using TColor = std::uint32_t;

// Body numbers shared by the whole program.
constexpr int bnEarth = 0;
constexpr int bnPluto = 8;
constexpr int bnSun = 9;
constexpr int bnMinorBody = 11;
constexpr int bnSatelliteInConstruction = 12;
constexpr int bnMoon = 13;
constexpr int bnSpacecraftInConstruction = 4000;

// Planet constants in planet-index order (Earth, Mercury, ..., Pluto).
extern const std::array<long double, 9> PlanetMasses;     // kg
extern const std::array<long double, 9> PlanetDiameters;  // AU
extern const std::array<bool, 9> PlanetRetrograde;        // rotation sense

// An element set for which Kepler's equation is undefined.
class EInvalidElements : public std::invalid_argument {
public:
  using std::invalid_argument::invalid_argument;
};

// Throws EInvalidElements naming `name` unless the set describes an ellipse
// with a positive daily motion and finite values.
void CheckElements(const std::string& name, const TOrbitElements& el);

class TAstronomialObject {
public:
  TAstronomialObject(std::string name, TColor color, int bodyNumber);
  virtual ~TAstronomialObject() = default;
  TAstronomialObject(const TAstronomialObject&) = delete;
  TAstronomialObject& operator=(const TAstronomialObject&) = delete;

  virtual void Calculate(long double jd) = 0;

  std::string Name;
  int BodyNumber;
  TRectCoord Position;           // ecliptic of date, AU
  TPolarCoord SphericalPosition; // of Position
  TColor Color;
  bool Visible = true;
};

// A body moving on a fixed Keplerian orbit.
class TOEObject : public TAstronomialObject {
public:
  TOEObject(std::string name, const TOrbitElements& elements, TColor color, int bodyNumber);
  void Calculate(long double jd) override;
  // Whether Calculate touches nothing but the body itself, so that the
  // bodies of a list may be computed on several threads at once.
  virtual bool CalculatesAlone() const { return false; }

  // The orbit at the instant of the last Calculate, which is drawn and
  // shown: the elements themselves, but for a minor body pulled by the
  // planets its osculating orbit of that instant.
  virtual const TOrbitElements& OrbitElements() const { return Elements; }

  TOrbitElements Elements;
};

constexpr int OrbitPointCount = 360;
using TOrbitPointArray = std::array<TRectCoord, OrbitPointCount>;

// What computes a body's orbit cache: one revolution for the instant of the
// body's last Calculate.
class TOrbitSource {
public:
  virtual void FillOrbitPoints(TOrbitPointArray& points) const = 0;

protected:
  ~TOrbitSource() = default;
};

// The orbit cache of a body, read like the array of its points (0-based).
// Calculate only marks it stale; the body computes the points when they are
// first read after that, so every reader sees the points of the body's
// current instant, while a body whose orbit nobody reads in a tick (most
// satellites) costs its position alone. Until the first Calculate all points
// are zero.
//
// A first read computes through the planetary and satellite theories, which
// share the process-wide obliquity and nutation caches: it belongs on the
// thread that calculates the bodies (the scene's). Concurrent first reads
// are serialised, and reads of a filled cache are safe from any thread.
class TOrbitPoints {
public:
  explicit TOrbitPoints(const TOrbitSource& source) : source_(source) {}
  TOrbitPoints(const TOrbitPoints&) = delete;
  TOrbitPoints& operator=(const TOrbitPoints&) = delete;

  const TOrbitPointArray& Points() const
  {
    if (stale_.load(std::memory_order_acquire)) Fill();
    return points_;
  }
  operator const TOrbitPointArray&() const { return Points(); }
  const TRectCoord& operator[](std::size_t i) const { return Points()[i]; }
  const TRectCoord* begin() const { return Points().data(); }
  const TRectCoord* end() const { return Points().data() + OrbitPointCount; }
  static constexpr std::size_t size() { return OrbitPointCount; }

  // The body's instant has changed: the next read recomputes the points.
  void Invalidate() { stale_.store(true, std::memory_order_release); }

private:
  void Fill() const;

  const TOrbitSource& source_;
  mutable TOrbitPointArray points_{};
  mutable std::atomic<bool> stale_{false};
};

// A Keplerian body that also keeps one revolution of its orbit for drawing.
class TOrbitalObject : public TOEObject {
public:
  using TOEObject::TOEObject;

  // Point k (1-based) lies k/359 of a period after the body's instant:
  // points 1 and 360 are one period apart, so the polyline through them is
  // closed. All zero until the first Calculate.
  virtual TRectCoord OrbitPoint(int k) const = 0;
  // All 360 points, index k - 1 holding point k.
  virtual void GetOrbitPoints(TOrbitPointArray& points) const;
};

class TSatellite;

// Owning list of satellites in insertion order.
class TSatelliteList {
public:
  TSatelliteList() = default;
  ~TSatelliteList();
  TSatelliteList(const TSatelliteList&) = delete;
  TSatelliteList& operator=(const TSatelliteList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  TSatellite* Items(int i) const { return items_.at(i).get(); }
  TSatellite* Add(std::unique_ptr<TSatellite> s);
  void Clear();  // frees the members from the last to the first

private:
  std::vector<std::unique_ptr<TSatellite>> items_;
};

// One of the nine planets; Pluto moves on its mean Keplerian orbit, the
// others are placed by the planetary theory. The orbit drawn is the mean
// orbit of the date.
class TPlanet : public TOrbitalObject, protected TOrbitSource {
public:
  TPlanet(int index, TColor color);
  void Calculate(long double jd) override;

  TRectCoord OrbitPoint(int k) const override { return OrbitPoints[k - 1]; }
  void GetOrbitPoints(TOrbitPointArray& points) const override { points = OrbitPoints; }
  // The mean orbit of the instant, rebuilt when first read after a Calculate.
  TOrbitPoints OrbitPoints{*this};

  void SetSatellitesColor(TColor color);
  // The last satellite with that number, or nullptr.
  TSatellite* FindSatellite(int bodyNumber) const;

  long double Mass;      // kg
  long double Diameter;  // AU
  TSatelliteList Satellites;
  long double Eccentricity = 0;
  long double SemiMajorAxis = 0;  // AU
  long double Period = 0;         // days
  long double Inclination = 0;    // degrees

protected:
  void FillOrbitPoints(TOrbitPointArray& points) const override;

private:
  // The elements and instant of the last Calculate, which the orbit cache
  // is computed from.
  TOrbitElements orbitElements_{};
  long double orbitJD_ = 0;
};

class TIntegratedMotion;
enum class TMinorBodyMotion;

// A minor body (asteroid or comet). Lean, as thousands may be listed: its
// orbit (bodies/OrbitCurve.h) is built when first read and kept while the
// instant moves, until the elements it was built from change. Its Elements
// stay those of its row; in perturbed motion the position and the orbit
// drawn come from the integrated path, created when first needed.
class TAsteroid : public TOrbitalObject {
public:
  TAsteroid(std::string name, const TOrbitElements& elements, TColor color);
  ~TAsteroid() override;
  void Calculate(long double jd) override;
  const TOrbitElements& OrbitElements() const override;

  // Perturbed or Keplerian; the scene sets it. A body of its own moves on
  // its ellipse.
  void SetMotion(TMinorBodyMotion motion);
  TMinorBodyMotion Motion() const;
  // The integrated motion, created on first use; nullptr in Keplerian
  // motion.
  TIntegratedMotion* Integrated();

  // The orbit is drawn from OrbitElements() as they are after Calculate:
  // Elements, which do not change with time, or in perturbed motion the
  // osculating elements of the instant. OsculatingOrbit says whether those
  // elements drift with time (true while the body is on its integrated
  // path). Such an orbit is kept until
  // it has moved by more than the tolerance given to Orbit (a pixel of the
  // view), so that a slow drift costs no rebuild at every tick; any other
  // body's orbit is rebuilt as soon as its elements differ at all.
  virtual bool OsculatingOrbit() const;
  // A Keplerian position is the body's own business; perturbed motion may
  // extend the perturbers' shared grid.
  bool CalculatesAlone() const override { return !perturbed_ && !OsculatingOrbit(); }

  // The orbit for the instant of the last Calculate, built or rebuilt now if
  // needed (see above; tolerance in AU). Null before the first Calculate.
  // Bodies of one list may be brought up to date on several threads at
  // once, each body on one.
  const TOrbitCurve* Orbit(double tolerance = 0) const;
  // The points of that orbit at the instant of the last Calculate, the
  // phase taken from the elements in use then; false before the first.
  bool OrbitWalk(double tolerance, TOrbitCurve::TWalk& walk) const;
  // Frees the kept orbit; the next read builds it again.
  void ReleaseOrbit() { curve_.reset(); }

  // Solved one by one from the elements in use (not read off the kept
  // orbit, which is for drawing): the positions to double precision.
  TRectCoord OrbitPoint(int k) const override;
  void GetOrbitPoints(TOrbitPointArray& points) const override;

private:
  struct TPerturbed;
  std::unique_ptr<TPerturbed> perturbed_;  // null in Keplerian motion
  TOrbitElements orbitElements_{};  // in use at the last Calculate
  long double orbitJD_ = 0;
  bool calculated_ = false;
  mutable std::unique_ptr<TOrbitCurve> curve_;
};

// Owning list of element bodies in insertion order.
class TOEObjectList {
public:
  TOEObjectList() = default;
  ~TOEObjectList() { Clear(); }
  TOEObjectList(const TOEObjectList&) = delete;
  TOEObjectList& operator=(const TOEObjectList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  TOEObject* Items(int i) const { return items_.at(i).get(); }
  TOEObject* Add(std::unique_ptr<TOEObject> body);
  void Clear();  // frees the members from the last to the first
  // Frees and removes every member named exactly `name`.
  void DeleteByName(const std::string& name);
  // Whether a member is named exactly `name`, in constant time: the names
  // are indexed once asked for. A member's name must not change while it is
  // listed.
  bool HasName(const std::string& name) const;
  void CalculateAll(long double jd);

private:
  std::vector<std::unique_ptr<TOEObject>> items_;
  // Members by name (how many have it), kept from the first HasName on.
  mutable std::unordered_map<std::string, int> names_;
  mutable bool named_ = false;
};

// ---------------------------------------------------------------------------
// Natural satellites

// A satellite with a planetocentric position (geocentric for the Moon) in
// the ecliptic of date and a cache of one revolution.
class TSatellite : public TAstronomialObject, protected TOrbitSource {
public:
  TSatellite(std::string name, TPlanet* parent, TColor color);

  const TRectCoord& OrbitPoint(int k) const { return OrbitPoints[k - 1]; }
  long double PlanetocentricDistance() const;

  TOrbitPoints OrbitPoints{*this};
  long double Period = 0;         // days
  TPlanet* Parent;                // not owned
  long double Diameter = 0;       // km
  long double Mass = 0;           // kg
  long double SemiMajorAxis = 0;  // km
  long double Eccentricity = 0;
  long double Inclination = 0;    // degrees
  std::string Designation;

protected:
  // Fills Position from `theory`, whose answer is referred to the ecliptic
  // and equinox of J2000, and makes the orbit cache follow the same theory.
  void CalculateFromTheory(long double jd, TRectCoord (*theory)(int, long double));
  // Marks the orbit cache stale for the instant jd and the current Period.
  void StartOrbit(long double jd);
  void FillOrbitPoints(TOrbitPointArray& points) const override;

  // The instant and period of the last Calculate, which the orbit cache is
  // computed from.
  long double orbitJD_ = 0;
  long double orbitPeriod_ = 0;

private:
  TRectCoord (*theory_)(int, long double) = nullptr;
};

class TEarthMoon : public TSatellite {
public:
  TEarthMoon(TColor color, TPlanet* parent);
  void Calculate(long double jd) override;

  long double Node = 0;     // degrees, [0, 360)
  long double Perigee = 0;  // degrees, [0, 360)

protected:
  // The perturbed lunar path, not an ellipse.
  void FillOrbitPoints(TOrbitPointArray& points) const override;
};

class TJupiterMoon : public TSatellite {
public:
  TJupiterMoon(int number, TPlanet* parent, TColor color);
  void Calculate(long double jd) override;
};

class TSaturnMoon : public TSatellite {
public:
  TSaturnMoon(int number, TPlanet* parent, TColor color);
  void Calculate(long double jd) override;
};

class TUranusMoon : public TSatellite {
public:
  TUranusMoon(int number, TPlanet* parent, TColor color);
  void Calculate(long double jd) override;
};

// Body numbers of the satellites the scene creates, in creation order
// (the Moon first).
extern const std::array<int, 22> SatelliteNumbers;

// A new satellite of the right class for its body number (13, 140-143,
// 156-167, 170-174); throws std::invalid_argument for any other number or a
// parent that is not its planet.
std::unique_ptr<TSatellite> NewSatellite(int number, TPlanet* parent, TColor color);
// Appends to the planet's list every satellite the scene shows of it, in the
// order of SatelliteNumbers.
void AddSatellites(TPlanet& planet, TColor color);

// ---------------------------------------------------------------------------
// User-defined lines between two of the main bodies (0-8 planets, 9 the Sun)

class TDirection {
public:
  TDirection(int fromObject, TColor color, int toObject);
  void Assign(const TDirection& other);

  bool Visible = true;
  int FromObject;
  int ToObject;
  TColor Color;
};

class TDirectionList {
public:
  TDirectionList() = default;
  ~TDirectionList() { Clear(); }
  TDirectionList(const TDirectionList&) = delete;
  TDirectionList& operator=(const TDirectionList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  TDirection* Items(int i) const { return items_.at(i).get(); }
  TDirection* Add(std::unique_ptr<TDirection> line);
  void Clear();  // frees the lines from the last to the first
  // Replaces the lines by new, visible copies of the other list's lines.
  void Assign(const TDirectionList& other);

private:
  std::vector<std::unique_ptr<TDirection>> items_;
};
