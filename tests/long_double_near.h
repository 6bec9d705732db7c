// EXPECT_NEAR for extended reals: gtest's own converts to double first, which
// hides (or invents) differences below a double's resolution.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

inline testing::AssertionResult NearLongDouble(const char* ea, const char* eb, const char*,
                                               long double a, long double b, long double tol)
{
  if (std::fabs(a - b) <= tol) return testing::AssertionSuccess();
  char text[256];
  std::snprintf(text, sizeof text, "%.21Lg vs %.21Lg: difference %.3Lg exceeds %.3Lg", a, b,
                std::fabs(a - b), tol);
  return testing::AssertionFailure() << ea << " and " << eb << ": " << text;
}

#define EXPECT_NEAR_LD(a, b, tol) EXPECT_PRED_FORMAT3(NearLongDouble, a, b, tol)
