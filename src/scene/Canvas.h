// The drawing surface the scene paints on. The scene only sets colours, pen
// width and styles and positions text; the font is the caller's. The window,
// printing and image export use a QPainter canvas; the tests a recording one.
#pragma once

#include "bodies/SSClasses.h"  // TColor

#include <string>

enum class TPenStyle { Solid, Clear };
enum class TBrushStyle { Solid, Clear };

class TCanvas {
public:
  virtual ~TCanvas() = default;

  // Fills the rectangle [left, right) x [top, bottom) with a colour.
  virtual void FillRect(int left, int top, int right, int bottom, TColor color) = 0;
  virtual void SetPixel(int x, int y, TColor color) = 0;

  // Pen for MoveTo/LineTo and outlines; brush for ellipse interiors.
  virtual void SetPen(TColor color, int width, TPenStyle style) = 0;
  virtual void SetBrush(TColor color, TBrushStyle style) = 0;
  virtual void MoveTo(int x, int y) = 0;
  // A line from the current point to (x, y), which becomes the current point.
  virtual void LineTo(int x, int y) = 0;
  // Ellipse in the box [x1, x2) x [y1, y2): interior with the brush, outline
  // with the pen (either may be Clear).
  virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;

  // UTF-8 text with its top-left corner at (x, y), transparent background.
  virtual void SetFontColor(TColor color) = 0;
  virtual void TextOut(int x, int y, const std::string& text) = 0;
  virtual int TextWidth(const std::string& text) = 0;
  virtual int TextHeight(const std::string& text) = 0;

  // Restricts all further drawing to [left, right) x [top, bottom).
  virtual void SetClipRect(int left, int top, int right, int bottom) = 0;

  // Raw access for drawing very many dots quickly: the canvas's pixels as
  // 32-bit words of Width() x Height(), or nullptr when the surface has none
  // (a printer, the recording canvas). Clipping is then the caller's.
  virtual std::uint32_t* Pixels() { return nullptr; }
  virtual int PixelsWidth() const { return 0; }
  virtual int PixelsHeight() const { return 0; }
  // Converts a colour value (red in the low byte) to a word of Pixels().
  virtual std::uint32_t PixelValue(TColor color) const { return color; }
};
