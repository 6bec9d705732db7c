// The printed page: the scene in a square on one page with the two text
// lines at its top left, on any printer or into a PDF file. Needs no
// widgets (the command line prints too).
#pragma once

#include "scene/SolarSystem.h"

#include <string>
#include <vector>

class QPrinter;
class QTextDocument;

// The document title of every printing.
extern const char* const PrintDocumentTitle;  // "Sollumen document"
// The resolution the medium print quality stands for.
constexpr int PrintResolution = 300;

// What every printing imposes on the printer: the number of copies, the
// document title and the medium print quality.
void PreparePrinter(QPrinter& printer, int copies);

// Prints the page (copies as prepared) in a colour scheme 0..3. A printer
// that cannot make copies itself (a PDF file) gets one page per copy.
// Throws std::runtime_error when the printer refuses; the scene keeps the
// printer's canvas remembered until the caller paints it elsewhere.
// With a description, its rich text fills the free lower part of the page,
// below the picture and as wide as it.
void PrintScenePage(QPrinter& printer, TSolarSystem& scene, int colorMode,
                    const std::vector<std::string>& lines,
                    const QTextDocument* description = nullptr);

// Prints into a PDF file through a temporary file beside it, which
// replaces the file only when the page is complete.
void PrintScenePageToPdf(QPrinter& printer, const std::string& path, TSolarSystem& scene,
                         int colorMode, const std::vector<std::string>& lines,
                         const QTextDocument* description = nullptr);
