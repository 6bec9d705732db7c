// The texts and rules of the main window's time control: the range of
// instants it shows, step units, the step value's notation, the Julian-date
// label, the window caption and the message about minor bodies.
#pragma once

#include "astro/DatesAndTimes.h"

#include <string>
#include <vector>

// Instants the window shows: the years -2000 to 6000.
constexpr long double FirstShownJD = 990924.5L;
constexpr long double LastShownJD = 3912515.5L;
// False also for NaN.
inline bool IsShownJD(long double jd) { return jd >= FirstShownJD && jd <= LastShownJD; }

// Length of one step unit in days: minute, hour, day, sidereal and tropical
// year; any other code steps by nothing.
long double StepUnitDays(int unit);
// "minute(s)", "hour(s)", "day(s)", "sid. year(s)", "trop. year(s)"; "" else.
std::string StepUnitWord(int unit);

// Shortest general notation with up to 15 significant digits and the
// locale's decimal separator: 1, 0.5, 1E-5, 2.5E20.
std::string GeneralNumberText(long double value);
// A decimal number with the locale's separator, optional sign and exponent,
// blanks around it allowed. False for anything else, and for values that
// are not finite.
bool ParseStepValue(const std::string& text, long double& value);
// "1 day(s)".
std::string TimeStepText(long double value, int unit);

// "JD 2451545.000".
std::string JDLabelText(long double jd);
// "Sollumen   2000 January 1   12:00 UT".
std::string CaptionText(const TDateRec& rec);

// The notice that minor bodies cannot be shown at the new instant; `names`
// are the user's minor bodies (the full list is never named). The line
// break is a single carriage return.
std::string MinorBodiesMessage(const std::vector<std::string>& names);
