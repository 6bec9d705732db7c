// The browser's grid model over a minor-body table: row k is the row at
// position k in the table's active index's order, read on demand a page at
// a time, so that a table of millions of rows costs only the rows on screen.
#pragma once

#include <QAbstractTableModel>

#include <cstdint>
#include <map>
#include <vector>

class TTable;
struct TMinorBodyRow;

class TMinorBodyTableModel : public QAbstractTableModel {
public:
  static constexpr int ColumnCount = 10;

  explicit TMinorBodyTableModel(const TTable& table, QObject* parent = nullptr);

  // After the table was opened, closed or given another active index.
  void Reset();
  // Rows shown last to first (a second click on the same title); takes
  // effect at the next Reset.
  void SetDescending(bool on) { descending_ = on; }
  bool Descending() const { return descending_; }
  // The table position of a grid row and the grid row of a table position:
  // the same number, or counted from the end while descending.
  std::int64_t TablePosition(std::int64_t row) const
  {
    return descending_ ? rowCount_ - 1 - row : row;
  }
  std::int64_t GridRow(std::int64_t position) const { return TablePosition(position); }
  // The row the indicator marks (-1 none).
  void SetCurrentRow(int row);
  int CurrentRow() const { return currentRow_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The field a column shows, and its title.
  static const char* ColumnField(int column);
  static const char* ColumnTitle(int column);

private:
  const TMinorBodyRow* Row(int row) const;

  static constexpr int PageSize = 128;
  static constexpr std::size_t MaxPages = 32;
  const TTable& table_;
  int rowCount_ = 0;
  bool descending_ = false;
  int currentRow_ = -1;
  // Pages of rows by page number; dropped all at once when too many.
  mutable std::map<std::int64_t, std::vector<TMinorBodyRow>> pages_;
};
