// The main window's side of the monitor: creating and destroying it,
// refreshing it after every change of the scene, and its place,
// stay-on-top style, visibility and body in the settings and documents.
#include "app/mainwindow/SSystemsForm.h"

#include "app/monitor/MonitorForms.h"
#include "app/widgets/ScreenFit.h"

#include <QToolButton>

void TSolarSystemForm::CreateMonitor()
{
  MonitorForm = new TMonitorForm(this);
  MonitorForm->MainForm = this;
  SBMonitor->setEnabled(true);
}

void TSolarSystemForm::DestroyMonitor()
{
  // Before the buttons it reaches go with the rest of the window.
  MonitorForm->MainForm = nullptr;
  delete MonitorForm;
  MonitorForm = nullptr;
}

void TSolarSystemForm::MonitorSelectObject(const std::string& name)
{
  if (MonitorForm) MonitorForm->SelectObject(name);
}

void TSolarSystemForm::UpdateMonitor()
{
  if (MonitorForm) MonitorForm->UpdateObjectList(solarSystem_.get());
}

void TSolarSystemForm::ApplyMonitorSettings()
{
  PlaceOnScreen(MonitorForm, QPoint(settings_.MonitorLeft, settings_.MonitorTop),
                MonitorForm->size());
  MonitorForm->SetStayOnTop(settings_.MonitorStayOnTop);
}

void TSolarSystemForm::CollectMonitorSettings(TSettings& s) const
{
  s.MonitorLeft = MonitorForm->x();
  s.MonitorTop = MonitorForm->y();
  s.MonitorStayOnTop = MonitorForm->StayOnTop();
}

void TSolarSystemForm::ApplyMonitorDocumentState(const TDocumentState& state)
{
  if (state.MonitorPos)
    PlaceOnScreen(MonitorForm, QPoint((*state.MonitorPos)[0], (*state.MonitorPos)[1]),
                  MonitorForm->size());
  MonitorForm->setVisible(state.MonitorVisible);
  MonitorForm->UpdateObjectList(solarSystem_.get());
  MonitorForm->SelectObject(state.MonitorObject);
}

void TSolarSystemForm::CollectMonitorDocumentState(TDocumentState& state) const
{
  state.MonitorVisible = MonitorForm->isVisible();
  state.MonitorObject = MonitorForm->ObjectName;
}
