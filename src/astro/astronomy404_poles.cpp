#include "astro/astronomy404_poles.h"

#include "astro/Angles.h"
#include "astro/Mathematics.h"
#include "astro/precess404.h"

#include <cmath>
#include <stdexcept>
#include <string>

void PoleJ2000(int index, long double jd, TRectCoord& rect, TPolarCoord& polar)
{
  long double T = (jd - 2451545.0L) / 36525.0L;
  long double ra = 0, dec = 0;  // degrees
  switch (index) {
    case 0: ra = -0.641L * T; dec = 90.0L - 0.557L * T; break;
    case 1: ra = 281.01L - 0.003L * T; dec = 61.45L - 0.005L * T; break;
    case 2: ra = 272.72L; dec = 67.15L; break;
    case 3: ra = 317.681L - 0.108L * T; dec = 52.886L - 0.061L * T; break;
    case 4: ra = 268.05L - 0.009L * T; dec = 64.49L + 0.003L * T; break;
    case 5: ra = 40.58L - 0.036L * T; dec = 83.54L - 0.004L * T; break;
    case 6: ra = 257.43L; dec = -15.1L; break;
    case 7: {
      long double n = DegToRad(359.28L + 54.308L * T);
      ra = 299.36L + 0.70L * std::sin(n);
      dec = 43.46L - 0.51L * std::cos(n);
      break;
    }
    case 8: ra = 313.02L; dec = 9.09L; break;
    case 9: ra = 286.13L; dec = 63.87L; break;
    default: throw std::out_of_range("no pole direction for body index " + std::to_string(index));
  }
  polar.Lon = Norm2Pi(DegToRad(ra));
  polar.Lat = NormPi(DegToRad(dec));
  polar.Dist = 1;
  rect = PolarToRect(polar);
}

void PoleDirection(int index, long double jd, TRectCoord& rect, TPolarCoord& polar)
{
  TRectCoord j2000;
  TPolarCoord p;
  PoleJ2000(index, jd, j2000, p);
  Precess(j2000, -1, jd, rect, polar);
}
