// The print dialog: the printer in use, the number of copies, the system's
// printer settings and the colour scheme of the page. It owns the printer,
// so that settings made in it last from one printing to the next.
#pragma once

#include <QDialog>

#include <memory>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TUserPrompts;

// Whether a printer prints colours (a PDF file always does).
bool PrinterHasColor(const QPrinter& printer);
// The printer's name as the dialog shows it; a PDF file when no printer
// is chosen.
QString PrinterCaption(const QPrinter& printer);

class TPrintDlg : public QDialog {
public:
  explicit TPrintDlg(TUserPrompts& prompts, QWidget* parent = nullptr);
  ~TPrintDlg() override;

  QPrinter& Printer() { return *printer_; }
  // The colour mode of the checked scheme: 0 black on white, 1 white on
  // black, 2 colour, 3 colour on white.
  int ColorMode() const;
  int Copies() const { return copies_; }

  // Called each time before the dialog is shown: the scheme last used
  // (SetScheme; black on white at first), one copy.
  void FormShow();
  void SetScheme(int colorMode) { scheme_ = colorMode; }
  // The PDF file the page goes into while no printer is chosen, typed in
  // the dialog itself or chosen with its "..." button; "" when not given.
  std::string PdfFileName() const;
  void SetPdfFileName(const std::string& path);
  void SBFileNameClick();
  // Whether the description is printed below the picture.
  bool PrintDescription() const;
  void ECopiesChange();
  void SBPrinterSetupClick();

  QLabel* LPrinter = nullptr;
  QLabel* Label1 = nullptr;
  QSpinBox* ECopies = nullptr;
  QPushButton* BPrinterSetup = nullptr;
  QRadioButton* RBBlackOnWhite = nullptr;
  QRadioButton* RBWhiteOnBlack = nullptr;
  QRadioButton* RBColor = nullptr;
  QRadioButton* RBColorWBG = nullptr;
  QLabel* LFileName = nullptr;
  QLineEdit* EFileName = nullptr;
  QPushButton* BFileName = nullptr;
  QCheckBox* CBDescription = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

private:
  void ShowPrinter();  // the name and the enabling of the colour schemes
  void FitToContents();  // the dialog takes the size of what it shows

  TUserPrompts& prompts_;
  std::unique_ptr<QPrinter> printer_;
  int copies_ = 1;
  int scheme_ = 0;
};
