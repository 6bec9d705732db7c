// The pictures on the description window's tool buttons, drawn in code so
// that they look the same without an icon theme.
#pragma once

#include <QIcon>

enum class TDescriptionGlyph {
  New, AlignLeft, AlignCenter, AlignRight, Bold, Italic, Font, Bullets, Color, Undo
};

QIcon DescriptionGlyph(TDescriptionGlyph glyph);
