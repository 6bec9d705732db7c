// What the monitor shows for one body of the scene at the scene's instant:
// the row layout of its kind, the labels and the value texts, and the view
// its "Show" command makes. The window and `sollumen-cli monitor` both
// show exactly these rows.
#pragma once

#include "bodies/SSClasses.h"

#include <string>
#include <vector>

class TSolarSystem;

enum TMonitorKind : unsigned char {
  mkPlanet = 0,
  mkSatellite = 1,
  mkMoon = 2,
  mkSpacecraft = 3,
  mkMinorBody = 4,
};

int MonitorRowCount(TMonitorKind kind);
// The height of the monitor window laid out for the kind: 17 pixels a
// row and 53 for the list, the caption and the frame.
int MonitorWindowHeight(TMonitorKind kind);
// The labels of the layout before any values are written (the distance
// rows in AU).
std::vector<std::string> MonitorLabels(TMonitorKind kind);

// Distances below this (about ten million kilometres) are shown in 1000 km.
constexpr long double MonitorNearDistance = 0.06684587153547039L;
// Kilometres in an astronomical unit as the monitor converts them.
constexpr long double MonitorKmPerAU = 149597870000.0L / 1000;

struct TMonitorRow {
  std::string Label;
  std::string Value;
};

struct TMonitorValues {
  bool Known = false;  // false: the body is of no kind the monitor shows
  TMonitorKind Kind = mkPlanet;
  std::vector<TMonitorRow> Rows;
};

// The rows for `body`, an object of the scene, computed at the scene's
// instant; numbers are written with `separator` as decimal separator.
TMonitorValues MonitorValues(const TSolarSystem& scene, const TAstronomialObject& body,
                             const std::string& separator = ".");

// The view "Show" makes for a body: the centre (the Sun, or a satellite's
// planet), its entry in the main window's centre list and the half-width.
// Not Valid for a body without a position (a spacecraft outside its
// trajectory), for which the view stays as it is.
struct TMonitorView {
  bool Valid = false;
  int Center = bnSun;
  int CenterEntry = 0;
  long double Dim = 0;
};
TMonitorView MonitorShowView(const TAstronomialObject& body);
