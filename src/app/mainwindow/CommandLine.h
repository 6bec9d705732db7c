// The program's command line: an optional Julian date, then the path of a
// document (which may arrive split at its blanks into several arguments).
#pragma once

#include <optional>
#include <string>
#include <vector>

struct TCommandLine {
  std::optional<long double> JD;  // when the first argument is a shown instant
  std::string DocumentPath;       // "last.orb" in programDir when none is given
  bool NamedDocument = false;     // a path was given
};

// `args` without the program's own name.
TCommandLine ParseCommandLine(const std::vector<std::string>& args,
                              const std::string& programDir);
