// Byte streams under the tagged value stream and the settings file: memory,
// plain files, and files that replace their target only once complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

// A file that cannot be opened or created; the message names the file and
// gives the system's reason, e.g. Cannot open file "a.orb". No such file ...
class EFileError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class TStream {
public:
  virtual ~TStream() = default;
  // Copies up to count bytes into buffer and returns how many were copied;
  // fewer than count only at the end of the data or when reading fails.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Hands count bytes over; returns how many were accepted.
  virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
  virtual std::uint64_t Position() = 0;
  virtual void SetPosition(std::uint64_t position) = 0;
  // The number of bytes the stream holds, which bounds what a reader can
  // still get from it.
  virtual std::uint64_t Size() = 0;
};

class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> bytes) : FBytes(std::move(bytes)) {}

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::uint64_t Position() override { return FPosition; }
  void SetPosition(std::uint64_t position) override;
  std::uint64_t Size() override { return FBytes.size(); }

  const std::vector<std::uint8_t>& Bytes() const { return FBytes; }

private:
  std::vector<std::uint8_t> FBytes;
  std::size_t FPosition = 0;
};

// Create truncates an existing file; CreateNew fails when the file exists.
enum class TFileMode { OpenRead, Create, CreateNew };

// A file opened for reading, or created (truncated) for writing. The file is
// unbuffered: the filers above it buffer, and a write the system refuses
// shows at once in Write's result rather than later at closing.
class TFileStream : public TStream {
public:
  // Throws EFileError: Cannot open file "..." / Cannot create file "...".
  TFileStream(const std::filesystem::path& path, TFileMode mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::uint64_t Position() override;
  void SetPosition(std::uint64_t position) override;
  std::uint64_t Size() override;

  // Forces the data to the disk and closes the file; false when that fails.
  bool Close(bool sync);

private:
  friend class TReplacingFileStream;
  explicit TFileStream(std::FILE* file) : FFile(file) {}
  std::FILE* FFile = nullptr;
};

// Writes a new version of a file without touching the old one until the new
// one is complete: the bytes go to a temporary file beside the target, and
// Commit renames it over the target. Destroyed without Commit (an error while
// writing), it removes the temporary file and the target stays as it was.
class TReplacingFileStream : public TStream {
public:
  // Throws EFileError (Cannot create file "target". reason).
  explicit TReplacingFileStream(const std::filesystem::path& target);
  ~TReplacingFileStream() override;

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::uint64_t Position() override;
  void SetPosition(std::uint64_t position) override;
  std::uint64_t Size() override;

  // Throws EFileError when the data cannot be made durable or the rename fails;
  // the target is then unchanged.
  void Commit();

  const std::filesystem::path& TemporaryPath() const { return FTempPath; }

private:
  std::filesystem::path FTarget;
  std::filesystem::path FTempPath;
  std::unique_ptr<TFileStream> FFile;
  bool FCommitted = false;
};
