// Writes minor-body tables with given rows straight through SQLite, as the
// importer would, so that tests of the windows need no importer.
#pragma once

#include "database/MinorBodyTable.h"
#include "database/TableSchema.h"

#include <sqlite3.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

// A table file `fileName` in `directory` holding the rows, with Reference
// and Computer, and with the seven named indices unless `indices` is false.
inline void WriteTable(const std::string& directory, const std::string& fileName,
                       const std::vector<TMinorBodyRow>& rows, bool indices = true)
{
  const std::string path = (std::filesystem::path(directory) / fileName).string();
  std::filesystem::remove(path);
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot create " + path);
  CreateTableSchema(db, true);
  ExecSql(db, "BEGIN");
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO bodies (NO, NAME, M, NW, OHM, I, E, A, DATE, CLASS, ISNEA,"
                     " ISPHA, Reference, Computer) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                     -1, &insert, nullptr);
  for (const TMinorBodyRow& r : rows) {
    sqlite3_bind_int64(insert, 1, r.No);
    sqlite3_bind_text(insert, 2, r.Name.c_str(), -1, SQLITE_TRANSIENT);
    const double numbers[] = {r.M, r.NW, r.OHM, r.I, r.E, r.A, r.Date};
    for (int i = 0; i < 7; ++i) sqlite3_bind_double(insert, 3 + i, numbers[i]);
    sqlite3_bind_text(insert, 10, r.Class.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 11, r.IsNEA.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 12, r.IsPHA.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 13, r.Reference.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 14, r.Computer.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  ExecSql(db, "COMMIT");
  if (indices)
    for (const TIndexDef& index : StandardIndices()) AddNamedIndex(db, index);
  sqlite3_close(db);
}

// A row with plain main-belt elements.
inline TMinorBodyRow BeltRow(int no, const std::string& name, double a, double e = 0.1,
                             double incl = 5)
{
  TMinorBodyRow r;
  r.No = no;
  r.Name = name;
  r.M = 10;
  r.NW = 150;
  r.OHM = 80;
  r.I = incl;
  r.E = e;
  r.A = a;
  r.Date = 2460600.5;
  r.Class = "MBA";
  r.IsNEA = "N";
  r.IsPHA = "N";
  r.Reference = "MPO" + std::to_string(no);
  r.Computer = "MPC";
  return r;
}
