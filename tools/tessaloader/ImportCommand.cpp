#include "ImportCommand.h"

#include "database/MinorBodyImport.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>

namespace {

constexpr int MaxListedLines = 100;

const char* const Usage =
    "usage: tessaloader DIR --table NAME [--mpcorb FILE]... [--comets FILE]...\n"
    "                   [--replace | --append] [--quiet]\n"
    "       tessaloader [DIR]   (the import window)\n";

std::atomic<bool> Interrupted{false};

extern "C" void OnSignal(int) { Interrupted = true; }

struct TUsageError {
  std::string Message;
};

}  // namespace

bool WantsWindow(const std::vector<std::string>& args)
{
  for (const std::string& a : args)
    if (a.rfind("--", 0) == 0) return false;
  return true;
}

std::string WindowDirectory(const std::vector<std::string>& args)
{
  std::string dir;
  for (const std::string& a : args) dir += (dir.empty() ? "" : " ") + a;
  return dir;
}

int RunImportCommand(const std::vector<std::string>& args)
{
  std::string directory, table;
  std::vector<TImportInput> inputs;
  TImportMode mode = TImportMode::New;
  bool quiet = false, modeGiven = false;
  try {
    for (std::size_t i = 0; i < args.size(); ++i) {
      const std::string& a = args[i];
      auto value = [&]() -> std::string {
        if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0)
          throw TUsageError{a + " needs a value"};
        return args[++i];
      };
      if (a == "--help" || a == "-h") {
        std::cout << Usage;
        return 0;
      } else if (a == "--table") {
        table = value();
      } else if (a == "--mpcorb") {
        inputs.push_back({value(), TElementFormat::MinorPlanets});
      } else if (a == "--comets") {
        inputs.push_back({value(), TElementFormat::Comets});
      } else if (a == "--replace" || a == "--append") {
        if (modeGiven) throw TUsageError{"--replace and --append exclude each other"};
        modeGiven = true;
        mode = a == "--replace" ? TImportMode::Replace : TImportMode::Append;
      } else if (a == "--quiet") {
        quiet = true;
      } else if (a.rfind("--", 0) == 0) {
        throw TUsageError{"unknown option " + a};
      } else if (directory.empty()) {
        directory = a;
      } else {
        throw TUsageError{"unexpected argument " + a};
      }
    }
    if (directory.empty()) throw TUsageError{"no database directory"};
    if (table.empty()) throw TUsageError{"no --table"};
    if (inputs.empty()) throw TUsageError{"no input file (--mpcorb or --comets)"};
    TableFileName(table);  // refuses names that are no file name
  } catch (const TUsageError& e) {
    std::cerr << "tessaloader: " << e.Message << "\n" << Usage;
    return 2;
  } catch (const EImportError& e) {
    std::cerr << "tessaloader: " << e.what() << "\n";
    return 2;
  }

  // Interrupting ends the import like Cancel: nothing half-written stays.
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGHUP, OnSignal);

  TImportCallbacks callbacks;
  callbacks.Cancel = &Interrupted;
  std::int64_t listed = 0;
  const auto start = std::chrono::steady_clock::now();
  auto last = start;
  if (!quiet) {
    callbacks.Progress = [&](const TImportProgress& p) {
      const auto now = std::chrono::steady_clock::now();
      if (now - last < std::chrono::seconds(1) && !(p.Indexing && p.IndicesDone == 7)) return;
      last = now;
      const double seconds = std::chrono::duration<double>(now - start).count();
      if (p.Indexing) {
        std::fprintf(stderr, "indices: %d of 7\n", p.IndicesDone);
      } else {
        const double part = p.BytesTotal ? double(p.BytesDone) / double(p.BytesTotal) : 0;
        std::fprintf(stderr, "%lld rows, %.0f%%, %.0f rows/s\n", static_cast<long long>(p.Rows),
                     100 * part, seconds > 0 ? p.Rows / seconds : 0.0);
      }
    };
    callbacks.Skipped = [&](const TSkippedLine& s) {
      if (++listed <= MaxListedLines)
        std::cerr << s.File << ":" << s.Line << ": " << s.Reason << "\n";
    };
  }
  try {
    const TImportSummary summary = ImportTables(directory, table, inputs, mode, callbacks);
    if (!quiet && listed > MaxListedLines)
      std::cerr << "... and " << (listed - MaxListedLines) << " more lines skipped\n";
    std::cout << "imported " << summary.Imported << "\nskipped " << summary.Skipped << "\ntable "
              << summary.TableFile << "\n";
    return 0;
  } catch (const EImportError& e) {
    std::cerr << "tessaloader: " << e.what() << "\n";
    const std::string text = e.what();
    // An existing table without --replace or --append is a matter of usage.
    return text.find("exists already") != std::string::npos ? 2 : 1;
  } catch (const std::exception& e) {
    std::cerr << "tessaloader: " << e.what() << "\n";
    return 1;
  }
}
