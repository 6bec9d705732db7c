// The about box: product name, version, notices and the home page.
#pragma once

#include <QDialog>

class TAboutBox : public QDialog {
public:
  explicit TAboutBox(QWidget* parent = nullptr);

protected:
  void showEvent(QShowEvent* event) override;
};
