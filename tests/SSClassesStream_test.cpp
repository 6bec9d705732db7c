#include "bodies/SSClassesStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Written(const std::function<void(TWriter&)>& write)
{
  TMemoryStream m;
  {
    TWriter w(m);
    write(w);
  }
  return m.Bytes();
}

TOrbitElements Vesta()
{
  TOrbitElements e;
  e.EpochJD = 2451400.5L;
  e.Incl = 7.13L;
  e.NodeLon = 103.91L;
  e.PeriLon = 253.26L;
  e.AxisAU = 2.3617L;
  e.DailyMotion = 0.27154L;
  e.Ecc = 0.0898L;
  e.MeanLon = 30.5L;
  return e;
}

void WriteElements(TWriter& w, const TOrbitElements& e)
{
  for (long double v : {e.EpochJD, e.Incl, e.NodeLon, e.PeriLon, e.AxisAU, e.DailyMotion, e.Ecc,
                        e.MeanLon})
    w.WriteFloatValue(v);
}

// A version 2 record as the 1.5 documents hold it.
void WriteV2(TWriter& w, const std::string& name, TColor color, int number,
             const TOrbitElements& e = Vesta())
{
  w.WriteStringValue(name);
  w.WriteIntValue(static_cast<std::int32_t>(color));
  w.WriteBoolValue(false);
  w.WriteIntValue(number);
  WriteElements(w, e);
}

void ExpectSameElements(const TOrbitElements& a, const TOrbitElements& b)
{
  EXPECT_EQ(a.EpochJD, b.EpochJD);
  EXPECT_EQ(a.Incl, b.Incl);
  EXPECT_EQ(a.NodeLon, b.NodeLon);
  EXPECT_EQ(a.PeriLon, b.PeriLon);
  EXPECT_EQ(a.AxisAU, b.AxisAU);
  EXPECT_EQ(a.DailyMotion, b.DailyMotion);
  EXPECT_EQ(a.Ecc, b.Ecc);
  EXPECT_EQ(a.MeanLon, b.MeanLon);
}

std::string ReadError(const Bytes& bytes, const std::function<void(TReader&)>& read)
{
  TMemoryStream m(bytes);
  TReader r(m);
  try {
    read(r);
  } catch (const EReadError& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST(BodyRecords, MinorBodyRoundTripBecomesVisibleAsteroidWithoutPosition)
{
  TOEObjectList list;
  TAsteroid* a = static_cast<TAsteroid*>(list.Add(std::make_unique<TAsteroid>("Vesta \u00e9", Vesta(), 0x123456)));
  a->Visible = false;
  a->Calculate(2451545.0L);
  ASSERT_NE(a->Position.X, 0);

  const Bytes b = Written([&](TWriter& w) { WriteBodies(w, list); });
  TOEObjectList back;
  back.Add(std::make_unique<TAsteroid>("old", Vesta(), 0));  // replaced, not kept
  TMemoryStream m(b);
  TReader r(m);
  ReadBodiesV3(r, back);

  ASSERT_EQ(back.Count(), 1);
  auto* got = dynamic_cast<TAsteroid*>(back.Items(0));
  ASSERT_NE(got, nullptr);
  EXPECT_EQ(got->Name, "Vesta \u00e9");
  EXPECT_EQ(got->Color, 0x123456u);
  EXPECT_EQ(got->BodyNumber, bnMinorBody);
  EXPECT_TRUE(got->Visible);
  ExpectSameElements(got->Elements, Vesta());
  EXPECT_EQ(got->Position.X, 0);
  EXPECT_EQ(got->Position.Y, 0);
  EXPECT_EQ(got->Position.Z, 0);
}

TEST(BodyRecords, VersionThreeRecordHoldsFifteenValuesWithThePosition)
{
  TAsteroid a("A", Vesta(), 7);
  a.Position = {1.5L, -2.25L, 0.125L};
  TOEObject scratch("", Vesta(), 0, -1);
  const Bytes b = Written([&](TWriter& w) { WriteBody(w, a); });
  TMemoryStream m(b);
  TReader r(m);
  ReadBodyV3(r, scratch);
  EXPECT_EQ(scratch.BodyNumber, bnMinorBody);
  EXPECT_EQ(scratch.Position.X, 1.5L);
  EXPECT_EQ(scratch.Position.Y, -2.25L);
  EXPECT_EQ(scratch.Position.Z, 0.125L);
  EXPECT_NEAR(static_cast<double>(scratch.SphericalPosition.Dist),
              std::sqrt(1.5 * 1.5 + 2.25 * 2.25 + 0.125 * 0.125), 1e-15);
  // Name (2 + 1), colour (2), Visible (1), number (2), 11 Floats of 11 bytes.
  EXPECT_EQ(b.size(), 3u + 2 + 1 + 2 + 11 * 11);
}

TEST(BodyRecords, PlanetNumbersBecomeNewPlanetsAndOtherNumbersAreDropped)
{
  const Bytes b = Written([](TWriter& w) {
    w.WriteIntValue(5);
    WriteV2(w, "odd", 0x00AA00, 12);
    WriteV2(w, "Saturn copy", 0x00BB00, 5);
    WriteV2(w, "unknown", 0x00CC00, -1);
    WriteV2(w, "Ceres", 0x00DD00, 11);
    WriteV2(w, "Sun", 0x00EE00, 9);
  });
  TOEObjectList list;
  TMemoryStream m(b);
  TReader r(m);
  ReadBodiesV2(r, list);
  ASSERT_EQ(list.Count(), 2);
  auto* saturn = dynamic_cast<TPlanet*>(list.Items(0));
  ASSERT_NE(saturn, nullptr);
  EXPECT_EQ(saturn->BodyNumber, 5);
  EXPECT_EQ(saturn->Name, "Saturn");  // the record's name is not used
  EXPECT_EQ(saturn->Color, 0x00BB00u);
  EXPECT_TRUE(saturn->Visible);
  EXPECT_EQ(saturn->Satellites.Count(), 0);  // an independent object, no moons
  EXPECT_EQ(list.Items(1)->Name, "Ceres");
}

TEST(BodyRecords, VersionOneRecordsHaveNoBodyNumberAndAreMinorBodies)
{
  const Bytes b = Written([](TWriter& w) {
    w.WriteIntValue(1);
    w.WriteStringValue("Pallas");
    w.WriteIntValue(0x0000FF);
    w.WriteBoolValue(true);
    WriteElements(w, Vesta());
  });
  TOEObjectList list;
  TMemoryStream m(b);
  TReader r(m);
  ReadBodiesV1(r, list);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0)->BodyNumber, bnMinorBody);
  EXPECT_EQ(list.Items(0)->Name, "Pallas");
  ExpectSameElements(list.Items(0)->Elements, Vesta());
}

TEST(BodyRecords, DamagedDataKeepsTheBodiesReadSoFar)
{
  Bytes b = Written([](TWriter& w) {
    w.WriteIntValue(3);
    WriteV2(w, "one", 1, 11);
    WriteV2(w, "two", 2, 11);
    WriteV2(w, "three", 3, 11);
  });
  b.resize(b.size() - 5);
  TOEObjectList list;
  EXPECT_EQ(ReadError(b, [&](TReader& r) { ReadBodiesV2(r, list); }), "Stream read error");
  EXPECT_EQ(list.Count(), 2);

  // A count far beyond the data is refused before a single record is read.
  const Bytes huge = Written([](TWriter& w) {
    w.WriteIntValue(2147483647);
    WriteV2(w, "only", 1, 11);
  });
  EXPECT_EQ(ReadError(huge, [&](TReader& r) { ReadBodiesV2(r, list); }),
            "a list of 2147483647 minor bodies cannot fit in the " +
                std::to_string(huge.size() - 5) + " bytes left");
  EXPECT_EQ(list.Count(), 0);
}

TEST(BodyRecords, ElementSetsWithoutAnOrbitAreDamagedData)
{
  auto withElements = [](const TOrbitElements& bad) {
    return Written([&](TWriter& w) {
      w.WriteIntValue(2);
      WriteV2(w, "good", 1, 11);
      WriteV2(w, "bad", 2, 11, bad);
    });
  };
  TOrbitElements hyperbola = Vesta();
  hyperbola.Ecc = 1.5L;
  TOrbitElements still = Vesta();
  still.DailyMotion = 0;
  TOrbitElements nan = Vesta();
  nan.Incl = std::numeric_limits<long double>::quiet_NaN();
  for (const TOrbitElements& bad : {hyperbola, still, nan}) {
    TOEObjectList list;
    EXPECT_EQ(ReadError(withElements(bad), [&](TReader& r) { ReadBodiesV2(r, list); }),
              "Invalid property value");
    EXPECT_EQ(list.Count(), 1);
  }
  // Only minor bodies are made from the elements: a planet record's are ignored.
  const Bytes planet = Written([&](TWriter& w) {
    w.WriteIntValue(1);
    WriteV2(w, "Mars", 3, 3, hyperbola);
  });
  TOEObjectList list;
  EXPECT_EQ(ReadError(planet, [&](TReader& r) { ReadBodiesV2(r, list); }), "");
  EXPECT_EQ(list.Count(), 1);
}

TEST(LineRecords, EmptyListIsTheSingleIntegerZero)
{
  TDirectionList none;
  EXPECT_EQ(Written([&](TWriter& w) { WriteLines(w, none); }), (Bytes{0x02, 0x00}));
}

TEST(LineRecords, RoundTripAndExactBytes)
{
  TDirectionList lines;
  lines.Add(std::make_unique<TDirection>(9, 0x00FF0000, 3));
  TDirection* hidden = lines.Add(std::make_unique<TDirection>(0, 200, 4));
  hidden->Visible = false;
  const Bytes b = Written([&](TWriter& w) { WriteLines(w, lines); });
  EXPECT_EQ(b, (Bytes{0x02, 0x02,                                            // count
                      0x02, 0x09, 0x02, 0x03, 0x04, 0x00, 0x00, 0xFF, 0x00, 0x09,  // 9 -> 3
                      0x02, 0x00, 0x02, 0x04, 0x03, 0xC8, 0x00, 0x08}));      // 0 -> 4

  TDirectionList back;
  back.Add(std::make_unique<TDirection>(1, 1, 1));
  TMemoryStream m(b);
  TReader r(m);
  ReadLines(r, back);
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.Items(0)->FromObject, 9);
  EXPECT_EQ(back.Items(0)->ToObject, 3);
  EXPECT_EQ(back.Items(0)->Color, 0x00FF0000u);
  EXPECT_TRUE(back.Items(0)->Visible);
  EXPECT_EQ(back.Items(1)->FromObject, 0);
  EXPECT_EQ(back.Items(1)->Color, 200u);
  EXPECT_FALSE(back.Items(1)->Visible);

  // A line cut short is not added.
  Bytes cut(b.begin(), b.end() - 1);
  EXPECT_EQ(ReadError(cut, [&](TReader& r2) { ReadLines(r2, back); }), "Stream read error");
  EXPECT_EQ(back.Count(), 1);
}
