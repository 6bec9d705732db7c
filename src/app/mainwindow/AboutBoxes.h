// The about box: product name, version, notices and the home page.
#pragma once

#include <QDialog>

class QLabel;

class TAboutBox : public QDialog {
public:
  explicit TAboutBox(QWidget* parent = nullptr);

  // The note on the minor-body data that the data-source notice names, as
  // it lies in the program's directory: when the file is there, its name
  // in the notice becomes a link that opens it in the desktop's viewer.
  void SetDataNotePath(const QString& path);

protected:
  void showEvent(QShowEvent* event) override;

private:
  QLabel* info_ = nullptr;
};
