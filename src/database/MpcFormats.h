// The Minor Planet Center's one-line element formats: the minor-planet
// format of MPCORB.DAT (and its extracts) and the comet format of
// CometEls.txt, read line by line into the fields of a minor-body table
// row. Fixed columns, no allocation on the good path: the texts of a row
// point into the line they were read from.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// One row as read from a line, in the table's field units. Name, Reference
// and Computer view the source line (valid while it is); Class views static
// text or ClassBuffer.
struct TImportRow {
  bool Numbered = false;      // minor planets with a number; NO = Number
  std::int32_t Number = 0;
  std::string_view Name;      // trimmed, at most 32 characters
  double M = 0, NW = 0, OHM = 0, I = 0, E = 0, A = 0, Date = 0;
  std::string_view Class;
  char ClassBuffer[24] = {};
  char IsNEA = 'N', IsPHA = 'N';
  std::string_view Reference, Computer;
  std::string NameBuffer;     // a name made from the designation; reused
};

// What became of a line.
enum class TLineKind {
  Row,          // a row for the table
  NotElliptic,  // well formed, but e >= 1: no ellipse (left out, counted)
  Malformed     // a field is missing or does not parse; `reason` says which
};

TLineKind ParseMinorPlanetLine(std::string_view line, TImportRow& row, std::string& reason);
TLineKind ParseCometLine(std::string_view line, TImportRow& row, std::string& reason);

// True for a line of dashes (the end of MPCORB.DAT's header).
bool IsDashesLine(std::string_view line);

// Packed fields, exposed for tests and tools. Each returns false when the
// text is no valid packed form.
// Packed minor-planet number, all three styles: "00433", "D4340", "~AZaz".
bool UnpackNumber(std::string_view packed, std::int32_t& number);
// Packs a number 1 ... 15396335 (the inverse of UnpackNumber); empty when
// out of range.
std::string PackNumber(std::int32_t number);
// Packed provisional designation, asteroid ("K02PF3D" -> "2002 PD153",
// "PLS2040" -> "2040 P-L") or comet style ("J95O010" -> "1995 O1",
// "K19Y04b" -> "2019 Y4-B").
bool UnpackProvisional(std::string_view packed, std::string& readable);
// Packed epoch "K2289" -> 2022-08-09.
bool UnpackEpoch(std::string_view packed, int& year, int& month, int& day);

// Julian date of a calendar date (astronomical year; Julian calendar up to
// 1582 October 4, Gregorian from October 15; `day` may carry a fraction).
double CalendarJulianDate(int year, int month, double day);
// True when the date exists in that calendar (1582 October 5-14 do not).
bool IsCalendarDate(int year, int month, int day);

// Names are cut to this many characters (UTF-8 code points).
std::string_view CutToCharacters(std::string_view text, std::size_t characters);
