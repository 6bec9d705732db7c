// Fuzz driver of the rich-text reader, for runs longer than the test run's
// mutation test. Each input is read into a text document, which must hold
// no more characters and pieces than the input had bytes; what was read is
// written and read again and must list the same.
//
// With Clang it is a libFuzzer target (see tests/fuzz/CMakeLists.txt);
// otherwise it is a plain program that replays the given files (or, without
// any, the shapes that grow a document fastest) and then reads seeded
// mutants of them:
//   rtf_fuzz [-runs N] [-seed S] [FILE...]
#include "../RtfMutator.h"

#include "app/richtext/RichTextListing.h"
#include "app/richtext/RtfReader.h"
#include "app/richtext/RtfWriter.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what, const std::string& input)
{
  std::fprintf(stderr, "rtf_fuzz: %s; the input (%zu bytes) is in rtf_fuzz-failure.rtf\n", what,
               input.size());
  std::ofstream("rtf_fuzz-failure.rtf", std::ios::binary) << input;
  std::abort();
}

void EnsureApplication()
{
  if (QGuiApplication::instance()) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "rtf_fuzz";
  static char* argv[] = {name, nullptr};
  new QGuiApplication(argc, argv);
}

void ReadOne(const std::string& input)
{
  QTextDocument doc;
  ReadRtf(input, doc);
  if (doc.characterCount() > static_cast<qsizetype>(input.size()) + 1)
    Fail("more characters than input bytes", input);
  std::size_t pieces = 0;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
    for (auto it = b.begin(); !it.atEnd(); ++it) ++pieces;
  if (pieces > input.size()) Fail("more pieces than input bytes", input);
  QTextDocument again;
  ReadRtf(WriteRtf(doc), again);
  if (RichTextRuns(again) != RichTextRuns(doc)) Fail("written text reads back otherwise", input);
}

}  // namespace

#ifdef SOLLUMEN_LIBFUZZER

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  EnsureApplication();
  ReadOne(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}

#else

int main(int argc, char** argv)
{
  EnsureApplication();
  long runs = 10000;
  std::uint64_t seed = 1;
  std::vector<std::string> inputs;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "-runs") && i + 1 < argc) {
      runs = std::atol(argv[++i]);
    } else if (!std::strcmp(argv[i], "-seed") && i + 1 < argc) {
      seed = std::strtoull(argv[++i], nullptr, 10);
    } else {
      std::ifstream in(argv[i], std::ios::binary);
      if (!in) {
        std::fprintf(stderr, "rtf_fuzz: cannot read %s\n", argv[i]);
        return 2;
      }
      inputs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }
  if (inputs.empty()) inputs = rtfmut::GrowthSeeds();
  for (const std::string& s : inputs) ReadOne(s);
  rtfmut::TRandom rnd(seed);
  for (long i = 0; i < runs; ++i) {
    ReadOne(rtfmut::Mutant(inputs[static_cast<std::size_t>(i) % inputs.size()], rnd));
    if ((i + 1) % 1000 == 0) std::fprintf(stderr, "%ld mutants read\n", i + 1);
  }
  std::fprintf(stderr, "%ld mutants read, no failure\n", runs);
  return 0;
}

#endif
