#include "scene/SceneHitTest.h"

#include "bodies/SSClasses.h"
#include "bodies/Spacecraft.h"
#include "scene/SolarSystem.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The Sun's diameter, as the scene draws its disc.
constexpr long double SunDiameterAU = 0.0093049372L;

class THitSearch {
public:
  THitSearch(const TSolarSystem& scene, int x, int y, int tolerance)
      : scene_(scene), x_(x), y_(y), tolerance_(tolerance)
  {
  }

  // A dot or disc of `radius` pixels at the position.
  void Offer(const TRectCoord& position, int radius, const TAstronomialObject* body,
             const std::string& name)
  {
    const TScreenPoint pt = scene_.WorldToScreen(position);
    if (!scene_.Inside(pt.X, pt.Y)) return;
    const double d = std::hypot(double(pt.X - x_), double(pt.Y - y_));
    if (d > std::max(radius, tolerance_)) return;
    // Within a disc every point is as good as its centre.
    const double score = std::max(0.0, d - radius);
    if (score <= best_) {
      best_ = score;
      hit_ = {body, name};
    }
  }

  TBodyHit Hit() const { return hit_; }

private:
  const TSolarSystem& scene_;
  int x_, y_, tolerance_;
  double best_ = std::numeric_limits<double>::infinity();
  TBodyHit hit_;
};

int PixelsOf(const TSolarSystem& scene, long double au)
{
  return static_cast<int>(std::lround(au * scene.Width() / (4 * scene.Dim())));
}

}  // namespace

TBodyHit BodyAt(const TSolarSystem& scene, int x, int y, int tolerance)
{
  if (scene.Width() <= 0) return {};
  THitSearch search(scene, x, y, tolerance);
  const int dot = scene.DotRadius();
  const long double dim = scene.Dim();

  // In the order the scene draws them.
  for (int i = 0; i < scene.PlanetsList().Count(); ++i) {
    auto* p = dynamic_cast<const TPlanet*>(scene.PlanetsList().Items(i));
    if (!p || !p->Visible || !scene.IsInView(p->Position)) continue;
    for (int j = 0; j < p->Satellites.Count(); ++j) {
      const TSatellite& s = *p->Satellites.Items(j);
      if (!s.Visible || !scene.ShowSatellites) continue;
      if (s.PlanetocentricDistance() < dim / 200) continue;  // on its planet's disc
      std::string name = s.Name;
      if (!s.Designation.empty()) name += " (" + s.Designation + ")";
      search.Offer(VecAdd(s.Position, p->Position), dot, &s, name);
    }
    search.Offer(p->Position, std::max(PixelsOf(scene, p->Diameter), dot), p, p->Name);
  }
  if (scene.ShowSpacecrafts)
    for (int i = 0; i < scene.SpacecraftsList().Count(); ++i) {
      const TSpacecraft& c = *scene.SpacecraftsList().Items(i);
      if (!c.Visible || !c.HasPosition(scene.JD())) continue;
      search.Offer(c.PositionOfDate(c.Position, scene.JD()), dot, &c, c.Name);
    }
  if (scene.CanShowObjects())
    for (int i = 0; i < scene.AsteroidsList().Count(); ++i) {
      const TOEObject& a = *scene.AsteroidsList().Items(i);
      if (!a.Visible || !scene.IsInView(a.Position)) continue;
      search.Offer(a.Position, dot, &a, a.Name);
    }
  if (scene.ShowSun && scene.IsInView(TRectCoord{}))
    search.Offer(TRectCoord{}, std::max(PixelsOf(scene, SunDiameterAU), scene.MinSunRadius()),
                 nullptr, "Sun");
  return search.Hit();
}
