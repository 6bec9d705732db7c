// Reading the MPC's one-line formats: the worked examples of the sample
// files' description, the packed fields in all their styles, comets near
// e = 1, and malformed lines.
#include "database/MpcFormats.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

// The line of a sample file that contains `text`.
std::string SampleLine(const char* file, const std::string& text)
{
  std::ifstream in(std::string(SOLLUMEN_SAMPLES) + "/" + file);
  std::string line;
  while (std::getline(in, line))
    if (line.find(text) != std::string::npos) return line;
  ADD_FAILURE() << text << " not in " << file;
  return {};
}

struct TExpected {
  const char* Find;
  std::int32_t Number;  // 0: unnumbered
  const char* Name;
  double M, NW, OHM, I, E, A, Date;
  const char* Class;
  char NEA;
  const char* Reference;
};

void ExpectRow(const TImportRow& r, const TExpected& x)
{
  EXPECT_EQ(r.Numbered, x.Number != 0) << x.Name;
  if (x.Number) {
    EXPECT_EQ(r.Number, x.Number) << x.Name;
  }
  EXPECT_EQ(r.Name, x.Name);
  EXPECT_NEAR(r.M, x.M, 5e-6) << x.Name;
  EXPECT_NEAR(r.NW, x.NW, 5e-6) << x.Name;
  EXPECT_DOUBLE_EQ(r.OHM, x.OHM) << x.Name;
  EXPECT_DOUBLE_EQ(r.I, x.I) << x.Name;
  EXPECT_DOUBLE_EQ(r.E, x.E) << x.Name;
  EXPECT_NEAR(r.A, x.A, 5e-6) << x.Name;
  EXPECT_DOUBLE_EQ(r.Date, x.Date) << x.Name;
  EXPECT_EQ(r.Class, x.Class) << x.Name;
  EXPECT_EQ(r.IsNEA, x.NEA) << x.Name;
  EXPECT_EQ(r.IsPHA, 'N') << x.Name;
  EXPECT_EQ(r.Reference, x.Reference) << x.Name;
}

}  // namespace

TEST(MpcFormats, MinorPlanetWorkedExamples)
{
  const TExpected rows[] = {
      {"(1) Ceres", 1, "Ceres", 334.32717, 153.79807, 80.26644, 10.58680, 0.0786358, 2.7666190,
       2459800.5, "Main belt/other", 'N', "48"},
      {"(433) Eros", 433, "Eros", 358.82126, 123.22357, 304.29106, 10.82796, 0.2227328, 1.4581505,
       2459800.5, "Amor", 'Y', "659"},
      {"(134340) Pluto", 134340, "Pluto", 25.24719, 222.97410, 110.37696, 17.08900, 0.2502487,
       39.4450697, 2454000.5, "Distant object", 'N', "JPL 0"},
      {"(614688) 2011 KN36", 614688, "2011 KN36", 303.87700, 197.01124, 111.26041, 3.06866,
       0.0514488, 43.0758639, 2459800.5, "Distant object", 'N', "5"},
      {"K02PF3D", 0, "2002 PD153", 0, 309.89444, 140.06306, 0.35725, 0, 46.5815468, 2452500.5,
       "Distant object", 'N', "JPL 6"},
      {"K14F72E", 0, "2014 FE72", 0.31070, 110.38996, 336.97030, 20.69626, 0.9779892, 1633.391495,
       2459800.5, "Distant object", 'N', "6"},
  };
  for (const TExpected& x : rows) {
    TImportRow row;
    std::string reason;
    const std::string line = SampleLine("MPCORB-sample.DAT", x.Find);  // the row views it
    ASSERT_EQ(ParseMinorPlanetLine(line, row, reason), TLineKind::Row) << reason;
    ExpectRow(row, x);
    EXPECT_EQ(row.Computer, "JPL");
  }
}

TEST(MpcFormats, CometWorkedExamples)
{
  const TExpected rows[] = {
      {"1P/Halley", 0, "1P/Halley", 38.384115, 169.7526, 58.4201, 162.2627, 0.967143, 17.834191,
       2449400.5, "Periodic comet", 'N', "J863/77"},
      {"73P-B/", 0, "73P-B/Schwassmann-Wachmann 3", 357.438434, 268.6920, 69.8925, 11.3970,
       0.693286, 3.061846, 2453880.5, "Periodic comet", 'N', "K061/24"},
      {"C/1995 O1 (Hale-Bopp)", 0, "C/1995 O1 (Hale-Bopp)", 1.679493, 53.6108, 282.9488, 89.2171,
       0.994961, 182.062711, 2454724.5, "Non-periodic comet", 'N', "J971B/1"},
      {"A/2018 W3", 0, "A/2018 W3", 359.966806, 205.5450, 251.6748, 104.7973, 0.994044,
       720.566320, 2458665.5, "Comet-like asteroid", 'N', "JPL 1"},
  };
  for (const TExpected& x : rows) {
    TImportRow row;
    std::string reason;
    const std::string line = SampleLine("CometEls-sample.txt", x.Find);
    ASSERT_EQ(ParseCometLine(line, row, reason), TLineKind::Row) << reason;
    ExpectRow(row, x);
    EXPECT_TRUE(row.Computer.empty());
  }
  // Hyperbolic and parabolic orbits are well formed but no ellipse; the
  // parabola of 147 BC has a blank designation and a Julian-calendar date.
  TImportRow row;
  std::string reason;
  EXPECT_EQ(ParseCometLine(SampleLine("CometEls-sample.txt", "C/2019 Q4 (Borisov)"), row, reason),
            TLineKind::NotElliptic);
  EXPECT_EQ(ParseCometLine(SampleLine("CometEls-sample.txt", "C/-146 P1"), row, reason),
            TLineKind::NotElliptic);
  EXPECT_DOUBLE_EQ(CalendarJulianDate(-146, 6, 28), 1667909.5);
  EXPECT_DOUBLE_EQ(CalendarJulianDate(1582, 10, 4), 2299159.5);
  EXPECT_DOUBLE_EQ(CalendarJulianDate(1582, 10, 15), 2299160.5);
  EXPECT_FALSE(IsCalendarDate(1582, 10, 10));
  EXPECT_TRUE(IsCalendarDate(1500, 2, 29));  // Julian leap year
  EXPECT_FALSE(IsCalendarDate(1900, 2, 29));
}

TEST(MpcFormats, CometsJustBelowAndAtParabolic)
{
  std::string line = SampleLine("CometEls-sample.txt", "1P/Halley");
  auto withE = [&](const char* e) {
    std::string l = line;
    l.replace(41, 8, e);
    return l;
  };
  TImportRow row;
  std::string reason;
  ASSERT_EQ(ParseCometLine(withE("0.999999"), row, reason), TLineKind::Row);
  EXPECT_NEAR(row.A, 0.585978 / 1e-6, 1e-3);
  EXPECT_TRUE(row.M >= 0 && row.M < 360);
  EXPECT_EQ(ParseCometLine(withE("1.000000"), row, reason), TLineKind::NotElliptic);
  EXPECT_NE(reason.find("1.000000"), std::string::npos);
  EXPECT_EQ(ParseCometLine(withE("1.000001"), row, reason), TLineKind::NotElliptic);
  // Without an epoch the elements stand at T with M = 0.
  std::string noEpoch = line;
  noEpoch.replace(81, 8, "        ");
  ASSERT_EQ(ParseCometLine(noEpoch, row, reason), TLineKind::Row);
  EXPECT_DOUBLE_EQ(row.Date, 2446467.3953);
  EXPECT_EQ(row.M, 0);
}

TEST(MpcFormats, PackedNumbersInAllThreeStyles)
{
  const std::pair<const char*, std::int32_t> cases[] = {
      {"00001", 1},       {"99999", 99999},   {"A0000", 100000}, {"D4340", 134340},
      {"z4688", 614688},  {"z9999", 619999},  {"~0000", 620000}, {"~000z", 620061},
      {"~AZaz", 3140113}, {"~zzzz", 15396335}};
  for (const auto& [packed, number] : cases) {
    std::int32_t n = 0;
    EXPECT_TRUE(UnpackNumber(packed, n)) << packed;
    EXPECT_EQ(n, number) << packed;
    EXPECT_EQ(PackNumber(number), packed);
  }
  std::int32_t n;
  for (const char* bad : {"00000", "~00-0", "A00x0", "0001", "!0000", "~zzzzz"})
    EXPECT_FALSE(UnpackNumber(bad, n)) << bad;
  EXPECT_EQ(PackNumber(0), "");
  EXPECT_EQ(PackNumber(15396336), "");

  // A line numbered beyond 619,999 in either style reads its number.
  std::string line = SampleLine("MPCORB-sample.DAT", "(614688) 2011 KN36");
  TImportRow row;
  std::string reason;
  for (const auto& [packed, number] : {std::pair{"A0000", 100000}, std::pair{"~0000", 620000},
                                       std::pair{"~AZaz", 3140113}}) {
    line.replace(0, 5, packed);
    ASSERT_EQ(ParseMinorPlanetLine(line, row, reason), TLineKind::Row) << reason;
    EXPECT_EQ(row.Number, number);
  }
}

TEST(MpcFormats, PackedDesignationsAndEpochs)
{
  const std::pair<const char*, const char*> cases[] = {
      {"K02PF3D", "2002 PD153"}, {"J27L00A", "1927 LA"},    {"K15RS1R", "2015 RR281"},
      {"PLS2040", "2040 P-L"},   {"T1S3138", "3138 T-1"},   {"J95O010", "1995 O1"},
      {"K19Y04b", "2019 Y4-B"},  {"J42E00A", "1942 EA"},    {"240V010", "240 V1"}};
  for (const auto& [packed, readable] : cases) {
    std::string r;
    EXPECT_TRUE(UnpackProvisional(packed, r)) << packed;
    EXPECT_EQ(r, readable);
  }
  std::string r;
  for (const char* bad : {"K02IF3D", "K02P!3D", "K0PPF3D", "J95O000", "K19Y04-", "K02PF3"})
    EXPECT_FALSE(UnpackProvisional(bad, r)) << bad;

  int y, m, d;
  ASSERT_TRUE(UnpackEpoch("K2289", y, m, d));
  EXPECT_EQ(y * 10000 + m * 100 + d, 20220809);
  ASSERT_TRUE(UnpackEpoch("K069M", y, m, d));
  EXPECT_EQ(y * 10000 + m * 100 + d, 20060922);
  ASSERT_TRUE(UnpackEpoch("J276K", y, m, d));
  EXPECT_EQ(y * 10000 + m * 100 + d, 19270620);
  for (const char* bad : {"K22D1", "K222U", "K2220", "k2289", "K22 9", "K22"})
    EXPECT_FALSE(UnpackEpoch(bad, y, m, d)) << bad;
}

TEST(MpcFormats, ShortLinesCarriageReturnsAndMalformedFields)
{
  std::string ceres = SampleLine("MPCORB-sample.DAT", "(1) Ceres");
  TImportRow row;
  std::string reason;
  // Trailing blanks cut, a CR LF line end: the same row.
  std::string cut = ceres.substr(0, ceres.find_last_not_of(' ') + 1) + "\r";
  ASSERT_EQ(ParseMinorPlanetLine(cut, row, reason), TLineKind::Row) << reason;
  EXPECT_EQ(row.Name, "Ceres");
  // Without the readable designation the packed one names the body.
  const std::string unnamed = SampleLine("MPCORB-sample.DAT", "K02PF3D").substr(0, 166);
  ASSERT_EQ(ParseMinorPlanetLine(unnamed, row, reason), TLineKind::Row);
  EXPECT_EQ(row.Name, "2002 PD153");

  // Each bad field is named by its columns.
  auto reasonFor = [&](std::string line) {
    EXPECT_EQ(ParseMinorPlanetLine(line, row, reason), TLineKind::Malformed) << line;
    return reason;
  };
  auto replaced = [&](std::size_t column, const char* text) {
    std::string l = ceres;
    l.replace(column - 1, std::char_traits<char>::length(text), text);
    return l;
  };
  EXPECT_NE(reasonFor(ceres.substr(0, 90)).find("93-103"), std::string::npos);
  EXPECT_NE(reasonFor(replaced(30, "x")).find("27-35"), std::string::npos);
  EXPECT_NE(reasonFor(replaced(1, "0?001")).find("columns 1-5"), std::string::npos);
  EXPECT_NE(reasonFor(replaced(21, "K22Z9")).find("21-25"), std::string::npos);
  EXPECT_NE(reasonFor(replaced(162, "00G0")).find("162-165"), std::string::npos);
  EXPECT_NE(reasonFor(replaced(72, "-")).find("71-79"), std::string::npos);
  EXPECT_NE(reasonFor(replaced(40, "\x01")).find("column 40"), std::string::npos);
  EXPECT_NE(reasonFor(replaced(180, "\xff")).find("column 180"), std::string::npos);
  EXPECT_EQ(reasonFor(""), "columns 1-7 (number or designation): missing");

  // Unusual orbit types keep their number; names are cut to 32 characters.
  ASSERT_EQ(ParseMinorPlanetLine(replaced(162, "000E"), row, reason), TLineKind::Row);
  EXPECT_EQ(row.Class, "Type 14");
  const std::string great = SampleLine("CometEls-sample.txt", "(Great September comet)");
  ASSERT_EQ(ParseCometLine(great, row, reason), TLineKind::Row);
  EXPECT_EQ(row.Name, "C/1882 R1-A (Great September com");
  EXPECT_EQ(CutToCharacters("\u00e9\u00e9\u00e9", 2), "\u00e9\u00e9");
}
