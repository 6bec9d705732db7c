// The window shown while a film is made: a progress bar with the frames
// done and the time left, and Cancel. The film is made on a thread of its
// own, so the window stays responsive and the main window untouched.
#pragma once

#include "app/output/FilmRecording.h"

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

class TFilmProgressDlg : public QDialog {
public:
  enum class TResult { Written, Cancelled, Failed };

  explicit TFilmProgressDlg(QWidget* parent = nullptr);

  // Runs `make` (which reports to the progress it is given and throws on
  // failure) on another thread while the dialog is shown modally; returns
  // when it has ended. `Error` holds the message of a failure.
  TResult Run(int frames, const std::function<void(TFilmProgress&)>& make);
  std::string Error;

  // "Frame 12 of 365, 0:14 left"; "Frame 0 of 365" before the first.
  static std::string ProgressText(int done, int frames, double elapsedSeconds);

  QProgressBar* PBFrames = nullptr;
  QLabel* LProgress = nullptr;
  QPushButton* CancelBtn = nullptr;

protected:
  // Escape and the close button cancel, as Cancel does.
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

private:
  void CancelBtnClick();
  TFilmProgress* progress_ = nullptr;
  bool running_ = false;
};
