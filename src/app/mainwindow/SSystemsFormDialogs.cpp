// The main window's side of the user-defined lines, satellites and
// spacecraft dialogs: making them, and the Objects tab's satellites and
// spacecraft buttons with their handlers.
#include "app/mainwindow/SSystemsForm.h"

#include "app/widgets/PaintBox.h"
#include "app/dialogs/DirectionsDlgs.h"
#include "app/dialogs/SatellitesDlgs.h"
#include "app/dialogs/SelectSpacecraftsDlgs.h"
#include "app/dialogs/SpacecraftFiles.h"

#include <QToolButton>

#include <filesystem>

void TSolarSystemForm::CreateDialogs()
{
  DirectionsDlg = new TDirectionsDlg(Prompts(), this);
  SatellitesDlg = new TSatellitesDlg(this);
  SelectSpacecraftsDlg = new TSelectSpacecraftsDlg(Prompts(), this);
  CreateObjectDialogButtons();
}

// The Objects tab's satellites and spacecraft buttons (":::", beside the
// "Satellites" and "Spacecr." boxes of the planets group) open the dialogs.
void TSolarSystemForm::CreateObjectDialogButtons()
{
  for (QToolButton* b : {SBShowSatellites, SBShowSpacecrafts}) b->setEnabled(true);
  connect(SBShowSatellites, &QToolButton::clicked, this, [this] { SBShowSatellitesClick(); });
  connect(SBShowSpacecrafts, &QToolButton::clicked, this, [this] { SBShowSpacecraftsClick(); });
}

void TSolarSystemForm::SBShowSatellitesClick()
{
  SatellitesDlg->LoadChoices(solarSystem_->PlanetsList());
  SatellitesDlg->exec();
  Repaint();
}

void TSolarSystemForm::SBShowSpacecraftsClick()
{
  TSolarSystem& scene = *solarSystem_;
  TSelectSpacecraftsDlg& dlg = *SelectSpacecraftsDlg;
  dlg.SetProgramDir(ProgramDir);
  dlg.ClearSelected();
  dlg.SetTrajectoryMode(scene.SpacecraftTrajectoryMode);
  dlg.SetDaysAhead(scene.SpacecraftTrajectoryFuture);
  dlg.SetDaysBack(scene.SpacecraftTrajectoryPast);
  dlg.SetPlanetocentric(scene.ShowPlanetocentricTrajectories);
  TSpacecraftList& crafts = scene.SpacecraftsList();
  for (int i = 0; i < crafts.Count(); ++i)
    dlg.AddSelected(SpacecraftEntryName(
        std::filesystem::path(crafts.Items(i)->TrajectoryFile).filename().string()));

  if (dlg.exec() != QDialog::Accepted) return;

  // A file that cannot be read is reported with the others that failed;
  // every file that can be read is loaded, and the settings apply anyway.
  crafts.Clear();
  std::string errors;
  for (int i = 0; i < dlg.SelectedFileCount(); ++i) {
    try {
      crafts.AddFromFile(SpacecraftFilePath(ProgramDir, dlg.GetSelected(i)),
                         scene.GetObjectColor(13));
    } catch (const std::exception& e) {
      if (!errors.empty()) errors += "\r";
      errors += e.what();
    }
  }
  scene.SpacecraftTrajectoryMode = dlg.TrajectoryMode;
  scene.SpacecraftTrajectoryFuture = dlg.DaysAhead;
  scene.SpacecraftTrajectoryPast = dlg.DaysBack;
  scene.ShowPlanetocentricTrajectories = dlg.ShowPlanetocentric;
  scene.Recalculate();
  Repaint();
  UpdateMonitor();
  if (!errors.empty()) Prompts().Error(this, errors);
}
