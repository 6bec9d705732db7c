#include "app/richtext/RichTextListing.h"

#include "app/richtext/RichTextFormat.h"

#include <QTextBlock>
#include <QTextDocument>

#include <cstdio>

namespace {

const char* AlignmentName(Qt::Alignment a)
{
  if (a & Qt::AlignHCenter) return "center";
  if (a & Qt::AlignJustify) return "justify";
  if (a & Qt::AlignRight) return "right";
  return "left";
}

std::string RunLine(const TRunFormat& f, const QString& text)
{
  char color[8];
  const QColor c = f.Color.isValid() ? f.Color : QColor(Qt::black);
  std::snprintf(color, sizeof color, "#%02X%02X%02X", c.red(), c.green(), c.blue());
  return std::string("RUN bold=") + (f.Bold ? "1" : "0") + " italic=" + (f.Italic ? "1" : "0") +
         " underline=" + (f.Underline ? "1" : "0") + " font=" + f.Family.toStdString() +
         " size=" + QString::number(f.Points).toStdString() + " color=" + color + "\t" +
         text.toStdString() + "\n";
}

}  // namespace

std::string PlainTextLines(const QTextDocument& doc)
{
  if (doc.isEmpty()) return {};
  return doc.toPlainText().toStdString() + "\n";
}

std::string RichTextRuns(const QTextDocument& doc)
{
  if (doc.isEmpty()) return {};
  std::string out;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    out += std::string("PARA align=") + AlignmentName(b.blockFormat().alignment()) +
           " bullet=" + (b.textList() ? "1" : "0") + "\n";
    // Pieces that differ only in what the listing does not show are one run.
    bool open = false;
    TRunFormat current;
    QString text;
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid() || fragment.text().isEmpty()) continue;
      TRunFormat f = ResolveFormat(fragment.charFormat(), doc);
      f.Highlight = QColor();
      if (open && f == current) {
        text += fragment.text();
        continue;
      }
      if (open) out += RunLine(current, text);
      current = f;
      text = fragment.text();
      open = true;
    }
    if (open) out += RunLine(current, text);
  }
  return out;
}
