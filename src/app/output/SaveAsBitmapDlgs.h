// The export dialog: the file to write (PNG or BMP) and the edge of the
// square image.
#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TUserPrompts;

class TSaveAsBitmapDlg : public QDialog {
public:
  static constexpr int MinSize = 50;
  static constexpr int MaxSize = 4000;

  explicit TSaveAsBitmapDlg(TUserPrompts& prompts, QWidget* parent = nullptr);

  // The proposed file; the field shows "default.png" for a bare directory.
  void SetExportFileName(const std::string& path);
  // The size, kept within 50 .. 4000.
  void SetExportSize(int size);
  // The file to write for what the field holds (".png" added unless it
  // names a PNG or BMP file, a bare name put into ExportDir); ExportDir
  // becomes its directory.
  std::string GetExportFileName();

  void SBFileNameClick();
  void SESizeChange();
  void FileNameEditChange();

  std::string ExportFileName;
  std::string ExportDir;  // ends with the separator, or is empty
  int ExportSize = 500;

  QLineEdit* FileNameEdit = nullptr;
  QPushButton* SBFileName = nullptr;
  QLabel* Label1 = nullptr;
  QSpinBox* SESize = nullptr;
  QLabel* Label2 = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

private:
  TUserPrompts& prompts_;
};
