#include "app/widgets/QtCanvas.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include <cstdlib>
#include <memory>

namespace {

// Text needs the font database, which needs an application object; the
// off-screen platform needs no display. It is made once and destroyed after
// the last test, while Qt is still whole.
class TQtEnvironment : public testing::Environment {
public:
  void TearDown() override { app_.reset(); }
  void Ensure()
  {
    if (QGuiApplication::instance()) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }

private:
  int argc_ = 1;
  char name_[14] = "QtCanvas_test";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};

TQtEnvironment* const QtEnvironment =
    static_cast<TQtEnvironment*>(testing::AddGlobalTestEnvironment(new TQtEnvironment));

void EnsureApplication() { QtEnvironment->Ensure(); }

QImage WhiteImage(int w = 40, int h = 30)
{
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

int CountPixels(const QImage& image, QRgb rgb)
{
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF);
  return n;
}

}  // namespace

TEST(QtCanvas, ColourValuesHaveRedInTheLowByte)
{
  EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(ToQColor(0x00FFFF), QColor(255, 255, 0));  // yellow
  EXPECT_EQ(ToQColor(0xFFA0A0), QColor(0xA0, 0xA0, 0xFF));
  EXPECT_EQ(FromQColor(QColor(0x12, 0x34, 0x56)), 0x563412u);

  QImage image = WhiteImage();
  {
    TQtCanvas canvas(image);
    EXPECT_EQ(canvas.PixelValue(0x563412), 0xFF123456u);
    canvas.FillRect(0, 0, 10, 10, 0x00FFFF);
    canvas.SetPixel(20, 20, 0x0000FF);
  }
  EXPECT_EQ(image.pixel(5, 5), qRgb(255, 255, 0));
  EXPECT_EQ(image.pixel(10, 5), qRgb(255, 255, 255));  // right edge excluded
  EXPECT_EQ(image.pixel(20, 20), qRgb(255, 0, 0));
}

TEST(QtCanvas, DirectPixelsAndPainterShareTheImage)
{
  QImage image = WhiteImage();
  {
    TQtCanvas canvas(image);
    ASSERT_NE(canvas.Pixels(), nullptr);
    EXPECT_EQ(canvas.PixelsWidth(), 40);
    EXPECT_EQ(canvas.PixelsHeight(), 30);
    canvas.FillRect(0, 0, 40, 30, 0x000000);
    canvas.Pixels()[3 * 40 + 4] = canvas.PixelValue(0x00FF00);
    canvas.Pixels()[6 * 40 + 7] = canvas.PixelValue(0x00FF00);
    canvas.FillRect(7, 6, 8, 7, 0xFF0000);  // painted over one of them
  }
  EXPECT_EQ(image.pixel(4, 3), qRgb(0, 255, 0));
  EXPECT_EQ(image.pixel(7, 6), qRgb(0, 0, 255));
  EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));

  // Surfaces of other pixel formats offer no pixels but still draw dots.
  QImage other(20, 20, QImage::Format_RGB888);
  other.fill(Qt::white);
  {
    TQtCanvas canvas(other);
    EXPECT_EQ(canvas.Pixels(), nullptr);
    EXPECT_EQ(canvas.PixelsWidth(), 0);
    canvas.SetPixel(3, 4, 0x0000FF);
  }
  EXPECT_EQ(other.pixel(3, 4), qRgb(255, 0, 0));
}

TEST(QtCanvas, ClipRectangleLimitsEveryPrimitive)
{
  QImage image = WhiteImage();
  {
    TQtCanvas canvas(image);
    canvas.SetClipRect(10, 10, 20, 20);
    canvas.FillRect(0, 0, 40, 30, 0x000000);
    canvas.SetPixel(5, 5, 0x000000);    // outside
    canvas.SetPixel(20, 15, 0x000000);  // right edge is outside
    canvas.SetPen(0x000000, 1, TPenStyle::Solid);
    canvas.MoveTo(0, 25);
    canvas.LineTo(39, 25);
  }
  EXPECT_EQ(CountPixels(image, qRgb(0, 0, 0)), 100);
  EXPECT_EQ(image.pixel(10, 10), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(19, 19), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(20, 15), qRgb(255, 255, 255));
}

TEST(QtCanvas, LinesFarOutsideAndPenStyles)
{
  QImage image = WhiteImage();
  {
    TQtCanvas canvas(image);
    canvas.SetPen(0x0000FF, 1, TPenStyle::Solid);
    // A zoomed-in view maps distant points to huge pixel coordinates.
    canvas.MoveTo(-200000000, 12);
    canvas.LineTo(300000000, 12);
    canvas.MoveTo(25, -100000000);
    canvas.LineTo(25, 100000000);
    // A clear pen moves the current point without drawing.
    canvas.SetPen(0x00FF00, 1, TPenStyle::Clear);
    canvas.MoveTo(0, 0);
    canvas.LineTo(39, 0);
    canvas.SetPen(0x00FF00, 1, TPenStyle::Solid);
    canvas.LineTo(39, 29);  // from (39, 0)
  }
  for (int x = 0; x < 39; ++x) ASSERT_EQ(image.pixel(x, 12), qRgb(255, 0, 0)) << x;
  for (int y = 0; y < 30; ++y) ASSERT_EQ(image.pixel(25, y), qRgb(255, 0, 0)) << y;
  EXPECT_EQ(image.pixel(10, 0), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(39, 20), qRgb(0, 255, 0));
}

TEST(QtCanvas, EllipsesStayInsideTheirBox)
{
  QImage image = WhiteImage();
  {
    TQtCanvas canvas(image);
    // A filled dot of radius 2 as the scene draws it: box (x-2, y-2)-(x+3, y+3).
    canvas.SetPen(0x0000FF, 1, TPenStyle::Clear);
    canvas.SetBrush(0x0000FF, TBrushStyle::Solid);
    canvas.Ellipse(8, 8, 13, 13);
    // An outline only, box (20, 5)-(31, 16).
    canvas.SetPen(0x000000, 1, TPenStyle::Solid);
    canvas.SetBrush(0, TBrushStyle::Clear);
    canvas.Ellipse(20, 5, 31, 16);
  }
  EXPECT_EQ(image.pixel(10, 10), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(8, 10), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(12, 10), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(10, 8), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(10, 12), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(13, 10), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(10, 13), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(8, 8), qRgb(255, 255, 255));  // a disc, not a square
  // The outline touches the box's inner edges and leaves the middle empty.
  EXPECT_EQ(image.pixel(20, 10), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(30, 10), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(25, 5), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(25, 15), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(31, 10), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(25, 16), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(25, 10), qRgb(255, 255, 255));
}

TEST(QtCanvas, TextInTheFontColourBelowAndRightOfItsCorner)
{
  EnsureApplication();
  QImage image = WhiteImage(120, 40);
  int height = 0, wide = 0, narrow = 0;
  {
    TQtCanvas canvas(image);
    QFont font("Arial");
    font.setPixelSize(12);
    canvas.SetFont(font);
    height = canvas.TextHeight("0");
    wide = canvas.TextWidth("Saturn");
    narrow = canvas.TextWidth("Io");
    canvas.SetPen(0x00FF00, 1, TPenStyle::Solid);
    canvas.SetFontColor(0x0000FF);
    canvas.TextOut(10, 10, "Saturn");
    // The pen is still the line pen afterwards.
    canvas.MoveTo(0, 39);
    canvas.LineTo(119, 39);
  }
  EXPECT_GE(height, 10);
  EXPECT_LE(height, 20);
  EXPECT_GT(wide, narrow);
  EXPECT_GT(narrow, 0);
  int left = 1000, right = -1, top = 1000, bottom = -1;
  for (int y = 0; y < 39; ++y)
    for (int x = 0; x < 120; ++x) {
      const QRgb p = image.pixel(x, y);
      if (p == qRgb(255, 255, 255)) continue;
      EXPECT_GT(qRed(p), qBlue(p)) << x << "," << y;  // red text, however smoothed
      left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
  EXPECT_GE(left, 10);
  EXPECT_LE(left, 12);
  EXPECT_GE(top, 10);
  EXPECT_LT(bottom, 10 + height);
  EXPECT_LE(right, 10 + wide);
  EXPECT_EQ(image.pixel(60, 39), qRgb(0, 255, 0));
}
