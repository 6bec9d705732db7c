// Elementary numeric helpers used by all astronomical computation.
// Every real is long double (80-bit extended precision on x86-64).
#pragma once

constexpr long double Pi = 3.1415926535897932385L;
constexpr long double TwoPi = 6.283185307179586477L;
constexpr long double HalfPi = 1.5707963267948966193L;
constexpr long double DegreesToRadians = 0.017453292519943295769L;
constexpr long double RadiansToDegrees = 57.295779513082320877L;
constexpr long double ArcsecToRadians = 4.8481368110953599359e-6L;

long double DegToRad(long double x);
long double RadToDeg(long double x);

long double Poly1(long double t, long double c1, long double c0);
long double Poly2(long double t, long double c2, long double c1, long double c0);
long double Poly3(long double t, long double c3, long double c2, long double c1, long double c0);
long double Poly4(long double t, long double c4, long double c3, long double c2, long double c1,
                  long double c0);

// The angle of the point (x, y) in -pi..pi. Note the order: abscissa first.
long double ArcTan2(long double x, long double y);
long double ArcSin(long double y);
long double ArcCos(long double x);
long double Tan(long double x);
// b raised to the real power e; b must be positive.
long double Power(long double e, long double b);
// +1, 0 or -1.
int Sign(long double x);
