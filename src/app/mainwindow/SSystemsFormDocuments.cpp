// Documents in the main window: opening (with the offer to convert an old
// document), saving, the template, dropped files, and applying what a
// document holds to the window.
#include "app/mainwindow/SSystemsForm.h"

#include "app/widgets/PaintBox.h"
#include "app/ProgramFiles.h"
#include "scene/SolarSystemStream.h"
#include "stream/ByteStreams.h"

#include <QStandardPaths>
#include <QToolButton>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string ConversionQuestion(TDocumentVersion version)
{
  const std::string which = version == TDocumentVersion::V10 ? "1.0 or 1.1"
                                                             : DocumentVersionText(version);
  return "This file was written by version " + which +
         " of Sollumen.\r\nConvert the file to the current file format?";
}

std::string Lower(std::string s)
{
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The name and directory a file dialog proposes: those of the current
// document, except that "last.orb" is never proposed by name.
void Proposal(const std::string& documentFileName, std::string& directory, std::string& name)
{
  const fs::path p(documentFileName);
  directory = p.parent_path().string();
  name = p.filename().string();
  if (Lower(name) == LastDocumentName) name.clear();
}

}  // namespace

TDocumentState TSolarSystemForm::CollectDocumentState() const
{
  TDocumentState state = documentState_;
  state.RealTimeMode = RealTimeMode;
  state.TimeStepValue = TimeStepValue;
  state.TimeStepUnit = TimeStepUnit;
  state.TablePath = TablePath;
  state.TableName = TableName;
  state.ShowAllObjects = SBAllObjects->isChecked();
  state.MainWindow.reset();
  state.MonitorPos.reset();
  state.DescriptionWindow.reset();
  CollectMonitorDocumentState(state);
  CollectDescription(state);
  return state;
}

void TSolarSystemForm::ApplyDocumentState(const TDocumentState& state,
                                          const TDocumentReadResult& result)
{
  if (result.Version != TDocumentVersion::V10) SetRealTimeMode(state.RealTimeMode);
  TimeStepValue = state.TimeStepValue;
  TimeStepUnit = state.TimeStepUnit & 0xFF;
  if (state.MainWindow) {
    const auto& r = *state.MainWindow;
    move(r[0], r[1]);
    resize(r[2], r[3]);
  }
  // The places of the monitor and description windows belong to the
  // settings.
  if (state.MonitorPos) {
    settings_.MonitorLeft = (*state.MonitorPos)[0];
    settings_.MonitorTop = (*state.MonitorPos)[1];
  }
  if (state.DescriptionWindow) {
    const auto& r = *state.DescriptionWindow;
    settings_.DescriptionLeft = r[0];
    settings_.DescriptionTop = r[1];
    settings_.DescriptionWidth = r[2];
    settings_.DescriptionHeight = r[3];
  }
  if (result.TableChanged) OpenDocumentTable(state.TablePath, state.TableName);
  // The monitor and the description show the rest once they exist; until
  // then it is kept and saved again as read.
  documentState_ = state;
  SBAllObjects->setChecked(state.ShowAllObjects);
  ApplyMonitorDocumentState(state);
  ShowDocumentDescription(state);
  SBAllObjectsClick();
}

bool TSolarSystemForm::OpenDocument(const std::string& path)
{
  // The document is read into a copy of the scene and of the window's
  // state; only a document read in full replaces them, so a damaged one
  // leaves the scene, the controls, the monitor, the description and the
  // table in use exactly as they were.
  TSolarSystem fresh;
  TDocumentState state = CollectDocumentState();
  TDocumentReadResult result;
  try {
    CopySceneRecord(*solarSystem_, fresh, ProgramDir);
    result = ::OpenDocument(path, fresh, state, ProgramDir);
  } catch (const std::exception& e) {
    Prompts().Error(this, e.what());
    return false;
  }
  if (result.Version == TDocumentVersion::None) {
    solarSystem_->SpacecraftsList().Clear();  // as every document does
    Repaint();
    return true;
  }
  if (result.Failed()) {
    // The message names what the reader expected and where.
    Prompts().Error(this, ReadErrorText(path) + "\r" + result.Reason);
    return true;
  }
  try {
    CopySceneRecord(fresh, *solarSystem_, ProgramDir);
  } catch (const std::exception& e) {
    // Only a trajectory file changed on disk this very moment gets here.
    Prompts().Error(this, e.what());
  }
  ApplyDocumentState(state, result);
  SetTime(solarSystem_->DateTime());
  DocumentFileName = path;
  UpdateControls();
  MarkDocumentSaved();
  if (!result.Notice.empty()) Prompts().Message(this, result.Notice);
  if (result.OfferConversion() && Prompts().Confirm(this, ConversionQuestion(result.Version)))
    SaveDocument(path);
  return true;
}

bool TSolarSystemForm::SaveDocument(const std::string& path)
{
  try {
    ::SaveDocument(path, *solarSystem_, CollectDocumentState());
  } catch (const std::exception& e) {
    Prompts().Error(this, e.what());
    return false;
  }
  if (path == DocumentFileName) MarkDocumentSaved();
  return true;
}

std::string TSolarSystemForm::DocumentsFolder() const
{
  std::error_code ec;
  if (!settings_.DocumentPath.empty() && fs::is_directory(settings_.DocumentPath, ec))
    return settings_.DocumentPath;
  return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
}

void TSolarSystemForm::RememberDocumentsFolder(const std::string& path)
{
  settings_.DocumentPath = fs::path(path).parent_path().string();
}

void TSolarSystemForm::ActOpenExecute()
{
  if (!SettleUnsavedChanges()) return;
  std::string directory, name;
  Proposal(DocumentFileName, directory, name);
  if (!HasNamedDocument()) directory = DocumentsFolder();
  const std::string path = Prompts().OpenDocumentName(this, directory, name);
  if (path.empty()) return;
  RememberDocumentsFolder(path);
  // The name changes only with a document read in full (OpenDocument).
  OpenDocument(path);
}

void TSolarSystemForm::ActSaveExecute()
{
  std::string directory, name;
  Proposal(DocumentFileName, directory, name);
  if (!HasNamedDocument()) directory = DocumentsFolder();
  const std::string path = Prompts().SaveDocumentName(this, directory, name);
  if (path.empty()) return;
  RememberDocumentsFolder(path);
  const std::string previous = DocumentFileName;
  DocumentFileName = path;
  if (!SaveDocument(path)) {
    DocumentFileName = previous;
    return;
  }
  MarkDocumentSaved();
}

void TSolarSystemForm::ActLoadTemplateExecute()
{
  if (!SettleUnsavedChanges()) return;
  const std::string before = DocumentFileName;
  if (!OpenDocument(ProgramDir + TemplateDocumentName)) return;
  if (DocumentFileName == before) return;  // the template could not be read
  // The next open or save proposes no name, and the exit saves to
  // "last.orb", never over the template.
  DocumentFileName = ProgramDir + LastDocumentName;
  MarkDocumentSaved();
  UpdateControls();
}

void TSolarSystemForm::FormDropFiles(const std::vector<std::string>& paths)
{
  if (paths.empty()) return;
  const std::string& first = paths.front();
  if (fs::path(first).extension() != ".orb") return;
  if (!SettleUnsavedChanges()) return;
  OpenDocument(first);
}
