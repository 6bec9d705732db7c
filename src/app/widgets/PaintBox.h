// The drawing area of the main window. The scene is painted in screen
// colours into the largest centred square of the widget (the scene's
// pixels are square only in a square), through an off-screen image; the
// margins beside it take the scene's background colour.
//
// The mouse: a click (a press and release that barely moves) and a drag
// with the left button are reported in the scene's own pixels; a hover
// asks for the name of what lies under the pointer, shown as a tool tip.
#pragma once

#include "scene/SolarSystem.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <string>

class TPaintBox : public QWidget {
public:
  TPaintBox(TSolarSystem& scene, QWidget* parent = nullptr);

  // Paints the scene into the off-screen image at the square's size; the
  // paint event then only copies it. Also used to measure a repaint.
  const QImage& PaintScene();

  // The square the scene is painted into, in the widget's pixels.
  QRect SceneRect() const;
  // A point of the widget in the scene's pixels (those of its last paint).
  QPoint ToScene(const QPoint& widgetPoint) const;

  // Pixels a press may move and still be a click.
  static constexpr int ClickSlop = 3;

  std::function<void(QPoint scenePoint)> OnClick;
  // The movement since the last report, in pixels, while the left button
  // is held beyond the click's slop.
  std::function<void(int dx, int dy)> OnDrag;
  // The name of the body at a scene point, empty for none.
  std::function<std::string(QPoint scenePoint)> NameAt;

protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  TSolarSystem& scene_;
  QImage image_;
  bool pressed_ = false;
  bool dragging_ = false;
  QPoint pressAt_;
  QPoint lastAt_;
};
