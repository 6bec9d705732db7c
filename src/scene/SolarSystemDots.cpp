// The dots of the full list of minor bodies: possibly a whole catalogue, so
// the projection runs in double and, where the canvas offers its pixels,
// dots are written straight into them.
#include "scene/SolarSystem.h"

#include "scene/ColFunc.h"

#include <algorithm>
#include <cmath>

void TSolarSystem::PaintFullListDots()
{
  const TDotBodyList& list = asteroidsFull_;
  const int count = list.Count();
  if (count == 0 || !canvas_) return;

  // The view in double: IsInView by squared distances, WorldToScreen as two
  // rows of coefficients.
  const double dim = static_cast<double>(dim_);
  const double cx = static_cast<double>(centerPosition_.X);
  const double cy = static_cast<double>(centerPosition_.Y);
  const double cz = static_cast<double>(centerPosition_.Z);
  const double maxCenter2 = 25 * dim * dim;              // (5 Dim)^2
  const double minSun2 = (0.03 * dim) * (0.03 * dim);    // (0.03 Dim)^2
  double hx = 1, hy = 0, hz = 0, wx = 0, wy = 1, wz = 0; // XY
  if (Plane == XZ) {
    wy = 0;
    wz = 1;
  } else if (Plane == ZY) {
    hx = 0;
    hz = 1;
  } else if (Plane == D3) {
    hx = static_cast<double>(viewMatrix_(0, 0));
    hy = static_cast<double>(viewMatrix_(0, 1));
    hz = static_cast<double>(viewMatrix_(0, 2));
    wx = static_cast<double>(viewMatrix_(1, 0));
    wy = static_cast<double>(viewMatrix_(1, 1));
    wz = static_cast<double>(viewMatrix_(1, 2));
  }
  const double scaleX = width_ / (2 * dim);
  const double scaleY = height_ / (2 * dim);

  // Raw pixels, clipped to the painted rectangle and the surface.
  std::uint32_t* pixels = canvas_->Pixels();
  const int stride = canvas_->PixelsWidth();
  const int clipLeft = std::max(Left, 0);
  const int clipTop = std::max(Top, 0);
  const int clipRight = std::min(Left + width_, canvas_->PixelsWidth());     // exclusive
  const int clipBottom = std::min(Top + height_, canvas_->PixelsHeight());  // exclusive
  const int reach = sizeMode_ == 0 ? 0 : 1;
  const bool plus = sizeMode_ == 1;  // a plus of five pixels, else a full block

  TColor lastColor = list.Color(0) ^ 1u;  // differs from the first colour
  TColor color = 0;
  std::uint32_t word = 0;
  for (int i = 0; i < count; ++i) {
    const double x = list.X(i), y = list.Y(i), z = list.Z(i);
    const double dx = x - cx, dy = y - cy, dz = z - cz;
    const double center2 = dx * dx + dy * dy + dz * dz;
    if (center2 > maxCenter2) continue;
    const double sun2 = x * x + y * y + z * z;
    if (center2 != 0 && sun2 != 0 && sun2 < minSun2) continue;
    const double h = hx * dx + hy * dy + hz * dz;
    const double w = wx * dx + wy * dy + wz * dz;
    const int px = static_cast<int>(scaleX * (h + dim)) + Left;
    const int py = Top + height_ - static_cast<int>(scaleY * (w + dim));
    if (!Inside(px, py)) continue;

    if (list.Color(i) != lastColor) {
      lastColor = list.Color(i);
      color = Mode(lastColor);
      word = canvas_->PixelValue(color);
    }
    if (!pixels) {
      PlotDot(px, py, color);
      continue;
    }
    for (int oy = -reach; oy <= reach; ++oy) {
      const int yy = py + oy;
      if (yy < clipTop || yy >= clipBottom) continue;
      for (int ox = -reach; ox <= reach; ++ox) {
        if (plus && ox != 0 && oy != 0) continue;
        const int xx = px + ox;
        if (xx >= clipLeft && xx < clipRight) pixels[static_cast<size_t>(yy) * stride + xx] = word;
      }
    }
  }
}
