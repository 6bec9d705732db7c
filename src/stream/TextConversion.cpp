#include "stream/TextConversion.h"

#include <cstdint>

namespace {

constexpr char32_t Replacement = 0xFFFD;

// Windows-1252 0x80..0x9F; the rest of the upper half is Latin-1.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

void AppendUtf8(std::string& out, char32_t c)
{
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsAscii(std::string_view text)
{
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

std::string Windows1252ToUtf8(std::string_view bytes)
{
  std::string out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    auto b = static_cast<unsigned char>(ch);
    if (b < 0x80)
      out += ch;
    else if (b < 0xA0)
      AppendUtf8(out, Cp1252High[b - 0x80]);
    else
      AppendUtf8(out, b);
  }
  return out;
}

std::string Utf16LEToUtf8(std::string_view bytes)
{
  std::string out;
  out.reserve(bytes.size());
  const std::size_t n = bytes.size() / 2;
  auto unit = [&](std::size_t i) {
    return static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                 static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  };
  for (std::size_t i = 0; i < n; ++i) {
    char16_t u = unit(i);
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < n) {
      char16_t low = unit(i + 1);
      if (low >= 0xDC00 && low < 0xE000) {
        AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, u >= 0xD800 && u < 0xE000 ? Replacement : u);  // unpaired halves
  }
  return out;
}

std::string SanitizeUtf8(std::string_view bytes)
{
  std::string out;
  out.reserve(bytes.size());
  const std::size_t n = bytes.size();
  auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  std::size_t i = 0;
  while (i < n) {
    const unsigned char b = at(i);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    // Length of the sequence and the allowed range of its second byte, which
    // excludes overlong forms, surrogates and values above U+10FFFF.
    std::size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) len = 2;
    else if (b == 0xE0) len = 3, lo = 0xA0;
    else if (b >= 0xE1 && b <= 0xEC) len = 3;
    else if (b == 0xED) len = 3, hi = 0x9F;
    else if (b >= 0xEE && b <= 0xEF) len = 3;
    else if (b == 0xF0) len = 4, lo = 0x90;
    else if (b >= 0xF1 && b <= 0xF3) len = 4;
    else if (b == 0xF4) len = 4, hi = 0x8F;
    std::size_t j = i + 1;
    if (len > 0 && j < n && at(j) >= lo && at(j) <= hi) {
      ++j;
      while (j < i + len && j < n && at(j) >= 0x80 && at(j) <= 0xBF) ++j;
    }
    if (len > 0 && j == i + len) {
      out.append(bytes.substr(i, len));
    } else {
      AppendUtf8(out, Replacement);
    }
    i = j;
  }
  return out;
}
