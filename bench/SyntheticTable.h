// A minor-body table of the size of the Minor Planet Center's whole
// catalogue (1.4 million rows, elements as SyntheticCatalogue.h makes them,
// names of random letters), with its seven named indices. Written once
// straight through SQLite and kept in the temporary directory, as building
// it takes a while.
#pragma once

#include "SyntheticCatalogue.h"

#include "database/TableSchema.h"

#include <sqlite3.h>

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

inline const std::string SyntheticTableName = "synthetic-1400000.db";

// The directory holding the table (made when missing).
inline std::string SyntheticTableDir()
{
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "sollumen-bench-tables";
  const std::filesystem::path path = dir / SyntheticTableName;
  if (std::filesystem::exists(path)) return dir.string();
  std::filesystem::create_directories(dir);
  const std::string temporary = (dir / ("~" + SyntheticTableName)).string();
  std::filesystem::remove(temporary);
  sqlite3* db = nullptr;
  if (sqlite3_open(temporary.c_str(), &db) != SQLITE_OK)
    throw std::runtime_error("cannot create " + temporary);
  ExecSql(db, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF");
  CreateTableSchema(db, true);
  ExecSql(db, "BEGIN");
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO bodies (NO, NAME, M, NW, OHM, I, E, A, DATE, CLASS, ISNEA,"
                     " ISPHA, Reference, Computer) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                     -1, &insert, nullptr);
  std::mt19937 rng(1404);
  std::uniform_int_distribution<int> letter(0, 25), length(4, 12);
  static const char* const classes[] = {"MBA", "APO", "ATE", "AMO", "TJN", "CEN", "TNO"};
  for (int no = 1; no <= CatalogueSize; ++no) {
    const TOrbitElements el = SyntheticElements(rng);
    std::string name(1, char('A' + letter(rng)));
    for (int k = length(rng); k > 0; --k) name += char('a' + letter(rng));
    const double m = std::fmod(double(el.MeanLon - el.PeriLon) + 720.0, 360.0);
    const double values[] = {m, double(el.PeriLon), double(el.NodeLon), double(el.Incl),
                             double(el.Ecc), double(el.AxisAU), double(el.EpochJD)};
    sqlite3_bind_int64(insert, 1, no);
    sqlite3_bind_text(insert, 2, name.c_str(), -1, SQLITE_TRANSIENT);
    for (int i = 0; i < 7; ++i) sqlite3_bind_double(insert, 3 + i, values[i]);
    const bool nea = el.AxisAU * (1 - el.Ecc) < 1.3L;
    sqlite3_bind_text(insert, 10, classes[no % 7], -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 11, nea ? "Y" : "N", -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 12, nea && no % 5 == 0 ? "Y" : "N", -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 13, "MPO123456", -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 14, "MPCW", -1, SQLITE_STATIC);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  ExecSql(db, "COMMIT");
  for (const TIndexDef& index : StandardIndices()) AddNamedIndex(db, index);
  sqlite3_close(db);
  std::filesystem::rename(temporary, path);
  return dir.string();
}
