// The minor-body table at the size of the whole MPC catalogue (1.4 million
// rows with the seven indices): opening and counting, the first screenful of
// a grid after a change of order (the first time per index, and again), a
// nearest match, a screenful at a random position, and every row read with
// ReadElements.
//
// The table is written once, straight through SQLite, and kept in /tmp
// between runs (remove /tmp/sollumen-bench/ to write it again).
#include "SyntheticCatalogue.h"

#include "database/MinorBodyTable.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>

namespace {

const std::string BenchDir = "/tmp/sollumen-bench";
const std::string BenchTable = "table-1400000-v1.db";
constexpr int ScreenRows = 40;

std::string Letters(std::mt19937& rng, int count, bool capital)
{
  std::string s;
  for (int i = 0; i < count; ++i)
    s += char((i == 0 && capital ? 'A' : 'a') + rng() % 26);
  return s;
}

// A name as the MPC writes them: a few numbered bodies with names, most with
// provisional designations ("2015 XK123"), unnumbered ones after them.
std::string SyntheticName(std::mt19937& rng, int no)
{
  if (no > 0 && no < 25000) return Letters(rng, 4 + int(rng() % 8), true);
  return std::to_string(1990 + rng() % 35) + " " + Letters(rng, 1, true) +
         char('A' + rng() % 25) + std::to_string(rng() % 300);
}

bool TableReady(const std::string& path)
{
  if (!IsTableFile(path)) return false;
  TTable t;
  t.SetDatabaseName(BenchDir);
  t.SetTableName(BenchTable);
  try {
    t.Open();
    return t.RecordCount() == CatalogueSize && t.IndexDefs().size() == 7;
  } catch (const ETableError&) {
    return false;
  }
}

void WriteTable(const std::string& path)
{
  const std::string temp = path + ".part";
  std::filesystem::remove(temp);
  sqlite3* db = nullptr;
  sqlite3_open(temp.c_str(), &db);
  ExecSql(db, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; BEGIN");
  CreateTableSchema(db, true);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO bodies VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)", -1,
                     &insert, nullptr);
  const char* classes[] = {"MBA", "MBA", "MBA", "Hungaria", "Apollo", "Aten",
                           "Amor", "Hilda", "Jupiter Trojan", "Distant Object"};
  std::mt19937 rng(1404);
  const int numbered = 1200000;
  for (int k = 0; k < CatalogueSize; ++k) {
    const int no = k < numbered ? k + 1 : numbered - k - 1;  // unnumbered below 0
    const TOrbitElements el = SyntheticElements(rng);
    const std::string name = SyntheticName(rng, no);
    const bool nea = el.AxisAU * (1 - el.Ecc) < 1.3L;
    sqlite3_bind_int(insert, 1, no);
    sqlite3_bind_text(insert, 2, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(insert, 3, double(el.MeanLon));
    sqlite3_bind_double(insert, 4, double(el.PeriLon));
    sqlite3_bind_double(insert, 5, double(el.NodeLon));
    sqlite3_bind_double(insert, 6, double(el.Incl));
    sqlite3_bind_double(insert, 7, double(el.Ecc));
    sqlite3_bind_double(insert, 8, double(el.AxisAU));
    sqlite3_bind_double(insert, 9, double(el.EpochJD));
    sqlite3_bind_text(insert, 10, nea ? "Apollo" : classes[rng() % 10], -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 11, nea ? "Y" : "N", -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 12, nea && rng() % 8 == 0 ? "Y" : "N", -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 13, "MPO123456", -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 14, "MPCW", -1, SQLITE_STATIC);
    if (sqlite3_step(insert) != SQLITE_DONE) throw ETableError(sqlite3_errmsg(db));
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  for (const TIndexDef& index : StandardIndices()) AddNamedIndex(db, index);
  ExecSql(db, "COMMIT");
  sqlite3_close(db);
  std::filesystem::rename(temp, path);
}

void EnsureTable()
{
  static bool ready = false;
  if (ready) return;
  std::filesystem::create_directories(BenchDir);
  const std::string path = BenchDir + "/" + BenchTable;
  if (!TableReady(path)) {
    std::fprintf(stderr, "writing the benchmark table %s ...\n", path.c_str());
    WriteTable(path);
  }
  ready = true;
}

void OpenBenchTable(TTable& t)
{
  EnsureTable();
  t.SetDatabaseName(BenchDir);
  t.SetTableName(BenchTable);
  t.Open();
}

double ProcessCpuSeconds()
{
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

// Rows per second of wall time, and per second of the process's CPU time
// (all threads), which a busy machine distorts less.
void RowRates(benchmark::State& state, std::int64_t rows, double cpuSeconds)
{
  state.counters["rows_per_s"] = benchmark::Counter(double(rows), benchmark::Counter::kIsRate);
  state.counters["rows_per_cpu_s"] = double(rows) / cpuSeconds;
}

const char* const IndexArgs[] = {"", "IDXNAME", "IDXA", "IDXE", "IDXINCL", "IDXCL", "IDXNEA", "IDXPHA"};

void BM_OpenAndCount(benchmark::State& state)
{
  EnsureTable();
  TTable t;
  t.SetDatabaseName(BenchDir);
  t.SetTableName(BenchTable);
  for (auto _ : state) {
    t.Open();
    benchmark::DoNotOptimize(t.RecordCount());
    t.Close();
  }
}
BENCHMARK(BM_OpenAndCount)->Unit(benchmark::kMillisecond);

// A freshly opened table sorted by an index for the first time.
void BM_FirstScreenFirstTime(benchmark::State& state)
{
  const std::string index = IndexArgs[state.range(0)];
  state.SetLabel(index.empty() ? "NO" : index);
  TTable t;
  for (auto _ : state) {
    state.PauseTiming();
    t.Close();
    OpenBenchTable(t);
    state.ResumeTiming();
    t.SetIndexName(index);
    benchmark::DoNotOptimize(t.RowsAt(0, ScreenRows));
  }
}
BENCHMARK(BM_FirstScreenFirstTime)->DenseRange(0, 7)->Iterations(2)->Unit(benchmark::kMillisecond);

// The same, then a screenful further down: the whole order's row list read.
void BM_FirstScrollFirstTime(benchmark::State& state)
{
  const std::string index = IndexArgs[state.range(0)];
  state.SetLabel(index.empty() ? "NO" : index);
  TTable t;
  for (auto _ : state) {
    state.PauseTiming();
    t.Close();
    OpenBenchTable(t);
    state.ResumeTiming();
    t.SetIndexName(index);
    benchmark::DoNotOptimize(t.RowsAt(0, ScreenRows));
    benchmark::DoNotOptimize(t.RowsAt(CatalogueSize / 2, ScreenRows));
  }
}
BENCHMARK(BM_FirstScrollFirstTime)->DenseRange(0, 7)->Iterations(2)->Unit(benchmark::kMillisecond);

// Back to an order the table has been in before.
void BM_FirstScreenAgain(benchmark::State& state)
{
  const std::string index = IndexArgs[state.range(0)];
  state.SetLabel(index.empty() ? "NO" : index);
  TTable t;
  OpenBenchTable(t);
  t.SetIndexName(index);
  t.RowsAt(0, ScreenRows);
  for (auto _ : state) {
    state.PauseTiming();
    t.SetIndexName(index.empty() ? "IDXNEA" : "");
    state.ResumeTiming();
    t.SetIndexName(index);
    benchmark::DoNotOptimize(t.RowsAt(0, ScreenRows));
  }
}
BENCHMARK(BM_FirstScreenAgain)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Nearest match of a name prefix, and of a semi-major axis.
void BM_NearestMatch(benchmark::State& state)
{
  const bool byName = state.range(0) == 0;
  state.SetLabel(byName ? "IDXNAME" : "IDXA");
  TTable t;
  OpenBenchTable(t);
  t.SetIndexName(byName ? "IDXNAME" : "IDXA");
  t.RowsAt(0, ScreenRows);
  std::mt19937 rng(7);
  for (auto _ : state) {
    state.PauseTiming();
    const std::string value = byName ? Letters(rng, 3, true) : std::to_string(1 + rng() % 4000 / 1000.0);
    state.ResumeTiming();
    benchmark::DoNotOptimize(t.FindNearest(value));
    benchmark::DoNotOptimize(t.RowsAt(t.Position(), ScreenRows));
  }
}
BENCHMARK(BM_NearestMatch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ScreenAtRandomPosition(benchmark::State& state)
{
  const std::string index = IndexArgs[state.range(0)];
  state.SetLabel(index.empty() ? "NO" : index);
  TTable t;
  OpenBenchTable(t);
  t.SetIndexName(index);
  t.RowsAt(0, ScreenRows);
  std::mt19937 rng(11);
  for (auto _ : state)
    benchmark::DoNotOptimize(t.RowsAt(std::int64_t(rng() % CatalogueSize), ScreenRows));
}
BENCHMARK(BM_ScreenAtRandomPosition)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// "Show all objects": every row in the active order through ReadElements.
void BM_ForEachRowReadElements(benchmark::State& state)
{
  const std::string index = IndexArgs[state.range(0)];
  state.SetLabel(index.empty() ? "NO" : index);
  TTable t;
  OpenBenchTable(t);
  t.SetIndexName(index);
  std::int64_t rows = 0;
  const double cpu = ProcessCpuSeconds();
  for (auto _ : state) {
    long double sum = 0;
    t.ForEachRow([&](const TMinorBodyRow& row) {
      sum += ReadElements(row).DailyMotion;
      ++rows;
    });
    benchmark::DoNotOptimize(sum);
  }
  RowRates(state, rows, ProcessCpuSeconds() - cpu);
}
BENCHMARK(BM_ForEachRowReadElements)->Arg(0)->Arg(2)->Iterations(2)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// The peer of the above: a plain loop over SQLite reading the same columns
// into numbers and pointers, without rows, copies or elements.
void BM_PlainSqliteLoop(benchmark::State& state)
{
  EnsureTable();
  sqlite3* db = nullptr;
  sqlite3_open_v2((BenchDir + "/" + BenchTable).c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  ExecSql(db, "PRAGMA mmap_size = 4294967296");
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT * FROM bodies ORDER BY NO", -1, &st, nullptr);
  std::int64_t rows = 0;
  const double cpu = ProcessCpuSeconds();
  for (auto _ : state) {
    double sum = 0;
    std::size_t bytes = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
      sum += sqlite3_column_int(st, 0);
      bytes += sqlite3_column_bytes(st, 1);
      for (int c = 2; c <= 8; ++c) sum += sqlite3_column_double(st, c);
      for (int c = 9; c <= 13; ++c) bytes += sqlite3_column_bytes(st, c);
      ++rows;
    }
    sqlite3_reset(st);
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(bytes);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  RowRates(state, rows, ProcessCpuSeconds() - cpu);
}
BENCHMARK(BM_PlainSqliteLoop)->Iterations(2)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
