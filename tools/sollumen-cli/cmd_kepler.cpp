// sollumen-cli kepler: position and velocity on an elliptic orbit.
#include "Cli.h"

#include "astro/astronomy404.h"

#include <cmath>
#include <cstdio>

namespace {

std::string Line(const char* tag, const TRectCoord& v)
{
  // Adding 0 turns a negative zero (an orbit in the ecliptic) into "0".
  char buf[160];
  std::snprintf(buf, sizeof buf, "%s %.17Lg %.17Lg %.17Lg\n", tag, v.X + 0.0L, v.Y + 0.0L,
                v.Z + 0.0L);
  return buf;
}

bool Finite(const TRectCoord& v)
{
  return std::isfinite(v.X) && std::isfinite(v.Y) && std::isfinite(v.Z);
}

void RunKepler(const CliArgs& args, std::ostream& out)
{
  if (args.size() != 9)
    throw UsageError("expected: kepler EPOCH INCL NODE PERI AXIS MOTION ECC MEANLON JD");
  TOrbitElements el;
  el.EpochJD = ParseReal(args[0], "epoch");
  el.Incl = ParseReal(args[1], "inclination");
  el.NodeLon = ParseReal(args[2], "node longitude");
  el.PeriLon = ParseReal(args[3], "perihelion longitude");
  el.AxisAU = ParseReal(args[4], "semi-major axis");
  el.DailyMotion = ParseReal(args[5], "daily motion");
  el.Ecc = ParseReal(args[6], "eccentricity");
  el.MeanLon = ParseReal(args[7], "mean longitude");
  long double jd = ParseReal(args[8], "Julian date");

  // Only elliptic orbits have a solution of Kepler's equation here.
  if (!(el.Ecc >= 0 && el.Ecc < 1))
    throw UsageError("eccentricity must be at least 0 and below 1, not " + args[6]);
  if (!(el.AxisAU > 0)) throw UsageError("semi-major axis must be positive, not " + args[4]);

  TRectCoord pos = KeplerPosition(el, jd);
  TRectCoord vel = KeplerVelocity(el, jd);
  if (!Finite(pos) || !Finite(vel))
    throw UsageError("these elements give no finite position at this date");
  out << Line("pos", pos) << Line("vel", vel);
}

const char* const KeplerHelp =
    "usage: sollumen-cli kepler EPOCH INCL NODE PERI AXIS MOTION ECC MEANLON JD\n\n"
    "Places a body on the elliptic orbit of the given elements at the Julian\n"
    "date JD:\n"
    "  EPOCH    Julian date at which MEANLON holds\n"
    "  INCL     inclination to the ecliptic, degrees\n"
    "  NODE     longitude of the ascending node, degrees\n"
    "  PERI     longitude of perihelion (node plus argument), degrees\n"
    "  AXIS     semi-major axis, AU (above 0)\n"
    "  MOTION   mean daily motion, degrees per day\n"
    "  ECC      eccentricity, 0 <= ECC < 1\n"
    "  MEANLON  mean longitude at EPOCH, degrees\n\n"
    "Prints two lines, in the frame of the elements:\n"
    "  pos X Y Z       position, AU\n"
    "  vel VX VY VZ    velocity, AU per day\n"
    "Each number has 17 significant digits (C printf \"%.17Lg\" of the\n"
    "extended-precision value).\n\n"
    "Elements without an elliptic orbit (ECC outside 0 .. 1, AXIS not above\n"
    "0) and numbers that cannot be read print a message on stderr and exit\n"
    "with status 2.\n";

const CliCommand KeplerCommand(
    "kepler", "kepler EPOCH INCL NODE PERI AXIS MOTION ECC MEANLON JD   Keplerian position",
    KeplerHelp, RunKepler);

}  // namespace
