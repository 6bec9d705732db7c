// Damaged and crafted copies of a minor-body table, and what every command
// of the program does with one, for the mutation test and the fuzz driver.
// A copy is made by flipping bytes of its pages, cutting it short, or by
// another program's SQL: schema objects swapped for views and triggers,
// indices dropped, reshaped or made to list only some rows, NULLs, texts
// and blobs in place of numbers. Exercise opens it as the program does and
// runs what the commands run; every failure must be a table error naming
// the file, every refused row an element error naming the row.
#pragma once

#include "bodies/SSClasses.h"
#include "database/MinorBodyTable.h"

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace tablemut {

using Bytes = std::string;

inline Bytes ReadBytes(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const Bytes& bytes)
{
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Bytes flipped in a few pages (the header page too, now and then), or the
// file cut at a page boundary.
inline Bytes PageMutant(Bytes b, std::mt19937& rnd)
{
  const std::size_t page = 4096, pages = b.size() / page;
  if (pages == 0) return b;
  if (rnd() % 8 == 0) {
    b.resize(page * (1 + rnd() % pages));
    return b;
  }
  const int pagesHit = 1 + int(rnd() % 3);
  for (int k = 0; k < pagesHit; ++k) {
    const std::size_t p = rnd() % 10 == 0 ? 0 : rnd() % pages;
    const int flips = 1 + int(rnd() % 12);
    for (int f = 0; f < flips; ++f) {
      // Page 0 keeps its first 100 bytes often enough to be read as ours.
      const std::size_t at = p * page + (p == 0 ? 100 : 0) + rnd() % (page - (p == 0 ? 100 : 0));
      b[at] = static_cast<char>(b[at] ^ (1 << (rnd() % 8)));
    }
  }
  return b;
}

// Another program's change to the file, picked at random.
inline std::string SqlMutation(std::mt19937& rnd)
{
  static const char* const fields[] = {"NO", "NAME", "M", "NW", "OHM", "I", "E", "A", "DATE",
                                       "CLASS", "ISNEA", "ISPHA", "Reference", "Computer"};
  static const char* const indices[] = {"IDXNAME", "IDXA", "IDXE", "IDXINCL", "IDXCL", "IDXNEA", "IDXPHA"};
  const std::string field = fields[rnd() % 14], index = indices[rnd() % 7];
  const std::string row = std::to_string(int(rnd() % 400) - 50);
  switch (rnd() % 12) {
  case 0: return "UPDATE bodies SET \"" + field + "\" = NULL WHERE NO % 7 = " + std::to_string(rnd() % 7);
  case 1: return "UPDATE bodies SET \"" + field + "\" = 'text' WHERE NO = " + row;
  case 2: return "UPDATE bodies SET \"" + field + "\" = x'00ff00' WHERE NO = " + row;
  case 3: return "DROP INDEX " + index;
  case 4: return "DROP INDEX " + index + "; CREATE INDEX " + index + " ON bodies (E, I)";
  case 5:
    return "DROP INDEX " + index + "; CREATE INDEX " + index + " ON bodies (NAME) WHERE NO < " + row +
           "; PRAGMA writable_schema = ON; UPDATE sqlite_schema SET sql = 'CREATE INDEX " + index +
           " ON bodies (NAME)' WHERE name = '" + index + "'";
  case 6:
    return "PRAGMA writable_schema = ON; UPDATE sqlite_schema SET type = 'view', rootpage = 0, sql = "
           "'CREATE VIEW bodies AS WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) "
           "SELECT x AS NO, x AS NAME, x AS M, x AS NW, x AS OHM, x AS I, x AS E, x AS A, x AS DATE, "
           "x AS CLASS, x AS ISNEA, x AS ISPHA FROM n' WHERE name = 'bodies'";
  case 7:
    return "PRAGMA writable_schema = ON; UPDATE sqlite_schema SET type = 'view', rootpage = 0, sql = "
           "'CREATE VIEW sollumen_indices AS SELECT a.seq, a.name, a.fields FROM bodies a, bodies b' "
           "WHERE name = 'sollumen_indices'";
  case 8:
    return "CREATE TRIGGER t" + row.substr(row[0] == '-') + " AFTER INSERT ON sollumen_indices BEGIN "
           "DELETE FROM bodies; END; DROP INDEX " + index;
  case 9: return "UPDATE sollumen_indices SET fields = '" + field + ";NO' WHERE name = '" + index + "'";
  case 10:
    return "PRAGMA writable_schema = ON; UPDATE sqlite_schema SET sql = replace(sql, 'NOT NULL', '') "
           "WHERE name = 'sollumen_indices'";
  default: return "UPDATE bodies SET NO = NO * 100000000 WHERE NO = " + row;
  }
}

// Applies SQL to a file as another program would (errors are that
// program's own and leave the file as SQLite left it).
inline void Tamper(const std::string& path, const std::string& sql)
{
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK)
    sqlite3_exec(db, ("PRAGMA synchronous = OFF; " + sql).c_str(), nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

struct TOutcome {
  bool Opened = false;        // the shared open succeeded
  int TableErrors = 0;        // operations refused with a table error
  int RefusedRows = 0;        // rows refused as bodies
  std::string Broken;         // a rule broken: empty when all was well
};

// What the commands do with a table: open it, count it, read it in every
// order, turn rows into bodies, search, and rebuild its indices.
inline TOutcome Exercise(const std::string& directory, const std::string& file)
{
  TOutcome out;
  const std::string path = (std::filesystem::path(directory) / file).string();
  auto tableError = [&](const ETableError& e) {
    ++out.TableErrors;
    if (std::string(e.what()).find(file) == std::string::npos && out.Broken.empty())
      out.Broken = std::string("a message without the file: ") + e.what();
  };
  auto step = [&](auto&& action) {
    try {
      action();
    } catch (const ETableError& e) {
      tableError(e);
    } catch (const EInvalidElements& e) {
      ++out.RefusedRows;
      if (std::string(e.what()).find("Row NO") == std::string::npos && out.Broken.empty())
        out.Broken = std::string("a refused row not named: ") + e.what();
    } catch (const std::exception& e) {
      if (out.Broken.empty()) out.Broken = std::string("an unexpected failure: ") + e.what();
    }
  };
  const Bytes before = ReadBytes(path);
  TTable table;
  table.SetDatabaseName(directory);
  table.SetTableName(file);
  step([&] {
    table.Open();
    out.Opened = true;
  });
  if (out.Opened) {
    for (const char* index : {"", "IDXNAME", "IDXA", "IDXPHA", "IDXCL"}) {
      step([&] { table.SetIndexName(index); });
      step([&] { table.RowsAt(0, 50); });
      step([&] { table.RowsAt(0, 100000); });
      step([&] {
        // A value of the kind the active index's first field holds.
        const std::string active = table.IndexName();
        const std::string first =
            active.empty() ? "NO" : IndexFieldNames(table.IndexDef(active).Fields).front();
        const bool text = first == "NAME" || first == "CLASS" || first == "ISNEA" ||
                          first == "ISPHA" || first == "Reference" || first == "Computer";
        table.FindNearest(text ? "C" : "2.5");
      });
      step([&] {
        table.ForEachRow([&](const TMinorBodyRow& row) { step([&] { ReadElements(row); }); });
      });
      step([&] { table.Last(); });
      step([&] { table.GotoBookmark(1); });
    }
  }
  table.Close();
  if (ReadBytes(path) != before && out.Broken.empty()) out.Broken = "reading changed the file";
  // "Rebuild indices" and what follows it.
  step([&] {
    table.Close();
    table.Open(true);
    for (const TIndexDef& index : StandardIndices()) {
      try {
        table.AddIndex(index);
      } catch (const ETableError&) {
        table.RepairIndex(index.Name);
      }
    }
    table.Close();
    table.Open();
    table.SetIndexName("IDXNAME");
    table.RowsAt(0, 100000);
  });
  return out;
}

}  // namespace tablemut
