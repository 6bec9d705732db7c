#include "database/TableSchema.h"

#include "database/TableCheck.h"

#include <sqlite3.h>

#include <cctype>

#include <array>
#include <strings.h>
#include <fstream>

namespace {

// Index bookkeeping: SQLite keeps the index itself, this table keeps the
// name and field list as they were given, in creation order.
constexpr const char* IndexListTable = "sollumen_indices";
constexpr int MaxIndexTextBytes = 256;
constexpr size_t MaxIndexDefs = 64;

std::string Quoted(const std::string& identifier) {
  std::string q = "\"";
  for (char c : identifier) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + "\"";
}

std::uint32_t BigEndian32(const unsigned char* p) {
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) |
         (std::uint32_t(p[2]) << 8) | std::uint32_t(p[3]);
}

std::vector<std::string> ColumnNames(sqlite3* db) {
  std::vector<std::string> names;
  sqlite3_stmt* stmt = nullptr;
  std::string sql = std::string("PRAGMA table_info(") + BodiesTableName + ")";
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    std::string message = sqlite3_errmsg(db);
    sqlite3_finalize(stmt);
    throw ETableError(message);
  }
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    const unsigned char* name = sqlite3_column_text(stmt, 1);
    if (name) names.push_back(reinterpret_cast<const char*>(name));
  }
  sqlite3_finalize(stmt);
  return names;
}

// The single text a query yields, "" for none.
std::string TextOf(sqlite3* db, const std::string& sql, const std::string& name) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    std::string message = sqlite3_errmsg(db);
    sqlite3_finalize(stmt);
    throw ETableError(message);
  }
  sqlite3_bind_text(stmt, 1, name.c_str(), -1, SQLITE_TRANSIENT);
  std::string text;
  if (sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_type(stmt, 0) == SQLITE_TEXT)
    text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
  sqlite3_finalize(stmt);
  return text;
}

// An index dropped by another program, or one that is not what its
// definition says, is made again: its stale entry in the list and the
// misshapen SQLite index go first. A usable index of that name stays, and
// the addition fails.
void ClearUnusableIndex(sqlite3* db, const TIndexDef& index) {
  const std::string listed = TextOf(db, std::string("SELECT fields FROM ") + IndexListTable +
                                            " WHERE name = ?1 COLLATE NOCASE", index.Name);
  const std::string type =
      TextOf(db, "SELECT type FROM sqlite_schema WHERE name = ?1 COLLATE NOCASE", index.Name);
  if (listed.empty() && type.empty()) return;
  if (!listed.empty() && IndexProblem(db, {index.Name, listed}).empty())
    throw ETableError("Index '" + index.Name + "' already exists");
  if (!type.empty() && type != "index")
    throw ETableError("The name " + index.Name + " is taken by a " + type + " in the table");
  sqlite3_stmt* stmt = nullptr;
  const std::string remove =
      std::string("DELETE FROM ") + IndexListTable + " WHERE name = ?1 COLLATE NOCASE";
  if (sqlite3_prepare_v2(db, remove.c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
    sqlite3_bind_text(stmt, 1, index.Name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(stmt);
  }
  sqlite3_finalize(stmt);
  if (!type.empty()) ExecSql(db, "DROP INDEX " + Quoted(index.Name));
}

}  // namespace

const std::vector<TIndexDef>& StandardIndices() {
  static const std::vector<TIndexDef> indices = {
      {"IDXNAME", "NAME;A;"}, {"IDXA", "A;NAME"},     {"IDXE", "E;NAME"},
      {"IDXINCL", "I;NAME"},  {"IDXCL", "CLASS;NO"},  {"IDXNEA", "ISNEA;NO"},
      {"IDXPHA", "ISPHA;NO"}};
  return indices;
}

std::vector<std::string> IndexFieldNames(const std::string& fields) {
  std::vector<std::string> names;
  std::string part;
  for (char c : fields + ";") {
    if (c == ';') {
      if (!part.empty()) names.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  return names;
}

bool IsTableFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::array<unsigned char, 100> header{};
  if (!in.read(reinterpret_cast<char*>(header.data()), header.size())) return false;
  static const char magic[] = "SQLite format 3";
  for (int i = 0; i < 16; ++i)
    if (header[i] != static_cast<unsigned char>(magic[i])) return false;
  return BigEndian32(&header[68]) == std::uint32_t(TableApplicationId);
}

void ExecSql(sqlite3* db, const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::string text = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    throw ETableError(text);
  }
}

void CreateTableSchema(sqlite3* db, bool withReferenceAndComputer) {
  std::string sql = "PRAGMA application_id = " + std::to_string(TableApplicationId) +
                    "; PRAGMA user_version = " + std::to_string(TableFormatVersion) + ";";
  sql += std::string("CREATE TABLE ") + BodiesTableName +
         " (NO INTEGER PRIMARY KEY, NAME TEXT, M REAL, NW REAL, OHM REAL, I REAL,"
         " E REAL, A REAL, DATE REAL, CLASS TEXT, ISNEA TEXT, ISPHA TEXT";
  if (withReferenceAndComputer) sql += ", Reference TEXT, Computer TEXT";
  sql += ");";
  sql += std::string("CREATE TABLE ") + IndexListTable +
         " (seq INTEGER PRIMARY KEY, name TEXT UNIQUE NOT NULL, fields TEXT NOT NULL);";
  ExecSql(db, sql);
}

void AddNamedIndex(sqlite3* db, const TIndexDef& index) {
  std::vector<std::string> names = IndexFieldNames(index.Fields);
  if (index.Name.empty() || names.empty())
    throw ETableError("Invalid index definition '" + index.Name + "'");
  // SQLite would take a quoted name that is no column for a constant text and
  // index that; only the table's own fields are accepted.
  std::vector<std::string> known = ColumnNames(db);
  std::string columns;
  for (const std::string& n : names) {
    bool found = false;
    for (const std::string& k : known) found |= strcasecmp(k.c_str(), n.c_str()) == 0;
    if (!found) throw ETableError("Index '" + index.Name + "': no field '" + n + "' in the table");
    columns += (columns.empty() ? "" : ", ") + OrderTerm(n);
  }
  // One transaction: the SQLite index and its entry in the list exist together.
  ExecSql(db, "SAVEPOINT add_index");
  try {
    ClearUnusableIndex(db, index);
    sqlite3_stmt* stmt = nullptr;
    std::string insert = std::string("INSERT INTO ") + IndexListTable + " (name, fields) VALUES (?, ?)";
    if (sqlite3_prepare_v2(db, insert.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
      throw ETableError(sqlite3_errmsg(db));
    sqlite3_bind_text(stmt, 1, index.Name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 2, index.Fields.c_str(), -1, SQLITE_TRANSIENT);
    int rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) {
      if (rc == SQLITE_CONSTRAINT) throw ETableError("Index '" + index.Name + "' already exists");
      throw ETableError(sqlite3_errmsg(db));
    }
    ExecSql(db, "CREATE INDEX " + Quoted(index.Name) + " ON " + BodiesTableName + " (" +
                    columns + ")");
    ExecSql(db, "RELEASE add_index");
  } catch (...) {
    sqlite3_exec(db, "ROLLBACK TO add_index; RELEASE add_index", nullptr, nullptr, nullptr);
    throw;
  }
}

std::vector<TIndexDef> ReadIndexDefs(sqlite3* db) {
  // The list comes from the file: a NULL, a number or an over-long text is
  // refused with its row named, and the statement is finalised on every path.
  std::vector<TIndexDef> defs;
  sqlite3_stmt* stmt = nullptr;
  const std::string sql = std::string("SELECT seq, name, fields FROM ") + IndexListTable +
                          " ORDER BY seq";
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    std::string message = sqlite3_errmsg(db);
    sqlite3_finalize(stmt);
    throw ETableError("its list of indices cannot be read: " + message);
  }
  std::string problem;
  int rc;
  while (problem.empty() && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    const std::string row = "row " + std::to_string(sqlite3_column_int64(stmt, 0));
    TIndexDef def;
    for (int column : {1, 2}) {
      const char* field = column == 1 ? "name" : "fields";
      if (sqlite3_column_type(stmt, column) != SQLITE_TEXT) {
        problem = "the " + std::string(field) + " of " + row + " in its list of indices is " +
                  (sqlite3_column_type(stmt, column) == SQLITE_NULL ? "NULL" : "not a text");
        break;
      }
      const int bytes = sqlite3_column_bytes(stmt, column);
      if (bytes == 0 || bytes > MaxIndexTextBytes) {
        problem = "the " + std::string(field) + " of " + row + " in its list of indices is " +
                  (bytes == 0 ? "empty" : "too long");
        break;
      }
      (column == 1 ? def.Name : def.Fields)
          .assign(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)), size_t(bytes));
    }
    if (problem.empty()) defs.push_back(std::move(def));
    if (defs.size() > MaxIndexDefs) problem = "its list of indices is too long";
  }
  if (problem.empty() && rc != SQLITE_DONE) problem = std::string("its list of indices cannot be read: ") + sqlite3_errmsg(db);
  sqlite3_finalize(stmt);
  if (!problem.empty()) throw ETableError(problem);
  return defs;
}

std::string OrderTerm(const std::string& field)
{
  return strcasecmp(field.c_str(), "NAME") == 0 ? Quoted(field) + " COLLATE NOCASE" : Quoted(field);
}

std::vector<std::string> OutdatedNameIndices(sqlite3* db)
{
  std::vector<std::string> names;
  sqlite3_stmt* stmt = nullptr;
  const std::string sql =
      std::string("SELECT l.name, m.sql FROM ") + IndexListTable +
      " l JOIN sqlite_master m ON m.type = 'index' AND m.name = l.name ORDER BY l.seq";
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
    throw ETableError(sqlite3_errmsg(db));
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1));
    std::string upper = text ? text : "";
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper.find("\"NAME\"") != std::string::npos && upper.find("NOCASE") == std::string::npos)
      names.push_back(name ? name : "");
  }
  sqlite3_finalize(stmt);
  return names;
}

void RenewNamedIndex(sqlite3* db, const TIndexDef& index)
{
  std::string columns;
  for (const std::string& n : IndexFieldNames(index.Fields))
    columns += (columns.empty() ? "" : ", ") + OrderTerm(n);
  ExecSql(db, "SAVEPOINT renew_index");
  try {
    ExecSql(db, "DROP INDEX IF EXISTS " + Quoted(index.Name));
    ExecSql(db, "CREATE INDEX " + Quoted(index.Name) + " ON " + BodiesTableName + " (" +
                    columns + ")");
    ExecSql(db, "RELEASE renew_index");
  } catch (...) {
    sqlite3_exec(db, "ROLLBACK TO renew_index; RELEASE renew_index", nullptr, nullptr, nullptr);
    throw;
  }
}
