#include "app/widgets/ColorSwatch.h"

#include "app/widgets/QtCanvas.h"  // ToQColor

#include <QMouseEvent>
#include <QPainter>

TColorSwatch::TColorSwatch(QWidget* parent) : QFrame(parent)
{
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setFixedSize(22, 14);
  setCursor(Qt::PointingHandCursor);
}

void TColorSwatch::SetColor(TColor color)
{
  if (color == color_) return;
  color_ = color;
  update();
}

void TColorSwatch::paintEvent(QPaintEvent* event)
{
  {
    QPainter p(this);
    p.fillRect(contentsRect(), ToQColor(color_));
  }
  QFrame::paintEvent(event);
}

void TColorSwatch::mousePressEvent(QMouseEvent* event)
{
  event->accept();
  if (OnMouseDown) OnMouseDown();
}
