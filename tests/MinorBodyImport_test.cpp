// Importing element files into tables: every sample row read back equal to
// its source line, appends keeping NO unique, inputs that are no MPC file,
// cancelling, and an import killed mid-way. Tables are read back with plain
// SQLite queries.
#include "database/MinorBodyImport.h"
#include "database/MinorBodyTable.h"
#include "database/MpcFormats.h"
#include "database/TableSchema.h"

#include "../bench/SyntheticMpcorb.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <zlib.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string Mpcorb = SOLLUMEN_SAMPLES "/MPCORB-sample.DAT";
const std::string Comets = SOLLUMEN_SAMPLES "/CometEls-sample.txt";

struct TRow {
  std::string Name, Class, NEA, PHA, Reference, Computer;
  double M, NW, OHM, I, E, A, Date;
};

std::map<long long, TRow> ReadTable(const fs::path& file)
{
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(db, "SELECT * FROM bodies", -1, &s, nullptr);
  std::map<long long, TRow> rows;
  auto text = [&](int i) {
    const unsigned char* t = sqlite3_column_text(s, i);
    return t ? std::string(reinterpret_cast<const char*>(t)) : std::string("<null>");
  };
  const int columns = sqlite3_column_count(s);
  while (sqlite3_step(s) == SQLITE_ROW) {
    TRow& r = rows[sqlite3_column_int64(s, 0)];
    r.Name = text(1);
    double* v[] = {&r.M, &r.NW, &r.OHM, &r.I, &r.E, &r.A, &r.Date};
    for (int i = 0; i < 7; ++i) *v[i] = sqlite3_column_double(s, 2 + i);
    r.Class = text(9);
    r.NEA = text(10);
    r.PHA = text(11);
    if (columns > 12) {
      r.Reference = text(12);
      r.Computer = text(13);
    }
  }
  sqlite3_finalize(s);
  sqlite3_close(db);
  return rows;
}

std::string Trimmed(const std::string& line, std::size_t first, std::size_t last)
{
  if (first > line.size()) return {};
  std::string s = line.substr(first - 1, last - first + 1);
  s.erase(0, s.find_first_not_of(' '));
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

double Number(const std::string& line, std::size_t first, std::size_t last)
{
  return std::stod(line.substr(first - 1, last - first + 1));
}

double Reduced(double degrees) { return std::fmod(degrees + 720.0, 360.0); }

std::string FileBytes(const fs::path& p)
{
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class MinorBodyImport : public ::testing::Test {
protected:
  void SetUp() override
  {
    Dir = fs::temp_directory_path() / ("sollumen-import-" + std::to_string(getpid()));
    fs::remove_all(Dir);
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }

  TImportSummary Import(const std::string& table, std::vector<TImportInput> inputs,
                        TImportMode mode = TImportMode::New, TImportCallbacks callbacks = {})
  {
    return ImportTables(Dir.string(), table, inputs, mode, callbacks);
  }
  std::vector<std::string> Files() const
  {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(Dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  fs::path Dir;
};

}  // namespace

TEST_F(MinorBodyImport, EveryAsteroidRowReadsBackAsItsSourceLine)
{
  const TImportSummary s = Import("Asteroids", {{Mpcorb, TElementFormat::MinorPlanets}});
  EXPECT_EQ(s.Imported, 7097);
  EXPECT_EQ(s.Skipped, 0);
  EXPECT_EQ(s.TableFile, "Asteroids.db");
  EXPECT_TRUE(IsTableFile((Dir / "Asteroids.db").string()));
  const auto rows = ReadTable(Dir / "Asteroids.db");
  ASSERT_EQ(rows.size(), 7097u);

  std::ifstream in(Mpcorb);
  std::string line;
  bool data = false;
  long long unnumbered = 0, checked = 0;
  static const char* classes[] = {"Main belt/other", "Atira", "Aten", "Apollo", "Amor",
                                  "Mars-crosser", "Hungaria", "Phocaea", "Hilda",
                                  "Jupiter Trojan", "Distant object"};
  while (std::getline(in, line)) {
    if (!data) {
      data = IsDashesLine(line);
      continue;
    }
    if (line.empty()) continue;
    std::string readable = Trimmed(line, 167, 194);
    long long no;
    if (readable[0] == '(') {
      no = std::stoll(readable.substr(1));
      readable = Trimmed(readable, readable.find(')') + 2, readable.size());
    } else {
      no = -++unnumbered;
    }
    SCOPED_TRACE(line);
    ASSERT_EQ(rows.count(no), 1u);
    const TRow& r = rows.at(no);
    EXPECT_EQ(r.Name, readable);
    EXPECT_EQ(r.M, Number(line, 27, 35));
    EXPECT_NEAR(r.NW, Reduced(Number(line, 38, 46) + Number(line, 49, 57)), 1e-9);
    EXPECT_EQ(r.OHM, Number(line, 49, 57));
    EXPECT_EQ(r.I, Number(line, 60, 68));
    EXPECT_EQ(r.E, Number(line, 71, 79));
    EXPECT_EQ(r.A, Number(line, 93, 103));
    int y, m, d;
    ASSERT_TRUE(UnpackEpoch(line.substr(20, 5), y, m, d));
    EXPECT_EQ(r.Date, CalendarJulianDate(y, m, d));
    EXPECT_EQ(std::fmod(r.Date, 1.0), 0.5);
    const int flags = std::stoi(line.substr(161, 4), nullptr, 16);
    EXPECT_EQ(r.Class, classes[flags & 0x3F]);
    EXPECT_EQ(r.NEA, flags & 0x0800 ? "Y" : "N");
    EXPECT_EQ(r.PHA, flags & 0x8000 ? "Y" : "N");
    EXPECT_EQ(r.Reference, Trimmed(line, 108, 116));
    EXPECT_EQ(r.Computer, Trimmed(line, 151, 160));
    ++checked;
  }
  EXPECT_EQ(checked, 7097);
  EXPECT_EQ(unnumbered, 3289);
  EXPECT_EQ(rows.at(-426).Name, "2002 PD153");
  EXPECT_EQ(rows.at(-1752).Name, "2014 FE72");
}

TEST_F(MinorBodyImport, EveryCometRowReadsBackAsItsSourceLineAndGzipReadsTheSame)
{
  // The comet file gzipped, as the MPC serves it.
  const fs::path gz = Dir / "CometEls.txt.gz";
  {
    const std::string bytes = FileBytes(Comets);
    gzFile f = gzopen(gz.c_str(), "wb");
    gzwrite(f, bytes.data(), static_cast<unsigned>(bytes.size()));
    gzclose(f);
  }
  const TImportSummary s = Import("Comets", {{gz.string(), TElementFormat::Comets}});
  EXPECT_EQ(s.Imported, 1567);
  EXPECT_EQ(s.Skipped, 2203);  // e >= 1
  const auto rows = ReadTable(Dir / "Comets.db");
  std::ifstream in(Comets);
  std::string line;
  long long n = 0, checked = 0;
  while (std::getline(in, line)) {
    ++n;
    SCOPED_TRACE(line);
    const double e = Number(line, 42, 49), q = Number(line, 31, 39);
    if (e >= 1) {
      EXPECT_EQ(rows.count(-n), 0u);
      continue;
    }
    ASSERT_EQ(rows.count(-n), 1u);
    const TRow& r = rows.at(-n);
    std::string name = Trimmed(line, 103, 158);
    EXPECT_EQ(r.Name, Trimmed(name.substr(0, 32), 1, 32));
    EXPECT_EQ(r.E, e);
    EXPECT_NEAR(r.A, q / (1 - e), 1e-9 * r.A);
    EXPECT_NEAR(r.NW, Reduced(Number(line, 52, 59) + Number(line, 62, 69)), 1e-9);
    EXPECT_EQ(r.OHM, Number(line, 62, 69));
    EXPECT_EQ(r.I, Number(line, 72, 79));
    EXPECT_EQ(r.Date, CalendarJulianDate(std::stoi(line.substr(81, 4)), std::stoi(line.substr(85, 2)),
                                         std::stoi(line.substr(87, 2))));
    EXPECT_TRUE(r.M >= 0 && r.M < 360);
    EXPECT_EQ(r.NEA + r.PHA, "NN");
    EXPECT_EQ(r.Reference, Trimmed(line, 160, line.size()).substr(0, 16));
    EXPECT_EQ(r.Computer, "");
    ++checked;
  }
  EXPECT_EQ(checked, 1567);
  EXPECT_EQ(rows.at(-3256).Name, "1P/Halley");
  EXPECT_EQ(rows.at(-743).Name, "C/1995 O1 (Hale-Bopp)");
}

TEST_F(MinorBodyImport, AppendKeepsNumbersUniqueAndBelowTheSmallest)
{
  Import("T", {{Comets, TElementFormat::Comets}});
  const long long cometMin = ReadTable(Dir / "T.db").begin()->first;
  EXPECT_EQ(cometMin, -3770);  // the last elliptic comet's line
  EXPECT_THROW(Import("T", {{Mpcorb, TElementFormat::MinorPlanets}}), EImportError);

  TImportSummary s = Import("T", {{Mpcorb, TElementFormat::MinorPlanets}}, TImportMode::Append);
  EXPECT_EQ(s.Imported, 7097);
  auto rows = ReadTable(Dir / "T.db");
  EXPECT_EQ(rows.size(), 1567u + 7097u);
  EXPECT_EQ(rows.begin()->first, cometMin - 3289);
  EXPECT_EQ(rows.at(cometMin - 426).Name, "2002 PD153");

  // The same file again: the numbered bodies are in the table already and
  // are reported; the unnumbered ones continue below.
  std::vector<TSkippedLine> skipped;
  TImportCallbacks cb;
  cb.Skipped = [&](const TSkippedLine& l) { skipped.push_back(l); };
  s = Import("T", {{Mpcorb, TElementFormat::MinorPlanets}}, TImportMode::Append, cb);
  EXPECT_EQ(s.Imported, 3289);
  EXPECT_EQ(s.Skipped, 3808);
  ASSERT_EQ(skipped.size(), 3808u);
  EXPECT_EQ(skipped[0].Line, 15);  // after the 14 header lines
  EXPECT_EQ(skipped[0].Reason, "number 1 is already in the table");
  rows = ReadTable(Dir / "T.db");
  EXPECT_EQ(rows.size(), 1567u + 7097u + 3289u);
  EXPECT_EQ(rows.begin()->first, cometMin - 2 * 3289);

  // Replacing starts the numbering afresh.
  Import("T", {{Mpcorb, TElementFormat::MinorPlanets}, {Comets, TElementFormat::Comets}},
         TImportMode::Replace);
  rows = ReadTable(Dir / "T.db");
  EXPECT_EQ(rows.size(), 7097u + 1567u);
  EXPECT_EQ(rows.at(-3289 - 3256).Name, "1P/Halley");
  EXPECT_EQ(Files(), std::vector<std::string>{"T.db"});
}

TEST_F(MinorBodyImport, InputsThatAreNoMpcFileCreateAndChangeNothing)
{
  Import("Old", {{Comets, TElementFormat::Comets}});
  const std::string old = FileBytes(Dir / "Old.db");
  const fs::path inputs = Dir / "in";
  fs::create_directories(inputs);
  std::ofstream(inputs / "image.png", std::ios::binary)
      << std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << std::string(5000, '\xff');
  std::ofstream(inputs / "empty.txt");
  std::ofstream(inputs / "hyperbolic.txt") << FileBytes(Comets).substr(0, 169);  // one e = 1 line

  auto message = [&](const std::string& table, TImportInput input, TImportMode mode) {
    try {
      Import(table, {{Mpcorb, TElementFormat::MinorPlanets}, input}, mode);
    } catch (const EImportError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  const std::string png = (inputs / "image.png").string();
  EXPECT_EQ(message("New", {png, TElementFormat::MinorPlanets}, TImportMode::New),
            png + ": not a text file, no MPC minor-planet format");
  EXPECT_EQ(message("Old", {(inputs / "empty.txt").string(), TElementFormat::Comets}, TImportMode::Replace),
            (inputs / "empty.txt").string() + ": no line in the MPC comet format");
  // The asteroid file read as comets is recognised as no comet file.
  EXPECT_NE(message("Old", {Mpcorb, TElementFormat::Comets}, TImportMode::Append).find("no line in the MPC comet"),
            std::string::npos);
  EXPECT_NE(message("Old", {(Dir / "missing").string(), TElementFormat::Comets}, TImportMode::Replace).find("no such file"),
            std::string::npos);
  EXPECT_THROW(Import("New", {{(inputs / "hyperbolic.txt").string(), TElementFormat::Comets}}),
               EImportError);
  EXPECT_THROW(Import("../Escape", {{Comets, TElementFormat::Comets}}), EImportError);
  // A foreign SQLite file of that name is not replaced.
  sqlite3* db;
  sqlite3_open((Dir / "Foreign.db").c_str(), &db);
  sqlite3_exec(db, "CREATE TABLE x (y)", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  EXPECT_THROW(Import("Foreign", {{Comets, TElementFormat::Comets}}, TImportMode::Replace), EImportError);

  EXPECT_EQ(FileBytes(Dir / "Old.db"), old);
  EXPECT_EQ(Files(), (std::vector<std::string>{"Foreign.db", "Old.db", "in"}));
}

TEST_F(MinorBodyImport, CancelAndKillLeaveTheOldTableIntact)
{
  Import("Old", {{Comets, TElementFormat::Comets}});
  const std::string old = FileBytes(Dir / "Old.db");
  const fs::path big = Dir / "big.DAT";
  synthetic::WriteMpcorb(big.string(), 300000, 7);

  // Cancelled while reading rows, and while making the indices.
  for (bool indexing : {false, true}) {
    std::atomic<bool> cancel{false};
    TImportCallbacks cb;
    cb.Cancel = &cancel;
    cb.Progress = [&](const TImportProgress& p) {
      if (p.Rows > 1000 && (!indexing || p.Indexing)) cancel = true;
    };
    EXPECT_THROW(Import("Old", {{big.string(), TElementFormat::MinorPlanets}}, TImportMode::Replace, cb),
                 EImportCancelled);
    EXPECT_EQ(FileBytes(Dir / "Old.db"), old);
    EXPECT_EQ(Files(), (std::vector<std::string>{"Old.db", "big.DAT"}));
  }

  // Killed mid-way: the temporary file stays behind but is no table, and
  // the next import clears it away.
  const pid_t child = fork();
  if (child == 0) {
    try {
      Import("Old", {{big.string(), TElementFormat::MinorPlanets}}, TImportMode::Replace);
    } catch (...) {
    }
    _exit(0);
  }
  fs::path temp;
  for (int i = 0; i < 2000 && temp.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    for (const auto& e : fs::directory_iterator(Dir))
      if (e.path().extension() == ".tmp" && fs::file_size(e.path()) > 1000000) temp = e.path();
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  ASSERT_FALSE(temp.empty()) << "the import never got going";
  EXPECT_TRUE(fs::exists(temp));
  EXPECT_FALSE(IsTableFile(temp.string()));
  EXPECT_EQ(FileBytes(Dir / "Old.db"), old);
  EXPECT_EQ(RemoveStaleImportFiles(Dir.string()), 1);
  EXPECT_EQ(Files(), (std::vector<std::string>{"Old.db", "big.DAT"}));
}

// Element files and tables from elsewhere: gzip members followed by more
// members or by plain text lose no line; names with control characters are
// refused; new numbers stay negative and unique whatever the table holds.
TEST_F(MinorBodyImport, NoLineLostAndNumbersSoundWhateverTheFiles)
{
  const std::string text = FileBytes(Comets);
  const std::size_t half = text.find('\n', text.size() / 2) + 1;
  auto gzip = [](const std::string& bytes) {
    const fs::path tmp = fs::temp_directory_path() / ("sollumen-member-" + std::to_string(getpid()));
    gzFile f = gzopen(tmp.c_str(), "wb");
    gzwrite(f, bytes.data(), static_cast<unsigned>(bytes.size()));
    gzclose(f);
    std::string packed = FileBytes(tmp);
    fs::remove(tmp);
    return packed;
  };
  const TImportSummary whole = Import("Plain", {{Comets, TElementFormat::Comets}});
  for (const std::string& mixed : {gzip(text.substr(0, half)) + gzip(text.substr(half)),
                                   gzip(text.substr(0, half)) + text.substr(half)}) {
    const fs::path file = Dir / "mixed.txt.gz";
    std::ofstream(file, std::ios::binary) << mixed;
    const TImportSummary s = Import("Mixed", {{file.string(), TElementFormat::Comets}}, TImportMode::Replace);
    EXPECT_EQ(s.Imported, whole.Imported);
    EXPECT_EQ(s.Skipped, whole.Skipped);
  }
  // Damage after the first member is reported, not taken for the end.
  const fs::path damaged = Dir / "damaged.txt.gz";
  std::string second = gzip(text.substr(half));
  second[second.size() / 2] ^= 0x55;
  std::ofstream(damaged, std::ios::binary) << gzip(text.substr(0, half)) + second;
  EXPECT_THROW(Import("Damaged", {{damaged.string(), TElementFormat::Comets}}), EImportError);

  EXPECT_THROW(Import("Two\nlines", {{Comets, TElementFormat::Comets}}), EImportError);
  EXPECT_THROW(Import("Tab\tbed", {{Comets, TElementFormat::Comets}}), EImportError);
  EXPECT_FALSE(fs::exists(Dir / "Two\nlines.db"));

  // A table holding the lowest number: appended comets take free numbers
  // above it, all negative and none twice.
  auto exec = [&](const std::string& table, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open((Dir / table).c_str(), &db);
    ExecSql(db, sql);
    sqlite3_close(db);
  };
  exec("Plain.db", "UPDATE bodies SET NO = -2147483647 WHERE NO = (SELECT min(NO) FROM bodies);"
                   "UPDATE bodies SET NO = -2 WHERE NO = (SELECT max(NO) FROM bodies WHERE NO < 0)");
  const TImportSummary more = Import("Plain", {{Comets, TElementFormat::Comets}}, TImportMode::Append);
  EXPECT_EQ(more.Imported, whole.Imported);
  const auto rows = ReadTable(Dir / "Plain.db");
  EXPECT_EQ(rows.size(), std::size_t(2 * whole.Imported));
  EXPECT_EQ(rows.begin()->first, -2147483647LL);
  EXPECT_LT(rows.rbegin()->first, 0);
  EXPECT_EQ(rows.count(-1), 1u);

  // A number beyond 32 bits is no body of ours: the append says so.
  exec("Plain.db", "UPDATE bodies SET NO = -3000000000 WHERE NO = -2147483647");
  try {
    Import("Plain", {{Comets, TElementFormat::Comets}}, TImportMode::Append);
    ADD_FAILURE() << "appended to a table with NO = -3000000000";
  } catch (const EImportError& e) {
    EXPECT_NE(std::string(e.what()).find("-3000000000"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("Plain.db"), std::string::npos) << e.what();
  }
}

// The program reads a table while an import appends to it: no read waits
// out its time or fails, whether the append commits or is killed early or
// late; after a kill the next reader sees the old rows and no journal stays.
TEST_F(MinorBodyImport, ReadersGoOnWhileAnAppendRunsOrIsKilled)
{
  const fs::path big = Dir / "big.DAT";
  synthetic::WriteMpcorb(big.string(), 100000, 3);
  for (const int killAfterMs : {100, 1000, -1}) {
    SCOPED_TRACE("kill after " + std::to_string(killAfterMs) + " ms");
    Import("Shared", {{Comets, TElementFormat::Comets}}, TImportMode::Replace);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      try {
        Import("Shared", {{big.string(), TElementFormat::MinorPlanets}}, TImportMode::Append);
      } catch (...) {
        _exit(1);
      }
      _exit(0);
    }
    TTable table;
    table.SetDatabaseName(Dir.string());
    table.SetTableName("Shared.db");
    std::vector<std::string> failures;
    int reads = 0;
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    bool killed = false;
    while (waitpid(child, &status, WNOHANG) == 0) {
      if (killAfterMs >= 0 && std::chrono::steady_clock::now() - start > std::chrono::milliseconds(killAfterMs)) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        killed = true;
        break;
      }
      try {
        table.Close();
        table.Open();
        table.SetIndexName("IDXNAME");
        table.RowsAt(0, 40);
        ++reads;
      } catch (const ETableError& e) {
        failures.push_back(e.what());
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    try {
      table.Close();
      table.Open();
      // All or nothing: a kill leaves the old rows or, when it came after
      // the commit, all the new ones; an append left alone adds them all.
      const int count = table.RecordCount();
      if (killed) EXPECT_TRUE(count == 1567 || count == 1567 + 100000) << count;
      else EXPECT_EQ(count, 1567 + 100000);
    } catch (const ETableError& e) {
      failures.push_back(e.what());
    }
    table.Close();
    EXPECT_TRUE(failures.empty()) << failures.size() << " failed reads, the first: " << failures[0];
    EXPECT_GT(reads, 0);
    EXPECT_FALSE(fs::exists(Dir / "Shared.db-journal"));
  }
}
