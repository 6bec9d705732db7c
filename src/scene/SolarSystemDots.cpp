// The dots of the full list of minor bodies: possibly a whole catalogue, so
// the projection runs in double on all cores and, where the canvas offers
// its pixels, dots are written straight into them (scene/DotPainter.h).
#include "scene/SolarSystem.h"

#include "scene/DotPainter.h"

TDotView TSolarSystem::DotView() const
{
  TDotView view;
  view.CenterX = static_cast<double>(centerPosition_.X);
  view.CenterY = static_cast<double>(centerPosition_.Y);
  view.CenterZ = static_cast<double>(centerPosition_.Z);
  SetDotViewPlane(view, Plane, viewMatrix_);
  view.Dim = static_cast<double>(dim_);
  view.Left = Left;
  view.Top = Top;
  view.Width = width_;
  view.Height = height_;
  view.ColorMode = colorMode_;
  view.SizeMode = sizeMode_;
  return view;
}

void TSolarSystem::PaintFullListDots()
{
  if (!canvas_) return;
  PaintDots(*canvas_, asteroidsFull_, DotView());
}
