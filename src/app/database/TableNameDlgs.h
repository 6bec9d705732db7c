// "New table": asks for the name of a table to create.
#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class TUserPrompts;

// What a table name may hold, as the dialog says it, and the test of it.
extern const char* const TableNameRule;
bool IsAllowedTableName(const std::string& name);

class TTableNameDlg : public QDialog {
public:
  explicit TTableNameDlg(TUserPrompts& prompts, QWidget* parent = nullptr);

  // Empties and focuses the name, shows the dialog modally; true on OK.
  bool Execute();
  // The name typed, without leading and trailing blanks.
  std::string GetTableName() const;

  QLabel* Label1 = nullptr;
  QLineEdit* EName = nullptr;
  QLabel* LRule = nullptr;  // which characters a name may hold
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

private:
  TUserPrompts& prompts_;
};
