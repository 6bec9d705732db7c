// The pictures on the description window's tool buttons, drawn in code so
// that they look the same without an icon theme, in the ink of the palette
// of the buttons (light and dark desktops).
#pragma once

#include <QIcon>

enum class TDescriptionGlyph {
  New, AlignLeft, AlignCenter, AlignRight, Bold, Italic, Font, Bullets, Color, Undo
};

class QPalette;

QIcon DescriptionGlyph(TDescriptionGlyph glyph, const QPalette& palette);
