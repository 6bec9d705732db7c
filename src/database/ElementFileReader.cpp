#include "database/ElementFileReader.h"

#include <zlib.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

constexpr std::size_t BlockSize = 1 << 20;
constexpr std::size_t InputBlock = 1 << 18;

z_stream* Z(void* s) { return static_cast<z_stream*>(s); }

bool IsGzipMagic(const unsigned char* p) { return p[0] == 0x1f && p[1] == 0x8b; }

}  // namespace

TElementFileReader::TElementFileReader(const std::string& path)
  : FilePath(path), In(InputBlock), Buffer(BlockSize + MaxLineLength)
{
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec))
    throw EInputError(path + ": " + (std::filesystem::exists(path, ec) ? "not a file" : "no such file"));
  Size = std::filesystem::file_size(path, ec);
  Fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (Fd < 0) throw EInputError(path + ": " + std::strerror(errno));
  auto* stream = new z_stream{};
  Stream = stream;
  if (inflateInit2(stream, 15 + 16) != Z_OK) {
    ::close(Fd);
    delete stream;
    throw EInputError(path + ": cannot start decompressing");
  }
}

TElementFileReader::~TElementFileReader()
{
  if (Stream) {
    inflateEnd(Z(Stream));
    delete Z(Stream);
  }
  if (Fd >= 0) ::close(Fd);
}

std::uint64_t TElementFileReader::Consumed() const { return RawRead - (InEnd - InBegin); }

// Moves the unread input to the front and reads more after it; false at
// the end of the file.
bool TElementFileReader::MoreInput()
{
  if (InEof) return false;
  std::memmove(In.data(), In.data() + InBegin, InEnd - InBegin);
  InEnd -= InBegin;
  InBegin = 0;
  for (;;) {
    const ssize_t got = ::read(Fd, In.data() + InEnd, In.size() - InEnd);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw EInputError(FilePath + ": read error: " + std::strerror(errno));
    if (got == 0) InEof = true;
    RawRead += std::uint64_t(got);
    InEnd += std::size_t(got);
    return got > 0;
  }
}

// Plain bytes: what is left of the input buffer, then straight from the file.
std::size_t TElementFileReader::ReadRaw(char* into, std::size_t room)
{
  if (InBegin == InEnd && !MoreInput()) return 0;
  const std::size_t n = std::min(room, InEnd - InBegin);
  std::memcpy(into, In.data() + InBegin, n);
  InBegin += n;
  return n;
}

// Inflates gzip data into `into`; at the end of a member, another member
// goes on, and anything else turns the rest of the file into plain text.
std::size_t TElementFileReader::Inflate(char* into, std::size_t room)
{
  z_stream* z = Z(Stream);
  for (;;) {
    if (InBegin == InEnd && !MoreInput())
      throw EInputError(FilePath + ": read error: unexpected end of file");
    z->next_in = In.data() + InBegin;
    z->avail_in = unsigned(InEnd - InBegin);
    z->next_out = reinterpret_cast<Bytef*>(into);
    z->avail_out = unsigned(room);
    const int rc = inflate(z, Z_NO_FLUSH);
    InBegin = InEnd - z->avail_in;
    const std::size_t produced = room - z->avail_out;
    if (rc == Z_STREAM_END) {
      // What follows the member decides: another member, or plain text.
      while (InEnd - InBegin < 2 && MoreInput()) {
      }
      if (InEnd - InBegin >= 2 && IsGzipMagic(In.data() + InBegin))
        inflateReset(z);
      else
        Gzip = false;
      if (produced > 0 || !Gzip) return produced;
      continue;
    }
    if (rc != Z_OK && rc != Z_BUF_ERROR)
      throw EInputError(FilePath + ": read error: " + (z->msg ? z->msg : "damaged gzip data"));
    if (produced > 0) return produced;
  }
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
  if (!Started) {
    // The first bytes tell a gzip file from a plain one.
    Started = true;
    while (InEnd < 2 && MoreInput()) {
    }
    Gzip = InEnd >= 2 && IsGzipMagic(In.data());
  }
  std::size_t n = 0;
  for (;;) {
    n = Gzip ? Inflate(Buffer.data() + End, room) : ReadRaw(Buffer.data() + End, room);
    if (n > 0 || !Gzip) break;
  }
  if (n == 0) {
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
