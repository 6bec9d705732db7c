// The tagged value stream of every binary file of the program: a flat
// sequence of values, each a one-byte tag and its little-endian payload, with
// no header, names or framing. The order and meaning of the values belong to
// the records that write and read them.
//
// Text inside the program is UTF-8. Pure ASCII text is written with the 8-bit
// tags, any other text as UTF-8 (tag 20), so nothing is lost on writing; the
// 8-bit tags of old files are read as Windows-1252.
#pragma once

#include "stream/ByteStreams.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

enum class TValueTag : std::uint8_t {
  Int8 = 2,
  Int16 = 3,
  Int32 = 4,
  Extended = 5,
  String = 6,    // 1-byte length, Windows-1252 text
  False = 8,
  True = 9,
  LongString = 12,  // 4-byte length, Windows-1252 text
  WideString = 18,  // 4-byte count of UTF-16LE code units (read only)
  Int64 = 19,       // read only
  Utf8String = 20,  // 4-byte length, UTF-8 text
};

inline constexpr const char* InvalidPropertyValueMessage = "Invalid property value";
inline constexpr const char* StreamReadErrorMessage = "Stream read error";
inline constexpr const char* StreamWriteErrorMessage = "Stream write error";

// Both kinds can be caught together by the document code.
class EFilerError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};
// "Invalid property value" (an unexpected tag) or "Stream read error" (the
// data end before the value is complete, or a length field is negative).
class EReadError : public EFilerError {
public:
  using EFilerError::EFilerError;
};
// A list count that the bytes left in the stream cannot hold (or a negative
// one): damaged or hostile data, refused before any room is made for the
// list. The message says which list and how long it claimed to be.
class ECountTooLarge : public EReadError {
public:
  using EReadError::EReadError;
};
// "Stream write error": the stream accepted fewer bytes than handed over.
class EWriteError : public EFilerError {
public:
  using EFilerError::EFilerError;
};

// Owns the buffer between the values and the byte stream; the stream is the
// caller's and must outlive the filer.
class TFiler {
public:
  static constexpr std::size_t DefaultBufferSize = 4096;

  TFiler(TStream& stream, std::size_t bufferSize);
  virtual ~TFiler() = default;
  TFiler(const TFiler&) = delete;
  TFiler& operator=(const TFiler&) = delete;

protected:
  TStream& FStream;
  std::vector<std::uint8_t> FBuffer;
  std::size_t FBufPos = 0;  // writer: bytes collected; reader: next byte to hand out
  std::size_t FBufEnd = 0;  // reader: bytes held
};

class TWriter : public TFiler {
public:
  explicit TWriter(TStream& stream, std::size_t bufferSize = DefaultBufferSize);
  // Hands over what is still buffered. A failure there cannot be reported, so
  // callers that need to know call FlushBuffer first.
  ~TWriter() override;

  // Tag 2, 3 or 4, the smallest that holds v.
  void WriteIntValue(std::int32_t v);
  // Tag 5 and ten bytes, also for whole numbers.
  void WriteFloatValue(long double x);
  void WriteBoolValue(bool b);
  // ASCII up to 255 bytes: tag 6; longer ASCII: tag 12; anything else: tag 20.
  void WriteStringValue(const std::string& s);

  // Hands the buffer to the stream; throws EWriteError when the stream takes
  // fewer bytes. After a failure every further write fails the same way.
  void FlushBuffer();

private:
  void WriteByte(std::uint8_t b);
  void Write(const void* data, std::size_t count);
  void WriteLength(std::size_t length);

  bool FFailed = false;
};

// Every operation consumes exactly one value (a Boolean: exactly one byte) and
// throws EReadError when the value is not there. Lengths are never trusted:
// text is read in bounded pieces as the bytes actually arrive, so a huge
// length field costs no more memory than the data present.
class TReader : public TFiler {
public:
  explicit TReader(TStream& stream, std::size_t bufferSize = DefaultBufferSize);
  // Moves the stream back to just after the last byte consumed.
  ~TReader() override;

  // Tags 2, 3, 4.
  std::int32_t ReadIntValue();
  // Tag 5, or an integer of tags 2, 3, 4 or 19 converted.
  long double ReadFloatValue();
  // Any byte; true exactly when it is 9.
  bool ReadBoolValue();
  // Tags 6, 12, 18, 20, returned as UTF-8.
  std::string ReadStringValue();

  // An Integer counting the items of a list that follows, each taking at
  // least minItemBytes. Throws ECountTooLarge, naming the list by `items`,
  // when the count is negative or more than the bytes left could hold.
  std::int32_t ReadCountValue(std::uint64_t minItemBytes, const char* items);
  // Bytes not yet consumed: those buffered and those left in the stream.
  std::uint64_t RemainingBytes();
  // Where the value read last (or being read when an error came) starts,
  // counted in bytes from the stream's beginning, and what kind it was to
  // be ("an Integer", "a Float", "a Boolean", "a String"; "" before any):
  // what a message about damaged data names.
  std::uint64_t ValueStart() const { return FValueStart; }
  const char* ExpectedKind() const { return FExpected; }

private:
  void BeginValue(const char* kind)
  {
    FValueStart = FBufBase + FBufPos;
    FExpected = kind;
  }
  // Refills the buffer from the stream; false at the end of the data.
  bool Refill();
  std::uint8_t ReadByte();
  void Read(void* data, std::size_t count);
  std::int32_t ReadInt32();
  std::int32_t ReadIntPayload(std::uint8_t tag);
  // count bytes, where count comes from the data.
  std::string ReadBytes(std::uint64_t count);
  // A four-byte length; negative ones are damaged data.
  std::uint32_t ReadLength();

  std::uint64_t FBufBase = 0;  // stream position of the buffer's first byte
  std::uint64_t FValueStart = 0;
  const char* FExpected = "";
};
