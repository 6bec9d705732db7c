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
#include "database/MinorBodyTable.h"

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

// Reads the columns of a table's column list into a row, reusing its strings.
void FillRow(const TStatement& st, TMinorBodyRow& row, bool withReferenceAndComputer)
{
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

// True when a read-only connection finds a journal it would have to play back.
bool NeedsRollback(sqlite3* db)
{
  if (sqlite3_exec(db, "PRAGMA user_version", nullptr, nullptr, nullptr) == SQLITE_OK)
    return false;
  const int code = sqlite3_extended_errcode(db);
  return code == SQLITE_READONLY_ROLLBACK || code == SQLITE_READONLY_RECOVERY;
}

void RollBackJournal(const std::string& path)
{
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  if (rc == SQLITE_OK) {
    sqlite3_busy_timeout(db, 5000);
    rc = sqlite3_exec(db, "PRAGMA user_version", nullptr, nullptr, nullptr);
  }
  std::string message = db ? sqlite3_errmsg(db) : "out of memory";
  sqlite3_close(db);
  if (rc != SQLITE_OK)
    throw ETableError("The table '" + path +
                      "' holds an unfinished change that cannot be rolled back: " + message);
}

}  // namespace

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
  sqlite3* Db = nullptr;
  bool Exclusive = false;
  bool HasReferenceAndComputer = false;

  // Read from the file, valid for DataVersion.
  std::int64_t DataVersion = -1;
  std::int64_t Count = 0;
  std::vector<TIndexDef> Defs;
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
    Count = 0;
    DataVersion = -1;
    ReadDepth = 0;
    Pos = 0;
    AtBof = AtEof = true;
    HasRow = false;
    Row = TMinorBodyRow();
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
    if (!def) throw ETableError("Index '" + index + "' not found in the table '" + FileName + "'");
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
    if (!index.empty()) from += " INDEXED BY " + Quoted(FindDef(index)->Name);
    return from;
  }

  // --- Read transactions -------------------------------------------------

  void BeginRead()
  {
    RequireOpen();
    if (ReadDepth++ > 0) return;
    try {
      ExecSql(Db, "BEGIN");
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
    TStatement count(Db, std::string("SELECT count(*) FROM ") + BodiesTableName);
    count.Step();
    Count = count.Int(0);
    ++Changes;
    Defs = ReadIndexDefs(Db);
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
      TStatement st(Db, std::string("SELECT NO FROM ") + BodiesTableName + " INDEXED BY " +
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
    } else {
      TStatement st(Db, "SELECT NO" + FromIndex(Index) + " ORDER BY " + OrderBy(Index));
      while (st.Step()) order.push_back(std::int32_t(st.Int(0)));
    }
    Count = std::int64_t(order.size());
    return Orders.emplace(Index, std::move(order)).first->second;
  }

  // An index on a one-letter flag and NO, if the table has one.
  const TIndexDef* SmallIndex() const
  {
    for (const char* name : {"IDXPHA", "IDXNEA"}) {
      const TIndexDef* def = FindDef(name);
      if (!def) continue;
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
      throw ETableError("Row NO " + std::to_string(no) + " is missing from the table '" +
                        FileName + "'");
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
    TStatement st(Db, "SELECT " + Columns() + FromIndex(Index) + " ORDER BY " + OrderBy(Index) +
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
               .emplace(Index, TStatement(Db, "SELECT " + OrderTerm(field) + " < ?1 FROM " +
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

  int flags = exclusive ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
  int rc = sqlite3_open_v2(path.c_str(), &t.Db, flags, nullptr);
  try {
    if (rc == SQLITE_OK && !exclusive && NeedsRollback(t.Db)) {
      // A writer stopped in the middle of a change (a killed import): its
      // journal has to be played back before anyone reads, which a
      // read-only handle cannot do. A read-write one does it once; it only
      // restores the last committed state.
      sqlite3_close(t.Db);
      t.Db = nullptr;
      RollBackJournal(path);
      rc = sqlite3_open_v2(path.c_str(), &t.Db, flags, nullptr);
    }
    if (rc != SQLITE_OK)
      throw ETableError("Cannot open the table '" + path + "': " +
                        (t.Db ? sqlite3_errmsg(t.Db) : "out of memory"));
    t.Exclusive = exclusive;
    // Short waits while another program commits; the file mapped for reading.
    sqlite3_busy_timeout(t.Db, 5000);
    ExecSql(t.Db, "PRAGMA mmap_size = 4294967296; PRAGMA cache_size = -32768");
    if (exclusive) {
      // Taking the write lock now, and keeping it until the table is closed.
      ExecSql(t.Db, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; COMMIT");
    }
    {
      TStatement format(t.Db, "PRAGMA user_version");
      format.Step();
      if (format.Int(0) > TableFormatVersion)
        throw ETableError("The table '" + path + "' was written by a newer version of the program");
    }
    TStatement columns(t.Db, std::string("PRAGMA table_info(") + BodiesTableName + ")");
    int found = 0;
    bool reference = false, computer = false;
    while (columns.Step()) {
      std::string name;
      columns.Text(1, name);
      int field = FieldIndex(name);
      if (field >= 0 && field < PlainFieldCount) ++found;
      reference |= field == 12;
      computer |= field == 13;
    }
    if (found < PlainFieldCount)
      throw ETableError("'" + path + "' lacks fields of a minor-body table");
    t.HasReferenceAndComputer = reference && computer;
    t.Version = TStatement(t.Db, "PRAGMA data_version");
    t.RowByNo = TStatement(t.Db, "SELECT " + t.Columns() + " FROM " + BodiesTableName +
                                     " WHERE NO = ?1");
    TImpl::TRead read(t);
    if (!t.Index.empty() && !t.FindDef(t.Index))
      throw ETableError("Index '" + t.Index + "' not found in the table '" + t.FileName + "'");
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
    if (!def) throw ETableError("Index '" + name + "' not found in the table '" + t.FileName + "'");
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
  if (!def) throw ETableError("Index '" + name + "' not found in the table '" + Impl->FileName + "'");
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
  AddNamedIndex(t.Db, index);
  TImpl::TRead read(t);
  t.Defs = ReadIndexDefs(t.Db);
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
    TStatement top(t.Db, "SELECT " + t.Columns() + t.FromIndex(t.Index) + " ORDER BY " +
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
  TStatement st(t.Db, "SELECT " + t.Columns() + t.FromIndex(t.Index) + " ORDER BY " +
                          t.OrderBy(t.Index));
  TMinorBodyRow row;
  while (st.Step()) {
    t.Fill(st, row);
    visit(row);
  }
}
