#include "astro/DatesAndTimes.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <vector>

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

const char* const MonthNames[12] = {"January", "February", "March",     "April",
                                    "May",     "June",     "July",      "August",
                                    "September", "October", "November", "December"};

// Minutes east of UT of local time now, from the C library's zone state.
int CurrentZoneOffset()
{
  tzset();
  std::time_t now = std::time(nullptr);
  std::tm local{};
  if (!localtime_r(&now, &local)) return 0;
  return static_cast<int>(local.tm_gmtoff / 60);
}

}  // namespace

int LocalZoneOffset = CurrentZoneOffset();
bool UseDaylightSaving = true;

long double TimeStepLength(int unit)
{
  switch (unit) {
    case tsuMinute: return 1.0L / 1440;
    case tsuHour: return 1.0L / 24;
    case tsuSiderealDay: return 0.99727L;
    case tsuDay: return 1.0L;
    case tsuSiderealMonth: return 27.321662037L;
    case tsuTropicalMonth: return 27.321582176L;
    case tsuSynodicMonth: return 29.53058912L;
    case tsuSiderealYear: return 365.25636024L;
    case tsuTropicalYear: return 365.24219879L;
    default: return 0.0L;
  }
}

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
  // Far beyond any year a record holds, but finite, so that an infinite
  // instant still saturates like a huge one.
  jd = std::clamp(jd, -1e13L, 1e13L);
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

// ---------------------------------------------------------------- calendar

bool IsLeapYear(int year)
{
  if (year > 1582) return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (year >= 1) return year % 4 == 0;
  return (static_cast<long long>(year) + 1) % 4 == 0;  // 1 BC, 5 BC, ... are leap years
}

int DaysInMonth(int month, int year)
{
  switch (month) {
    case 1: case 3: case 5: case 7: case 8: case 12: return 31;
    case 10: return year == 1582 ? 21 : 31;  // October 5..14, 1582 never happened
    case 4: case 6: case 9: case 11: return 30;
    case 2: return IsLeapYear(year) ? 29 : 28;
    default: return 0;
  }
}

std::string MonthName(int month)
{
  if (month < 1 || month > 12) return {};
  return MonthNames[month - 1];
}

int MonthFromName(const std::string& text)
{
  auto same = [](const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
             return std::tolower(static_cast<unsigned char>(x)) ==
                    std::tolower(static_cast<unsigned char>(y));
           });
  };
  for (int m = 1; m <= 12; ++m) {
    std::string name = MonthNames[m - 1];
    if (same(text, name) || same(text, name.substr(0, 3))) return m;
  }
  return 0;
}

namespace {

// The highest day number of a month: October 1582 counts to 31 although it
// has only 21 days.
int LastDayNumber(int month, int year)
{
  return month == 10 && year == 1582 ? 31 : DaysInMonth(month, year);
}

bool InCalendarGap(const TDateRec& rec)
{
  return rec.Year == 1582 && rec.Month == 10 && rec.Day >= 5 && rec.Day <= 14;
}

// Moves an impossible day onto the nearest existing one: into the month, and
// out of the days dropped in 1582.
void FixDay(TDateRec& rec)
{
  int status = DateStatus(rec);
  if (status == 3) rec.Day = rec.Day < 1 ? 1 : LastDayNumber(rec.Month, rec.Year);
  if (status == 4) rec.Day = rec.Day > 9 ? 15 : 4;
}

std::string FormatG(long double x)
{
  char buf[64];
  std::snprintf(buf, sizeof buf, "%g", static_cast<double>(x));
  return buf;
}

[[noreturn]] void RaiseUnderflow(TDateRec& rec, long double x)
{
  rec = JDToDateRec(rec.Zone, MinJD);
  throw EUnderflow("date " + FormatG(x) + " underflows range (" + FormatG(MinJD) + " .. " +
                   FormatG(MaxJD) + ")");
}

[[noreturn]] void RaiseOverflow(TDateRec& rec, long double x)
{
  rec = JDToDateRec(rec.Zone, MaxJD);
  throw EOverflow("date " + FormatG(x) + " overflows range (" + FormatG(MinJD) + " .. " +
                  FormatG(MaxJD) + ")");
}

}  // namespace

int DateStatus(const TDateRec& rec)
{
  int status = 0;
  if (rec.Year == 0) status = 1;
  if (rec.Month < 1 || rec.Month > 12) status = 2;
  // Day 0 is no more a day of the month than day 32.
  if (rec.Month >= 1 && rec.Month <= 12 &&
      (rec.Day < 1 || rec.Day > LastDayNumber(rec.Month, rec.Year)))
    status = 3;
  if (InCalendarGap(rec)) status = 4;
  return status;
}

void CheckDateRange(TDateRec& rec)
{
  long double x = DateRecToJD(rec);
  if (x < MinJD) RaiseUnderflow(rec, x);
  if (x > MaxJD) RaiseOverflow(rec, x);
}

void IncYear(TDateRec& rec)
{
  if (rec.Year < INT_MAX) ++rec.Year;
  // Tested on the year alone: from 1 BC February 29 the status would say
  // "bad day" and hide the year 0.
  if (rec.Year == 0) rec.Year = 1;
  FixDay(rec);  // also February 29 into a common year
  CheckDateRange(rec);
}

void DecYear(TDateRec& rec)
{
  if (rec.Year > INT_MIN) --rec.Year;
  if (rec.Year == 0) rec.Year = -1;
  FixDay(rec);
  CheckDateRange(rec);
}

void IncMonth(TDateRec& rec)
{
  if (rec.Month >= 12) {
    rec.Month = 1;
    IncYear(rec);
  } else {
    ++rec.Month;
  }
  FixDay(rec);
  CheckDateRange(rec);
}

void DecMonth(TDateRec& rec)
{
  if (rec.Month <= 1) {
    rec.Month = 12;
    DecYear(rec);
  } else {
    --rec.Month;
  }
  FixDay(rec);
  CheckDateRange(rec);
}

namespace {

// Years counted without a year 0, as the one-step moves count them: 1 BC
// (year -1) is followed by AD 1.
long long YearIndex(int year) { return year > 0 ? year : static_cast<long long>(year) + 1; }

// Far beyond the range of dates; the range check then clamps the record.
constexpr long long FarYear = 100000;

int YearFromIndex(long long index)
{
  index = std::clamp(index, -FarYear, FarYear);
  return static_cast<int>(index > 0 ? index : index - 1);
}

long long FloorDiv(long long a, long long b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

// Several calendar months or years at once: the day is fixed once, at the
// target, so a long step that passes a short month or the days dropped in
// 1582 keeps its day where the target has it.
void AddCalendarSteps(TDateRec& rec, int unit, int count)
{
  long long year = YearIndex(rec.Year);
  if (unit == tsuCalendarYear) {
    year += count;
  } else {
    long long months = year * 12 + (rec.Month - 1) + count;
    year = FloorDiv(months, 12);
    rec.Month = static_cast<int>(months - year * 12) + 1;
  }
  rec.Year = YearFromIndex(year);
  FixDay(rec);
}

}  // namespace

void AddTimeSteps(TDateRec& rec, int unit, int count)
{
  if (unit == tsuCalendarMonth || unit == tsuCalendarYear) {
    if (count == 1 || count == -1) {
      if (unit == tsuCalendarMonth)
        count > 0 ? IncMonth(rec) : DecMonth(rec);
      else
        count > 0 ? IncYear(rec) : DecYear(rec);
    } else if (count != 0) {
      AddCalendarSteps(rec, unit, count);
    }
  } else if (long double len = TimeStepLength(unit); len > 0) {
    long double jd = DateRecToJD(rec) + static_cast<long double>(count) * len;
    // Far outside the range the calendar fields would not fit an int; the
    // record is clamped at once with the same message.
    if (jd < MinJD - 1) RaiseUnderflow(rec, jd);
    if (jd > MaxJD + 1) RaiseOverflow(rec, jd);
    rec = JDToDateRec(rec.Zone, jd);
  }
  CheckDateRange(rec);
}

// ------------------------------------------------------------------- clock

TDateRec DateTimeToDateRec(int zone, const std::tm& t)
{
  TDateRec r;
  r.Year = t.tm_year + 1900;
  if (r.Year <= 0) r.Year -= 1;
  r.Month = t.tm_mon + 1;
  r.Day = t.tm_mday;
  r.Hour = t.tm_hour;
  r.Minute = t.tm_min;
  r.Second = std::min(t.tm_sec, 59);  // a leap second shows as :59
  r.Zone = zone;
  CheckDateRange(r);
  return r;
}

TDateRec NowUT()
{
  tzset();
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  // tm_gmtoff already holds the daylight bias while it is in effect; without
  // it the zone's standard offset applies.
  long offset = local.tm_gmtoff;
  if (local.tm_isdst > 0 && !UseDaylightSaving) offset = -timezone;
  // The local clock reading moved back by the offset, read as a calendar.
  std::time_t shifted = timegm(&local) - offset;
  std::tm ut{};
  gmtime_r(&shifted, &ut);
  return DateTimeToDateRec(0, ut);
}

TDateRec NowInZone(int zone)
{
  TDateRec r = NowUT();
  r.Zone = zone;
  AddTimeSteps(r, tsuMinute, zone);
  return r;
}

// ----------------------------------------------------------------- parsing

namespace {

std::string Trim(const std::string& s)
{
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

std::string Upper(std::string s)
{
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Collapses runs of blanks and blanks beside a separator, then splits at
// every remaining blank or separator. `count` is the number of separators.
std::vector<std::string> SplitFields(const std::string& text, const std::string& seps, int& count)
{
  std::string s = Trim(text);
  auto isSep = [&](char c) { return c == ' ' || seps.find(c) != std::string::npos; };
  std::string c;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == ' ' && ((!c.empty() && isSep(c.back())) || (i + 1 < s.size() && isSep(s[i + 1]))))
      continue;
    c += s[i];
  }
  std::vector<std::string> tokens(1);
  count = 0;
  for (char ch : c) {
    if (isSep(ch)) {
      ++count;
      tokens.emplace_back();
    } else {
      tokens.back() += ch;
    }
  }
  return tokens;
}

int StrToInt(const std::string& s)
{
  size_t i = 0;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  if (i == s.size()) throw EConvertError("'" + s + "' is not a valid integer value");
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(s[i])) || v > 1LL << 32)
      throw EConvertError("'" + s + "' is not a valid integer value");
    v = v * 10 + (s[i] - '0');
  }
  if (neg) v = -v;
  if (v < INT_MIN || v > INT_MAX) throw EConvertError("'" + s + "' is not a valid integer value");
  return static_cast<int>(v);
}

}  // namespace

void ParseTimeString(const std::string& text, TDateRec& rec)
{
  int count = 0;
  std::vector<std::string> tok = SplitFields(text, ".:", count);
  if (count < 1 || count > 3)
    throw EConvertError("invalid number of arguments in time-string (" +
                        std::to_string(count + 1) + ")");
  for (auto& t : tok) t = Upper(t);
  bool pm = false, marked = false;
  if (tok.size() >= 3) {
    const std::string& last = tok.back();
    marked = last == "AM" || last == "PM";
    pm = last == "PM";
    if (tok.size() == 4 && !marked)
      throw EConvertError("invalid item in time-string (" + last + ")");
  }
  int hour = StrToInt(tok[0]);
  if (hour < 0 || hour > 23)
    throw EConvertError("hour out of range in time-string (" + std::to_string(hour) + ")");
  if (pm && hour < 12) hour += 12;
  int minute = StrToInt(tok[1]);
  if (minute < 0 || minute > 59)
    throw EConvertError("minutes out of range in time-string (" + std::to_string(minute) + ")");
  int second = 0;
  if (tok.size() == 4 || (tok.size() == 3 && !marked)) second = StrToInt(tok[2]);
  if (second < 0 || second > 59)
    throw EConvertError("seconds out of range in time-string (" + std::to_string(second) + ")");
  rec.Hour = hour;
  rec.Minute = minute;
  rec.Second = second;
}

void ParseDateString(const std::string& text, TDateRec& rec)
{
  int count = 0;
  std::vector<std::string> tok = SplitFields(text, "./", count);
  if (count < 2 || count > 3)
    throw EConvertError("invalid number of arguments in date-string (" +
                        std::to_string(count + 1) + ")");
  if (tok.size() == 4) {
    std::string first = Upper(tok[0]);
    if (first == "BC" || first == "AD") std::rotate(tok.begin(), tok.begin() + 1, tok.end());
  }
  long long year = StrToInt(tok[0]);
  if (year <= 0) year -= 1;  // typed astronomically: 0 is 1 BC
  if (tok.size() == 4) {
    std::string era = Upper(tok[3]);
    if (era == "BC") {
      if (year > 0) year = -year;
    } else if (era != "AD") {
      throw EConvertError("invalid item in date-string (" + tok[3] + ")");
    }
  }
  if (year > 6000 || year < -6000)
    throw EConvertError("year out of range in date-string (" + tok[0] + ")");

  int month = 0, day = 0;
  if (int m = MonthFromName(tok[2])) {
    month = m;
    day = StrToInt(tok[1]);
  } else if (int m2 = MonthFromName(tok[1])) {
    month = m2;
    day = StrToInt(tok[2]);
  } else {
    month = StrToInt(tok[1]);
    day = StrToInt(tok[2]);
    if (month > 12 && day >= 1 && day <= 12) std::swap(month, day);
  }
  if (month < 1 || month > 12)
    throw EConvertError("month out of range in date-string (" + std::to_string(month) + ")");
  if (day <= 0)
    throw EConvertError("day out of range in date-string (" + std::to_string(day) + ")");

  rec.Day = day;
  rec.Month = month;
  rec.Year = static_cast<int>(year);
  FixDay(rec);
  CheckDateRange(rec);
}

// -------------------------------------------------------------- formatting

namespace {

std::string Padded(int n, bool pad)
{
  std::string s = std::to_string(n);
  return pad && n >= 0 && n < 10 ? "0" + s : s;
}

std::string Fixed(long double x, int decimals, bool pad)
{
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, static_cast<double>(x));
  std::string s = buf;
  return pad && x >= 0 && x < 10 ? "0" + s : s;
}

long double DayFraction(const TDateRec& rec)
{
  return rec.Hour / 24.0L + rec.Minute / 1440.0L + rec.Second / 86400.0L;
}

}  // namespace

std::string FormatDateRec(const TDateRec& rec, unsigned word)
{
  static const char* const timeSeps[] = {" ", ".", ":"};
  static const char* const dateSeps[] = {" ", ".", "/", ", ", "-"};
  static const char* const joinSeps[] = {" ", "  ", "   ", "-", " - ", ",", ", ", " , ", "/", " / "};
  // Field values outside the tables fall back to the first entry.
  auto pick = [](const char* const* table, unsigned n, unsigned i) { return table[i < n ? i : 0]; };

  bool padHour = word & 1u;
  const char* timeSep = pick(timeSeps, 3, (word >> 4) & 3u);
  unsigned timeStyle = (word >> 8) & 7u;
  bool padDate = (word >> 12) & 1u;
  bool astronomical = (word >> 13) & 1u;
  unsigned order = (word >> 16) & 7u;
  if (order > 5) order = 0;
  const char* dateSep = pick(dateSeps, 5, (word >> 20) & 7u);
  unsigned monthStyle = (word >> 24) & 3u;
  const char* joinSep = pick(joinSeps, 10, (word >> 28) & 15u);
  int decimals = timeStyle == 1 ? 4 : timeStyle == 2 ? 5 : 0;

  std::string date;
  if (monthStyle != 0) {
    std::string year;
    if (astronomical) {
      year = std::to_string(rec.Year < 0 ? static_cast<long long>(rec.Year) + 1 : rec.Year);
    } else {
      long long a = rec.Year < 0 ? -static_cast<long long>(rec.Year) : rec.Year;
      year = std::to_string(a);
      if (year.size() < 3) year.insert(0, 3 - year.size(), '0');
      if (rec.Year < 0) year = order <= 1 ? "BC " + year : year + " BC";
    }
    std::string month = monthStyle == 1 ? Padded(rec.Month, padDate)
                        : monthStyle == 2 ? MonthName(rec.Month).substr(0, 3)
                                          : MonthName(rec.Month);
    std::string day = decimals ? Fixed(rec.Day + DayFraction(rec), decimals, padDate)
                               : Padded(rec.Day, padDate);
    // Y, M, D positions for each order.
    static const char orders[6][4] = {"YMD", "YDM", "MYD", "MDY", "DYM", "DMY"};
    for (int i = 0; i < 3; ++i) {
      char f = orders[order][i];
      if (i > 0) date += monthStyle == 3 && orders[order][i - 1] == 'M' ? " " : dateSep;
      date += f == 'Y' ? year : f == 'M' ? month : day;
    }
  }

  std::string time;
  if (timeStyle == 3 || timeStyle == 4) {
    time = Padded(rec.Hour, padHour) + timeSep + Padded(rec.Minute, true);
    if (timeStyle == 4) time += timeSep + Padded(rec.Second, true);
  } else if (decimals && monthStyle == 0) {
    time = Fixed(DayFraction(rec), decimals, false);
  }

  if (!date.empty() && !time.empty()) return date + joinSep + time;
  return date.empty() ? time : date;
}

std::string DateTimeText(const TDateRec& rec) { return FormatDateRec(rec, 0x11203321); }
std::string DateText(const TDateRec& rec) { return FormatDateRec(rec, 0x01203000); }
std::string TimeText(const TDateRec& rec) { return FormatDateRec(rec, 0x00000321); }
