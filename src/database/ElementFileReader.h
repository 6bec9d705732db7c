// Reads an element file line by line, plain or gzip-compressed (told apart
// by content), in large blocks, without copying lines. A gzip file may hold
// several members one after the other (as `cat a.gz b.gz` makes them), and
// anything after the last member that is no gzip data is read as plain
// text: no byte of the file is passed over in silence.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// An input that cannot be read (missing, unreadable, a damaged gzip stream).
class EInputError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class TElementFileReader {
public:
  // Lines longer than this are reported as too long and skipped.
  static constexpr std::size_t MaxLineLength = 1 << 16;

  explicit TElementFileReader(const std::string& path);  // throws EInputError
  ~TElementFileReader();
  TElementFileReader(const TElementFileReader&) = delete;
  TElementFileReader& operator=(const TElementFileReader&) = delete;

  // The next line without its line feed; false at the end of the file.
  // `tooLong` is set for a line past MaxLineLength (whose text is then not
  // given). Throws EInputError on a read error.
  bool Next(std::string_view& line, bool& tooLong);
  // 1-based number of the line last returned.
  std::int64_t LineNumber() const { return Line; }
  // Bytes of the file consumed so far, and its size, for progress.
  std::uint64_t Consumed() const;
  std::uint64_t FileSize() const { return Size; }
  // True when a NUL byte was met in the data read so far (no text file).
  bool SawNul() const { return Nul; }
  const std::string& Path() const { return FilePath; }

private:
  bool Fill();
  bool MoreInput();
  std::size_t ReadRaw(char* into, std::size_t room);
  std::size_t Inflate(char* into, std::size_t room);

  std::string FilePath;
  int Fd = -1;
  void* Stream = nullptr;  // z_stream while in a gzip member
  bool Gzip = false;       // the bytes at the input position are gzip data
  std::vector<unsigned char> In;  // compressed input not yet inflated
  std::size_t InBegin = 0, InEnd = 0;
  bool InEof = false, Started = false;
  std::uint64_t RawRead = 0;  // bytes read from the file
  std::vector<char> Buffer;
  std::size_t Begin = 0, End = 0;
  std::int64_t Line = 0;
  std::uint64_t Size = 0;
  bool Eof = false, Nul = false;
};
