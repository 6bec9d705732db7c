#include "scene/MonitorFormats.h"

#include "astro/Angles.h"
#include "astro/DatesAndTimes.h"
#include "astro/Mathematics.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace {

// Beyond these the whole years of a period and the whole degrees of an
// angle are no integers the texts can hold (a crafted element set may
// carry any number); such values are written in scientific notation.
constexpr long double MaxWholeYears = 1e9L;
constexpr long double MaxWholeDegrees = 1e9L;

// to_chars is independent of the C locale, which a Qt program sets from
// the environment.
std::string Chars(long double x, std::chars_format format, int precision)
{
  char buf[128];
  const auto r = std::to_chars(buf, buf + sizeof buf, x, format, precision);
  if (r.ec != std::errc()) return "?";
  return std::string(buf, r.ptr);
}

std::string WithSeparator(std::string text, const std::string& separator)
{
  const std::size_t dot = text.find('.');
  if (dot != std::string::npos) text.replace(dot, 1, separator);
  return text;
}

std::string Scientific(long double x, int significant, const std::string& separator)
{
  std::string text = Chars(x, std::chars_format::scientific, significant - 1);
  const std::size_t e = text.find('e');
  if (e != std::string::npos) text[e] = 'E';
  return WithSeparator(text, separator);
}

}  // namespace

std::string FixedText(long double x, int precision, int digits, const std::string& separator)
{
  if (!std::isfinite(x)) return Chars(x, std::chars_format::general, 6);
  if (precision < 1) precision = 1;
  if (digits < 0) digits = 0;
  // Rounded to the significant digits first, as the text of a number of
  // that precision would be.
  const std::string rounded = Chars(x, std::chars_format::scientific, precision - 1);
  long double r = 0;
  std::from_chars(rounded.data(), rounded.data() + rounded.size(), r);
  const std::size_t e = rounded.find('e');
  const int exponent = e == std::string::npos ? 0 : std::stoi(rounded.substr(e + 1));
  if (r != 0 && exponent + 1 > precision) return Scientific(r, precision, separator);

  std::string text = Chars(r, std::chars_format::fixed, digits);
  if (!text.empty() && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos)
    text.erase(0, 1);
  return WithSeparator(text, separator);
}

std::string E4Text(long double x, const std::string& separator)
{
  if (!std::isfinite(x)) return Chars(x, std::chars_format::general, 6);
  return Scientific(x, 4, separator);
}

std::string PeriodText(long double days, const std::string& separator)
{
  if (!std::isfinite(days)) return Chars(days, std::chars_format::general, 6);
  const long double years = std::trunc(days / 365.25L);
  // Whole years are counted exactly up to here; beyond, only their order
  // of magnitude means anything.
  if (std::fabs(years) >= MaxWholeYears) return Scientific(days / 365.25L, 4, separator) + " y";
  const TDayFraction rest = SplitDayFraction(days - years * 365.25L);
  std::string text;
  if (years != 0) text = std::to_string(static_cast<long long>(years)) + " y ";
  text += std::to_string(rest.Days) + " d " + std::to_string(rest.Hours) + " h";
  return text;
}

std::string AngleText(long double radians, int style, const std::string& separator)
{
  const long double degrees = radians * 180.0L / Pi;
  if (!std::isfinite(degrees)) return Chars(degrees, std::chars_format::general, 6);
  if (std::fabs(degrees) >= MaxWholeDegrees)
    return Scientific(degrees, 4, separator) + "\u00b0 ";
  return DMSText(RadToDMS(radians), style);
}
