// The spacecraft trajectory files of the program's directory as the
// spacecraft dialog lists them: by name, without directory and without the
// ".spc" extension, whose letter case may vary.
#pragma once

#include <string>
#include <vector>

// The name cut before the first ".spc", looked for without regard to letter
// case; the name itself when it holds none.
std::string SpacecraftEntryName(const std::string& fileName);
// The entries of the trajectory files in `dir` (regular files whose
// extension is ".spc" in any letter case), in no particular order.
std::vector<std::string> SpacecraftEntries(const std::string& dir);
// The file of an entry: dir + entry + ".spc", or, where that does not exist,
// the file whose name differs from it only in the extension's letter case
// (Galileo.SPC). The first path when neither exists, so that loading it
// names the missing file.
std::string SpacecraftFilePath(const std::string& dir, const std::string& entry);
