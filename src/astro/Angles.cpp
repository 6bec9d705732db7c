#include "astro/Angles.h"

#include "astro/Mathematics.h"

#include <cmath>
#include <cstdio>

long double NormPi(long double a)
{
  long double b = TwoPi * (a / TwoPi - std::trunc(a / TwoPi));
  if (b > Pi) b -= TwoPi;
  if (b < -Pi) b += TwoPi;
  // An exact multiple of pi keeps its sign of pi rather than collapsing to the
  // other bound, so that +-pi round-trip unchanged.
  if (std::fabs(a) == Pi) return a;
  return b;
}

long double Norm2Pi(long double a)
{
  long double b = NormPi(a);
  if (b < 0) b += TwoPi;
  // A negative angle smaller than half an ulp of 2pi would round to 2pi
  // itself, which lies outside the range; it is that close to 0.
  return b < TwoPi ? b : 0.0L;
}

TDMSAngle RadToDMS(long double a)
{
  TDMSAngle r;
  long double d = a * 180.0L / Pi;
  if (std::isnan(d)) return r;
  r.Sign = d >= 0 ? 1 : -1;
  d = std::fabs(d);
  // The whole degrees must fit the record, a carry included; larger angles
  // (and infinity) are held at the bound.
  if (d >= MaxDMSDegrees) {
    r.Deg = MaxDMSDegrees;
    return r;
  }
  r.Deg = static_cast<int>(std::trunc(d));
  long double f = d - std::trunc(d);
  r.Min = static_cast<int>(std::trunc(f * 60.0L));
  r.Sec = (f - r.Min / 60.0L) * 3600.0L;
  return r;
}

namespace {

// Carries a minute overflow into the degrees; a carry that reaches 360
// degrees wraps to 0 (larger angles, which are not reduced, stay as they are).
void CarryMinutes(TDMSAngle& dms)
{
  if (dms.Min >= 60) {
    dms.Min -= 60;
    dms.Deg += 1;
    if (dms.Deg == 360) dms.Deg = 0;
  }
}

}  // namespace

std::string DMSText(TDMSAngle dms, int style)
{
  if (style == 0) {
    if (dms.Sec > 30) {
      dms.Min += 1;
      CarryMinutes(dms);
    }
  } else if (style == 1) {
    dms.Sec = std::nearbyint(dms.Sec);  // default rounding mode: ties to even
    if (dms.Sec >= 60) {
      dms.Sec = 0;
      dms.Min += 1;
      CarryMinutes(dms);
    }
  }

  char buf[64];
  std::string text = dms.Sign == -1 ? "-" : "";
  std::snprintf(buf, sizeof buf, "%d\u00b0 %02d' ", dms.Deg, dms.Min);
  text += buf;
  if (style >= 1 && style <= 3) {
    int decimals = style - 1;
    if (dms.Sec < 10) text += "0";
    std::snprintf(buf, sizeof buf, "%.*Lf''", decimals, dms.Sec);
    text += buf;
  }
  return text;
}
