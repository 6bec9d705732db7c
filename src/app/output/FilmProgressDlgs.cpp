#include "app/output/FilmProgressDlgs.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <thread>

TFilmProgressDlg::TFilmProgressDlg(QWidget* parent) : QDialog(parent)
{
  setObjectName("FilmProgressDlg");
  setWindowTitle("Saving animation");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  auto* v = new QVBoxLayout(this);
  LProgress = new QLabel(this);
  LProgress->setObjectName("LProgress");
  PBFrames = new QProgressBar(this);
  PBFrames->setObjectName("PBFrames");
  PBFrames->setMinimumWidth(fontMetrics().averageCharWidth() * 45);
  CancelBtn = new QPushButton("Cancel", this);
  CancelBtn->setObjectName("CancelBtn");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(CancelBtn);
  v->addWidget(LProgress);
  v->addWidget(PBFrames);
  v->addLayout(buttons);
  connect(CancelBtn, &QPushButton::clicked, this, [this] { CancelBtnClick(); });
}

std::string TFilmProgressDlg::ProgressText(int done, int frames, double elapsedSeconds)
{
  std::string text = "Frame " + std::to_string(done) + " of " + std::to_string(frames);
  if (done <= 0 || done >= frames) return text;
  const long long left =
      std::llround(elapsedSeconds / done * (frames - done));
  char clock[32];
  if (left >= 3600)
    std::snprintf(clock, sizeof clock, "%lld:%02lld:%02lld", left / 3600, left / 60 % 60, left % 60);
  else
    std::snprintf(clock, sizeof clock, "%lld:%02lld", left / 60, left % 60);
  return text + ", " + clock + " left";
}

TFilmProgressDlg::TResult TFilmProgressDlg::Run(int frames,
                                                const std::function<void(TFilmProgress&)>& make)
{
  TFilmProgress progress;
  progress_ = &progress;
  running_ = true;
  Error.clear();
  PBFrames->setRange(0, frames);
  PBFrames->setValue(0);
  LProgress->setText(QString::fromStdString(ProgressText(0, frames, 0)));
  CancelBtn->setEnabled(true);

  std::atomic<bool> ended{false};
  TResult result = TResult::Written;
  std::thread worker([&] {
    try {
      make(progress);
    } catch (const EFilmCancelled&) {
      result = TResult::Cancelled;
    } catch (const std::exception& e) {
      result = TResult::Failed;
      Error = e.what();
    }
    ended = true;
  });

  QElapsedTimer clock;
  clock.start();
  QTimer poll;
  poll.setInterval(100);
  connect(&poll, &QTimer::timeout, this, [&] {
    const int done = progress.FramesDone;
    PBFrames->setValue(done);
    if (!progress.Cancel)
      LProgress->setText(
          QString::fromStdString(ProgressText(done, frames, clock.elapsed() / 1000.0)));
    if (ended) QDialog::accept();
  });
  poll.start();
  exec();
  poll.stop();
  worker.join();
  running_ = false;
  progress_ = nullptr;
  // A cancel that came after the last frame changes nothing: the film is
  // complete.
  return result;
}

void TFilmProgressDlg::CancelBtnClick()
{
  if (!progress_) return;
  progress_->Cancel = true;
  CancelBtn->setEnabled(false);
  LProgress->setText("Cancelling...");
}

void TFilmProgressDlg::reject()
{
  // The dialog closes when the film's thread has stopped.
  if (running_) CancelBtnClick();
  else QDialog::reject();
}

void TFilmProgressDlg::closeEvent(QCloseEvent* event)
{
  if (running_) {
    CancelBtnClick();
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}
