#include "app/database/FullListLoader.h"

#include "database/MinorBodyTable.h"

#include <QTimer>

#include <exception>
#include <utility>

TFullListLoader::TFullListLoader(QObject* parent) : QObject(parent)
{
  poll_ = new QTimer(this);
  poll_->setInterval(PollInterval);
  connect(poll_, &QTimer::timeout, this, [this] { Poll(); });
}

TFullListLoader::~TFullListLoader() { Cancel(); }

void TFullListLoader::Start(const std::string& directory, const std::string& fileName,
                            TColor color, long double jd)
{
  Cancel();
  list_.Clear();
  fill_ = TFullListFill();
  error_.clear();
  stop_ = false;
  done_ = false;
  rowsRead_ = 0;
  rowsTotal_ = 0;
  lastPercent_ = -1;
  jd_ = jd;
  running_ = true;
  worker_ = std::thread([this, directory, fileName, color, jd] {
    try {
      TTable table;
      table.SetDatabaseName(directory);
      table.SetTableName(fileName);
      table.Open();
      fill_ = FillFullList(table, list_, color, [this](std::int64_t done, std::int64_t total) {
        rowsRead_.store(done, std::memory_order_relaxed);
        rowsTotal_.store(total, std::memory_order_relaxed);
        return !stop_.load(std::memory_order_relaxed);
      });
      if (!fill_.Cancelled) list_.CalculateAll(jd);
    } catch (const std::exception& e) {
      list_.Clear();
      error_ = e.what();
    }
    done_.store(true, std::memory_order_release);
  });
  poll_->start();
}

void TFullListLoader::Join()
{
  if (worker_.joinable()) worker_.join();
}

void TFullListLoader::Cancel()
{
  poll_->stop();
  stop_ = true;
  Join();
  running_ = false;
  list_ = TDotBodyList();  // the memory too
}

void TFullListLoader::Poll()
{
  if (!done_.load(std::memory_order_acquire)) {
    const std::int64_t total = rowsTotal_.load(std::memory_order_relaxed);
    const int percent =
        total > 0 ? static_cast<int>(100 * rowsRead_.load(std::memory_order_relaxed) / total) : 0;
    if (percent != lastPercent_ && Progress) Progress(percent);
    lastPercent_ = percent;
    return;
  }
  poll_->stop();
  Join();
  running_ = false;
  if (Finished) Finished(list_, jd_, fill_, error_);
  list_ = TDotBodyList();
}
