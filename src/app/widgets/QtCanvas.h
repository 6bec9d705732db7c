// The scene's canvas on a QPainter: on screen through an off-screen image,
// on a printer page, or into an image for export. Works without a display.
// On an image of 32-bit pixels (QImage::Format_RGB32 or ARGB32) it also
// hands out the pixels, so that very many dots can be written straight in.
#pragma once

#include "scene/Canvas.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QRect>

class TQtCanvas : public TCanvas {
public:
  // Paints on the image until the canvas is destroyed.
  explicit TQtCanvas(QImage& image);
  // Paints on any device (a printer, say); no pixel access.
  explicit TQtCanvas(QPaintDevice* device);
  ~TQtCanvas() override;
  TQtCanvas(const TQtCanvas&) = delete;
  TQtCanvas& operator=(const TQtCanvas&) = delete;

  // The font of all text; the scene only positions and colours it. Set it
  // here, not through Painter(), which would leave its measures stale.
  void SetFont(const QFont& font);
  QPainter& Painter() { return painter_; }

  void FillRect(int left, int top, int right, int bottom, TColor color) override;
  void SetPixel(int x, int y, TColor color) override;
  void SetPen(TColor color, int width, TPenStyle style) override;
  void SetBrush(TColor color, TBrushStyle style) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void Ellipse(int x1, int y1, int x2, int y2) override;
  void SetFontColor(TColor color) override;
  void TextOut(int x, int y, const std::string& text) override;
  int TextWidth(const std::string& text) override;
  int TextHeight(const std::string& text) override;
  void SetClipRect(int left, int top, int right, int bottom) override;

  std::uint32_t* Pixels() override { return pixels_; }
  int PixelsWidth() const override { return pixels_ ? pixelsWidth_ : 0; }
  int PixelsHeight() const override { return pixels_ ? pixelsHeight_ : 0; }
  std::uint32_t PixelValue(TColor color) const override;

private:
  void Begin(QPaintDevice* device);
  void FillEllipse(int x1, int y1, int x2, int y2, const QColor& color);

  QPainter painter_;
  std::uint32_t* pixels_ = nullptr;
  int pixelsWidth_ = 0, pixelsHeight_ = 0;
  QRect clip_;        // the clip rectangle, or the whole device
  QPen pen_;          // as set; Qt::NoPen when the style is Clear
  QColor fontColor_;
  int penX_ = 0, penY_ = 0;  // current point of MoveTo/LineTo
  // The font's ascent and line height, taken once per font: every label
  // asks for them.
  int ascent_ = -1, lineHeight_ = -1;
  void MeasureFont();
};

// A colour value (red in the low byte) as a Qt colour and back.
QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);
