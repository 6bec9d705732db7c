// Colours that stay readable on light and dark desktops: the contrast
// ratio of two colours as the web's accessibility guidelines define it
// (1 for equal colours, 21 for black on white), and the nearest colour to a
// wished one that reaches a given ratio on a background.
#pragma once

#include <QColor>

class QPalette;

// Relative luminance 0..1 of an sRGB colour.
double RelativeLuminance(const QColor& c);
// (L1 + 0.05) / (L2 + 0.05), the lighter colour's luminance on top.
double ContrastRatio(const QColor& a, const QColor& b);

// The ratio body text needs (level AA).
constexpr double ReadableContrast = 4.5;

// `wanted` itself when it reads well enough on `background`; otherwise
// `wanted` mixed toward white or black (whichever background it is drawn
// on needs) just far enough to reach the ratio.
QColor ReadableOn(const QColor& wanted, const QColor& background,
                  double ratio = ReadableContrast);

// Text colour: `wanted` when it reads on `background`, else plain black or
// white, whichever reads better (a faded grey would look disabled).
QColor TextColorOn(const QColor& wanted, const QColor& background);

// Ink for glyphs the program draws itself on buttons of this palette.
QColor GlyphInk(const QPalette& palette);
