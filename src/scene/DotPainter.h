// Drawing the full list of minor bodies, possibly a whole catalogue, as the
// scene draws its dots: every body that passes the view test and whose
// pixel is inside the painted rectangle becomes a dot in the mode colour of
// its colour, later bodies over earlier ones. The projection runs in double
// precision on all cores; where the canvas offers its pixels the dots are
// written straight into them, else pixel by pixel through SetPixel.
#pragma once

#include "astro/coord404.h"
#include "bodies/DotBodyList.h"
#include "scene/Canvas.h"

// The scene's view reduced to what a dot needs.
struct TDotView {
  // The centre of the view (the centre object's position), AU.
  double CenterX = 0, CenterY = 0, CenterZ = 0;
  // The horizontal and vertical coordinates of an offset d from the centre
  // are H . d and W . d: rows of the view matrix, or unit axes for the
  // coordinate planes.
  double Hx = 1, Hy = 0, Hz = 0;
  double Wx = 0, Wy = 1, Wz = 0;
  double Dim = 2;  // half-width of the view, AU
  // The painted rectangle; drawing is clipped to it.
  int Left = 0, Top = 0, Width = 500, Height = 500;
  int ColorMode = 2;  // 0 black, 1 white, 2 and 3 each body's colour
  int SizeMode = 0;   // dots of 1, 5 (a plus) or 9 (3 x 3) pixels
};

// Rows H and W for a plane: 0 XY, 1 XZ, 2 ZY, 3 the 3D view through the
// scene's view matrix.
void SetDotViewPlane(TDotView& view, int plane, const TMatrix4& viewMatrix);

void PaintDots(TCanvas& canvas, const TDotBodyList& list, const TDotView& view);
