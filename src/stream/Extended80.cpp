#include "stream/Extended80.h"

#include <cfloat>
#include <cmath>

namespace {

// A whole number already unless long double is wider than 64 bits; the
// rounding is costly enough to leave out where it cannot change anything.
long double Whole(long double x)
{
  if constexpr (LDBL_MANT_DIG > 64)
    return std::nearbyint(x);
  else
    return x;
}

constexpr int Bias = 16383;
constexpr int MaxExponent = 0x7FFF;
constexpr std::uint64_t IntegerBit = 0x8000000000000000ull;

TExtended80 Pack(std::uint64_t significand, int exponent, bool negative)
{
  TExtended80 b{};
  for (int i = 0; i < 8; ++i) b[i] = static_cast<std::uint8_t>(significand >> (8 * i));
  unsigned word = static_cast<unsigned>(exponent) | (negative ? 0x8000u : 0u);
  b[8] = static_cast<std::uint8_t>(word);
  b[9] = static_cast<std::uint8_t>(word >> 8);
  return b;
}

}  // namespace

TExtended80 ToExtended80(long double x)
{
  const bool negative = std::signbit(x);
  if (std::isnan(x)) return Pack(0xC000000000000000ull, MaxExponent, negative);
  if (std::isinf(x)) return Pack(IntegerBit, MaxExponent, negative);
  if (x == 0) return Pack(0, 0, negative);

  int e = 0;
  const long double m = std::frexp(std::fabs(x), &e);  // |x| = m * 2^e, 0.5 <= m < 1
  int exponent = e - 1 + Bias;
  if (exponent >= MaxExponent) return Pack(IntegerBit, MaxExponent, negative);
  if (exponent <= 0) {
    // Denormal: the exponent field 0 scales like 1, with the integer bit clear.
    long double s = std::nearbyint(std::ldexp(std::fabs(x), Bias - 1 + 63));  // rare
    auto significand = static_cast<std::uint64_t>(s);
    return Pack(significand, significand & IntegerBit ? 1 : 0, negative);
  }
  // Exact where long double has at most 64 significant bits; a wider type is
  // rounded here, which may carry into the exponent.
  long double s = Whole(std::ldexp(m, 64));
  if (s >= 0x1p64L) {
    s = 0x1p63L;
    if (++exponent >= MaxExponent) return Pack(IntegerBit, MaxExponent, negative);
  }
  return Pack(static_cast<std::uint64_t>(s), exponent, negative);
}

long double FromExtended80(const TExtended80& b)
{
  std::uint64_t significand = 0;
  for (int i = 7; i >= 0; --i) significand = significand << 8 | b[i];
  const unsigned word = b[8] | static_cast<unsigned>(b[9]) << 8;
  const bool negative = (word & 0x8000u) != 0;
  const int exponent = static_cast<int>(word & 0x7FFFu);

  long double v;
  if (exponent == MaxExponent)
    v = (significand & ~IntegerBit) == 0 ? HUGE_VALL : std::nanl("");
  else
    v = std::ldexp(static_cast<long double>(significand), (exponent == 0 ? 1 : exponent) - Bias - 63);
  return negative ? -v : v;
}
