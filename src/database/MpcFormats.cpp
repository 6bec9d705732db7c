#include "database/MpcFormats.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>

namespace {

// Gaussian constant over a^1.5: the MPC's mean daily motion in degrees.
constexpr double MpcDailyMotion = 0.9856076686;

constexpr std::size_t NameCharacters = 32;
constexpr std::size_t ReferenceCharacters = 16;

// Columns first ... last (1-based, inclusive) of a line, as far as the line
// reaches: a short line reads as if padded with blanks.
std::string_view Col(std::string_view line, std::size_t first, std::size_t last)
{
  if (first > line.size()) return {};
  return line.substr(first - 1, last - first + 1);
}

std::string_view Trim(std::string_view s)
{
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

bool IsBlank(std::string_view s) { return Trim(s).empty(); }

bool ParseDouble(std::string_view field, double& value)
{
  std::string_view s = Trim(field);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  return ec == std::errc() && end == s.data() + s.size() && std::isfinite(value);
}

bool ParseInt(std::string_view field, int& value)
{
  std::string_view s = Trim(field);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  return ec == std::errc() && end == s.data() + s.size();
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }

// 0-9, A-Z = 10-35, a-z = 36-61; -1 for anything else.
int Base62(char c)
{
  if (IsDigit(c)) return c - '0';
  if (IsUpper(c)) return c - 'A' + 10;
  if (IsLower(c)) return c - 'a' + 36;
  return -1;
}

// 1-9, A = 10 ... V = 31 (packed months and days).
int PackedDayOrMonth(char c)
{
  if (c >= '1' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'V') return c - 'A' + 10;
  return -1;
}

double Reduce360(double degrees)
{
  double r = std::fmod(degrees, 360.0);
  if (r < 0) r += 360.0;
  if (r >= 360.0) r = 0.0;  // -tiny + 360 rounds up to 360
  return r;
}

// Bytes below blank and DEL break the fixed columns; high bytes must be
// UTF-8, since the texts go into the table as they are.
bool CheckText(std::string_view line, std::string& reason)
{
  for (std::size_t i = 0; i < line.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    if (c >= 0x20 && c < 0x7F) continue;
    if (c < 0x80) {
      reason = "control character in column " + std::to_string(i + 1);
      return false;
    }
    int follow = c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : -1;
    if (c >= 0xF5) follow = -1;
    bool ok = follow > 0 && i + follow < line.size();
    for (int k = 1; ok && k <= follow; ++k)
      ok = (static_cast<unsigned char>(line[i + k]) & 0xC0) == 0x80;
    if (!ok) {
      reason = "not a text character in column " + std::to_string(i + 1);
      return false;
    }
    i += follow;
  }
  return true;
}

std::string Quote(std::string_view field)
{
  std::string q(1, '\'');
  q += Trim(field);
  q += '\'';
  return q;
}

bool Fail(std::string& reason, const char* columns, const char* what, std::string_view field)
{
  reason = std::string("columns ") + columns + " (" + what + "): ";
  reason += IsBlank(field) ? std::string("missing") : Quote(field) + " does not parse";
  return false;
}

bool NumberField(std::string_view line, std::size_t first, std::size_t last, const char* columns,
                 const char* what, double& value, std::string& reason)
{
  const std::string_view field = Col(line, first, last);
  return ParseDouble(field, value) || Fail(reason, columns, what, field);
}

const char* const AsteroidClasses[] = {
    "Main belt/other", "Atira",    "Aten",  "Apollo",         "Amor",          "Mars-crosser",
    "Hungaria",        "Phocaea",  "Hilda", "Jupiter Trojan", "Distant object"};

std::string_view CometClass(char type)
{
  switch (type) {
  case 'P': return "Periodic comet";
  case 'C': return "Non-periodic comet";
  case 'D': return "Defunct comet";
  case 'X': return "Uncertain comet";
  case 'I': return "Interstellar object";
  case 'A': return "Comet-like asteroid";
  default: return {};
  }
}

// The readable designation of columns 167-194: "(433) Eros" gives 433 and
// "Eros"; without a leading number, number 0.
void SplitReadable(std::string_view readable, std::int32_t& number, std::string_view& name)
{
  number = 0;
  name = Trim(readable);
  if (name.empty() || name.front() != '(') return;
  const std::size_t close = name.find(')');
  if (close == std::string_view::npos || close < 2) return;
  std::int32_t n = 0;
  auto [end, ec] = std::from_chars(name.data() + 1, name.data() + close, n);
  if (ec != std::errc() || end != name.data() + close || n <= 0) return;
  number = n;
  name = Trim(name.substr(close + 1));
}

}  // namespace

std::string_view CutToCharacters(std::string_view text, std::size_t characters)
{
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;  // continuation byte
    if (count == characters) return Trim(text.substr(0, i));
    ++count;
  }
  return text;
}

bool IsDashesLine(std::string_view line)
{
  std::string_view s = line;
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r')) s.remove_suffix(1);
  if (s.size() < 10) return false;
  for (char c : s)
    if (c != '-') return false;
  return true;
}

bool UnpackNumber(std::string_view p, std::int32_t& number)
{
  if (p.size() != 5) return false;
  if (p[0] == '~') {
    std::int32_t v = 0;
    for (int i = 1; i < 5; ++i) {
      const int d = Base62(p[i]);
      if (d < 0) return false;
      v = v * 62 + d;
    }
    number = 620000 + v;
    return true;
  }
  const int high = Base62(p[0]);
  if (high < 0) return false;
  std::int32_t v = 0;
  for (int i = 1; i < 5; ++i) {
    if (!IsDigit(p[i])) return false;
    v = v * 10 + (p[i] - '0');
  }
  number = high * 10000 + v;
  return number > 0;
}

std::string PackNumber(std::int32_t number)
{
  static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  if (number <= 0 || number > 15396335) return {};
  std::string s(5, '0');
  if (number >= 620000) {
    std::int32_t v = number - 620000;
    s[0] = '~';
    for (int i = 4; i >= 1; --i, v /= 62) s[i] = digits[v % 62];
    return s;
  }
  std::int32_t v = number % 10000;
  for (int i = 4; i >= 1; --i, v /= 10) s[i] = digits[v % 10];
  s[0] = digits[number / 10000];
  return s;
}

bool UnpackProvisional(std::string_view p, std::string& readable)
{
  if (p.size() != 7) return false;
  // Survey designations: "PLS2040" = 2040 P-L, "T1S3138" = 3138 T-1.
  if (p.substr(2, 1) == "S" && (p.substr(0, 2) == "PL" || p.substr(0, 2) == "T1" ||
                                p.substr(0, 2) == "T2" || p.substr(0, 2) == "T3")) {
    for (int i = 3; i < 7; ++i)
      if (!IsDigit(p[i])) return false;
    readable.assign(p.substr(3, 4));
    readable += ' ';
    readable += p[0];
    readable += '-';
    readable += p[0] == 'P' ? 'L' : p[1];
    return true;
  }
  // Century: I = 18, J = 19, K = 20 (letters generally from A = 10); the
  // digits 0-9 for the years 0-999.
  int century;
  if (IsUpper(p[0])) century = p[0] - 'A' + 10;
  else if (IsDigit(p[0])) century = p[0] - '0';
  else return false;
  if (!IsDigit(p[1]) || !IsDigit(p[2])) return false;
  const int year = century * 100 + (p[1] - '0') * 10 + (p[2] - '0');
  const char half = p[3];
  if (!IsUpper(half) || half == 'I' || half == 'Z') return false;
  const int tens = Base62(p[4]);
  if (tens < 0 || !IsDigit(p[5])) return false;
  const int order = tens * 10 + (p[5] - '0');
  const char last = p[6];
  readable = std::to_string(year) + " " + half;
  if (IsUpper(last) && last != 'I') {  // asteroid style: second letter, cycle count
    readable += last;
    if (order > 0) readable += std::to_string(order);
    return true;
  }
  if (order == 0) return false;  // comets count from 1
  readable += std::to_string(order);
  if (last == '0') return true;
  if (!IsLower(last)) return false;
  readable += '-';
  readable += static_cast<char>(last - 'a' + 'A');
  return true;
}

bool UnpackEpoch(std::string_view p, int& year, int& month, int& day)
{
  if (p.size() != 5 || !IsUpper(p[0]) || !IsDigit(p[1]) || !IsDigit(p[2])) return false;
  year = (p[0] - 'A' + 10) * 100 + (p[1] - '0') * 10 + (p[2] - '0');
  month = PackedDayOrMonth(p[3]);
  day = PackedDayOrMonth(p[4]);
  return IsCalendarDate(year, month, day);
}

bool IsCalendarDate(int year, int month, int day)
{
  if (month < 1 || month > 12 || day < 1) return false;
  if (year == 1582 && month == 10 && day > 4 && day < 15) return false;
  const bool gregorian = year > 1582 || (year == 1582 && month > 10);
  // Astronomical years: year 0 and -4 are leap years in the Julian calendar.
  const bool leap = gregorian ? (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0))
                              : ((year % 4) + 4) % 4 == 0;
  static const int length[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return day <= length[month - 1] + (month == 2 && leap ? 1 : 0);
}

double CalendarJulianDate(int year, int month, double day)
{
  const bool gregorian = year > 1582 || (year == 1582 && (month > 10 || (month == 10 && day >= 15)));
  int y = year, m = month;
  if (m <= 2) {
    y -= 1;
    m += 12;
  }
  double b = 0;
  if (gregorian) {
    const int c = static_cast<int>(std::floor(y / 100.0));
    b = 2 - c + static_cast<int>(std::floor(c / 4.0));
  }
  return std::floor(365.25 * (y + 4716)) + std::floor(30.6001 * (m + 1)) + day + b - 1524.5;
}

TLineKind ParseMinorPlanetLine(std::string_view line, TImportRow& row, std::string& reason)
{
  while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (!CheckText(line, reason)) return TLineKind::Malformed;
  const auto bad = TLineKind::Malformed;

  // Columns 1-7: a packed number (columns 6-7 blank) or a provisional
  // designation.
  const std::string_view designation = Col(line, 1, 7);
  row.Numbered = false;
  row.Number = 0;
  bool provisional = false;
  if (IsBlank(designation)) {
    reason = "columns 1-7 (number or designation): missing";
    return bad;
  }
  if (IsBlank(Col(line, 6, 7))) {
    if (!UnpackNumber(Col(line, 1, 5), row.Number)) {
      reason = "columns 1-5 (packed number): " + Quote(Col(line, 1, 5)) + " is no packed number";
      return bad;
    }
    row.Numbered = true;
  } else if (!(provisional = UnpackProvisional(designation, row.NameBuffer))) {
    reason = "columns 1-7 (packed designation): " + Quote(designation) +
             " is no packed designation";
    return bad;
  }

  int year, month, day;
  if (!UnpackEpoch(Col(line, 21, 25), year, month, day)) {
    reason = "columns 21-25 (packed epoch): ";
    reason += IsBlank(Col(line, 21, 25)) ? "missing" : Quote(Col(line, 21, 25)) + " is no packed date";
    return bad;
  }
  row.Date = CalendarJulianDate(year, month, day);

  double peri, node;
  if (!NumberField(line, 27, 35, "27-35", "mean anomaly", row.M, reason) ||
      !NumberField(line, 38, 46, "38-46", "argument of perihelion", peri, reason) ||
      !NumberField(line, 49, 57, "49-57", "ascending node", node, reason) ||
      !NumberField(line, 60, 68, "60-68", "inclination", row.I, reason) ||
      !NumberField(line, 71, 79, "71-79", "eccentricity", row.E, reason) ||
      !NumberField(line, 93, 103, "93-103", "semi-major axis", row.A, reason))
    return bad;
  if (row.E < 0) {
    reason = "columns 71-79 (eccentricity): negative";
    return bad;
  }
  if (row.E < 1 && row.A <= 0) {
    reason = "columns 93-103 (semi-major axis): not positive";
    return bad;
  }
  row.OHM = node;
  row.NW = Reduce360(node + peri);

  // Flags: the orbit type in the low six bits, NEO 0x0800, PHA 0x8000.
  unsigned flags = 0;
  const std::string_view flagText = Trim(Col(line, 162, 165));
  if (!flagText.empty()) {
    auto [end, ec] = std::from_chars(flagText.data(), flagText.data() + flagText.size(), flags, 16);
    if (ec != std::errc() || end != flagText.data() + flagText.size()) {
      reason = "columns 162-165 (flags): " + Quote(flagText) + " is no hexadecimal number";
      return bad;
    }
  }
  const unsigned type = flags & 0x3F;
  if (type < std::size(AsteroidClasses)) {
    row.Class = AsteroidClasses[type];
  } else {
    const auto [end, ec] = std::to_chars(row.ClassBuffer + 5, row.ClassBuffer + sizeof row.ClassBuffer, type);
    std::copy_n("Type ", 5, row.ClassBuffer);
    row.Class = std::string_view(row.ClassBuffer, end - row.ClassBuffer);
    (void)ec;
  }
  row.IsNEA = (flags & 0x0800) ? 'Y' : 'N';
  row.IsPHA = (flags & 0x8000) ? 'Y' : 'N';

  // The readable designation: one piece of text (a seven-digit number runs
  // past column 174).
  std::int32_t readableNumber;
  std::string_view name;
  SplitReadable(Col(line, 167, 194), readableNumber, name);
  if (!row.Numbered && readableNumber > 0) {
    row.Numbered = true;
    row.Number = readableNumber;
  }
  if (name.empty()) {
    // No readable designation: the provisional one, or the number.
    if (!provisional) row.NameBuffer = std::to_string(row.Number);
    name = row.NameBuffer;
  }
  row.Name = CutToCharacters(name, NameCharacters);
  row.Reference = CutToCharacters(Trim(Col(line, 108, 116)), ReferenceCharacters);
  row.Computer = CutToCharacters(Trim(Col(line, 151, 160)), ReferenceCharacters);
  if (row.E < 1) return TLineKind::Row;
  reason = "eccentricity " + std::string(Trim(Col(line, 71, 79))) + ": no ellipse";
  return TLineKind::NotElliptic;
}

TLineKind ParseCometLine(std::string_view line, TImportRow& row, std::string& reason)
{
  while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (!CheckText(line, reason)) return TLineKind::Malformed;
  const auto bad = TLineKind::Malformed;
  row.Numbered = false;
  row.Number = 0;

  // Columns 1-12: periodic number, orbit type, provisional designation or
  // fragment letters.
  const std::string_view number = Col(line, 1, 4);
  if (!IsBlank(number)) {
    for (char c : number)
      if (!IsDigit(c)) {
        reason = "columns 1-4 (periodic number): " + Quote(number) + " does not parse";
        return bad;
      }
    if (number.size() < 4) {
      reason = "columns 1-4 (periodic number): incomplete";
      return bad;
    }
  }
  const char type = line.size() >= 5 ? line[4] : ' ';
  row.Class = CometClass(type);
  if (row.Class.empty()) {
    reason = std::string("column 5 (orbit type): '") + (type == ' ' ? "" : std::string(1, type)) +
             "' is none of C, P, D, X, I, A";
    return bad;
  }
  const std::string_view packed = Col(line, 6, 12);
  if (!IsBlank(number)) {
    const std::string_view fragment = Trim(Col(line, 11, 12));
    bool ok = IsBlank(Col(line, 6, 10));
    for (char c : fragment) ok = ok && IsLower(c);
    if (!ok) {
      reason = "columns 6-12 (fragment of a numbered comet): " + Quote(packed) + " does not parse";
      return bad;
    }
  } else if (!IsBlank(packed) && !UnpackProvisional(packed, row.NameBuffer)) {
    reason = "columns 6-12 (packed designation): " + Quote(packed) + " is no packed designation";
    return bad;
  }

  // Perihelion passage T.
  int tYear, tMonth;
  double tDay;
  if (!ParseInt(Col(line, 15, 18), tYear) || !ParseInt(Col(line, 20, 21), tMonth) ||
      !ParseDouble(Col(line, 23, 29), tDay) || tDay < 1 || tDay >= 32 ||
      !IsCalendarDate(tYear, tMonth, static_cast<int>(tDay))) {
    reason = "columns 15-29 (perihelion time): " + Quote(Col(line, 15, 29)) + " is no date";
    return bad;
  }
  const double t = CalendarJulianDate(tYear, tMonth, tDay);

  double q, peri, node;
  if (!NumberField(line, 31, 39, "31-39", "perihelion distance", q, reason) ||
      !NumberField(line, 42, 49, "42-49", "eccentricity", row.E, reason) ||
      !NumberField(line, 52, 59, "52-59", "argument of perihelion", peri, reason) ||
      !NumberField(line, 62, 69, "62-69", "ascending node", node, reason) ||
      !NumberField(line, 72, 79, "72-79", "inclination", row.I, reason))
    return bad;
  if (q <= 0) {
    reason = "columns 31-39 (perihelion distance): not positive";
    return bad;
  }
  if (row.E < 0) {
    reason = "columns 42-49 (eccentricity): negative";
    return bad;
  }

  // The epoch; without one the elements stand at T.
  const std::string_view epoch = Col(line, 82, 89);
  bool hasEpoch = !IsBlank(epoch);
  if (hasEpoch) {
    int y, m, d;
    if (Trim(epoch).size() < 7 || !ParseInt(Col(line, 82, 85), y) ||
        !ParseInt(Col(line, 86, 87), m) || !ParseInt(Col(line, 88, 89), d) ||
        Col(line, 86, 86) == " " || Col(line, 88, 88) == " " || !IsCalendarDate(y, m, d)) {
      reason = "columns 82-89 (epoch): " + Quote(epoch) + " is no date";
      return bad;
    }
    row.Date = CalendarJulianDate(y, m, d);
  } else {
    row.Date = t;
  }

  row.OHM = node;
  row.NW = Reduce360(node + peri);
  row.IsNEA = row.IsPHA = 'N';
  row.Name = CutToCharacters(Trim(Col(line, 103, 158)), NameCharacters);
  row.Reference = CutToCharacters(Trim(line.size() >= 160 ? line.substr(159) : std::string_view()),
                                  ReferenceCharacters);
  row.Computer = {};
  if (row.E >= 1) {
    reason = "eccentricity " + std::string(Trim(Col(line, 42, 49))) + ": no ellipse";
    return TLineKind::NotElliptic;
  }
  row.A = q / (1 - row.E);
  const double n = MpcDailyMotion / std::pow(row.A, 1.5);
  row.M = hasEpoch ? Reduce360(n * (row.Date - t)) : 0.0;
  if (!std::isfinite(row.A) || !std::isfinite(row.M)) {
    reason = "columns 31-49: no finite semi-major axis";
    return bad;
  }
  return TLineKind::Row;
}
