#include "stream/Extended80.h"
#include "LargestAllocation.h"
#include "stream/TaggedStream.h"
#include "stream/TextConversion.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <new>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Written(const std::function<void(TWriter&)>& write, std::size_t bufferSize = TFiler::DefaultBufferSize)
{
  TMemoryStream m;
  {
    TWriter w(m, bufferSize);
    write(w);
  }
  return m.Bytes();
}

// The message of the read error the reads end in, or "" when they succeed.
std::string ReadFailure(const Bytes& bytes, const std::function<void(TReader&)>& read)
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

std::string ReadString(const Bytes& bytes)
{
  TMemoryStream m(bytes);
  TReader r(m);
  return r.ReadStringValue();
}

Bytes Cat(Bytes a, const std::string& s)
{
  a.insert(a.end(), s.begin(), s.end());
  return a;
}

const std::string Invalid = "Invalid property value";
const std::string EndOfData = "Stream read error";

// ---------------------------------------------------------------- writing

TEST(TaggedStreamWriter, ExamplesAreByteExact)
{
  EXPECT_EQ(Written([](TWriter& w) { w.WriteIntValue(5); }), (Bytes{0x02, 0x05}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteIntValue(-1); }), (Bytes{0x02, 0xFF}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteIntValue(1000); }), (Bytes{0x03, 0xE8, 0x03}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteIntValue(100000); }), (Bytes{0x04, 0xA0, 0x86, 0x01, 0x00}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteIntValue(0x00FF0000); }), (Bytes{0x04, 0x00, 0x00, 0xFF, 0x00}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteIntValue(0); }), (Bytes{0x02, 0x00}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteBoolValue(true); }), (Bytes{0x09}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteBoolValue(false); }), (Bytes{0x08}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteStringValue("abc"); }), (Bytes{0x06, 0x03, 0x61, 0x62, 0x63}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteStringValue(""); }), (Bytes{0x06, 0x00}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteStringValue("\u00e9"); }),
            (Bytes{0x14, 0x02, 0x00, 0x00, 0x00, 0xC3, 0xA9}));
  const std::string long300(300, 'x');
  EXPECT_EQ(Written([&](TWriter& w) { w.WriteStringValue(long300); }),
            Cat(Bytes{0x0C, 0x2C, 0x01, 0x00, 0x00}, long300));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteFloatValue(1.0L); }),
            (Bytes{0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteFloatValue(-2.0L); }),
            (Bytes{0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteFloatValue(0.0L); }), (Bytes{0x05, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(TaggedStreamWriter, IntegersTakeTheSmallestTag)
{
  const struct { std::int32_t v; std::uint8_t tag; } cases[] = {
      {-128, 2}, {127, 2}, {-129, 3}, {128, 3}, {-32768, 3}, {32767, 3}, {-32769, 4}, {32768, 4},
      {std::numeric_limits<std::int32_t>::min(), 4}, {std::numeric_limits<std::int32_t>::max(), 4}};
  for (const auto& c : cases) {
    const Bytes b = Written([&](TWriter& w) { w.WriteIntValue(c.v); });
    EXPECT_EQ(b[0], c.tag) << c.v;
    EXPECT_EQ(b.size(), 1u + (c.tag == 2 ? 1 : c.tag == 3 ? 2 : 4)) << c.v;
    TMemoryStream m(b);
    TReader r(m);
    EXPECT_EQ(r.ReadIntValue(), c.v);
  }
}

TEST(TaggedStreamWriter, StringTagsFollowLengthAndCharacters)
{
  EXPECT_EQ(Written([](TWriter& w) { w.WriteStringValue(std::string(255, 'a')); })[0], 6);
  EXPECT_EQ(Written([](TWriter& w) { w.WriteStringValue(std::string(256, 'a')); })[0], 12);
  // One non-ASCII character makes the text UTF-8, short or long.
  EXPECT_EQ(Written([](TWriter& w) { w.WriteStringValue("ab\u00fc"); })[0], 20);
  EXPECT_EQ(Written([](TWriter& w) { w.WriteStringValue(std::string(400, 'a') + "\u20ac"); })[0], 20);
}

// A stream that takes only so many bytes, like a full disk.
class TLimitedStream : public TMemoryStream {
public:
  explicit TLimitedStream(std::size_t limit) : FLimit(limit) {}
  std::size_t Write(const void* buffer, std::size_t count) override
  {
    const std::size_t n = std::min(count, FLimit - std::min(FLimit, Bytes().size()));
    return TMemoryStream::Write(buffer, n);
  }

private:
  std::size_t FLimit;
};

TEST(TaggedStreamWriter, ShortWriteIsAStreamWriteError)
{
  TLimitedStream m(10);
  TWriter w(m, 8);
  // The first buffer (8 bytes) is taken when the third value needs room.
  w.WriteIntValue(1000000);
  w.WriteIntValue(1000);
  EXPECT_THROW(w.WriteStringValue(std::string(20, 'z')), EWriteError);
  // The writer stays failed, and the final hand-over reports it too.
  try {
    w.WriteBoolValue(true);
    FAIL() << "write after failure succeeded";
  } catch (const EWriteError& e) {
    EXPECT_STREQ(e.what(), "Stream write error");
  }
  EXPECT_THROW(w.FlushBuffer(), EWriteError);

  TLimitedStream n(3);
  TWriter v(n);
  v.WriteIntValue(100000);  // five bytes, still in the buffer
  EXPECT_THROW(v.FlushBuffer(), EWriteError);
}

// ---------------------------------------------------------------- reading

TEST(TaggedStreamReader, IntegersAreSignExtendedAndOnlyFromIntegerTags)
{
  int v = 0;
  EXPECT_EQ(ReadFailure({0x02, 0x80}, [&](TReader& r) { v = r.ReadIntValue(); }), "");
  EXPECT_EQ(v, -128);
  EXPECT_EQ(ReadFailure({0x03, 0x00, 0x80}, [&](TReader& r) { v = r.ReadIntValue(); }), "");
  EXPECT_EQ(v, -32768);
  EXPECT_EQ(ReadFailure({0x04, 0xFE, 0xFF, 0xFF, 0xFF}, [&](TReader& r) { v = r.ReadIntValue(); }), "");
  EXPECT_EQ(v, -2);
  // A Float, an Int64, a String or a Boolean where an Integer is expected.
  const Bytes floatOne = {0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
  EXPECT_EQ(ReadFailure(floatOne, [](TReader& r) { r.ReadIntValue(); }), Invalid);
  EXPECT_EQ(ReadFailure({0x13, 1, 0, 0, 0, 0, 0, 0, 0}, [](TReader& r) { r.ReadIntValue(); }), Invalid);
  EXPECT_EQ(ReadFailure({0x06, 0x00}, [](TReader& r) { r.ReadIntValue(); }), Invalid);
  EXPECT_EQ(ReadFailure({0x09}, [](TReader& r) { r.ReadIntValue(); }), Invalid);
}

TEST(TaggedStreamReader, InvalidTagIsConsumedWithoutResynchronising)
{
  // Only the offending tag byte goes; the next read starts right after it.
  int v = 0;
  EXPECT_EQ(ReadFailure({0x07, 0x02, 0x05},
                        [&](TReader& r) {
                          EXPECT_THROW(r.ReadIntValue(), EReadError);
                          v = r.ReadIntValue();
                        }),
            "");
  EXPECT_EQ(v, 5);
}

TEST(TaggedStreamReader, FloatAcceptsIntegerTagsAndInt64)
{
  long double x = 0;
  auto readFloat = [&](TReader& r) { x = r.ReadFloatValue(); };
  EXPECT_EQ(ReadFailure({0x02, 0xF6}, readFloat), "");
  EXPECT_EQ(x, -10.0L);
  EXPECT_EQ(ReadFailure({0x03, 0xE8, 0x03}, readFloat), "");
  EXPECT_EQ(x, 1000.0L);
  EXPECT_EQ(ReadFailure({0x04, 0xA0, 0x86, 0x01, 0x00}, readFloat), "");
  EXPECT_EQ(x, 100000.0L);
  // 2^62 + 1 needs all 64 bits of the significand.
  EXPECT_EQ(ReadFailure({0x13, 0x01, 0, 0, 0, 0, 0, 0, 0x40}, readFloat), "");
  if (LDBL_MANT_DIG >= 64) {
    EXPECT_EQ(x, 4611686018427387905.0L);
  }
  EXPECT_EQ(ReadFailure({0x13, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, readFloat), "");
  EXPECT_EQ(x, -1.0L);
  EXPECT_EQ(ReadFailure({0x06, 0x01, 0x31}, readFloat), Invalid);
  EXPECT_EQ(ReadFailure({0x08}, readFloat), Invalid);
}

TEST(TaggedStreamReader, BooleanReadsAnyByte)
{
  // An Integer 9 read as Booleans: the tag gives false, the payload true.
  bool a = true, b = false;
  EXPECT_EQ(ReadFailure({0x02, 0x09},
                        [&](TReader& r) {
                          a = r.ReadBoolValue();
                          b = r.ReadBoolValue();
                        }),
            "");
  EXPECT_FALSE(a);
  EXPECT_TRUE(b);
  for (int byte = 0; byte < 256; ++byte) {
    TMemoryStream m(Bytes{static_cast<std::uint8_t>(byte)});
    TReader r(m);
    EXPECT_EQ(r.ReadBoolValue(), byte == 9) << byte;
  }
  EXPECT_EQ(ReadFailure({}, [](TReader& r) { r.ReadBoolValue(); }), EndOfData);
}

TEST(TaggedStreamReader, StringTagsAndInvalidOnes)
{
  EXPECT_EQ(ReadString({0x06, 0x03, 'a', 'b', 'c'}), "abc");
  EXPECT_EQ(ReadString({0x0C, 0x02, 0, 0, 0, 'h', 'i'}), "hi");
  EXPECT_EQ(ReadString({0x0C, 0, 0, 0, 0}), "");
  EXPECT_EQ(ReadString({0x14, 0x02, 0, 0, 0, 0xC3, 0xA9}), "\u00e9");
  // UTF-16LE: é, €, and G clef as a surrogate pair.
  EXPECT_EQ(ReadString({0x12, 0x04, 0, 0, 0, 0xE9, 0x00, 0xAC, 0x20, 0x34, 0xD8, 0x1E, 0xDD}),
            "\u00e9\u20ac\U0001D11E");
  EXPECT_EQ(ReadFailure({0x02, 0x05}, [](TReader& r) { r.ReadStringValue(); }), Invalid);
  EXPECT_EQ(ReadFailure({0x09}, [](TReader& r) { r.ReadStringValue(); }), Invalid);
  EXPECT_EQ(ReadFailure({0x00}, [](TReader& r) { r.ReadStringValue(); }), Invalid);
}

TEST(TaggedStreamReader, EightBitTextIsWindows1252)
{
  // € ‚ ‘ ’ — • ™ Ÿ é ÿ, and 0x81, which the code page leaves undefined.
  const Bytes text = {0x80, 0x82, 0x91, 0x92, 0x97, 0x95, 0x99, 0x9F, 0xE9, 0xFF, 0x81};
  const std::string expected = "\u20ac\u201a\u2018\u2019\u2014\u2022\u2122\u0178\u00e9\u00ff\u0081";
  Bytes shortForm = {0x06, static_cast<std::uint8_t>(text.size())};
  shortForm.insert(shortForm.end(), text.begin(), text.end());
  Bytes longForm = {0x0C, static_cast<std::uint8_t>(text.size()), 0, 0, 0};
  longForm.insert(longForm.end(), text.begin(), text.end());
  EXPECT_EQ(ReadString(shortForm), expected);
  EXPECT_EQ(ReadString(longForm), expected);
  // Written back, such text becomes UTF-8 and reads the same.
  EXPECT_EQ(ReadString(Written([&](TWriter& w) { w.WriteStringValue(ReadString(shortForm)); })), expected);
}

TEST(TaggedStreamReader, EveryEightBitCharacterSurvivesUtf8)
{
  for (int c = 0x80; c < 0x100; ++c) {
    std::string text = "x";
    text += Windows1252ToUtf8(std::string(1, static_cast<char>(c)));
    const Bytes b = Written([&](TWriter& w) { w.WriteStringValue(text); });
    ASSERT_EQ(b[0], 20) << c;
    EXPECT_EQ(ReadString(b), text) << c;
  }
}

TEST(TaggedStreamReader, DamagedUnicodeBecomesReplacementCharacters)
{
  const std::string fffd = "\uFFFD";
  // Stray continuation byte, truncated sequence, overlong form, surrogate.
  EXPECT_EQ(ReadString({0x14, 0x03, 0, 0, 0, 'a', 0x80, 'b'}), "a" + fffd + "b");
  EXPECT_EQ(ReadString({0x14, 0x03, 0, 0, 0, 0xE2, 0x82, 'b'}), fffd + "b");
  EXPECT_EQ(ReadString({0x14, 0x02, 0, 0, 0, 0xC0, 0xAF}), fffd + fffd);
  EXPECT_EQ(ReadString({0x14, 0x03, 0, 0, 0, 0xED, 0xA0, 0x80}), fffd + fffd + fffd);
  EXPECT_EQ(ReadString({0x14, 0x04, 0, 0, 0, 0xF4, 0x90, 0x80, 0x80}), fffd + fffd + fffd + fffd);
  // Unpaired UTF-16 halves.
  EXPECT_EQ(ReadString({0x12, 0x02, 0, 0, 0, 0x00, 0xDC, 0x41, 0x00}), fffd + "A");
  EXPECT_EQ(ReadString({0x12, 0x01, 0, 0, 0, 0x00, 0xD8}), fffd);
}

TEST(TaggedStreamReader, EveryTruncationIsAStreamReadError)
{
  const auto write = [](TWriter& w) {
    w.WriteIntValue(-5);
    w.WriteIntValue(-3000);
    w.WriteIntValue(70000);
    w.WriteFloatValue(3.25L);
    w.WriteStringValue("abc");
    w.WriteStringValue(std::string(300, 'q'));
    w.WriteStringValue("\u00e9t\u00e9");
    w.WriteBoolValue(true);
  };
  const auto read = [](TReader& r) {
    EXPECT_EQ(r.ReadIntValue(), -5);
    EXPECT_EQ(r.ReadIntValue(), -3000);
    EXPECT_EQ(r.ReadIntValue(), 70000);
    EXPECT_EQ(r.ReadFloatValue(), 3.25L);
    EXPECT_EQ(r.ReadStringValue(), "abc");
    EXPECT_EQ(r.ReadStringValue(), std::string(300, 'q'));
    EXPECT_EQ(r.ReadStringValue(), "\u00e9t\u00e9");
    EXPECT_TRUE(r.ReadBoolValue());
  };
  const Bytes full = Written(write);
  ASSERT_EQ(ReadFailure(full, read), "");
  for (std::size_t n = 0; n < full.size(); ++n)
    EXPECT_EQ(ReadFailure(Bytes(full.begin(), full.begin() + n), read), EndOfData) << n;
  // A file that ends right after the tag of a Float.
  EXPECT_EQ(ReadFailure({0x05}, [](TReader& r) { r.ReadFloatValue(); }), EndOfData);
}

TEST(TaggedStreamReader, HugeAndNegativeLengthsCostNoMemory)
{
  const Bytes hostile[] = {
      {0x0C, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'},  // 2 GB of 8-bit text announced
      {0x14, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'},  // 2 GB of UTF-8
      {0x12, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 0},    // 2^31 UTF-16 units: 4 GB
      {0x0C, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b'},  // negative lengths
      {0x14, 0x00, 0x00, 0x00, 0x80},
      {0x12, 0xFE, 0xFF, 0xFF, 0xFF, 'a', 0},
  };
  for (const Bytes& b : hostile) {
    LargestAllocation = 0;
    EXPECT_EQ(ReadFailure(b, [](TReader& r) { r.ReadStringValue(); }), EndOfData);
    EXPECT_LT(LargestAllocation.load(), 1u << 20);
  }
}

TEST(TaggedStreamReader, ReaderGivesBackUnconsumedBytes)
{
  const Bytes b = Written([](TWriter& w) {
    w.WriteIntValue(1);
    w.WriteStringValue("two");
    w.WriteIntValue(3);
  });
  TMemoryStream m(b);
  {
    TReader r(m);
    EXPECT_EQ(r.ReadIntValue(), 1);
    EXPECT_EQ(r.ReadStringValue(), "two");
  }
  EXPECT_EQ(m.Position(), b.size() - 2);
  TReader r(m);
  EXPECT_EQ(r.ReadIntValue(), 3);
}

// ---------------------------------------------------------------- round trips

TEST(TaggedStreamRoundTrip, ValuesSurviveAcrossBufferBoundaries)
{
  const std::vector<std::int32_t> ints = {0, 1, -1, 127, -128, 128, 255, 32767, -32768, 65535, -70000,
                                          std::numeric_limits<std::int32_t>::min(),
                                          std::numeric_limits<std::int32_t>::max()};
  const std::vector<long double> floats = {0.0L, -0.0L, 1.0L, -1.5L, 2451545.0L, 0.1L, 1e-300L, 1e300L,
                                           std::numeric_limits<long double>::max(),
                                           std::numeric_limits<long double>::min(),
                                           std::numeric_limits<long double>::denorm_min(),
                                           std::numeric_limits<long double>::infinity(),
                                           -std::numeric_limits<long double>::infinity()};
  const std::vector<std::string> texts = {"", "Earth", std::string(255, 'a'), std::string(256, 'b'),
                                          std::string(5000, 'c'), "Jupiter \u2642 \U0001F680", "\u00e9"};
  for (std::size_t bufferSize : {1u, 3u, 7u, 4096u}) {
    const Bytes b = Written(
        [&](TWriter& w) {
          for (std::size_t i = 0; i < texts.size(); ++i) {
            for (std::int32_t v : ints) w.WriteIntValue(v);
            for (long double x : floats) w.WriteFloatValue(x);
            w.WriteStringValue(texts[i]);
            w.WriteBoolValue(i % 2 == 0);
          }
        },
        bufferSize);
    TMemoryStream m(b);
    TReader r(m, bufferSize);
    for (std::size_t i = 0; i < texts.size(); ++i) {
      for (std::int32_t v : ints) ASSERT_EQ(r.ReadIntValue(), v);
      for (long double x : floats) {
        const long double y = r.ReadFloatValue();
        ASSERT_EQ(y, x);
        ASSERT_EQ(std::signbit(y), std::signbit(x));
      }
      ASSERT_EQ(r.ReadStringValue(), texts[i]);
      ASSERT_EQ(r.ReadBoolValue(), i % 2 == 0);
    }
    EXPECT_THROW(r.ReadBoolValue(), EReadError);
  }
  const Bytes nan = Written([](TWriter& w) { w.WriteFloatValue(std::numeric_limits<long double>::quiet_NaN()); });
  TMemoryStream m(nan);
  EXPECT_TRUE(std::isnan(TReader(m).ReadFloatValue()));
}

// Where long double is the stream's own 80-bit format, the explicit
// conversion must agree bit for bit with the machine's representation.
TEST(TaggedStreamRoundTrip, ExtendedMatchesTheMachineFormat)
{
  if (LDBL_MANT_DIG != 64 || LDBL_MAX_EXP != 16384) GTEST_SKIP() << "long double is not the 80-bit format";
  std::mt19937_64 rng(404);
  for (int i = 0; i < 200000; ++i) {
    TExtended80 bits;
    const std::uint64_t sig = rng();
    for (int k = 0; k < 8; ++k) bits[k] = static_cast<std::uint8_t>(sig >> (8 * k));
    const auto word = static_cast<std::uint16_t>(rng());
    bits[8] = static_cast<std::uint8_t>(word);
    bits[9] = static_cast<std::uint8_t>(word >> 8);
    const int exponent = word & 0x7FFF;
    // Patterns the machine itself treats as invalid are not compared.
    if (exponent == 0x7FFF || (exponent != 0 && !(sig >> 63))) continue;
    if (exponent == 0 && (sig >> 63)) continue;  // pseudo-denormal
    long double machine;
    std::memset(&machine, 0, sizeof machine);
    std::memcpy(&machine, bits.data(), 10);
    ASSERT_EQ(FromExtended80(bits), machine) << i;
    ASSERT_EQ(ToExtended80(machine), bits) << i;
  }
}

// ---------------------------------------------------------------- hostile data

struct TSample {
  std::function<void(TWriter&)> Write;
  std::function<void(TReader&)> Read;
};

std::vector<TSample> Samples()
{
  return {
      {[](TWriter& w) {
         w.WriteStringValue("sl v1.7");
         for (int i = 0; i < 20; ++i) {
           w.WriteIntValue(i * 4099 - 30000);
           w.WriteFloatValue(i * 0.37L);
           w.WriteBoolValue(i % 3 == 0);
         }
         w.WriteStringValue("Ceres");
       },
       [](TReader& r) {
         r.ReadStringValue();
         for (int i = 0; i < 20; ++i) {
           r.ReadIntValue();
           r.ReadFloatValue();
           r.ReadBoolValue();
         }
         r.ReadStringValue();
       }},
      {[](TWriter& w) {
         w.WriteIntValue(3);
         w.WriteStringValue(std::string(600, 'd'));
         w.WriteStringValue("Saturn \u2644");
         w.WriteStringValue("");
       },
       [](TReader& r) {
         // A count read from the data drives the loop, as the list records do.
         const int n = r.ReadIntValue();
         for (int i = 0; i < n; ++i) r.ReadStringValue();
       }},
      {[](TWriter& w) {
         for (int i = 0; i < 8; ++i) w.WriteFloatValue(2451545.0L + i);
         w.WriteIntValue(0x00FF00FF);
       },
       [](TReader& r) {
         for (int i = 0; i < 8; ++i) r.ReadFloatValue();
         r.ReadIntValue();
       }},
  };
}

// Mutants of written streams must only ever end in the stream's read errors:
// no crash, no other exception, no hang, no large allocation.
TEST(TaggedStreamHostile, RandomMutantsOnlyRaiseReadErrors)
{
  const std::vector<TSample> samples = Samples();
  std::vector<Bytes> originals;
  for (const TSample& s : samples) originals.push_back(Written(s.Write));
  const std::uint8_t interesting[] = {0x00, 0x02, 0x03, 0x04, 0x05, 0x06, 0x08, 0x09, 0x0C, 0x12, 0x13, 0x14,
                                      0x7F, 0x80, 0xFF};
  std::mt19937 rng(20240607);
  int readErrors = 0, completed = 0;
  for (int mutant = 0; mutant < 6000; ++mutant) {
    const std::size_t which = rng() % samples.size();
    Bytes b = originals[which];
    const int edits = 1 + static_cast<int>(rng() % 3);
    for (int e = 0; e < edits && !b.empty(); ++e) {
      const std::size_t at = rng() % b.size();
      switch (rng() % 6) {
      case 0: b[at] ^= static_cast<std::uint8_t>(1u << (rng() % 8)); break;
      case 1: b[at] = interesting[rng() % sizeof interesting]; break;
      case 2:  // a huge or negative length field
        for (std::size_t k = at; k < std::min(b.size(), at + 4); ++k) b[k] = (rng() % 2) ? 0xFF : 0x7F;
        break;
      case 3: b.resize(at); break;
      case 4: b.insert(b.begin() + static_cast<std::ptrdiff_t>(at), static_cast<std::uint8_t>(rng())); break;
      case 5: b.erase(b.begin() + static_cast<std::ptrdiff_t>(at)); break;
      }
    }
    const std::size_t bufferSize = mutant % 3 == 0 ? 5 : TFiler::DefaultBufferSize;
    TMemoryStream m(b);
    TReader r(m, bufferSize);
    LargestAllocation = 0;
    try {
      samples[which].Read(r);
      ++completed;
    } catch (const EReadError& e) {
      const std::string what = e.what();
      ASSERT_TRUE(what == Invalid || what == EndOfData) << what;
      ++readErrors;
    }
    ASSERT_LT(LargestAllocation.load(), 1u << 20) << "mutant " << mutant;
  }
  // Both outcomes occur, so the mutations reach past the first value.
  EXPECT_GT(readErrors, 1000);
  EXPECT_GT(completed, 100);
}

// ---------------------------------------------------------------- files

class FileStreams : public ::testing::Test {
protected:
  void SetUp() override
  {
    Dir = std::filesystem::temp_directory_path() /
          ("sollumen-stream-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(Dir);
  }
  void TearDown() override { std::filesystem::remove_all(Dir); }
  std::string Contents(const std::filesystem::path& p)
  {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::filesystem::path Dir;
};

TEST_F(FileStreams, WrittenFileReadsBack)
{
  const auto path = Dir / "a.orb";
  {
    TFileStream f(path, TFileMode::Create);
    TWriter w(f);
    w.WriteStringValue("sl v1.7");
    w.WriteFloatValue(2451545.25L);
    w.FlushBuffer();
  }
  EXPECT_EQ(Contents(path).substr(0, 9), std::string("\x06\x07sl v1.7"));
  TFileStream f(path, TFileMode::OpenRead);
  TReader r(f);
  EXPECT_EQ(r.ReadStringValue(), "sl v1.7");
  EXPECT_EQ(r.ReadFloatValue(), 2451545.25L);
  EXPECT_THROW(r.ReadBoolValue(), EReadError);
}

TEST_F(FileStreams, OpenAndCreateFailuresNameTheFile)
{
  const auto missing = Dir / "missing.orb";
  try {
    TFileStream f(missing, TFileMode::OpenRead);
    FAIL();
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + missing.string() + "\". ", 0), 0u) << e.what();
  }
  EXPECT_THROW(TFileStream(Dir / "no" / "dir.orb", TFileMode::Create), EFileError);
  EXPECT_THROW(TReplacingFileStream(Dir / "no" / "dir.orb"), EFileError);
}

TEST_F(FileStreams, ReplacementTouchesTheTargetOnlyOnCommit)
{
  const auto path = Dir / "doc.orb";
  std::ofstream(path, std::ios::binary) << "old";
  {
    TReplacingFileStream f(path);
    f.Write("new contents", 12);
    EXPECT_EQ(Contents(path), "old");
    // Destroyed without Commit, as after an error while writing.
  }
  EXPECT_EQ(Contents(path), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir), std::filesystem::directory_iterator()), 1);
  {
    TReplacingFileStream f(path);
    f.Write("new contents", 12);
    f.Commit();
  }
  EXPECT_EQ(Contents(path), "new contents");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir), std::filesystem::directory_iterator()), 1);
}

}  // namespace
