// The command line of tessaloader:
//   tessaloader DIR --table NAME [--mpcorb FILE]... [--comets FILE]...
//               [--replace | --append] [--quiet]
// Progress on stderr; `imported N`, `skipped N`, `table FILE` on stdout.
// Exit status 0 done, 1 nothing importable or an input unreadable (nothing
// created or changed), 2 bad usage (also an existing table without
// --replace or --append).
#pragma once

#include <string>
#include <vector>

// True when the arguments ask for the window: nothing but a directory.
bool WantsWindow(const std::vector<std::string>& args);

// The directory the window is started on: the arguments joined by blanks
// (a caller may pass a path with blanks unquoted), "" when there are none.
std::string WindowDirectory(const std::vector<std::string>& args);

// Runs the command line; returns the exit status.
int RunImportCommand(const std::vector<std::string>& args);
