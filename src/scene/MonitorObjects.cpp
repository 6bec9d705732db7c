#include "scene/MonitorObjects.h"

#include "scene/SolarSystem.h"

#include <cctype>

const std::array<TMonitorFixedEntry, MonitorFixedEntryCount> MonitorFixedEntries = {{
    {"Mercury", 0, 1, 1, -1},
    {"Venus", 0, 2, 2, -1},
    {"Earth", 0, 0, 0, -1},
    {"Moon", 1, 13, 0, 0},
    {"Mars", 0, 3, 3, -1},
    {"Jupiter", 0, 4, 4, -1},
    {"Io (J I)", 1, 140, 4, 0},
    {"Europa (J II)", 1, 141, 4, 1},
    {"Ganymede (J III)", 1, 142, 4, 2},
    {"Callisto (J IV)", 1, 143, 4, 3},
    {"Saturn", 0, 5, 5, -1},
    {"Mimas (S I)", 1, 156, 5, 0},
    {"Enceladus (S II)", 1, 157, 5, 1},
    {"Tethys (S III)", 1, 158, 5, 2},
    // Telesto, Calypso and Helene (entries 3, 4 and 6 of Saturn's list)
    // are drawn but have no readouts.
    {"Dione (S IV)", 1, 161, 5, 5},
    {"Rhea (S V)", 1, 163, 5, 7},
    {"Titan (S VI)", 1, 164, 5, 8},
    {"Hyperion (S VII)", 1, 165, 5, 9},
    {"Iapetus (S VIII)", 1, 166, 5, 10},
    {"Phoebe (S IX)", 1, 167, 5, 11},
    {"Uranus", 0, 6, 6, -1},
    {"Miranda (U V)", 1, 170, 6, 0},
    {"Ariel (U I)", 1, 171, 6, 1},
    {"Umbriel (U II)", 1, 172, 6, 2},
    {"Titania (U III)", 1, 173, 6, 3},
    {"Oberon (U IV)", 1, 174, 6, 4},
    {"Neptune", 0, 7, 7, -1},
    {"Pluto", 0, 8, 8, -1},
}};

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b)
{
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

}  // namespace

std::vector<TMonitorEntry> MonitorEntries(const TSolarSystem& scene)
{
  std::vector<TMonitorEntry> entries;
  for (const TMonitorFixedEntry& e : MonitorFixedEntries) entries.push_back({e.Text, e.Indent});
  if (scene.CanShowObjects()) {
    const TSpacecraftList& craft = scene.SpacecraftsList();
    for (int i = 0; i < craft.Count(); ++i) entries.push_back({craft.Items(i)->Name, 0});
    const TOEObjectList& minor = scene.AsteroidsList();
    for (int i = 0; i < minor.Count(); ++i) entries.push_back({minor.Items(i)->Name, 0});
  }
  return entries;
}

int FindMonitorEntry(const std::vector<TMonitorEntry>& entries, const std::string& name)
{
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (SameIgnoringCase(entries[i].Text, name)) return static_cast<int>(i);
  return MonitorEarthEntry;
}

TAstronomialObject* MonitorObject(const TSolarSystem& scene, int entry)
{
  TPlanet* earth = scene.Planet(0);
  if (entry >= 0 && entry < MonitorFixedEntryCount) {
    const TMonitorFixedEntry& e = MonitorFixedEntries[entry];
    TPlanet* planet = scene.Planet(e.Planet);
    if (!planet) return earth;
    if (e.Satellite < 0) return planet;
    if (e.Satellite < planet->Satellites.Count()) return planet->Satellites.Items(e.Satellite);
    return earth;
  }
  if (!scene.CanShowObjects()) return earth;  // the list then ends with Pluto
  const int s = entry - MonitorFixedEntryCount;
  const int craft = scene.SpacecraftsList().Count();
  if (s >= 0 && s < craft) return scene.SpacecraftsList().Items(s);
  const int m = s - craft;
  if (m >= 0 && m < scene.AsteroidsList().Count()) return scene.AsteroidsList().Items(m);
  return earth;
}
