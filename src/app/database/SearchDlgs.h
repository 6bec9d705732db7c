// "Search name": asks for the name the browser goes to.
#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class TUserPrompts;

class TSearchDlg : public QDialog {
public:
  explicit TSearchDlg(TUserPrompts& prompts, QWidget* parent = nullptr);

  // Empties and focuses the name, shows the dialog modally; true on OK.
  bool Execute();
  // The text typed, unchanged.
  std::string GetSearchName() const;

  QLabel* Label1 = nullptr;
  QLineEdit* EName = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

private:
  TUserPrompts& prompts_;
};
