#include "DocumentArgs.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <system_error>

std::string DefaultProgramDir()
{
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  std::filesystem::path dir = ec ? std::filesystem::current_path(ec) : exe.parent_path();
  std::string s = dir.string();
  if (s.empty() || s.back() != '/') s += '/';
  return s;
}

TDocumentReadResult ReadDocumentOrThrow(const std::string& path, TSolarSystem& scene,
                                        TDocumentState& state, const std::string& programDir,
                                        TDescriptionUse use)
{
  TDocumentReadResult result = OpenDocument(path, scene, state, programDir, use);
  if (result.Failed()) throw std::runtime_error(result.Error);
  if (!result.Notice.empty()) std::fprintf(stderr, "%s\n", result.Notice.c_str());
  return result;
}

TDocumentReadResult ReadKnownDocument(const std::string& path, TSolarSystem& scene,
                                      TDocumentState& state, const std::string& programDir,
                                      TDescriptionUse use)
{
  TDocumentReadResult result = ReadDocumentOrThrow(path, scene, state, programDir, use);
  if (result.Version == TDocumentVersion::None)
    throw std::runtime_error("File " + path + " is not a Sollumen document.");
  return result;
}

std::string (*DescriptionPlainText)(const std::vector<std::string>& lines) = nullptr;
