#include "app/widgets/Contrast.h"

#include <QPalette>

#include <algorithm>
#include <cmath>

namespace {

double Linear(double channel)
{
  return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

QColor Mix(const QColor& a, const QColor& b, double t)
{
  auto m = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
  return QColor(m(a.red(), b.red()), m(a.green(), b.green()), m(a.blue(), b.blue()));
}

}  // namespace

double RelativeLuminance(const QColor& c)
{
  const QColor rgb = c.toRgb();
  return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) +
         0.0722 * Linear(rgb.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b)
{
  const double la = RelativeLuminance(a);
  const double lb = RelativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableOn(const QColor& wanted, const QColor& background, double ratio)
{
  if (ContrastRatio(wanted, background) >= ratio) return wanted;
  // Toward the extreme that stands out more from the background.
  const QColor extreme = ContrastRatio(Qt::white, background) >= ContrastRatio(Qt::black, background)
                             ? QColor(Qt::white)
                             : QColor(Qt::black);
  // The least mixing that reaches the ratio (the ratio grows with t).
  double lo = 0, hi = 1;
  for (int i = 0; i < 20; ++i) {
    const double mid = (lo + hi) / 2;
    if (ContrastRatio(Mix(wanted, extreme, mid), background) >= ratio)
      hi = mid;
    else
      lo = mid;
  }
  return Mix(wanted, extreme, hi);
}

QColor TextColorOn(const QColor& wanted, const QColor& background)
{
  if (ContrastRatio(wanted, background) >= ReadableContrast) return wanted;
  return ContrastRatio(Qt::white, background) >= ContrastRatio(Qt::black, background)
             ? QColor(Qt::white)
             : QColor(Qt::black);
}

QColor GlyphInk(const QPalette& palette)
{
  return ReadableOn(palette.color(QPalette::ButtonText), palette.color(QPalette::Button));
}
