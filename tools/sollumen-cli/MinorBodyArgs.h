// Minor bodies from a table for the commands that take them (render,
// ephem): --database DIR --table FILE and the rows named.
#pragma once

#include "Cli.h"

#include "database/MinorBodyTable.h"

#include <string>
#include <vector>

class TSolarSystem;

// Opens the table shared; a table that cannot be opened is a UsageError.
void OpenTableOrThrow(TTable& table, const std::string& directory, const std::string& fileName);

// The rows of exactly these names, in the order given (the first row of a
// name in the table's primary order). An unknown name is a UsageError.
std::vector<TMinorBodyRow> RowsNamed(const TTable& table, const std::vector<std::string>& names);

// The names of a comma-separated list.
std::vector<std::string> NameList(const std::string& list);

// The rows named become listed minor bodies, renamed "NAME (n)" as the
// window renames a name already listed; with `allObjects` every row of the
// table is drawn as "Show all objects" draws it (rows without an ellipse
// left out).
void AddMinorBodies(TSolarSystem& scene, TTable& table, const std::vector<std::string>& names,
                    bool allObjects);
