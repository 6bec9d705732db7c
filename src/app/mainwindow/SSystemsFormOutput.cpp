// Printing and image export from the main window: the dialogs, the two text
// lines of the current instant and view, and the repaint of the screen
// afterwards, since the scene remembers the canvas it painted last.
#include "app/mainwindow/SSystemsForm.h"

#include "app/widgets/PaintBox.h"
#include "app/output/ExportImage.h"
#include "app/output/FilmProgressDlgs.h"
#include "app/output/FilmRecording.h"
#include "app/output/OutputTexts.h"
#include "app/output/PrintDlgs.h"
#include "app/output/PrintPage.h"
#include "app/output/SaveAnimationDlgs.h"
#include "app/output/SaveAsBitmapDlgs.h"
#include "scene/SceneCopy.h"

#include "app/dialogs/DescriptionForms.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QTextEdit>
#include <QPrinter>
#include <QStandardPaths>

#include <filesystem>

#include <memory>

TPrintDlg* TSolarSystemForm::PrintDlg()
{
  if (!printDlg_) printDlg_ = new TPrintDlg(Prompts(), this);
  return printDlg_;
}

TSaveAsBitmapDlg* TSolarSystemForm::SaveAsBitmapDlg()
{
  if (!saveAsBitmapDlg_) saveAsBitmapDlg_ = new TSaveAsBitmapDlg(Prompts(), this);
  return saveAsBitmapDlg_;
}

TSaveAnimationDlg* TSolarSystemForm::SaveAnimationDlg()
{
  if (!saveAnimationDlg_) {
    saveAnimationDlg_ = new TSaveAnimationDlg(Prompts(), this);
    // First proposals; later the dialog keeps what was chosen last.
    saveAnimationDlg_->SetFilmFileName(ProposeFilmFileName(DocumentFileName, BitmapPath));
    saveAnimationDlg_->SetFilmSize(BitmapSize);
  }
  return saveAnimationDlg_;
}

std::vector<std::string> TSolarSystemForm::OutputLines() const
{
  return {InstantLine(CurrentTime),
          ViewLine(solarSystem_->Plane, CBCenterObject->currentText().toStdString())};
}

void TSolarSystemForm::RepaintScreen()
{
  PaintBox->PaintScene();
  PaintBox->update();
}

// The PDF file proposed in the print dialog: after a first PDF, one named
// after the document in the folder of the last PDF; before, none, so that
// the file dialog asks.
static std::string ProposedPdfFile(const std::string& folder, const std::string& document)
{
  if (folder.empty()) return {};
  std::string stem = std::filesystem::path(document).stem().string();
  if (stem.empty() || stem == "last" || stem == "template") stem = "sollumen";
  return (std::filesystem::path(folder) / (stem + ".pdf")).string();
}

void TSolarSystemForm::ActPrintExecute()
{
  TPrintDlg& dialog = *PrintDlg();
  dialog.SetScheme(settings_.PrintScheme);
  dialog.FormShow();
  dialog.SetPdfFileName(ProposedPdfFile(settings_.PrintPdfPath, DocumentFileName));
  dialog.CBDescription->setChecked(settings_.PrintDescription);
  if (!Prompts().RunDialog(dialog)) return;
  settings_.PrintScheme = dialog.ColorMode();
  settings_.PrintDescription = dialog.PrintDescription();
  QPrinter& printer = dialog.Printer();
  PreparePrinter(printer, dialog.Copies());
  const QTextDocument* description =
      dialog.PrintDescription() ? DescriptionForm->Memo->document() : nullptr;
  std::string path;
  if (printer.outputFormat() == QPrinter::PdfFormat) {
    // No printer: the page goes into the PDF file named in the dialog, or
    // asked for when none was given there.
    path = dialog.PdfFileName();
    if (path.empty())
      path = Prompts().PrintFileName(
          this, settings_.PrintPdfPath.empty() ? DocumentsFolder() : settings_.PrintPdfPath,
          "sollumen.pdf");
    if (path.empty()) return;
  }
  // A large scene takes a while to draw at the printer's resolution.
  ShowProgress("Printing the page", -1);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  try {
    if (!path.empty()) {
      PrintScenePageToPdf(printer, path, *solarSystem_, dialog.ColorMode(), OutputLines(),
                          description);
      printer.setOutputFileName(QString::fromStdString(path));
    } else {
      PrintScenePage(printer, *solarSystem_, dialog.ColorMode(), OutputLines(), description);
    }
  } catch (const std::exception& e) {
    QApplication::restoreOverrideCursor();
    EndProgress();
    RepaintScreen();
    Prompts().Error(this, e.what());
    return;
  }
  QApplication::restoreOverrideCursor();
  EndProgress();
  RepaintScreen();
  if (!path.empty()) {
    settings_.PrintPdfPath = std::filesystem::path(path).parent_path().string();
    ShowStatus("Printed to " + path);
  }
}

void TSolarSystemForm::ActSaveAsBitmapExecute()
{
  TSaveAsBitmapDlg& dialog = *SaveAsBitmapDlg();
  // Images go where pictures go, never into the program's own folder
  // (where earlier builds proposed them).
  std::string folder = BitmapPath;
  if (folder.empty() || folder == ProgramDir || folder + "/" == ProgramDir)
    folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation).toStdString();
  dialog.SetExportFileName(ProposeExportFileName(DocumentFileName, folder));
  dialog.SetExportSize(BitmapSize);
  if (!Prompts().RunDialog(dialog)) return;
  BitmapSize = dialog.ExportSize;
  BitmapPath = dialog.ExportDir;

  const QImage image = RenderExportImage(*solarSystem_, BitmapSize, OutputLines());
  RepaintScreen();
  const std::string path = dialog.GetExportFileName();
  // The next export starts in the folder this one went to.
  const std::string written = std::filesystem::path(path).parent_path().string();
  if (!written.empty()) BitmapPath = written + "/";
  try {
    SaveExportImage(path, image);
  } catch (const std::exception& e) {
    Prompts().Error(this, e.what());
    return;
  }
  ShowStatus("Saved to " + path);
}

void TSolarSystemForm::ActSaveAnimationExecute()
{
  TSaveAnimationDlg& dialog = *SaveAnimationDlg();
  dialog.SetStep(TimeStepValue, TimeStepUnit);
  dialog.SetFirstInstant(CurrentTime);
  if (!Prompts().RunDialog(dialog)) return;

  TFilmSettings film;
  film.Path = dialog.GetFilmFileName();
  film.Frames = dialog.Frames();
  film.StepDays = dialog.StepDays();
  film.Fps = dialog.Fps();
  film.Size = dialog.FilmSize();
  film.Captions = dialog.Captions();
  film.ViewLine = OutputLines()[1];
  // Refused before any work: a file no film format has, a missing encoder,
  // frames beyond the years shown.
  try {
    CheckFilmFile(film.Path, film.Fps);
    CheckFilmInstants(CurrentTime, film.StepDays, film.Frames);
  } catch (const std::exception& e) {
    Prompts().Error(this, e.what());
    return;
  }

  // The film moves a copy of the scene through time; the window's scene,
  // instant and controls stay as they are.
  auto scene = std::make_shared<TSolarSystem>();
  CopyScene(*solarSystem_, *scene);
  scene->SetDateTime(CurrentTime);
  TFilmProgressDlg progress(this);
  const TFilmProgressDlg::TResult result =
      progress.Run(film.Frames, [scene, film](TFilmProgress& p) { RecordFilm(*scene, film, p); });
  if (result == TFilmProgressDlg::TResult::Failed) Prompts().Error(this, progress.Error);
  else if (result == TFilmProgressDlg::TResult::Cancelled)
    Prompts().Message(this, "The animation was cancelled; " + NamePart(film.Path) +
                                " was not written.");
}
