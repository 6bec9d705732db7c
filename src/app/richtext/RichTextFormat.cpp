#include "app/richtext/RichTextFormat.h"

#include <QFont>
#include <QTextCharFormat>
#include <QTextDocument>

namespace {

QColor BrushColor(const QTextCharFormat& f, QTextFormat::Property p)
{
  if (!f.hasProperty(p)) return {};
  const QBrush b = f.brushProperty(p);
  return b.style() == Qt::NoBrush ? QColor() : b.color();
}

}  // namespace

TRunFormat ResolveFormat(const QTextCharFormat& f, const QTextDocument& doc)
{
  const QFont base = doc.defaultFont();
  TRunFormat r;
  r.Bold = f.fontWeight() >= QFont::DemiBold;
  r.Italic = f.fontItalic();
  r.Underline = f.fontUnderline();
  const QStringList families = f.fontFamilies().toStringList();
  r.Family = !families.isEmpty() && !families.first().isEmpty() ? families.first() : base.family();
  if (f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0)
    r.Points = f.fontPointSize();
  else if (const int px = f.intProperty(QTextFormat::FontPixelSize); px > 0)
    r.Points = px * 0.75;  // at 96 pixels an inch
  else if (base.pointSizeF() > 0)
    r.Points = base.pointSizeF();
  else
    r.Points = 12;
  r.Color = BrushColor(f, QTextFormat::ForegroundBrush);
  r.Highlight = BrushColor(f, QTextFormat::BackgroundBrush);
  return r;
}
