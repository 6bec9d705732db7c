#include "app/output/GifPalette.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

constexpr std::uint32_t RgbMask = 0xFFFFFF;

int Distance(std::uint32_t a, std::uint32_t b)
{
  const int dr = int((a >> 16) & 0xFF) - int((b >> 16) & 0xFF);
  const int dg = int((a >> 8) & 0xFF) - int((b >> 8) & 0xFF);
  const int db = int(a & 0xFF) - int(b & 0xFF);
  // Green weighs most with the eye, blue least.
  return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

}  // namespace

TGifPalette::TGifPalette(const std::vector<std::uint32_t>& pinned,
                         const std::vector<QImage>& samples)
{
  auto add = [this](std::uint32_t rgb) {
    rgb &= RgbMask;
    if (count_ >= Colors || lookup_.count(rgb)) return;
    lookup_.emplace(rgb, static_cast<std::uint8_t>(count_));
    entries_[count_++] = 0xFF000000u | rgb;
  };
  for (std::uint32_t c : pinned) add(c);

  // Runs of one colour are counted once per run: the large fills of the
  // background would otherwise only slow the count down.
  std::unordered_map<std::uint32_t, long long> frequency;
  for (const QImage& image : samples) {
    for (int y = 0; y < image.height(); ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
      int x = 0;
      while (x < image.width()) {
        const std::uint32_t c = row[x] & RgbMask;
        int end = x + 1;
        while (end < image.width() && (row[end] & RgbMask) == c) ++end;
        frequency[c] += end - x;
        x = end;
      }
    }
  }
  std::vector<std::pair<std::uint32_t, long long>> byCount(frequency.begin(), frequency.end());
  std::sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) {
    return a.second != b.second ? a.second > b.second : a.first < b.first;
  });
  for (const auto& [c, n] : byCount) add(c);
  if (count_ == 0) add(0);
  // The transparent entry: black without alpha, never chosen for a pixel.
  entries_[TransparentIndex] = 0x00000000u;
}

std::uint8_t TGifPalette::IndexOf(std::uint32_t rgb)
{
  rgb &= RgbMask;
  const auto found = lookup_.find(rgb);
  if (found != lookup_.end()) return found->second;
  int best = 0;
  int bestDistance = std::numeric_limits<int>::max();
  for (int i = 0; i < count_; ++i) {
    const int d = Distance(rgb, entries_[i] & RgbMask);
    if (d < bestDistance) bestDistance = d, best = i;
  }
  lookup_.emplace(rgb, static_cast<std::uint8_t>(best));
  return static_cast<std::uint8_t>(best);
}

void TGifPalette::Map(const QImage& image, std::uint8_t* indices, int stride)
{
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    std::uint8_t* out = indices + static_cast<std::ptrdiff_t>(y) * stride;
    std::uint32_t last = ~0u;
    std::uint8_t lastIndex = 0;
    for (int x = 0; x < image.width(); ++x) {
      const std::uint32_t c = row[x] & RgbMask;
      if (c != last) last = c, lastIndex = IndexOf(c);
      out[x] = lastIndex;
    }
  }
}
