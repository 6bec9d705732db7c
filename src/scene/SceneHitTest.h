// What the user points at in the picture: the body drawn nearest to a
// pixel of the scene's last paint, by the same rules that decide whether
// and where each body is drawn.
#pragma once

#include <string>

class TAstronomialObject;
class TSolarSystem;

struct TBodyHit {
  // The body, or nullptr for the Sun and for no hit.
  const TAstronomialObject* Body = nullptr;
  // As the picture labels it ("Io (J I)"); empty for no hit.
  std::string Name;
};

// The body whose dot or disc lies within `tolerance` pixels of (x, y) in
// the rectangle of the scene's last Paint, the nearest one when several
// do (on a tie the one drawn last, which covers the others). Unnamed dots
// of the full list of minor bodies are not counted.
TBodyHit BodyAt(const TSolarSystem& scene, int x, int y, int tolerance);
