#include "astro/Angles.h"
#include "astro/Mathematics.h"
#include "astro/coord404.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr long double Tol = 1e-18L;

void ExpectNear(const TRectCoord& a, const TRectCoord& b, long double tol = Tol)
{
  EXPECT_NEAR(a.X, b.X, tol);
  EXPECT_NEAR(a.Y, b.Y, tol);
  EXPECT_NEAR(a.Z, b.Z, tol);
}

TEST(Mathematics, ArcTangentTakesTheAbscissaFirst)
{
  EXPECT_NEAR(ArcTan2(0, 1), HalfPi, Tol);
  EXPECT_NEAR(ArcTan2(-1, 0), Pi, Tol);
  EXPECT_NEAR(ArcTan2(1, 0), 0, Tol);
  EXPECT_NEAR(ArcTan2(0, -1), -HalfPi, Tol);
  EXPECT_NEAR(ArcTan2(-1, -1), -3 * Pi / 4, Tol);
  EXPECT_NEAR(ArcSin(1), HalfPi, Tol);
  EXPECT_NEAR(ArcSin(-0.5L), -Pi / 6, Tol);
  EXPECT_NEAR(ArcCos(-1), Pi, Tol);
  EXPECT_NEAR(ArcCos(0.5L), Pi / 3, Tol);
  EXPECT_NEAR(Tan(Pi / 4), 1, Tol);
}

TEST(Mathematics, PowersPolynomialsAndSigns)
{
  EXPECT_NEAR(Power(1.0L / 3, 8), 2, Tol);
  EXPECT_NEAR(Power(2, 3), 9, 1e-17L);
  EXPECT_NEAR(Power(0.5L, 2), std::sqrt(2.0L), Tol);
  // Coefficients run from the highest power down to the constant.
  EXPECT_EQ(Poly1(2, 3, 5), 11);
  EXPECT_EQ(Poly2(2, 3, 5, 7), 29);
  EXPECT_EQ(Poly3(2, 1, 3, 5, 7), 37);
  EXPECT_EQ(Poly4(-2, 1, 1, 3, 5, 7), 17);
  EXPECT_EQ(Sign(-0.1L), -1);
  EXPECT_EQ(Sign(0), 0);
  EXPECT_EQ(Sign(1e-30L), 1);
  EXPECT_NEAR(DegToRad(180), Pi, Tol);
  EXPECT_NEAR(RadToDeg(HalfPi), 90, 1e-16L);
}

TEST(Angles, NormPiKeepsBothBounds)
{
  EXPECT_NEAR(NormPi(3 * Pi), Pi, 1e-18L);
  EXPECT_NEAR(NormPi(-3 * Pi / 2), HalfPi, 1e-18L);
  EXPECT_EQ(NormPi(Pi), Pi);
  EXPECT_EQ(NormPi(-Pi), -Pi);
  EXPECT_NEAR(NormPi(7), 7 - TwoPi, Tol);
  EXPECT_NEAR(NormPi(-7), TwoPi - 7, Tol);
  EXPECT_NEAR(NormPi(1000 * TwoPi + 0.25L), 0.25L, 1e-15L);
  EXPECT_EQ(NormPi(0.5L), 0.5L);
}

TEST(Angles, Norm2PiExcludesTwoPi)
{
  EXPECT_NEAR(Norm2Pi(-HalfPi), 3 * HalfPi, Tol);
  EXPECT_NEAR(Norm2Pi(TwoPi), 0, Tol);
  EXPECT_NEAR(Norm2Pi(-Pi), Pi, Tol);
  EXPECT_NEAR(Norm2Pi(7), 7 - TwoPi, Tol);
  // A negative angle too small to be told from 0 next to 2pi.
  for (long double a : {-1e-25L, -1e-21L, -TwoPi * 1e-20L}) {
    long double b = Norm2Pi(a);
    EXPECT_GE(b, 0) << a;
    EXPECT_LT(b, TwoPi) << a;
  }
}

TEST(Angles, RadToDMS)
{
  TDMSAngle a = RadToDMS(DegToRad(23.4392911L));
  EXPECT_EQ(a.Sign, 1);
  EXPECT_EQ(a.Deg, 23);
  EXPECT_EQ(a.Min, 26);
  EXPECT_NEAR(a.Sec, 21.44796L, 1e-9L);
  TDMSAngle b = RadToDMS(DegToRad(-12.75L));
  EXPECT_EQ(b.Sign, -1);
  EXPECT_EQ(b.Deg, 12);
  EXPECT_NEAR(b.Min * 60 + b.Sec, 45 * 60, 1e-9L);
}

TEST(Angles, DMSTextStyles)
{
  EXPECT_EQ(DMSText(RadToDMS(DegToRad(23.4392911L)), 1), "23\u00b0 26' 21''");
  EXPECT_EQ(DMSText(RadToDMS(DegToRad(-0.5L)), 0), "-0\u00b0 30' ");
  EXPECT_EQ(DMSText({5, 3, 7.26L, 1}, 0), "5\u00b0 03' ");
  EXPECT_EQ(DMSText({5, 3, 7.26L, 1}, 1), "5\u00b0 03' 07''");
  EXPECT_EQ(DMSText({5, 3, 7.26L, 1}, 2), "5\u00b0 03' 07.3''");
  EXPECT_EQ(DMSText({5, 3, 7.26L, 1}, 3), "5\u00b0 03' 07.26''");
  EXPECT_EQ(DMSText({5, 3, 17.26L, -1}, 3), "-5\u00b0 03' 17.26''");
}

TEST(Angles, DMSTextCarries)
{
  // Style 0 rounds up only above 30 seconds.
  EXPECT_EQ(DMSText({359, 59, 45, 1}, 0), "0\u00b0 00' ");
  EXPECT_EQ(DMSText({10, 20, 30, 1}, 0), "10\u00b0 20' ");
  EXPECT_EQ(DMSText({10, 20, 30.5L, 1}, 0), "10\u00b0 21' ");
  // Style 1 rounds to even and carries through minutes and degrees.
  EXPECT_EQ(DMSText({359, 59, 59.6L, 1}, 1), "0\u00b0 00' 00''");
  EXPECT_EQ(DMSText({10, 59, 59.5L, 1}, 1), "11\u00b0 00' 00''");
  EXPECT_EQ(DMSText({10, 20, 58.5L, 1}, 1), "10\u00b0 20' 58''");
  EXPECT_EQ(DMSText({10, 20, 57.5L, 1}, 1), "10\u00b0 20' 58''");
}

TEST(Coord404, VectorArithmetic)
{
  TRectCoord v{1, -2, 2}, w{0.5L, 4, -1};
  EXPECT_EQ(VecLength(v), 3);
  ExpectNear(VecAdd(v, w), {1.5L, 2, 1}, 0);
  ExpectNear(VecSub(v, w), {0.5L, -6, 3}, 0);
  ExpectNear(VecScale(v, -2), {-2, 4, -4}, 0);
}

TEST(Coord404, PolarRoundTrip)
{
  TPolarCoord pole = RectToPolar({0, 0, 1});
  EXPECT_NEAR(pole.Lon, 0, Tol);
  EXPECT_NEAR(pole.Lat, HalfPi, Tol);
  EXPECT_NEAR(pole.Dist, 1, Tol);
  ExpectNear(PolarToRect(pole), {0, 0, 1});

  for (TRectCoord v : {TRectCoord{-3, -4, -1.5L}, TRectCoord{0.2L, -0.7L, 0.01L},
                       TRectCoord{-5, 0, 0}}) {
    TPolarCoord p = RectToPolar(v);
    EXPECT_GE(p.Lon, -Pi);
    EXPECT_LE(p.Lon, Pi);
    EXPECT_NEAR(std::sin(p.Lat), v.Z / VecLength(v), Tol);
    ExpectNear(PolarToRect(p), v, 1e-17L);
  }
  TPolarCoord zero = RectToPolar({0, 0, 0});
  EXPECT_EQ(zero.Dist, 0);
  EXPECT_EQ(zero.Lat, 0);
}

TEST(Coord404, RotationsTurnCounterClockwise)
{
  // About each axis, seen from its positive end: x -> y, y -> z, z -> x.
  ExpectNear(RotateVector(2, {1, 0, 0}, HalfPi), {0, 1, 0});
  ExpectNear(RotateVector(0, {0, 1, 0}, HalfPi), {0, 0, 1});
  ExpectNear(RotateVector(1, {0, 0, 1}, HalfPi), {1, 0, 0});
  ExpectNear(TransformPoint({1, 0, 0}, RotationMatrix(2, HalfPi)), {0, 1, 0});

  TMatrix4 none = RotationMatrix(3, 1);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(none.M[i], i == 15 ? 1 : 0) << i;
  EXPECT_EQ(MatZero().M[15], 0);
}

TEST(Coord404, MatMulComposesRightToLeft)
{
  TMatrix4 move = RotationMatrix(0, 0);  // identity with a translation
  move(0, 3) = 1;
  move(1, 3) = 2;
  move(2, 3) = 3;
  TMatrix4 turn = RotationMatrix(1, 0.4L);
  TRectCoord v{0.3L, -1, 2};
  // (move * turn) v = move (turn v): turned first, then moved.
  ExpectNear(TransformPoint(v, MatMul(move, turn)), TransformPoint(TransformPoint(v, turn), move),
             1e-18L);
  ExpectNear(TransformPoint(v, MatMul(turn, move)), TransformPoint(TransformPoint(v, move), turn),
             1e-18L);
  TMatrix4 twice = MatMul(RotationMatrix(2, 0.3L), RotationMatrix(2, 0.5L));
  TMatrix4 once = RotationMatrix(2, 0.8L);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(twice.M[i], once.M[i], 1e-18L) << i;
}

}  // namespace
