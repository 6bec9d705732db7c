#include "MinorBodyArgs.h"

#include <map>

void OpenTableOrThrow(TTable& table, const std::string& directory, const std::string& fileName)
{
  table.SetDatabaseName(directory);
  table.SetTableName(fileName);
  try {
    table.Open(false);
  } catch (const ETableError& e) {
    throw UsageError("cannot open the table '" + fileName + "' in '" + directory + "': " + e.what());
  }
}

std::vector<TMinorBodyRow> RowsNamed(const TTable& table, const std::vector<std::string>& names)
{
  // One pass over the table for all names.
  std::map<std::string, TMinorBodyRow> found;
  for (const std::string& n : names) found.emplace(n, TMinorBodyRow{});
  std::map<std::string, bool> seen;
  table.ForEachRow([&](const TMinorBodyRow& row) {
    auto it = found.find(row.Name);
    if (it != found.end() && !seen[row.Name]) {
      it->second = row;
      seen[row.Name] = true;
    }
  });
  std::vector<TMinorBodyRow> rows;
  for (const std::string& n : names) {
    if (!seen[n]) throw UsageError("no minor body named '" + n + "' in the table");
    rows.push_back(found[n]);
  }
  return rows;
}

std::vector<std::string> NameList(const std::string& list)
{
  std::vector<std::string> names;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = list.find(',', start);
    names.push_back(list.substr(start, comma == std::string::npos ? comma : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return names;
}
