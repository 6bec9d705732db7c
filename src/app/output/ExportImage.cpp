#include "app/output/ExportImage.h"

#include "app/widgets/QtCanvas.h"
#include "app/widgets/SceneImage.h"
#include "app/output/OutputTexts.h"
#include "app/output/PngUnit.h"

#include <QImageWriter>
#include <QSaveFile>

QImage RenderExportImage(TSolarSystem& scene, int size, const std::vector<std::string>& lines,
                         int colorMode, int sizeMode)
{
  QImage image(size, size, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    TQtCanvas canvas(image);
    canvas.SetFont(SceneImageFont());
    scene.Paint(&canvas, 0, 0, size, size, colorMode, sizeMode);
    scene.ForgetCanvas(&canvas);
    // The drawing may have clipped the canvas; the text goes on top of it all.
    canvas.SetClipRect(0, 0, size, size);
    canvas.SetFontColor(CaptionColor(scene.BgColor, colorMode));
    const int x = RoundHalfEven(0.04 * size);
    int y = RoundHalfEven(0.03 * size);
    for (const std::string& line : lines) {
      canvas.TextOut(x, y, line);
      y += canvas.TextHeight(line);
    }
  }
  return image;
}

void SaveBitmapAsBmp(const std::string& path, const QImage& image)
{
  QSaveFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly)) throw std::runtime_error("Error Opening File " + path + "!");
  QImageWriter writer(&file, "bmp");
  // Without commit the temporary file is removed and the target stays.
  if (!writer.write(image) || !file.commit()) throw std::runtime_error("Error Writing BMP File!");
}

void SaveExportImage(const std::string& path, const QImage& image)
{
  if (IsBmpFileName(path))
    SaveBitmapAsBmp(path, image);
  else
    SaveBitmapAsPng(path, image);
}
