#include "app/richtext/RtfCodePages.h"

#include "stream/TextConversion.h"

#include <iconv.h>

#include <cerrno>

namespace {

const iconv_t NoConverter = reinterpret_cast<iconv_t>(-1);

// The code pages glibc's converters know under "CPnnnn" or another name.
std::string ConverterName(int codePage)
{
  switch (codePage) {
    case 10000: return "MACINTOSH";
    case 1361: return "JOHAB";
    case 437: case 850: case 874: case 932: case 936: case 949: case 950:
    case 1250: case 1251: case 1253: case 1254: case 1255: case 1256: case 1257: case 1258:
      return "CP" + std::to_string(codePage);
    default: return {};
  }
}

}  // namespace

int CodePageOfCharset(int charset)
{
  switch (charset) {
    case 77: return 10000;   // Macintosh
    case 128: return 932;    // Shift-JIS
    case 129: return 949;    // Hangul
    case 130: return 1361;   // Johab
    case 134: return 936;    // GB 2312
    case 136: return 950;    // Big5
    case 161: return 1253;   // Greek
    case 162: return 1254;   // Turkish
    case 163: return 1258;   // Vietnamese
    case 177: return 1255;   // Hebrew
    case 178: return 1256;   // Arabic
    case 186: return 1257;   // Baltic
    case 204: return 1251;   // Cyrillic
    case 222: return 874;    // Thai
    case 238: return 1250;   // Central European
    case 255: return 437;    // OEM
    default: return 0;
  }
}

bool IsLeadByte(int codePage, unsigned char byte)
{
  switch (codePage) {
    case 932: return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936: case 949: case 950: return byte >= 0x81 && byte <= 0xFE;
    case 1361: return (byte >= 0x84 && byte <= 0xD3) || (byte >= 0xD8 && byte <= 0xF9);
    default: return false;
  }
}

TCodePageDecoder::~TCodePageDecoder()
{
  for (auto& [cp, c] : converters_)
    if (c) iconv_close(static_cast<iconv_t>(c));
}

void* TCodePageDecoder::Converter(int codePage)
{
  auto it = converters_.find(codePage);
  if (it != converters_.end()) return it->second;
  void* c = nullptr;
  const std::string name = ConverterName(codePage);
  if (!name.empty()) {
    iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd != NoConverter) c = cd;
  }
  converters_[codePage] = c;
  return c;
}

QString TCodePageDecoder::Decode(int codePage, const std::string& bytes)
{
  void* c = Converter(codePage);
  if (!c) return QString::fromStdString(Windows1252ToUtf8(bytes));
  auto cd = static_cast<iconv_t>(c);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state
  std::string out;
  char buffer[256];
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* o = buffer;
    std::size_t oLeft = sizeof buffer;
    const std::size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    out.append(buffer, static_cast<std::size_t>(o - buffer));
    if (r != static_cast<std::size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // An invalid or incomplete sequence: one replacement, and on after
    // its first byte.
    AppendUtf8(out, 0xFFFD);
    ++in;
    --inLeft;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  return QString::fromUtf8(out.data(), static_cast<qsizetype>(out.size()));
}
