// The minor-body table handle: orders, cursor, search, index definitions,
// the row-to-elements mapping, the files of a directory, and what an open
// handle sees while another program writes the table.
#include "database/MinorBodyTable.h"

#include "bodies/SSClasses.h"
#include "database/BoundedTempStorage.h"
#include "database/SqliteStatement.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct TTempDir {
  TTempDir()
  {
    char pattern[] = "/tmp/sollumen-table-XXXXXX";
    Path = mkdtemp(pattern);
  }
  ~TTempDir() { fs::remove_all(Path); }
  std::string File(const std::string& name) const { return Path + "/" + name; }
  std::string Path;
};

struct TRowSpec {
  int No;
  const char* Name;
  double A;
  double E = 0.1;
  const char* Class = "MBA";
};

// Appends rows from a connection of its own, in one transaction, as the
// importer does.
void AppendRows(const std::string& path, const std::vector<TRowSpec>& rows)
{
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
  ExecSql(db, "BEGIN");
  for (const TRowSpec& r : rows) {
    char sql[400];
    std::snprintf(sql, sizeof sql,
                  "INSERT INTO bodies (NO, NAME, M, NW, OHM, I, E, A, DATE, CLASS, ISNEA, ISPHA)"
                  " VALUES (%d, '%s', 10, 150, 80, %d, %.17g, %.17g, 2461000.5, '%s', 'N', 'N')",
                  r.No, r.Name, r.No % 7, r.E, r.A, r.Class);
    ExecSql(db, sql);
  }
  ExecSql(db, "COMMIT");
  sqlite3_close(db);
}

std::vector<int> Nos(const std::vector<TMinorBodyRow>& rows)
{
  std::vector<int> nos;
  for (const TMinorBodyRow& r : rows) nos.push_back(r.No);
  return nos;
}

// Rows with ties in every secondary key; names are compared without regard
// to letter case, so "alpha" ties with "Alpha" and NO decides.
const std::vector<TRowSpec> SampleRows = {
    {5, "Beta", 2.0}, {3, "Alpha", 2.0}, {9, "Alpha", 1.0}, {1, "Gamma", 3.0},
    {-2, "alpha", 2.0}, {7, "Beta", 2.0}};

class TableTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    CreateTable(Dir.Path, "Test.db");
    AppendRows(Dir.File("Test.db"), SampleRows);
    Table.SetDatabaseName(Dir.Path);
    Table.SetTableName("Test.db");
  }
  TTempDir Dir;
  TTable Table;
};

TEST_F(TableTest, OrdersCursorAndRandomAccess)
{
  Table.Close();  // closing a closed table does nothing
  EXPECT_FALSE(Table.Active());
  EXPECT_TRUE(Table.RowsAt(0, 10).empty());
  Table.Open();
  Table.Close();
  Table.Close();
  Table.Open();
  ASSERT_TRUE(Table.Active());
  EXPECT_EQ(Table.RecordCount(), 6);
  EXPECT_EQ(Table.Current().No, -2);  // opened on the first row of NO

  // Stepping and random access agree, primary and secondary, ties by NO.
  const std::vector<std::pair<std::string, std::vector<int>>> orders = {
      {"", {-2, 1, 3, 5, 7, 9}},
      {"IDXNAME", {9, -2, 3, 5, 7, 1}},
      {"IDXA", {9, -2, 3, 5, 7, 1}}};
  for (const auto& [index, expected] : orders) {
    Table.SetIndexName(index);
    // The top of an order is read before its row list, then from it.
    EXPECT_EQ(Nos(Table.RowsAt(1, 3)), std::vector<int>(expected.begin() + 1, expected.begin() + 4));
    std::vector<int> stepped;
    for (Table.First(); !Table.Eof(); Table.Next()) stepped.push_back(Table.Current().No);
    EXPECT_EQ(stepped, expected) << index;
    EXPECT_EQ(Nos(Table.RowsAt(0, 40)), expected) << index;
    EXPECT_EQ(Nos(Table.RowsAt(4, 40)), std::vector<int>(expected.begin() + 4, expected.end()));
    EXPECT_TRUE(Table.RowsAt(6, 40).empty());
    for (int k = 0; k < 6; ++k) EXPECT_EQ(Table.PositionOf(expected[k]), k);
    EXPECT_EQ(Table.PositionOf(4), -1);
  }

  // Cursor ends, bookmarks across a change of index.
  Table.SetIndexName("IDXA");
  Table.Last();
  EXPECT_TRUE(Table.Eof());
  EXPECT_EQ(Table.Current().No, 1);
  Table.First();
  EXPECT_TRUE(Table.Bof());
  Table.Prior();
  EXPECT_TRUE(Table.Bof());
  EXPECT_EQ(Table.Position(), 0);
  Table.MoveTo(4);
  const std::int32_t mark = Table.Bookmark();
  EXPECT_EQ(mark, 7);
  Table.SetIndexName("");
  Table.GotoBookmark(mark);
  EXPECT_EQ(Table.Position(), 4);
  EXPECT_EQ(Table.Current().Name, "Beta");
  EXPECT_THROW(Table.GotoBookmark(4), ETableError);
  Table.MoveTo(100);
  EXPECT_TRUE(Table.Eof());
  EXPECT_EQ(Table.Current().No, 9);
}

TEST_F(TableTest, NearestMatchOnTextAndNumbers)
{
  Table.Open();
  Table.SetIndexName("IDXNAME");
  EXPECT_EQ(Table.FindNearest("B"), 3);
  EXPECT_EQ(Table.Current().No, 5);
  EXPECT_EQ(Table.FindNearest("b"), 3);  // letter case does not count
  EXPECT_EQ(Table.FindNearest("Alpha"), 0);
  EXPECT_EQ(Table.FindNearest("ALPHA"), 0);
  EXPECT_EQ(Table.FindNearest("Gamma!"), 6);  // past the end
  EXPECT_TRUE(Table.Eof());
  EXPECT_EQ(Table.FindNearest(""), 0);  // an empty value: the first row
  EXPECT_EQ(Table.Current().No, 9);

  Table.SetIndexName("IDXA");
  EXPECT_EQ(Table.FindNearest("2"), 1);  // compared as numbers, not "10" < "2"
  EXPECT_EQ(Table.FindNearest("2.0001"), 5);
  EXPECT_EQ(Table.FindNearest("-1e9"), 0);
  EXPECT_THROW(Table.FindNearest("two"), ETableError);

  Table.SetIndexName("");
  EXPECT_EQ(Table.FindNearest("4"), 3);
  EXPECT_EQ(Table.Current().No, 5);
  EXPECT_EQ(Table.FindNearest("10"), 6);
}

TEST_F(TableTest, IndexDefinitionsAndFields)
{
  EXPECT_THROW(Table.IndexDef("IDXNAME"), ETableError);  // closed
  Table.Open();
  EXPECT_EQ(Table.IndexDef("IDXNAME").Fields, "NAME;A;");
  EXPECT_EQ(Table.IndexDefs().size(), 7u);
  EXPECT_THROW(Table.IndexDef("IDXDATE"), ETableError);
  EXPECT_THROW(Table.SetIndexName("IDXDATE"), ETableError);
  EXPECT_THROW(Table.AddIndex({"IDXDATE", "DATE;NO"}), ETableError);  // shared

  Table.Open(true);
  EXPECT_THROW(Table.AddIndex({"IDXA", "A"}), ETableError);
  EXPECT_THROW(Table.AddIndex({"IDXBAD", "NOFIELD"}), ETableError);
  Table.AddIndex({"IDXI2", "I;NO"});
  ASSERT_EQ(Table.IndexDefs().size(), 8u);
  EXPECT_EQ(Table.IndexDefs().back().Name, "IDXI2");
  Table.SetIndexName("IDXI2");
  EXPECT_EQ(Nos(Table.RowsAt(0, 3)), (std::vector<int>{-2, 7, 1}));  // I = NO % 7
  EXPECT_EQ(Table.FindNearest("3"), 4);
  Table.Close();

  // An index is kept in the file; an unknown one makes opening fail.
  Table.SetIndexName("idxi2");
  Table.Open();
  EXPECT_EQ(Table.IndexName(), "IDXI2");
  Table.Close();
  Table.SetIndexName("IDXNOPE");
  EXPECT_THROW(Table.Open(), ETableError);
  EXPECT_FALSE(Table.Active());
  Table.SetIndexName("");
  Table.Open();

  Table.GotoBookmark(3);
  EXPECT_EQ(Table.FieldAsFloat("a"), 2.0);
  EXPECT_EQ(Table.FieldAsFloat("NO"), 3.0);
  EXPECT_EQ(Table.FieldAsString("NAME"), "Alpha");
  EXPECT_EQ(Table.FieldAsString("E"), "0.1");
  EXPECT_FALSE(Table.HasField("Reference"));
  EXPECT_THROW(Table.FieldAsString("Reference"), ETableError);
  EXPECT_THROW(Table.FieldAsFloat("NAME"), ETableError);
}

TEST(ReadElements, WorkedExampleAndRefusedRows)
{
  TMinorBodyRow row;
  row.No = 42;
  row.Name = "Example";
  row.A = 2.5;
  row.M = 10;
  row.NW = 150;
  row.OHM = 80;
  row.I = 5;
  row.E = 0.2;
  row.Date = 2461000.5;
  TOrbitElements el = ReadElements(row);
  EXPECT_NEAR(double(el.DailyMotion), 0.249346, 5e-7);
  EXPECT_DOUBLE_EQ(double(el.DailyMotion), 0.9856262 / (2.5 * std::sqrt(2.5)));
  EXPECT_EQ(el.MeanLon, 160);
  EXPECT_EQ(el.PeriLon, 150);
  EXPECT_EQ(el.NodeLon, 80);
  EXPECT_EQ(el.Incl, 5);
  EXPECT_EQ(el.Ecc, (long double)0.2);
  EXPECT_EQ(el.AxisAU, 2.5);
  EXPECT_EQ(el.EpochJD, 2461000.5);

  for (auto spoil : std::vector<void (*)(TMinorBodyRow&)>{
           [](TMinorBodyRow& r) { r.A = 0; }, [](TMinorBodyRow& r) { r.A = -3; },
           [](TMinorBodyRow& r) { r.E = 1; }, [](TMinorBodyRow& r) { r.E = -0.01; },
           [](TMinorBodyRow& r) { r.M = NAN; }, [](TMinorBodyRow& r) { r.Date = INFINITY; }}) {
    TMinorBodyRow bad = row;
    spoil(bad);
    try {
      ReadElements(bad);
      ADD_FAILURE() << "accepted A=" << bad.A << " E=" << bad.E;
    } catch (const EInvalidElements& e) {
      EXPECT_NE(std::string(e.what()).find("NO 42 (\"Example\")"), std::string::npos) << e.what();
    }
  }

  TTable closed;
  TOrbitElements untouched;
  untouched.AxisAU = 7;
  closed.ReadElements(untouched);
  EXPECT_EQ(untouched.AxisAU, 7);
}

TEST(TableFiles, ListingCreatingAndDeleting)
{
  TTempDir dir;
  CreateTable(dir.Path, "b.db");
  CreateTable(dir.Path, "MPC (10000).db");
  CreateTable(dir.Path, "a.db");
  EXPECT_THROW(CreateTable(dir.Path, "a.db"), ETableError);
  EXPECT_THROW(CreateTable(dir.Path, "x/y.db"), ETableError);
  // A foreign SQLite file, a text file, journals and a table under another name.
  sqlite3* db = nullptr;
  sqlite3_open(dir.File("foreign.db").c_str(), &db);
  ExecSql(db, "CREATE TABLE t (x)");
  sqlite3_close(db);
  std::ofstream(dir.File("notes.db")) << "not SQLite at all\n";
  for (const char* name : {"a.db-journal", "a.db-wal", "a.db-shm", "b.db-journal"})
    fs::copy_file(dir.File("a.db"), dir.File(name));
  fs::copy_file(dir.File("a.db"), dir.File("copy.sqlite"));
  fs::copy_file(dir.File("a.db"), dir.File(".a.db.new-1"));
  fs::create_directory(dir.File("dir.db"));
  EXPECT_EQ(ListTables(dir.Path), (std::vector<std::string>{"MPC (10000).db", "a.db", "b.db"}));
  EXPECT_THROW(ListTables(dir.File("missing")), ETableError);

  // Opening never creates, and names the file it refuses.
  TTable table;
  table.SetDatabaseName(dir.Path);
  for (const char* name : {"missing.db", "foreign.db", "notes.db"}) {
    table.SetTableName(name);
    try {
      table.Open();
      ADD_FAILURE() << name;
    } catch (const ETableError& e) {
      EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
    }
  }
  EXPECT_FALSE(fs::exists(dir.File("missing.db")));

  table.SetTableName("MPC (10000).db");
  table.Open();
  EXPECT_EQ(table.RecordCount(), 0);
  EXPECT_TRUE(table.Eof() && table.Bof());
  EXPECT_EQ(table.FindNearest("5"), 0);
  table.Close();
  DeleteTable(dir.Path, "a.db");
  EXPECT_THROW(DeleteTable(dir.Path, "foreign.db"), ETableError);
  EXPECT_THROW(DeleteTable(dir.Path, "a.db"), ETableError);
  for (const char* gone : {"a.db", "a.db-journal", "a.db-wal", "a.db-shm"})
    EXPECT_FALSE(fs::exists(dir.File(gone))) << gone;
  EXPECT_TRUE(fs::exists(dir.File("foreign.db")));
  EXPECT_EQ(ListTables(dir.Path), (std::vector<std::string>{"MPC (10000).db", "b.db"}));
}

TEST_F(TableTest, ConsistentWhileAnotherProgramWrites)
{
  Table.Open();
  Table.SetIndexName("IDXA");
  Table.MoveTo(3);  // NO 5, A = 2
  ASSERT_EQ(Table.RowsAt(0, 40).size(), 6u);

  // An append commits between two reads: the next read sees all of it, with
  // its count, its order and the cursor still on its row.
  const std::uint64_t changes = Table.ChangeCount();
  ASSERT_EQ(Table.RowsAt(0, 40).size(), 6u);
  EXPECT_EQ(Table.ChangeCount(), changes);
  AppendRows(Dir.File("Test.db"), {{20, "Aa", 0.5}, {21, "Ab", 0.7}, {22, "Zz", 9.0}});
  std::vector<TMinorBodyRow> rows = Table.RowsAt(0, 40);
  EXPECT_NE(Table.ChangeCount(), changes);
  EXPECT_EQ(Table.RecordCount(), 9);
  EXPECT_EQ(Nos(rows), (std::vector<int>{20, 21, 9, -2, 3, 5, 7, 1, 22}));
  EXPECT_EQ(Table.Current().No, 5);
  EXPECT_EQ(Table.Position(), 5);

  // While every row is visited, another program cannot commit in between.
  int visited = 0;
  Table.ForEachRow([&](const TMinorBodyRow&) {
    if (visited++ == 0) {
      sqlite3* db = nullptr;
      sqlite3_open_v2(Dir.File("Test.db").c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
      EXPECT_NE(sqlite3_exec(db, "INSERT INTO bodies (NO, NAME, A, E) VALUES (30, 'X', 1, 0)",
                             nullptr, nullptr, nullptr),
                SQLITE_OK);
      sqlite3_close(db);
    }
  });
  EXPECT_EQ(visited, 9);

  // A table replaced by renaming a new file over it: the open handle keeps
  // the file it opened; reopening reads the new one.
  CreateTable(Dir.Path, "New.db");
  AppendRows(Dir.File("New.db"), {{100, "Only", 1.0}});
  fs::rename(Dir.File("New.db"), Dir.File("Test.db"));
  EXPECT_EQ(Table.RowsAt(0, 40).size(), 9u);
  EXPECT_EQ(Table.RecordCount(), 9);
  Table.Close();
  Table.Open();
  EXPECT_EQ(Table.RecordCount(), 1);
  EXPECT_EQ(Table.Current().Name, "Only");
}

// Every row visited in each order, as random access gives it, with numbers
// far apart and many ties.
TEST(LargeTable, EveryRowInOrder)
{
  TTempDir dir;
  CreateTable(dir.Path, "Large.db");
  sqlite3* db = nullptr;
  sqlite3_open(dir.File("Large.db").c_str(), &db);
  ExecSql(db, "BEGIN");
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO bodies (NO, NAME, A, E, CLASS) VALUES (?, ?, ?, 0.1, 'MBA')",
                     -1, &insert, nullptr);
  const int count = 12011;
  for (long long k = 0; k < count; ++k) {
    // Numbers with gaps and below zero; names and axes with many ties.
    const int no = int(k % 3 == 0 ? -k - 1 : 2 * k + 1);
    std::string name = "N";
    name += std::to_string(k * 7919 % 1000);
    sqlite3_bind_int(insert, 1, no);
    sqlite3_bind_text(insert, 2, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(insert, 3, 1 + (k * 104729 % 97) / 10.0);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  ExecSql(db, "COMMIT");
  sqlite3_close(db);

  TTable table;
  table.SetDatabaseName(dir.Path);
  table.SetTableName("Large.db");
  table.Open();
  for (const char* index : {"", "IDXNAME", "IDXA"}) {
    table.SetIndexName(index);
    std::vector<int> visited;
    table.ForEachRow([&](const TMinorBodyRow& row) { visited.push_back(row.No); });
    EXPECT_EQ(visited, Nos(table.RowsAt(0, count))) << index;
    EXPECT_EQ(visited.size(), size_t(count));
  }

  // A visitor's failure ends the visit and reaches the caller; the handle
  // goes on, and no writer commits while the rows are read.
  int seen = 0;
  EXPECT_THROW(table.ForEachRow([&](const TMinorBodyRow&) {
    if (++seen == 10000) {
      sqlite3* writer = nullptr;
      sqlite3_open_v2(dir.File("Large.db").c_str(), &writer, SQLITE_OPEN_READWRITE, nullptr);
      EXPECT_NE(sqlite3_exec(writer, "DELETE FROM bodies", nullptr, nullptr, nullptr), SQLITE_OK);
      sqlite3_close(writer);
      throw std::runtime_error("enough");
    }
  }), std::runtime_error);
  EXPECT_EQ(seen, 10000);
  EXPECT_EQ(table.RowsAt(count - 5, 40).size(), 5u);
}

TEST_F(TableTest, KilledWriterLeavesTheCommittedTable)
{
  // A child appends many rows, spilling pages into the file, and dies
  // before committing: its journal is left behind, hot.
  const std::string path = Dir.File("Test.db");
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "PRAGMA cache_size = 2; BEGIN", nullptr, nullptr, nullptr);
    for (int i = 0; i < 3000; ++i) {
      std::string sql = "INSERT INTO bodies (NO, NAME, A, E) VALUES (" + std::to_string(1000 + i) +
                        ", 'Spilled name number " + std::to_string(i) + "', 2, 0.1)";
      sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(fs::exists(path + "-journal"));

  Table.Open();  // shared
  EXPECT_EQ(Table.RecordCount(), 6);
  EXPECT_EQ(Table.RowsAt(0, 100).size(), 6u);
  EXPECT_FALSE(fs::exists(path + "-journal"));
}

}  // namespace

namespace {

// Runs SQL on a table file from another program's plain connection.
void Tamper(const std::string& path, const std::string& sql)
{
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
  char* message = nullptr;
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
  EXPECT_EQ(rc, SQLITE_OK) << (message ? message : "") << " in " << sql;
  sqlite3_free(message);
  sqlite3_close(db);
}

// The message an open fails with ("" when it succeeds).
std::string OpenFailure(TTable& table, bool exclusive = false)
{
  try {
    table.Close();
    table.Open(exclusive);
  } catch (const ETableError& e) {
    return e.what();
  }
  return "";
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

// Crafted objects in place of the bodies or their bookkeeping are refused
// at once, naming the file and the problem; nothing stored in the file runs.
TEST_F(TableTest, CraftedSchemaIsRefusedQuicklyAndNamed)
{
  const std::string path = Dir.File("Test.db");
  const std::string pristine = Dir.File("Pristine.db");
  fs::copy_file(path, pristine);
  const struct {
    const char* Sql;
    const char* Problem;
  } cases[] = {
      {"PRAGMA writable_schema = ON; UPDATE sqlite_schema SET type = 'view', sql = "
       "'CREATE VIEW bodies AS WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) "
       "SELECT x AS NO, x AS NAME, x AS M, x AS NW, x AS OHM, x AS I, x AS E, x AS A, x AS DATE,"
       " x AS CLASS, x AS ISNEA, x AS ISPHA FROM n', rootpage = 0 WHERE name = 'bodies'",
       "view"},
      {"PRAGMA writable_schema = ON; UPDATE sqlite_schema SET type = 'view', sql = "
       "'CREATE VIEW sollumen_indices AS SELECT 1 AS seq, ''IDXA'' AS name, ''A;NAME'' AS fields "
       "FROM bodies a, bodies b, bodies c', rootpage = 0 WHERE name = 'sollumen_indices';"
       "DELETE FROM sqlite_schema WHERE name = 'sqlite_autoindex_sollumen_indices_1'",
       "list of indices"},
      {"PRAGMA writable_schema = ON; UPDATE sqlite_schema SET sql = replace(sql, 'NOT NULL', '') "
       "WHERE name = 'sollumen_indices'",
       "NULL"},
      {"UPDATE sollumen_indices SET fields = x'4142' WHERE name = 'IDXA'", "not a text"},
      {"INSERT INTO bodies (NO, NAME) VALUES (5000000000, 'Far')", "5000000000"},
      {"PRAGMA writable_schema = ON; UPDATE sqlite_schema SET sql = replace(sql, 'ISPHA TEXT', "
       "'ISPHA TEXT, Z AS (upper(NAME))') WHERE name = 'bodies'",
       "computed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Sql);
    fs::copy_file(pristine, path, fs::copy_options::overwrite_existing);
    Tamper(path, c.Sql);
    if (std::string(c.Problem) == "NULL") Tamper(path, "UPDATE sollumen_indices SET name = NULL WHERE name = 'IDXE'");
    const auto start = std::chrono::steady_clock::now();
    const std::string message = OpenFailure(Table);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_TRUE(Has(message, path)) << message;
    EXPECT_TRUE(Has(message, c.Problem)) << message;
    EXPECT_FALSE(Table.Active());
  }

  // A trigger stored in the file does not fire when indices are made.
  fs::copy_file(pristine, path, fs::copy_options::overwrite_existing);
  Tamper(path, "DROP INDEX IDXE; CREATE TRIGGER wipe AFTER INSERT ON sollumen_indices "
               "BEGIN DELETE FROM bodies; END");
  Table.Open(true);
  Table.AddIndex({"IDXE", "E;NAME"});
  EXPECT_EQ(Table.RecordCount(), 6);
}

// Indices that another program dropped, reshaped or damaged are not
// trusted: left out, or reported with the file named, and made again by
// "Rebuild indices"; a NULL or a text in a number field refuses the row.
TEST_F(TableTest, IndicesAndFieldsThatDisagreeAreReportedAndRebuilt)
{
  const std::string path = Dir.File("Test.db");
  AppendRows(path, {{11, "Delta", 4.0}, {12, "Eps", 5.0}});
  Tamper(path, "DROP INDEX IDXPHA; DROP INDEX IDXA; CREATE INDEX IDXA ON bodies (E)");
  Table.Open();
  for (const TIndexDef& def : Table.IndexDefs()) EXPECT_TRUE(def.Name != "IDXPHA" && def.Name != "IDXA");
  try {
    Table.SetIndexName("IDXPHA");
    ADD_FAILURE() << "a dropped index was used";
  } catch (const ETableError& e) {
    EXPECT_TRUE(Has(e.what(), "Test.db") && Has(e.what(), "IDXPHA is missing")) << e.what();
  }
  EXPECT_EQ(Nos(Table.RowsAt(0, 40)), (std::vector<int>{-2, 1, 3, 5, 7, 9, 11, 12}));
  Table.Open(true);
  Table.AddIndex({"IDXPHA", "ISPHA;NO"});
  Table.AddIndex({"IDXA", "A;NAME"});
  Table.SetIndexName("IDXA");
  // Names in the order a person reads them: "alpha" before "Beta".
  EXPECT_EQ(Nos(Table.RowsAt(0, 40)), (std::vector<int>{9, -2, 3, 5, 7, 1, 11, 12}));

  // An index whose B-tree lists only some rows (its definition widened
  // behind SQLite's back) hides nothing: the primary order comes from the
  // table, the index is reported, and repairing it rebuilds it.
  Table.Close();
  Tamper(path, "DROP INDEX IDXNAME; CREATE INDEX IDXNAME ON bodies (NAME, A) WHERE NO < 6;"
               "PRAGMA writable_schema = ON; UPDATE sqlite_schema SET sql = "
               "'CREATE INDEX IDXNAME ON bodies (NAME, A)' WHERE name = 'IDXNAME'");
  Table.Open();
  Table.SetIndexName("IDXNAME");
  try {
    Table.RowsAt(0, 1000);
    ADD_FAILURE() << "a damaged index was trusted";
  } catch (const ETableError& e) {
    EXPECT_TRUE(Has(e.what(), path) && Has(e.what(), "lists 4 rows, the table holds 8")) << e.what();
  }
  EXPECT_EQ(Table.RecordCount(), 8);
  Table.SetIndexName("");
  EXPECT_EQ(Table.RowsAt(0, 1000).size(), 8u);
  Table.Close();
  Table.SetIndexName("");
  Table.Open(true);
  EXPECT_TRUE(Table.RepairIndex("IDXNAME"));
  EXPECT_FALSE(Table.RepairIndex("IDXA"));
  Table.Open();
  Table.SetIndexName("IDXNAME");
  EXPECT_EQ(Table.RowsAt(0, 1000).size(), 8u);

  // Fields the file holds as NULL or as a text where a number belongs.
  Table.Close();
  Tamper(path, "UPDATE bodies SET M = NULL WHERE NO = 5; UPDATE bodies SET A = 'far' WHERE NO = 7");
  Table.Open();
  std::vector<std::string> refusals;
  for (const TMinorBodyRow& row : Table.RowsAt(0, 40)) {
    try {
      ReadElements(row);
    } catch (const EInvalidElements& e) {
      refusals.push_back(e.what());
    }
  }
  ASSERT_EQ(refusals.size(), 2u);
  EXPECT_TRUE(Has(refusals[0], "NO 5") && Has(refusals[0], "field M is NULL")) << refusals[0];
  EXPECT_TRUE(Has(refusals[1], "NO 7") && Has(refusals[1], "field A")) << refusals[1];
}

// The bounds under every statement: a step that runs too long is stopped,
// and temporary files stop at their limit.
TEST(UntrustedConnection, StepsAndTemporaryStorageAreBounded)
{
  TTempDir dir;
  TBoundedTempStorage storage(1 << 20);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(dir.File("x.db").c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            storage.VfsName()),
            SQLITE_OK);
  TStepClock clock;
  HardenConnection(db, &clock);
  clock.Limit = std::chrono::milliseconds(200);
  const auto start = std::chrono::steady_clock::now();
  try {
    TStatement endless(db, "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) "
                           "SELECT count(*) FROM n", &clock);
    endless.Step();
    ADD_FAILURE() << "an endless statement ended";
  } catch (const ETableError& e) {
    EXPECT_TRUE(Has(e.what(), "x.db") && Has(e.what(), "longer than")) << e.what();
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

  // A sort of 4 MB spills to temporary files, past the 1 MB allowed.
  ExecSql(db, "PRAGMA cache_size = 10; PRAGMA temp_store = FILE");
  clock.Limit = std::chrono::seconds(60);
  try {
    TStatement sort(db, "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n LIMIT 40000) "
                        "SELECT x, printf('%100d', x) AS t FROM n ORDER BY t DESC", &clock);
    while (sort.Step()) {
    }
    ADD_FAILURE() << "the sort ran past the limit";
  } catch (const ETableError& e) {
    EXPECT_TRUE(Has(e.what(), "full")) << e.what();
  }
  EXPECT_TRUE(storage.Refused());
  sqlite3_close(db);
  EXPECT_EQ(storage.Used(), 0);
}
