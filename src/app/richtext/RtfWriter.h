// Writing a text document as rich text (RTF 1.x, the plain dialect other
// word processors open with the same look): a font and a colour table,
// paragraphs with their alignment and bullets, bold, italic, underline,
// fonts, sizes, text and highlight colours; text in Windows-1252 escapes
// and \uN for the rest. Lines end with CR LF.
#pragma once

#include <string>

class QTextDocument;

std::string WriteRtf(const QTextDocument& doc);
