#include "ImportWindow.h"

#include "app/UserPrompts.h"
#include "database/TableSchema.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

namespace {

constexpr std::size_t MaxListedLines = 100;

const char* const MinorPlanetFilter =
    "MPC minor-planet files (*.DAT *.dat *.txt *.gz);;all files (*)";
const char* const CometFilter = "MPC comet files (*.txt *.gz);;all files (*)";

double Now()
{
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

QString Duration(double seconds)
{
  const int s = static_cast<int>(seconds + 0.5);
  return QString("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QChar('0'));
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TImportForm::TImportForm(const std::string& directory, TUserPrompts& prompts)
  : Directory(directory), Prompts(prompts), Shared(std::make_shared<TShared>())
{
  setWindowTitle("Tessaloader - import minor-body elements");
  auto* layout = new QVBoxLayout(this);

  layout->addWidget(new QLabel("Database directory: " + Q(Directory.empty() ? "(none)" : Directory)));

  auto* files = new QGroupBox("Input files");
  auto* filesLayout = new QHBoxLayout(files);
  FilesList = new QListWidget;
  filesLayout->addWidget(FilesList, 1);
  auto* fileButtons = new QVBoxLayout;
  BAddMinorPlanets = new QPushButton("Add minor-planet files...");
  BAddComets = new QPushButton("Add comet files...");
  BRemove = new QPushButton("Remove");
  fileButtons->addWidget(BAddMinorPlanets);
  fileButtons->addWidget(BAddComets);
  fileButtons->addWidget(BRemove);
  fileButtons->addStretch();
  filesLayout->addLayout(fileButtons);
  layout->addWidget(files);

  auto* table = new QGroupBox("Table");
  auto* tableLayout = new QHBoxLayout(table);
  tableLayout->addWidget(new QLabel("Name:"));
  CBTable = new QComboBox;
  CBTable->setEditable(true);
  CBTable->setMinimumWidth(220);
  tableLayout->addWidget(CBTable, 1);
  RBReplace = new QRadioButton("Replace an existing table");
  RBAppend = new QRadioButton("Append to it");
  RBReplace->setChecked(true);
  tableLayout->addWidget(RBReplace);
  tableLayout->addWidget(RBAppend);
  layout->addWidget(table);

  ProgressBar = new QProgressBar;
  ProgressBar->setRange(0, 1000);
  ProgressBar->setValue(0);
  ProgressBar->setTextVisible(false);
  layout->addWidget(ProgressBar);
  LProgress = new QLabel(" ");
  layout->addWidget(LProgress);

  ESummary = new QPlainTextEdit;
  ESummary->setReadOnly(true);
  ESummary->setPlaceholderText("The summary of the import appears here.");
  layout->addWidget(ESummary, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  BImport = new QPushButton("Import");
  BImport->setDefault(true);
  BCancel = new QPushButton("Cancel");
  BClose = new QPushButton("Close");
  buttons->addWidget(BImport);
  buttons->addWidget(BCancel);
  buttons->addWidget(BClose);
  layout->addLayout(buttons);

  PollTimer = new QTimer(this);
  PollTimer->setInterval(200);

  connect(BAddMinorPlanets, &QPushButton::clicked, this, [this] { AddFiles(TElementFormat::MinorPlanets); });
  connect(BAddComets, &QPushButton::clicked, this, [this] { AddFiles(TElementFormat::Comets); });
  connect(BRemove, &QPushButton::clicked, this, [this] { RemoveFile(); });
  connect(FilesList, &QListWidget::currentRowChanged, this, [this] { UpdateButtons(); });
  connect(CBTable, &QComboBox::editTextChanged, this, [this] { UpdateButtons(); });
  connect(BImport, &QPushButton::clicked, this, [this] { StartImport(); });
  connect(BCancel, &QPushButton::clicked, this, [this] { CancelImport(); });
  connect(BClose, &QPushButton::clicked, this, [this] { close(); });
  connect(PollTimer, &QTimer::timeout, this, [this] { Poll(); });

  FillTables();
  CBTable->setEditText("");
  resize(760, 560);
  UpdateButtons();
}

TImportForm::~TImportForm()
{
  Cancel = true;
  if (Worker.joinable()) Worker.join();
}

void TImportForm::FillTables()
{
  CBTable->clear();
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(Directory, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() > 3 && name.compare(name.size() - 3, 3, ".db") == 0 && IsTableFile(it->path().string()))
      names.push_back(name.substr(0, name.size() - 3));
  }
  std::sort(names.begin(), names.end());
  for (const std::string& n : names) CBTable->addItem(Q(n));
}

void TImportForm::AddInput(const std::string& path, TElementFormat format)
{
  Inputs.push_back({path, format});
  const QString kind = format == TElementFormat::Comets ? "comets" : "minor planets";
  FilesList->addItem(QString("%1   (%2)").arg(Q(path), kind));
  UpdateButtons();
}

void TImportForm::AddFiles(TElementFormat format)
{
  const bool comets = format == TElementFormat::Comets;
  const std::vector<std::string> names = Prompts.OpenFileNames(
      this, comets ? "Comet files (CometEls.txt)" : "Minor-planet files (MPCORB.DAT, extracts)",
      QDir::homePath().toStdString(), comets ? CometFilter : MinorPlanetFilter);
  for (const std::string& n : names) AddInput(n, format);
}

void TImportForm::RemoveFile()
{
  const int row = FilesList->currentRow();
  if (row < 0 || row >= static_cast<int>(Inputs.size())) return;
  Inputs.erase(Inputs.begin() + row);
  delete FilesList->takeItem(row);
  UpdateButtons();
}

void TImportForm::SetTableName(const std::string& name) { CBTable->setEditText(Q(name)); }

void TImportForm::SetAppend(bool append) { (append ? RBAppend : RBReplace)->setChecked(true); }

void TImportForm::UpdateButtons()
{
  const bool running = Running();
  const bool exists = CBTable->findText(CBTable->currentText().trimmed()) >= 0;
  BAddMinorPlanets->setEnabled(!running);
  BAddComets->setEnabled(!running);
  BRemove->setEnabled(!running && FilesList->currentRow() >= 0);
  CBTable->setEnabled(!running);
  RBReplace->setEnabled(!running && exists);
  RBAppend->setEnabled(!running && exists);
  BImport->setEnabled(!running && !Inputs.empty() && !CBTable->currentText().trimmed().isEmpty());
  BCancel->setEnabled(running);
  BClose->setEnabled(!running);
}

void TImportForm::StartImport()
{
  if (Running()) return;
  const std::string name = CBTable->currentText().trimmed().toStdString();
  const bool exists = CBTable->findText(Q(name)) >= 0;
  const TImportMode mode =
      !exists ? TImportMode::New : RBAppend->isChecked() ? TImportMode::Append : TImportMode::Replace;
  if (exists && mode == TImportMode::Replace &&
      !Prompts.Confirm(this, "Replace the table '" + name + "' with the imported rows?"))
    return;

  Shared = std::make_shared<TShared>();
  Cancel = false;
  ESummary->clear();
  ProgressBar->setValue(0);
  LProgress->setText("Starting...");
  StartSeconds = Now();

  std::shared_ptr<TShared> shared = Shared;
  TImportCallbacks callbacks;
  callbacks.Cancel = &Cancel;
  callbacks.Progress = [shared](const TImportProgress& p) {
    std::lock_guard<std::mutex> lock(shared->Lock);
    shared->Progress = p;
  };
  callbacks.Skipped = [shared](const TSkippedLine& s) {
    std::lock_guard<std::mutex> lock(shared->Lock);
    if (shared->Listed.size() < MaxListedLines) shared->Listed.push_back(s);
    ++shared->SkippedCount;
  };
  Worker = std::thread([shared, callbacks, dir = Directory, name, inputs = Inputs, mode] {
    std::optional<TImportSummary> summary;
    std::string error;
    try {
      summary = ImportTables(dir, name, inputs, mode, callbacks);
    } catch (const std::exception& e) {
      error = e.what();
    }
    std::lock_guard<std::mutex> lock(shared->Lock);
    shared->Summary = std::move(summary);
    shared->Error = error;
    shared->Done = true;
  });
  PollTimer->start();
  UpdateButtons();
}

void TImportForm::CancelImport()
{
  if (!Running()) return;
  Cancel = true;
  LProgress->setText("Cancelling...");
}

void TImportForm::Poll()
{
  TImportProgress p;
  bool done;
  {
    std::lock_guard<std::mutex> lock(Shared->Lock);
    p = Shared->Progress;
    done = Shared->Done;
  }
  if (done) {
    Finish();
    return;
  }
  const double elapsed = Now() - StartSeconds;
  if (p.Indexing) {
    ProgressBar->setValue(500 + p.IndicesDone * 500 / 7);
    LProgress->setText(QString("%1 rows imported; making the indices (%2 of 7)")
                           .arg(p.Rows)
                           .arg(std::min(p.IndicesDone + 1, 7)));
    return;
  }
  const double part = p.BytesTotal ? double(p.BytesDone) / double(p.BytesTotal) : 0;
  ProgressBar->setValue(static_cast<int>(500 * part));
  QString text = QString("%1 rows").arg(p.Rows);
  if (elapsed > 0.5 && p.Rows > 0) {
    text += QString("   %1 rows/s").arg(static_cast<long long>(p.Rows / elapsed));
    // The seven indices take about as long as the rows.
    if (part > 0.01) text += "   about " + Duration(elapsed * (1 - part) / part + elapsed / part) + " left";
  }
  LProgress->setText(text);
}

void TImportForm::Finish()
{
  PollTimer->stop();
  if (Worker.joinable()) Worker.join();
  const double elapsed = Now() - StartSeconds;
  ESummary->setPlainText(Q(SummaryText()));
  bool ok;
  std::string error;
  {
    std::lock_guard<std::mutex> lock(Shared->Lock);
    ok = Shared->Summary.has_value();
    error = Shared->Error;
  }
  ProgressBar->setValue(ok ? 1000 : 0);
  LProgress->setText(ok ? "Done in " + Duration(elapsed) : Q(error));
  const QString current = CBTable->currentText();
  FillTables();
  CBTable->setEditText(current);
  UpdateButtons();
  if (!ok && error != EImportCancelled().what()) Prompts.Error(this, error);
}

std::string TImportForm::SummaryText() const
{
  std::lock_guard<std::mutex> lock(Shared->Lock);
  std::string text;
  if (Shared->Summary) {
    const TImportSummary& s = *Shared->Summary;
    text += "Table " + s.TableFile + " in " + Directory + "\n";
    for (const TFileSummary& f : s.Files)
      text += std::to_string(f.Imported) + " rows imported, " + std::to_string(f.Skipped) +
              " skipped: " + f.Path + "\n";
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", s.Seconds);
    text += "In all " + std::to_string(s.Imported) + " rows imported, " + std::to_string(s.Skipped) +
            " lines skipped, in " + seconds + " s.\n";
  } else if (!Shared->Error.empty()) {
    text += Shared->Error + "\nNothing was created or changed.\n";
  }
  if (!Shared->Listed.empty()) text += "\nLines skipped:\n";
  for (const TSkippedLine& l : Shared->Listed)
    text += QFileInfo(Q(l.File)).fileName().toStdString() + " line " + std::to_string(l.Line) + ": " +
            l.Reason + "\n";
  if (Shared->SkippedCount > static_cast<std::int64_t>(Shared->Listed.size()))
    text += "... and " + std::to_string(Shared->SkippedCount - std::int64_t(Shared->Listed.size())) +
            " more lines.\n";
  return text;
}

void TImportForm::closeEvent(QCloseEvent* event)
{
  if (Running()) {
    // Closing during an import cancels it; nothing half-written stays.
    Cancel = true;
    Worker.join();
    PollTimer->stop();
  }
  event->accept();
}

int RunImportWindow(int argc, char** argv, const std::string& directory)
{
  QApplication app(argc, argv);
  QApplication::setApplicationName("tessaloader");
  TDialogPrompts prompts;
  const std::string dir = directory.empty() ? QDir::currentPath().toStdString() : directory;
  TImportForm form(dir, prompts);
  form.show();
  return QApplication::exec();
}
