// Seeded mutations of the two sample files (lines truncated, numbers
// garbled, control and binary bytes put in) go through the importer: no
// crash, no hang, every damaged line reported with its line number, every
// line accounted for. Random bytes go straight through both parsers.
#include "database/MinorBodyImport.h"
#include "database/MpcFormats.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct TCase {
  const char* File;
  TElementFormat Format;
  std::size_t FirstData;  // 1-based line number of the first data line
  std::size_t CutBelow;   // truncating before this column loses a needed field
  std::vector<std::pair<int, int>> Numbers;  // columns of needed numbers
};

std::vector<std::string> Lines(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  std::string l;
  while (std::getline(in, l)) lines.push_back(l);
  return lines;
}

bool Blank(const std::string& s) { return s.find_first_not_of(" \r") == std::string::npos; }

}  // namespace

TEST(MpcMutation, DamagedLinesAreReportedAndTheRestImported)
{
  const fs::path dir = fs::temp_directory_path() / ("sollumen-mutation-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const TCase cases[] = {
      {"MPCORB-sample.DAT", TElementFormat::MinorPlanets, 15, 93,
       {{27, 35}, {38, 46}, {49, 57}, {60, 68}, {71, 79}, {93, 103}}},
      {"CometEls-sample.txt", TElementFormat::Comets, 1, 72,
       {{31, 39}, {42, 49}, {52, 59}, {62, 69}, {72, 79}}},
  };
  std::mt19937 random(20261209);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.File);
    std::vector<std::string> lines = Lines(std::string(SOLLUMEN_SAMPLES) + "/" + c.File);
    std::set<std::int64_t> damaged;
    std::int64_t dataLines = 0;
    for (std::size_t n = c.FirstData; n <= lines.size(); ++n) {
      std::string& l = lines[n - 1];
      if (Blank(l)) continue;
      ++dataLines;
      switch (random() % 6) {
      case 0: {  // truncated before a needed field ends
        l.resize(1 + random() % (c.CutBelow - 1));
        if (!Blank(l)) damaged.insert(n);
        break;
      }
      case 1: {  // a needed number garbled
        const auto [first, last] = c.Numbers[random() % c.Numbers.size()];
        const std::size_t at = first - 1 + random() % (last - first + 1);
        if (std::isdigit(static_cast<unsigned char>(l[at]))) {
          l[at] = "xyz!#?"[random() % 6];
          damaged.insert(n);
        }
        break;
      }
      case 2: {  // a control byte anywhere
        const char control = "\x01\x08\x0b\x1b\x7f"[random() % 5];
        l[random() % l.size()] = control;
        damaged.insert(n);
        break;
      }
      case 3: {  // a line of binary bytes (one control byte at least)
        l.clear();
        const std::size_t length = 1 + random() % 300;
        for (std::size_t i = 0; i < length; ++i) {
          char b = static_cast<char>(random() % 256);
          if (b == '\n') b = '\x02';
          l += b;
        }
        l[random() % length] = '\x03';
        damaged.insert(n);
        break;
      }
      default: break;  // left as it is
      }
    }
    const fs::path file = dir / c.File;
    {
      std::ofstream out(file, std::ios::binary);
      for (const std::string& l : lines) out << l << '\n';
    }
    std::vector<TSkippedLine> skipped;
    TImportCallbacks cb;
    cb.Skipped = [&](const TSkippedLine& s) { skipped.push_back(s); };
    const TImportSummary s = ImportTables(dir.string(), "Mutated", {{file.string(), c.Format}},
                                          TImportMode::Replace, cb);
    std::set<std::int64_t> reported;
    for (const TSkippedLine& l : skipped) {
      EXPECT_FALSE(l.Reason.empty());
      reported.insert(l.Line);
    }
    for (std::int64_t n : damaged) EXPECT_TRUE(reported.count(n)) << "line " << n << " not reported";
    EXPECT_GT(damaged.size(), lines.size() / 3);
    EXPECT_GT(s.Imported, 0);
    // Blank lines made by truncation are passed over; every other line is
    // either a row or reported.
    std::int64_t blanks = 0;
    for (std::size_t n = c.FirstData; n <= lines.size(); ++n) blanks += Blank(lines[n - 1]);
    EXPECT_EQ(s.Imported + s.Skipped, static_cast<std::int64_t>(lines.size() - c.FirstData + 1) - blanks);
  }

  // A gzip stream cut short is an unreadable input: nothing is created.
  const std::string bytes = [&] {
    std::ifstream in(std::string(SOLLUMEN_SAMPLES) + "/CometEls-sample.txt", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }();
  const fs::path gz = dir / "cut.txt.gz";
  gzFile f = gzopen(gz.c_str(), "wb");
  gzwrite(f, bytes.data(), static_cast<unsigned>(bytes.size()));
  gzclose(f);
  fs::resize_file(gz, fs::file_size(gz) / 2);
  EXPECT_THROW(ImportTables(dir.string(), "Cut", {{gz.string(), TElementFormat::Comets}}, TImportMode::New),
               EImportError);
  EXPECT_FALSE(fs::exists(dir / "Cut.db"));
  fs::remove_all(dir);
}

TEST(MpcMutation, RandomBytesThroughBothParsers)
{
  std::mt19937 random(4242);
  TImportRow row;
  std::string reason;
  int rows = 0;
  for (int i = 0; i < 50000; ++i) {
    std::string line(random() % 260, ' ');
    // Mostly printable, so that the parsers get past the first checks.
    for (char& c : line) c = random() % 8 ? "0123456789 .-+~AKJz"[random() % 19] : char(random() % 256);
    rows += ParseMinorPlanetLine(line, row, reason) == TLineKind::Row;
    rows += ParseCometLine(line, row, reason) == TLineKind::Row;
  }
  EXPECT_GE(rows, 0);  // reaching here without a crash is the test
}
