#include "app/widgets/ColorSwatch.h"

#include "app/widgets/QtCanvas.h"  // ToQColor

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

TColorSwatch::TColorSwatch(QWidget* parent) : QFrame(parent)
{
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setFixedSize(22, 14);
  setCursor(Qt::PointingHandCursor);
  // Reached by Tab; Space or Enter opens the colour dialog like a click.
  setFocusPolicy(Qt::TabFocus);
}

void TColorSwatch::keyPressEvent(QKeyEvent* event)
{
  const int key = event->key();
  if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
    event->accept();
    if (OnMouseDown) OnMouseDown();
    return;
  }
  QFrame::keyPressEvent(event);
}

void TColorSwatch::SetColor(TColor color)
{
  if (color == color_) return;
  color_ = color;
  update();
}

void TColorSwatch::paintEvent(QPaintEvent* event)
{
  // The frame is drawn first, so that the focus frame lies over it.
  QFrame::paintEvent(event);
  {
    QPainter p(this);
    p.fillRect(contentsRect(), ToQColor(color_));
    if (hasFocus()) {
      // The focus shows as a dashed frame in the highlight colour.
      p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DashLine));
      p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
  }
}

void TColorSwatch::mousePressEvent(QMouseEvent* event)
{
  event->accept();
  if (OnMouseDown) OnMouseDown();
}
