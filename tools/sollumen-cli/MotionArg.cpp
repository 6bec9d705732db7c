#include "MotionArg.h"

#include <cstdio>

TMinorBodyMotion ParseMotion(const std::string& value)
{
  if (value == "perturbed") return TMinorBodyMotion::Perturbed;
  if (value == "kepler") return TMinorBodyMotion::Kepler;
  throw UsageError("--motion must be perturbed or kepler, not '" + value + "'");
}

void ReportMotionFailures(const std::vector<std::string>& bodies)
{
  if (bodies.empty()) return;
  std::string names;
  for (const std::string& b : bodies) names += (names.empty() ? "" : ", ") + b;
  std::fprintf(stderr, "moved on two-body orbits, as they cannot be integrated: %s\n",
               names.c_str());
}
