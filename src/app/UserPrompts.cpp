#include "app/UserPrompts.h"

#include "app/widgets/QtCanvas.h"  // ToQColor, FromQColor

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace {

const char* const DocumentFilter = "orbit files (*.orb);;all files (*)";

QString Text(const std::string& s) { return QString::fromStdString(DisplayLineBreaks(s)); }

QString Caption(QWidget* parent) { return parent ? parent->windowTitle() : QString("Sollumen"); }

QString Proposal(const std::string& directory, const std::string& name)
{
  if (directory.empty()) return QString::fromStdString(name);
  return QDir(QString::fromStdString(directory)).filePath(QString::fromStdString(name));
}

}  // namespace

std::string DisplayLineBreaks(const std::string& text)
{
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

void TDialogPrompts::Error(QWidget* parent, const std::string& text)
{
  QMessageBox::critical(parent, Caption(parent), Text(text));
}

void TDialogPrompts::Message(QWidget* parent, const std::string& text)
{
  QMessageBox::information(parent, Caption(parent), Text(text));
}

bool TDialogPrompts::Confirm(QWidget* parent, const std::string& text)
{
  return QMessageBox::question(parent, Caption(parent), Text(text),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::string SaveChangesQuestion(const std::string& name)
{
  return "The document \"" + name + "\" has changes that are not saved.\r"
         "Save them before going on?";
}

TSaveChoice TDialogPrompts::AskSaveChanges(QWidget* parent, const std::string& name)
{
  const auto answer = QMessageBox::warning(
      parent, Caption(parent), Text(SaveChangesQuestion(name)),
      QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
  if (answer == QMessageBox::Save) return TSaveChoice::Save;
  if (answer == QMessageBox::Discard) return TSaveChoice::Discard;
  return TSaveChoice::Cancel;
}

std::string BrowserFailedText(const std::string& address)
{
  return "No web browser could be started. The address is:\r" + address;
}

void TUserPrompts::BrowserFailed(QWidget* parent, const std::string& address)
{
  Message(parent, BrowserFailedText(address));
}

void TDialogPrompts::BrowserFailed(QWidget* parent, const std::string& address)
{
  QMessageBox box(QMessageBox::Information, Caption(parent), Text(BrowserFailedText(address)),
                  QMessageBox::Ok, parent);
  // The address can be selected and copied into a browser by hand.
  box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  box.exec();
}

std::string TDialogPrompts::OpenDocumentName(QWidget* parent, const std::string& directory,
                                             const std::string& name)
{
  QFileDialog dialog(parent, "Open file", Proposal(directory, name), DocumentFilter);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix("orb");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first().toStdString();
}

std::string TDialogPrompts::SaveDocumentName(QWidget* parent, const std::string& directory,
                                             const std::string& name)
{
  // The dialog asks before an existing file is replaced.
  QFileDialog dialog(parent, "Save file", Proposal(directory, name), DocumentFilter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix("orb");
  dialog.setSizeGripEnabled(true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first().toStdString();
}

bool TDialogPrompts::ChooseColor(QWidget* parent, TColor& color)
{
  const QColor chosen = QColorDialog::getColor(ToQColor(color), parent);
  if (!chosen.isValid()) return false;
  color = FromQColor(chosen);
  return true;
}

// ---- printing and image export

bool TUserPrompts::RunDialog(QDialog&) { return false; }

std::string TUserPrompts::SaveBitmapName(QWidget*, const std::string&, const std::string&)
{
  return {};
}

std::string TUserPrompts::SaveFilmName(QWidget*, const std::string&, const std::string&)
{
  return {};
}

std::string TUserPrompts::PrintFileName(QWidget*, const std::string&, const std::string&)
{
  return {};
}

bool TUserPrompts::SetupPrinter(QWidget*, QPrinter&) { return false; }

bool TDialogPrompts::RunDialog(QDialog& dialog) { return dialog.exec() == QDialog::Accepted; }

std::string TDialogPrompts::SaveBitmapName(QWidget* parent, const std::string& directory,
                                           const std::string& name)
{
  QFileDialog dialog(parent, "Save as graphic file", Proposal(directory, name),
                     "portable network graphics (PNG) (*.png);;bitmap graphics (BMP) (*.bmp)");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix("png");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first().toStdString();
}

std::string TDialogPrompts::SaveFilmName(QWidget* parent, const std::string& directory,
                                         const std::string& name)
{
  QFileDialog dialog(parent, "Save animation", Proposal(directory, name),
                     "H.264 video (MP4) (*.mp4);;VP9 video (WebM) (*.webm);;"
                     "animated GIF (*.gif)");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix("mp4");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first().toStdString();
}

std::string TDialogPrompts::PrintFileName(QWidget* parent, const std::string& directory,
                                          const std::string& name)
{
  QFileDialog dialog(parent, "Print to file", Proposal(directory, name), "PDF files (*.pdf)");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix("pdf");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first().toStdString();
}

bool TDialogPrompts::SetupPrinter(QWidget* parent, QPrinter& printer)
{
  QPrintDialog dialog(&printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

// ---- the minor-body windows and the importer

std::string TUserPrompts::ChooseDirectory(QWidget* parent, const std::string& directory)
{
  return QFileDialog::getExistingDirectory(parent, "Database path", QString::fromStdString(directory))
      .toStdString();
}

std::vector<std::string> TDialogPrompts::OpenFileNames(QWidget* parent, const std::string& caption,
                                                       const std::string& directory,
                                                       const std::string& filter)
{
  QFileDialog dialog(parent, QString::fromStdString(caption), QString::fromStdString(directory),
                     QString::fromStdString(filter));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  std::vector<std::string> names;
  if (dialog.exec() != QDialog::Accepted) return names;
  for (const QString& f : dialog.selectedFiles()) names.push_back(f.toStdString());
  return names;
}

bool TDialogPrompts::ChooseFont(QWidget* parent, QFont& font)
{
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, font, parent);
  if (ok) font = chosen;
  return ok;
}
