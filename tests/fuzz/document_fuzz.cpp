// Fuzz driver of document reading, for runs longer than the test run's
// mutation test. Each input is read as a document into one long-lived scene;
// reading must end either in success or in the document's read error, and a
// document read successfully must read back unchanged after being saved.
//
// With Clang it is a libFuzzer target (see tests/fuzz/CMakeLists.txt);
// otherwise it is a plain program that replays the given files and then
// reads seeded mutants of them:
//   document_fuzz [-runs N] [-seed S] FILE...
#include "../DocumentMutator.h"

#include "document/SimulationDocument.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail)
{
  std::fprintf(stderr, "document_fuzz: %s: %s\n", what, detail.c_str());
  std::abort();
}

TSolarSystem& Scene()
{
  static TSolarSystem scene;
  return scene;
}

std::vector<std::uint8_t> Saved(TSolarSystem& scene, const TDocumentState& state,
                                const TDocumentReadResult& r)
{
  TDocumentState s = state;
  s.TablePath = r.DocumentTablePath;
  s.TableName = r.DocumentTableName;
  TMemoryStream m;
  {
    TWriter w(m);
    WriteDocument(w, scene, s);
  }
  return m.Bytes();
}

void ReadOne(const std::uint8_t* data, std::size_t size)
{
  const std::string expected = "Error reading file /no-such-dir/f.orb.";
  TSolarSystem& scene = Scene();
  TDocumentState state;
  TMemoryStream m(std::vector<std::uint8_t>(data, data + size));
  TDocumentReadResult r;
  try {
    r = OpenDocument(m, "/no-such-dir/f.orb", scene, state, "/no-such-dir/");
  } catch (const std::exception& e) {
    Fail("exception escaped", e.what());
  }
  if (r.Failed()) {
    if (r.Error != expected && r.Error.rfind(expected + " The file is damaged: ", 0) != 0)
      Fail("unexpected message", r.Error);
    return;
  }
  if (r.Version == TDocumentVersion::None) return;

  // What was read can be saved, and what was saved can be read.
  scene.SetDateTime(scene.DateTime());
  TDocumentState again;
  TMemoryStream m2(Saved(scene, state, r));
  const TDocumentReadResult r2 = OpenDocument(m2, "/no-such-dir/f.orb", scene, again, "/no-such-dir/");
  if (r2.Failed() || r2.Version != TDocumentVersion::V17) Fail("saved document unreadable", r2.Error);
}

}  // namespace

#ifdef SOLLUMEN_LIBFUZZER

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  ReadOne(data, size);
  return 0;
}

#else

int main(int argc, char** argv)
{
  long runs = 10000;
  std::uint64_t seed = 1;
  std::vector<docmut::Bytes> inputs;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "-runs") && i + 1 < argc) {
      runs = std::atol(argv[++i]);
    } else if (!std::strcmp(argv[i], "-seed") && i + 1 < argc) {
      seed = std::strtoull(argv[++i], nullptr, 10);
    } else {
      std::ifstream in(argv[i], std::ios::binary);
      if (!in) Fail("cannot read", argv[i]);
      inputs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }
  if (inputs.empty()) {
    std::fprintf(stderr, "usage: document_fuzz [-runs N] [-seed S] FILE...\n");
    return 2;
  }
  for (const auto& b : inputs) ReadOne(b.data(), b.size());
  docmut::TRandom rnd(seed);
  for (long i = 0; i < runs; ++i) {
    const docmut::Bytes b = docmut::Mutant(inputs[static_cast<std::size_t>(i) % inputs.size()], rnd);
    ReadOne(b.data(), b.size());
    if ((i + 1) % 1000 == 0) std::fprintf(stderr, "%ld mutants read\n", i + 1);
  }
  std::fprintf(stderr, "%ld mutants read, no failure\n", runs);
  return 0;
}

#endif
