// The one palette of an animated GIF film and the mapping of frames onto
// it. The scene is drawn in few colours (background, grid, bodies, lines,
// captions) plus the shades of its antialiased text; the palette keeps the
// colours the caller names and then the most frequent colours of sample
// frames, each exactly, and maps every other colour to its nearest entry.
// The last entry is left free as the transparent colour, with which the
// encoder marks pixels unchanged since the previous frame.
#pragma once

#include <QImage>

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

class TGifPalette {
public:
  static constexpr int Colors = 255;           // entries for the picture
  static constexpr int TransparentIndex = 255;  // the free entry

  // `pinned` (0xRRGGBB) come first, then the other colours of the samples
  // (32-bit RGB images) by frequency, until the palette is full.
  TGifPalette(const std::vector<std::uint32_t>& pinned, const std::vector<QImage>& samples);

  // 0xAARRGGBB entries as FFmpeg's 8-bit palette frames take them; the
  // transparent entry has alpha 0.
  const std::array<std::uint32_t, 256>& Entries() const { return entries_; }
  int Count() const { return count_; }

  // The index of each pixel of a 32-bit RGB image, rows `stride` apart.
  void Map(const QImage& image, std::uint8_t* indices, int stride);
  // The entry for one colour (0xRRGGBB): its own, else the nearest.
  std::uint8_t IndexOf(std::uint32_t rgb);

private:
  std::array<std::uint32_t, 256> entries_{};
  int count_ = 0;
  std::unordered_map<std::uint32_t, std::uint8_t> lookup_;  // exact and found nearest
};
