#include "app/output/SaveAsBitmapDlgs.h"

#include "app/UserPrompts.h"
#include "app/output/OutputTexts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

TSaveAsBitmapDlg::TSaveAsBitmapDlg(TUserPrompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts)
{
  setObjectName("SaveAsBitmapDlg");
  setWindowTitle("Save as graphic file");

  auto* grid = new QGridLayout(this);
  FileNameEdit = new QLineEdit(this);
  FileNameEdit->setObjectName("FileNameEdit");
  FileNameEdit->setMinimumWidth(280);
  SBFileName = new QPushButton("...", this);
  SBFileName->setObjectName("SBFileName");
  SBFileName->setAutoDefault(false);
  SBFileName->setFixedWidth(28);
  grid->addWidget(FileNameEdit, 0, 0, 1, 3);
  grid->addWidget(SBFileName, 0, 3);

  Label1 = new QLabel("Graphic size (square):", this);
  Label1->setObjectName("Label1");
  SESize = new QSpinBox(this);
  SESize->setObjectName("SESize");
  SESize->setRange(MinSize, MaxSize);
  SESize->setSingleStep(50);
  SESize->setValue(ExportSize);
  Label1->setBuddy(SESize);
  Label2 = new QLabel("pixels", this);
  Label2->setObjectName("Label2");
  grid->addWidget(Label1, 1, 0);
  grid->addWidget(SESize, 1, 1);
  grid->addWidget(Label2, 1, 2);

  auto* buttons = new QHBoxLayout;
  OKBtn = new QPushButton("OK", this);
  OKBtn->setObjectName("OKBtn");
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton("Cancel", this);
  CancelBtn->setObjectName("CancelBtn");
  buttons->addStretch(1);
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  grid->addLayout(buttons, 2, 0, 1, 4);

  connect(SBFileName, &QPushButton::clicked, this, [this] { SBFileNameClick(); });
  connect(SESize, &QSpinBox::valueChanged, this, [this] { SESizeChange(); });
  connect(FileNameEdit, &QLineEdit::textChanged, this, [this] { FileNameEditChange(); });
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  FileNameEditChange();
  setFixedSize(sizeHint());
}

void TSaveAsBitmapDlg::SetExportFileName(const std::string& path)
{
  ExportFileName = path;
  ExportDir = DirectoryPart(path);
  FileNameEdit->setText(QString::fromStdString(ExportFieldText(path)));
}

void TSaveAsBitmapDlg::SetExportSize(int size)
{
  // A size from an edited settings file is kept within the field's range.
  ExportSize = std::clamp(size, MinSize, MaxSize);
  SESize->setValue(ExportSize);
}

std::string TSaveAsBitmapDlg::GetExportFileName()
{
  const std::string f = CompleteExportFileName(FileNameEdit->text().trimmed().toStdString(), ExportDir);
  ExportDir = DirectoryPart(f);
  return f;
}

void TSaveAsBitmapDlg::SBFileNameClick()
{
  const std::string chosen = prompts_.SaveBitmapName(this, ExportDir, NamePart(ExportFileName));
  if (!chosen.empty()) SetExportFileName(chosen);
}

void TSaveAsBitmapDlg::SESizeChange() { ExportSize = SESize->value(); }

void TSaveAsBitmapDlg::FileNameEditChange()
{
  OKBtn->setEnabled(!FileNameEdit->text().trimmed().isEmpty());
}
