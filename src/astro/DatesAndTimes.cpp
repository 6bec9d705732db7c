#include "astro/DatesAndTimes.h"

#include <climits>
#include <cmath>

namespace {

// Converts a whole-numbered real to int, saturating instead of overflowing
// when a far-out instant is asked for.
int ToInt(long double x)
{
  if (std::isnan(x)) return 0;
  if (x >= static_cast<long double>(INT_MAX)) return INT_MAX;
  if (x <= static_cast<long double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(x);
}

}  // namespace

bool operator==(const TDateRec& a, const TDateRec& b)
{
  return a.Day == b.Day && a.Month == b.Month && a.Year == b.Year && a.Hour == b.Hour &&
         a.Minute == b.Minute && a.Second == b.Second && a.Zone == b.Zone;
}

long double DateRecToJD(const TDateRec& rec)
{
  using std::trunc;
  long double t = rec.Hour + rec.Minute / 60.0L + rec.Second / 3600.0L;
  long double y = rec.Year;
  if (rec.Year < 0) y += 1;  // astronomical numbering: 1 BC is year 0
  long double g = 12 * (y + 4800) + rec.Month - 3;  // months since March of -4800
  long double j = trunc((2 * (g - 12 * trunc(g / 12)) + 365 * g + 7) / 12) + rec.Day +
                  trunc(g / 48) - 32083;  // Julian-calendar day number
  if (j > 2299170) j += trunc(g / 4800) - trunc(g / 1200) + 38;  // Gregorian from 1582-10-15
  return j + t / 24 - 0.5L - rec.Zone / 1440.0L;
}

TDayFraction SplitDayFraction(long double x)
{
  TDayFraction f;
  long double d = std::trunc(x);
  long double r = (x - d) * 24;
  long double h = std::trunc(r);
  r = (r - h) * 60;
  long double m = std::trunc(r);
  long double s = std::nearbyint((r - m) * 60);  // ties to even in the default rounding mode
  f.Days = ToInt(d);
  f.Hours = ToInt(h);
  f.Minutes = ToInt(m);
  f.Seconds = ToInt(s);
  if (f.Seconds == 60) { f.Seconds = 0; ++f.Minutes; }
  if (f.Minutes == 60) { f.Minutes = 0; ++f.Hours; }
  if (f.Hours == 24) { f.Hours = 0; ++f.Days; }
  return f;
}

TDateRec JDToDateRec(int zone, long double jd)
{
  using std::trunc;
  TDateRec r;
  long double b = jd + 0.5L + zone / 1440.0L;
  // floor rather than truncation, so that a zone west of -12 h at JD 0
  // still gives a positive fraction of the day.
  long double Z = std::floor(b);
  TDayFraction f = SplitDayFraction(b - Z);
  Z += f.Days;
  long double A = Z;
  if (Z > 2299160) {
    long double alpha = trunc((Z - 1867216.25L) / 36524.25L);
    A = Z + 1 + alpha - trunc(alpha / 4);
  }
  long double B = A + 1524;
  long double C = trunc((B - 122.1L) / 365.25L);
  long double D = trunc(365.25L * C);
  long double E = trunc((B - D) / 30.6001L);
  long double month = E < 14 ? E - 1 : E - 13;
  long double year = month > 2 ? C - 4716 : C - 4715;
  if (year <= 0) year -= 1;
  r.Day = ToInt(B - D - trunc(30.6001L * E));
  r.Month = ToInt(month);
  r.Year = ToInt(year);
  r.Hour = f.Hours;
  r.Minute = f.Minutes;
  r.Second = f.Seconds;
  r.Zone = zone;
  return r;
}

long double JDToDecimalYear(long double jd)
{
  TDateRec r = JDToDateRec(0, jd);
  long double y = r.Year <= 0 ? r.Year + 1 : r.Year;
  TDateRec jan1;
  jan1.Day = 1;
  jan1.Month = 1;
  jan1.Year = r.Year;
  jan1.Hour = jan1.Minute = jan1.Second = jan1.Zone = 0;
  return y + (jd - DateRecToJD(jan1)) / 365.248L;
}
