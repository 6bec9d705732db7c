#include "app/database/TableNameDlgs.h"

#include "app/UserPrompts.h"
#include "app/database/NameDialogLayout.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>

TTableNameDlg::TTableNameDlg(TUserPrompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts)
{
  setObjectName("TableNameDlg");
  LayOutNameDialog(*this, "New table", "Table name:", Label1, EName, OKBtn, CancelBtn);
  // Which names are taken, said before the user types one.
  LRule = new QLabel(QString::fromStdString(TableNameRule), this);
  LRule->setObjectName("LRule");
  LRule->setWordWrap(true);
  LRule->setEnabled(false);  // the palette's quieter text
  if (auto* v = qobject_cast<QBoxLayout*>(layout())) v->insertWidget(2, LRule);
}

const char* const TableNameRule =
    "Any letters, digits, blanks and signs but \"/\"; the table is saved as the name "
    "followed by \".db\".";

bool IsAllowedTableName(const std::string& name)
{
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
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
