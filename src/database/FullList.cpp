#include "database/FullList.h"

#include <vector>

namespace {

// Rows reduced together: large enough to keep both cores busy, small
// enough to stay a few megabytes.
constexpr std::size_t BatchRows = 1 << 16;
// Rows between two progress reports: a few milliseconds of reading.
constexpr std::int64_t ReportRows = 1 << 12;

// Thrown out of the row loop when the progress report asks to stop.
struct TStopFill {};

}  // namespace

TFullListFill FillFullList(TTable& table, TDotBodyList& list, TColor color)
{
  return FillFullList(table, list, color, nullptr);
}

TFullListFill FillFullList(TTable& table, TDotBodyList& list, TColor color,
                           const TFillProgress& progress)
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
  const std::int64_t total = table.RecordCount();
  std::int64_t done = 0;
  try {
    list.Reserve(list.Count() + static_cast<int>(total));
    table.ForEachRow([&](const TMinorBodyRow& row) {
      if (progress && ++done % ReportRows == 0 && !progress(done, total)) throw TStopFill();
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
    if (progress) progress(total, total);
  } catch (const TStopFill&) {
    fill.Cancelled = true;
  } catch (...) {
    if (!index.empty()) table.SetIndexName(index);
    throw;
  }
  if (!index.empty()) table.SetIndexName(index);
  table.First();
  return fill;
}
