#include "database/FullList.h"

#include <vector>

namespace {

// Rows reduced together: large enough to keep both cores busy, small
// enough to stay a few megabytes.
constexpr std::size_t BatchRows = 1 << 16;

}  // namespace

TFullListFill FillFullList(TTable& table, TDotBodyList& list, TColor color)
{
  TFullListFill fill;
  const std::string index = table.IndexName();
  if (!index.empty()) table.SetIndexName("");
  std::vector<TOrbitElements> batch;
  batch.reserve(BatchRows);
  auto flush = [&] {
    list.AddAll(batch, color);
    fill.Added += static_cast<int>(batch.size());
    batch.clear();
  };
  try {
    list.Reserve(list.Count() + static_cast<int>(table.RecordCount()));
    table.ForEachRow([&](const TMinorBodyRow& row) {
      try {
        TOrbitElements el = ReadElements(row);
        CheckElements(row.Name, el);
        batch.push_back(el);
      } catch (const EInvalidElements& e) {
        if (fill.Skipped++ == 0) fill.FirstSkipped = e.what();
        return;
      }
      if (batch.size() == BatchRows) flush();
    });
    flush();
  } catch (...) {
    if (!index.empty()) table.SetIndexName(index);
    throw;
  }
  if (!index.empty()) table.SetIndexName(index);
  table.First();
  return fill;
}
