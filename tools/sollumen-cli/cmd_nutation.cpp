// sollumen-cli nutation: mean obliquity and nutation angles of an instant.
#include "Cli.h"

#include "astro/DatesAndTimes.h"
#include "astro/Mathematics.h"
#include "astro/nutate404.h"
#include "astro/util404.h"

#include <cstdio>

namespace {

void RunNutation(const CliArgs& args, std::ostream& out)
{
  if (args.size() != 1) throw UsageError("expected: nutation JD");
  long double jd = ParseReal(args[0], "Julian date");
  if (jd < MinJD || jd > MaxJD)
    throw UsageError("Julian date " + args[0] + " is outside the range 0 .. 4000000");
  Obliquity(jd);
  NutationAngles(jd);
  char text[256];
  std::snprintf(text, sizeof text, "obliquity_arcsec %.9Lf\ndpsi_arcsec %.9Lf\ndeps_arcsec %.9Lf\n",
                ObliquityState().Eps / ArcsecToRadians, NutationState().DPsi / ArcsecToRadians,
                NutationState().DEps / ArcsecToRadians);
  out << text;
}

const CliCommand Nutation(
    "nutation", "nutation JD",
    "usage: sollumen-cli nutation JD\n"
    "\n"
    "Prints the mean obliquity of the ecliptic and the IAU 1980 nutation in\n"
    "longitude and in obliquity at the Julian date JD (0 .. 4000000), in arc\n"
    "seconds with nine decimals:\n"
    "  obliquity_arcsec E\n"
    "  dpsi_arcsec P\n"
    "  deps_arcsec Q\n",
    RunNutation);

}  // namespace
