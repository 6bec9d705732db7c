#include "stream/ByteStreams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

// ---------------------------------------------------------------- memory

std::size_t TMemoryStream::Read(void* buffer, std::size_t count)
{
  std::size_t n = std::min(count, FBytes.size() - FPosition);
  if (n > 0) std::memcpy(buffer, FBytes.data() + FPosition, n);
  FPosition += n;
  return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count)
{
  if (count == 0) return 0;
  if (FPosition + count > FBytes.size()) FBytes.resize(FPosition + count);
  std::memcpy(FBytes.data() + FPosition, buffer, count);
  FPosition += count;
  return count;
}

// A position past the end is moved to the end.
void TMemoryStream::SetPosition(std::uint64_t position)
{
  FPosition = static_cast<std::size_t>(std::min<std::uint64_t>(position, FBytes.size()));
}

// ---------------------------------------------------------------- files

namespace {

std::string SystemReason(int err)
{
  return std::system_category().message(err);
}

std::string FileMessage(const char* what, const std::filesystem::path& path, int err)
{
  return std::string(what) + " \"" + path.string() + "\". " + SystemReason(err);
}

// Opens path; on failure returns null with the system's error in err.
std::FILE* OpenFile(const std::filesystem::path& path, TFileMode mode, int& err)
{
  errno = 0;
#ifdef _WIN32
  const wchar_t* m = mode == TFileMode::OpenRead ? L"rb" : mode == TFileMode::Create ? L"wb" : L"wbx";
  std::FILE* f = _wfopen(path.c_str(), m);
#else
  const char* m = mode == TFileMode::OpenRead ? "rb" : mode == TFileMode::Create ? "wb" : "wbx";
  std::FILE* f = std::fopen(path.c_str(), m);
#endif
  err = errno;
  if (f) std::setvbuf(f, nullptr, _IONBF, 0);
  return f;
}

}  // namespace

TFileStream::TFileStream(const std::filesystem::path& path, TFileMode mode)
{
  int err = 0;
  FFile = OpenFile(path, mode, err);
  if (!FFile)
    throw EFileError(FileMessage(mode == TFileMode::OpenRead ? "Cannot open file" : "Cannot create file",
                                 path, err));
}

TFileStream::~TFileStream()
{
  if (FFile) std::fclose(FFile);
}

std::size_t TFileStream::Read(void* buffer, std::size_t count)
{
  return FFile ? std::fread(buffer, 1, count, FFile) : 0;
}

std::size_t TFileStream::Write(const void* buffer, std::size_t count)
{
  return FFile ? std::fwrite(buffer, 1, count, FFile) : 0;
}

std::uint64_t TFileStream::Position()
{
  if (!FFile) return 0;
#ifdef _WIN32
  long long p = _ftelli64(FFile);
#else
  off_t p = ftello(FFile);
#endif
  return p < 0 ? 0 : static_cast<std::uint64_t>(p);
}

void TFileStream::SetPosition(std::uint64_t position)
{
  if (!FFile) return;
#ifdef _WIN32
  _fseeki64(FFile, static_cast<long long>(position), SEEK_SET);
#else
  fseeko(FFile, static_cast<off_t>(position), SEEK_SET);
#endif
}

std::uint64_t TFileStream::Size()
{
  if (!FFile) return 0;
  std::fflush(FFile);  // what was written counts too
#ifdef _WIN32
  struct _stat64 st;
  if (_fstat64(_fileno(FFile), &st) != 0) return 0;
#else
  struct stat st;
  if (fstat(fileno(FFile), &st) != 0) return 0;
#endif
  return static_cast<std::uint64_t>(st.st_size);
}

bool TFileStream::Close(bool sync)
{
  if (!FFile) return true;
  bool ok = std::fflush(FFile) == 0 && !std::ferror(FFile);
  if (sync && ok) {
#ifdef _WIN32
    ok = _commit(_fileno(FFile)) == 0;
#else
    ok = fsync(fileno(FFile)) == 0;
#endif
  }
  if (std::fclose(FFile) != 0) ok = false;
  FFile = nullptr;
  return ok;
}

// ---------------------------------------------------------------- replacing

TReplacingFileStream::TReplacingFileStream(const std::filesystem::path& target) : FTarget(target)
{
  // The temporary file lies in the target's directory so that the final
  // rename stays within one file system and cannot half-happen. Leftovers of
  // an interrupted run are stepped over, never reused.
  const std::filesystem::path dir = target.parent_path();
  const std::string name = target.filename().string();
  int err = 0;
  for (int n = 0; n < 1000; ++n) {
    std::filesystem::path temp = dir / (name + "." + std::to_string(n) + ".tmp");
    std::FILE* f = OpenFile(temp, TFileMode::CreateNew, err);
    if (f) {
      FFile.reset(new TFileStream(f));
      FTempPath = temp;
      std::error_code ec;
      if (std::filesystem::exists(target, ec))
        std::filesystem::permissions(temp, std::filesystem::status(target, ec).permissions(), ec);
      return;
    }
    if (err != EEXIST) break;
  }
  throw EFileError(FileMessage("Cannot create file", target, err));
}

TReplacingFileStream::~TReplacingFileStream()
{
  if (FFile) FFile->Close(false);
  if (!FCommitted && !FTempPath.empty()) {
    std::error_code ec;
    std::filesystem::remove(FTempPath, ec);
  }
}

std::size_t TReplacingFileStream::Read(void* buffer, std::size_t count)
{
  return FFile->Read(buffer, count);
}

std::size_t TReplacingFileStream::Write(const void* buffer, std::size_t count)
{
  return FFile->Write(buffer, count);
}

std::uint64_t TReplacingFileStream::Position()
{
  return FFile->Position();
}

std::uint64_t TReplacingFileStream::Size()
{
  return FFile->Size();
}

void TReplacingFileStream::SetPosition(std::uint64_t position)
{
  FFile->SetPosition(position);
}

void TReplacingFileStream::Commit()
{
  if (FCommitted) return;
  errno = 0;
  if (!FFile->Close(true)) throw EFileError(FileMessage("Cannot create file", FTarget, errno ? errno : EIO));
  std::error_code ec;
  std::filesystem::rename(FTempPath, FTarget, ec);
  if (ec) throw EFileError("Cannot create file \"" + FTarget.string() + "\". " + ec.message());
  FCommitted = true;
}
