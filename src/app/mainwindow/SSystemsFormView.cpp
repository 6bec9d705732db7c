// The View tab, the window's commands with their shortcuts and the mouse
// wheel, and UpdateControls, which brings every panel control into line
// with the scene.
#include "app/mainwindow/SSystemsForm.h"

#include "app/ProgramIdentity.h"

#include <QStatusBar>

#include "app/mainwindow/AboutBoxes.h"
#include "app/widgets/ColorSwatch.h"
#include "app/widgets/PaintBox.h"
#include "app/mainwindow/ViewScale.h"
#include "app/dialogs/DirectionsDlgs.h"
#include "app/monitor/MonitorForms.h"
#include "app/dialogs/DescriptionForms.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QLabel>
#include <QSlider>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>

#include <array>
#include <cmath>

namespace {

// The centre list's entries and the scene's body numbers.
constexpr std::array<int, 10> CenterBodies = {9, 1, 2, 0, 3, 4, 5, 6, 7, 8};

int CenterListIndex(int body)
{
  for (int i = 0; i < static_cast<int>(CenterBodies.size()); ++i)
    if (CenterBodies[i] == body) return i;
  return -1;
}

// Moves a track bar by one position within its range (its handler runs).
void StepTrackBar(QSlider* t, int delta)
{
  const int v = t->value() + delta;
  if (v >= t->minimum() && v <= t->maximum()) t->setValue(v);
}

}  // namespace

// Every handler that changes the scene ends here.
void TSolarSystemForm::Repaint()
{
  MarkDocumentChanged();
  PaintBox->update();
}

// --------------------------------------------------------------- view tab

void TSolarSystemForm::ApplyPlaneToControls()
{
  const bool d3 = solarSystem_->Plane == D3;
  GBRotate->setVisible(d3);
  RBRadial->setEnabled(!d3);
}

void TSolarSystemForm::RBViewTypeClick(int plane)
{
  if (plane < XY || plane > D3) return;
  solarSystem_->Plane = static_cast<TPlane>(plane);
  ApplyPlaneToControls();
  Repaint();
}

void TSolarSystemForm::RBGridModeClick(int mode)
{
  solarSystem_->GridMode = mode;
  Repaint();
}

void TSolarSystemForm::CBShowNamesClick()
{
  solarSystem_->ShowNames = CBShowNames->isChecked();
  Repaint();
}

void TSolarSystemForm::CBShowOrbitsClick()
{
  solarSystem_->ShowOrbits = CBShowOrbits->isChecked();
  Repaint();
}

void TSolarSystemForm::CBShowAxesClick()
{
  solarSystem_->ShowRotAxis = CBShowAxes->isChecked();
  Repaint();
}

void TSolarSystemForm::CBShowRotationClick()
{
  solarSystem_->ShowRotation = CBShowRotation->isChecked();
  Repaint();
}

void TSolarSystemForm::CBShowPerpendicularsClick()
{
  solarSystem_->ShowPerpendiculars = CBShowPerpendiculars->isChecked();
  Repaint();
}

void TSolarSystemForm::CBShowApsidesClick()
{
  solarSystem_->ShowApsides = CBShowApsides->isChecked();
  Repaint();
}

void TSolarSystemForm::CBShowLinesOfNodesClick()
{
  solarSystem_->ShowLineOfNodes = CBShowLinesOfNodes->isChecked();
  Repaint();
}

void TSolarSystemForm::CBShowDirectionsClick()
{
  solarSystem_->ShowDirections = CBShowDirections->isChecked();
  Repaint();
}

// A colour dialog preset with the colour; Cancel leaves it. Whatever the
// answer, the picture and every control are refreshed.
void TSolarSystemForm::ChooseColor(TColor& color)
{
  TColor chosen = color;
  if (Prompts().ChooseColor(this, chosen)) color = chosen;
  Repaint();
  UpdateControls();
}

void TSolarSystemForm::ShpGridMouseDown() { ChooseColor(solarSystem_->GridColor); }
void TSolarSystemForm::ShpBackgroundMouseDown() { ChooseColor(solarSystem_->BgColor); }
void TSolarSystemForm::ShpAxesMouseDown() { ChooseColor(solarSystem_->AxesColor); }
void TSolarSystemForm::ShpPerpendicularsMouseDown()
{
  ChooseColor(solarSystem_->PerpendicularColor);
}

void TSolarSystemForm::SBLinesClick()
{
  // The dialog edits a copy of the scene's lines; OK puts the copy back.
  DirectionsDlg->SetLines(solarSystem_->DirectionList());
  if (DirectionsDlg->exec() == QDialog::Accepted)
    solarSystem_->DirectionList().Assign(DirectionsDlg->Lines());
  Repaint();
}

void TSolarSystemForm::CBCenterObjectChange()
{
  const int i = CBCenterObject->currentIndex();
  if (i < 0 || i >= static_cast<int>(CenterBodies.size())) return;
  solarSystem_->SetCenterObject(CenterBodies[i]);
  Repaint();
  UpdateMonitor();
}

void TSolarSystemForm::TBDimChange()
{
  solarSystem_->SetDim(DimFromTrackBar(TBDim->value()));
  Repaint();
}

void TSolarSystemForm::TBRotXChange()
{
  solarSystem_->SetRotX(TBRotX->value());
  Repaint();
}

void TSolarSystemForm::TBRotZChange()
{
  solarSystem_->SetRotZ(TBRotZ->value());
  Repaint();
}

void TSolarSystemForm::SBMonitorClick() { MonitorForm->setVisible(SBMonitor->isChecked()); }

void TSolarSystemForm::CBMonitorStayOnTopClick()
{
  settings_.MonitorStayOnTop = CBMonitorStayOnTop->isChecked();
  MonitorForm->SetStayOnTop(settings_.MonitorStayOnTop);
}

// --------------------------------------------------------------- commands

void TSolarSystemForm::ActNextTabExecute()
{
  const int i = ActivePageIndex();
  SetActivePage(i < 0 || i >= 2 ? 0 : i + 1);
}

void TSolarSystemForm::ActZoomInExecute()
{
  if (TBDim->value() > TBDim->minimum()) TBDim->setValue(TBDim->value() - 1);
}

void TSolarSystemForm::ActZoomOutExecute()
{
  if (TBDim->value() < TBDim->maximum()) TBDim->setValue(TBDim->value() + 1);
}

void TSolarSystemForm::ActRotX0Execute()
{
  if (solarSystem_->Plane == D3) StepTrackBar(TBRotX, 1);
}

void TSolarSystemForm::ActRotX1Execute()
{
  if (solarSystem_->Plane == D3) StepTrackBar(TBRotX, -1);
}

void TSolarSystemForm::ActRotZ0Execute()
{
  if (solarSystem_->Plane == D3) StepTrackBar(TBRotZ, 1);
}

void TSolarSystemForm::ActRotZ1Execute()
{
  if (solarSystem_->Plane == D3) StepTrackBar(TBRotZ, -1);
}

void TSolarSystemForm::FormMouseWheelUp(Qt::KeyboardModifiers) { ActZoomInExecute(); }

void TSolarSystemForm::FormMouseWheelDown(Qt::KeyboardModifiers) { ActZoomOutExecute(); }

void TSolarSystemForm::ActAboutExecute()
{
  if (!aboutBox_) aboutBox_ = new TAboutBox(this);  // made once, kept
  // By name and dynamic_cast: TLinkLabel has no meta-object of its own, so
  // findChild<TLinkLabel*> would take any label.
  if (auto* link = dynamic_cast<TLinkLabel*>(aboutBox_->findChild<QLabel*>("LinkLabel")))
    link->BrowserFailed = [this](const std::string& address) {
      Prompts().BrowserFailed(aboutBox_, address);
    };
  aboutBox_->exec();
}

void TSolarSystemForm::ActExitExecute() { close(); }

// --------------------------------------------------------- UpdateControls

void TSolarSystemForm::UpdateControls()
{
  TSolarSystem& s = *solarSystem_;
  // 1. Checking the plane button runs its handler; the rotate group
  // follows the plane also when the button was checked already.
  if (QAbstractButton* b = planeButtons_->button(s.Plane)) b->setChecked(true);
  ApplyPlaneToControls();
  // 2.
  if (QAbstractButton* b = gridButtons_->button(s.GridMode)) b->setChecked(true);
  // 3.
  ShpGrid->SetColor(s.GridColor);
  ShpBackground->SetColor(s.BgColor);
  ShpAxes->SetColor(s.AxesColor);
  ShpPerpendiculars->SetColor(s.PerpendicularColor);
  // 4. A track bar that moves hands its own position back to the scene.
  TBRotX->setValue(static_cast<int>(std::lround(s.RotX())));
  TBRotZ->setValue(static_cast<int>(std::lround(s.RotZ())));
  // 5.
  CBShowNames->setChecked(s.ShowNames);
  CBShowOrbits->setChecked(s.ShowOrbits);
  CBShowAxes->setChecked(s.ShowRotAxis);
  CBShowRotation->setChecked(s.ShowRotation);
  CBShowPerpendiculars->setChecked(s.ShowPerpendiculars);
  CBShowApsides->setChecked(s.ShowApsides);
  CBShowLinesOfNodes->setChecked(s.ShowLineOfNodes);
  CBShowDirections->setChecked(s.ShowDirections);
  // 6.
  ApplyObjectButtonRules();
  // 7. The monitor and description windows.
  SBMonitor->setChecked(MonitorForm->isVisible());
  CBMonitorStayOnTop->setChecked(settings_.MonitorStayOnTop);
  SBDescription->setChecked(DescriptionForm->Showing());
  CBDescriptionStayOnTop->setChecked(DescriptionForm->StayOnTop());
  // 8.
  TBDim->setValue(TrackBarFromDim(s.Dim()));
  // 9.
  CBCenterObject->setCurrentIndex(CenterListIndex(s.CenterObject()));
  // 10.
  UpdateTimeControls();
  // 11.
  UpdateObjectControls();
  UpdateMonitor();
}
