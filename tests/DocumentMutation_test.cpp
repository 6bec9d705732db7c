// Damaged documents: seeded mutants of real documents of every version must
// end in the document's own messages, never in a crash, a hang or a huge
// allocation. tests/fuzz/document_fuzz.cpp runs the same reading for longer.
#include "document/SimulationDocument.h"
#include "LargestAllocation.h"

#include "DocumentMutator.h"

#include <gtest/gtest.h>

#include <atomic>
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
      ASSERT_EQ(r.Error, expected) << "shard " << shard << " mutant " << i;
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
