// A canvas that draws nothing and records every primitive with its pixel
// coordinates and the colours in force, so that a painting can be checked
// exactly. Text metrics are fixed: every character is CharWidth pixels wide
// and every text CharHeight pixels high.
#pragma once

#include "scene/Canvas.h"

#include <string>
#include <vector>

enum class TCanvasOpKind { FillRect, SetPixel, Line, Ellipse, Text, ClipRect };

struct TCanvasOp {
  TCanvasOpKind Kind = TCanvasOpKind::SetPixel;
  // FillRect, Ellipse, ClipRect: the box (X1, Y1)-(X2, Y2); SetPixel and
  // Text: the point (X1, Y1); Line: from (X1, Y1) to (X2, Y2).
  int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  // FillRect and SetPixel: their colour; Line: the pen colour; Ellipse: the
  // brush colour; Text: the font colour.
  TColor Color = 0;
  TColor PenColor = 0;
  int PenWidth = 1;
  TPenStyle PenStyle = TPenStyle::Solid;
  TColor BrushColor = 0;
  TBrushStyle BrushStyle = TBrushStyle::Solid;
  std::string Text;
};

class TRecordingCanvas : public TCanvas {
public:
  static constexpr int CharWidth = 7;
  static constexpr int CharHeight = 13;

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

  void Clear() { Ops.clear(); }
  // The operations of one kind, in drawing order.
  std::vector<TCanvasOp> OfKind(TCanvasOpKind kind) const;
  // The text operations whose text is exactly `text`.
  std::vector<TCanvasOp> Texts(const std::string& text) const;

  std::vector<TCanvasOp> Ops;

private:
  TCanvasOp State(TCanvasOpKind kind) const;

  TColor penColor_ = 0;
  int penWidth_ = 1;
  TPenStyle penStyle_ = TPenStyle::Solid;
  TColor brushColor_ = 0xFFFFFF;
  TBrushStyle brushStyle_ = TBrushStyle::Solid;
  TColor fontColor_ = 0;
  int x_ = 0, y_ = 0;
};
