// Rich text built to make a reader work hard: the shapes that grow the
// text document fastest for their size. Shared by the benchmark of the
// reader, its mutation test and its fuzz driver.
#pragma once

#include <cstddef>
#include <string>

namespace hostile {

inline const char* const Head = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\r\n\\pard ";

// One paragraph of `runs` formatting runs, bold and plain by turns.
inline std::string RunsInOneParagraph(int runs)
{
  std::string s = Head;
  for (int i = 0; i < runs; i += 2) s += "\\b a\\b0 b";
  return s + "\\par}";
}

// `n` bulleted paragraphs, as RichEdit writes them.
inline std::string BulletedParagraphs(int n)
{
  std::string s = Head;
  for (int i = 0; i < n; ++i)
    s += "{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}x\\par\r\n";
  return s + "}";
}

// A colour table of `n` colours, each used once.
inline std::string ColoursUsedOnce(int n)
{
  std::string s = "{\\rtf1\\ansi{\\colortbl ;";
  for (int i = 0; i < n; ++i)
    s += "\\red" + std::to_string(i % 256) + "\\green" + std::to_string(i / 256 % 256) +
         "\\blue7;";
  s += "}\\pard ";
  for (int i = 1; i <= n; ++i) s += "\\cf" + std::to_string(i) + " c";
  return s + "\\par}";
}

// A font table of `n` fonts, each used once.
inline std::string FontsUsedOnce(int n)
{
  std::string s = "{\\rtf1\\ansi\\deff0{\\fonttbl";
  for (int i = 0; i < n; ++i) s += "{\\f" + std::to_string(i) + "\\fnil Font" + std::to_string(i) + ";}";
  s += "}\\pard ";
  for (int i = 0; i < n; ++i) s += "\\f" + std::to_string(i) + " f";
  return s + "\\par}";
}

// About `bytes` of short plain paragraphs.
inline std::string PlainParagraphs(std::size_t bytes)
{
  std::string s = Head;
  const std::string line = "The Moon's orbit is tilted by about five degrees.\\par\r\n";
  while (s.size() + line.size() < bytes) s += line;
  return s + "}";
}

// Pictures and binary data the reader must pass over: `n` pictures of
// `hexBytes` hex digits and `n` \bin blocks of `binBytes` raw bytes.
inline std::string PicturesAndBinary(int n, std::size_t hexBytes, std::size_t binBytes)
{
  std::string s = Head;
  for (int i = 0; i < n; ++i) {
    s += "{\\pict\\pngblip\\picw10\\pich10 " + std::string(hexBytes, 'f') + "}";
    s += "{\\*\\objdata\\bin" + std::to_string(binBytes) + " " + std::string(binBytes, '{') + "}";
    s += "p\\par\r\n";
  }
  return s + "}";
}

// Groups nested `depth` deep, each changing the formatting.
inline std::string DeepNesting(int depth)
{
  std::string s = Head;
  for (int i = 0; i < depth; ++i) s += i % 2 ? "{\\i " : "{\\b ";
  s += "deep";
  for (int i = 0; i < depth; ++i) s += "}";
  return s + "\\par}";
}

}  // namespace hostile
