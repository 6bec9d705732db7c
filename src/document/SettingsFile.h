// The settings file "sl.ini": what belongs to the installation rather than to
// a document (window places, the active tab, stay-on-top choices, the image
// export size and directory, the minor-body table in use).
//
// The file is an initialisation file of [sections] and key=value lines;
// section and key names are compared without regard to case. This module
// reads and writes the plain TSettings value; the window applies it.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

// "Unable to write to " followed by the file name.
class ESettingsWriteError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Defaults are the windows' design values; the window passes its current
// values instead when it has them.
struct TSettings {
  // [MainForm]
  int MainTop = 260;
  int MainLeft = 508;
  int MainWidth = 744;
  int MainHeight = 631;
  int MainPage = 1;  // 0 Time, 1 View, 2 Objects; other values select no page
  // [DescriptionForm]
  int DescriptionTop = 130;
  int DescriptionLeft = 635;
  int DescriptionWidth = 335;
  int DescriptionHeight = 292;
  bool DescriptionStayOnTop = false;
  // [MonitorForm]
  int MonitorTop = 478;
  int MonitorLeft = 891;
  bool MonitorStayOnTop = false;
  // [Colors], written for reference and never read: Color0 is always 0.
  int BgColor = 0;
  int GridColor = 0;
  // [Bitmap]
  int BitmapSize = 500;
  std::string BitmapPath;  // the caller's default is the program directory
  // [Database]
  std::string DatabasePath;
  std::string DatabaseTable = "MPC (10000).db";
  // [MinorBodies] Motion=perturbed|kepler: how listed minor bodies move.
  // Written once it differs from the default or the file has it, so that a
  // file stays as older builds wrote it until the choice is made.
  bool PerturbedMotion = true;
  // [Documents]: the folder documents were last opened from or saved to
  // (empty: the user's documents folder).
  std::string DocumentPath;
  // [Print]: the colour scheme last printed with (0 black on white,
  // 1 white on black, 2 colour, 3 colour on white), the folder of the last
  // PDF file, and whether the description is printed below the picture.
  int PrintScheme = 0;
  std::string PrintPdfPath;
  bool PrintDescription = false;
};

// Reads the file over the given defaults: a missing or unreadable file, a
// missing key or a value that is not a number leaves the default. Integers
// are decimal or "0x" hexadecimal; Booleans are integers, true when not 0;
// text is cut at 2047 characters. A table directory that does not exist is
// replaced by programDir.
TSettings ReadSettingsFile(const std::filesystem::path& fileName, const TSettings& defaults,
                           const std::string& programDir);

// Writes every key, section by section in a fixed order, keeping every other
// line of an existing file as it is. The new content goes to a temporary file
// that replaces the old one only when complete, so a failure leaves the old
// file intact. Throws ESettingsWriteError.
void WriteSettingsFile(const std::filesystem::path& fileName, const TSettings& settings);

// The integer rule of the file: decimal with an optional sign, or "0x"/"0X"
// and up to eight hexadecimal digits (taken as a 32-bit pattern, so
// 0xFFFFFFFF is -1). False for anything else, including values out of range.
bool ParseSettingsInteger(const std::string& text, int& value);
