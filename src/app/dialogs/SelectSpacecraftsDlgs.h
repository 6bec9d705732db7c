// "Spacecrafts": which trajectory files of the program's directory are
// loaded into the scene, and how their trajectories are drawn. The caller
// fills the "selected" list and the settings from the scene, shows the
// dialog, and on OK reads the selected names and the four settings.
#pragma once

#include "scene/SolarSystem.h"  // TSpacecraftTrajectoryMode

#include <QDialog>

#include <string>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QToolButton;
class TFloatEdit;
class TUserPrompts;

// The page of further spacecraft data files.
std::string SpacecraftDataAddress();

class TSelectSpacecraftsDlg : public QDialog {
public:
  TSelectSpacecraftsDlg(TUserPrompts& prompts, QWidget* parent = nullptr);

  // The directory the trajectory files are listed from.
  void SetProgramDir(const std::string& dir) { programDir_ = dir; }

  // ---- before showing
  void ClearSelected();
  void SetTrajectoryMode(TSpacecraftTrajectoryMode mode);
  void SetDaysAhead(long double days);
  void SetDaysBack(long double days);
  void SetPlanetocentric(bool on);
  void AddSelected(const std::string& name);

  // ---- after OK
  int SelectedFileCount() const;
  std::string GetSelected(int i) const;
  TSpacecraftTrajectoryMode TrajectoryMode = stmNone;
  long double DaysAhead = 0;
  long double DaysBack = 0;
  bool ShowPlanetocentric = false;

  // ---- handlers
  // Lists the trajectory files not yet selected under "available".
  void FormShow();
  void IncludeBtnClick();  // also a double click in the available list
  void ExcludeBtnClick();  // also a double click in the selected list
  void IncAllBtnClick();
  void ExcAllBtnClick();
  void RGSpacecraftTrajectoryModeClick(int item);
  void CBPlanetocentricTrajectoriesClick();
  void OKBtnClick();
  void SBGetMoreClick();

  QLabel* SrcLabel = nullptr;
  QLabel* DstLabel = nullptr;
  QListWidget* SrcList = nullptr;  // kept sorted
  QListWidget* DstList = nullptr;  // in the order of insertion
  QPushButton* IncludeBtn = nullptr;
  QPushButton* IncAllBtn = nullptr;
  QPushButton* ExcludeBtn = nullptr;
  QPushButton* ExAllBtn = nullptr;
  QToolButton* SBGetMore = nullptr;
  QGroupBox* RGSpacecraftTrajectoryMode = nullptr;
  QRadioButton* ModeButtons[5] = {};  // in the order of the modes
  QGroupBox* GBUserDefined = nullptr;
  QLabel* Label1 = nullptr;
  TFloatEdit* FEBack = nullptr;
  QLabel* Label2 = nullptr;
  TFloatEdit* FEAhead = nullptr;
  QCheckBox* CBPlanetocentricTrajectories = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

protected:
  void showEvent(QShowEvent* event) override;

private:
  // Inserts into SrcList at its place in the (case-blind) order.
  void AddSorted(const QString& name);
  void SelectAfterMove(QListWidget* list, int p);
  void UpdateMoveButtons();

  std::string programDir_;
  QButtonGroup* modeGroup_ = nullptr;
  TUserPrompts& prompts_;
};
