#include "astro/Mathematics.h"

#include <cmath>

long double DegToRad(long double x) { return x * DegreesToRadians; }
long double RadToDeg(long double x) { return x * RadiansToDegrees; }

long double Poly1(long double t, long double c1, long double c0) { return c0 + c1 * t; }

long double Poly2(long double t, long double c2, long double c1, long double c0)
{
  return c0 + t * (c1 + t * c2);
}

long double Poly3(long double t, long double c3, long double c2, long double c1, long double c0)
{
  return c0 + t * (c1 + t * (c2 + t * c3));
}

long double Poly4(long double t, long double c4, long double c3, long double c2, long double c1,
                  long double c0)
{
  return c0 + t * (c1 + t * (c2 + t * (c3 + t * c4)));
}

long double ArcTan2(long double x, long double y) { return std::atan2(y, x); }

long double ArcSin(long double y) { return ArcTan2(std::sqrt(1.0L - y * y), y); }

long double ArcCos(long double x) { return ArcTan2(x, std::sqrt(1.0L - x * x)); }

long double Tan(long double x) { return std::sin(x) / std::cos(x); }

long double Power(long double e, long double b) { return std::exp2(e * std::log2(b)); }

int Sign(long double x) { return x > 0 ? 1 : (x < 0 ? -1 : 0); }
