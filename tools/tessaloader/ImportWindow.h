// The import window: input files (minor-planet and comet files, gzipped
// too), the table (new, or an existing one to replace or append to),
// Import, a progress bar with rows per second and time left, Cancel, and a
// summary at the end. The import runs on a worker thread; the window polls
// its progress.
#pragma once

#include "database/MinorBodyImport.h"

#include <QWidget>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
class TUserPrompts;

class TImportForm : public QWidget {
public:
  TImportForm(const std::string& directory, TUserPrompts& prompts);
  ~TImportForm() override;

  void AddInput(const std::string& path, TElementFormat format);
  void SetTableName(const std::string& name);
  void SetAppend(bool append);
  void StartImport();
  void CancelImport();
  bool Running() const { return Worker.joinable(); }
  std::string SummaryText() const;

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  void AddFiles(TElementFormat format);
  void RemoveFile();
  void FillTables();
  void UpdateButtons();
  void Poll();
  void Finish();

  std::string Directory;
  TUserPrompts& Prompts;
  std::vector<TImportInput> Inputs;

  QListWidget* FilesList;
  QPushButton *BAddMinorPlanets, *BAddComets, *BRemove;
  QComboBox* CBTable;
  QRadioButton *RBReplace, *RBAppend;
  QPushButton *BImport, *BCancel, *BClose;
  QProgressBar* ProgressBar;
  QLabel* LProgress;
  QPlainTextEdit* ESummary;
  QTimer* PollTimer;

  // Shared with the worker thread.
  struct TShared {
    std::mutex Lock;
    TImportProgress Progress;
    std::vector<TSkippedLine> Listed;  // the first ones
    std::int64_t SkippedCount = 0;
    bool Done = false;
    std::optional<TImportSummary> Summary;
    std::string Error;
  };
  std::shared_ptr<TShared> Shared;
  std::atomic<bool> Cancel{false};
  std::thread Worker;
  double StartSeconds = 0;
};

// Runs the window as the program; returns the exit status.
int RunImportWindow(int argc, char** argv, const std::string& directory);
