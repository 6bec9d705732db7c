#include "database/ElementFileReader.h"

#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

constexpr std::size_t BlockSize = 1 << 20;

gzFile Gz(void* f) { return static_cast<gzFile>(f); }

}  // namespace

TElementFileReader::TElementFileReader(const std::string& path)
  : FilePath(path), Buffer(BlockSize + MaxLineLength)
{
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec))
    throw EInputError(path + ": " + (std::filesystem::exists(path, ec) ? "not a file" : "no such file"));
  Size = std::filesystem::file_size(path, ec);
  File = gzopen(path.c_str(), "rb");
  if (!File) throw EInputError(path + ": " + std::strerror(errno));
  gzbuffer(Gz(File), 1 << 18);
}

TElementFileReader::~TElementFileReader()
{
  if (File) gzclose(Gz(File));
}

std::uint64_t TElementFileReader::Consumed() const
{
  const z_off_t offset = gzoffset(Gz(File));
  return offset < 0 ? 0 : static_cast<std::uint64_t>(offset);
}

bool TElementFileReader::Fill()
{
  if (Eof) return false;
  if (Begin > 0) {
    std::memmove(Buffer.data(), Buffer.data() + Begin, End - Begin);
    End -= Begin;
    Begin = 0;
  }
  const std::size_t room = Buffer.size() - End;
  if (room == 0) return false;
  const int n = gzread(Gz(File), Buffer.data() + End, static_cast<unsigned>(room));
  if (n < 0) {
    int code = 0;
    const char* message = gzerror(Gz(File), &code);
    throw EInputError(FilePath + ": read error: " + (message ? message : "unknown"));
  }
  if (n == 0) {
    // A gzip stream cut short reads as a clean end unless asked.
    int code = 0;
    const char* message = gzerror(Gz(File), &code);
    if (code != Z_OK && code != Z_STREAM_END)
      throw EInputError(FilePath + ": read error: " + (message ? message : "unknown"));
    Eof = true;
    return false;
  }
  if (!Nul && std::memchr(Buffer.data() + End, 0, n)) Nul = true;
  End += n;
  return true;
}

bool TElementFileReader::Next(std::string_view& line, bool& tooLong)
{
  tooLong = false;
  std::size_t scanned = Begin;
  for (;;) {
    const char* start = Buffer.data() + Begin;
    const void* nl = std::memchr(Buffer.data() + scanned, '\n', End - scanned);
    if (nl) {
      const std::size_t length = static_cast<const char*>(nl) - start;
      ++Line;
      Begin += length + 1;
      if (length > MaxLineLength) {
        tooLong = true;
        line = {};
      } else {
        line = std::string_view(start, length);
      }
      return true;
    }
    if (End - Begin > MaxLineLength) {
      // A line past the limit: drop what is buffered and read on to its end.
      tooLong = true;
      Begin = End = 0;
      for (;;) {
        if (!Fill()) {
          ++Line;
          line = {};
          return true;
        }
        const void* end = std::memchr(Buffer.data(), '\n', End);
        if (end) {
          Begin = static_cast<const char*>(end) - Buffer.data() + 1;
          ++Line;
          line = {};
          return true;
        }
        Begin = End = 0;
      }
    }
    scanned = End - Begin;
    if (!Fill()) {
      if (End == Begin) return false;
      // The last line without a line feed.
      ++Line;
      line = std::string_view(Buffer.data() + Begin, End - Begin);
      Begin = End;
      return true;
    }
    // Fill moved the unread part to the front.
    scanned = scanned + Begin;
  }
}
