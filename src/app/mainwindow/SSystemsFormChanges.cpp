// Unsaved changes of the named document: the caption with its name and
// modified mark, and the question Save / Discard / Cancel before the state
// is replaced or the window closes.
//
// Handlers that change what a document holds mark it changed (cheaply, on
// every step of an animation too); when the window is idle the document as
// it would be written is compared with the one last read or saved, so that
// undoing a change clears the mark again. In real-time mode the instant
// moves by itself and the comparison could never match: the mark then
// stays until the document is saved.
#include "app/mainwindow/SSystemsForm.h"

#include "app/mainwindow/TimeStepTexts.h"
#include "app/ProgramFiles.h"
#include "stream/ByteStreams.h"

#include <QCloseEvent>
#include <QTimer>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string FileNamePart(const std::string& path) { return fs::path(path).filename().string(); }

bool SameFileName(std::string a, std::string b)
{
  auto lower = [](std::string& s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  };
  lower(a), lower(b);
  return a == b;
}

}  // namespace

bool TSolarSystemForm::HasNamedDocument() const
{
  if (DocumentFileName.empty()) return false;
  const std::string name = FileNamePart(DocumentFileName);
  return !SameFileName(name, LastDocumentName) && !SameFileName(name, TemplateDocumentName);
}

std::vector<std::uint8_t> TSolarSystemForm::DocumentFingerprint()
{
  TMemoryStream bytes;
  TWriter w(bytes);
  WriteDocument(w, *solarSystem_, CollectDocumentState());
  w.FlushBuffer();
  return bytes.Bytes();
}

void TSolarSystemForm::MarkDocumentSaved()
{
  documentChanged_ = false;
  savedFingerprint_ = HasNamedDocument() ? DocumentFingerprint() : std::vector<std::uint8_t>();
  UpdateCaption();
}

void TSolarSystemForm::MarkDocumentChanged()
{
  if (!HasNamedDocument()) return;
  documentChanged_ = true;
  setWindowModified(true);
  if (changeCheckPending_) return;
  changeCheckPending_ = true;
  QTimer::singleShot(0, this, [this] {
    changeCheckPending_ = false;
    setWindowModified(DocumentModified());
  });
}

bool TSolarSystemForm::DocumentModified()
{
  if (!HasNamedDocument() || !documentChanged_) return false;
  if (!RealTimeMode && DocumentFingerprint() == savedFingerprint_) documentChanged_ = false;
  return documentChanged_;
}

void TSolarSystemForm::UpdateCaption()
{
  std::string caption = CaptionText(CurrentTime);
  // "[*]" is where Qt shows the modified mark.
  if (HasNamedDocument()) caption += " \u2014 " + FileNamePart(DocumentFileName) + "[*]";
  setWindowTitle(QString::fromStdString(caption));
  setWindowModified(HasNamedDocument() && documentChanged_);
}

bool TSolarSystemForm::SettleUnsavedChanges()
{
  if (!DocumentModified()) return true;
  switch (Prompts().AskSaveChanges(this, FileNamePart(DocumentFileName))) {
    case TSaveChoice::Save:
      return SaveDocument(DocumentFileName);
    case TSaveChoice::Discard:
      return true;
    default:
      return false;
  }
}

void TSolarSystemForm::closeEvent(QCloseEvent* event)
{
  if (SettleUnsavedChanges())
    event->accept();
  else
    event->ignore();
}
