// Seeded damaged and crafted copies of a table go through everything the
// commands do with a table: no crash, no hang, no unbounded memory, every
// refusal a table error naming the file, every refused row named, reading
// never changing the file. The outcomes are counted, so that a change that
// makes every copy fail at the open shows.
#include "TableMutator.h"
#include "TableWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include <unistd.h>

namespace fs = std::filesystem;

TEST(TableMutation, DamagedAndCraftedTablesAreReadOrRefusedByName)
{
  const fs::path dir = fs::temp_directory_path() / ("sollumen-table-mutation-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::vector<TMinorBodyRow> rows;
  for (int k = 0; k < 400; ++k) {
    TMinorBodyRow r = BeltRow(k < 350 ? k + 1 : -(k - 349), "Body " + std::to_string(k * 37 % 400),
                              1.5 + (k * 13 % 40) / 10.0, (k % 9) / 10.0, k % 30);
    r.Class = k % 3 ? "MBA" : "Amor";
    r.IsPHA = k % 11 ? "N" : "Y";
    rows.push_back(r);
  }
  WriteTable(dir.string(), "Pristine.db", rows);
  const tablemut::Bytes pristine = tablemut::ReadBytes((dir / "Pristine.db").string());
  const std::string file = "Mutant.db";
  const std::string path = (dir / file).string();

  std::mt19937 rnd(20261209);
  const int inputs = 240;
  int opened = 0, refused = 0, withErrors = 0, withRefusedRows = 0;
  double slowest = 0;
  std::size_t heaviest = 0;
  for (int i = 0; i < inputs; ++i) {
    fs::remove(path);
    fs::remove(path + "-journal");
    std::string what;
    if (i % 2 == 0) {
      tablemut::WriteBytes(path, tablemut::PageMutant(pristine, rnd));
      what = "pages";
    } else {
      tablemut::WriteBytes(path, pristine);
      what = tablemut::SqlMutation(rnd);
      if (rnd() % 2) what += "; " + tablemut::SqlMutation(rnd);
      tablemut::Tamper(path, what);
    }
    SCOPED_TRACE("input " + std::to_string(i) + ": " + what);
    sqlite3_memory_highwater(1);
    const auto start = std::chrono::steady_clock::now();
    const tablemut::TOutcome out = tablemut::Exercise(dir.string(), file);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    slowest = std::max(slowest, seconds);
    heaviest = std::max(heaviest, std::size_t(sqlite3_memory_highwater(1)));
    EXPECT_EQ(out.Broken, "");
    // No hang: a command runs in well under the five seconds the program
    // allows any table (the whole set of commands here, on 400 rows).
    EXPECT_LT(seconds, 5.0);
    opened += out.Opened;
    refused += !out.Opened;
    withErrors += out.TableErrors > 0;
    withRefusedRows += out.RefusedRows > 0;
  }
  // SQLite's memory stays within 20 times the file and the page cache's start.
  EXPECT_LT(heaviest, 20 * pristine.size() + (4u << 20));
  std::printf("%d mutants: %d opened, %d refused at the open, %d with refused operations, "
              "%d with refused rows; slowest %.3f s, most SQLite memory %zu bytes\n",
              inputs, opened, refused, withErrors, withRefusedRows, slowest, heaviest);
  EXPECT_EQ(opened + refused, inputs);
  // Both kinds of outcome occur: the mutations reach past the open.
  EXPECT_GT(opened, inputs / 4);
  EXPECT_GT(refused, inputs / 10);
  EXPECT_GT(withRefusedRows, 0);
  fs::remove_all(dir);
}
