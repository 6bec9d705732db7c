// The file format of a minor-body table, shared by the table layer (which
// reads tables) and the importer (which writes them): one SQLite database
// file per table, "<name>.db", holding the table `bodies` with the twelve
// element fields (and, from the importer, `Reference` and `Computer`), the
// named secondary indices, and the list of those indices with the field
// lists they were defined with.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;

// Every failure of the table engine, carrying SQLite's message.
class ETableError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The marks that tell our table files from other SQLite files: SQLite's
// application_id and user_version header fields.
constexpr std::int32_t TableApplicationId = 0x534C4D42;  // "SLMB"
constexpr std::int32_t TableFormatVersion = 1;

// The SQL name of the one table inside a table file.
inline constexpr const char* BodiesTableName = "bodies";

// Field sizes of the text fields.
constexpr int NameFieldSize = 32;
constexpr int ClassFieldSize = 20;
constexpr int FlagFieldSize = 1;
constexpr int ReferenceFieldSize = 16;

// A named secondary index and its field list as the program passes it
// ("NAME;A;" is NAME, then A).
struct TIndexDef {
  std::string Name;
  std::string Fields;
};

// The seven secondary indices every complete table has, in creation order.
const std::vector<TIndexDef>& StandardIndices();

// The field names of a field list ("NAME;A;" -> NAME, A); empty parts are
// dropped.
std::vector<std::string> IndexFieldNames(const std::string& fields);

// True when the file at `path` is a table file of ours (reads its header
// only; false for anything unreadable, foreign or not SQLite at all).
bool IsTableFile(const std::string& path);

// Creates the schema in an empty database: the marks, the table (with
// `Reference` and `Computer` when asked), and the bookkeeping of indices.
// No secondary index is made.
void CreateTableSchema(sqlite3* db, bool withReferenceAndComputer);

// Adds a named secondary index; throws ETableError when an index of that
// name exists or a field is unknown.
void AddNamedIndex(sqlite3* db, const TIndexDef& index);

// Names are ordered and searched without regard to letter case ("vesta",
// "VESTA" and "Vesta" are one key): the term by which a field is indexed,
// ordered and compared, `"NAME" COLLATE NOCASE` for the name and the quoted
// field for any other.
std::string OrderTerm(const std::string& field);

// The named indices of a table made by an earlier build, which ordered
// names by letter codes (upper case before lower case): they must be built
// again before the name order and the search can use them.
std::vector<std::string> OutdatedNameIndices(sqlite3* db);
// Builds a named index again with the current order, keeping its name and
// field list.
void RenewNamedIndex(sqlite3* db, const TIndexDef& index);

// The named secondary indices of a table, in creation order.
std::vector<TIndexDef> ReadIndexDefs(sqlite3* db);

// Runs SQL without results; throws ETableError with SQLite's message.
void ExecSql(sqlite3* db, const std::string& sql);
