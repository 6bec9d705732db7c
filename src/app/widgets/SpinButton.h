// A spin button: an up and a down arrow that repeat while held (first
// repeat after 400 ms, then every 100 ms). With the keyboard focus, Up and
// Down click the arrows and the space bar clicks the arrow last chosen by
// key (the up arrow at first).
#pragma once

#include <QToolButton>
#include <QWidget>

#include <functional>

class TSpinButton : public QWidget {
public:
  explicit TSpinButton(QWidget* parent = nullptr);

  std::function<void()> OnUpClick;
  std::function<void()> OnDownClick;

  QToolButton* UpButton() const { return up_; }
  QToolButton* DownButton() const { return down_; }

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

private:
  void ClickUp();
  void ClickDown();

  QToolButton* up_;
  QToolButton* down_;
  bool lastKeyUp_ = true;
};
