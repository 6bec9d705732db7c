// The number and duration texts of the monitor. Each takes the decimal
// separator to write ("." on the command line, the locale's in the
// window); none writes thousands separators.
#pragma once

#include <string>

// x with `digits` digits after the separator (none when 0), first rounded
// to at most `precision` significant digits. A value whose integer part
// needs more than `precision` digits is written in scientific notation with
// `precision` significant digits instead ("1.23457E+06"). A result that
// rounds to zero carries no minus sign.
std::string FixedText(long double x, int precision, int digits, const std::string& separator = ".");

// Scientific notation with four significant digits: "5.974E+24".
std::string E4Text(long double x, const std::string& separator = ".");

// A period in days as "1 y 321 d 17 h", or "27 d 7 h" when shorter than a
// year (365.25 days); minutes and seconds are dropped after their carries.
// A billion years or more are written as years in scientific notation
// ("1.581E+12 y").
std::string PeriodText(long double days, const std::string& separator = ".");

// An angle in radians as degrees and minutes (style 0, "12° 05' ") or
// degrees, minutes and seconds (style 1, "12° 05' 07''"). A billion degrees
// or more are written as degrees in scientific notation ("2.147E+09° ").
std::string AngleText(long double radians, int style, const std::string& separator = ".");
