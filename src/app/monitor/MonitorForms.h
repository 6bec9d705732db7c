// The monitor: a small tool window with a list of bodies and a grid of
// numeric readouts (label, value) of the chosen one at the scene's
// instant. The main window hands it the scene after every change of the
// scene; the monitor then rebuilds its list, finds its body again by name
// and recomputes every value. "Show" centres and scales the main view on
// the body.
#pragma once

#include "scene/MonitorValues.h"

#include <QWidget>

#include <string>

class QComboBox;
class QPushButton;
class QTableWidget;
class TAstronomialObject;
class TSolarSystem;
class TSolarSystemForm;

class TMonitorForm : public QWidget {
public:
  // Hidden, at its place by design until the settings move it.
  explicit TMonitorForm(QWidget* parent = nullptr);  // FormCreate

  // The text of the selected entry.
  std::string ObjectName = "Earth";
  TSolarSystem* Scene = nullptr;           // not owned
  TSolarSystemForm* MainForm = nullptr;    // not owned
  TAstronomialObject* SelectedObject = nullptr;  // owned by the scene
  TMonitorKind Kind = mkPlanet;

  // Attaches the scene, rebuilds the list's spacecraft and minor bodies,
  // selects the body of ObjectName again (Earth when it is gone) and
  // recomputes.
  void UpdateObjectList(TSolarSystem* scene);
  // Selects the entry whose text equals name, ignoring case (Earth when
  // there is none), and recomputes.
  void SelectObject(const std::string& name);

  void CBObjectChange();
  void SBShowObjectClick();

  bool StayOnTop() const { return stayOnTop_; }
  void SetStayOnTop(bool on);
  // The height of the window in the current layout, frame and caption
  // included (the client area is that less the caption).
  int FormHeight() const { return MonitorWindowHeight(Kind); }

  // The grid's text at a row and column (0 labels, 1 values).
  std::string CellText(int row, int column) const;
  int RowCount() const;

  QWidget* Panel = nullptr;
  QComboBox* CBObject = nullptr;
  QPushButton* SBShowObject = nullptr;
  QTableWidget* StringGrid = nullptr;

protected:
  void hideEvent(QHideEvent* event) override;  // FormHide
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void PrepareRows(TMonitorKind kind);
  // The list's and grid's navy text, readable on the palette's base.
  void ApplyTextColors();
  void ShowValues();
  void SetCell(int row, int column, const std::string& text);

  bool stayOnTop_ = false;
  bool changingFlags_ = false;  // the window hides while its flags change
};
