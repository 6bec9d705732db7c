#include "MinorBodyArgs.h"

#include "database/FullList.h"
#include "scene/SolarSystem.h"

#include <map>
#include <memory>

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

void AddMinorBodies(TSolarSystem& scene, TTable& table, const std::vector<std::string>& names,
                    bool allObjects)
{
  TOEObjectList& list = scene.AsteroidsList();
  auto listed = [&list](const std::string& name) {
    for (int i = 0; i < list.Count(); ++i)
      if (list.Items(i)->Name == name) return true;
    return false;
  };
  for (const TMinorBodyRow& row : RowsNamed(table, names)) {
    TOrbitElements elements;
    try {
      elements = ReadElements(row);
    } catch (const std::exception& e) {
      throw UsageError(e.what());
    }
    std::string name = row.Name;
    for (int n = 1; listed(name); ++n) name = row.Name + " (" + std::to_string(n) + ")";
    list.Add(std::make_unique<TAsteroid>(name, elements, scene.GetObjectColor(11)));
  }
  if (!allObjects) return;
  FillFullList(table, scene.AsteroidsFullList(), scene.GetObjectColor(11));
}
