#include "app/richtext/DescriptionLines.h"

#include "app/richtext/RtfReader.h"
#include "app/richtext/RtfWriter.h"

#include <QFont>
#include <QTextDocument>

QFont DescriptionFont() { return QFont("Arial", 10); }

std::vector<std::string> SplitLines(const std::string& text)
{
  std::vector<std::string> lines;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t e = text.find_first_of("\r\n", i);
    if (e == std::string::npos) e = text.size();
    lines.push_back(text.substr(i, e - i));
    if (e < text.size() && text[e] == '\r' && e + 1 < text.size() && text[e + 1] == '\n') ++e;
    i = e + 1;
  }
  return lines;
}

std::vector<std::string> DescriptionLines(const QTextDocument& doc)
{
  return SplitLines(WriteRtf(doc));
}

void ShowDescriptionLines(const std::vector<std::string>& lines, QTextDocument& doc)
{
  // The lines as the record's file held them, each ended by CR LF.
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  ReadRtf(text, doc);
}
