// A colour swatch of the control panel: a framed rectangle in one colour
// that reports a mouse button pressed on it.
#pragma once

#include "scene/Canvas.h"  // TColor

#include <QFrame>

#include <functional>

class TColorSwatch : public QFrame {
public:
  explicit TColorSwatch(QWidget* parent = nullptr);

  TColor Color() const { return color_; }
  void SetColor(TColor color);

  std::function<void()> OnMouseDown;

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  TColor color_ = 0;
};
