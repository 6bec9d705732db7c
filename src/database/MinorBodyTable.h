// A handle on one minor-body table: directed at a directory and a table file
// name, opened shared (read-only) or exclusively, then read row by row in
// the order of its active index, or by position in that order (row k of the
// sorted table), as the browser's grid needs for tables of millions of rows.
#pragma once

#include "astro/astronomy404.h"  // TOrbitElements
#include "database/TableSchema.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// One row of a minor-body table, with the field meanings and units of the
// schema. Reference and Computer are empty when the table lacks them.
struct TMinorBodyRow {
  std::int32_t No = 0;
  std::string Name;
  double M = 0, NW = 0, OHM = 0, I = 0, E = 0, A = 0, Date = 0;
  std::string Class, IsNEA, IsPHA;
  std::string Reference, Computer;
};

// The element set a row stands for: mean daily motion 0.9856262 / a^1.5 and
// mean longitude M + NW. Throws EInvalidElements (SSClasses.h) naming the
// row when it makes no ellipse (A <= 0, E outside [0, 1), numbers not finite).
TOrbitElements ReadElements(const TMinorBodyRow& row);

// The table files of a directory (file names with their extension, only
// files of ours), sorted bytewise. Throws ETableError when the directory
// cannot be read.
std::vector<std::string> ListTables(const std::string& directory);

// Creates an empty table "<name>" (a file name with its extension) from the
// schema, with the primary and the seven named indices; throws ETableError,
// also when the file exists.
void CreateTable(const std::string& directory, const std::string& fileName);

// Deletes a table file and SQLite's journal, WAL and SHM files beside it.
void DeleteTable(const std::string& directory, const std::string& fileName);

class TTable {
public:
  TTable();
  ~TTable();
  TTable(const TTable&) = delete;
  TTable& operator=(const TTable&) = delete;

  // Where the table is; changing either closes the table.
  void SetDatabaseName(const std::string& directory);
  void SetTableName(const std::string& fileName);
  const std::string& DatabaseName() const;
  const std::string& TableName() const;

  void Open(bool exclusive = false);  // throws ETableError
  void Close();                       // closing a closed table does nothing
  bool Active() const;

  // The count of the whole table.
  std::int64_t RecordCount() const;
  bool HasField(const std::string& field) const;

  // The active index: "" is the primary index (NO). Throws ETableError for
  // an unknown name. The cursor goes to the first row.
  void SetIndexName(const std::string& name);
  const std::string& IndexName() const;
  std::vector<TIndexDef> IndexDefs() const;
  // The definition of a named index; throws ETableError when it is missing.
  TIndexDef IndexDef(const std::string& name) const;
  // Adds a named index; throws ETableError when the name exists. Needs the
  // table open exclusively.
  void AddIndex(const TIndexDef& index);

  // The cursor, in the active index's order. Position is 0-based; Eof and
  // Bof as after stepping past the last or before the first row.
  void First();
  void Next();
  void Prior();
  void Last();
  bool Eof() const;
  bool Bof() const;
  std::int64_t Position() const;
  void MoveTo(std::int64_t position);
  // A bookmark is the row's NO; going to it moves the cursor to that row.
  std::int32_t Bookmark() const;
  void GotoBookmark(std::int32_t no);
  // Moves to the first row whose key in the active index is at or after
  // `value` (compared with the index's first field; "" = first row);
  // returns its position (RecordCount() when past the end).
  std::int64_t FindNearest(const std::string& value);

  // The current row, and its fields by name.
  const TMinorBodyRow& Current() const;
  double FieldAsFloat(const std::string& field) const;
  std::string FieldAsString(const std::string& field) const;
  // ReadElements of the current row; does nothing while the table is closed.
  void ReadElements(TOrbitElements& elements) const;

  // Random access in the active index's order: up to `count` rows from
  // `position`, for a grid; and the position of the row with NO = `no`
  // (-1 when there is none).
  std::vector<TMinorBodyRow> RowsAt(std::int64_t position, int count) const;
  std::int64_t PositionOf(std::int32_t no) const;

  // Every row in the active index's order, fast (for "Show all objects").
  void ForEachRow(const std::function<void(const TMinorBodyRow&)>& visit) const;

private:
  struct TImpl;
  std::unique_ptr<TImpl> Impl;
};
