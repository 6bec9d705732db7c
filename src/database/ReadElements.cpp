// The row-to-elements mapping of minor-body tables.
#include "database/MinorBodyTable.h"

#include "bodies/SSClasses.h"  // EInvalidElements

#include <cmath>
#include <cstdio>

namespace {

// Gauss's constant in degrees per day, as the minor-body tables have always
// been read (not the planets' 0.9856076686).
constexpr long double MinorBodyGauss = 0.9856262L;

std::string Number(double v)
{
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

[[noreturn]] void Refuse(const TMinorBodyRow& row, const std::string& why)
{
  throw EInvalidElements("Row NO " + std::to_string(row.No) + " (\"" + row.Name +
                         "\") makes no elliptic orbit: " + why);
}

}  // namespace

TOrbitElements ReadElements(const TMinorBodyRow& row)
{
  // NO, the name and the seven elements must be what they say they are.
  constexpr std::uint16_t UsedFields = 0x1FF;
  if (row.BadFields & UsedFields) {
    TMinorBodyRow used = row;
    used.BadFields &= UsedFields;
    Refuse(row, RowFieldProblem(used));
  }
  const double values[] = {row.M, row.NW, row.OHM, row.I, row.E, row.A, row.Date};
  for (double v : values)
    if (!std::isfinite(v)) Refuse(row, "its elements are not all finite numbers");
  if (!(row.A > 0)) Refuse(row, "the semi-major axis A = " + Number(row.A) + " is not positive");
  if (!(row.E >= 0 && row.E < 1))
    Refuse(row, "the eccentricity E = " + Number(row.E) + " lies outside 0 .. <1");

  TOrbitElements el;
  el.EpochJD = row.Date;
  el.Incl = row.I;
  el.NodeLon = row.OHM;
  el.PeriLon = row.NW;
  const long double a = row.A;
  el.AxisAU = a;
  el.DailyMotion = MinorBodyGauss / (a * std::sqrt(a));
  el.Ecc = row.E;
  el.MeanLon = static_cast<long double>(row.M) + row.NW;
  // An axis so large that the motion underflows leaves Kepler's equation undefined.
  if (!(el.DailyMotion > 0 && std::isfinite(el.DailyMotion)))
    Refuse(row, "the semi-major axis A = " + Number(row.A) + " gives no mean motion");
  return el;
}
