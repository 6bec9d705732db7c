// "Show all objects" without a frozen window: every row of a table read
// into a list of dots on a thread of its own, through a table handle of its
// own, while the window goes on answering and animating. The window polls
// nothing itself: the loader reports progress and the finished list on the
// window's thread.
#pragma once

#include "bodies/DotBodyList.h"
#include "database/FullList.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

class QTimer;

class TFullListLoader : public QObject {
public:
  explicit TFullListLoader(QObject* parent = nullptr);
  ~TFullListLoader() override;  // cancels a fill under way

  // Reads the table `fileName` in `directory` into a new list of dots in
  // `color`, computed for `jd`. A fill under way is cancelled first.
  void Start(const std::string& directory, const std::string& fileName, TColor color,
             long double jd);
  // Stops a fill under way and drops what it read; Finished is not called.
  // Returns within a batch of rows.
  void Cancel();
  bool Running() const { return running_; }

  // On the window's thread: the share of rows read, 0-100, now and then.
  std::function<void(int percent)> Progress;
  // On the window's thread, once per completed fill: the list (to be taken
  // by swapping), the Julian date its positions are for, and the summary
  // or the text of the error that stopped it (the list is then empty).
  std::function<void(TDotBodyList& list, long double jd, const TFullListFill& fill,
                     const std::string& error)>
      Finished;

  // How often the window's thread looks at the worker, in milliseconds.
  static constexpr int PollInterval = 40;

private:
  void Poll();
  void Join();

  std::thread worker_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> done_{false};
  std::atomic<std::int64_t> rowsRead_{0};
  std::atomic<std::int64_t> rowsTotal_{0};
  bool running_ = false;
  int lastPercent_ = -1;
  long double jd_ = 0;
  // Written by the worker until done_, then read by the window's thread.
  TDotBodyList list_;
  TFullListFill fill_;
  std::string error_;
  QTimer* poll_ = nullptr;
};
