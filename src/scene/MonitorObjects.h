// The monitor's list of bodies: 28 fixed entries (the planets with the
// Moon and 18 further satellites indented under theirs), then, while the
// scene may show them, its spacecraft and its minor bodies. The monitor
// keeps only the text of its entry and finds the body again in the scene's
// lists after every change, so it never holds a body the scene removed.
#pragma once

#include "bodies/SSClasses.h"

#include <array>
#include <string>
#include <vector>

class TSolarSystem;

struct TMonitorFixedEntry {
  const char* Text;
  int Indent;      // 1 for a satellite under its planet
  int BodyNumber;
  int Planet;      // index in PlanetsList
  int Satellite;   // index in that planet's Satellites, -1 for the planet
};

constexpr int MonitorFixedEntryCount = 28;
constexpr int MonitorEarthEntry = 2;
extern const std::array<TMonitorFixedEntry, MonitorFixedEntryCount> MonitorFixedEntries;

struct TMonitorEntry {
  std::string Text;
  int Indent = 0;
};

// The whole list for the scene as it stands.
std::vector<TMonitorEntry> MonitorEntries(const TSolarSystem& scene);

// The entry whose text equals name without regard to letter case, or the
// Earth's entry when there is none.
int FindMonitorEntry(const std::vector<TMonitorEntry>& entries, const std::string& name);

// The body behind an entry of the list MonitorEntries gave for the scene:
// a fixed entry through its planet and satellite, then the spacecraft,
// then the minor bodies; the Earth for any other index.
TAstronomialObject* MonitorObject(const TSolarSystem& scene, int entry);
