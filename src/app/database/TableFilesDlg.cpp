#include "app/database/TableFilesDlg.h"

#include "app/UserPrompts.h"
#include "app/database/CreateIdxForms.h"
#include "app/database/TableNameDlgs.h"

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <filesystem>

namespace {

QPushButton* Button(const char* name, const char* caption, QWidget* parent)
{
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

TDataFilesDlg::TDataFilesDlg(TUserPrompts& prompts, TTableNameDlg& tableNameDlg,
                             TCreateIdxForm& createIdxForm, QWidget* parent)
    : QDialog(parent), prompts_(prompts), tableNameDlg_(tableNameDlg), createIdxForm_(createIdxForm)
{
  setObjectName("DataFilesDlg");
  setWindowTitle("Select data file");
  auto* g = new QGridLayout(this);
  g->setContentsMargins(8, 8, 8, 8);
  g->setSpacing(5);
  Label3 = new QLabel("Available data files:", this);
  Label3->setObjectName("Label3");
  TablesListBox = new QListWidget(this);
  TablesListBox->setObjectName("TablesListBox");
  BNewTable = Button("BNewTable", "Create new file", this);
  BDeleteTable = Button("BDeleteTable", "Delete file", this);
  BRebuildIndx = Button("BRebuildIndx", "Rebuild indices", this);
  BImport = Button("BImport", "Start import module", this);
  BRefreshList = Button("BRefreshList", "Refresh list", this);
  BDatabasePath = Button("BDatabasePath", "Database path", this);
  OKBtn = Button("OKBtn", "OK", this);
  OKBtn->setDefault(true);
  CancelBtn = Button("CancelBtn", "Cancel", this);

  g->addWidget(Label3, 0, 0, 1, 2);
  g->addWidget(TablesListBox, 1, 0, 7, 1);
  int row = 1;
  for (QPushButton* b : {BNewTable, BDeleteTable, BRebuildIndx, BImport, BRefreshList,
                         BDatabasePath})
    g->addWidget(b, row++, 1);
  g->setRowStretch(7, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  g->addLayout(buttons, 8, 0, 1, 2);
  g->setColumnStretch(0, 1);
  setFixedSize(std::max(275, sizeHint().width()), std::max(229, sizeHint().height()));

  connect(TablesListBox, &QListWidget::itemClicked, this, [this] { TablesListBoxClick(); });
  connect(TablesListBox, &QListWidget::itemDoubleClicked, this,
          [this] { TablesListBoxDblClick(); });
  // Keys move the selection as clicks do.
  connect(TablesListBox, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0 && TablesListBox->item(row)->isSelected()) TablesListBoxClick();
  });
  connect(BNewTable, &QPushButton::clicked, this, [this] { BNewTableClick(); });
  connect(BDeleteTable, &QPushButton::clicked, this, [this] { BDeleteTableClick(); });
  connect(BRebuildIndx, &QPushButton::clicked, this, [this] { BRebuildIndxClick(); });
  connect(BImport, &QPushButton::clicked, this, [this] { BImportClick(); });
  connect(BRefreshList, &QPushButton::clicked, this, [this] { BRefreshListClick(); });
  connect(BDatabasePath, &QPushButton::clicked, this, [this] { BDatabasePathClick(); });
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  StartProgram = [](const std::string& program, const std::string& argument) {
    QProcess::startDetached(QString::fromStdString(program), {QString::fromStdString(argument)});
  };
  UpdateButtons();
}

template <class F>
void TDataFilesDlg::Guarded(F&& action)
{
  try {
    action();
  } catch (const std::exception& e) {
    prompts_.Error(this, e.what());
  }
}

bool TDataFilesDlg::Execute()
{
  if (QScreen* s = QApplication::primaryScreen())
    move(s->availableGeometry().center() - rect().center());
  return prompts_.RunDialog(*this);
}

void TDataFilesDlg::FillList()
{
  TablesListBox->clear();
  Guarded([this] {
    for (const std::string& name : ListTables(DatabasePath))
      TablesListBox->addItem(QString::fromStdString(name));
  });
}

bool TDataFilesDlg::SelectEntry(const std::string& name)
{
  const QString n = QString::fromStdString(name);
  for (int i = 0; i < TablesListBox->count(); ++i) {
    if (TablesListBox->item(i)->text() == n) {
      const QSignalBlocker block(TablesListBox);
      TablesListBox->setCurrentRow(i);
      return true;
    }
  }
  const QSignalBlocker block(TablesListBox);
  TablesListBox->clearSelection();
  TablesListBox->setCurrentRow(-1);
  return false;
}

void TDataFilesDlg::UpdateButtons()
{
  const bool selected = !TablesListBox->selectedItems().isEmpty();
  for (QPushButton* b : {BDeleteTable, BRebuildIndx, OKBtn}) b->setEnabled(selected);
}

void TDataFilesDlg::SetDatabasePath(const std::string& path)
{
  DatabasePath = path;
  Table.Close();
  Table.SetDatabaseName(path);
  FillList();
  TableName.clear();
  UpdateButtons();
}

void TDataFilesDlg::SelectTable(const std::string& name)
{
  TableName = name;
  if (SelectEntry(name)) {
    Table.Close();
    Table.SetDatabaseName(DatabasePath);
    Table.SetTableName(name);
    TableName = Table.TableName();
  }
  UpdateButtons();
}

void TDataFilesDlg::TablesListBoxClick()
{
  QListWidgetItem* item = TablesListBox->currentItem();
  if (!item) return;
  Table.Close();
  Table.SetDatabaseName(DatabasePath);
  Table.SetTableName(item->text().toStdString());
  TableName = item->text().toStdString();
  UpdateButtons();
}

void TDataFilesDlg::TablesListBoxDblClick()
{
  if (TablesListBox->currentItem()) accept();
}

void TDataFilesDlg::BNewTableClick()
{
  if (!tableNameDlg_.Execute()) return;
  const std::string typed = tableNameDlg_.GetTableName();
  if (typed.empty()) return;
  if (!IsAllowedTableName(typed)) {
    prompts_.Error(this, "The name \"" + typed + "\" cannot be used for a table.\r" +
                             TableNameRule);
    return;
  }
  const std::string fileName = typed + ".db";
  Guarded([&] {
    Table.Close();
    Table.SetDatabaseName(DatabasePath);
    Table.SetTableName(fileName);
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::path(DatabasePath) / fileName, ec)) {
      // The engine would replace the table: only when the user says so.
      if (!prompts_.Confirm(this, "The table '" + fileName +
                                      "' exists already.\rDo you want to replace it?"))
        return;
      DeleteTable(DatabasePath, fileName);
    }
    CreateTable(DatabasePath, fileName);
    Table.Open(true);
    Table.Close();
    FillList();
    SelectEntry(fileName);
    TableName = Table.TableName();
  });
  UpdateButtons();
}

void TDataFilesDlg::BDeleteTableClick()
{
  if (TablesListBox->selectedItems().isEmpty()) return;
  const std::string name = Table.TableName();
  if (!prompts_.Confirm(this, "Are you sure you want to delete the table '" + name + "'?")) return;
  Guarded([&] {
    Table.Close();
    DeleteTable(DatabasePath, name);
  });
  FillList();
  SelectEntry("");
  UpdateButtons();
}

void TDataFilesDlg::BRebuildIndxClick()
{
  if (TablesListBox->selectedItems().isEmpty()) return;
  Guarded([this] { createIdxForm_.CreateIndices(Table); });
  Table.Close();
}

std::string TDataFilesDlg::ImporterPath() const
{
  return QDir(QApplication::applicationDirPath()).filePath("tessaloader").toStdString();
}

void TDataFilesDlg::BImportClick()
{
  // Not waited for, and a failed start is not reported: new tables appear
  // after "Refresh list".
  if (StartProgram) StartProgram(ImporterPath(), DatabasePath);
}

void TDataFilesDlg::BRefreshListClick()
{
  FillList();
  SelectEntry(Table.TableName());
  UpdateButtons();
}

void TDataFilesDlg::BDatabasePathClick()
{
  const std::string chosen = prompts_.ChooseDirectory(this, DatabasePath);
  if (!chosen.empty()) SetDatabasePath(chosen);
  UpdateButtons();
}
