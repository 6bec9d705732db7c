#include "app/database/TableNameDlgs.h"

#include "app/UserPrompts.h"
#include "app/database/NameDialogLayout.h"

#include <QLineEdit>

TTableNameDlg::TTableNameDlg(TUserPrompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts)
{
  setObjectName("TableNameDlg");
  LayOutNameDialog(*this, "New table", "Table name:", Label1, EName, OKBtn, CancelBtn);
}

bool TTableNameDlg::Execute()
{
  EName->clear();
  EName->setFocus();
  return prompts_.RunDialog(*this);
}

std::string TTableNameDlg::GetTableName() const
{
  return EName->text().trimmed().toStdString();
}
