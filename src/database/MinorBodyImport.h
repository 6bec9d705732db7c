// Importing element files in the MPC's formats into a minor-body table.
//
// A new or replaced table is written to a temporary file in the database
// directory (never a ".db", never marked as a table until complete) and
// renamed over the target when complete; an append runs in one
// transaction. Unnumbered bodies and comets get negative numbers below the
// table's smallest, so that NO stays unique. Bad lines are reported and
// skipped; a file that holds no line in its format ends the import with
// nothing created or changed.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

enum class TElementFormat { MinorPlanets, Comets };

struct TImportInput {
  std::string Path;
  TElementFormat Format = TElementFormat::MinorPlanets;
};

enum class TImportMode { New, Replace, Append };

// A line left out: its file, 1-based line number and why.
struct TSkippedLine {
  std::string File;
  std::int64_t Line = 0;
  std::string Reason;
};

struct TFileSummary {
  std::string Path;
  std::int64_t Imported = 0;
  std::int64_t Skipped = 0;  // malformed, not elliptic or a number already taken
};

struct TImportSummary {
  std::vector<TFileSummary> Files;
  std::int64_t Imported = 0;
  std::int64_t Skipped = 0;
  std::string TableFile;  // file name in the database directory
  double Seconds = 0;
};

struct TImportProgress {
  std::int64_t Rows = 0;          // rows imported so far
  std::uint64_t BytesDone = 0;    // of all input files (compressed sizes)
  std::uint64_t BytesTotal = 0;
  bool Indexing = false;          // the rows are in; the indices are being made
  int IndicesDone = 0;
};

// The import's way of reporting while it runs, and of being cancelled.
// Callbacks come from the importing thread.
struct TImportCallbacks {
  std::function<void(const TImportProgress&)> Progress;  // a few times a second
  std::function<void(const TSkippedLine&)> Skipped;      // every line left out
  const std::atomic<bool>* Cancel = nullptr;             // set to stop
};

// Failures that end an import with nothing created or changed: bad table
// names, an existing table without replace or append, unreadable inputs,
// inputs in no MPC format, engine errors.
class EImportError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};
class EImportCancelled : public EImportError {
public:
  EImportCancelled() : EImportError("Import cancelled") {}
};

// The file name of table `name`: name plus ".db" unless it has that
// extension. Throws EImportError for names that are no plain file name.
std::string TableFileName(const std::string& name);

TImportSummary ImportTables(const std::string& directory, const std::string& tableName,
                            const std::vector<TImportInput>& inputs, TImportMode mode,
                            const TImportCallbacks& callbacks = {});

// Temporary files of imports that died (their process is gone) in
// `directory` are removed; returns how many.
int RemoveStaleImportFiles(const std::string& directory);
