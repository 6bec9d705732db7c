// A second scene like a first one, for work that moves a scene through time
// on another thread (a film) while the first goes on being shown.
#pragma once

#include "scene/SolarSystem.h"

// Makes `to` show what `from` shows: view, switches, colours, every body and
// list (the full list of minor bodies too) and the instant, computed. `to`
// must be a scene as constructed (nine planets and their satellites).
void CopyScene(const TSolarSystem& from, TSolarSystem& to);
