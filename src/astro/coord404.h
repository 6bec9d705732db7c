// Three-component vectors in rectangular and polar form, and 4x4
// transformation matrices.
#pragma once

struct TRectCoord {
  long double X = 0, Y = 0, Z = 0;
};

// Lon and Lat in radians (longitude or right ascension, latitude or
// declination), Dist in the unit of the rectangular form.
struct TPolarCoord {
  long double Lon = 0, Lat = 0, Dist = 0;
};

// Row-major: entry (row i, column j) is M[4*i + j]. The upper 3x4 block acts
// on points (the last column is a translation).
struct TMatrix4 {
  long double M[16] = {};
  long double& operator()(int i, int j) { return M[4 * i + j]; }
  long double operator()(int i, int j) const { return M[4 * i + j]; }
};

long double VecLength(const TRectCoord& v);
TRectCoord VecAdd(const TRectCoord& v, const TRectCoord& w);
TRectCoord VecSub(const TRectCoord& v, const TRectCoord& w);
TRectCoord VecScale(const TRectCoord& v, long double k);

// The zero vector gives longitude 0, latitude 0 and distance 0.
TPolarCoord RectToPolar(const TRectCoord& v);
TRectCoord PolarToRect(const TPolarCoord& p);

TMatrix4 MatZero();
TMatrix4 MatMul(const TMatrix4& a, const TMatrix4& b);
// Axis 0, 1, 2 = x, y, z. A positive angle turns a vector counter-clockwise
// about the axis as seen from its positive end. Any other axis gives a matrix
// that is zero but for entry (3,3).
TMatrix4 RotationMatrix(int axis, long double angle);
TRectCoord TransformPoint(const TRectCoord& v, const TMatrix4& m);
TRectCoord RotateVector(int axis, const TRectCoord& v, long double angle);
