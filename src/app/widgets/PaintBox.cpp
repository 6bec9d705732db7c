#include "app/widgets/PaintBox.h"

#include "app/widgets/QtCanvas.h"
#include "app/widgets/SceneImage.h"

#include <QMouseEvent>
#include <QPainter>

TPaintBox::TPaintBox(TSolarSystem& scene, QWidget* parent) : QWidget(parent), scene_(scene)
{
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setMinimumSize(1, 1);
}

const QImage& TPaintBox::PaintScene()
{
  const int w = std::max(1, width());
  const int h = std::max(1, height());
  if (image_.width() != w || image_.height() != h)
    image_ = QImage(w, h, QImage::Format_RGB32);
  {
    TQtCanvas canvas(image_);
    canvas.SetFont(SceneImageFont());
    scene_.Paint(&canvas, 0, 0, w, h, 2, 0);
    // The canvas ends here; the scene must not keep it for Redraw.
    scene_.ForgetCanvas(&canvas);
  }
  return image_;
}

void TPaintBox::paintEvent(QPaintEvent*)
{
  const QImage& image = PaintScene();
  QPainter p(this);
  p.drawImage(0, 0, image);
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event)
{
  if (OnMouseMove) OnMouseMove();
  QWidget::mouseMoveEvent(event);
}
