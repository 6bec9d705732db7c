// The scene's view test and projection (IsInView, WorldToScreen, Inside) in
// double precision and without branches, for drawing very many dots: the
// full list of minor bodies and the orbits of the listed ones.
#pragma once

#include "scene/DotPainter.h"

#include <algorithm>

struct TProjection {
  double Cx, Cy, Cz, Hx, Hy, Hz, Wx, Wy, Wz, Dim;
  double MaxCenter2;  // (5 Dim)^2: farther from the centre is out of view
  double MinSun2;     // (0.03 Dim)^2: closer to the Sun is hidden by it
  double ScaleX, ScaleY;
  double LimitX, LimitY;  // scaled coordinates beyond these are far outside
  int Left, Top, Width, Height;
};

inline TProjection MakeProjection(const TDotView& v)
{
  TProjection p;
  p.Cx = v.CenterX, p.Cy = v.CenterY, p.Cz = v.CenterZ;
  p.Hx = v.Hx, p.Hy = v.Hy, p.Hz = v.Hz;
  p.Wx = v.Wx, p.Wy = v.Wy, p.Wz = v.Wz;
  p.Dim = v.Dim;
  p.MaxCenter2 = 25 * v.Dim * v.Dim;
  p.MinSun2 = (0.03 * v.Dim) * (0.03 * v.Dim);
  p.ScaleX = v.Width / (2 * v.Dim);
  p.ScaleY = v.Height / (2 * v.Dim);
  p.LimitX = v.Width + 2.0;
  p.LimitY = v.Height + 2.0;
  p.Left = v.Left, p.Top = v.Top, p.Width = v.Width, p.Height = v.Height;
  return p;
}

// The scene's IsInView and WorldToScreen in double precision, and whether
// the pixel is inside the rectangle (both edges included). Branch-free, so
// that the loops over all bodies run in vector registers.
inline bool ProjectDot(const TProjection& p, double x, double y, double z, int& px, int& py)
{
  const double dx = x - p.Cx, dy = y - p.Cy, dz = z - p.Cz;
  const double center2 = dx * dx + dy * dy + dz * dz;
  const double sun2 = x * x + y * y + z * z;
  const bool inView = (center2 <= p.MaxCenter2) & ((center2 == 0) | (sun2 == 0) | (sun2 >= p.MinSun2));
  double fx = p.ScaleX * (p.Hx * dx + p.Hy * dy + p.Hz * dz + p.Dim);
  double fy = p.ScaleY * (p.Wx * dx + p.Wy * dy + p.Wz * dz + p.Dim);
  // Far-off (or non-finite) coordinates are pulled in just outside the
  // rectangle before they become integers.
  fx = fx > -2.0 ? fx : -2.0;
  fx = fx < p.LimitX ? fx : p.LimitX;
  fy = fy > -2.0 ? fy : -2.0;
  fy = fy < p.LimitY ? fy : p.LimitY;
  px = static_cast<int>(fx) + p.Left;  // truncation toward zero
  py = p.Top + p.Height - static_cast<int>(fy);
  return inView & (px >= p.Left) & (px <= p.Left + p.Width) & (py >= p.Top) &
         (py <= p.Top + p.Height);
}

struct TPixelWindow {
  int XLo, XHi, YLo, YHi;  // pixels that may be written, inclusive
  int Stride;
};

// The pixels of a canvas that may be written for a view: its rectangle
// without the right and bottom edges (the clip), within the surface.
inline TPixelWindow PixelWindow(const TCanvas& canvas, const TDotView& view)
{
  return {std::max(view.Left, 0), std::min(view.Left + view.Width, canvas.PixelsWidth()) - 1,
          std::max(view.Top, 0), std::min(view.Top + view.Height, canvas.PixelsHeight()) - 1,
          canvas.PixelsWidth()};
}
