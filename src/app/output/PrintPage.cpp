#include "app/output/PrintPage.h"

#include "app/widgets/QtCanvas.h"
#include "app/output/OutputTexts.h"
#include "stream/ByteStreams.h"

#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

#include <algorithm>
#include <memory>
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

namespace {

// The description in the rectangle below the picture: laid out at the
// screen's 96 dots per inch and scaled to the printer's resolution.
void PrintDescription(QPainter& painter, const QTextDocument& description, const QRect& area,
                      int resolution)
{
  if (area.width() <= 0 || area.height() <= 0) return;
  const double scale = resolution / 96.0;
  std::unique_ptr<QTextDocument> text(description.clone());
  text->setTextWidth(area.width() / scale);
  painter.save();
  painter.translate(area.topLeft());
  painter.scale(scale, scale);
  text->drawContents(&painter, QRectF(0, 0, area.width() / scale, area.height() / scale));
  painter.restore();
}

}  // namespace

void PrintScenePage(QPrinter& printer, TSolarSystem& scene, int colorMode,
                    const std::vector<std::string>& lines, const QTextDocument* description)
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
    if (description) {
      const int gap = g.Size / 40;
      const QRect below(g.Left, g.Top + g.Size + gap, g.Size,
                        area.height() - (g.Top + g.Size + gap) - gap);
      PrintDescription(canvas.Painter(), *description, below, printer.resolution());
    }
  }
  scene.ForgetCanvas(&canvas);
  if (!canvas.Painter().end()) throw std::runtime_error("Printing failed.");
}

void PrintScenePageToPdf(QPrinter& printer, const std::string& path, TSolarSystem& scene,
                         int colorMode, const std::vector<std::string>& lines,
                         const QTextDocument* description)
{
  // The stream only reserves the temporary file; the printer writes it.
  TReplacingFileStream file(path);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(file.TemporaryPath().string()));
  try {
    PrintScenePage(printer, scene, colorMode, lines, description);
  } catch (...) {
    printer.setOutputFileName({});
    throw;
  }
  printer.setOutputFileName({});
  file.Commit();
}
