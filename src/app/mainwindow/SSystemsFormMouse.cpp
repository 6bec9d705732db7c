// The mouse on the picture: a click names a body and hands it to the
// monitor, hovering names it in a tool tip, a drag turns the 3D view.
#include "app/mainwindow/SSystemsForm.h"

#include "scene/MonitorObjects.h"
#include "scene/SceneHitTest.h"

#include <QSlider>
#include <QStatusBar>

#include <cmath>

namespace {

// Degrees the view turns per pixel of a drag.
constexpr double DegreesPerPixel = 0.5;

}  // namespace

std::string TSolarSystemForm::BodyNameAt(int x, int y) const
{
  return BodyAt(*solarSystem_, x, y, ClickTolerance).Name;
}

void TSolarSystemForm::PaintBoxClick(int x, int y)
{
  const TBodyHit hit = BodyAt(*solarSystem_, x, y, ClickTolerance);
  if (hit.Name.empty()) {
    StatusBar->clearMessage();
    return;
  }
  StatusBar->showMessage(QString::fromStdString(hit.Name));
  if (!hit.Body) return;  // the Sun has no monitor entry
  // The monitor's entry of that very body (Telesto, say, has none).
  const std::vector<TMonitorEntry> entries = MonitorEntries(*solarSystem_);
  for (int i = 0; i < static_cast<int>(entries.size()); ++i)
    if (MonitorObject(*solarSystem_, i) == hit.Body) {
      MonitorSelectObject(entries[i].Text);
      return;
    }
}

void TSolarSystemForm::PaintBoxDrag(int dx, int dy)
{
  if (solarSystem_->Plane != D3) return;
  // Sideways turns about the ecliptic's pole, up and down tilts it; the
  // sliders move and their handlers turn the scene.
  dragRotZ_ += dx * DegreesPerPixel;
  dragRotX_ += dy * DegreesPerPixel;
  const int z = static_cast<int>(std::trunc(dragRotZ_));
  const int x = static_cast<int>(std::trunc(dragRotX_));
  dragRotZ_ -= z;
  dragRotX_ -= x;
  if (z != 0) {
    // A full turn: round past +-180 to the other end.
    int v = TBRotZ->value() + z;
    while (v > 180) v -= 360;
    while (v < -180) v += 360;
    TBRotZ->setValue(v);
  }
  if (x != 0) TBRotX->setValue(std::clamp(TBRotX->value() + x, 0, 180));
}
