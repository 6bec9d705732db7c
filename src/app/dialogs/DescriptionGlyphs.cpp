#include "app/dialogs/DescriptionGlyphs.h"

#include "app/widgets/Contrast.h"

#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>

namespace {

constexpr int Size = 16;

// Four lines of text, of the given lengths, placed by the alignment.
void TextLines(QPainter& p, Qt::Alignment align)
{
  const int lengths[] = {12, 8, 12, 6};
  for (int i = 0; i < 4; ++i) {
    const int w = lengths[i];
    const int x = align == Qt::AlignLeft ? 2 : align == Qt::AlignRight ? 14 - w : (Size - w) / 2;
    p.drawLine(x, 3 + 3 * i, x + w - 1, 3 + 3 * i);
  }
}

void Letter(QPainter& p, const QString& text, bool bold, bool italic, const QString& family)
{
  QFont f(family);
  f.setPixelSize(14);
  f.setBold(bold);
  f.setItalic(italic);
  p.setFont(f);
  p.drawText(QRect(0, 0, Size, Size), Qt::AlignCenter, text);
}

}  // namespace

QIcon DescriptionGlyph(TDescriptionGlyph glyph, const QPalette& palette)
{
  QPixmap pm(Size, Size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  const QColor ink = GlyphInk(palette);
  p.setPen(QPen(ink, 1));
  switch (glyph) {
    case TDescriptionGlyph::New: {
      // A blank page with a folded corner.
      const QPoint page[] = {{3, 1}, {10, 1}, {13, 4}, {13, 14}, {3, 14}};
      p.setBrush(palette.color(QPalette::Base));
      p.drawPolygon(page, 5);
      p.drawPolyline(QPolygon({{10, 1}, {10, 4}, {13, 4}}));
      break;
    }
    case TDescriptionGlyph::AlignLeft: TextLines(p, Qt::AlignLeft); break;
    case TDescriptionGlyph::AlignCenter: TextLines(p, Qt::AlignHCenter); break;
    case TDescriptionGlyph::AlignRight: TextLines(p, Qt::AlignRight); break;
    case TDescriptionGlyph::Bold: Letter(p, "B", true, false, "Arial"); break;
    case TDescriptionGlyph::Italic: Letter(p, "I", false, true, "Times New Roman"); break;
    case TDescriptionGlyph::Font:
      Letter(p, "A", false, false, "Times New Roman");
      p.drawLine(2, 15, 13, 15);
      break;
    case TDescriptionGlyph::Bullets:
      p.setRenderHint(QPainter::Antialiasing);
      for (int i = 0; i < 3; ++i) {
        p.setBrush(ink);
        p.drawEllipse(QRectF(1.5, 2.5 + 4.5 * i, 2.5, 2.5));
        p.drawLine(QPointF(6, 3.5 + 4.5 * i), QPointF(14, 3.5 + 4.5 * i));
      }
      break;
    case TDescriptionGlyph::Color: {
      // A paint swatch in three colours.
      p.setPen(QPen(ink, 1));
      const QColor colors[] = {QColor(0xE0, 0x30, 0x30), QColor(0x30, 0xA0, 0x30),
                               QColor(0x30, 0x50, 0xE0)};
      for (int i = 0; i < 3; ++i) p.fillRect(2 + 4 * i, 3, 4, 10, colors[i]);
      p.setBrush(Qt::NoBrush);
      p.drawRect(2, 3, 11, 9);
      break;
    }
    case TDescriptionGlyph::Undo: {
      // An arrow bending back to the left.
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(QPen(ink, 1.6));
      QPainterPath arc;
      arc.moveTo(4, 6);
      arc.cubicTo(10, 2, 16, 8, 11, 13);
      p.drawPath(arc);
      p.setBrush(ink);
      p.setPen(Qt::NoPen);
      p.drawPolygon(QPolygonF({QPointF(1, 6), QPointF(6, 2.5), QPointF(6, 9.5)}));
      break;
    }
  }
  p.end();
  return QIcon(pm);
}
