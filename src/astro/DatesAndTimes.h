// Calendar dates and Julian dates, time-step units, the system clock and the
// date and time texts of the program.
//
// Every instant is a Julian date taken as Universal Time; the same number is
// handed unchanged to every theory.
#pragma once

#include <ctime>
#include <stdexcept>
#include <string>

// The supported range of Julian dates (-4713 January 1, 12:00 to
// 6239 July 12, 12:00).
constexpr long double MinJD = 0.0L;
constexpr long double MaxJD = 4000000.0L;

// Text that cannot be read as a date or time.
class EConvertError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};
// An instant before MinJD.
class EUnderflow : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};
// An instant after MaxJD.
class EOverflow : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The date record: civil time in the zone Zone (minutes east of UT).
// Years are historical: 1 is AD 1, -1 is 1 BC; there is no year 0.
struct TDateRec {
  int Day = 1;
  int Month = 1;
  int Year = 2000;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Zone = 0;
};

bool operator==(const TDateRec& a, const TDateRec& b);

// Time-step unit codes and their lengths in days (calendar units have none).
enum TimeStepUnit {
  tsuMinute = 0,
  tsuHour = 1,
  tsuSiderealDay = 2,
  tsuDay = 3,
  tsuSiderealMonth = 4,
  tsuTropicalMonth = 5,
  tsuSynodicMonth = 6,
  tsuCalendarMonth = 7,
  tsuCalendarYear = 8,
  tsuSiderealYear = 9,
  tsuTropicalYear = 10,
};
// Length of a unit in days; 0 for the calendar units and unknown codes.
long double TimeStepLength(int unit);

// Minutes east of UT of the computer's local time at start.
extern int LocalZoneOffset;
// When true, NowUT includes the daylight-saving bias.
extern bool UseDaylightSaving;

long double DateRecToJD(const TDateRec& rec);
TDateRec JDToDateRec(int zone, long double jd);

struct TDayFraction {
  int Days = 0, Hours = 0, Minutes = 0, Seconds = 0;
};
TDayFraction SplitDayFraction(long double x);

bool IsLeapYear(int year);
int DaysInMonth(int month, int year);
std::string MonthName(int month);
int MonthFromName(const std::string& text);

// 0 valid, 1 year 0, 2 month out of range, 3 day out of range,
// 4 one of the days 1582 October 5..14 that do not exist.
int DateStatus(const TDateRec& rec);
void CheckDateRange(TDateRec& rec);

void IncYear(TDateRec& rec);
void DecYear(TDateRec& rec);
void IncMonth(TDateRec& rec);
void DecMonth(TDateRec& rec);
void AddTimeSteps(TDateRec& rec, int unit, int count);

long double JDToDecimalYear(long double jd);

// t is a calendar date and time of day (milliseconds dropped).
TDateRec DateTimeToDateRec(int zone, const std::tm& t);
TDateRec NowUT();
TDateRec NowInZone(int zone);

void ParseTimeString(const std::string& text, TDateRec& rec);
void ParseDateString(const std::string& text, TDateRec& rec);

// word is a bit field choosing order, separators and styles of the text.
std::string FormatDateRec(const TDateRec& rec, unsigned word);
std::string DateTimeText(const TDateRec& rec);  // '2000/01/15  09:05'
std::string DateText(const TDateRec& rec);      // '2000/01/15'
std::string TimeText(const TDateRec& rec);      // '09:05'
