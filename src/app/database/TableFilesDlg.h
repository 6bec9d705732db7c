// "Select data file": lists the minor-body tables of the database directory
// and lets the user pick one, create and delete tables, add missing
// indices, start the importer and change the directory. The caller presets
// it with SetDatabasePath and SelectTable and reads DatabasePath and
// TableName after OK.
#pragma once

#include "database/MinorBodyTable.h"

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QListWidget;
class QPushButton;
class TCreateIdxForm;
class TTableNameDlg;
class TUserPrompts;

class TDataFilesDlg : public QDialog {
public:
  TDataFilesDlg(TUserPrompts& prompts, TTableNameDlg& tableNameDlg, TCreateIdxForm& createIdxForm,
                QWidget* parent = nullptr);

  void SetDatabasePath(const std::string& path);
  void SelectTable(const std::string& name);
  void UpdateButtons();
  bool Execute();  // modal; true on OK

  void TablesListBoxClick();
  void TablesListBoxDblClick();
  void BNewTableClick();
  void BDeleteTableClick();
  void BRebuildIndxClick();
  void BImportClick();
  void BRefreshListClick();
  void BDatabasePathClick();

  // The dialog's result.
  std::string DatabasePath;
  std::string TableName;
  // The dialog's own handle on the selected table.
  TTable Table;

  // Starts the importer with its one argument, not waiting for it; the
  // desktop's own unless replaced (tests watch it).
  std::function<void(const std::string& program, const std::string& argument)> StartProgram;
  // Where the importer lies: the directory of the running program.
  std::string ImporterPath() const;

  QLabel* Label3 = nullptr;
  QListWidget* TablesListBox = nullptr;
  QPushButton* BNewTable = nullptr;
  QPushButton* BDeleteTable = nullptr;
  QPushButton* BRebuildIndx = nullptr;
  QPushButton* BImport = nullptr;
  QPushButton* BRefreshList = nullptr;
  QPushButton* BDatabasePath = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

private:
  // Refills the list from DatabasePath; engine errors are shown.
  void FillList();
  // Selects the entry of that name, if listed; false otherwise.
  bool SelectEntry(const std::string& name);
  // Runs an action; a table engine's error is shown and the dialog stays.
  template <class F>
  void Guarded(F&& action);

  TUserPrompts& prompts_;
  TTableNameDlg& tableNameDlg_;
  TCreateIdxForm& createIdxForm_;
};
