#include "app/widgets/ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

long long Area(const QRect& r) { return r.isValid() ? 1LL * r.width() * r.height() : 0; }

}  // namespace

QScreen* ScreenFor(const QRect& wanted)
{
  QScreen* best = nullptr;
  long long bestArea = 0;
  for (QScreen* s : QGuiApplication::screens()) {
    const long long a = Area(s->availableGeometry().intersected(wanted));
    if (a > bestArea) {
      bestArea = a;
      best = s;
    }
  }
  if (best) return best;
  if (QScreen* s = QGuiApplication::screenAt(wanted.center())) return s;
  return QGuiApplication::primaryScreen();
}

QMargins ExpectedFrame(const QWidget* window)
{
  // A window already shown knows its frame.
  if (window && window->isVisible()) {
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    if (frame != client)
      return {client.left() - frame.left(), client.top() - frame.top(),
              frame.right() - client.right(), frame.bottom() - client.bottom()};
  }
  // Caption and borders of the common window managers, in logical pixels.
  return {4, 30, 4, 4};
}

QRect FitInside(const QRect& wanted, const QRect& available, const QSize& minimum)
{
  QRect r = wanted;
  r.setWidth(std::max(std::min(r.width(), available.width()), minimum.width()));
  r.setHeight(std::max(std::min(r.height(), available.height()), minimum.height()));
  // Right and bottom edges first, so that the left and top edges (caption
  // and menu) stay reachable when even the smallest size is too large.
  if (r.right() > available.right()) r.moveRight(available.right());
  if (r.bottom() > available.bottom()) r.moveBottom(available.bottom());
  if (r.left() < available.left()) r.moveLeft(available.left());
  if (r.top() < available.top()) r.moveTop(available.top());
  return r;
}

void PlaceOnScreen(QWidget* window, const QPoint& position, const QSize& size)
{
  // The window with its frame, the frame's corner at `position`.
  const QMargins frame = ExpectedFrame(window);
  const QRect wanted(position, size.grownBy(frame));
  QScreen* screen = ScreenFor(wanted);
  if (!screen) {
    window->move(position);
    window->resize(size);
    return;
  }
  const QRect available = screen->availableGeometry();
  // A minimum size the screen cannot hold is lowered to the screen.
  const QSize room = available.marginsRemoved(frame).size();
  const QSize minimum = window->minimumSize().boundedTo(room);
  if (minimum != window->minimumSize()) window->setMinimumSize(minimum);
  const QRect fitted = FitInside(wanted, available, minimum.grownBy(frame));
  window->resize(fitted.size().shrunkBy(frame));
  window->move(fitted.topLeft());
}

void KeepOnScreen(QWidget* window) { PlaceOnScreen(window, window->pos(), window->size()); }
