// Conversions of stored text into the program's UTF-8.
//
// Old files carry 8-bit text in Windows-1252; newer ones carry UTF-16LE or
// UTF-8. Every function returns valid UTF-8: anything that does not decode
// becomes U+FFFD, so damaged text stays visible instead of breaking later.
#pragma once

#include <string>
#include <string_view>

// The five bytes Windows-1252 leaves undefined (81, 8D, 8F, 90, 9D) become the
// control characters of the same number, as the platform's own conversion does.
std::string Windows1252ToUtf8(std::string_view bytes);
// bytes holds 16-bit code units, low byte first; an odd last byte is ignored.
std::string Utf16LEToUtf8(std::string_view bytes);
// Valid UTF-8 is returned unchanged; each maximal invalid piece (stray
// continuation bytes, truncated or overlong sequences, surrogates, values
// above U+10FFFF) is replaced by one U+FFFD.
std::string SanitizeUtf8(std::string_view bytes);

bool IsAscii(std::string_view text);

void AppendUtf8(std::string& out, char32_t c);
