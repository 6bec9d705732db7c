// Subcommand registry of sollumen-cli.
//
// Each subcommand lives in its own file and registers itself with a static
// CliCommand. A command writes its whole output to `out` (printed only when
// it succeeds) and throws UsageError for bad usage or bad input; any other
// std::exception is reported the same way. Both exit with status 2.
#pragma once

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

class UsageError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A command may also report an error after producing output that is still
// worth printing (a clamped date, say): it throws PartialResult, and the
// output is printed before the message goes to stderr.
class PartialResult : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

using CliArgs = std::vector<std::string>;
using CliRun = void (*)(const CliArgs& args, std::ostream& out);

struct CliCommand {
  CliCommand(const char* name, const char* synopsis, const char* help, CliRun run);
  const char* Name;
  const char* Synopsis;  // one line for the overview
  const char* Help;      // full text for `sollumen-cli NAME --help`
  CliRun Run;
};

// Reads a real number; the whole text must be a number.
long double ParseReal(const std::string& text, const char* what);
// Reads a signed integer; the whole text must be an integer.
long long ParseInteger(const std::string& text, const char* what);
