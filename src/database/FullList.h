// Every row of a minor-body table as a dot of the scene's full list, as
// "Show all objects" shows them.
#pragma once

#include "bodies/DotBodyList.h"
#include "database/MinorBodyTable.h"

#include <string>

struct TFullListFill {
  int Added = 0;
  int Skipped = 0;           // rows that make no ellipse
  std::string FirstSkipped;  // the message of the first of them
};

// Appends every row of an open table to `list` in `color`. The rows are read
// in the primary order, the fastest (the dots look the same in any order),
// and reduced on all cores in batches; the table's active index is kept
// and its cursor left on the first row.
TFullListFill FillFullList(TTable& table, TDotBodyList& list, TColor color);
