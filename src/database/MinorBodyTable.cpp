// The table handle: SQLite underneath, with a list of row numbers (NO) in
// the active index's order that gives random access by position.
//
// Every public operation runs in one read transaction of its own, so that a
// row list, the row count and the rows read belong to one committed state of
// the file. The handle holds no lock between operations (an importer may
// append to the open table); when the file has changed since the last
// operation (SQLite's data_version), the count, the index definitions and
// the row lists are read afresh before anything else, and the cursor stays on
// its row. A table replaced by renaming a new file over it is not seen at
// all: the handle keeps reading the file it opened until it is reopened.
//
// The file may come from anywhere: it is opened hardened and checked
// (TableCheck.h), each step of a statement is timed, its temporary files
// are bounded, an index is believed only while it lists as many rows as
// the table holds, and a field that is NULL or of the wrong type is marked
// on its row instead of being read as a number.
#include "database/MinorBodyTable.h"

#include "database/BoundedTempStorage.h"
#include "database/SqliteStatement.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <map>
#include <strings.h>

namespace {

// The fields of a row in TMinorBodyRow's order; the first nine are numbers.
const char* const FieldNames[] = {"NO",  "NAME",  "M",     "NW",        "OHM",
                                  "I",   "E",     "A",     "DATE",      "CLASS",
                                  "ISNEA", "ISPHA", "Reference", "Computer"};
constexpr int FieldCount = 14;
constexpr int PlainFieldCount = 12;  // without Reference and Computer
constexpr int FirstTextField = 9;    // CLASS; NAME (1) is text as well

int FieldIndex(const std::string& name)
{
  for (int i = 0; i < FieldCount; ++i)
    if (strcasecmp(name.c_str(), FieldNames[i]) == 0) return i;
  return -1;
}

bool IsNumericField(int field) { return field == 0 || (field >= 2 && field < FirstTextField); }

std::string Quoted(const std::string& identifier)
{
  std::string q = "\"";
  for (char c : identifier) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + "\"";
}

std::string ShortestText(double v)
{
  char buf[32];
  auto result = std::to_chars(buf, buf + sizeof buf, v + 0.0);
  return std::string(buf, result.ptr);
}

// A number in the C locale's notation whatever the program's locale (the
// whole text, blanks around it aside); false when it is none.
bool ParseNumber(const std::string& text, double& v)
{
  size_t begin = text.find_first_not_of(" \t"), end = text.find_last_not_of(" \t");
  if (begin == std::string::npos) return false;
  if (text[begin] == '+') ++begin;
  const char* last = text.data() + end + 1;
  auto result = std::from_chars(text.data() + begin, last, v);
  return result.ec == std::errc() && result.ptr == last && std::isfinite(v);
}

// A search value for a numeric key.
double ParseKeyNumber(const std::string& value, const std::string& index,
                      const std::string& field)
{
  double v = 0;
  if (!ParseNumber(value, v))
    throw ETableError("'" + value + "' is not a number, as the index " +
                      (index.empty() ? std::string("on NO") : index) +
                      " needs for its field " + field);
  return v;
}

// Marks the fields whose stored type is not the field's (NULL included).
std::uint16_t BadFields(const TStatement& st, int columns)
{
  std::uint16_t bad = 0;
  for (int c = 0; c < columns; ++c) {
    const int type = sqlite3_column_type(st.Get(), c);
    const bool good = IsNumericField(c) ? (type == SQLITE_INTEGER || type == SQLITE_FLOAT)
                                        : type == SQLITE_TEXT;
    if (!good) bad |= std::uint16_t(1u << c);
  }
  return bad;
}

// Reads the columns of a table's column list into a row, reusing its strings.
void FillRow(const TStatement& st, TMinorBodyRow& row, bool withReferenceAndComputer)
{
  row.BadFields = BadFields(st, withReferenceAndComputer ? FieldCount : PlainFieldCount);
  row.No = std::int32_t(st.Int(0));
  st.Text(1, row.Name);
  row.M = st.Real(2);
  row.NW = st.Real(3);
  row.OHM = st.Real(4);
  row.I = st.Real(5);
  row.E = st.Real(6);
  row.A = st.Real(7);
  row.Date = st.Real(8);
  st.Text(9, row.Class);
  st.Text(10, row.IsNEA);
  st.Text(11, row.IsPHA);
  if (withReferenceAndComputer) {
    st.Text(12, row.Reference);
    st.Text(13, row.Computer);
  } else {
    row.Reference.clear();
    row.Computer.clear();
  }
}

const TMinorBodyRow EmptyRow{};

// What a bad field holds instead of its value.
std::string BadFieldText(int field)
{
  return std::string("the field ") + FieldNames[field] + " is NULL or " +
         (IsNumericField(field) ? "not a number" : "not a text");
}

// Temporary storage a table's connection may fill: sorts of index building
// need about the table's size; reading needs none.
std::int64_t TempStorageLimit(const std::string& path)
{
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  return std::int64_t(64) * 1024 * 1024 + (ec ? 0 : std::int64_t(size) * 4);
}

// The time one step may take: index building sorts the whole table in one
// step; reading takes microseconds a row.
constexpr std::chrono::milliseconds ReadStepLimit{4000};
constexpr std::chrono::milliseconds IndexStepLimit{600000};

// A writer killed before its journal held anything to play back leaves the
// journal file behind (not hot, so SQLite leaves it too). Once the first
// read has played back any hot journal, a journal that is still there while
// nobody holds the write lock belongs to no one and goes.
void ClearStaleJournal(sqlite3* db, const std::string& path)
{
  const std::string journal = path + "-journal";
  std::error_code ec;
  if (!std::filesystem::exists(journal, ec)) return;
  if (sqlite3_exec(db, "PRAGMA user_version", nullptr, nullptr, nullptr) != SQLITE_OK) return;
  if (!std::filesystem::exists(journal, ec)) return;
  sqlite3_busy_timeout(db, 0);
  if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK) {
    std::filesystem::remove(journal, ec);
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  }
}

}  // namespace

std::string RowFieldProblem(const TMinorBodyRow& row)
{
  for (int field = 0; field < FieldCount; ++field)
    if (row.BadFields & (1u << field))
      return BadFieldText(field);
  return "";
}

struct TTable::TImpl {
  // One read transaction around a public operation.
  class TRead {
  public:
    explicit TRead(TImpl& table) : Table(table) { Table.BeginRead(); }
    ~TRead() { Table.EndRead(); }
    TRead(const TRead&) = delete;
    TRead& operator=(const TRead&) = delete;

  private:
    TImpl& Table;
  };

  std::string Directory, FileName;
  std::string Index;  // the active index's name as defined; "" = primary
  std::unique_ptr<TBoundedTempStorage> TempStorage;  // outlives Db
  TStepClock Clock;
  sqlite3* Db = nullptr;
  bool Exclusive = false;
  bool HasReferenceAndComputer = false;

  // Read from the file, valid for DataVersion.
  std::int64_t DataVersion = -1;
  std::int64_t Count = 0;
  std::int64_t TrueCount = -1;  // the table's own count, once taken
  std::string CountSource;      // the index SQLite took Count from
  std::vector<TIndexDef> Defs;  // the usable named indices
  std::vector<std::pair<TIndexDef, std::string>> Unusable;
  // Indices found listing other rows than the table's (a damaged B-tree).
  std::map<std::string, std::string> Damaged;
  std::map<std::string, std::vector<std::int32_t>> Orders;  // by index name

  // The cursor: Row is the row at Pos when HasRow.
  std::int64_t Pos = 0;
  bool AtBof = true, AtEof = true, HasRow = false;
  TMinorBodyRow Row;

  std::uint64_t Changes = 0;  // see ChangeCount()

  // RowsAt reads this far into an order without its row list.
  static constexpr std::int64_t TopRows = 256;

  TStatement Version, RowByNo;
  std::map<std::string, TStatement> KeyBefore;  // by index name
  int ReadDepth = 0;

  ~TImpl() { CloseDb(); }

  std::string Path() const
  {
    return (std::filesystem::path(Directory.empty() ? "." : Directory) / FileName).string();
  }

  void CloseDb()
  {
    Version = TStatement();
    RowByNo = TStatement();
    KeyBefore.clear();
    Orders.clear();
    Defs.clear();
    if (Db) {
      sqlite3_close(Db);
      ++Changes;
    }
    Db = nullptr;
    TempStorage.reset();
    Unusable.clear();
    Damaged.clear();
    Count = 0;
    DataVersion = -1;
    ReadDepth = 0;
    Pos = 0;
    AtBof = AtEof = true;
    HasRow = false;
    Row = TMinorBodyRow();
  }

  TStatement Prepare(const std::string& sql) { return TStatement(Db, sql, &Clock); }

  // Runs SQL without results, failing with the table named.
  void Exec(const std::string& sql)
  {
    Clock.Restart();
    char* message = nullptr;
    if (sqlite3_exec(Db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
      std::string text = message ? message : sqlite3_errmsg(Db);
      sqlite3_free(message);
      throw ETableError(TableProblem(Db, Clock.Expired ? "reading it took too long" : text));
    }
  }

  void RequireOpen() const
  {
    if (!Db) throw ETableError("The table '" + FileName + "' is not open");
  }

  std::string Columns() const
  {
    std::string columns;
    for (int i = 0; i < (HasReferenceAndComputer ? FieldCount : PlainFieldCount); ++i)
      columns += (i ? ", " : "") + Quoted(FieldNames[i]);
    return columns;
  }

  void Fill(const TStatement& st, TMinorBodyRow& row) const
  {
    FillRow(st, row, HasReferenceAndComputer);
  }

  // Why an index cannot be used: not defined, or not what its definition says.
  std::string MissingIndex(const std::string& name) const
  {
    for (const auto& [def, problem] : Unusable)
      if (strcasecmp(def.Name.c_str(), name.c_str()) == 0)
        return "The table '" + Path() + "': " + problem + " (\"Rebuild indices\" makes it again)";
    return "Index '" + name + "' not found in the table '" + FileName + "'";
  }

  const TIndexDef* FindDef(const std::string& name) const
  {
    for (const TIndexDef& def : Defs)
      if (strcasecmp(def.Name.c_str(), name.c_str()) == 0) return &def;
    return nullptr;
  }

  // The key fields of an index, in order (NO for the primary index).
  std::vector<std::string> KeyFields(const std::string& index) const
  {
    if (index.empty()) return {"NO"};
    const TIndexDef* def = FindDef(index);
    if (!def) throw ETableError(MissingIndex(index));
    return IndexFieldNames(def->Fields);
  }

  // ORDER BY of an index: its fields, then NO, so that ties have one order.
  std::string OrderBy(const std::string& index) const
  {
    std::string order;
    for (const std::string& field : KeyFields(index))
      if (strcasecmp(field.c_str(), "NO") != 0) order += OrderTerm(field) + ", ";
    return order + "NO";
  }

  std::string FromIndex(const std::string& index) const
  {
    std::string from = std::string(" FROM ") + BodiesTableName;
    from += index.empty() ? " NOT INDEXED" : " INDEXED BY " + Quoted(FindDef(index)->Name);
    return from;
  }

  // --- Read transactions -------------------------------------------------

  void BeginRead()
  {
    RequireOpen();
    if (ReadDepth++ > 0) return;
    try {
      Exec("BEGIN");
      Version.Reset();
      Version.Step();
      std::int64_t version = Version.Int(0);
      Version.Reset();
      if (version != DataVersion) {
        Refresh(DataVersion == -1);
        DataVersion = version;
      }
    } catch (...) {
      sqlite3_exec(Db, "ROLLBACK", nullptr, nullptr, nullptr);
      ReadDepth = 0;
      throw;
    }
  }

  void EndRead()
  {
    if (!Db || --ReadDepth > 0) return;
    ReadDepth = 0;
    if (sqlite3_exec(Db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
      sqlite3_exec(Db, "ROLLBACK", nullptr, nullptr, nullptr);
  }

  // What is read once per state of the file (`opening`: the first time).
  void Refresh(bool opening)
  {
    // Another program may have changed more than rows: the file is checked
    // again, and the count taken from the table itself, not from an index.
    TTableShape shape = CheckTableShape(Db);
    HasReferenceAndComputer = shape.HasReferenceAndComputer;
    Defs = std::move(shape.Indices);
    Unusable = std::move(shape.Unusable);
    Damaged.clear();
    RowByNo = Prepare("SELECT " + Columns() + " FROM " + BodiesTableName + " WHERE NO = ?1");
    // SQLite counts the smallest index, fast; the orders built later check
    // it (ListedRows), and so which index that is.
    TrueCount = -1;
    const std::string countSql = std::string("SELECT count(*) FROM ") + BodiesTableName;
    CountSource.clear();
    {
      TStatement plan = Prepare("EXPLAIN QUERY PLAN " + countSql);
      std::string detail;
      while (plan.Step()) {
        plan.Text(3, detail);
        const std::string mark = "INDEX ";
        const size_t at = detail.rfind(mark);
        if (at != std::string::npos) CountSource = detail.substr(at + mark.size());
      }
    }
    TStatement count = Prepare(countSql);
    count.Step();
    Count = count.Int(0);
    ++Changes;
    Orders.clear();
    KeyBefore.clear();
    // An index dropped by another program leaves the primary order.
    if (!opening && !Index.empty() && !FindDef(Index)) Index.clear();
    if (HasRow) {
      std::int64_t pos = PositionOfNo(Row.No);
      if (pos < 0) pos = std::min(Pos, Count - 1);
      if (pos < 0) {
        HasRow = false;
        Pos = 0;
        AtBof = AtEof = true;
      } else {
        Pos = pos;
        LoadRow(Pos);
      }
    }
  }

  // --- Row lists in index order ------------------------------------------

  const std::vector<std::int32_t>& Order()
  {
    auto it = Orders.find(Index);
    if (it != Orders.end()) return it->second;
    std::vector<std::int32_t> order;
    order.reserve(size_t(Count));
    const TIndexDef* small = Index.empty() ? SmallIndex() : nullptr;
    if (small) {
      // The row numbers of the primary order from an index of one-letter
      // keys: a tenth of the table's pages to read, and sorted runs to merge.
      TStatement st = Prepare(std::string("SELECT NO FROM ") + BodiesTableName + " INDEXED BY " +
                              Quoted(small->Name) + " ORDER BY " + OrderBy(small->Name));
      std::vector<size_t> runs{0};
      while (st.Step()) {
        order.push_back(std::int32_t(st.Int(0)));
        if (order.size() > 1 && order[order.size() - 2] > order.back()) runs.push_back(order.size() - 1);
      }
      if (runs.size() > 8) {
        std::sort(order.begin(), order.end());
      } else {
        for (size_t r = 1; r < runs.size(); ++r)
          std::inplace_merge(order.begin(), order.begin() + std::ptrdiff_t(runs[r]),
                             r + 1 < runs.size() ? order.begin() + std::ptrdiff_t(runs[r + 1])
                                                 : order.end());
      }
      ListedRows(small->Name, std::int64_t(order.size()));
      if (Damaged.count(small->Name)) {
        // The index lies about the rows: the order comes from the table.
        order.clear();
        TStatement rows = Prepare(std::string("SELECT NO FROM ") + BodiesTableName +
                                  " NOT INDEXED ORDER BY NO");
        while (rows.Step()) order.push_back(std::int32_t(rows.Int(0)));
      }
    } else {
      RequireSound(Index);
      TStatement st = Prepare("SELECT NO" + FromIndex(Index) + " ORDER BY " + OrderBy(Index));
      while (st.Step()) order.push_back(std::int32_t(st.Int(0)));
      if (Index.empty())
        SetTrueCount(std::int64_t(order.size()));
      else
        ListedRows(Index, std::int64_t(order.size()));
      RequireSound(Index);
    }
    Count = std::int64_t(order.size());
    return Orders.emplace(Index, std::move(order)).first->second;
  }

  // The rows of the table itself, counted once per state of the file when
  // an index disagrees with the count.
  std::int64_t CountTable()
  {
    if (TrueCount < 0) {
      TStatement count = Prepare(std::string("SELECT count(*) FROM ") + BodiesTableName + " NOT INDEXED");
      count.Step();
      SetTrueCount(count.Int(0));
    }
    return TrueCount;
  }

  void SetTrueCount(std::int64_t rows)
  {
    TrueCount = rows;
    if (Count != rows) {
      // The count came from a damaged index: orders built on it go too.
      Count = rows;
      Orders.erase("");
      ++Changes;
    }
  }

  // The entries of an index, counted by walking it.
  std::int64_t CountEntries(const std::string& index)
  {
    TStatement count = Prepare("SELECT count(*) FROM (SELECT NO" + FromIndex(index) + " ORDER BY " +
                               OrderBy(index) + ")");
    count.Step();
    return count.Int(0);
  }

  // An index listed `listed` rows. The count to hold it against must not
  // come from the same index (SQLite counts its smallest one): then another
  // index's entries are counted. When they differ, the table itself
  // decides which is wrong.
  void ListedRows(const std::string& index, std::int64_t listed)
  {
    if (TrueCount < 0) {
      std::int64_t reference = Count;
      if (strcasecmp(index.c_str(), CountSource.c_str()) == 0) {
        const TIndexDef* other = nullptr;
        for (const char* name : {"IDXPHA", "IDXNEA", "IDXCL", "IDXE", "IDXA", "IDXINCL", "IDXNAME"}) {
          const TIndexDef* def = FindDef(name);
          if (!other && def && strcasecmp(name, index.c_str()) != 0 && !Damaged.count(def->Name)) other = def;
        }
        reference = other ? CountEntries(other->Name) : -1;
      }
      if (listed == reference && reference == Count) return;
    }
    if (listed != CountTable()) NoteDamaged(index, listed);
  }

  // An index whose B-tree lists another number of rows than the table.
  void NoteDamaged(const std::string& index, std::int64_t listed)
  {
    Damaged[index] = "the index " + index + " lists " + std::to_string(listed) + " rows, the table holds " +
                     std::to_string(Count) + "; the index is damaged (\"Rebuild indices\" makes it again)";
  }

  void RequireSound(const std::string& index) const
  {
    auto it = Damaged.find(index);
    if (it != Damaged.end()) throw ETableError(TableProblem(Db, it->second));
  }

  // An index on a one-letter flag and NO, if the table has one.
  const TIndexDef* SmallIndex() const
  {
    for (const char* name : {"IDXPHA", "IDXNEA"}) {
      const TIndexDef* def = FindDef(name);
      if (!def || Damaged.count(def->Name)) continue;
      std::vector<std::string> fields = IndexFieldNames(def->Fields);
      if (fields.size() == 2 && (fields[0] == "ISPHA" || fields[0] == "ISNEA") && fields[1] == "NO")
        return def;
    }
    return nullptr;
  }

  void ReadRowByNo(std::int32_t no, TMinorBodyRow& row)
  {
    RowByNo.Reset();
    RowByNo.Bind(1, std::int64_t(no));
    if (!RowByNo.Step()) {
      RowByNo.Reset();
      throw ETableError(TableProblem(Db, "its row NO " + std::to_string(no) + " is missing"));
    }
    Fill(RowByNo, row);
    RowByNo.Reset();
  }

  void LoadRow(std::int64_t pos)
  {
    ReadRowByNo(Order()[size_t(pos)], Row);
    Pos = pos;
    HasRow = true;
  }

  std::int64_t PositionOfNo(std::int32_t no)
  {
    const std::vector<std::int32_t>& order = Order();
    if (Index.empty()) {
      auto it = std::lower_bound(order.begin(), order.end(), no);
      return it != order.end() && *it == no ? it - order.begin() : -1;
    }
    auto it = std::find(order.begin(), order.end(), no);
    return it != order.end() ? it - order.begin() : -1;
  }

  // --- Cursor ------------------------------------------------------------

  void GoFirst()
  {
    AtBof = true;
    AtEof = Count == 0;
    Pos = 0;
    HasRow = false;
    if (Count == 0) return;
    auto it = Orders.find(Index);
    if (it != Orders.end()) {
      LoadRow(0);
      return;
    }
    // The first row without the whole row list: opening stays quick.
    RequireSound(Index);
    TStatement st = Prepare("SELECT " + Columns() + FromIndex(Index) + " ORDER BY " + OrderBy(Index) +
                            " LIMIT 1");
    if (st.Step()) {
      Fill(st, Row);
      HasRow = true;
    }
  }

  void GoLast()
  {
    AtEof = true;
    AtBof = Count == 0;
    HasRow = false;
    Pos = 0;
    if (Count == 0) return;
    LoadRow(Count - 1);
  }

  void GoTo(std::int64_t position)
  {
    if (Count == 0) {
      GoFirst();
    } else if (position < 0) {
      GoFirst();
    } else if (position >= Count) {
      GoLast();
    } else {
      LoadRow(position);
      AtBof = AtEof = false;
    }
  }

  // True when the row's first key field sorts before the value (a NULL key
  // sorts first, as in SQLite's order).
  bool KeyBeforeValue(std::int32_t no, const std::string& field, bool numeric, double number,
                      const std::string& text)
  {
    auto it = KeyBefore.find(Index);
    if (it == KeyBefore.end())
      it = KeyBefore
               .emplace(Index, Prepare("SELECT " + OrderTerm(field) + " < ?1 FROM " +
                                       BodiesTableName + " WHERE NO = ?2"))
               .first;
    TStatement& st = it->second;
    st.Reset();
    if (numeric)
      st.Bind(1, number);
    else
      st.Bind(1, text);
    st.Bind(2, std::int64_t(no));
    bool before = st.Step() && (st.IsNull(0) || st.Int(0) != 0);
    st.Reset();
    return before;
  }

  std::int64_t Nearest(const std::string& value)
  {
    if (value.empty()) {
      GoFirst();
      return 0;
    }
    const std::string field = KeyFields(Index).front();
    const int known = FieldIndex(field);
    const bool numeric = known >= 0 && IsNumericField(known);
    const double number = numeric ? ParseKeyNumber(value, Index, field) : 0;
    const std::vector<std::int32_t>& order = Order();
    std::int64_t lo = 0, hi = std::int64_t(order.size());
    if (Index.empty()) {
      lo = std::lower_bound(order.begin(), order.end(), number,
                            [](std::int32_t no, double v) { return no < v; }) -
           order.begin();
    } else {
      while (lo < hi) {
        std::int64_t mid = lo + (hi - lo) / 2;
        if (KeyBeforeValue(order[size_t(mid)], field, numeric, number, value))
          lo = mid + 1;
        else
          hi = mid;
      }
    }
    if (lo >= Count) {
      GoLast();
      return Count;
    }
    GoTo(lo);
    return lo;
  }
};

TTable::TTable() : Impl(std::make_unique<TImpl>()) {}
TTable::~TTable() = default;

void TTable::SetDatabaseName(const std::string& directory)
{
  if (directory == Impl->Directory) return;
  Close();
  Impl->Directory = directory;
}

void TTable::SetTableName(const std::string& fileName)
{
  if (fileName == Impl->FileName) return;
  Close();
  Impl->FileName = fileName;
}

const std::string& TTable::DatabaseName() const { return Impl->Directory; }
const std::string& TTable::TableName() const { return Impl->FileName; }

void TTable::Open(bool exclusive)
{
  if (Impl->Db && Impl->Exclusive == exclusive) return;
  Close();
  TImpl& t = *Impl;
  if (t.FileName.empty()) throw ETableError("No table name given");
  const std::string path = t.Path();
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) throw ETableError("The table '" + path + "' does not exist");
  if (!IsTableFile(path)) throw ETableError("'" + path + "' is not a minor-body table");

  // Shared handles write nothing (query_only), but are opened read-write
  // where the file allows it: a writer killed in the middle of a change
  // left a journal to play back, or a write-ahead log to fold into the
  // file and remove when the last handle closes, which only a read-write
  // handle may do. A write-protected file is opened read-only.
  t.TempStorage = std::make_unique<TBoundedTempStorage>(TempStorageLimit(path));
  int rc = sqlite3_open_v2(path.c_str(), &t.Db, SQLITE_OPEN_READWRITE, t.TempStorage->VfsName());
  try {
    if (rc != SQLITE_OK)
      throw ETableError("Cannot open the table '" + path + "': " +
                        (t.Db ? sqlite3_errmsg(t.Db) : "out of memory"));
    t.Exclusive = exclusive;
    HardenConnection(t.Db, &t.Clock);
    t.Clock.Limit = exclusive ? IndexStepLimit : ReadStepLimit;
    if (!exclusive) {
      ClearStaleJournal(t.Db, path);
      t.Exec("PRAGMA query_only = ON");
    }
    // Short waits while another program commits; the file mapped for reading.
    sqlite3_busy_timeout(t.Db, 5000);
    t.Exec("PRAGMA mmap_size = 4294967296; PRAGMA cache_size = -32768");
    if (exclusive) {
      // Taking the write lock now, and keeping it until the table is closed.
      t.Exec("PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; COMMIT");
    }
    // Nothing is read before the first read transaction has checked the
    // file's shape (Refresh).
    t.Version = t.Prepare("PRAGMA data_version");
    TImpl::TRead read(t);
    if (!t.Index.empty() && !t.FindDef(t.Index)) throw ETableError(t.MissingIndex(t.Index));
    if (!t.Index.empty()) t.Index = t.FindDef(t.Index)->Name;
    t.GoFirst();
  } catch (...) {
    t.CloseDb();
    throw;
  }
}

void TTable::Close() { Impl->CloseDb(); }

bool TTable::Active() const { return Impl->Db != nullptr; }

std::int64_t TTable::RecordCount() const { return Impl->Count; }

bool TTable::HasField(const std::string& field) const
{
  int i = FieldIndex(field);
  return i >= 0 && (i < PlainFieldCount || Impl->HasReferenceAndComputer);
}

void TTable::SetIndexName(const std::string& name)
{
  TImpl& t = *Impl;
  if (!t.Db) {
    t.Index = name;  // checked when the table opens
    return;
  }
  TImpl::TRead read(t);
  if (name.empty()) {
    t.Index.clear();
  } else {
    const TIndexDef* def = t.FindDef(name);
    if (!def) throw ETableError(t.MissingIndex(name));
    t.Index = def->Name;
  }
  ++t.Changes;
  t.GoFirst();
}

const std::string& TTable::IndexName() const { return Impl->Index; }

std::uint64_t TTable::ChangeCount() const { return Impl->Changes; }

std::vector<TIndexDef> TTable::IndexDefs() const
{
  TImpl::TRead read(*Impl);
  return Impl->Defs;
}

TIndexDef TTable::IndexDef(const std::string& name) const
{
  TImpl::TRead read(*Impl);
  const TIndexDef* def = Impl->FindDef(name);
  if (!def) throw ETableError(Impl->MissingIndex(name));
  return *def;
}

std::vector<std::string> TTable::OutdatedIndices() const
{
  TImpl::TRead read(*Impl);
  return OutdatedNameIndices(Impl->Db);
}

void TTable::RenewIndex(const std::string& name)
{
  TImpl& t = *Impl;
  t.RequireOpen();
  if (!t.Exclusive)
    throw ETableError("The table '" + t.FileName + "' must be open exclusively to build an index");
  TIndexDef def;
  {
    TImpl::TRead read(t);
    const TIndexDef* found = t.FindDef(name);
    if (!found) throw ETableError("Index '" + name + "' not found in the table '" + t.FileName + "'");
    def = *found;
  }
  RenewNamedIndex(t.Db, def);
}

void TTable::AddIndex(const TIndexDef& index)
{
  TImpl& t = *Impl;
  t.RequireOpen();
  if (!t.Exclusive)
    throw ETableError("The table '" + t.FileName + "' must be open exclusively to add an index");
  {
    TImpl::TRead read(t);
    if (t.FindDef(index.Name))
      throw ETableError("Index '" + index.Name + "' already exists in the table '" + t.FileName + "'");
  }
  try {
    t.Clock.Restart();
    AddNamedIndex(t.Db, index);
  } catch (const ETableError& e) {
    throw ETableError(TableProblem(t.Db, e.what()));
  }
  // Our own change does not move data_version: read everything again.
  TImpl::TRead read(t);
  t.Refresh(false);
}

void TTable::First()
{
  TImpl::TRead read(*Impl);
  Impl->GoFirst();
}

void TTable::Next()
{
  TImpl::TRead read(*Impl);
  TImpl& t = *Impl;
  if (t.Count == 0 || t.Pos + 1 >= t.Count) {
    t.AtEof = true;
    if (t.Count == 0) t.AtBof = true;
    return;
  }
  t.GoTo(t.Pos + 1);
}

void TTable::Prior()
{
  TImpl::TRead read(*Impl);
  TImpl& t = *Impl;
  if (t.Count == 0 || t.Pos <= 0) {
    t.AtBof = true;
    if (t.Count == 0) t.AtEof = true;
    return;
  }
  t.GoTo(t.Pos - 1);
}

void TTable::Last()
{
  TImpl::TRead read(*Impl);
  Impl->GoLast();
}

bool TTable::Eof() const { return Impl->AtEof; }
bool TTable::Bof() const { return Impl->AtBof; }
std::int64_t TTable::Position() const { return Impl->Pos; }

void TTable::MoveTo(std::int64_t position)
{
  TImpl::TRead read(*Impl);
  Impl->GoTo(position);
}

std::int32_t TTable::Bookmark() const { return Impl->HasRow ? Impl->Row.No : 0; }

void TTable::GotoBookmark(std::int32_t no)
{
  TImpl::TRead read(*Impl);
  std::int64_t pos = Impl->PositionOfNo(no);
  if (pos < 0)
    throw ETableError("Row NO " + std::to_string(no) + " is not in the table '" +
                      Impl->FileName + "'");
  Impl->GoTo(pos);
}

std::int64_t TTable::FindNearest(const std::string& value)
{
  TImpl::TRead read(*Impl);
  return Impl->Nearest(value);
}

const TMinorBodyRow& TTable::Current() const { return Impl->HasRow ? Impl->Row : EmptyRow; }

double TTable::FieldAsFloat(const std::string& field) const
{
  Impl->RequireOpen();
  const TMinorBodyRow& r = Current();
  switch (HasField(field) ? FieldIndex(field) : -1) {
  case 0: return r.No;
  case 2: return r.M;
  case 3: return r.NW;
  case 4: return r.OHM;
  case 5: return r.I;
  case 6: return r.E;
  case 7: return r.A;
  case 8: return r.Date;
  case -1: throw ETableError("Field '" + field + "' not found in the table '" + Impl->FileName + "'");
  default: {
    std::string text = FieldAsString(field);
    double v = 0;
    if (!ParseNumber(text, v))
      throw ETableError("'" + text + "' of the field " + field + " is not a number");
    return v;
  }
  }
}

std::string TTable::FieldAsString(const std::string& field) const
{
  Impl->RequireOpen();
  const TMinorBodyRow& r = Current();
  switch (HasField(field) ? FieldIndex(field) : -1) {
  case 0: return std::to_string(r.No);
  case 1: return r.Name;
  case 9: return r.Class;
  case 10: return r.IsNEA;
  case 11: return r.IsPHA;
  case 12: return r.Reference;
  case 13: return r.Computer;
  case -1: throw ETableError("Field '" + field + "' not found in the table '" + Impl->FileName + "'");
  default: return ShortestText(FieldAsFloat(field));
  }
}

void TTable::ReadElements(TOrbitElements& elements) const
{
  if (!Impl->Db || !Impl->HasRow) return;
  elements = ::ReadElements(Impl->Row);
}

std::vector<TMinorBodyRow> TTable::RowsAt(std::int64_t position, int count) const
{
  std::vector<TMinorBodyRow> rows;
  if (!Impl->Db || count <= 0 || position < 0) return rows;
  TImpl::TRead read(*Impl);
  TImpl& t = *Impl;
  if (position >= t.Count) return rows;
  if (position + count <= TImpl::TopRows && !t.Orders.count(t.Index)) {
    // The top of an order not read yet, as a grid shows it after a click on
    // a column title: straight from the index, the row list comes later.
    t.RequireSound(t.Index);
    TStatement top = t.Prepare("SELECT " + t.Columns() + t.FromIndex(t.Index) + " ORDER BY " +
                               t.OrderBy(t.Index) + " LIMIT ?1 OFFSET ?2");
    top.Bind(1, std::int64_t(count));
    top.Bind(2, position);
    while (top.Step()) t.Fill(top, rows.emplace_back());
    return rows;
  }
  const std::vector<std::int32_t>& order = t.Order();
  const std::int64_t end = std::min<std::int64_t>(position + count, std::int64_t(order.size()));
  rows.resize(size_t(end - position));
  for (std::int64_t k = position; k < end; ++k) t.ReadRowByNo(order[size_t(k)], rows[size_t(k - position)]);
  return rows;
}

std::int64_t TTable::PositionOf(std::int32_t no) const
{
  if (!Impl->Db) return -1;
  TImpl::TRead read(*Impl);
  return Impl->PositionOfNo(no);
}

void TTable::ForEachRow(const std::function<void(const TMinorBodyRow&)>& visit) const
{
  if (!Impl->Db) return;
  TImpl::TRead read(*Impl);
  TImpl& t = *Impl;
  t.RequireSound(t.Index);
  TStatement st = t.Prepare("SELECT " + t.Columns() + t.FromIndex(t.Index) + " ORDER BY " +
                            t.OrderBy(t.Index));
  TMinorBodyRow row;
  std::int64_t visited = 0;
  while (st.Step()) {
    t.Fill(st, row);
    ++visited;
    visit(row);
  }
  if (t.Index.empty()) {
    t.SetTrueCount(visited);  // the table itself
  } else if (visited != t.Count) {
    t.ListedRows(t.Index, visited);
    t.RequireSound(t.Index);
  }
}

bool TTable::RepairIndex(const std::string& name)
{
  TImpl& t = *Impl;
  t.RequireOpen();
  if (!t.Exclusive)
    throw ETableError("The table '" + t.FileName + "' must be open exclusively to rebuild an index");
  TImpl::TRead read(t);
  const TIndexDef* def = t.FindDef(name);
  if (!def) throw ETableError(t.MissingIndex(name));
  // Every entry of the index, counted by walking it.
  if (t.CountEntries(def->Name) == t.CountTable() && !t.Damaged.count(def->Name)) return false;
  t.Exec("REINDEX " + Quoted(def->Name));
  t.Refresh(false);
  return true;
}
