#include "app/richtext/RtfWriter.h"

#include "app/richtext/RichTextFormat.h"
#include "stream/TextConversion.h"

#include <QHash>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

const char* const Eol = "\r\n";

// Windows-1252 bytes of the characters beyond ASCII that have one.
const QHash<char16_t, unsigned char>& Cp1252Bytes()
{
  static const QHash<char16_t, unsigned char> table = [] {
    QHash<char16_t, unsigned char> t;
    for (int b = 0x80; b <= 0xFF; ++b) {
      const std::string byte(1, static_cast<char>(b));
      const QString s = QString::fromStdString(Windows1252ToUtf8(byte));
      // The five undefined bytes decode to control characters: not text.
      if (s.size() == 1 && !(s[0].unicode() >= 0x80 && s[0].unicode() < 0xA0))
        t.insert(s[0].unicode(), static_cast<unsigned char>(b));
    }
    return t;
  }();
  return table;
}

std::string Hex(unsigned char b)
{
  char buf[8];
  std::snprintf(buf, sizeof buf, "\\'%02x", b);
  return buf;
}

// Text as RTF: ASCII as it is, the rest as \'hh or \uN?.
std::string Escaped(const QString& text)
{
  std::string out;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = text[i].unicode();
    if (u == '\\' || u == '{' || u == '}') {
      out += '\\';
      out += static_cast<char>(u);
    } else if (u == '\t') {
      out += "\\tab ";
    } else if (u == 0x2028 || u == 0x2029) {
      out += "\\line ";
    } else if (u == 0x00A0) {
      out += "\\~";
    } else if (u < 0x20 || u == 0xFFFC) {
      // control characters and embedded objects are not kept
    } else if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (auto it = Cp1252Bytes().find(u); it != Cp1252Bytes().end()) {
      out += Hex(it.value());
    } else {
      // A signed 16-bit number, each half of a surrogate pair on its own.
      out += "\\u" + std::to_string(u > 0x7FFF ? static_cast<int>(u) - 0x10000 : u) + "?";
    }
  }
  return out;
}

// A semicolon ends a name in the font table: inside one it is escaped.
std::string FontName(const QString& family)
{
  std::string out;
  for (char c : Escaped(family)) out += c == ';' ? std::string("\\'3b") : std::string(1, c);
  return out;
}

struct TTables {
  QStringList Fonts;    // \f0 is the document's default font
  std::vector<QColor> Colors;  // \cf1 onwards; \cf0 is automatic
  int SymbolFont = -1;
  // Where each font and colour stands, for documents of many.
  QHash<QString, int> FontIndex;
  QHash<QRgb, int> ColorIndex;

  int Font(const QString& family)
  {
    if (const auto it = FontIndex.constFind(family); it != FontIndex.cend()) return it.value();
    Fonts.append(family);
    return FontIndex[family] = static_cast<int>(Fonts.size()) - 1;
  }
  int Color(const QColor& c)
  {
    if (!c.isValid()) return 0;
    const QRgb rgb = c.rgb();
    if (const auto it = ColorIndex.constFind(rgb); it != ColorIndex.cend()) return it.value();
    Colors.push_back(c);
    return ColorIndex[rgb] = static_cast<int>(Colors.size());
  }
};

// The formatting written so far, to write only what changes. The size is
// always written first: a reader may take an unwritten one from elsewhere.
struct TWritten {
  int Font = 0;
  int HalfPoints = 0;
  bool Bold = false, Italic = false, Underline = false;
  int Color = 0, Highlight = 0;
};

std::string Changes(const TRunFormat& f, TTables& tables, TWritten& w)
{
  std::string out;
  auto word = [&out](const std::string& s) { out += s; };
  const int font = tables.Font(f.Family);
  const int halfPoints = std::max(1, static_cast<int>(std::lround(f.Points * 2)));
  const int color = tables.Color(f.Color);
  const int highlight = tables.Color(f.Highlight);
  if (font != w.Font) word("\\f" + std::to_string(font));
  if (halfPoints != w.HalfPoints) word("\\fs" + std::to_string(halfPoints));
  if (f.Bold != w.Bold) word(f.Bold ? "\\b" : "\\b0");
  if (f.Italic != w.Italic) word(f.Italic ? "\\i" : "\\i0");
  if (f.Underline != w.Underline) word(f.Underline ? "\\ul" : "\\ulnone");
  if (color != w.Color) word("\\cf" + std::to_string(color));
  if (highlight != w.Highlight) word("\\highlight" + std::to_string(highlight));
  w = {font, halfPoints, f.Bold, f.Italic, f.Underline, color, highlight};
  if (!out.empty()) out += ' ';
  return out;
}

std::string Alignment(Qt::Alignment a)
{
  if (a & Qt::AlignHCenter) return "\\qc";
  if (a & Qt::AlignJustify) return "\\qj";
  if (a & Qt::AlignRight) return "\\qr";
  return "\\ql";
}

}  // namespace

std::string WriteRtf(const QTextDocument& doc)
{
  TTables tables;
  tables.Font(doc.defaultFont().family());
  TWritten written;
  // The body first: it decides which fonts and colours the tables hold.
  std::string body = "\\viewkind4\\uc1";
  body += Eol;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    std::string line = "\\pard" + Alignment(b.blockFormat().alignment());
    if (b.textList()) {
      if (tables.SymbolFont < 0) tables.SymbolFont = tables.Font("Symbol");
      const std::string f = std::to_string(tables.SymbolFont);
      line += "{\\pntext\\f" + f + "\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf" + f +
              "\\pnindent0{\\pntxtb\\'b7}}\\fi-360\\li360";
    }
    line += ' ';
    bool empty = true;
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid() || fragment.text().isEmpty()) continue;
      line += Changes(ResolveFormat(fragment.charFormat(), doc), tables, written);
      line += Escaped(fragment.text());
      empty = false;
    }
    // An empty paragraph keeps the size of its mark.
    if (empty) line += Changes(ResolveFormat(b.charFormat(), doc), tables, written);
    body += line + "\\par" + Eol;
  }
  body += "}";
  body += Eol;

  std::string head = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl";
  for (qsizetype i = 0; i < tables.Fonts.size(); ++i) {
    const bool symbol = i == tables.SymbolFont;
    head += "{\\f" + std::to_string(i) + "\\fnil\\fcharset" + (symbol ? "2 " : "0 ") +
            FontName(tables.Fonts[i]) + ";}";
  }
  head += "}";
  head += Eol;
  head += "{\\colortbl ;";
  for (const QColor& c : tables.Colors)
    head += "\\red" + std::to_string(c.red()) + "\\green" + std::to_string(c.green()) + "\\blue" +
            std::to_string(c.blue()) + ";";
  head += "}";
  head += Eol;
  return head + body;
}
