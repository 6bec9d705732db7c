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

#include <QComboBox>
#include <QPrinter>

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

void TSolarSystemForm::ActPrintExecute()
{
  TPrintDlg& dialog = *PrintDlg();
  dialog.FormShow();
  if (!Prompts().RunDialog(dialog)) return;
  QPrinter& printer = dialog.Printer();
  PreparePrinter(printer, dialog.Copies());
  try {
    if (printer.outputFormat() == QPrinter::PdfFormat) {
      // No printer (or printing to a file chosen in the settings): the page
      // goes into a PDF file the user names.
      const std::string proposed = printer.outputFileName().toStdString();
      const std::string path = Prompts().PrintFileName(
          this, proposed.empty() ? BitmapPath : DirectoryPart(proposed),
          proposed.empty() ? "sollumen.pdf" : NamePart(proposed));
      if (path.empty()) return;
      PrintScenePageToPdf(printer, path, *solarSystem_, dialog.ColorMode(), OutputLines());
      printer.setOutputFileName(QString::fromStdString(path));
    } else {
      PrintScenePage(printer, *solarSystem_, dialog.ColorMode(), OutputLines());
    }
  } catch (const std::exception& e) {
    RepaintScreen();
    Prompts().Error(this, e.what());
    return;
  }
  RepaintScreen();
}

void TSolarSystemForm::ActSaveAsBitmapExecute()
{
  TSaveAsBitmapDlg& dialog = *SaveAsBitmapDlg();
  dialog.SetExportFileName(ProposeExportFileName(DocumentFileName, BitmapPath));
  dialog.SetExportSize(BitmapSize);
  if (!Prompts().RunDialog(dialog)) return;
  BitmapSize = dialog.ExportSize;
  BitmapPath = dialog.ExportDir;

  const QImage image = RenderExportImage(*solarSystem_, BitmapSize, OutputLines());
  RepaintScreen();
  const std::string path = dialog.GetExportFileName();
  try {
    SaveExportImage(path, image);
  } catch (const std::exception& e) {
    Prompts().Error(this, e.what());
  }
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
