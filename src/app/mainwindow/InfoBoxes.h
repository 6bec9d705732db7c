// The splash box, shown first thing at start and hidden when the main
// window appears.
#pragma once

#include <QWidget>

class TInfoBox : public QWidget {
public:
  explicit TInfoBox(QWidget* parent = nullptr);
  // Shows the box centred on the screen and paints it at once.
  void ShowNow();
};
