// The 8-bit and double-byte code pages rich text names (\ansicpg, \cpg,
// \fcharset), decoded into UTF-16 for the text document.
#pragma once

#include <QString>

#include <map>
#include <string>

// The Windows code page a font's character set (\fcharsetN) stands for; 0
// for the document's own code page (ANSI, default, symbol and unknown sets).
int CodePageOfCharset(int charset);

// Whether `byte` starts a two-byte character in the code page (932, 936,
// 949, 950 and 1361); such a character may arrive as \'hh and a plain byte.
bool IsLeadByte(int codePage, unsigned char byte);

// Decodes bytes of one code page; what does not decode becomes U+FFFD, and
// an unknown code page is read as 1252. Converters are opened once per code
// page and kept for the decoder's life.
class TCodePageDecoder {
public:
  TCodePageDecoder() = default;
  TCodePageDecoder(const TCodePageDecoder&) = delete;
  TCodePageDecoder& operator=(const TCodePageDecoder&) = delete;
  ~TCodePageDecoder();

  QString Decode(int codePage, const std::string& bytes);

private:
  void* Converter(int codePage);  // an iconv_t, or null for 1252
  std::map<int, void*> converters_;
};
