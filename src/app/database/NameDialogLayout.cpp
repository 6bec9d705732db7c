#include "app/database/NameDialogLayout.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

void LayOutNameDialog(QDialog& dialog, const char* caption, const char* label,
                      QLabel*& labelControl, QLineEdit*& edit, QPushButton*& ok,
                      QPushButton*& cancel)
{
  dialog.setWindowTitle(caption);
  auto* v = new QVBoxLayout(&dialog);
  labelControl = new QLabel(label, &dialog);
  labelControl->setObjectName("Label1");
  edit = new QLineEdit(&dialog);
  edit->setObjectName("EName");
  edit->setMinimumWidth(220);
  ok = new QPushButton("OK", &dialog);
  ok->setObjectName("OKBtn");
  ok->setDefault(true);
  cancel = new QPushButton("Cancel", &dialog);
  cancel->setObjectName("CancelBtn");
  v->addWidget(labelControl);
  v->addWidget(edit);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  v->addLayout(buttons);
  v->setSizeConstraint(QLayout::SetFixedSize);  // a fixed border
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
}
