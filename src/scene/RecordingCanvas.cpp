#include "scene/RecordingCanvas.h"

TCanvasOp TRecordingCanvas::State(TCanvasOpKind kind) const
{
  TCanvasOp op;
  op.Kind = kind;
  op.PenColor = penColor_;
  op.PenWidth = penWidth_;
  op.PenStyle = penStyle_;
  op.BrushColor = brushColor_;
  op.BrushStyle = brushStyle_;
  return op;
}

void TRecordingCanvas::FillRect(int left, int top, int right, int bottom, TColor color)
{
  TCanvasOp op = State(TCanvasOpKind::FillRect);
  op.X1 = left;
  op.Y1 = top;
  op.X2 = right;
  op.Y2 = bottom;
  op.Color = color;
  Ops.push_back(op);
}

void TRecordingCanvas::SetPixel(int x, int y, TColor color)
{
  TCanvasOp op = State(TCanvasOpKind::SetPixel);
  op.X1 = x;
  op.Y1 = y;
  op.Color = color;
  Ops.push_back(op);
}

void TRecordingCanvas::SetPen(TColor color, int width, TPenStyle style)
{
  penColor_ = color;
  penWidth_ = width;
  penStyle_ = style;
}

void TRecordingCanvas::SetBrush(TColor color, TBrushStyle style)
{
  brushColor_ = color;
  brushStyle_ = style;
}

void TRecordingCanvas::MoveTo(int x, int y)
{
  x_ = x;
  y_ = y;
}

void TRecordingCanvas::LineTo(int x, int y)
{
  TCanvasOp op = State(TCanvasOpKind::Line);
  op.X1 = x_;
  op.Y1 = y_;
  op.X2 = x;
  op.Y2 = y;
  op.Color = penColor_;
  Ops.push_back(op);
  x_ = x;
  y_ = y;
}

void TRecordingCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
  TCanvasOp op = State(TCanvasOpKind::Ellipse);
  op.X1 = x1;
  op.Y1 = y1;
  op.X2 = x2;
  op.Y2 = y2;
  op.Color = brushColor_;
  Ops.push_back(op);
}

void TRecordingCanvas::SetFontColor(TColor color) { fontColor_ = color; }

void TRecordingCanvas::TextOut(int x, int y, const std::string& text)
{
  TCanvasOp op = State(TCanvasOpKind::Text);
  op.X1 = x;
  op.Y1 = y;
  op.Color = fontColor_;
  op.Text = text;
  Ops.push_back(op);
}

int TRecordingCanvas::TextWidth(const std::string& text)
{
  return CharWidth * static_cast<int>(text.size());
}

int TRecordingCanvas::TextHeight(const std::string& /*text*/) { return CharHeight; }

void TRecordingCanvas::SetClipRect(int left, int top, int right, int bottom)
{
  TCanvasOp op = State(TCanvasOpKind::ClipRect);
  op.X1 = left;
  op.Y1 = top;
  op.X2 = right;
  op.Y2 = bottom;
  Ops.push_back(op);
}

std::vector<TCanvasOp> TRecordingCanvas::OfKind(TCanvasOpKind kind) const
{
  std::vector<TCanvasOp> found;
  for (const TCanvasOp& op : Ops)
    if (op.Kind == kind) found.push_back(op);
  return found;
}

std::vector<TCanvasOp> TRecordingCanvas::Texts(const std::string& text) const
{
  std::vector<TCanvasOp> found;
  for (const TCanvasOp& op : Ops)
    if (op.Kind == TCanvasOpKind::Text && op.Text == text) found.push_back(op);
  return found;
}
