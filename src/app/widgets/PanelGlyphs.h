// The glyphs of the main window's animation buttons and its exit command,
// drawn in the ink of the palette they are shown on, so that they read on
// light and dark desktops alike.
#pragma once

#include <QIcon>

class QPalette;

enum class TPanelGlyph { Start, Stop, Pause, Reverse, Exit };

QIcon PanelGlyph(TPanelGlyph glyph, const QPalette& palette);
