#include "app/database/SearchDlgs.h"

#include "app/UserPrompts.h"
#include "app/database/NameDialogLayout.h"

#include <QLineEdit>

TSearchDlg::TSearchDlg(TUserPrompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts)
{
  setObjectName("SearchDlg");
  LayOutNameDialog(*this, "Search name", "Name to search:", Label1, EName, OKBtn, CancelBtn);
}

bool TSearchDlg::Execute()
{
  EName->clear();
  EName->setFocus();
  return prompts_.RunDialog(*this);
}

std::string TSearchDlg::GetSearchName() const { return EName->text().toStdString(); }
