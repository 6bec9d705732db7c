// Documents in the main window: opening (with the offer to convert an old
// document), saving, the template, dropped files, and applying what a
// document holds to the window.
#include "app/mainwindow/SSystemsForm.h"

#include "app/widgets/PaintBox.h"
#include "app/ProgramFiles.h"
#include "stream/ByteStreams.h"

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
  TDocumentState state = CollectDocumentState();
  TDocumentReadResult result;
  try {
    result = ::OpenDocument(path, *solarSystem_, state, ProgramDir);
  } catch (const EFileError& e) {
    Prompts().Error(this, e.what());
    return false;
  }
  if (result.Version == TDocumentVersion::None) {
    Repaint();  // the spacecraft are gone
    return true;
  }
  ApplyDocumentState(state, result);
  if (!result.Notice.empty()) Prompts().Message(this, result.Notice);
  if (result.Failed()) {
    Prompts().Error(this, result.Error);
  } else {
    SetTime(solarSystem_->DateTime());
    DocumentFileName = path;
  }
  UpdateControls();
  // An old document read in full may be rewritten in the current format;
  // one that failed halfway is never offered, as that would store a partial
  // state over it.
  if (result.OfferConversion() && Prompts().Confirm(this, ConversionQuestion(result.Version)))
    SaveDocument(path);
  return true;
}

bool TSolarSystemForm::SaveDocument(const std::string& path)
{
  try {
    ::SaveDocument(path, *solarSystem_, CollectDocumentState());
    return true;
  } catch (const std::exception& e) {
    Prompts().Error(this, e.what());
    return false;
  }
}

void TSolarSystemForm::ActOpenExecute()
{
  std::string directory, name;
  Proposal(DocumentFileName, directory, name);
  const std::string path = Prompts().OpenDocumentName(this, directory, name);
  if (path.empty()) return;
  if (!OpenDocument(path)) return;
  DocumentFileName = path;  // also for a document that was not recognised
  UpdateControls();
}

void TSolarSystemForm::ActSaveExecute()
{
  std::string directory, name;
  Proposal(DocumentFileName, directory, name);
  const std::string path = Prompts().SaveDocumentName(this, directory, name);
  if (path.empty()) return;
  SaveDocument(path);
  DocumentFileName = path;
}

void TSolarSystemForm::ActLoadTemplateExecute()
{
  if (!OpenDocument(ProgramDir + TemplateDocumentName)) return;
  // The next open or save proposes no name, and the exit saves to
  // "last.orb", never over the template.
  DocumentFileName = ProgramDir + LastDocumentName;
  UpdateControls();
}

void TSolarSystemForm::FormDropFiles(const std::vector<std::string>& paths)
{
  if (paths.empty()) return;
  const std::string& first = paths.front();
  if (fs::path(first).extension() != ".orb") return;
  OpenDocument(first);
}
