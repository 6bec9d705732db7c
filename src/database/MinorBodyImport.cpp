#include "database/MinorBodyImport.h"

#include "database/ElementFileReader.h"
#include "database/MpcFormats.h"
#include "database/TableCheck.h"
#include "database/TableSchema.h"

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Temporary tables are ".sollumen-import-<pid>-<n>.tmp": hidden, never a
// ".db", and the pid tells whether their writer still lives.
constexpr const char* TempPrefix = ".sollumen-import-";
constexpr const char* TempSuffix = ".tmp";

// The header of MPCORB.DAT ends with a line of dashes near the top; files
// without one (extracts) are data from the first line.
constexpr int HeaderSearchLines = 60;
// A file whose first lines are all malformed is no file of that format.
constexpr std::int64_t MalformedBeforeGivingUp = 1000;
constexpr int LinesPerCheck = 4096;
// The page cache of an append, in KiB: room for the pages of a few hundred
// thousand new rows and their indices.
constexpr int AppendCacheKiB = 256 * 1024;

using Clock = std::chrono::steady_clock;

const char* FormatName(TElementFormat f)
{
  return f == TElementFormat::Comets ? "MPC comet format" : "MPC minor-planet format";
}

void SyncFile(const std::string& path, int flags)
{
  const int fd = ::open(path.c_str(), flags);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

std::string TempFilePath(const fs::path& directory)
{
  static std::atomic<int> counter{0};
  return (directory / (TempPrefix + std::to_string(::getpid()) + "-" +
                       std::to_string(counter++) + TempSuffix))
      .string();
}

// The line number of the dashes ending a header, 0 when there is none.
std::int64_t HeaderEnd(const std::string& path)
{
  TElementFileReader reader(path);
  std::string_view line;
  bool tooLong;
  while (reader.LineNumber() < HeaderSearchLines && reader.Next(line, tooLong))
    if (!tooLong && IsDashesLine(line)) return reader.LineNumber();
  return 0;
}

bool IsBlankLine(std::string_view line)
{
  for (char c : line)
    if (c != ' ' && c != '\r' && c != '\t') return false;
  return true;
}

class TStatement {
public:
  TStatement(sqlite3* db, const std::string& sql)
  {
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &Stmt, nullptr) != SQLITE_OK)
      throw ETableError(sqlite3_errmsg(db));
  }
  ~TStatement() { sqlite3_finalize(Stmt); }
  TStatement(const TStatement&) = delete;
  TStatement& operator=(const TStatement&) = delete;
  sqlite3_stmt* operator*() const { return Stmt; }

private:
  sqlite3_stmt* Stmt = nullptr;
};

void BindText(sqlite3_stmt* stmt, int index, std::string_view text)
{
  // A null pointer would bind NULL: empty texts stay texts.
  sqlite3_bind_text(stmt, index, text.empty() ? "" : text.data(), static_cast<int>(text.size()),
                    SQLITE_STATIC);
}

bool HasColumn(sqlite3* db, const char* column)
{
  TStatement info(db, std::string("PRAGMA table_info(") + BodiesTableName + ")");
  while (sqlite3_step(*info) == SQLITE_ROW)
    if (sqlite3_stricmp(reinterpret_cast<const char*>(sqlite3_column_text(*info, 1)), column) == 0)
      return true;
  return false;
}

// The table being written: a temporary file for a new or replaced table,
// the table itself in one transaction for an append. Whatever did not
// complete is undone when this goes away.
class TTableWriter {
public:
  TTableWriter(const fs::path& target, bool append, const std::atomic<bool>* cancel)
    : Target(target.string()), Append(append)
  {
    Path = append ? Target : TempFilePath(target.parent_path());
    const int flags = append ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    if (sqlite3_open_v2(Path.c_str(), &Db, flags, nullptr) != SQLITE_OK) {
      const std::string message = Db ? sqlite3_errmsg(Db) : "out of memory";
      Abandon();
      throw ETableError(message);
    }
    Open = true;
    try {
      Begin(cancel);
    } catch (...) {
      Abandon();  // no destructor runs for a constructor that throws
      throw;
    }
  }

  ~TTableWriter() { Abandon(); }

  sqlite3* Db = nullptr;

  void Begin(const std::atomic<bool>* cancel)
  {
    if (Append) {
      // The table may come from elsewhere: opened as untrusted and checked
      // before a row goes in. Readers go on reading while the rows go in:
      // the changed pages stay in a large cache, so that the write lock
      // that shuts readers out is taken only for the commit (the file and
      // its journal stay as they are until then, byte for byte).
      HardenConnection(Db, nullptr);
      sqlite3_busy_timeout(Db, 5000);
      CheckTableShape(Db);
      ExecSql(Db, "PRAGMA cache_size = -" + std::to_string(AppendCacheKiB));
    }
    if (cancel) sqlite3_progress_handler(Db, 100000, &Interrupt, const_cast<std::atomic<bool>*>(cancel));
    if (Append) {
      ExecSql(Db, "BEGIN IMMEDIATE");
    } else {
      // Nobody sees this file before it is complete and renamed: no journal
      // and no syncing until the end; a large cache for the index sorts.
      ExecSql(Db, "PRAGMA page_size = 8192; PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
                  "PRAGMA locking_mode = EXCLUSIVE; PRAGMA cache_size = -65536; PRAGMA threads = 2");
      CreateTableSchema(Db, true);
      // Not marked as a table until complete.
      ExecSql(Db, "PRAGMA application_id = 0");
      ExecSql(Db, "BEGIN");
    }
    InTransaction = true;
  }

  void Commit()
  {
    if (!Append) {
      ExecSql(Db, "PRAGMA application_id = " + std::to_string(TableApplicationId));
    }
    ExecSql(Db, "COMMIT");
    InTransaction = false;
    if (sqlite3_close(Db) != SQLITE_OK) throw ETableError(sqlite3_errmsg(Db));
    Db = nullptr;
    Open = false;
    if (!Append) {
      // The rows reach the disk before the name does.
      SyncFile(Path, O_RDONLY);
      std::error_code ec;
      fs::rename(Path, Target, ec);
      if (ec) throw ETableError("Cannot rename " + Path + " to " + Target + ": " + ec.message());
      SyncFile(fs::path(Target).parent_path().string(), O_RDONLY | O_DIRECTORY);
    }
    Done = true;
  }

private:
  static int Interrupt(void* flag) { return static_cast<std::atomic<bool>*>(flag)->load() ? 1 : 0; }

  void Abandon()
  {
    if (Open) {
      if (InTransaction) sqlite3_exec(Db, "ROLLBACK", nullptr, nullptr, nullptr);
      sqlite3_close(Db);
      Open = false;
    } else if (Db) {
      sqlite3_close(Db);
    }
    Db = nullptr;
    if (!Append && !Done) {
      std::error_code ec;
      fs::remove(Path, ec);
    }
  }

  std::string Target, Path;
  bool Append;
  bool Open = false, InTransaction = false, Done = false;
};

// Negative numbers no row of the table holds, from -1 down, for when the
// numbers below the table's smallest have run out.
class TFreeNegatives {
public:
  explicit TFreeNegatives(sqlite3* db)
    : Taken(db, std::string("SELECT NO FROM ") + BodiesTableName +
                    " WHERE NO <= ?1 ORDER BY NO DESC LIMIT 1")
  {
  }
  // The next free number, 0 when none is left.
  std::int64_t Next()
  {
    while (Candidate >= LowestNumber) {
      sqlite3_bind_int64(*Taken, 1, Candidate);
      const bool row = sqlite3_step(*Taken) == SQLITE_ROW;
      const std::int64_t taken = row ? sqlite3_column_int64(*Taken, 0) : LowestNumber - 1;
      sqlite3_reset(*Taken);
      if (taken < Candidate) return Candidate--;
      Candidate = taken - 1;
    }
    return 0;
  }

  // The lowest number a body may have (the 32-bit minimum stays unused).
  static constexpr std::int64_t LowestNumber = std::int64_t(INT32_MIN) + 1;

private:
  TStatement Taken;
  std::int64_t Candidate = -1;
};

struct TImporter {
  TImportSummary Summary;
  const TImportCallbacks& Callbacks;
  std::int32_t Smallest = 0;  // the smallest NO so far, at most 0
  std::unique_ptr<TFreeNegatives> Free;  // once the numbers below Smallest ran out
  std::int64_t NoNumberLeft = 0;         // lines skipped for want of a number
  std::uint64_t BytesBefore = 0, BytesTotal = 0;
  Clock::time_point LastProgress{};

  explicit TImporter(const TImportCallbacks& callbacks) : Callbacks(callbacks) {}

  void Skip(TFileSummary& file, std::int64_t line, std::string reason)
  {
    ++file.Skipped;
    ++Summary.Skipped;
    if (Callbacks.Skipped) Callbacks.Skipped({file.Path, line, std::move(reason)});
  }

  void Check(const TElementFileReader& reader, bool force = false)
  {
    if (Callbacks.Cancel && Callbacks.Cancel->load()) throw EImportCancelled();
    if (!Callbacks.Progress) return;
    const auto now = Clock::now();
    if (!force && now - LastProgress < std::chrono::milliseconds(100)) return;
    LastProgress = now;
    TImportProgress p;
    p.Rows = Summary.Imported;
    p.BytesDone = BytesBefore + reader.Consumed();
    p.BytesTotal = BytesTotal;
    Callbacks.Progress(p);
  }

  void ReadFile(TElementFileReader& reader, TElementFormat format, sqlite3* db, sqlite3_stmt* insert,
                int columns)
  {
    TFileSummary file;
    file.Path = reader.Path();
    const std::int64_t header = format == TElementFormat::MinorPlanets ? HeaderEnd(file.Path) : 0;
    const std::int32_t base = Smallest;
    std::int64_t unnumbered = 0, parsed = 0, malformed = 0;
    TImportRow row;
    std::string reason;
    std::string_view line;
    bool tooLong;
    while (reader.Next(line, tooLong)) {
      const std::int64_t n = reader.LineNumber();
      if (n % LinesPerCheck == 0) Check(reader);
      if (n <= header) continue;
      if (tooLong) {
        ++malformed;
        Skip(file, n, "line longer than " + std::to_string(TElementFileReader::MaxLineLength) +
                          " characters");
        continue;
      }
      if (IsBlankLine(line)) continue;
      const TLineKind kind = format == TElementFormat::Comets ? ParseCometLine(line, row, reason)
                                                              : ParseMinorPlanetLine(line, row, reason);
      if (kind == TLineKind::Malformed) {
        ++malformed;
        if (parsed == 0 && malformed >= MalformedBeforeGivingUp) NoFormat(reader, format);
        Skip(file, n, reason);
        continue;
      }
      ++parsed;
      // Numbers below the table's smallest: comets by line number, other
      // unnumbered bodies by their count.
      std::int64_t no;
      if (row.Numbered) no = row.Number;
      else if (format == TElementFormat::Comets) no = std::int64_t(base) - n;
      else no = std::int64_t(base) - ++unnumbered;
      if (kind == TLineKind::NotElliptic) {
        Skip(file, n, reason);
        continue;
      }
      if (!row.Numbered && no < TFreeNegatives::LowestNumber) {
        // Below the smallest there is no room: numbers free elsewhere.
        if (!Free) Free = std::make_unique<TFreeNegatives>(db);
        no = Free->Next();
        if (no == 0) {
          ++NoNumberLeft;
          Skip(file, n, "no negative number is free for an unnumbered body");
          continue;
        }
      }
      sqlite3_bind_int64(insert, 1, no);
      BindText(insert, 2, row.Name);
      const double values[] = {row.M, row.NW, row.OHM, row.I, row.E, row.A, row.Date};
      for (int i = 0; i < 7; ++i) sqlite3_bind_double(insert, 3 + i, values[i]);
      BindText(insert, 10, row.Class);
      BindText(insert, 11, std::string_view(&row.IsNEA, 1));
      BindText(insert, 12, std::string_view(&row.IsPHA, 1));
      if (columns > 12) {
        BindText(insert, 13, row.Reference);
        BindText(insert, 14, row.Computer);
      }
      const int rc = sqlite3_step(insert);
      sqlite3_reset(insert);
      if (rc == SQLITE_CONSTRAINT) {
        Skip(file, n, "number " + std::to_string(no) + " is already in the table");
        continue;
      }
      if (rc != SQLITE_DONE) throw ETableError(sqlite3_errmsg(db));
      if (no < Smallest) Smallest = static_cast<std::int32_t>(no);
      ++file.Imported;
      ++Summary.Imported;
    }
    if (parsed == 0) NoFormat(reader, format);
    Check(reader, true);
    BytesBefore += reader.FileSize();
    Summary.Files.push_back(file);
  }

  [[noreturn]] void NoFormat(const TElementFileReader& reader, TElementFormat format)
  {
    if (reader.SawNul()) throw EImportError(reader.Path() + ": not a text file, no " + FormatName(format));
    throw EImportError(reader.Path() + ": no line in the " + std::string(FormatName(format)));
  }
};

}  // namespace

std::string TableFileName(const std::string& name)
{
  const bool control = std::any_of(name.begin(), name.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
  });
  if (control)
    throw EImportError("Invalid table name: it holds a control character (a line break, a tab)");
  if (name.empty() || name.find_first_of(std::string("/\\\0", 3)) != std::string::npos ||
      name.front() == '.' || name.front() == ' ' || name.back() == ' ' || name.size() > 200)
    throw EImportError("Invalid table name '" + name + "'");
  const bool hasExtension = name.size() > 3 && name.compare(name.size() - 3, 3, ".db") == 0;
  return hasExtension ? name : name + ".db";
}

int RemoveStaleImportFiles(const std::string& directory)
{
  int removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const std::string prefix = TempPrefix;
    if (name.rfind(prefix, 0) != 0 || name.size() < prefix.size() + 4 ||
        name.compare(name.size() - 4, 4, TempSuffix) != 0)
      continue;
    const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
    if (pid <= 0 || pid == ::getpid()) continue;
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    std::error_code rec;
    if (fs::remove(it->path(), rec)) ++removed;
  }
  return removed;
}

TImportSummary ImportTables(const std::string& directory, const std::string& tableName,
                            const std::vector<TImportInput>& inputs, TImportMode mode,
                            const TImportCallbacks& callbacks)
{
  const auto start = Clock::now();
  const std::string fileName = TableFileName(tableName);
  std::error_code ec;
  if (!fs::is_directory(directory, ec)) throw EImportError("No such directory: " + directory);
  if (inputs.empty()) throw EImportError("No input files");
  const fs::path target = fs::path(directory) / fileName;
  const bool exists = fs::exists(target, ec);
  if (exists && mode == TImportMode::New)
    throw EImportError("Table " + fileName + " exists already (replace it or append to it)");
  if (exists && !IsTableFile(target.string()))
    throw EImportError(target.string() + " is no minor-body table");

  // Every input is opened before anything is written.
  std::vector<std::unique_ptr<TElementFileReader>> readers;
  TImporter importer(callbacks);
  try {
    for (const TImportInput& input : inputs) {
      readers.push_back(std::make_unique<TElementFileReader>(input.Path));
      importer.BytesTotal += readers.back()->FileSize();
    }
  } catch (const EInputError& e) {
    throw EImportError(e.what());
  }
  RemoveStaleImportFiles(directory);

  try {
    const bool append = exists && mode == TImportMode::Append;
    TTableWriter writer(target, append, callbacks.Cancel);
    int columns = 12;
    if (append) {
      if (HasColumn(writer.Db, "Reference") && HasColumn(writer.Db, "Computer")) columns = 14;
      TStatement smallest(writer.Db, std::string("SELECT min(NO) FROM ") + BodiesTableName);
      if (sqlite3_step(*smallest) == SQLITE_ROW && sqlite3_column_type(*smallest, 0) != SQLITE_NULL)
        importer.Smallest = static_cast<std::int32_t>(
            std::min<sqlite3_int64>(0, sqlite3_column_int64(*smallest, 0)));
    } else {
      columns = 14;
    }
    std::string sql = std::string("INSERT INTO ") + BodiesTableName +
                      " (NO, NAME, M, NW, OHM, I, E, A, DATE, CLASS, ISNEA, ISPHA";
    sql += columns > 12 ? ", Reference, Computer) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)"
                        : ") VALUES (?,?,?,?,?,?,?,?,?,?,?,?)";
    {
      TStatement insert(writer.Db, sql);
      // Its statement goes with the insert, before the connection closes.
      struct TReleaseFree {
        TImporter& Importer;
        ~TReleaseFree() { Importer.Free.reset(); }
      } release{importer};
      for (std::size_t i = 0; i < inputs.size(); ++i)
        importer.ReadFile(*readers[i], inputs[i].Format, writer.Db, *insert, columns);
    }
    readers.clear();
    if (importer.Summary.Imported == 0 && importer.NoNumberLeft > 0)
      throw EImportError("Nothing to import: the table " + fileName +
                         " has no negative number left for unnumbered bodies");
    if (importer.Summary.Imported == 0)
      throw EImportError("Nothing to import: no line makes an elliptic orbit");
    if (!append) {
      TImportProgress p;
      p.Rows = importer.Summary.Imported;
      p.BytesDone = p.BytesTotal = importer.BytesTotal;
      p.Indexing = true;
      for (const TIndexDef& index : StandardIndices()) {
        if (callbacks.Cancel && callbacks.Cancel->load()) throw EImportCancelled();
        if (callbacks.Progress) callbacks.Progress(p);
        AddNamedIndex(writer.Db, index);
        ++p.IndicesDone;
      }
      if (callbacks.Progress) callbacks.Progress(p);
    }
    if (callbacks.Cancel && callbacks.Cancel->load()) throw EImportCancelled();
    writer.Commit();
  } catch (const EImportError&) {
    throw;
  } catch (const EInputError& e) {
    throw EImportError(e.what());
  } catch (const ETableError& e) {
    if (callbacks.Cancel && callbacks.Cancel->load()) throw EImportCancelled();
    throw EImportError(std::string("Database error: ") + e.what());
  }
  importer.Summary.TableFile = fileName;
  importer.Summary.Seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return importer.Summary;
}
