// The formatting of a piece of rich text as the description keeps it:
// what the writer stores and the listing of runs shows, with the
// document's default font filled in where a piece sets none.
#pragma once

#include <QColor>
#include <QString>

class QTextCharFormat;
class QTextDocument;

struct TRunFormat {
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  QString Family;
  qreal Points = 10;
  QColor Color;      // invalid: automatic (black)
  QColor Highlight;  // invalid: none

  bool operator==(const TRunFormat&) const = default;
};

TRunFormat ResolveFormat(const QTextCharFormat& format, const QTextDocument& doc);
