#include "app/output/PrintDlgs.h"

#include "app/UserPrompts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLayout>
#include <QLineEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <filesystem>

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
  // Without a printer the page goes into a PDF file named right here.
  auto* fileRow = new QHBoxLayout;
  LFileName = new QLabel("File:", printerBox);
  LFileName->setObjectName("LFileName");
  EFileName = new QLineEdit(printerBox);
  EFileName->setObjectName("EFileName");
  EFileName->setMinimumWidth(fontMetrics().averageCharWidth() * 28);
  LFileName->setBuddy(EFileName);
  EFileName->setPlaceholderText("type a name, or choose it with ...");
  BFileName = new QPushButton("...", printerBox);
  BFileName->setObjectName("BFileName");
  BFileName->setAutoDefault(false);
  BFileName->setFixedWidth(fontMetrics().horizontalAdvance("...") * 3);
  fileRow->addWidget(LFileName);
  fileRow->addWidget(EFileName, 1);
  fileRow->addWidget(BFileName);
  printerLayout->addLayout(fileRow);
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
  CBDescription = new QCheckBox("Print the description below the picture", this);
  CBDescription->setObjectName("CBDescription");
  top->addWidget(CBDescription);

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
  connect(BFileName, &QPushButton::clicked, this, [this] { SBFileNameClick(); });
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  FormShow();
  FitToContents();
}

void TPrintDlg::FitToContents()
{
  layout()->setSizeConstraint(QLayout::SetFixedSize);
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
  const bool pdf = printer_->outputFormat() == QPrinter::PdfFormat;
  for (QWidget* w : {static_cast<QWidget*>(LFileName), static_cast<QWidget*>(EFileName),
                     static_cast<QWidget*>(BFileName)})
    w->setVisible(pdf);
  // The system's printer set-up only where there are printers to set up.
  BPrinterSetup->setVisible(!QPrinterInfo::availablePrinters().isEmpty());
  const bool color = PrinterHasColor(*printer_);
  RBColor->setEnabled(color);
  RBColorWBG->setEnabled(color);
  // A colour scheme cannot stay chosen for a printer without colours.
  if (!color && (RBColor->isChecked() || RBColorWBG->isChecked())) RBBlackOnWhite->setChecked(true);
}

void TPrintDlg::FormShow()
{
  QRadioButton* schemes[] = {RBBlackOnWhite, RBWhiteOnBlack, RBColor, RBColorWBG};
  schemes[scheme_ >= 0 && scheme_ <= 3 ? scheme_ : 0]->setChecked(true);
  ShowPrinter();
  ECopies->setValue(1);
  copies_ = 1;
}

void TPrintDlg::ECopiesChange() { copies_ = ECopies->value(); }

void TPrintDlg::SBPrinterSetupClick()
{
  prompts_.SetupPrinter(this, *printer_);
  ShowPrinter();
}

std::string TPrintDlg::PdfFileName() const
{
  return EFileName->text().trimmed().toStdString();
}

void TPrintDlg::SetPdfFileName(const std::string& path)
{
  EFileName->setText(QString::fromStdString(path));
}

void TPrintDlg::SBFileNameClick()
{
  const std::filesystem::path current(PdfFileName());
  const std::string chosen =
      prompts_.PrintFileName(this, current.parent_path().string(),
                             current.empty() ? "sollumen.pdf" : current.filename().string());
  if (!chosen.empty()) SetPdfFileName(chosen);
}

bool TPrintDlg::PrintDescription() const { return CBDescription->isChecked(); }
