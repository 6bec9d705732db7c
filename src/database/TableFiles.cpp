// Listing, creating and deleting the table files of a database directory.
#include "database/MinorBodyTable.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr const char* TableExtension = ".db";

bool EndsWith(const std::string& s, const std::string& tail)
{
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// A table file name is one plain file name in the directory.
void CheckFileName(const std::string& fileName)
{
  if (fileName.empty() || fileName == "." || fileName == ".." ||
      fileName.find('/') != std::string::npos || fileName.find('\0') != std::string::npos)
    throw ETableError("Invalid table file name '" + fileName + "'");
  for (char c : fileName)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
      throw ETableError("Invalid table file name: it holds a control character (a line break, a tab)");
}

std::string Join(const std::string& directory, const std::string& fileName)
{
  return (fs::path(directory.empty() ? "." : directory) / fileName).string();
}

void RemoveIfThere(const std::string& path)
{
  if (::unlink(path.c_str()) != 0 && errno != ENOENT)
    throw ETableError("Cannot delete '" + path + "': " + std::strerror(errno));
}

// Renames `from` to `to` unless `to` exists (then throws, leaving both).
void RenameNoReplace(const std::string& from, const std::string& to)
{
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return;
  int error = errno;
  if (error == EINVAL || error == ENOSYS) {
    // A file system without renameat2: a hard link refuses an existing target too.
    if (::link(from.c_str(), to.c_str()) == 0) {
      ::unlink(from.c_str());
      return;
    }
    error = errno;
  }
  if (error == EEXIST) throw ETableError("The table '" + to + "' already exists");
  throw ETableError("Cannot create the table '" + to + "': " + std::strerror(error));
}

}  // namespace

std::vector<std::string> ListTables(const std::string& directory)
{
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(directory.empty() ? "." : directory, ec), end;
  if (ec) throw ETableError("Cannot list the tables of '" + directory + "': " + ec.message());
  for (; it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    // Hidden files are left out: a table being written under a hidden
    // temporary name is not one yet.
    if (name.empty() || name[0] == '.' || !EndsWith(name, TableExtension)) continue;
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    if (IsTableFile(it->path().string())) names.push_back(name);
  }
  if (ec) throw ETableError("Cannot list the tables of '" + directory + "': " + ec.message());
  std::sort(names.begin(), names.end());  // std::string compares bytes as unsigned
  return names;
}

void CreateTable(const std::string& directory, const std::string& fileName)
{
  CheckFileName(fileName);
  if (!EndsWith(fileName, TableExtension) || fileName.size() == std::strlen(TableExtension))
    throw ETableError("A table file name must end in \".db\": '" + fileName + "'");
  const std::string target = Join(directory, fileName);
  std::error_code ec;
  if (fs::exists(target, ec)) throw ETableError("The table '" + target + "' already exists");

  // Built under a hidden name, then renamed into place complete.
  const std::string temp =
      Join(directory, "." + fileName + ".new-" + std::to_string(::getpid()));
  RemoveIfThere(temp);
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(temp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                           nullptr);
  try {
    if (rc != SQLITE_OK)
      throw ETableError("Cannot create the table '" + target + "': " +
                        (db ? sqlite3_errmsg(db) : "out of memory"));
    ExecSql(db, "BEGIN");
    CreateTableSchema(db, false);
    for (const TIndexDef& index : StandardIndices()) AddNamedIndex(db, index);
    ExecSql(db, "COMMIT");
    if (sqlite3_close(db) != SQLITE_OK) throw ETableError(sqlite3_errmsg(db));
    db = nullptr;
    RenameNoReplace(temp, target);
  } catch (...) {
    sqlite3_close(db);
    ::unlink(temp.c_str());
    ::unlink((temp + "-journal").c_str());
    throw;
  }
}

void DeleteTable(const std::string& directory, const std::string& fileName)
{
  CheckFileName(fileName);
  const std::string path = Join(directory, fileName);
  std::error_code ec;
  if (!fs::exists(path, ec)) throw ETableError("The table '" + path + "' does not exist");
  // Only our own files: a foreign file of that name is not deleted.
  if (!IsTableFile(path)) throw ETableError("'" + path + "' is not a minor-body table");
  RemoveIfThere(path);
  for (const char* suffix : {"-journal", "-wal", "-shm"}) RemoveIfThere(path + suffix);
}
