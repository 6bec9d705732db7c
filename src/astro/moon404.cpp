#include "astro/moon404.h"

#include "astro/Angles.h"
#include "astro/Mathematics.h"
#include "astro/MoonSeries.h"
#include "astro/nutate404.h"
#include "astro/precess404.h"
#include "astro/util404.h"

#include <algorithm>
#include <cmath>

namespace {

// Secular coefficients: 0-11 the T^2, T^3 and T^4 terms of F, l, D and L
// (arc seconds); 12-24 coefficients of long-period planetary terms
// (0.00001").
constexpr long double Z[25] = {
    -13.12045688095L,  -0.001138321715623L, -9.648337656426e-6L, 31.46734326903L,
    0.04768341331505L, -0.0003421725460867L, -6.847066819257L,   -0.005833140456169L,
    -0.0002905156522294L, -5.656488873791L,  0.005720777552584L, -8.470117409024e-5L,
    -83.81464509248L,  -207.1364541559L,    7.776198898141L,     3.049478753581L,
    -15.68148809157L,  -20.02774749343L,    22.0866644428L,      -6.825819540015L,
    -0.9080677539074L, -12.70579663803L,    -1.681390794093L,    13.82734777113L,
    -1.86631714457L};

constexpr long double KmPerAU = 149597870.66L;
constexpr long double MeanDistanceKm = 385000.52899L;

// Higher-order parts of the mean longitudes, highest power first; each is
// multiplied by T^2.
constexpr long double SunAnomalyPoly[] = {1.62e-20L,      -1.039e-17L,     -3.83508e-15L,
                                          4.237343e-13L,  8.8555011e-11L,  -4.77258489e-8L,
                                          -1.1297037031e-5L, 0.00014732069041L, -0.552891801772L};
constexpr long double VenusPoly[] = {-9.36e-23L,     -1.95e-20L,      6.097e-18L,
                                     4.43201e-15L,   2.509418e-13L,   -3.0622898e-10L,
                                     -2.26602516e-9L, -1.4244812531e-5L, 0.005871373088L};
constexpr long double EarthPoly[] = {-1.16e-22L,      2.976e-19L,      2.846e-17L,
                                     -1.08402e-14L,   -1.226182e-12L,  1.7228268e-10L,
                                     1.515912254e-7L, 8.863982531e-6L, -0.020199859001L};

template <std::size_t N>
long double Horner(const long double (&c)[N], long double x)
{
  long double s = 0;
  for (long double k : c) s = s * x + k;
  return s;
}

// Indexes of the mean arguments, in the column order of the explicit terms.
enum { aVenus, aEarth, aMars, aJupiter, aSaturn, aD, aSunAnomaly, aMoonAnomaly, aF, aL };

// Multiple-angle tables of all ten arguments, large enough for the series
// (D, l', l, F) and for the explicit terms.
constexpr int MaxMultiple[10] = {26, 29, 8, 3, 5, 6, 4, 5, 4, 1};
constexpr int TableSize = 30;
static_assert([] {
  for (int k = 0; k < 10; ++k)
    if (MaxMultiple[k] < MoonExplicitMaxMultiple[k] || MaxMultiple[k] >= TableSize) return false;
  for (int k = 0; k < 4; ++k)
    if (MaxMultiple[aD + k] < MoonSeriesMaxMultiple[k]) return false;
  return true;
}());

// The series read sin and cos of j*x for j = -SeriesSpan..SeriesSpan.
constexpr int SeriesSpan = 6;
static_assert(MoonSeriesMaxMultiple[0] <= SeriesSpan && MoonSeriesMaxMultiple[1] <= SeriesSpan &&
              MoonSeriesMaxMultiple[2] <= SeriesSpan && MoonSeriesMaxMultiple[3] <= SeriesSpan);

struct TLunarArgs {
  long double T = 0, T2 = 0;
  long double Arg[10] = {};                        // arc seconds
  long double S[10][TableSize], C[10][TableSize];  // sin and cos of multiples
  // The same for D, l', l and F, indexed by SeriesSpan + j with negative j.
  long double RowS[4][2 * SeriesSpan + 1] = {}, RowC[4][2 * SeriesSpan + 1] = {};
};

// Everything the stages add to.
struct TLunarSums {
  long double L = 0, L1 = 0, L2 = 0, L3 = 0, B = 0;
  long double Lon = 0, Lat = 0, Dist = 0;
  long double& operator[](TMoonAccumulator a)
  {
    switch (a) {
      case maL: return L;
      case maL1: return L1;
      case maL2: return L2;
      case maL3: return L3;
      case maB: return B;
      case maLat: return Lat;
      default: return Dist;
    }
  }
};

TLunarArgs MeanArguments(long double jd)
{
  TLunarArgs a;
  long double T = (jd - 2451545.0L) / 36525.0L;
  long double T2 = T * T;
  a.T = T;
  a.T2 = T2;
  long double* g = a.Arg;
  g[aSunAnomaly] =
      ReduceArcsec(129596581.038354L * T + 1287104.76154L) + T2 * Horner(SunAnomalyPoly, T);
  g[aF] = ReduceArcsec(1739527262.8904008497L * T + 335779.55755L) +
          ((Z[2] * T + Z[1]) * T + Z[0]) * T2;
  g[aMoonAnomaly] = ReduceArcsec(1717915923.2692829962L * T + 485868.28096L) +
                    ((Z[5] * T + Z[4]) * T + Z[3]) * T2;
  g[aD] = ReduceArcsec(1602961601.8563745321L * T + 1072260.73512L) +
          ((Z[8] * T + Z[7]) * T + Z[6]) * T2;
  g[aL] = ReduceArcsec(1732564372.2055918926L * T + 785939.95571L) +
          ((Z[11] * T + Z[10]) * T + Z[9]) * T2;
  g[aVenus] = ReduceArcsec(210664136.4335482L * T + 655127.283046L) + T2 * Horner(VenusPoly, T);
  g[aEarth] = ReduceArcsec(129597742.26669231L * T + 361679.214649L) + T2 * Horner(EarthPoly, T);
  g[aMars] = ReduceArcsec(68905077.59284L * T + 1279559.78866L) + (-1.043e-5L * T + 0.00938012L) * T2;
  g[aJupiter] = ReduceArcsec(10925660.428608L * T + 123665.34212L) +
                (1.543273e-5L * T - 0.306037836351L) * T2;
  g[aSaturn] = ReduceArcsec(4399609.65932L * T + 180278.89694L) +
               ((4.475946e-8L * T - 6.874806e-5L) * T + 0.756161437443L) * T2;

  for (int k = 0; k < 10; ++k)
    SinCosMultiples(g[k] * ArcsecToRadians, MaxMultiple[k], a.S[k], a.C[k]);
  for (int k = 0; k < 4; ++k) {
    long double* s = a.RowS[k] + SeriesSpan;
    long double* c = a.RowC[k] + SeriesSpan;
    s[0] = 0;
    c[0] = 1;
    for (int n = 1; n <= MaxMultiple[aD + k]; ++n) {
      s[n] = a.S[aD + k][n];
      s[-n] = -s[n];
      c[n] = c[-n] = a.C[aD + k][n];
    }
  }
  return a;
}

// Sine and cosine of one series argument, combined from the multiple-angle
// tables by the addition theorems. A zero multiple is (0, 1), and folding it
// in is exact, so this is the same as combining only the non-zero multiples,
// without a branch per multiplier. (A row with all multipliers zero would
// give (0, 1); the tables have none.)
inline void RowSinCos(const int32_t (&mult)[4], const TLunarArgs& a, long double& s,
                      long double& c)
{
  s = a.RowS[0][SeriesSpan + mult[0]];
  c = a.RowC[0][SeriesSpan + mult[0]];
  for (int k = 1; k < 4; ++k) {
    long double sk = a.RowS[k][SeriesSpan + mult[k]];
    long double ck = a.RowC[k][SeriesSpan + mult[k]];
    long double sn = sk * c + ck * s;
    c = ck * c - sk * s;
    s = sn;
  }
}

template <int N>
void AddLonDist(const TMoonLonDistRow (&rows)[N], const TLunarArgs& a, TLunarSums& sums)
{
  for (const TMoonLonDistRow& r : rows) {
    long double s, c;
    RowSinCos(r.Mult, a, s, c);
    sums.Lon += (10000.0L * r.A + r.B) * s;
    if (r.D != 0) sums.Dist += (10000.0L * r.C + r.D) * c;
  }
}

template <int N>
void AddLatT(const TMoonLatTRow (&rows)[N], const TLunarArgs& a, TLunarSums& sums)
{
  for (const TMoonLatTRow& r : rows) {
    long double s, c;
    RowSinCos(r.Mult, a, s, c);
    sums.Lat += r.A * s;
  }
}

void AddExplicitTerms(int stage, const TLunarArgs& a, TLunarSums& sums)
{
  int lastId = -1;
  long double sg = 0, cg = 0;
  for (const TMoonExplicitTerm& t : MoonExplicitTerms) {
    if (t.Stage != stage) continue;
    if (t.Id != lastId) {
      // g = phase + sum of multiples, by the addition theorems.
      sg = t.PhaseSin;
      cg = t.PhaseCos;
      for (int i = 0; i < t.Used; ++i) {
        int k = t.UsedArg[i], j = t.UsedMult[i];
        int n = j < 0 ? -j : j;
        long double sk = j < 0 ? -a.S[k][n] : a.S[k][n];
        long double ck = a.C[k][n];
        long double sn = sk * cg + ck * sg;
        cg = ck * cg - sk * sg;
        sg = sn;
      }
      lastId = t.Id;
    }
    long double cs = t.ZSin >= 0 ? Z[t.ZSin] : t.Sin;
    long double cc = t.ZCos >= 0 ? Z[t.ZCos] : t.Cos;
    long double v = cs * sg + cc * cg;
    if (t.TimesT) v *= a.T;
    sums[t.Acc] += v;
  }
}

// The theory proper: the Moon referred to the mean equator and equinox of jd,
// AU. Leaves the obliquity cache at jd.
TRectCoord MoonMeanEquatorOfDate(long double jd)
{
  Obliquity(jd);
  TLunarArgs a = MeanArguments(jd);
  TLunarSums sums;

  // Terms in T^2.
  for (const TMoonLonDistT2Row& r : MoonT2LonDist) {
    long double s, c;
    RowSinCos(r.Mult, a, s, c);
    sums.Lon += r.Lon * s;
    sums.Dist += r.Dist * c;
  }
  AddLatT(MoonT2Lat, a, sums);
  AddExplicitTerms(2, a, sums);
  sums.L2 += sums.Lon;
  sums.Lat *= a.T;
  sums.Dist *= a.T;

  // Terms in T.
  sums.Lon = 0;
  AddLonDist(MoonT1LonDist, a, sums);
  AddLatT(MoonT1Lat, a, sums);
  AddExplicitTerms(1, a, sums);
  sums.L1 += sums.Lon;
  sums.Lat *= 0.1L * a.T;
  sums.Dist *= 0.1L * a.T;

  // Constant planetary terms.
  AddExplicitTerms(0, a, sums);

  // The main series.
  sums.Lon = 0;
  AddLonDist(MoonMainLonDist, a, sums);
  for (const TMoonLatRow& r : MoonMainLat) {
    long double s, c;
    RowSinCos(r.Mult, a, s, c);
    sums.Lat += (10000.0L * r.A + r.B) * s;
  }

  long double T = a.T;
  sums.L += 1e-5L * T * (sums.L1 + T * (sums.L2 + T * sums.L3));
  long double lon = 1e-4L * sums.Lon + a.Arg[aL] + sums.L;  // arc seconds
  long double lat = 1e-4L * sums.Lat + sums.B;
  long double r = (1e-4L * sums.Dist + MeanDistanceKm) / KmPerAU;

  lon = ReduceArcsec(lon) * ArcsecToRadians;
  lat *= ArcsecToRadians;
  const TObliquityState& o = ObliquityState();
  long double cb, sb, cl, sl;
  SinCos(lat, sb, cb);
  SinCos(lon, sl, cl);
  return {r * cb * cl, r * (cb * sl * o.CosEps - sb * o.SinEps),
          r * (cb * sl * o.SinEps + sb * o.CosEps)};
}

}  // namespace

void MoonPosition(long double jd, TMoonFrame frame, TRectCoord& rect, TPolarCoord& polar)
{
  TRectCoord v = MoonMeanEquatorOfDate(jd);
  if (frame == mfJ2000Equator) {
    Precess(v, 1, jd, rect, polar);
    return;
  }
  // Back to the ecliptic of date, then the nutation in longitude. (The mean
  // equatorial vector needs no true-equator form here, so only the angles are
  // evaluated.)
  NutationAngles(jd);
  Obliquity(jd);
  TRectCoord e = EquRectToEclRect(v);
  long double r = VecLength(e);
  polar.Lon = ArcTan2(e.X, e.Y) + NutationState().DPsi;
  polar.Lat = ArcSin(std::clamp(e.Z / r, -1.0L, 1.0L));
  polar.Dist = r;
  long double cb, sb, cl, sl;
  SinCos(polar.Lat, sb, cb);
  SinCos(polar.Lon, sl, cl);
  rect = {r * cb * cl, r * cb * sl, r * sb};
}

void MoonEcliptic(long double jd, TRectCoord& rect, TPolarCoord& polar)
{
  MoonPosition(jd, mfEclipticOfDate, rect, polar);
}

TRectCoord MoonJ2000Equatorial(long double jd)
{
  TRectCoord rect;
  TPolarCoord polar;
  MoonPosition(jd, mfJ2000Equator, rect, polar);
  return rect;
}

TMoonMeanOrbit MoonMeanOrbit(long double jd)
{
  long double T = (jd - 2451545.0L) / 36525.0L;
  long double T2 = T * T, T3 = T2 * T, T4 = T3 * T;
  TMoonMeanOrbit m;
  m.Node = Norm2Pi(DegToRad(125.0445479L - 1934.1362891L * T + 0.0020754L * T2 +
                            T3 / 467441.0L - T4 / 60616000.0L));
  m.Perigee = Norm2Pi(DegToRad(83.3532465L + 4069.0137287L * T - 0.01032L * T2 -
                               T3 / 80053.0L + T4 / 18999000.0L));
  m.MeanLon = Norm2Pi(DegToRad(218.3164477L + 481267.88123421L * T - 0.0015786L * T2 +
                               T3 / 538841.0L - T4 / 65194000.0L));
  m.Axis = 0.00257L;
  m.Ecc = 0.0549L;
  m.Incl = DegToRad(5.145396L);
  return m;
}
