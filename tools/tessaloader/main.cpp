// tessaloader: the companion program that fills minor-body tables from the
// MPC's element files. With options it runs on the command line; with
// nothing but a database directory (as the orrery starts it) it opens its
// window.
#include "ImportCommand.h"
#include "ProgramVersion.h"

#ifdef TESSALOADER_WINDOW
#include "ImportWindow.h"
#endif

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--version") {
    PrintVersion(std::cout, "tessaloader");
    return 0;
  }
  if (!WantsWindow(args)) return RunImportCommand(args);
#ifdef TESSALOADER_WINDOW
  return RunImportWindow(argc, argv, WindowDirectory(args));
#else
  std::cerr << "tessaloader: this build has no window; see tessaloader --help\n";
  return 2;
#endif
}
