#include "database/TableCheck.h"

#include <sqlite3.h>

#include <strings.h>

#include <cstdint>

namespace {

// The fields the table layer reads, with whether they hold numbers.
struct TFieldSpec {
  const char* Name;
  bool Numeric;
};
constexpr TFieldSpec Fields[] = {{"NO", true},   {"NAME", false},  {"M", true},     {"NW", true},
                                 {"OHM", true},  {"I", true},      {"E", true},     {"A", true},
                                 {"DATE", true}, {"CLASS", false}, {"ISNEA", false}, {"ISPHA", false}};

// More than this many schema objects or named indices is no table of ours.
constexpr int MaxSchemaObjects = 200;

bool Same(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

std::string Quoted(const std::string& identifier)
{
  std::string q = "\"";
  for (char c : identifier) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + "\"";
}

// A statement finalised whatever happens, failing with the file named.
class TQuery {
public:
  TQuery(sqlite3* db, const std::string& sql) : Db(db)
  {
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &Stmt, nullptr) != SQLITE_OK) {
      const std::string message = sqlite3_errmsg(db);
      sqlite3_finalize(Stmt);
      throw ETableError(TableProblem(db, message));
    }
  }
  ~TQuery() { sqlite3_finalize(Stmt); }
  TQuery(const TQuery&) = delete;
  TQuery& operator=(const TQuery&) = delete;

  bool Step()
  {
    const int rc = sqlite3_step(Stmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    throw ETableError(TableProblem(Db, sqlite3_errmsg(Db)));
  }
  void Bind(int i, const std::string& text)
  {
    sqlite3_bind_text(Stmt, i, text.data(), int(text.size()), SQLITE_TRANSIENT);
  }
  bool IsText(int column) const { return sqlite3_column_type(Stmt, column) == SQLITE_TEXT; }
  bool IsNull(int column) const { return sqlite3_column_type(Stmt, column) == SQLITE_NULL; }
  std::int64_t Int(int column) const { return sqlite3_column_int64(Stmt, column); }
  std::string Text(int column) const
  {
    const unsigned char* text = sqlite3_column_text(Stmt, column);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              size_t(sqlite3_column_bytes(Stmt, column)))
                : std::string();
  }

private:
  sqlite3* Db;
  sqlite3_stmt* Stmt = nullptr;
};

[[noreturn]] void Refuse(sqlite3* db, const std::string& what)
{
  throw ETableError(TableProblem(db, what));
}

int OnProgress(void* data)
{
  auto* clock = static_cast<TStepClock*>(data);
  if (std::chrono::steady_clock::now() - clock->Start <= clock->Limit) return 0;
  clock->Expired = true;
  return 1;
}

// The type of a schema object, "" when there is none of that name.
std::string ObjectType(sqlite3* db, const std::string& name, std::string* table = nullptr)
{
  TQuery q(db, "SELECT type, tbl_name FROM sqlite_schema WHERE name = ?1 COLLATE NOCASE");
  q.Bind(1, name);
  if (!q.Step()) return "";
  if (table) *table = q.Text(1);
  return q.Text(0);
}

void CheckBodies(sqlite3* db, TTableShape& shape)
{
  const std::string type = ObjectType(db, BodiesTableName);
  if (type.empty()) Refuse(db, "it holds no table of minor bodies");
  if (type != "table") Refuse(db, std::string("its bodies are a ") + type + ", not a table");
  {
    TQuery q(db, "SELECT sql FROM sqlite_schema WHERE name = 'bodies' COLLATE NOCASE");
    if (q.Step() && q.Text(0).rfind("CREATE VIRTUAL", 0) == 0)
      Refuse(db, "its bodies are a virtual table");
  }
  bool found[std::size(Fields)] = {};
  bool reference = false, computer = false;
  int columns = 0;
  TQuery info(db, std::string("PRAGMA table_xinfo(") + BodiesTableName + ")");
  while (info.Step()) {
    if (++columns > MaxSchemaObjects) Refuse(db, "its bodies table has too many fields");
    const std::string name = info.Text(1), declared = info.Text(2);
    const std::int64_t pk = info.Int(5), hidden = info.Int(6);
    if (hidden != 0) Refuse(db, "the field " + name + " of its bodies is computed, not stored");
    reference |= Same(name, "Reference");
    computer |= Same(name, "Computer");
    for (size_t f = 0; f < std::size(Fields); ++f)
      if (Same(name, Fields[f].Name)) found[f] = true;
    if (Same(name, "NO") != (pk != 0))
      Refuse(db, "the bodies are not keyed by their number NO alone");
    if (Same(name, "NO") && !Same(declared, "INTEGER"))
      Refuse(db, "the number NO of its bodies is declared " + declared + ", not INTEGER");
  }
  for (size_t f = 0; f < std::size(Fields); ++f)
    if (!found[f]) Refuse(db, std::string("its bodies lack the field ") + Fields[f].Name);
  // NO must be the row number itself: a separate key index (WITHOUT ROWID,
  // a descending key) would let it be NULL, a text or a duplicate.
  TQuery indices(db, std::string("PRAGMA index_list(") + BodiesTableName + ")");
  while (indices.Step())
    if (indices.Text(3) == "pk") Refuse(db, "the number NO of its bodies is not their row number");
  // One query each: SQLite finds a lone min() or max() at the end of the
  // row B-tree, both together would scan it.
  for (const char* end : {"min", "max"}) {
    TQuery range(db, std::string("SELECT ") + end + "(NO) FROM " + BodiesTableName);
    if (range.Step() && !range.IsNull(0) && (range.Int(0) < INT32_MIN || range.Int(0) > INT32_MAX))
      Refuse(db, "it holds the number NO = " + std::to_string(range.Int(0)) +
                     ", beyond the 32-bit numbers of bodies");
  }
  shape.HasReferenceAndComputer = reference && computer;
}

}  // namespace

std::string TableProblem(sqlite3* db, const std::string& what)
{
  const char* file = db ? sqlite3_db_filename(db, "main") : nullptr;
  return "The table '" + std::string(file ? file : "") + "': " + what;
}

void HardenConnection(sqlite3* db, TStepClock* clock)
{
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
  sqlite3_limit(db, SQLITE_LIMIT_LENGTH, MaxValueBytes);
  sqlite3_limit(db, SQLITE_LIMIT_SQL_LENGTH, MaxSqlBytes);
  sqlite3_limit(db, SQLITE_LIMIT_EXPR_DEPTH, 100);
  sqlite3_limit(db, SQLITE_LIMIT_COMPOUND_SELECT, 10);
  sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
  if (clock) sqlite3_progress_handler(db, 10000, &OnProgress, clock);
  char* message = nullptr;
  if (sqlite3_exec(db, "PRAGMA trusted_schema = OFF; PRAGMA cell_size_check = ON", nullptr,
                   nullptr, &message) != SQLITE_OK) {
    const std::string text = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    Refuse(db, text);
  }
}

std::string IndexProblem(sqlite3* db, const TIndexDef& def)
{
  std::string table;
  const std::string type = ObjectType(db, def.Name, &table);
  if (type.empty()) return "the index " + def.Name + " is missing";
  if (type != "index") return "the index " + def.Name + " is a " + type + ", not an index";
  if (!Same(table, BodiesTableName)) return "the index " + def.Name + " is not on the bodies";
  {
    TQuery list(db, std::string("PRAGMA index_list(") + BodiesTableName + ")");
    while (list.Step())
      if (Same(list.Text(1), def.Name.c_str()) && list.Int(4) != 0)
        return "the index " + def.Name + " holds only some of the rows";
  }
  const std::vector<std::string> expected = IndexFieldNames(def.Fields);
  std::vector<std::string> keys;
  TQuery info(db, "PRAGMA index_xinfo(" + Quoted(def.Name) + ")");
  while (info.Step()) {
    if (info.Int(5) == 0) continue;  // the row number that ends every entry
    if (info.Int(1) < 0 || info.IsNull(2)) return "the index " + def.Name + " orders by an expression";
    if (info.Int(3) != 0) return "the index " + def.Name + " is descending";
    keys.push_back(info.Text(2));
  }
  bool same = keys.size() == expected.size();
  for (size_t k = 0; same && k < keys.size(); ++k) same = Same(keys[k], expected[k].c_str());
  if (!same) return "the index " + def.Name + " is not on the fields " + def.Fields;
  return "";
}

TTableShape CheckTableShape(sqlite3* db)
{
  TTableShape shape;
  {
    TQuery marks(db, "PRAGMA user_version");
    if (marks.Step() && marks.Int(0) > TableFormatVersion)
      Refuse(db, "it was written by a newer version of the program");
  }
  {
    TQuery count(db, "SELECT count(*) FROM sqlite_schema");
    if (count.Step() && count.Int(0) > MaxSchemaObjects)
      Refuse(db, "it holds " + std::to_string(count.Int(0)) + " schema objects");
  }
  CheckBodies(db, shape);
  std::vector<TIndexDef> defs;
  try {
    defs = ReadIndexDefs(db);
  } catch (const ETableError& e) {
    Refuse(db, e.what());
  }
  if (defs.size() > size_t(MaxSchemaObjects)) Refuse(db, "its list of indices is too long");
  for (const TIndexDef& def : defs) {
    bool duplicate = false;
    for (const TIndexDef& seen : shape.Indices) duplicate |= Same(seen.Name, def.Name.c_str());
    std::string problem = duplicate ? "the index " + def.Name + " is listed twice" : IndexProblem(db, def);
    if (problem.empty())
      shape.Indices.push_back(def);
    else
      shape.Unusable.emplace_back(def, std::move(problem));
  }
  return shape;
}
