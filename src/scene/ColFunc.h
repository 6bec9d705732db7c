// Colour arithmetic of the scene. Colours are 24-bit values with red in the
// low byte, then green, then blue.
#pragma once

#include "bodies/SSClasses.h"  // TColor

// Each channel becomes channel * percent / 100 (integer arithmetic), capped
// at 255; a negative percent gives black.
TColor ScaleColor(TColor c, int percent);

// The colour a scene colour is drawn in under a colour mode: black in mode 0
// (black on white), white in mode 1 (white on black), itself otherwise.
TColor ModeColor(TColor c, int colorMode);

// The background of a colour mode: white in modes 0 and 3, black in mode 1,
// bgColor in mode 2.
TColor BackgroundColor(int colorMode, TColor bgColor);
