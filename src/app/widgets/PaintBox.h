// The drawing area of the main window: the scene painted over the whole
// widget in screen colours, through an off-screen image.
#pragma once

#include "scene/SolarSystem.h"

#include <QImage>
#include <QWidget>

#include <functional>

class TPaintBox : public QWidget {
public:
  TPaintBox(TSolarSystem& scene, QWidget* parent = nullptr);

  // Paints the scene into the off-screen image at the widget's size; the
  // paint event then only copies it. Also used to measure a repaint.
  const QImage& PaintScene();

  std::function<void()> OnMouseMove;

protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

private:
  TSolarSystem& scene_;
  QImage image_;
};
