// sollumen-cli date, step and now: Julian dates and the date texts.
#include "Cli.h"

#include "astro/DatesAndTimes.h"

#include <climits>
#include <cstdio>

namespace {

// The five lines every date command prints.
void PrintInstant(std::ostream& out, const TDateRec& rec)
{
  char jd[64];
  std::snprintf(jd, sizeof jd, "%.6Lf", DateRecToJD(rec));
  out << "jd " << jd << "\n"
      << "date " << DateText(rec) << "\n"
      << "time " << TimeText(rec) << "\n"
      << "datetime " << DateTimeText(rec) << "\n"
      << "caption " << FormatDateRec(rec, 0x23002321) << "\n";
}

// Reads DATE and TIME onto 2000/01/01 00:00:00 UT. The time goes first so
// that the date's range check sees the whole instant.
TDateRec ParseInstant(const std::string& date, const std::string* time)
{
  TDateRec rec;
  rec.Day = 1;
  rec.Month = 1;
  rec.Year = 2000;
  rec.Hour = rec.Minute = rec.Second = rec.Zone = 0;
  if (time) ParseTimeString(*time, rec);
  ParseDateString(date, rec);
  return rec;
}

void RunDate(const CliArgs& args, std::ostream& out)
{
  if (!args.empty() && args[0] == "--jd") {
    if (args.size() != 2) throw UsageError("expected: date --jd JD");
    long double jd = ParseReal(args[1], "Julian date");
    if (jd < MinJD || jd > MaxJD)
      throw UsageError("Julian date " + args[1] + " is outside the range 0 .. 4000000");
    PrintInstant(out, JDToDateRec(0, jd));
    return;
  }
  if (args.empty() || args.size() > 2) throw UsageError("expected: date DATE [TIME]");
  PrintInstant(out, ParseInstant(args[0], args.size() == 2 ? &args[1] : nullptr));
}

void RunStep(const CliArgs& args, std::ostream& out)
{
  if (args.size() != 4) throw UsageError("expected: step DATE TIME UNIT COUNT");
  long long unit = ParseInteger(args[2], "unit");
  if (unit < 0 || unit > 10) throw UsageError("unit must be 0 .. 10, not " + args[2]);
  long long count = ParseInteger(args[3], "count");
  if (count < INT_MIN || count > INT_MAX) throw UsageError("count out of range: " + args[3]);
  TDateRec rec = ParseInstant(args[0], &args[1]);
  try {
    AddTimeSteps(rec, static_cast<int>(unit), static_cast<int>(count));
  } catch (const EUnderflow& e) {
    PrintInstant(out, rec);
    throw PartialResult(e.what());
  } catch (const EOverflow& e) {
    PrintInstant(out, rec);
    throw PartialResult(e.what());
  }
  PrintInstant(out, rec);
}

void RunNow(const CliArgs& args, std::ostream& out)
{
  if (!args.empty()) throw UsageError("expected: now");
  PrintInstant(out, NowUT());
}

const char* const InstantLines =
    "Prints five lines:\n"
    "  jd JD                 Julian date (UT), six decimals\n"
    "  date YYYY/MM/DD\n"
    "  time HH:MM\n"
    "  datetime YYYY/MM/DD  HH:MM\n"
    "  caption YYYY Month D   HH:MM\n"
    "Years are written in astronomical numbering (1 BC is 0, 44 BC is -43).\n";

const std::string DateHelp = std::string(
    "usage: sollumen-cli date DATE [TIME]\n"
    "       sollumen-cli date --jd JD\n\n"
    "Reads a date (and time, default 00:00:00) in Universal Time, or a Julian\n"
    "date between 0 and 4000000, and prints the instant.\n\n"
    "DATE is year, month, day: '2000/01/15', '2000 1 15', '2000 Jan 15',\n"
    "'2000 15 january'; BC or AD may stand first or last ('44 3 15 BC');\n"
    "a year of 0 or below is astronomical ('0/1/1' is 1 BC). The Julian\n"
    "calendar holds up to 1582 October 4, the Gregorian from October 15.\n"
    "TIME is HH:MM[:SS] with an optional AM or PM ('10:30 PM').\n\n") + InstantLines +
    "\nA date that cannot be read or lies outside 4713 BC January 1, 12:00 ..\n"
    "6239 July 12, 12:00 prints a message on stderr and exits with status 2.\n";

const std::string StepHelp = std::string(
    "usage: sollumen-cli step DATE TIME UNIT COUNT\n\n"
    "Moves the instant DATE TIME (UT; formats as for 'date') by COUNT steps\n"
    "(signed) of UNIT:\n"
    "  0 minute  1 hour  2 sidereal day  3 day  4 sidereal month\n"
    "  5 tropical month  6 synodic month  7 calendar month  8 calendar year\n"
    "  9 sidereal year  10 tropical year\n"
    "Calendar months and years keep the day, clamped to the month's end\n"
    "(2001/01/31 plus one month is 2001/02/28).\n\n") + InstantLines +
    "\nIf the result leaves the range, the instant clamped to the range is\n"
    "printed, the message goes to stderr and the exit status is 2.\n";

const std::string NowHelp = std::string(
    "usage: sollumen-cli now\n\n"
    "Prints the current instant from the system clock, in Universal Time.\n\n") + InstantLines;

const CliCommand DateCommand("date", "date DATE [TIME] | date --jd JD   Julian date and date texts",
                             DateHelp.c_str(), RunDate);
const CliCommand StepCommand("step", "step DATE TIME UNIT COUNT   move an instant by time steps",
                             StepHelp.c_str(), RunStep);
const CliCommand NowCommand("now", "now   the current instant (UT)", NowHelp.c_str(), RunNow);

}  // namespace
