#include "scene/ColFunc.h"

TColor ScaleColor(TColor c, int percent)
{
  if (percent <= 0) return 0;
  TColor result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    unsigned long long channel = (c >> shift) & 0xFFu;
    channel = channel * static_cast<unsigned>(percent) / 100u;
    if (channel > 255) channel = 255;
    result |= static_cast<TColor>(channel) << shift;
  }
  return result;
}

TColor ModeColor(TColor c, int colorMode)
{
  switch (colorMode) {
    case 0: return 0x000000;
    case 1: return 0xFFFFFF;
    default: return c;
  }
}

TColor BackgroundColor(int colorMode, TColor bgColor)
{
  switch (colorMode) {
    case 1: return 0x000000;
    case 2: return bgColor;
    default: return 0xFFFFFF;
  }
}
