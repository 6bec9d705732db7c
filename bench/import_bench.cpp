// Importing a synthetic MPCORB.DAT of 1.4 million lines into a new table
// with its seven indices, side by side with Debian's sqlite3 shell
// importing the same rows as CSV (.import) into the same schema with the
// same settings and making the same indices. Each side runs in a child
// process so that its peak memory is its own. Counters: seconds of each,
// their ratio, the table file's size and the peak resident memory.
//
// SOLLUMEN_IMPORT_LINES sets the number of lines (default 1400000).
#include "SyntheticMpcorb.h"

#include "database/MinorBodyImport.h"
#include "database/MpcFormats.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct TRun {
  double Seconds = 0;
  double PeakMB = 0;
  bool Ok = false;
};

// Runs `child` in a child process; its wall time and peak memory.
template <class F>
TRun InChild(F child)
{
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) _exit(child());
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  TRun run;
  run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.PeakMB = usage.ru_maxrss / 1024.0;
  run.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

struct TFixture {
  fs::path Dir;
  std::string Mpcorb, Csv;
  std::int64_t Lines = 1400000;

  TFixture()
  {
    if (const char* n = std::getenv("SOLLUMEN_IMPORT_LINES")) Lines = std::atoll(n);
    Dir = fs::temp_directory_path() / ("sollumen-import-bench-" + std::to_string(getpid()));
    fs::create_directories(Dir);
    Mpcorb = (Dir / "MPCORB.DAT").string();
    Csv = (Dir / "rows.csv").string();
    synthetic::WriteMpcorb(Mpcorb, Lines, 20261209);
    WriteCsv();
  }
  ~TFixture() { fs::remove_all(Dir); }

  // The rows the importer makes, as CSV for the shell (not timed).
  void WriteCsv() const
  {
    std::ifstream in(Mpcorb);
    std::FILE* out = std::fopen(Csv.c_str(), "wb");
    std::string line, reason;
    TImportRow r;
    std::int64_t unnumbered = 0;
    while (std::getline(in, line)) {
      if (ParseMinorPlanetLine(line, r, reason) != TLineKind::Row) continue;
      const long long no = r.Numbered ? r.Number : -++unnumbered;
      std::fprintf(out, "%lld,\"%.*s\",%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,\"%.*s\",%c,%c,\"%.*s\",\"%.*s\"\n",
                   no, int(r.Name.size()), r.Name.data(), r.M, r.NW, r.OHM, r.I, r.E, r.A, r.Date,
                   int(r.Class.size()), r.Class.data(), r.IsNEA, r.IsPHA, int(r.Reference.size()),
                   r.Reference.data(), int(r.Computer.size()), r.Computer.data());
    }
    std::fclose(out);
  }
};

void BM_ImportSideBySide(benchmark::State& state)
{
  static TFixture fixture;
  const fs::path ours = fixture.Dir / "ours.db", peer = fixture.Dir / "peer.db";
  const fs::path script = fixture.Dir / "peer.sql";
  {
    std::ofstream s(script);
    s << "PRAGMA page_size = 8192; PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;\n"
         "PRAGMA locking_mode = EXCLUSIVE; PRAGMA cache_size = -65536; PRAGMA threads = 2;\n"
         "CREATE TABLE bodies (NO INTEGER PRIMARY KEY, NAME TEXT, M REAL, NW REAL, OHM REAL,"
         " I REAL, E REAL, A REAL, DATE REAL, CLASS TEXT, ISNEA TEXT, ISPHA TEXT,"
         " Reference TEXT, Computer TEXT);\n"
         "BEGIN;\n.mode csv\n.import '"
      << fixture.Csv
      << "' bodies\n"
         "CREATE INDEX IDXNAME ON bodies (NAME, A); CREATE INDEX IDXA ON bodies (A, NAME);\n"
         "CREATE INDEX IDXE ON bodies (E, NAME); CREATE INDEX IDXINCL ON bodies (I, NAME);\n"
         "CREATE INDEX IDXCL ON bodies (CLASS, NO); CREATE INDEX IDXNEA ON bodies (ISNEA, NO);\n"
         "CREATE INDEX IDXPHA ON bodies (ISPHA, NO);\nCOMMIT;\n";
  }
  for (auto _ : state) {
    fs::remove(ours);
    fs::remove(peer);
    const TRun a = InChild([&] {
      try {
        ImportTables(fixture.Dir.string(), "ours", {{fixture.Mpcorb, TElementFormat::MinorPlanets}},
                     TImportMode::New);
        return 0;
      } catch (...) {
        return 1;
      }
    });
    const std::string command =
        "sqlite3 -batch '" + peer.string() + "' < '" + script.string() + "' > /dev/null";
    const TRun b = InChild([&] {
      execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
      return 127;
    });
    if (!a.Ok || !b.Ok) {
      state.SkipWithError(a.Ok ? "sqlite3 shell failed" : "import failed");
      break;
    }
    state.SetIterationTime(a.Seconds);
    state.counters["ours_s"] = a.Seconds;
    state.counters["sqlite3_s"] = b.Seconds;
    state.counters["ratio"] = a.Seconds / b.Seconds;
    state.counters["rows_per_s"] = fixture.Lines / a.Seconds;
    state.counters["table_MB"] = fs::file_size(ours) / 1048576.0;
    state.counters["sqlite3_table_MB"] = fs::file_size(peer) / 1048576.0;
    state.counters["ours_peak_MB"] = a.PeakMB;
    state.counters["sqlite3_peak_MB"] = b.PeakMB;
  }
}
BENCHMARK(BM_ImportSideBySide)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
