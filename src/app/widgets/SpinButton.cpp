#include "app/widgets/SpinButton.h"

#include <QKeyEvent>
#include <QVBoxLayout>

TSpinButton::TSpinButton(QWidget* parent) : QWidget(parent)
{
  setFocusPolicy(Qt::StrongFocus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  up_ = new QToolButton(this);
  down_ = new QToolButton(this);
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  for (QToolButton* b : {up_, down_}) {
    b->setAutoRepeat(true);
    b->setAutoRepeatDelay(400);
    b->setAutoRepeatInterval(100);
    b->setFocusPolicy(Qt::NoFocus);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(b);
  }
  connect(up_, &QToolButton::clicked, this, [this] { ClickUp(); });
  connect(down_, &QToolButton::clicked, this, [this] { ClickDown(); });
}

void TSpinButton::ClickUp()
{
  if (OnUpClick) OnUpClick();
}

void TSpinButton::ClickDown()
{
  if (OnDownClick) OnDownClick();
}

void TSpinButton::keyPressEvent(QKeyEvent* event)
{
  switch (event->key()) {
    case Qt::Key_Up:
      lastKeyUp_ = true;
      ClickUp();
      break;
    case Qt::Key_Down:
      lastKeyUp_ = false;
      ClickDown();
      break;
    case Qt::Key_Space:
      if (lastKeyUp_)
        ClickUp();
      else
        ClickDown();
      break;
    default: QWidget::keyPressEvent(event); return;
  }
  event->accept();
}

// The focus shows as a frame around the arrows.
void TSpinButton::focusInEvent(QFocusEvent* event)
{
  setStyleSheet("TSpinButton { border: 1px dotted palette(text); }");
  QWidget::focusInEvent(event);
}

void TSpinButton::focusOutEvent(QFocusEvent* event)
{
  setStyleSheet({});
  QWidget::focusOutEvent(event);
}
