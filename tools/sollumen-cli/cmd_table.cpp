// sollumen-cli table: the minor-body tables of a directory, read and managed
// through the same table layer as the program.
#include "Cli.h"

#include "bodies/SSClasses.h"
#include "database/MinorBodyTable.h"

#include <cstdio>

namespace {

std::string Number(double v)
{
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v + 0.0);  // + 0: no "-0"
  return buf;
}

std::string Number(long double v)
{
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.17Lg", v + 0.0L);
  return buf;
}

// A CSV field: quoted, with doubled quotes, when it holds a separator, a
// quote or a line break.
void Csv(std::string& line, const std::string& text)
{
  if (text.find_first_of(",\"\r\n") == std::string::npos) {
    line += text;
    return;
  }
  line += '"';
  for (char c : text) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

void CsvRow(std::ostream& out, const TMinorBodyRow& r)
{
  std::string line = std::to_string(r.No);
  line += ',';
  Csv(line, r.Name);
  // A field the file holds as NULL or as the wrong type stays empty.
  const double numbers[] = {r.M, r.NW, r.OHM, r.I, r.E, r.A, r.Date};
  for (int k = 0; k < 7; ++k) line += ',' + ((r.BadFields >> (k + 2)) & 1 ? std::string() : Number(numbers[k]));
  for (const std::string* text : {&r.Class, &r.IsNEA, &r.IsPHA, &r.Reference, &r.Computer}) {
    line += ',';
    Csv(line, *text);
  }
  line += '\n';
  out << line;
}

void Expect(const CliArgs& args, size_t count, const char* usage)
{
  if (args.size() != count) throw UsageError(std::string("expected: table ") + usage);
}

void OpenTable(TTable& table, const std::string& dir, const std::string& file,
               bool exclusive = false)
{
  table.SetDatabaseName(dir);
  table.SetTableName(file);
  table.Open(exclusive);
}

void RunRows(const CliArgs& args, std::ostream& out)
{
  const char* usage = "rows DIR FILE [--index NAME] [--from VALUE] [--limit N]";
  if (args.size() < 3) throw UsageError(std::string("expected: table ") + usage);
  std::string index, from;
  long long limit = -1;
  for (size_t i = 3; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) throw UsageError("missing value of " + args[i]);
    if (args[i] == "--index")
      index = args[i + 1];
    else if (args[i] == "--from")
      from = args[i + 1];
    else if (args[i] == "--limit") {
      limit = ParseInteger(args[i + 1], "limit");
      if (limit < 0) throw UsageError("the limit must not be negative: " + args[i + 1]);
    } else
      throw UsageError("unknown option '" + args[i] + "'");
  }
  TTable table;
  OpenTable(table, args[1], args[2]);
  table.SetIndexName(index);
  const std::int64_t start = table.FindNearest(from);
  out << "NO,NAME,M,NW,OHM,I,E,A,DATE,CLASS,ISNEA,ISPHA,Reference,Computer\n";
  if (limit < 0) {
    // Every row from the start: one pass in the index's order.
    std::int64_t k = 0;
    table.ForEachRow([&](const TMinorBodyRow& row) {
      if (k++ >= start) CsvRow(out, row);
    });
    return;
  }
  std::int64_t position = start, left = limit;
  while (left > 0) {
    const int batch = int(std::min<std::int64_t>(left, 4096));
    const std::vector<TMinorBodyRow> rows = table.RowsAt(position, batch);
    for (const TMinorBodyRow& row : rows) CsvRow(out, row);
    if (int(rows.size()) < batch) break;
    position += batch;
    left -= batch;
  }
}

void RunElements(const CliArgs& args, std::ostream& out)
{
  Expect(args, 4, "elements DIR FILE NO");
  const long long no = ParseInteger(args[3], "NO");
  if (no < INT32_MIN || no > INT32_MAX) throw UsageError("invalid NO: '" + args[3] + "'");
  TTable table;
  OpenTable(table, args[1], args[2]);
  table.GotoBookmark(std::int32_t(no));
  const TOrbitElements el = ReadElements(table.Current());
  out << Number(el.EpochJD) << ' ' << Number(el.Incl) << ' ' << Number(el.NodeLon) << ' '
      << Number(el.PeriLon) << ' ' << Number(el.AxisAU) << ' ' << Number(el.DailyMotion) << ' '
      << Number(el.Ecc) << ' ' << Number(el.MeanLon) << '\n';
}

void RunIndex(const CliArgs& args, std::ostream& out)
{
  Expect(args, 3, "index DIR FILE");
  TTable table;
  OpenTable(table, args[1], args[2], true);
  for (const TIndexDef& index : StandardIndices()) {
    bool exists = false;
    for (const TIndexDef& def : table.IndexDefs()) exists |= def.Name == index.Name;
    if (!exists) table.AddIndex(index);
    const bool rebuilt = exists && table.RepairIndex(index.Name);
    out << "index " << index.Name << (rebuilt ? " rebuilt\n" : exists ? " exists\n" : " added\n");
  }
}

void RunTable(const CliArgs& args, std::ostream& out)
{
  const std::string sub = args.empty() ? "" : args[0];
  if (sub == "list") {
    Expect(args, 2, "list DIR");
    for (const std::string& name : ListTables(args[1])) out << name << '\n';
  } else if (sub == "info") {
    Expect(args, 3, "info DIR FILE");
    TTable table;
    OpenTable(table, args[1], args[2]);
    out << "rows " << table.RecordCount() << '\n';
    for (const TIndexDef& def : table.IndexDefs())
      out << "index " << def.Name << ' ' << def.Fields << '\n';
  } else if (sub == "rows") {
    RunRows(args, out);
  } else if (sub == "elements") {
    RunElements(args, out);
  } else if (sub == "create") {
    Expect(args, 3, "create DIR NAME");
    // As the program's "Create new file": ".db" is always added.
    CreateTable(args[1], args[2] + ".db");
    out << "table " << args[2] << ".db\n";
  } else if (sub == "delete") {
    Expect(args, 3, "delete DIR FILE");
    DeleteTable(args[1], args[2]);
  } else if (sub == "index") {
    RunIndex(args, out);
  } else {
    throw UsageError(sub.empty() ? "expected a subcommand" : "unknown subcommand '" + sub + "'");
  }
}

const char* const TableHelp =
    "usage: sollumen-cli table list DIR\n"
    "       sollumen-cli table info DIR FILE\n"
    "       sollumen-cli table rows DIR FILE [--index NAME] [--from VALUE] [--limit N]\n"
    "       sollumen-cli table elements DIR FILE NO\n"
    "       sollumen-cli table create DIR NAME\n"
    "       sollumen-cli table delete DIR FILE\n"
    "       sollumen-cli table index DIR FILE\n\n"
    "The minor-body tables of the database directory DIR; FILE is a table's\n"
    "file name with its extension (\"MPC (10000).db\").\n\n"
    "  list      the table files of DIR, one per line, sorted bytewise\n"
    "  info      \"rows N\", then \"index NAME FIELDS\" per secondary index in the\n"
    "            order of creation\n"
    "  rows      the rows as CSV with the header\n"
    "            NO,NAME,M,NW,OHM,I,E,A,DATE,CLASS,ISNEA,ISPHA,Reference,Computer\n"
    "            in the order of the index NAME (default: the primary index on\n"
    "            NO), from the first row whose key is at or after VALUE (texts\n"
    "            compared bytewise, numbers as numbers), at most N rows; numbers\n"
    "            with 17 significant digits (empty where the file holds NULL or\n"
    "            a text), texts quoted where CSV needs it\n"
    "  elements  the orbital elements of the row NO, one line: epoch (JD),\n"
    "            inclination, node longitude, perihelion longitude (degrees),\n"
    "            semi-major axis (AU), mean daily motion 0.9856262 / A^1.5\n"
    "            (degrees per day), eccentricity, mean longitude M + NW\n"
    "            (degrees), 17 significant digits each\n"
    "  create    an empty table NAME.db with the seven indices; prints\n"
    "            \"table NAME.db\"\n"
    "  delete    deletes the table and its journal files\n"
    "  index     adds the seven standard indices the table lacks (also one\n"
    "            missing from the file or not on its fields) and rebuilds one\n"
    "            that lists other rows than the table holds; prints \"index\n"
    "            NAME added\", \"index NAME rebuilt\" or \"index NAME exists\" per\n"
    "            index\n\n"
    "Errors (a missing, foreign or damaged table, an unknown or damaged index,\n"
    "a row without an elliptic orbit or with a NULL field) print a message\n"
    "naming the table on stderr, nothing on stdout, and exit with status 2.\n";

const CliCommand TableCommand("table", "table list|info|rows|elements|create|delete|index ...   minor-body tables",
                              TableHelp, RunTable);

}  // namespace
