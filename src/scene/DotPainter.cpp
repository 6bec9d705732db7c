#include "scene/DotPainter.h"

#include "scene/DotProjection.h"

#include "bodies/ParallelChunks.h"
#include "bodies/VectorClones.h"
#include "scene/ColFunc.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>

// Where the time goes: the projection (two dot products, two squared
// distances, the view tests) runs in vector registers, a block of bodies at
// a time, and leaves a screen offset per body in a small buffer; the stores
// follow without branches. All cores share the list when every dot has the
// same colour (the usual case: the list takes the minor bodies' colour),
// else one core draws in list order. Print sizes (dots of 5 or 9 pixels)
// and canvases without pixels take the plain loop.

namespace {

// Screen offsets py * stride + px of the bodies [begin, end), or -1 for a
// body not drawn.
SOLLUMEN_VECTOR_CLONES
void ProjectRange(const TProjection p, const TPixelWindow w, const double* __restrict xs,
                  const double* __restrict ys, const double* __restrict zs,
                  std::int32_t* __restrict out, int begin, int end)
{
  // Locals, so that nothing is loaded conditionally inside the loop.
  const int xLo = w.XLo, xHi = w.XHi, yLo = w.YLo, yHi = w.YHi, stride = w.Stride;
  for (int i = begin; i < end; ++i) {
    int px, py;
    const bool shown = ProjectDot(p, xs[i], ys[i], zs[i], px, py) & (px >= xLo) & (px <= xHi) &
                       (py >= yLo) & (py <= yHi);
    out[i] = shown ? py * stride + px : -1;
  }
}

// Words of the canvas for body colours under a colour mode, converted when
// the colour changes from one body to the next.
struct TColorWords {
  TCanvas* Canvas;
  int ColorMode;
  TColor Last = 0;
  std::uint32_t Word = 0;
  bool Known = false;
  std::uint32_t For(TColor c)
  {
    if (!Known || c != Last) {
      Known = true;
      Last = c;
      Word = Canvas->PixelValue(ModeColor(c, ColorMode));
    }
    return Word;
  }
};

// The single-pixel dots of the bodies [begin, end) written into the pixels,
// a block at a time: first the block's screen offsets in vector registers,
// then the stores. With `colors` each body has its own colour, else all
// have `word`. Threads writing the same picture at once may hit the same
// pixel with the same word; the stores are atomic so that this is no race.
void WriteDots(const TProjection& p, const TPixelWindow& w, const TDotBodyList& list,
               std::uint32_t* pixels, const TColor* colors, TColorWords* words,
               std::uint32_t word, int begin, int end)
{
  constexpr int Block = 1024;
  std::int32_t offsets[Block];
  std::uint32_t sink = 0;  // where the stores of hidden bodies go
  for (int block = begin; block < end; block += Block) {
    const int n = std::min(Block, end - block);
    ProjectRange(p, w, list.XData() + block, list.YData() + block, list.ZData() + block,
                 offsets, 0, n);
    if (colors) {
      for (int k = 0; k < n; ++k)
        if (offsets[k] >= 0) pixels[offsets[k]] = words->For(colors[block + k]);
      continue;
    }
    // The target address is chosen by a mask rather than a branch: about
    // half the bodies of a zoomed view are hidden, in no order a branch
    // predictor could follow.
    const std::uintptr_t sinkAddress = reinterpret_cast<std::uintptr_t>(&sink);
    for (int k = 0; k < n; ++k) {
      const std::int32_t off = offsets[k];
      const std::uintptr_t shown = -static_cast<std::uintptr_t>(off >= 0);
      const std::uintptr_t pixel = reinterpret_cast<std::uintptr_t>(pixels + (off & ~(off >> 31)));
      auto* target = reinterpret_cast<std::uint32_t*>((pixel & shown) | (sinkAddress & ~shown));
      std::atomic_ref<std::uint32_t>(*target).store(word, std::memory_order_relaxed);
    }
  }
}

// The plain loop: PlotDot's shapes, clipped to the window, straight into the
// pixels or through SetPixel.
void PaintDotsPlainly(TCanvas& canvas, const TDotBodyList& list, const TDotView& view,
                      const TProjection& p, std::uint32_t* pixels, const TPixelWindow& w)
{
  static const int plus[5][2] = {{0, 0}, {-1, 0}, {0, -1}, {1, 0}, {0, 1}};
  static const int block[9][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {0, 0},
                                   {1, 0},   {-1, 1}, {0, 1},  {1, 1}};
  const int(*shape)[2] = view.SizeMode == 1 ? plus : block;
  const int points = view.SizeMode == 0 ? 1 : view.SizeMode == 1 ? 5 : 9;
  const int first = view.SizeMode == 0 ? 4 : 0;  // the centre of the block alone

  TColor lastColor = 0, color = 0;
  std::uint32_t word = 0;
  bool known = false;
  for (int i = 0; i < list.Count(); ++i) {
    int px, py;
    if (!ProjectDot(p, list.X(i), list.Y(i), list.Z(i), px, py)) continue;
    if (!known || list.Color(i) != lastColor) {
      known = true;
      lastColor = list.Color(i);
      color = ModeColor(lastColor, view.ColorMode);
      word = canvas.PixelValue(color);
    }
    for (int k = first; k < first + points; ++k) {
      const int x = px + shape[k][0], y = py + shape[k][1];
      if (!pixels)
        canvas.SetPixel(x, y, color);
      else if (x >= w.XLo && x <= w.XHi && y >= w.YLo && y <= w.YHi)
        pixels[static_cast<std::size_t>(y) * w.Stride + x] = word;
    }
  }
}

}  // namespace

void SetDotViewPlane(TDotView& view, int plane, const TMatrix4& m)
{
  view.Hx = 1, view.Hy = 0, view.Hz = 0;
  view.Wx = 0, view.Wy = 1, view.Wz = 0;
  if (plane == 1) {  // XZ
    view.Wy = 0, view.Wz = 1;
  } else if (plane == 2) {  // ZY
    view.Hx = 0, view.Hz = 1;
  } else if (plane == 3) {
    view.Hx = static_cast<double>(m(0, 0));
    view.Hy = static_cast<double>(m(0, 1));
    view.Hz = static_cast<double>(m(0, 2));
    view.Wx = static_cast<double>(m(1, 0));
    view.Wy = static_cast<double>(m(1, 1));
    view.Wz = static_cast<double>(m(1, 2));
  }
}

void PaintDots(TCanvas& canvas, const TDotBodyList& list, const TDotView& view)
{
  const int count = list.Count();
  if (count == 0 || view.Width <= 0 || view.Height <= 0 || !(view.Dim > 0)) return;
  const TProjection p = MakeProjection(view);

  // The pixels that may be written: the rectangle without its right and
  // bottom edges (the clip), within the surface.
  std::uint32_t* pixels = canvas.Pixels();
  const TPixelWindow w = PixelWindow(canvas, view);
  const bool offsetsFit =
      static_cast<long long>(canvas.PixelsWidth()) * canvas.PixelsHeight() <= INT32_MAX;
  if (!pixels || view.SizeMode != 0 || !offsetsFit) {
    PaintDotsPlainly(canvas, list, view, p, pixels, w);
    return;
  }
  if (w.XLo > w.XHi || w.YLo > w.YHi) return;

  const TColor* colors = list.ColorData();
  if (view.ColorMode <= 1 || list.OneColor()) {
    // One colour: the order of the dots does not matter, so every core
    // takes its share of the list and writes its dots at once.
    const std::uint32_t word = canvas.PixelValue(ModeColor(colors[0], view.ColorMode));
    RunInChunks(count, TDotBodyList::ThreadCount(count), [&](int begin, int end, int) {
      WriteDots(p, w, list, pixels, nullptr, nullptr, word, begin, end);
    });
  } else {
    // Colours differ: in list order on this thread, later dots over earlier.
    TColorWords words{&canvas, view.ColorMode};
    WriteDots(p, w, list, pixels, colors, &words, 0, 0, count);
  }
}
