// What printed pages and exported images share: the page geometry, the two
// text lines under the picture, their colours, and the naming rules of
// exported files. Plain functions without Qt, so they can be tested alone.
#pragma once

#include "astro/DatesAndTimes.h"
#include "scene/Canvas.h"  // TColor

#include <string>

// The square picture on a printed page of width x height device pixels
// (the printable area) and where its text lines start.
struct TPageGeometry {
  int Size = 0;  // edge of the square
  int Left = 0;
  int Top = 0;
  int SizeMode = 1;  // 2 on pages fine enough for it
  int TextX = 0;
  int TextY = 0;
};
TPageGeometry PrintPageGeometry(int width, int height);

// Nearest integer, an exact half going to the even neighbour.
int RoundHalfEven(double value);

// "2000/01/01 - 12:00UT (JD 2451545.000)".
std::string InstantLine(const TDateRec& time);
// "X-Y-plane, centered to Sun" for planes 0 X-Y, 1 X-Z, 2 Z-Y, 3 3D.
std::string ViewLine(int plane, const std::string& centerText);

// The colour of the text lines: the complement of the background as
// painted, the scene's background in colour mode 2 (as on screen), white in
// modes 0 and 3, black in mode 1. So pages in black on white and colour on
// white get black text, white on black white text, and a picture in screen
// colours the complement of its background, where black would vanish.
TColor CaptionColor(TColor bgColor, int colorMode);

// ---- names of exported files
// The directory part of a path, with its final separator ("" for none).
std::string DirectoryPart(const std::string& path);
// The name part of a path (after the last separator).
std::string NamePart(const std::string& path);
// The file the export proposes: the current document's name with ".png" in
// the export directory; just the directory for no document or "last.orb".
std::string ProposeExportFileName(const std::string& documentFileName,
                                  const std::string& bitmapPath);
// What the name field shows for a proposed path: the path, or
// "default.png" when its name part is empty or blank.
std::string ExportFieldText(const std::string& path);
// The file written for what the name field holds: ".png" appended unless
// the extension is ".png" or ".bmp" (any case), and `exportDir` put in
// front of a bare name.
std::string CompleteExportFileName(const std::string& fieldText, const std::string& exportDir);
// True when the name ends in ".bmp" (any case).
bool IsBmpFileName(const std::string& path);

// ---- names of films
// The film the window proposes: the current document's name with ".mp4"
// in the directory (the directory alone for no document or "last.orb").
std::string ProposeFilmFileName(const std::string& documentFileName, const std::string& dir);
// The file written for what the film's name field holds: ".mp4" appended
// to a name without an extension (any other extension is kept, to be
// refused if no film format has it), `dir` put in front of a bare name.
std::string CompleteFilmFileName(const std::string& fieldText, const std::string& dir);
