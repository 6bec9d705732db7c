// The main window's status bar: where an exported or printed file went, and
// a progress bar while long work goes on (the window answers meanwhile).
#include "app/mainwindow/SSystemsForm.h"

#include <QProgressBar>
#include <QStatusBar>

void TSolarSystemForm::ShowProgress(const std::string& text, int percent)
{
  if (!ProgressBar) {
    ProgressBar = new QProgressBar(StatusBar);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setRange(0, 100);
    ProgressBar->setMaximumWidth(fontMetrics().averageCharWidth() * 24);
    StatusBar->addPermanentWidget(ProgressBar);
  }
  // Work that cannot say how far it is (a page being drawn) shows a busy bar.
  if (percent < 0) {
    ProgressBar->setRange(0, 0);
  } else {
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(percent);
  }
  ProgressBar->show();
  StatusBar->showMessage(QString::fromStdString(text));
}

void TSolarSystemForm::EndProgress()
{
  if (!ProgressBar || ProgressBar->isHidden()) return;
  ProgressBar->hide();
  StatusBar->clearMessage();
}

void TSolarSystemForm::ShowStatus(const std::string& text)
{
  constexpr int ShownMilliseconds = 15000;
  StatusBar->showMessage(QString::fromStdString(text), ShownMilliseconds);
}
