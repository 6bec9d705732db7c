// Tables come from other people (a table shared by a club, a file mailed
// along), so every table file is opened as untrusted: nothing stored in it
// runs (no triggers, no views, no functions named by its schema), values,
// statements and temporary storage are bounded, and every object the table
// layer reads is checked to be the kind it expects before the first row is
// read. Every refusal names the file and what is wrong with it.
#pragma once

#include "database/TableSchema.h"

#include <chrono>
#include <string>
#include <vector>

// Bounds the time SQLite may spend in one step of a statement on a
// connection (a progress handler looks at it); a step past the limit is
// interrupted and fails.
struct TStepClock {
  std::chrono::steady_clock::time_point Start = std::chrono::steady_clock::now();
  std::chrono::milliseconds Limit{4000};
  bool Expired = false;
  void Restart()
  {
    Start = std::chrono::steady_clock::now();
    Expired = false;
  }
};

// Limits of what one value or one statement text of a table may take.
constexpr int MaxValueBytes = 1 << 20;
constexpr int MaxSqlBytes = 1 << 20;

// Sets up a fresh connection to a table file from elsewhere: SQLite's
// defensive mode, an untrusted schema, triggers, views and extensions off,
// cell size checks, bounded value and statement sizes, and the step clock
// (when given). Temporary storage is bounded by opening the connection
// through a TBoundedTempStorage (BoundedTempStorage.h). Throws ETableError.
void HardenConnection(sqlite3* db, TStepClock* clock);

// The message for a failure on a table: "The table '<file>': <what>", the
// file named as SQLite opened it.
std::string TableProblem(sqlite3* db, const std::string& what);

// What the checks found in a table file.
struct TTableShape {
  bool HasReferenceAndComputer = false;
  // Named indices whose SQLite index exists on the bodies table with the
  // fields of their definition, in creation order.
  std::vector<TIndexDef> Indices;
  // Named indices that cannot be used (missing, or not what their
  // definition says), each with the reason; "Rebuild indices" makes them
  // again.
  std::vector<std::pair<TIndexDef, std::string>> Unusable;
};

// Checks every object the table layer reads: the format marks, the bodies
// table (a plain table with the twelve fields, NO its row number within
// 32 bits), the index bookkeeping (a table of texts), and each named
// index. Throws ETableError naming the file and the problem for anything
// that makes the table unreadable; indices that cannot be used are only
// listed.
TTableShape CheckTableShape(sqlite3* db);

// The problem with one named index as it stands in the file ("" when it is
// usable).
std::string IndexProblem(sqlite3* db, const TIndexDef& def);
