// Temporary storage with a ceiling, for connections to table files from
// elsewhere. SQLite writes sorts, temporary tables and statement journals
// to temporary files; this wraps the default file system of SQLite under a
// name of its own and makes a write that would take the connection's
// temporary files past the limit fail with SQLITE_FULL ("database or disk
// is full"), instead of filling the disk. One object per connection: it is
// registered for as long as it lives and the connection must be closed
// before it goes.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class TBoundedTempStorage {
public:
  explicit TBoundedTempStorage(std::int64_t limitBytes);
  ~TBoundedTempStorage();
  TBoundedTempStorage(const TBoundedTempStorage&) = delete;
  TBoundedTempStorage& operator=(const TBoundedTempStorage&) = delete;

  // The name to open the connection with (sqlite3_open_v2's last argument).
  const char* VfsName() const;
  // Bytes the connection's temporary files hold now, and whether a write
  // was refused.
  std::int64_t Used() const;
  bool Refused() const;

  struct TState;

private:
  std::unique_ptr<TState> State;
};
