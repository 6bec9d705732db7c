// Reading rich text (RTF) into a text document.
//
// Understood: paragraphs with their alignment and bullets (the \pn groups of
// RichEdit and WordPad, the \ls lists of word processors), bold, italic,
// underline, fonts from the font table, sizes, text and highlight colours
// from the colour table, tabs, line breaks, the usual special characters,
// text in the document's or a font's code page and as \uN. Everything else
// (style sheets, document information, pictures, unknown destinations) is
// skipped.
//
// Damaged rich text shows what can be recovered: unbalanced braces, data
// cut short, binary garbage and absurd numbers are survived in one pass
// over the input with bounded group depth.
#pragma once

#include <string_view>

class QTextDocument;

// Replaces the content of `doc` by `rtf`, UTF-8 text whose characters
// beyond ASCII are taken as they are. Text that does not begin with "{\rtf"
// (after blanks) is no rich text and is shown as plain text, one paragraph
// per line.
void ReadRtf(std::string_view rtf, QTextDocument& doc);

// Whether `text` begins as rich text does.
bool LooksLikeRtf(std::string_view text);
