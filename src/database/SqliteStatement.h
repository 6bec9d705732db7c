// A prepared SQLite statement owned by value and always finalised; every
// failure becomes an ETableError naming the table file and carrying
// SQLite's message. With a step clock, each step is timed by it.
#pragma once

#include "database/TableCheck.h"

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <utility>

class TStatement {
public:
  TStatement() = default;
  TStatement(sqlite3* db, const std::string& sql, TStepClock* clock = nullptr)
      : Db(db), Clock(clock)
  {
    if (Clock) Clock->Restart();
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &Stmt, nullptr) != SQLITE_OK) {
      std::string message = Failure();
      sqlite3_finalize(Stmt);
      Stmt = nullptr;
      throw ETableError(message);
    }
  }
  ~TStatement() { sqlite3_finalize(Stmt); }
  TStatement(TStatement&& other) noexcept
      : Db(std::exchange(other.Db, nullptr)), Stmt(std::exchange(other.Stmt, nullptr)),
        Clock(std::exchange(other.Clock, nullptr))
  {
  }
  TStatement& operator=(TStatement&& other) noexcept
  {
    std::swap(Db, other.Db);
    std::swap(Stmt, other.Stmt);
    std::swap(Clock, other.Clock);
    return *this;
  }

  explicit operator bool() const { return Stmt != nullptr; }
  sqlite3_stmt* Get() const { return Stmt; }

  // True for a row, false when the statement is done.
  bool Step()
  {
    if (Clock) Clock->Restart();
    int rc = sqlite3_step(Stmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    std::string message = Failure();
    sqlite3_reset(Stmt);
    throw ETableError(message);
  }
  void Reset() { sqlite3_reset(Stmt); }

  void Bind(int i, double v) { sqlite3_bind_double(Stmt, i, v); }
  void Bind(int i, std::int64_t v) { sqlite3_bind_int64(Stmt, i, v); }
  void Bind(int i, const std::string& v)
  {
    sqlite3_bind_text(Stmt, i, v.data(), int(v.size()), SQLITE_TRANSIENT);
  }

  std::int64_t Int(int column) const { return sqlite3_column_int64(Stmt, column); }
  double Real(int column) const { return sqlite3_column_double(Stmt, column); }
  bool IsNull(int column) const { return sqlite3_column_type(Stmt, column) == SQLITE_NULL; }
  // Assigns the text of a column (empty for NULL), reusing the string's storage.
  void Text(int column, std::string& into) const
  {
    const unsigned char* text = sqlite3_column_text(Stmt, column);
    if (!text) {
      into.clear();
      return;
    }
    into.assign(reinterpret_cast<const char*>(text), size_t(sqlite3_column_bytes(Stmt, column)));
  }

private:
  std::string Failure() const
  {
    if (Clock && Clock->Expired)
      return TableProblem(Db, "reading it took longer than " +
                                  std::to_string(Clock->Limit.count() / 1000) +
                                  " s; the file is damaged or made to hang its readers");
    return TableProblem(Db, sqlite3_errmsg(Db));
  }

  sqlite3* Db = nullptr;
  sqlite3_stmt* Stmt = nullptr;
  TStepClock* Clock = nullptr;
};
