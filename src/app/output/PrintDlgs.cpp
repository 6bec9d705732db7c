#include "app/output/PrintDlgs.h"

#include "app/UserPrompts.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

bool PrinterHasColor(const QPrinter& printer)
{
  if (printer.outputFormat() == QPrinter::PdfFormat) return true;
  if (printer.depth() <= 1) return false;
  const QPrinterInfo info = QPrinterInfo::printerInfo(printer.printerName());
  const QList<QPrinter::ColorMode> modes = info.supportedColorModes();
  return modes.isEmpty() || modes.contains(QPrinter::Color);
}

QString PrinterCaption(const QPrinter& printer)
{
  if (printer.outputFormat() == QPrinter::PdfFormat)
    return QPrinterInfo::availablePrinters().isEmpty() ? "PDF file (no printer installed)"
                                                        : "PDF file";
  return printer.printerName();
}

TPrintDlg::TPrintDlg(TUserPrompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts), printer_(std::make_unique<QPrinter>())
{
  setObjectName("PrintDlg");
  setWindowTitle("Print");

  auto* top = new QVBoxLayout(this);
  auto* printerBox = new QGroupBox("Printer", this);
  auto* printerLayout = new QVBoxLayout(printerBox);
  LPrinter = new QLabel(printerBox);
  LPrinter->setObjectName("LPrinter");
  LPrinter->setWordWrap(true);
  LPrinter->setMinimumWidth(220);
  printerLayout->addWidget(LPrinter);
  auto* row = new QHBoxLayout;
  Label1 = new QLabel("Copies:", printerBox);
  Label1->setObjectName("Label1");
  ECopies = new QSpinBox(printerBox);
  ECopies->setObjectName("ECopies");
  ECopies->setRange(1, 20);
  ECopies->setValue(1);
  Label1->setBuddy(ECopies);
  BPrinterSetup = new QPushButton("Settings", printerBox);
  BPrinterSetup->setObjectName("BPrinterSetup");
  BPrinterSetup->setAutoDefault(false);
  row->addWidget(Label1);
  row->addWidget(ECopies);
  row->addStretch(1);
  row->addWidget(BPrinterSetup);
  printerLayout->addLayout(row);
  top->addWidget(printerBox);

  auto* colors = new QGroupBox("Colors", this);
  auto* colorLayout = new QVBoxLayout(colors);
  RBBlackOnWhite = new QRadioButton("Black on white", colors);
  RBBlackOnWhite->setObjectName("RBBlackOnWhite");
  RBWhiteOnBlack = new QRadioButton("White on black", colors);
  RBWhiteOnBlack->setObjectName("RBWhiteOnBlack");
  RBColor = new QRadioButton("Color", colors);
  RBColor->setObjectName("RBColor");
  RBColorWBG = new QRadioButton("Color (white background)", colors);
  RBColorWBG->setObjectName("RBColorWBG");
  for (QRadioButton* b : {RBBlackOnWhite, RBWhiteOnBlack, RBColor, RBColorWBG})
    colorLayout->addWidget(b);
  top->addWidget(colors);

  auto* buttons = new QHBoxLayout;
  OKBtn = new QPushButton("OK", this);
  OKBtn->setObjectName("OKBtn");
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton("Cancel", this);
  CancelBtn->setObjectName("CancelBtn");
  buttons->addStretch(1);
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  top->addLayout(buttons);

  connect(ECopies, &QSpinBox::valueChanged, this, [this] { ECopiesChange(); });
  connect(BPrinterSetup, &QPushButton::clicked, this, [this] { SBPrinterSetupClick(); });
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  FormShow();
  setFixedSize(sizeHint());
}

TPrintDlg::~TPrintDlg() = default;

int TPrintDlg::ColorMode() const
{
  if (RBWhiteOnBlack->isChecked()) return 1;
  if (RBColor->isChecked()) return 2;
  if (RBColorWBG->isChecked()) return 3;
  return 0;
}

void TPrintDlg::ShowPrinter()
{
  LPrinter->setText(PrinterCaption(*printer_));
  const bool color = PrinterHasColor(*printer_);
  RBColor->setEnabled(color);
  RBColorWBG->setEnabled(color);
  // A colour scheme cannot stay chosen for a printer without colours.
  if (!color && (RBColor->isChecked() || RBColorWBG->isChecked())) RBBlackOnWhite->setChecked(true);
}

void TPrintDlg::FormShow()
{
  ShowPrinter();
  RBBlackOnWhite->setChecked(true);
  ECopies->setValue(1);
  copies_ = 1;
}

void TPrintDlg::ECopiesChange() { copies_ = ECopies->value(); }

void TPrintDlg::SBPrinterSetupClick()
{
  prompts_.SetupPrinter(this, *printer_);
  ShowPrinter();
}
