#include "app/mainwindow/TimeStepTexts.h"

#include <QLocale>

#include <cmath>
#include <cstdio>

namespace {

// The separator of decimals in the user's locale.
std::string DecimalPoint()
{
  return QLocale().decimalPoint().toStdString();
}

// "1e-05" -> "1E-5", "2.5e+20" -> "2.5E20".
std::string PlainExponent(const std::string& s)
{
  const std::size_t e = s.find('e');
  if (e == std::string::npos) return s;
  std::string mantissa = s.substr(0, e);
  std::string exp = s.substr(e + 1);
  std::string sign;
  if (!exp.empty() && (exp[0] == '+' || exp[0] == '-')) {
    if (exp[0] == '-') sign = "-";
    exp.erase(0, 1);
  }
  while (exp.size() > 1 && exp[0] == '0') exp.erase(0, 1);
  return mantissa + "E" + sign + exp;
}

std::string LocalDecimals(std::string s)
{
  const std::string point = DecimalPoint();
  if (point == ".") return s;
  const std::size_t dot = s.find('.');
  if (dot != std::string::npos) s.replace(dot, 1, point);
  return s;
}

}  // namespace

long double StepUnitDays(int unit)
{
  switch (unit) {
    case tsuMinute:
    case tsuHour:
    case tsuDay:
    case tsuSiderealYear:
    case tsuTropicalYear: return TimeStepLength(unit);
    default: return 0;
  }
}

std::string StepUnitWord(int unit)
{
  switch (unit) {
    case tsuMinute: return "minute(s)";
    case tsuHour: return "hour(s)";
    case tsuDay: return "day(s)";
    case tsuSiderealYear: return "sid. year(s)";
    case tsuTropicalYear: return "trop. year(s)";
    default: return "";
  }
}

std::string GeneralNumberText(long double value)
{
  if (value == 0) return "0";  // also for -0
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15Lg", value);
  return LocalDecimals(PlainExponent(buf));
}

bool ParseStepValue(const std::string& text, long double& value)
{
  QLocale locale;
  locale.setNumberOptions(QLocale::RejectGroupSeparator);
  bool ok = false;
  const double v = locale.toDouble(QString::fromStdString(text).trimmed(), &ok);
  if (!ok || !std::isfinite(v)) return false;
  value = v;
  return true;
}

std::string TimeStepText(long double value, int unit)
{
  return GeneralNumberText(value) + " " + StepUnitWord(unit);
}

std::string JDLabelText(long double jd)
{
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.3Lf", jd);
  return "JD " + LocalDecimals(buf);
}

std::string CaptionText(const TDateRec& rec)
{
  return "Sollumen   " + FormatDateRec(rec, 0x23002321u) + " UT";
}

std::string MinorBodiesMessage(const std::vector<std::string>& names)
{
  std::string text =
      "One or more objects can not be shown for the selected date due to uncertainties in "
      "the calculation of the position(s)";
  if (!names.empty()) {
    text += ":\r";
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (i > 0) text += ", ";
      text += names[i];
    }
  }
  return text + ".";
}
