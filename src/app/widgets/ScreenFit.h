// First placement of top-level windows: whatever the settings file, a
// document or a design default asks for, a window opens whole on one screen
// (the available part, without panels and docks), at any scale.
#pragma once

#include <QRect>

class QScreen;
class QWidget;

// The screen a window asked for at `wanted` belongs on: the one holding
// most of it, else the one under its centre's nearest point, else the
// primary screen (a remembered place on a screen since unplugged).
QScreen* ScreenFor(const QRect& wanted);

// `wanted` moved and, if need be, shrunk so that it lies inside
// `available`; never below `minimum` unless `available` is smaller.
QRect FitInside(const QRect& wanted, const QRect& available, const QSize& minimum = {});

// Places the window as move(position) and resize(size) would (the place of
// its frame, the size of its client area, as the settings keep them),
// brought whole onto its screen; a minimum size larger than the screen is
// lowered to fit it.
void PlaceOnScreen(QWidget* window, const QPoint& position, const QSize& size);

// Same, for a window keeping its present place and size.
void KeepOnScreen(QWidget* window);

// The room a window manager's frame takes around a client area before the
// window is shown and its real frame is known: a caption and thin borders.
QMargins ExpectedFrame(const QWidget* window);
