// The menu bar (File, View, Time, Objects, Windows, Help), which holds every
// command of the window with its shortcut, and the keyboard's commands on
// the time: stepping, starting, pausing and stopping the animation.
#include "app/mainwindow/SSystemsForm.h"

#include "app/widgets/PanelGlyphs.h"

#include <QAction>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

void TSolarSystemForm::CreateMenus()
{
  // The access letters stay clear of the panel's tabs (Time, View,
  // Objects), which Alt+T, Alt+V and Alt+O choose.
  MFile = MenuBar->addMenu("&File");
  MFile->setObjectName("MFile");
  MFile->addAction(ActOpen);
  MFile->addAction(ActSave);
  MFile->addAction(ActLoadTemplate);
  MFile->addSeparator();
  MFile->addAction(ActPrint);
  MFile->addAction(ActSaveAsBitmap);
  MFile->addAction(ActSaveAnimation);
  MFile->addSeparator();
  MFile->addAction(ActExit);

  MView = MenuBar->addMenu("Vi&ew");
  MView->setObjectName("MView");
  MView->addAction(ActZoomIn);
  MView->addAction(ActZoomOut);
  MView->addSeparator();
  MView->addAction(ActRotX0);
  MView->addAction(ActRotX1);
  MView->addAction(ActRotZ0);
  MView->addAction(ActRotZ1);
  MView->addSeparator();
  MView->addAction(ActUserLines);
  MView->addAction(ActNextTab);

  MTime = MenuBar->addMenu("Ti&me");
  MTime->setObjectName("MTime");
  MTime->addAction(ActStepForward);
  MTime->addAction(ActStepBackward);
  MTime->addSeparator();
  MTime->addAction(ActStartPause);
  MTime->addAction(ActStopAnimation);
  MTime->addSeparator();
  MTime->addAction(ActNow);
  MTime->addAction(ActZeroTime);
  MTime->addAction(ActRealTime);

  MObjects = MenuBar->addMenu("Ob&jects");
  MObjects->setObjectName("MObjects");
  MObjects->addAction(ActAddObjects);
  MObjects->addAction(ActShowAllObjects);
  MObjects->addAction(ActDataFile);
  MObjects->addSeparator();
  MObjects->addAction(ActSatellites);
  MObjects->addAction(ActSpacecrafts);

  MWindows = MenuBar->addMenu("Windo&ws");
  MWindows->setObjectName("MWindows");
  MWindows->addAction(ActMonitor);
  MWindows->addAction(ActDescription);

  MHelp = MenuBar->addMenu("&Help");
  MHelp->setObjectName("MHelp");
  MHelp->addAction(ActAbout);

  for (QMenu* m : {MFile, MView, MTime, MObjects, MWindows, MHelp})
    connect(m, &QMenu::aboutToShow, this, [this] { UpdateMenuStates(); });

  // The panel's buttons do the work, so that their states stay the one
  // truth the menus show (some buttons are made after the menus).
  const std::pair<QAction*, QToolButton* TSolarSystemForm::*> buttons[] = {
      {ActNow, &TSolarSystemForm::SBNow},
      {ActZeroTime, &TSolarSystemForm::SBZero},
      {ActRealTime, &TSolarSystemForm::SBRealTime},
      {ActAddObjects, &TSolarSystemForm::SBAddObject},
      {ActShowAllObjects, &TSolarSystemForm::SBAllObjects},
      {ActDataFile, &TSolarSystemForm::SBDatabase},
      {ActSatellites, &TSolarSystemForm::SBShowSatellites},
      {ActSpacecrafts, &TSolarSystemForm::SBShowSpacecrafts},
      {ActUserLines, &TSolarSystemForm::SBLines},
      {ActMonitor, &TSolarSystemForm::SBMonitor},
      {ActDescription, &TSolarSystemForm::SBDescription}};
  for (const auto& [action, button] : buttons)
    connect(action, &QAction::triggered, this, [this, b = button] {
      if (QToolButton* t = this->*b; t && t->isEnabled()) t->click();
    });
  connect(ActStepForward, &QAction::triggered, this, [this] { ActStepForwardExecute(); });
  connect(ActStepBackward, &QAction::triggered, this, [this] { ActStepBackwardExecute(); });
  connect(ActStartPause, &QAction::triggered, this, [this] { ActStartPauseExecute(); });
  connect(ActStopAnimation, &QAction::triggered, this, [this] { ActStopAnimationExecute(); });
}

void TSolarSystemForm::UpdateMenuStates()
{
  // Only commands without a shortcut follow their buttons' enabling.
  const std::pair<QAction*, QToolButton*> mirrors[] = {
      {ActRealTime, SBRealTime},       {ActAddObjects, SBAddObject},
      {ActShowAllObjects, SBAllObjects}, {ActDataFile, SBDatabase},
      {ActSatellites, SBShowSatellites}, {ActSpacecrafts, SBShowSpacecrafts},
      {ActMonitor, SBMonitor},         {ActDescription, SBDescription}};
  for (const auto& [action, button] : mirrors) {
    if (!button) continue;
    action->setEnabled(button->isEnabled());
    if (action->isCheckable()) action->setChecked(button->isChecked());
  }
  // Commands with shortcuts stay enabled (a disabled one would keep its
  // key dead after the menu closed); their handlers check for themselves.
}

void TSolarSystemForm::ApplyPaletteToGlyphs()
{
  if (!SBStartAnimate || !ActExit) return;  // not made yet
  // The palettes the glyphs are shown on.
  const QPalette& panel = SBStartAnimate->palette();
  SBStartAnimate->setIcon(PanelGlyph(TPanelGlyph::Start, panel));
  SBStopAnimate->setIcon(PanelGlyph(TPanelGlyph::Stop, panel));
  SBPauseAnimate->setIcon(PanelGlyph(TPanelGlyph::Pause, panel));
  SBInvert->setIcon(PanelGlyph(TPanelGlyph::Reverse, panel));
  ActExit->setIcon(PanelGlyph(TPanelGlyph::Exit, ToolBar->palette()));
}

// ------------------------------------------------------- time by keyboard

void TSolarSystemForm::ActStepForwardExecute() { SBDateUpDownUpClick(); }
void TSolarSystemForm::ActStepBackwardExecute() { SBDateUpDownDownClick(); }

void TSolarSystemForm::ActStartPauseExecute()
{
  // Idle: start. Running or paused: the pause button toggles.
  if (SBStartAnimate->isEnabled())
    SBStartAnimate->click();
  else
    SBPauseAnimate->click();
}

void TSolarSystemForm::ActStopAnimationExecute()
{
  if (SBStopAnimate->isEnabled()) SBStopAnimate->click();
}
