#include "app/ProgramFiles.h"

#include <QStandardPaths>

#include <fstream>
#include <stdexcept>
#include <system_error>

#ifndef SOLLUMEN_INSTALL_BINDIR
#define SOLLUMEN_INSTALL_BINDIR ""
#endif
#ifndef SOLLUMEN_INSTALL_DATADIR
#define SOLLUMEN_INSTALL_DATADIR ""
#endif

namespace fs = std::filesystem;

const char* const LastDocumentName = "last.orb";
const char* const TemplateDocumentName = "template.orb";
const char* const SettingsFileName = "sl.ini";

namespace {

bool SameDirectory(const fs::path& a, const fs::path& b)
{
  if (a.empty() || b.empty()) return false;
  std::error_code ec1, ec2;
  const fs::path ca = fs::weakly_canonical(a, ec1);
  const fs::path cb = fs::weakly_canonical(b, ec2);
  if (ec1 || ec2) return false;
  return ca == cb;
}

bool IsFile(const fs::path& p)
{
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

void CopyIfMissing(const fs::path& from, const fs::path& to)
{
  std::error_code ec;
  if (fs::exists(to, ec) || !IsFile(from)) return;
  // A partial copy must not pass for the file: copy aside, then rename.
  fs::path part = to;
  part += ".part";
  fs::copy_file(from, part, fs::copy_options::overwrite_existing, ec);
  if (!ec) fs::rename(part, to, ec);
  if (ec) {
    fs::remove(part, ec);
    throw std::runtime_error("Could not create file " + to.string() + ".");
  }
}

}  // namespace

std::string WithSeparator(const fs::path& dir)
{
  std::string s = dir.string();
  if (s.empty() || s.back() != '/') s += '/';
  return s;
}

bool IsWritableDirectory(const fs::path& dir)
{
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) return false;
  // Permission bits do not tell the whole story (read-only mounts, ACLs):
  // try to create a file.
  for (int i = 0; i < 100; ++i) {
    const fs::path probe = dir / (".sollumen-write-test-" + std::to_string(i));
    if (fs::exists(probe, ec)) continue;
    std::ofstream out(probe, std::ios::binary);
    if (!out) return false;
    out.close();
    fs::remove(probe, ec);
    return true;
  }
  return false;
}

fs::path InstalledDataDir(const fs::path& exeDir)
{
  return exeDir.parent_path() / "share" / "sollumen";
}

bool IsInstalledCopy(const fs::path& exeDir, const fs::path& installBinDir)
{
  return IsFile(InstalledDataDir(exeDir) / TemplateDocumentName) ||
         SameDirectory(exeDir, installBinDir);
}

std::string ChooseProgramDir(const fs::path& exeDir, const fs::path& installBinDir,
                             const fs::path& userDataDir)
{
  if (userDataDir.empty() ||
      (!IsInstalledCopy(exeDir, installBinDir) && IsWritableDirectory(exeDir)))
    return WithSeparator(exeDir);
  return WithSeparator(userDataDir);
}

fs::path ShippedFilesDir(const fs::path& exeDir, const fs::path& installedData)
{
  if (IsFile(exeDir / TemplateDocumentName)) return exeDir;
  if (IsFile(installedData / TemplateDocumentName)) return installedData;
  return {};
}

std::vector<std::string> ShippedFileNames()
{
  // The default minor-body table comes with them, so that a new user's
  // "Add" and "Show all objects" work at once, and the note on its data
  // that the about box refers the user to.
  return {TemplateDocumentName, SOLLUMEN_SHIPPED_SPACECRAFT_NAME, "MPC (10000).db",
          "MPCORB.rtf"};
}

void InstallProgramFiles(const fs::path& shippedDir, const std::string& programDir,
                         const std::vector<std::string>& names)
{
  const fs::path dir(programDir);
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (!fs::is_directory(dir, ec))
    throw std::runtime_error("Could not create directory " + programDir + ".");
  if (!shippedDir.empty() && !SameDirectory(shippedDir, dir))
    for (const std::string& name : names) CopyIfMissing(shippedDir / name, dir / name);
  // A new user starts on the template's scene rather than on an error.
  CopyIfMissing(dir / TemplateDocumentName, dir / LastDocumentName);
}

std::string PrepareProgramDir(const fs::path& exeDir, std::string& error)
{
  error.clear();
  fs::path installedData = InstalledDataDir(exeDir);
  if (!IsFile(installedData / TemplateDocumentName) && *SOLLUMEN_INSTALL_DATADIR)
    installedData = fs::path(SOLLUMEN_INSTALL_DATADIR) / "sollumen";
  const fs::path userData =
      QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString();
  const std::string programDir = ChooseProgramDir(exeDir, SOLLUMEN_INSTALL_BINDIR, userData);
  try {
    InstallProgramFiles(ShippedFilesDir(exeDir, installedData), programDir, ShippedFileNames());
  } catch (const std::exception& e) {
    error = e.what();
  }
  return programDir;
}
