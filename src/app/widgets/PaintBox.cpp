#include "app/widgets/PaintBox.h"

#include "app/widgets/QtCanvas.h"
#include "app/widgets/SceneImage.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

TPaintBox::TPaintBox(TSolarSystem& scene, QWidget* parent) : QWidget(parent), scene_(scene)
{
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setMinimumSize(1, 1);
}

QRect TPaintBox::SceneRect() const
{
  const int side = std::max(1, std::min(width(), height()));
  return QRect((width() - side) / 2, (height() - side) / 2, side, side);
}

QPoint TPaintBox::ToScene(const QPoint& widgetPoint) const
{
  return widgetPoint - SceneRect().topLeft();
}

const QImage& TPaintBox::PaintScene()
{
  const int side = SceneRect().width();
  if (image_.width() != side || image_.height() != side)
    image_ = QImage(side, side, QImage::Format_RGB32);
  {
    TQtCanvas canvas(image_);
    canvas.SetFont(SceneImageFont());
    scene_.Paint(&canvas, 0, 0, side, side, 2, 0);
    // The canvas ends here; the scene must not keep it for Redraw.
    scene_.ForgetCanvas(&canvas);
  }
  return image_;
}

void TPaintBox::paintEvent(QPaintEvent*)
{
  const QImage& image = PaintScene();
  QPainter p(this);
  const QRect square = SceneRect();
  const QColor margin = ToQColor(scene_.BgColor);
  // The strips beside (or above and below) the square.
  const QRegion margins = QRegion(rect()) - QRegion(square);
  for (const QRect& r : margins) p.fillRect(r, margin);
  p.drawImage(square.topLeft(), image);
}

bool TPaintBox::event(QEvent* e)
{
  if (e->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(e);
    const std::string name = NameAt ? NameAt(ToScene(help->pos())) : std::string();
    if (name.empty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), QString::fromStdString(name), this);
    return true;
  }
  return QWidget::event(e);
}

void TPaintBox::mousePressEvent(QMouseEvent* event)
{
  if (event->button() == Qt::LeftButton) {
    pressed_ = true;
    dragging_ = false;
    pressAt_ = lastAt_ = event->position().toPoint();
  }
  QWidget::mousePressEvent(event);
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event)
{
  const QPoint at = event->position().toPoint();
  if (pressed_ && (event->buttons() & Qt::LeftButton)) {
    if (!dragging_ && (at - pressAt_).manhattanLength() > ClickSlop) dragging_ = true;
    if (dragging_) {
      const QPoint d = at - lastAt_;
      lastAt_ = at;
      if (OnDrag && !d.isNull()) OnDrag(d.x(), d.y());
    }
  }
  QWidget::mouseMoveEvent(event);
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* event)
{
  if (event->button() == Qt::LeftButton && pressed_) {
    pressed_ = false;
    if (!dragging_ && OnClick) OnClick(ToScene(event->position().toPoint()));
    dragging_ = false;
  }
  QWidget::mouseReleaseEvent(event);
}
