// The scene's list of spacecraft. Spacecraft are loaded from trajectory
// files; until that loader exists the list is always empty, and the scene
// already calls it at the places where spacecraft are computed and drawn.
#pragma once

class TSpacecraftList {
public:
  int Count() const { return 0; }
  void CalculateAll(long double /*jd*/) {}
  void Clear() {}
};
