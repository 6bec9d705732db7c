// sollumen-cli: the command-line front end of Sollumen.
#include "Cli.h"
#include "ProgramVersion.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <sstream>

namespace {

std::vector<const CliCommand*>& Registry()
{
  static std::vector<const CliCommand*> commands;
  return commands;
}

void PrintOverview(std::ostream& os)
{
  os << "usage: sollumen-cli COMMAND [ARGS...]\n"
        "       sollumen-cli COMMAND --help\n\ncommands:\n";
  std::vector<const CliCommand*> sorted = Registry();
  std::sort(sorted.begin(), sorted.end(),
            [](auto a, auto b) { return std::string(a->Name) < b->Name; });
  for (auto* c : sorted) os << "  " << c->Synopsis << "\n";
}

}  // namespace

CliCommand::CliCommand(const char* name, const char* synopsis, const char* help, CliRun run)
    : Name(name), Synopsis(synopsis), Help(help), Run(run)
{
  Registry().push_back(this);
}

long double ParseReal(const std::string& text, const char* what)
{
  errno = 0;
  char* end = nullptr;
  long double v = std::strtold(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(v))
    throw UsageError(std::string("invalid ") + what + ": '" + text + "'");
  return v;
}

long long ParseInteger(const std::string& text, const char* what)
{
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE)
    throw UsageError(std::string("invalid ") + what + ": '" + text + "'");
  return v;
}

int main(int argc, char** argv)
{
  CliArgs args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintOverview(std::cerr);
    return 2;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintOverview(std::cout);
    return 0;
  }
  if (args[0] == "--version") {
    PrintVersion(std::cout, "sollumen-cli");
    return 0;
  }
  auto& reg = Registry();
  auto it = std::find_if(reg.begin(), reg.end(), [&](auto c) { return args[0] == c->Name; });
  if (it == reg.end()) {
    std::cerr << "sollumen-cli: unknown command '" << args[0] << "'\n";
    PrintOverview(std::cerr);
    return 2;
  }
  const CliCommand& cmd = **it;
  CliArgs rest(args.begin() + 1, args.end());
  if (std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
    std::cout << cmd.Help;
    return 0;
  }

  std::ostringstream out;
  try {
    cmd.Run(rest, out);
  } catch (const PartialResult& e) {
    std::cout << out.str() << std::flush;
    std::cerr << e.what() << "\n";
    return 2;
  } catch (const UsageError& e) {
    std::cerr << "sollumen-cli " << cmd.Name << ": " << e.what() << "\n"
              << "try 'sollumen-cli " << cmd.Name << " --help'\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 2;
  }
  std::cout << out.str() << std::flush;
  return std::cout ? 0 : 1;
}
