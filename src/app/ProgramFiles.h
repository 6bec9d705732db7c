// The program's own directory (ProgramDir) and the files it ships.
//
// ProgramDir holds "sl.ini", "last.orb", "template.orb" and the other files
// the program owns. It is the directory of the program file when that is a
// writable build tree or portable copy; an installed copy, or one in a
// directory the user may not write, keeps them in the per-user data
// directory instead. The shipped files are copied there on first start.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Names of the documents in ProgramDir.
extern const char* const LastDocumentName;      // "last.orb"
extern const char* const TemplateDocumentName;  // "template.orb"
extern const char* const SettingsFileName;      // "sl.ini"

// A directory path as the program keeps it: ending with the separator.
std::string WithSeparator(const std::filesystem::path& dir);

// True when a file can be created in `dir` (it is tried).
bool IsWritableDirectory(const std::filesystem::path& dir);

// Where the files an installed copy ships lie, for a program in exeDir
// installed under prefix/bin: prefix/share/sollumen.
std::filesystem::path InstalledDataDir(const std::filesystem::path& exeDir);

// True for a program that was installed (its data directory exists beside
// it, or it lies in the configured installation's bin directory).
bool IsInstalledCopy(const std::filesystem::path& exeDir,
                     const std::filesystem::path& installBinDir);

// ProgramDir by the rules above, ending with the separator.
std::string ChooseProgramDir(const std::filesystem::path& exeDir,
                             const std::filesystem::path& installBinDir,
                             const std::filesystem::path& userDataDir);

// The directory holding the shipped files: exeDir itself when it holds the
// template, else the installed data directory; empty when neither does.
std::filesystem::path ShippedFilesDir(const std::filesystem::path& exeDir,
                                      const std::filesystem::path& installedData);

// The files the program ships, by name.
std::vector<std::string> ShippedFileNames();

// Copies every shipped file missing from programDir, creating programDir if
// needed, then makes a first "last.orb" from the template when there is
// none. Files already there are never replaced. Throws std::runtime_error
// with a message naming the file that could not be made.
void InstallProgramFiles(const std::filesystem::path& shippedDir, const std::string& programDir,
                         const std::vector<std::string>& names);

// ProgramDir of this run, for a program started from exeDir: chosen by the
// rules above with the compiled-in installation and the user's data
// directory, the shipped files copied into it. Errors while copying are
// returned in `error` (empty when none); the directory is chosen anyway.
std::string PrepareProgramDir(const std::filesystem::path& exeDir, std::string& error);
