// "New table": asks for the name of a table to create.
#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class TUserPrompts;

class TTableNameDlg : public QDialog {
public:
  explicit TTableNameDlg(TUserPrompts& prompts, QWidget* parent = nullptr);

  // Empties and focuses the name, shows the dialog modally; true on OK.
  bool Execute();
  // The name typed, without leading and trailing blanks.
  std::string GetTableName() const;

  QLabel* Label1 = nullptr;
  QLineEdit* EName = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

private:
  TUserPrompts& prompts_;
};
