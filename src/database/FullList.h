// Every row of a minor-body table as a dot of the scene's full list, as
// "Show all objects" shows them.
#pragma once

#include "bodies/DotBodyList.h"
#include "database/MinorBodyTable.h"

#include <cstdint>
#include <functional>
#include <string>

struct TFullListFill {
  int Added = 0;
  bool Cancelled = false;    // the progress report asked to stop
  int Skipped = 0;           // rows that make no ellipse
  std::string FirstSkipped;  // the message of the first of them
};

// Appends every row of an open table to `list` in `color`. The rows are read
// in the primary order, the fastest (the dots look the same in any order),
// and reduced on all cores in batches; the table's active index is kept
// and its cursor left on the first row.
TFullListFill FillFullList(TTable& table, TDotBodyList& list, TColor color);

// The same, reporting every few thousand rows: progress(rows read, rows in
// the table) returns false to stop, and the fill then ends at once with
// Cancelled set and `list` holding what was added so far. It may run on a
// thread of its own, on a table handle of its own.
using TFillProgress = std::function<bool(std::int64_t done, std::int64_t total)>;
TFullListFill FillFullList(TTable& table, TDotBodyList& list, TColor color,
                           const TFillProgress& progress);
