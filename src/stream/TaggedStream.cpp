#include "stream/TaggedStream.h"

#include "stream/Extended80.h"
#include "stream/TextConversion.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// Text is read in pieces of this size, so memory follows the data present
// rather than the length announced.
constexpr std::size_t TextChunk = 64 * 1024;

[[noreturn]] void InvalidValue()
{
  throw EReadError(InvalidPropertyValueMessage);
}

[[noreturn]] void EndOfData()
{
  throw EReadError(StreamReadErrorMessage);
}

std::uint64_t LittleEndian(const std::uint8_t* b, int size)
{
  std::uint64_t v = 0;
  for (int i = size - 1; i >= 0; --i) v = v << 8 | b[i];
  return v;
}

}  // namespace

TFiler::TFiler(TStream& stream, std::size_t bufferSize)
    : FStream(stream), FBuffer(std::max<std::size_t>(bufferSize, 1))
{
}

// ---------------------------------------------------------------- writer

TWriter::TWriter(TStream& stream, std::size_t bufferSize) : TFiler(stream, bufferSize) {}

TWriter::~TWriter()
{
  if (FFailed) return;
  try {
    FlushBuffer();
  } catch (...) {
    // Nothing can be reported from here; see FlushBuffer.
  }
}

void TWriter::FlushBuffer()
{
  if (FFailed) throw EWriteError(StreamWriteErrorMessage);
  if (FBufPos == 0) return;
  const std::size_t written = FStream.Write(FBuffer.data(), FBufPos);
  const bool complete = written == FBufPos;
  FBufPos = 0;
  if (!complete) {
    FFailed = true;
    throw EWriteError(StreamWriteErrorMessage);
  }
}

void TWriter::Write(const void* data, std::size_t count)
{
  if (FFailed) throw EWriteError(StreamWriteErrorMessage);
  auto p = static_cast<const std::uint8_t*>(data);
  while (count > 0) {
    if (FBufPos == FBuffer.size()) FlushBuffer();
    const std::size_t n = std::min(count, FBuffer.size() - FBufPos);
    std::memcpy(FBuffer.data() + FBufPos, p, n);
    FBufPos += n;
    p += n;
    count -= n;
  }
}

void TWriter::WriteByte(std::uint8_t b)
{
  Write(&b, 1);
}

void TWriter::WriteLength(std::size_t length)
{
  // A text beyond the four-byte length cannot be stored at all.
  if (length > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    throw EWriteError(StreamWriteErrorMessage);
  const auto v = static_cast<std::uint32_t>(length);
  const std::uint8_t b[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                             static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
  Write(b, 4);
}

void TWriter::WriteIntValue(std::int32_t v)
{
  const auto u = static_cast<std::uint32_t>(v);
  std::uint8_t b[5] = {0, static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
                       static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)};
  std::size_t size;
  if (v >= -128 && v <= 127) {
    b[0] = static_cast<std::uint8_t>(TValueTag::Int8);
    size = 1;
  } else if (v >= -32768 && v <= 32767) {
    b[0] = static_cast<std::uint8_t>(TValueTag::Int16);
    size = 2;
  } else {
    b[0] = static_cast<std::uint8_t>(TValueTag::Int32);
    size = 4;
  }
  Write(b, 1 + size);
}

void TWriter::WriteFloatValue(long double x)
{
  const TExtended80 e = ToExtended80(x);
  WriteByte(static_cast<std::uint8_t>(TValueTag::Extended));
  Write(e.data(), e.size());
}

void TWriter::WriteBoolValue(bool b)
{
  WriteByte(static_cast<std::uint8_t>(b ? TValueTag::True : TValueTag::False));
}

void TWriter::WriteStringValue(const std::string& s)
{
  if (!IsAscii(s)) {
    WriteByte(static_cast<std::uint8_t>(TValueTag::Utf8String));
    WriteLength(s.size());
  } else if (s.size() <= 255) {
    const std::uint8_t head[2] = {static_cast<std::uint8_t>(TValueTag::String),
                                  static_cast<std::uint8_t>(s.size())};
    Write(head, 2);
  } else {
    WriteByte(static_cast<std::uint8_t>(TValueTag::LongString));
    WriteLength(s.size());
  }
  Write(s.data(), s.size());
}

// ---------------------------------------------------------------- reader

TReader::TReader(TStream& stream, std::size_t bufferSize) : TFiler(stream, bufferSize)
{
  try {
    FBufBase = FStream.Position();
  } catch (...) {
    // A stream without a position counts from here.
  }
  FValueStart = FBufBase;
}

bool TReader::Refill()
{
  FBufBase += FBufEnd;
  FBufPos = 0;
  FBufEnd = FStream.Read(FBuffer.data(), FBuffer.size());
  return FBufEnd != 0;
}

TReader::~TReader()
{
  const std::size_t unread = FBufEnd - FBufPos;
  if (unread == 0) return;
  try {
    FStream.SetPosition(FStream.Position() - unread);
  } catch (...) {
    // A stream that cannot seek back simply stays where it is.
  }
}

std::uint8_t TReader::ReadByte()
{
  if (FBufPos == FBufEnd && !Refill()) EndOfData();
  return FBuffer[FBufPos++];
}

void TReader::Read(void* data, std::size_t count)
{
  auto p = static_cast<std::uint8_t*>(data);
  while (count > 0) {
    if (FBufPos == FBufEnd && !Refill()) EndOfData();
    const std::size_t n = std::min(count, FBufEnd - FBufPos);
    std::memcpy(p, FBuffer.data() + FBufPos, n);
    FBufPos += n;
    p += n;
    count -= n;
  }
}

std::int32_t TReader::ReadInt32()
{
  std::uint8_t b[4];
  Read(b, 4);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(LittleEndian(b, 4)));
}

std::uint32_t TReader::ReadLength()
{
  const std::int32_t n = ReadInt32();
  if (n < 0) EndOfData();
  return static_cast<std::uint32_t>(n);
}

std::string TReader::ReadBytes(std::uint64_t count)
{
  std::string s;
  while (s.size() < count) {
    const std::size_t old = s.size();
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(count - old, TextChunk));
    s.resize(old + n);
    Read(s.data() + old, n);
  }
  return s;
}

std::int32_t TReader::ReadIntPayload(std::uint8_t tag)
{
  std::uint8_t b[4];
  switch (static_cast<TValueTag>(tag)) {
  case TValueTag::Int8:
    Read(b, 1);
    return static_cast<std::int8_t>(b[0]);
  case TValueTag::Int16:
    Read(b, 2);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(LittleEndian(b, 2)));
  case TValueTag::Int32:
    return ReadInt32();
  default:
    InvalidValue();
  }
}

std::int32_t TReader::ReadIntValue()
{
  BeginValue("an Integer");
  return ReadIntPayload(ReadByte());
}

long double TReader::ReadFloatValue()
{
  BeginValue("a Float");
  const std::uint8_t tag = ReadByte();
  switch (static_cast<TValueTag>(tag)) {
  case TValueTag::Extended: {
    TExtended80 e;
    Read(e.data(), e.size());
    return FromExtended80(e);
  }
  case TValueTag::Int64: {
    std::uint8_t b[8];
    Read(b, 8);
    return static_cast<long double>(static_cast<std::int64_t>(LittleEndian(b, 8)));
  }
  default:
    return ReadIntPayload(tag);
  }
}

bool TReader::ReadBoolValue()
{
  BeginValue("a Boolean");
  return ReadByte() == static_cast<std::uint8_t>(TValueTag::True);
}

std::string TReader::ReadStringValue()
{
  BeginValue("a String");
  switch (static_cast<TValueTag>(ReadByte())) {
  case TValueTag::String:
    return Windows1252ToUtf8(ReadBytes(ReadByte()));
  case TValueTag::LongString:
    return Windows1252ToUtf8(ReadBytes(ReadLength()));
  case TValueTag::WideString:
    return Utf16LEToUtf8(ReadBytes(2 * static_cast<std::uint64_t>(ReadLength())));
  case TValueTag::Utf8String:
    return SanitizeUtf8(ReadBytes(ReadLength()));
  default:
    InvalidValue();
  }
}

std::uint64_t TReader::RemainingBytes()
{
  const std::uint64_t size = FStream.Size(), position = FStream.Position();
  return (size > position ? size - position : 0) + (FBufEnd - FBufPos);
}

std::int32_t TReader::ReadCountValue(std::uint64_t minItemBytes, const char* items)
{
  const std::int32_t n = ReadIntValue();
  if (n < 0)
    throw ECountTooLarge("a list of " + std::to_string(n) + " " + items + " is impossible");
  const std::uint64_t left = RemainingBytes();
  if (static_cast<std::uint64_t>(n) > left / std::max<std::uint64_t>(minItemBytes, 1))
    throw ECountTooLarge("a list of " + std::to_string(n) + " " + items +
                         " cannot fit in the " + std::to_string(left) + " bytes left");
  return n;
}
