#include "app/widgets/PanelGlyphs.h"

#include "app/widgets/Contrast.h"

#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>

namespace {

QPixmap Draw(TPanelGlyph glyph, const QColor& ink, qreal scale)
{
  // Drawn on a 16-unit square, sharp at twice the size as well.
  QPixmap pm(QSize(16, 16) * scale);
  pm.setDevicePixelRatio(scale);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  switch (glyph) {
    case TPanelGlyph::Start:
      p.drawPolygon(QPolygonF({QPointF(4, 2), QPointF(13, 8), QPointF(4, 14)}));
      break;
    case TPanelGlyph::Stop: p.drawRect(QRectF(3.5, 3.5, 9, 9)); break;
    case TPanelGlyph::Pause:
      p.drawRect(QRectF(3.5, 2.5, 3, 11));
      p.drawRect(QRectF(9.5, 2.5, 3, 11));
      break;
    case TPanelGlyph::Reverse:
      p.drawPolygon(QPolygonF({QPointF(8, 3), QPointF(1, 8), QPointF(8, 13)}));
      p.drawPolygon(QPolygonF({QPointF(15, 3), QPointF(8, 8), QPointF(15, 13)}));
      break;
    case TPanelGlyph::Exit: {
      // An open door with an arrow leaving it.
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(ink, 1.5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
      p.drawPolyline(QPolygonF({QPointF(9, 4), QPointF(9, 1.75), QPointF(1.75, 1.75),
                                QPointF(1.75, 14.25), QPointF(9, 14.25), QPointF(9, 12)}));
      p.drawLine(QPointF(5, 8), QPointF(13, 8));
      p.setPen(Qt::NoPen);
      p.setBrush(ink);
      p.drawPolygon(QPolygonF({QPointF(15.5, 8), QPointF(11, 4.5), QPointF(11, 11.5)}));
      break;
    }
  }
  return pm;
}

}  // namespace

QIcon PanelGlyph(TPanelGlyph glyph, const QPalette& palette)
{
  QIcon icon;
  const QColor normal = GlyphInk(palette);
  const QColor disabled = ReadableOn(palette.color(QPalette::Disabled, QPalette::ButtonText),
                                     palette.color(QPalette::Disabled, QPalette::Button), 2.0);
  for (qreal scale : {1.0, 2.0}) {
    icon.addPixmap(Draw(glyph, normal, scale), QIcon::Normal);
    icon.addPixmap(Draw(glyph, disabled, scale), QIcon::Disabled);
  }
  return icon;
}
