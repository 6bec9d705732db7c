// The main window's side of the user-defined lines, satellites and
// spacecraft dialogs: making them, and the Objects tab's satellites and
// spacecraft buttons with their handlers.
#include "app/mainwindow/SSystemsForm.h"

#include "app/widgets/PaintBox.h"
#include "app/dialogs/DirectionsDlgs.h"
#include "app/dialogs/SatellitesDlgs.h"
#include "app/dialogs/SelectSpacecraftsDlgs.h"
#include "app/dialogs/SpacecraftFiles.h"

#include "stream/ByteStreams.h"

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

  // Every chosen trajectory file is read before anything changes. A file
  // gone from the folder is reported and left out; one that is there but
  // cannot be read is reported and the scene keeps its spacecraft and
  // settings exactly as they were.
  std::vector<std::unique_ptr<TSpacecraft>> loaded;
  std::string missing;
  for (int i = 0; i < dlg.SelectedFileCount(); ++i) {
    const auto path = SpacecraftFilePath(ProgramDir, dlg.GetSelected(i));
    std::error_code ec;
    try {
      if (!std::filesystem::exists(path, ec))
        throw EFileError("Cannot open file \"" + std::filesystem::path(path).string() + "\".");
      loaded.push_back(std::make_unique<TSpacecraft>(path, scene.GetObjectColor(13)));
    } catch (const EFileError& e) {
      if (std::filesystem::exists(path, ec)) {
        Prompts().Error(this, e.what());
        return;
      }
      if (!missing.empty()) missing += "\r";
      missing += e.what();
    } catch (const std::exception& e) {
      Prompts().Error(this, e.what());
      return;
    }
  }
  crafts.Clear();
  for (auto& craft : loaded) crafts.Add(std::move(craft));
  scene.SpacecraftTrajectoryMode = dlg.TrajectoryMode;
  scene.SpacecraftTrajectoryFuture = dlg.DaysAhead;
  scene.SpacecraftTrajectoryPast = dlg.DaysBack;
  scene.ShowPlanetocentricTrajectories = dlg.ShowPlanetocentric;
  scene.Recalculate();
  Repaint();
  UpdateMonitor();
  if (!missing.empty()) Prompts().Error(this, missing);
}
