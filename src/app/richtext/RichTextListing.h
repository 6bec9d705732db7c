// Listings of a text document for the command line and for tests.
#pragma once

#include <string>

class QTextDocument;

// The text as the description window shows it: each paragraph a line,
// ended by a line feed; nothing for an empty document.
std::string PlainTextLines(const QTextDocument& doc);

// One line per paragraph, "PARA align=left|center|right|justify bullet=0|1",
// followed by one line per run of equal formatting, "RUN bold=0|1 italic=0|1
// underline=0|1 font=NAME size=POINTS color=#RRGGBB", a tab and the text.
// Nothing for an empty document.
std::string RichTextRuns(const QTextDocument& doc);
