#include "app/database/MinorBodyTableModel.h"

#include "database/MinorBodyTable.h"

#include <QLocale>

#include <limits>

namespace {

struct TColumn {
  const char* Field;
  const char* Title;
};

constexpr TColumn Columns[TMinorBodyTableModel::ColumnCount] = {
    {"NO", "ID"},
    {"NAME", "NAME"},
    {"A", "Semi major axis"},
    {"E", "Eccentricity"},
    {"I", "Inclination"},
    {"CLASS", "Classification"},
    {"ISNEA", "is NEA"},
    {"ISPHA", "is PHA"},
    {"Reference", "Reference"},
    {"Computer", "Computer"}};

// Numbers in the user's locale, without thousands separators.
QString Number(double v)
{
  static const QLocale locale = [] {
    QLocale l;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l;
  }();
  return locale.toString(v, 'g', 8);
}

QString Text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TMinorBodyTableModel::TMinorBodyTableModel(const TTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table)
{
  Reset();
}

const char* TMinorBodyTableModel::ColumnField(int column) { return Columns[column].Field; }
const char* TMinorBodyTableModel::ColumnTitle(int column) { return Columns[column].Title; }

void TMinorBodyTableModel::Reset()
{
  beginResetModel();
  pages_.clear();
  const std::int64_t n = table_.Active() ? table_.RecordCount() : 0;
  rowCount_ = static_cast<int>(std::min<std::int64_t>(n, std::numeric_limits<int>::max()));
  currentRow_ = -1;
  endResetModel();
}

void TMinorBodyTableModel::SetCurrentRow(int row)
{
  if (row == currentRow_) return;
  const int old = currentRow_;
  currentRow_ = row;
  if (old >= 0 && old < rowCount_) emit headerDataChanged(Qt::Vertical, old, old);
  if (row >= 0 && row < rowCount_) emit headerDataChanged(Qt::Vertical, row, row);
}

int TMinorBodyTableModel::rowCount(const QModelIndex& parent) const
{
  return parent.isValid() ? 0 : rowCount_;
}

int TMinorBodyTableModel::columnCount(const QModelIndex& parent) const
{
  return parent.isValid() ? 0 : ColumnCount;
}

const TMinorBodyRow* TMinorBodyTableModel::Row(int gridRow) const
{
  if (gridRow < 0 || gridRow >= rowCount_ || !table_.Active()) return nullptr;
  const auto row = static_cast<int>(TablePosition(gridRow));
  const std::int64_t page = row / PageSize;
  auto it = pages_.find(page);
  if (it == pages_.end()) {
    if (pages_.size() >= MaxPages) pages_.clear();
    it = pages_.emplace(page, table_.RowsAt(page * PageSize, PageSize)).first;
  }
  const std::size_t i = static_cast<std::size_t>(row - page * PageSize);
  return i < it->second.size() ? &it->second[i] : nullptr;
}

QVariant TMinorBodyTableModel::data(const QModelIndex& index, int role) const
{
  if (!index.isValid()) return {};
  if (role == Qt::TextAlignmentRole)
    return index.column() == 0 || (index.column() >= 2 && index.column() <= 4)
               ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
               : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return {};
  const TMinorBodyRow* r = Row(index.row());
  if (!r) return {};
  switch (index.column()) {
    case 0: return QString::number(r->No);
    case 1: return Text(r->Name);
    case 2: return Number(r->A);
    case 3: return Number(r->E);
    case 4: return Number(r->I);
    case 5: return Text(r->Class);
    case 6: return Text(r->IsNEA);
    case 7: return Text(r->IsPHA);
    case 8: return Text(r->Reference);
    case 9: return Text(r->Computer);
    default: return {};
  }
}

QVariant TMinorBodyTableModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const
{
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal)
    return section >= 0 && section < ColumnCount ? QString(Columns[section].Title) : QVariant();
  // The row indicator: a mark on the current row.
  return section == currentRow_ ? QString::fromUtf8("\u25B6") : QString();
}
