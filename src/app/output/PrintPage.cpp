#include "app/output/PrintPage.h"

#include "app/widgets/QtCanvas.h"
#include "app/output/OutputTexts.h"
#include "stream/ByteStreams.h"

#include <QPrinter>

#include <algorithm>
#include <stdexcept>

const char* const PrintDocumentTitle = "Sollumen document";

void PreparePrinter(QPrinter& printer, int copies)
{
  printer.setCopyCount(std::max(1, copies));
  printer.setDocName(PrintDocumentTitle);
  // Qt knows no print quality; medium quality is taken as 300 dots per
  // inch, the resolution the scene's print size mode 1 is made for.
  printer.setResolution(PrintResolution);
}

void PrintScenePage(QPrinter& printer, TSolarSystem& scene, int colorMode,
                    const std::vector<std::string>& lines)
{
  int pages = 1;
  if (!printer.supportsMultipleCopies()) {
    pages = printer.copyCount();
    printer.setCopyCount(1);
  }
  const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
  const TPageGeometry g = PrintPageGeometry(area.width(), area.height());

  TQtCanvas canvas(&printer);
  if (!canvas.Painter().isActive()) {
    scene.ForgetCanvas(&canvas);
    const std::string name = printer.printerName().toStdString();
    throw std::runtime_error(name.empty() ? std::string("Printing could not start.")
                                          : "Printing could not start on " + name + ".");
  }
  QFont font("Arial");
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(10);
  canvas.SetFont(font);
  for (int page = 0; page < pages; ++page) {
    if (page > 0) printer.newPage();
    scene.Paint(&canvas, g.Left, g.Top, g.Size, g.Size, colorMode, g.SizeMode);
    canvas.SetFontColor(CaptionColor(scene.BgColor, colorMode));
    int y = g.TextY;
    for (const std::string& line : lines) {
      canvas.TextOut(g.TextX, y, line);
      y += canvas.TextHeight(line);
    }
  }
  scene.ForgetCanvas(&canvas);
  if (!canvas.Painter().end()) throw std::runtime_error("Printing failed.");
}

void PrintScenePageToPdf(QPrinter& printer, const std::string& path, TSolarSystem& scene,
                         int colorMode, const std::vector<std::string>& lines)
{
  // The stream only reserves the temporary file; the printer writes it.
  TReplacingFileStream file(path);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(file.TemporaryPath().string()));
  try {
    PrintScenePage(printer, scene, colorMode, lines);
  } catch (...) {
    printer.setOutputFileName({});
    throw;
  }
  printer.setOutputFileName({});
  file.Commit();
}
