// The description record's lines (the lines of its rich text) and the text
// document the description window edits, converted in memory.
#pragma once

#include <string>
#include <vector>

class QFont;
class QTextDocument;

// The description's own font, where its text sets none: Arial, 10 points.
QFont DescriptionFont();

// The rich text of `doc` as the record holds it: its lines without their
// line ends.
std::vector<std::string> DescriptionLines(const QTextDocument& doc);

// Replaces the content of `doc` by the rich text of the lines; lines that
// are no rich text are shown as plain text.
void ShowDescriptionLines(const std::vector<std::string>& lines, QTextDocument& doc);

// Text split at CR, LF or CR LF.
std::vector<std::string> SplitLines(const std::string& text);
