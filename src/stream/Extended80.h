// The 10-byte extended-precision format of the value stream: a 64-bit
// significand with an explicit integer bit, then a 16-bit word of sign and
// exponent biased by 16383, all little-endian.
//
// The conversion is done arithmetically rather than by copying memory, so it
// holds whatever long double is on the platform. Where long double is this
// very format (x86 and x86-64), every finite value, infinity and zero passes
// bit-identically in both directions; elsewhere values are rounded to the
// nearer precision or range.
#pragma once

#include <array>
#include <cstdint>

using TExtended80 = std::array<std::uint8_t, 10>;

TExtended80 ToExtended80(long double x);
// Unnormal patterns (integer bit clear under a non-zero exponent) are taken
// at face value: significand x 2^(exponent - 16446).
long double FromExtended80(const TExtended80& bytes);
