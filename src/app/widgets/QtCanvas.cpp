#include "app/widgets/QtCanvas.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QTextLayout>
#include <QLineF>
#include <QString>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

// Lines reaching further than this beyond the clip rectangle are cut to it
// first: the raster engine works in fixed point and misdraws coordinates in
// the tens of millions, which a far zoom easily produces.
constexpr double LineReach = 4096;

// Cuts the segment a-b to the rectangle (Liang-Barsky); false when nothing
// of it lies inside.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& r)
{
  double t0 = 0, t1 = 1;
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  const QPointF start = a;
  a = start + t0 * QPointF(dx, dy);
  b = start + t1 * QPointF(dx, dy);
  return true;
}

}  // namespace

QColor ToQColor(TColor color)
{
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

TColor FromQColor(const QColor& color)
{
  return static_cast<TColor>(color.red()) | static_cast<TColor>(color.green()) << 8 |
         static_cast<TColor>(color.blue()) << 16;
}

TQtCanvas::TQtCanvas(QImage& image)
{
  const QImage::Format f = image.format();
  Begin(&image);
  if (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
      f == QImage::Format_ARGB32_Premultiplied) {
    // The painter draws into the image's own memory, so both may be mixed.
    pixels_ = reinterpret_cast<std::uint32_t*>(image.bits());
    pixelsWidth_ = image.bytesPerLine() / 4;
    pixelsHeight_ = image.height();
  }
}

TQtCanvas::TQtCanvas(QPaintDevice* device) { Begin(device); }

void TQtCanvas::Begin(QPaintDevice* device)
{
  painter_.begin(device);
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setBackgroundMode(Qt::TransparentMode);
  clip_ = QRect(0, 0, device->width(), device->height());
  pen_ = QPen(Qt::black, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
  painter_.setPen(pen_);
  fontColor_ = Qt::black;
}

TQtCanvas::~TQtCanvas()
{
  if (painter_.isActive()) painter_.end();
}

void TQtCanvas::SetFont(const QFont& font)
{
  painter_.setFont(font);
  ascent_ = lineHeight_ = -1;
}

void TQtCanvas::MeasureFont()
{
  const QFontMetrics metrics = painter_.fontMetrics();
  ascent_ = metrics.ascent();
  lineHeight_ = metrics.height();
}

std::uint32_t TQtCanvas::PixelValue(TColor color) const
{
  return 0xFF000000u | (color & 0xFFu) << 16 | (color & 0xFF00u) | (color >> 16 & 0xFFu);
}

void TQtCanvas::FillRect(int left, int top, int right, int bottom, TColor color)
{
  if (right <= left || bottom <= top) return;
  painter_.fillRect(QRect(left, top, right - left, bottom - top), ToQColor(color));
}

void TQtCanvas::SetPixel(int x, int y, TColor color)
{
  if (!clip_.contains(x, y)) return;
  if (pixels_) {
    if (x >= 0 && y >= 0 && x < pixelsWidth_ && y < pixelsHeight_)
      pixels_[static_cast<std::size_t>(y) * pixelsWidth_ + x] = PixelValue(color);
    return;
  }
  painter_.fillRect(QRect(x, y, 1, 1), ToQColor(color));
}

void TQtCanvas::SetPen(TColor color, int width, TPenStyle style)
{
  pen_ = style == TPenStyle::Clear
             ? QPen(Qt::NoPen)
             : QPen(ToQColor(color), std::max(1, width), Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
  painter_.setPen(pen_);
}

void TQtCanvas::SetBrush(TColor color, TBrushStyle style)
{
  painter_.setBrush(style == TBrushStyle::Clear ? QBrush(Qt::NoBrush) : QBrush(ToQColor(color)));
}

void TQtCanvas::MoveTo(int x, int y)
{
  penX_ = x;
  penY_ = y;
}

void TQtCanvas::LineTo(int x, int y)
{
  const QPoint from(penX_, penY_), to(x, y);
  penX_ = x;
  penY_ = y;
  if (pen_.style() == Qt::NoPen) return;
  const QRectF reach = QRectF(clip_).adjusted(-LineReach, -LineReach, LineReach, LineReach);
  if (reach.contains(from) && reach.contains(to)) {
    painter_.drawLine(from, to);
    return;
  }
  QPointF a(from), b(to);
  if (ClipSegment(a, b, reach)) painter_.drawLine(QLineF(a, b));
}

void TQtCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
  if (x2 <= x1 || y2 <= y1) return;
  const QBrush brush = painter_.brush();
  const bool filled = brush.style() != Qt::NoBrush;
  if (filled) FillEllipse(x1, y1, x2, y2, brush.color());
  // An outline in the fill's colour would only retrace the fill's edge.
  if (pen_.style() != Qt::NoPen && !(filled && pen_.color() == brush.color())) {
    painter_.setBrush(Qt::NoBrush);
    painter_.drawEllipse(QRectF(x1, y1, x2 - x1, y2 - y1).adjusted(0.5, 0.5, -0.5, -0.5));
    painter_.setBrush(brush);
  }
}

void TQtCanvas::FillEllipse(int x1, int y1, int x2, int y2, const QColor& color)
{
  // Row by row, the pixels whose centres lie in the ellipse inscribed in the
  // box: symmetric about the box's middle, which the raster engine's own
  // aliased ellipses are not.
  const double cx = 0.5 * (x1 + x2), cy = 0.5 * (y1 + y2);
  const double a = 0.5 * (x2 - x1), b = 0.5 * (y2 - y1);
  const int top = std::max(y1, clip_.top()), bottom = std::min(y2, clip_.bottom() + 1);
  const bool direct = pixels_ && color.alpha() == 255;
  const std::uint32_t word = PixelValue(FromQColor(color));
  for (int y = top; y < bottom; ++y) {
    const double v = (y + 0.5 - cy) / b;
    if (v * v > 1) continue;
    const double half = a * std::sqrt(1 - v * v);
    const int left = static_cast<int>(std::ceil(cx - half - 0.5));
    const int right = static_cast<int>(std::floor(cx + half - 0.5));
    if (right < left) continue;
    if (!direct) {
      painter_.fillRect(QRect(left, y, right - left + 1, 1), color);
      continue;
    }
    // Straight into the pixels, clipped as the painter would: the dots of
    // thousands of minor bodies.
    const int from = std::max({left, clip_.left(), 0});
    const int to = std::min({right, clip_.right(), pixelsWidth_ - 1});
    if (y < 0 || y >= pixelsHeight_) continue;
    std::uint32_t* row = pixels_ + static_cast<std::size_t>(y) * pixelsWidth_;
    for (int x = from; x <= to; ++x) row[x] = word;
  }
}

void TQtCanvas::SetFontColor(TColor color) { fontColor_ = ToQColor(color); }

namespace {

// Labels laid out once per font and text: the names of thousands of minor
// bodies are drawn at every tick, and laying text out costs far more than
// drawing its glyphs. Emptied when the font changes or it holds too many.
struct TLabelLayout {
  QList<QGlyphRun> Runs;
  double Ascent = 0;  // of the line the glyphs stand on
};

class TLabelCache {
public:
  const TLabelLayout& Get(const QFont& font, const std::string& text)
  {
    if (font != font_ || layouts_.size() > MaxLabels) {
      layouts_.clear();
      font_ = font;
    }
    auto it = layouts_.find(text);
    if (it != layouts_.end()) return it->second;
    QTextLayout layout(QString::fromStdString(text), font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    TLabelLayout entry;
    if (line.isValid()) {
      entry.Runs = layout.glyphRuns();
      entry.Ascent = line.ascent();
    }
    return layouts_.emplace(text, std::move(entry)).first->second;
  }

private:
  static constexpr std::size_t MaxLabels = 65536;
  QFont font_;
  std::unordered_map<std::string, TLabelLayout> layouts_;
};

// One cache per thread: a laid-out glyph run belongs to the font engines of
// the thread that made it (films draw their frames on a thread of their own).
TLabelCache& LabelCache()
{
  thread_local TLabelCache cache;
  return cache;
}

}  // namespace

void TQtCanvas::TextOut(int x, int y, const std::string& text)
{
  painter_.setPen(fontColor_);
  if (ascent_ < 0) MeasureFont();
  const TLabelLayout& label = LabelCache().Get(painter_.font(), text);
  // The baseline where drawText puts it, the font's ascent below the top.
  const QPointF origin(x, y + ascent_ - label.Ascent);
  for (const QGlyphRun& run : label.Runs) painter_.drawGlyphRun(origin, run);
  painter_.setPen(pen_);
}

int TQtCanvas::TextWidth(const std::string& text)
{
  return painter_.fontMetrics().horizontalAdvance(QString::fromStdString(text));
}

int TQtCanvas::TextHeight(const std::string& /*text*/)
{
  if (lineHeight_ < 0) MeasureFont();
  return lineHeight_;
}

void TQtCanvas::SetClipRect(int left, int top, int right, int bottom)
{
  clip_ = QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
  painter_.setClipRect(clip_);
}
