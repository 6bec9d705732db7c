// Damaged documents: seeded mutants of real documents of every version must
// end in the document's own messages, never in a crash, a hang or a huge
// allocation. tests/fuzz/document_fuzz.cpp runs the same reading for longer.
#include "document/SimulationDocument.h"
#include "LargestAllocation.h"

#include "DocumentMutator.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

namespace {

using docmut::Bytes;
using docmut::Mutant;
using docmut::TRandom;

Bytes FileBytes(const std::filesystem::path& p)
{
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The documents the mutants are made from: one of each version.
const std::vector<Bytes>& Originals()
{
  static const std::vector<Bytes> docs = [] {
    const std::filesystem::path dir = std::filesystem::path(SOLLUMEN_TEST_DATA) / "documents";
    std::vector<Bytes> d;
    for (const char* name : {"doc10.orb", "doc15.orb", "doc16.orb", "doc17.orb"})
      d.push_back(FileBytes(dir / name));
    return d;
  }();
  return docs;
}

// Number of mutants per shard; SOLLUMEN_MUTANTS sets it for longer runs.
int MutantsPerShard()
{
  if (const char* s = std::getenv("SOLLUMEN_MUTANTS")) {
    const int n = std::atoi(s);
    if (n > 0) return n;
  }
  return 250;
}

class DocumentMutation : public ::testing::TestWithParam<int> {};

}  // namespace

TEST_P(DocumentMutation, DamagedDocumentsEndInTheDocumentMessages)
{
  const int shard = GetParam();
  TRandom rnd(static_cast<std::uint64_t>(shard) + 1);
  // One scene for all mutants: reading starts from whatever state the window
  // has, so a scene left by a damaged document is a fair start for the next.
  TSolarSystem scene;
  const std::string expected = "Error reading file /no-such-dir/m.orb.";
  int failures = 0, unknown = 0;
  const int count = MutantsPerShard();
  for (int i = 0; i < count; ++i) {
    const Bytes& original = Originals()[static_cast<std::size_t>(i) % Originals().size()];
    ASSERT_FALSE(original.empty());
    const Bytes b = Mutant(original, rnd);
    TDocumentState state;
    TMemoryStream m(b);
    LargestAllocation = 0;
    TDocumentReadResult r;
    try {
      r = OpenDocument(m, "/no-such-dir/m.orb", scene, state, "/no-such-dir/");
    } catch (const std::exception& e) {
      FAIL() << "shard " << shard << " mutant " << i << ": escaped: " << e.what();
    }
    if (r.Failed()) {
      ++failures;
      // The plain message, or the same followed by the damage when a list
      // claims more than the file holds.
      if (r.Error != expected) {
        ASSERT_EQ(r.Error.substr(0, expected.size() + 22), expected + " The file is damaged: ")
            << "shard " << shard << " mutant " << i;
      }
      EXPECT_FALSE(r.OfferConversion());
    }
    if (r.Version == TDocumentVersion::None) ++unknown;
    // Text is read in pieces of 64 KiB however long it claims to be.
    ASSERT_LT(LargestAllocation.load(), std::size_t{1} << 20)
        << "shard " << shard << " mutant " << i << " of " << b.size() << " bytes";
    // The scene stays usable: every body can be computed again.
    if (i % 50 == 0) scene.SetDateTime(scene.DateTime());
  }
  // The mutants reach the failures and the successes both.
  EXPECT_GT(failures, count / 10);
  EXPECT_LT(failures, count);
  RecordProperty("failures", failures);
  RecordProperty("unknown", unknown);
}

INSTANTIATE_TEST_SUITE_P(Shards, DocumentMutation, ::testing::Range(0, 8));

namespace {

Bytes DocumentBytes(TSolarSystem& scene, const TDocumentState& state)
{
  TMemoryStream m;
  {
    TWriter w(m);
    WriteDocument(w, scene, state);
  }
  return m.Bytes();
}

TOrbitElements SomeOrbit()
{
  TOrbitElements el;
  el.EpochJD = 2460600.5L;
  el.AxisAU = 2.5L;
  el.Ecc = 0.1L;
  el.DailyMotion = 0.9856076686L / (2.5L * std::sqrt(2.5L));
  return el;
}

}  // namespace

TEST(DocumentLists, CountsBeyondTheBytesLeftAreRefusedBeforeAnyRoomIsMade)
{
  // Each list once with one member and once with two: the documents first
  // differ in the list's count, which becomes 2^31 - 1 in a document that
  // still holds the one member.
  struct TList {
    const char* Items;
    void (*Grow)(TSolarSystem&, TDocumentState&);
  };
  const TList lists[] = {
      {"minor bodies",
       [](TSolarSystem& s, TDocumentState&) {
         s.AsteroidsList().Add(std::make_unique<TAsteroid>("Minor", SomeOrbit(), 0x008080));
       }},
      {"user-defined lines",
       [](TSolarSystem& s, TDocumentState&) {
         s.DirectionList().Add(std::make_unique<TDirection>(9, 0xFF, 3));
       }},
      {"description lines", [](TSolarSystem&, TDocumentState& d) { d.Description.push_back("{x}"); }},
      {"satellites",
       [](TSolarSystem& s, TDocumentState&) { AddSatellites(*s.Planet(0), 0x008080); }},
  };
  for (const TList& list : lists) {
    TSolarSystem scene;
    TDocumentState state;
    scene.Planet(0)->Satellites.Clear();  // the Earth's list starts empty
    list.Grow(scene, state);
    const Bytes one = DocumentBytes(scene, state);
    list.Grow(scene, state);
    const Bytes two = DocumentBytes(scene, state);
    std::size_t at = 0;
    while (at < one.size() && one[at] == two[at]) ++at;
    ASSERT_EQ(one[at - 1], 2) << list.Items << ": a one-byte count";
    Bytes hostile(one.begin(), one.begin() + static_cast<std::ptrdiff_t>(at - 1));
    for (std::uint8_t b : {0x04, 0xFF, 0xFF, 0xFF, 0x7F}) hostile.push_back(b);
    hostile.insert(hostile.end(), one.begin() + static_cast<std::ptrdiff_t>(at + 1), one.end());

    TSolarSystem target;
    TDocumentState targetState;
    TMemoryStream m(hostile);
    LargestAllocation = 0;
    const TDocumentReadResult r = OpenDocument(m, "/no-such-dir/m.orb", target, targetState, "/no-such-dir/");
    EXPECT_LT(LargestAllocation.load(), std::size_t{64} << 10) << list.Items;
    const std::string left = std::to_string(hostile.size() - at - 4);
    EXPECT_EQ(r.Error, "Error reading file /no-such-dir/m.orb. The file is damaged: a list of "
                       "2147483647 " + std::string(list.Items) + " cannot fit in the " + left +
                           " bytes left.");
    // The honest document reads.
    TMemoryStream honest(one);
    EXPECT_FALSE(OpenDocument(honest, "/no-such-dir/m.orb", target, targetState, "/").Failed())
        << list.Items;
  }
}
