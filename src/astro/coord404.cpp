#include "astro/coord404.h"

#include "astro/Mathematics.h"

#include <cmath>

long double VecLength(const TRectCoord& v)
{
  return std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z);
}

TRectCoord VecAdd(const TRectCoord& v, const TRectCoord& w)
{
  return {v.X + w.X, v.Y + w.Y, v.Z + w.Z};
}

TRectCoord VecSub(const TRectCoord& v, const TRectCoord& w)
{
  return {v.X - w.X, v.Y - w.Y, v.Z - w.Z};
}

TRectCoord VecScale(const TRectCoord& v, long double k) { return {k * v.X, k * v.Y, k * v.Z}; }

TPolarCoord RectToPolar(const TRectCoord& v)
{
  TPolarCoord p;
  p.Dist = VecLength(v);
  p.Lon = ArcTan2(v.X, v.Y);
  p.Lat = p.Dist > 0 ? HalfPi - ArcCos(v.Z / p.Dist) : 0.0L;
  return p;
}

TRectCoord PolarToRect(const TPolarCoord& p)
{
  long double c = HalfPi - p.Lat;
  return {std::cos(p.Lon) * std::sin(c) * p.Dist, std::sin(p.Lon) * std::sin(c) * p.Dist,
          std::cos(c) * p.Dist};
}

TMatrix4 MatZero() { return TMatrix4{}; }

TMatrix4 MatMul(const TMatrix4& a, const TMatrix4& b)
{
  TMatrix4 c;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      long double s = 0;
      for (int k = 0; k < 4; ++k) s += a(i, k) * b(k, j);
      c(i, j) = s;
    }
  return c;
}

TMatrix4 RotationMatrix(int axis, long double angle)
{
  TMatrix4 m;
  m(3, 3) = 1;
  long double c = std::cos(angle), s = std::sin(angle);
  switch (axis) {
    case 0:
      m(0, 0) = 1;
      m(1, 1) = c; m(1, 2) = -s;
      m(2, 1) = s; m(2, 2) = c;
      break;
    case 1:
      m(0, 0) = c; m(0, 2) = s;
      m(1, 1) = 1;
      m(2, 0) = -s; m(2, 2) = c;
      break;
    case 2:
      m(0, 0) = c; m(0, 1) = -s;
      m(1, 0) = s; m(1, 1) = c;
      m(2, 2) = 1;
      break;
    default:
      break;
  }
  return m;
}

TRectCoord TransformPoint(const TRectCoord& v, const TMatrix4& m)
{
  return {m(0, 0) * v.X + m(0, 1) * v.Y + m(0, 2) * v.Z + m(0, 3),
          m(1, 0) * v.X + m(1, 1) * v.Y + m(1, 2) * v.Z + m(1, 3),
          m(2, 0) * v.X + m(2, 1) * v.Y + m(2, 2) * v.Z + m(2, 3)};
}

TRectCoord RotateVector(int axis, const TRectCoord& v, long double angle)
{
  return TransformPoint(v, RotationMatrix(axis, angle));
}
