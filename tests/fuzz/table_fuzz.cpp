// Fuzz driver of opening and reading a minor-body table, for runs longer
// than the test run's mutation test. Each input is written as a table file
// and goes through everything the commands do with a table
// (tablemut::Exercise): every failure must be a table error naming the
// file, every refused row a named row, and reading must leave the file as
// it was.
//
// With Clang it is a libFuzzer target (see tests/fuzz/CMakeLists.txt);
// otherwise it is a plain program that replays the given table files and
// then reads seeded mutants of them (pages flipped, cut, and changed by
// another program's SQL):
//   table_fuzz [-runs N] [-seed S] FILE...
#include "../TableMutator.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail)
{
  std::fprintf(stderr, "table_fuzz: %s: %s\n", what, detail.c_str());
  std::abort();
}

const std::string& Directory()
{
  static const std::string dir = [] {
    char pattern[] = "/tmp/sollumen-table-fuzz-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) Fail("cannot make a directory", pattern);
    return std::string(made);
  }();
  return dir;
}

void ReadOne(const tablemut::Bytes& bytes, const std::string& sql = "")
{
  const std::string path = Directory() + "/Fuzzed.db";
  std::filesystem::remove(path + "-journal");
  tablemut::WriteBytes(path, bytes);
  if (!sql.empty()) tablemut::Tamper(path, sql);
  const tablemut::TOutcome out = tablemut::Exercise(Directory(), "Fuzzed.db");
  if (!out.Broken.empty()) Fail("rule broken", out.Broken + (sql.empty() ? "" : " after " + sql));
}

}  // namespace

#ifdef SOLLUMEN_LIBFUZZER

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  ReadOne(tablemut::Bytes(reinterpret_cast<const char*>(data), size));
  return 0;
}

#else

int main(int argc, char** argv)
{
  long runs = 2000;
  std::uint32_t seed = 1;
  std::vector<tablemut::Bytes> inputs;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "-runs") && i + 1 < argc) {
      runs = std::atol(argv[++i]);
    } else if (!std::strcmp(argv[i], "-seed") && i + 1 < argc) {
      seed = std::uint32_t(std::strtoul(argv[++i], nullptr, 10));
    } else {
      inputs.push_back(tablemut::ReadBytes(argv[i]));
      if (inputs.back().empty()) Fail("cannot read", argv[i]);
    }
  }
  if (inputs.empty()) {
    std::fprintf(stderr, "usage: table_fuzz [-runs N] [-seed S] TABLE.db...\n");
    return 2;
  }
  for (const auto& b : inputs) ReadOne(b);
  std::mt19937 rnd(seed);
  for (long i = 0; i < runs; ++i) {
    const tablemut::Bytes& base = inputs[static_cast<std::size_t>(i) % inputs.size()];
    if (i % 2 == 0)
      ReadOne(tablemut::PageMutant(base, rnd));
    else
      ReadOne(base, tablemut::SqlMutation(rnd));
    if ((i + 1) % 100 == 0) std::fprintf(stderr, "%ld mutants read\n", i + 1);
  }
  std::filesystem::remove_all(Directory());
  std::fprintf(stderr, "%ld mutants read, no failure\n", runs);
  return 0;
}

#endif
