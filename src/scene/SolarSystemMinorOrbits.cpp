// The orbits of the listed minor bodies: thousands of them, each drawn
// through the points of its kept orbit (bodies/OrbitCurve.h) at the instant.
// The orbits are brought up to date and their dots projected on all cores;
// the dots are then written in list order, later bodies over earlier ones,
// as one by one. Apsides and nodes are drawn between them in the order of
// the layer.
#include "scene/SolarSystem.h"

#include "bodies/ParallelChunks.h"
#include "bodies/VectorClones.h"
#include "scene/DotProjection.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>

namespace {

// Bodies projected at a time: the screen offsets of their dots fit in a
// buffer of a megabyte or two.
constexpr int BodiesPerBlock = 1024;

int Threads(int bodies) { return bodies >= 64 ? TDotBodyList::ThreadCount(INT_MAX) : 1; }

// The projection of one orbit's plane: a point x P + y Q of the orbit (P, Q
// the plane's unit vectors) lies at H.(x P + y Q - C) horizontally, its
// squared distance from the centre C is x^2 + y^2 - 2 (x P.C + y Q.C) + C^2
// and from the Sun x^2 + y^2.
struct TPlaneProjection {
  double Hp, Hq, Hc, Wp, Wq, Wc;  // screen coordinates before scaling
  double Cp, Cq, C2;              // P.C, Q.C, C.C
};

TPlaneProjection PlaneProjection(const TProjection& p, const TOrbitCurve& orbit)
{
  const TOrbitVertex a = orbit.Perihelion(), b = orbit.Ahead();
  TPlaneProjection q;
  q.Hp = p.Hx * a.X + p.Hy * a.Y + p.Hz * a.Z;
  q.Hq = p.Hx * b.X + p.Hy * b.Y + p.Hz * b.Z;
  q.Hc = p.Dim - (p.Hx * p.Cx + p.Hy * p.Cy + p.Hz * p.Cz);
  q.Wp = p.Wx * a.X + p.Wy * a.Y + p.Wz * a.Z;
  q.Wq = p.Wx * b.X + p.Wy * b.Y + p.Wz * b.Z;
  q.Wc = p.Dim - (p.Wx * p.Cx + p.Wy * p.Cy + p.Wz * p.Cz);
  q.Cp = a.X * p.Cx + a.Y * p.Cy + a.Z * p.Cz;
  q.Cq = b.X * p.Cx + b.Y * p.Cy + b.Z * p.Cz;
  q.C2 = p.Cx * p.Cx + p.Cy * p.Cy + p.Cz * p.Cz;
  return q;
}

// The screen offsets of n points of an orbit's plane, -1 for those not
// drawn: the scene's view test, projection and rectangle test, as the dots
// of the full list take them, without branches.
SOLLUMEN_VECTOR_CLONES
void ProjectPlanePoints(const TProjection p, const TPixelWindow w, const TPlaneProjection q,
                        const double* __restrict xs, const double* __restrict ys, int n,
                        std::int32_t* __restrict out)
{
  const int xLo = w.XLo, xHi = w.XHi, yLo = w.YLo, yHi = w.YHi, stride = w.Stride;
  for (int i = 0; i < n; ++i) {
    const double x = xs[i], y = ys[i];
    const double sun2 = x * x + y * y;
    const double center2 = sun2 - 2 * (x * q.Cp + y * q.Cq) + q.C2;
    const bool inView = (center2 <= p.MaxCenter2) & ((center2 == 0) | (sun2 == 0) | (sun2 >= p.MinSun2));
    double fx = p.ScaleX * (x * q.Hp + y * q.Hq + q.Hc);
    double fy = p.ScaleY * (x * q.Wp + y * q.Wq + q.Wc);
    fx = fx > -2.0 ? fx : -2.0;
    fx = fx < p.LimitX ? fx : p.LimitX;
    fy = fy > -2.0 ? fy : -2.0;
    fy = fy < p.LimitY ? fy : p.LimitY;
    const int px = static_cast<int>(fx) + p.Left;
    const int py = p.Top + p.Height - static_cast<int>(fy);
    const bool shown = inView & (px >= xLo) & (px <= xHi) & (py >= yLo) & (py <= yHi);
    out[i] = shown ? py * stride + px : -1;
  }
}

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
    if (overlays && OrbitLevel(o.OrbitElements().AxisAU, dim_) > 0) {
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
      const int q = OrbitLevel(a->OrbitElements().AxisAU, dim_);
      WalkOrbitPoints(OrbitStep(q, a->OrbitElements().Ecc), [&](int k) {
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
  // When every orbit has the same colour (the usual case: the list takes the
  // minor bodies' colour) the order of the dots does not matter, and each
  // core writes its own at once. Two cores may then hit one pixel with the
  // same word; the stores are atomic so that this is no race.
  const TColor first = Mode(bodies.front()->Color);
  const bool oneColor = std::all_of(bodies.begin(), bodies.end(),
                                    [&](const TAsteroid* a) { return Mode(a->Color) == first; });
  const std::uint32_t oneWord = canvas_->PixelValue(first);
  // Otherwise each body's dots take the screen offsets [k * 360,
  // k * 360 + count[k]) and are written in list order afterwards.
  std::vector<std::int32_t> offsets(oneColor ? 0 : static_cast<std::size_t>(BodiesPerBlock) * OrbitPointCount);
  std::vector<int> counts(BodiesPerBlock);
  const int total = static_cast<int>(bodies.size());
  for (int block = 0; block < total; block += BodiesPerBlock) {
    const int size = std::min(BodiesPerBlock, total - block);
    RunInChunks(size, Threads(size), [&](int begin, int end, int) {
      double xs[OrbitPointCount], ys[OrbitPointCount];
      std::int32_t all[OrbitPointCount];
      for (int b = begin; b < end; ++b) {
        const TAsteroid& a = *bodies[block + b];
        std::int32_t* out = oneColor ? all : offsets.data() + static_cast<std::size_t>(b) * OrbitPointCount;
        int count = 0;
        TOrbitCurve::TWalk walk;
        if (a.OrbitWalk(tolerance, walk)) {
          const TOrbitCurve& orbit = *a.Orbit(tolerance);
          const int q = OrbitLevel(a.OrbitElements().AxisAU, dim_);
          const int n = orbit.PlanePoints(walk, OrbitStep(q, a.OrbitElements().Ecc), xs, ys);
          ProjectPlanePoints(p, w, PlaneProjection(p, orbit), xs, ys, n, all);
          for (int k = 0; k < n; ++k)
            if (all[k] >= 0) out[count++] = all[k];
        }
        counts[b] = count;
        if (oneColor)
          for (int k = 0; k < count; ++k)
            std::atomic_ref<std::uint32_t>(pixels[out[k]]).store(oneWord, std::memory_order_relaxed);
      }
    });
    if (oneColor) continue;
    for (int b = 0; b < size; ++b) {
      const std::uint32_t word = canvas_->PixelValue(Mode(bodies[block + b]->Color));
      const std::int32_t* in = offsets.data() + static_cast<std::size_t>(b) * OrbitPointCount;
      for (int k = 0; k < counts[b]; ++k) pixels[in[k]] = word;
    }
  }
}
