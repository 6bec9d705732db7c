// Tables from elsewhere: what opening and reading them costs. The whole
// catalogue (1.4 million rows, SyntheticTable.h) opened and counted and
// read in name order, as every command does, next to the same count taken
// from the smallest index (what SQLite would use, and what a damaged index
// would make wrong); and crafted tables of 20,000 rows (the bodies or the
// index list swapped for a view that recurses or cross-joins, an index
// hollowed out, NULLs everywhere) opened and read as the commands do.
// Counters: "seconds" per command, SQLite's peak memory and the bytes of
// temporary files as multiples of the file's size. The targets: every
// command under 5 s, memory and temporary storage under 20 times the file.
#include "SyntheticTable.h"

#include "database/MinorBodyTable.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

void BM_CatalogueOpenAndCount(benchmark::State& state)
{
  const std::string dir = SyntheticTableDir();
  for (auto _ : state) {
    TTable table;
    table.SetDatabaseName(dir);
    table.SetTableName(SyntheticTableName);
    table.Open();
    benchmark::DoNotOptimize(table.RecordCount());
  }
}
BENCHMARK(BM_CatalogueOpenAndCount)->Unit(benchmark::kMillisecond);

// The count from the smallest index, as a plain SQLite count takes it.
void BM_CatalogueCountFromSmallestIndex(benchmark::State& state)
{
  const std::string path = SyntheticTableDir() + "/" + SyntheticTableName;
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_exec(db, "PRAGMA mmap_size = 4294967296", nullptr, nullptr, nullptr);
  for (auto _ : state) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM bodies", -1, &st, nullptr);
    sqlite3_step(st);
    benchmark::DoNotOptimize(sqlite3_column_int64(st, 0));
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
}
BENCHMARK(BM_CatalogueCountFromSmallestIndex)->Unit(benchmark::kMillisecond);

void BM_CatalogueNameOrder(benchmark::State& state)
{
  const std::string dir = SyntheticTableDir();
  for (auto _ : state) {
    TTable table;
    table.SetDatabaseName(dir);
    table.SetTableName(SyntheticTableName);
    table.Open();
    table.SetIndexName("IDXNAME");
    benchmark::DoNotOptimize(table.RowsAt(700000, 40));
  }
}
BENCHMARK(BM_CatalogueNameOrder)->Iterations(3)->Unit(benchmark::kMillisecond);

const char* const Crafts[] = {
    // 0: the bodies a recursive view
    "PRAGMA writable_schema = ON; UPDATE sqlite_schema SET type = 'view', rootpage = 0, sql = "
    "'CREATE VIEW bodies AS WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) "
    "SELECT x AS NO, x AS NAME, x AS M, x AS NW, x AS OHM, x AS I, x AS E, x AS A, x AS DATE, "
    "x AS CLASS, x AS ISNEA, x AS ISPHA FROM n' WHERE name = 'bodies';"
    "DELETE FROM sqlite_schema WHERE type = 'index' AND tbl_name = 'bodies'",
    // 1: the index list a cross join with long texts
    "PRAGMA writable_schema = ON; UPDATE sqlite_schema SET type = 'view', rootpage = 0, sql = "
    "'CREATE VIEW sollumen_indices AS SELECT a.NO AS seq, printf(''%.100000c'', ''x'') AS name, "
    "''A'' AS fields FROM bodies a, bodies b' WHERE name = 'sollumen_indices';"
    "DELETE FROM sqlite_schema WHERE name = 'sqlite_autoindex_sollumen_indices_1'",
    // 2: an index listing a tenth of the rows
    "DROP INDEX IDXNAME; CREATE INDEX IDXNAME ON bodies (NAME, A) WHERE NO % 10 = 0;"
    "PRAGMA writable_schema = ON; UPDATE sqlite_schema SET sql = "
    "'CREATE INDEX IDXNAME ON bodies (NAME, A)' WHERE name = 'IDXNAME'",
    // 3: NULLs in every element
    "UPDATE bodies SET M = NULL, A = 'x', NAME = NULL",
    // 4: the index on names reshaped to sort on a computed text
    "DROP INDEX IDXNAME; CREATE INDEX IDXNAME ON bodies (upper(NAME))",
};

void BM_CraftedTable(benchmark::State& state)
{
  const fs::path dir = fs::temp_directory_path() / "sollumen-bench-crafted";
  fs::create_directories(dir);
  const std::string pristine = (dir / "Pristine.db").string();
  if (!fs::exists(pristine)) {
    sqlite3* db = nullptr;
    sqlite3_open((dir / "tmp.db").c_str(), &db);
    ExecSql(db, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF");
    CreateTableSchema(db, true);
    ExecSql(db, "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n LIMIT 20000) "
                "INSERT INTO bodies SELECT x, 'Body ' || (x * 7919 % 20000), 10, 150, 80, 5, 0.1,"
                " 2 + (x % 50) / 10.0, 2460600.5, 'MBA', 'N', 'N', 'MPO', 'MPC' FROM n");
    for (const TIndexDef& index : StandardIndices()) AddNamedIndex(db, index);
    sqlite3_close(db);
    fs::rename(dir / "tmp.db", pristine);
  }
  const std::string path = (dir / "Crafted.db").string();
  fs::copy_file(pristine, path, fs::copy_options::overwrite_existing);
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db, Crafts[state.range(0)], nullptr, nullptr, nullptr);
  sqlite3_close(db);
  const double size = double(fs::file_size(path));
  double slowest = 0, memory = 0;
  std::string outcome = "read";
  for (auto _ : state) {
    sqlite3_memory_highwater(1);
    const auto start = std::chrono::steady_clock::now();
    TTable table;
    table.SetDatabaseName(dir.string());
    table.SetTableName("Crafted.db");
    try {
      table.Open();
      for (const char* index : {"", "IDXNAME", "IDXA"}) {
        try {
          table.SetIndexName(index);
          table.ForEachRow([](const TMinorBodyRow& row) {
            try {
              benchmark::DoNotOptimize(ReadElements(row));
            } catch (const std::exception&) {
            }
          });
        } catch (const ETableError&) {
          outcome = "index refused";
        }
      }
    } catch (const ETableError&) {
      outcome = "refused";
    }
    slowest = std::max(slowest, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    memory = std::max(memory, double(sqlite3_memory_highwater(1)));
  }
  state.counters["seconds"] = slowest;
  state.counters["memory/size"] = memory / size;
  state.SetLabel(outcome);
}
BENCHMARK(BM_CraftedTable)->DenseRange(0, 4)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
