// A handle on one minor-body table: directed at a directory and a table file
// name, opened shared (read-only) or exclusively, then read row by row in
// the order of its active index, or by position in that order (row k of the
// sorted table), as the browser's grid needs for tables of millions of rows.
//
// An index orders rows by its fields, then by NO, so that ties always come
// in one order; texts compare bytewise (SQLite's BINARY collation: "Z"
// before "a"), numbers as numbers. Each operation reads one committed state
// of the file: when another program has appended to the open table since
// the last operation, the count and the orders are read afresh and the
// cursor stays on its row; a table replaced by renaming a new file over it
// is seen only after reopening.
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
  // Fields the file holds as NULL or as a value of the wrong type (a text
  // for a number, a number or blob for a text), read as 0 or "": bit k is
  // field k in the order above (NO = 0 ... Computer = 13).
  std::uint16_t BadFields = 0;
};

// What is wrong with a row's fields, naming the first bad field ("the field
// M is NULL or not a number"; "" when none is).
std::string RowFieldProblem(const TMinorBodyRow& row);

// The element set a row stands for: mean daily motion 0.9856262 / a^1.5 and
// mean longitude M + NW. Throws EInvalidElements (SSClasses.h) naming the
// row when it makes no ellipse (A <= 0, E outside [0, 1), numbers not finite)
// or when its name or an element is NULL or of the wrong type.
TOrbitElements ReadElements(const TMinorBodyRow& row);

// The table files of a directory (file names with their extension, only
// files of ours), sorted bytewise. Throws ETableError when the directory
// cannot be read.
std::vector<std::string> ListTables(const std::string& directory);

// Creates an empty table "<name>" (a file name with its extension ".db") from
// the schema, with the primary and the seven named indices, written under a
// hidden name and renamed into place; throws ETableError, also when the file
// exists.
void CreateTable(const std::string& directory, const std::string& fileName);

// Deletes a table file and SQLite's journal, WAL and SHM files beside it;
// throws ETableError when it is missing or not one of our tables.
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

  // Opens the table, on its first row. Shared is read-only; exclusive keeps
  // other programs out until Close. A missing file, a file not ours, a file
  // whose objects are not what a table holds (TableCheck.h) or an active
  // index the table lacks throws ETableError naming it; nothing is ever
  // created. Opening an open table in the same mode does nothing. Named
  // indices that are missing from the file or misshapen are left out of
  // IndexDefs (AddIndex makes them again); one found listing other rows
  // than the table holds fails every use with ETableError until it is
  // rebuilt (RepairIndex).
  void Open(bool exclusive = false);  // throws ETableError
  void Close();                       // closing a closed table does nothing
  bool Active() const;

  // The count of the whole table (0 while closed).
  std::int64_t RecordCount() const;
  bool HasField(const std::string& field) const;

  // The active index: "" is the primary index (NO). Throws ETableError for
  // an unknown name. The cursor goes to the first row. While the table is
  // closed the name is only kept, and checked when it opens.
  void SetIndexName(const std::string& name);
  const std::string& IndexName() const;
  std::vector<TIndexDef> IndexDefs() const;
  // The definition of a named index; throws ETableError when it is missing.
  TIndexDef IndexDef(const std::string& name) const;
  // Adds a named index; throws ETableError when the name exists. Needs the
  // table open exclusively.
  void AddIndex(const TIndexDef& index);
  // Rebuilds a named index whose B-tree lists other rows than the table
  // holds (a damaged file); returns whether it had to. Needs the table open
  // exclusively; throws ETableError for an index the table lacks.
  bool RepairIndex(const std::string& name);
  // Named indices made by an earlier build that order names by letter
  // codes, and building one again in the current order (needs the table
  // open exclusively).
  std::vector<std::string> OutdatedIndices() const;
  void RenewIndex(const std::string& name);

  // The cursor, in the active index's order. Position is 0-based. As in the
  // classic data-set loop (First; while !Eof: ...; Next), First sets Bof and
  // Last sets Eof; Next on the last row sets Eof, Prior on the first sets
  // Bof, the cursor staying on that row; both are set in an empty table.
  // MoveTo clamps to the first or last row. These throw ETableError while
  // the table is closed.
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
  // `value` (compared with the index's first field: as text, or as a number
  // for NO, M, NW, OHM, I, E, A, DATE, where a value that is no number
  // throws ETableError; "" = first row); returns its position
  // (RecordCount() when past the end, the cursor then on the last row with
  // Eof set).
  std::int64_t FindNearest(const std::string& value);

  // The current row (an empty row while closed or empty), and its fields by
  // name, any letter case; a field the table lacks throws ETableError.
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

  // Grows whenever the rows at a position may have changed: the table opened
  // or closed, another active index, or another program's change seen by
  // the last operation (RecordCount() may differ then), so that a grid
  // caching rows knows when to read them again.
  std::uint64_t ChangeCount() const;

  // Every row in the active index's order, fast (for "Show all objects"),
  // all from one state of the file; does nothing while the table is closed.
  void ForEachRow(const std::function<void(const TMinorBodyRow&)>& visit) const;

private:
  struct TImpl;
  std::unique_ptr<TImpl> Impl;
};
