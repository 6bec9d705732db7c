// The orbits of the listed minor bodies: thousands of them, each drawn
// through the points of its kept orbit (bodies/OrbitCurve.h) at the instant.
// The orbits are brought up to date and their dots projected on all cores;
// the dots are then written in list order, later bodies over earlier ones,
// as one by one. Apsides and nodes are drawn between them in the order of
// the layer.
#include "scene/SolarSystem.h"

#include "bodies/ParallelChunks.h"
#include "scene/DotProjection.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

// Bodies projected at a time: the screen offsets of their dots fit in a
// buffer of a megabyte or two.
constexpr int BodiesPerBlock = 1024;

int Threads(int bodies) { return bodies >= 64 ? TDotBodyList::ThreadCount(INT_MAX) : 1; }

}  // namespace

void TSolarSystem::PaintMinorBodyOrbits()
{
  const int n = asteroids_.Count();
  if (n == 0) return;
  // A drifting orbit is kept while it moves by less than a pixel.
  const double tolerance =
      static_cast<double>(2 * dim_) / std::max(1, std::max(width_, height_));

  std::vector<const TAsteroid*> bodies(n, nullptr);
  for (int i = 0; i < n; ++i)
    if (auto* a = dynamic_cast<const TAsteroid*>(asteroids_.Items(i)); a && a->Visible) bodies[i] = a;
  RunInChunks(n, Threads(n), [&](int begin, int end, int) {
    for (int i = begin; i < end; ++i)
      if (bodies[i]) bodies[i]->Orbit(tolerance);
  });

  const bool overlays = ShowApsides || ShowLineOfNodes;
  std::vector<const TAsteroid*> run;
  auto flush = [&] {
    if (!run.empty()) PaintOrbitDots(run, tolerance);
    run.clear();
  };
  for (int i = 0; i < n; ++i) {
    TOEObject& o = *asteroids_.Items(i);
    if (!bodies[i]) {
      if (o.Visible) {  // a planet read into the list: drawn as the planets are
        flush();
        PaintOrbit(o);
      }
      continue;
    }
    if (overlays && OrbitLevel(o.Elements.AxisAU, dim_) > 0) {
      flush();
      PaintApsides(o);
      PaintLineOfNodes(o);
    }
    run.push_back(bodies[i]);
  }
  flush();
}

void TSolarSystem::PaintOrbitDots(const std::vector<const TAsteroid*>& bodies, double tolerance)
{
  const TDotView view = DotView();
  std::uint32_t* pixels = canvas_->Pixels();
  const bool offsetsFit =
      static_cast<long long>(canvas_->PixelsWidth()) * canvas_->PixelsHeight() <= INT32_MAX;

  if (!pixels || sizeMode_ != 0 || !offsetsFit) {
    // Print sizes and canvases without pixels: the scene's own primitives.
    // The points are solved, at the few bodies such pictures hold.
    for (const TAsteroid* a : bodies) {
      TOrbitPointArray points;
      a->GetOrbitPoints(points);
      const TColor color = Mode(a->Color);
      const int q = OrbitLevel(a->Elements.AxisAU, dim_);
      WalkOrbitPoints(OrbitStep(q, a->Elements.Ecc), [&](int k) {
        const TRectCoord& p = points[k - 1];
        if (!IsInView(p)) return;
        const TScreenPoint pt = WorldToScreen(p);
        if (Inside(pt.X, pt.Y)) PlotDot(pt.X, pt.Y, color);
      });
    }
    return;
  }

  const TProjection p = MakeProjection(view);
  const TPixelWindow w = PixelWindow(*canvas_, view);
  if (w.XLo > w.XHi || w.YLo > w.YHi) return;
  // Each body's dots take the screen offsets [k * 360, k * 360 + count[k]).
  std::vector<std::int32_t> offsets(static_cast<std::size_t>(BodiesPerBlock) * OrbitPointCount);
  std::vector<int> counts(BodiesPerBlock);
  const int total = static_cast<int>(bodies.size());
  for (int block = 0; block < total; block += BodiesPerBlock) {
    const int size = std::min(BodiesPerBlock, total - block);
    RunInChunks(size, Threads(size), [&](int begin, int end, int) {
      for (int b = begin; b < end; ++b) {
        const TAsteroid& a = *bodies[block + b];
        std::int32_t* out = offsets.data() + static_cast<std::size_t>(b) * OrbitPointCount;
        int count = 0;
        TOrbitCurve::TWalk walk;
        if (a.OrbitWalk(tolerance, walk)) {
          const int q = OrbitLevel(a.Elements.AxisAU, dim_);
          WalkOrbitPoints(OrbitStep(q, a.Elements.Ecc), [&](int k) {
            const TOrbitVertex v = walk.Point(k);
            int px, py;
            if (ProjectDot(p, v.X, v.Y, v.Z, px, py) && px >= w.XLo && px <= w.XHi &&
                py >= w.YLo && py <= w.YHi)
              out[count++] = py * w.Stride + px;
          });
        }
        counts[b] = count;
      }
    });
    for (int b = 0; b < size; ++b) {
      const std::uint32_t word = canvas_->PixelValue(Mode(bodies[block + b]->Color));
      const std::int32_t* in = offsets.data() + static_cast<std::size_t>(b) * OrbitPointCount;
      for (int k = 0; k < counts[b]; ++k) pixels[in[k]] = word;
    }
  }
}
