#include "app/dialogs/SpacecraftFiles.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string s)
{
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

bool IsTrajectoryFile(const fs::directory_entry& e)
{
  std::error_code ec;
  return e.is_regular_file(ec) && Lower(e.path().extension().string()) == ".spc";
}

}  // namespace

std::string SpacecraftEntryName(const std::string& fileName)
{
  const std::size_t at = Lower(fileName).find(".spc");
  return at == std::string::npos ? fileName : fileName.substr(0, at);
}

std::vector<std::string> SpacecraftEntries(const std::string& dir)
{
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(dir.empty() ? "." : dir, ec), end; !ec && it != end;
       it.increment(ec))
    if (IsTrajectoryFile(*it)) names.push_back(SpacecraftEntryName(it->path().filename().string()));
  return names;
}

std::string SpacecraftFilePath(const std::string& dir, const std::string& entry)
{
  const fs::path base = dir.empty() ? fs::path(".") : fs::path(dir);
  const fs::path exact = base / (entry + ".spc");
  std::error_code ec;
  if (fs::exists(exact, ec)) return exact.string();
  for (fs::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (IsTrajectoryFile(*it) && name.size() == entry.size() + 4 &&
        name.compare(0, entry.size(), entry) == 0)
      return it->path().string();
  }
  return exact.string();
}
