#include "app/richtext/RtfReader.h"

#include "app/richtext/RtfCodePages.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

// Deeper groups are read as if their braces were not there: real documents
// nest a few levels, and the bound keeps hostile input from growing the
// stack without end.
constexpr std::size_t MaxGroupDepth = 256;
// Control words are at most 32 letters; longer runs are read as one word.
constexpr int MaxWordLength = 32;
// Parameters are clamped to this; they are 16-bit in the format, a little
// more in practice (\bin, colours).
constexpr std::int64_t MaxParameter = 2'000'000'000;
constexpr int MaxUnicodeSkip = 16;
constexpr int MaxHalfPoints = 3276;  // 1638 points

enum class TDest {
  Text,
  Skip,
  FontTable,
  ColorTable,
  BulletText,  // \pntext, \listtext: the drawn bullet, whose presence marks the paragraph
  Numbering,   // \pn: the paragraph's numbering, read as bullets
};

struct TCharProps {
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  int Font = -1;       // -1: the default font (\deff)
  int HalfPoints = 0;  // 0: the field's own size
  int Color = 0;       // index into the colour table; 0 and unknown: automatic
  int Highlight = 0;

  bool operator==(const TCharProps&) const = default;
};

struct TParaProps {
  Qt::Alignment Align = Qt::AlignLeft;
  bool Bullet = false;
};

struct TState {
  TCharProps Char;
  TParaProps Para;
  TDest Dest = TDest::Text;
  int UnicodeSkip = 1;
};

struct TFont {
  QString Name;
  int CodePage = 0;  // 0: the document's
};

struct TColorEntry {
  bool Auto = true;
  QColor Color;
};

struct TRun {
  TCharProps Props;
  QString Text;
};

struct TParagraph {
  TParaProps Para;
  TCharProps Mark;  // the formatting of the paragraph mark
  std::vector<TRun> Runs;
};

// Destinations whose content is never text of the document.
bool IsSkippedDestination(const std::string& w)
{
  static const char* const names[] = {
      "stylesheet", "info", "pict", "object", "header", "headerl", "headerr", "headerf",
      "footer", "footerl", "footerr", "footerf", "footnote", "annotation", "fldinst", "xe",
      "tc", "txe", "rxe", "bkmkstart", "bkmkend", "listtable", "listoverridetable", "revtbl",
      "rsidtbl", "generator", "themedata", "colorschememapping", "latentstyles", "datastore",
      "xmlnstbl", "filetbl", "author", "operator", "title", "subject", "keywords", "comment",
      "doccomm", "company", "creatim", "revtim", "printim", "buptim", "userprops", "template",
      "docvar", "pnseclvl", "pntxta", "pntxtb", "falt", "panose", "fname", "nonshppict",
      "shpinst", "shppict", "atnid", "atnauthor", "ftnsep", "ftnsepc", "ftncn", "aftnsep",
      "aftnsepc", "aftncn", "mmathPr", "pgdsctbl", "hyphen", "background", "objdata",
      "result", "category", "manager", "hlinkbase", "wgrffmtfilter", "passwordhash"};
  for (const char* n : names)
    if (w == n) return true;
  return false;
}

bool IsUnderline(const std::string& w)
{
  return w == "ul" || w == "uld" || w == "uldash" || w == "uldashd" || w == "uldashdd" ||
         w == "uldb" || w == "ulhwave" || w == "ulldash" || w == "ulth" || w == "ulthd" ||
         w == "ulthdash" || w == "ulthdashd" || w == "ulthdashdd" || w == "ulthldash" ||
         w == "ululdbwave" || w == "ulw" || w == "ulwave";
}

// Special characters named by a control word.
char16_t SpecialCharacter(const std::string& w)
{
  static const std::unordered_map<std::string, char16_t> table = {
      {"emdash", 0x2014},  {"endash", 0x2013},    {"bullet", 0x2022},  {"lquote", 0x2018},
      {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003},
      {"enspace", 0x2002}, {"qmspace", 0x2005},   {"zwj", 0x200D},     {"zwnj", 0x200C},
      {"ltrmark", 0x200E}, {"rtlmark", 0x200F},   {"tab", u'\t'},      {"cell", u'\t'},
      {"nestcell", u'\t'}, {"line", 0x2028}};
  auto it = table.find(w);
  return it == table.end() ? 0 : it->second;
}

class TRtfReader {
public:
  TRtfReader(std::string_view in, QTextDocument& doc) : in_(in), doc_(doc) {}
  void Run();

private:
  // ---- input
  bool AtEnd() const { return pos_ >= in_.size(); }
  unsigned char Peek() const { return static_cast<unsigned char>(in_[pos_]); }
  void ControlWord();
  void ControlSymbol(unsigned char c);
  void Word(const std::string& w, bool hasParam, int param);
  void RawCharacter();
  void OpenGroup();
  bool CloseGroup();  // false when the document has ended

  // ---- text
  int CodePage() const;
  void Byte(unsigned char b);
  void FlushBytes();
  bool Skipping();  // consumes one unit of the skip after \uN
  void Unit(char16_t u);
  void Emit(const QString& s);
  void DropLoneSurrogate();
  void EndParagraph();
  void FinishFont();
  void FinishColor();

  // ---- the document
  QTextCharFormat Format(const TCharProps& p) const;
  void Build();

  std::string_view in_;
  std::size_t pos_ = 0;
  QTextDocument& doc_;

  TState st_;
  std::vector<TState> stack_;
  int flattened_ = 0;   // open groups beyond the depth bound
  bool ignorable_ = false;  // after \*
  int skip_ = 0;        // characters still to skip after \uN

  int ansiCodePage_ = 1252;
  int defaultFont_ = 0;
  std::map<int, TFont> fonts_;
  std::vector<TColorEntry> colors_;
  int fontIndex_ = 0;  // the font table entry being read
  int fontCodePage_ = 0;
  QString fontName_;
  bool fontPending_ = false;
  int red_ = 0, green_ = 0, blue_ = 0;
  bool colorSet_ = false;

  std::string bytes_;  // \'hh bytes not yet decoded
  int bytesCodePage_ = 1252;
  bool leadPending_ = false;  // bytes_ ends with the first byte of a pair
  char16_t high_ = 0;         // a high surrogate waiting for its partner
  TCodePageDecoder decoder_;

  TParagraph para_;
  bool bulletText_ = false;  // this paragraph has a drawn bullet
  std::vector<TParagraph> paragraphs_;
};

void TRtfReader::Run()
{
  while (!AtEnd()) {
    const unsigned char c = Peek();
    if (c == '{') {
      ++pos_;
      OpenGroup();
    } else if (c == '}') {
      ++pos_;
      if (!CloseGroup()) break;
    } else if (c == '\\') {
      ++pos_;
      if (AtEnd()) break;
      const unsigned char n = Peek();
      if ((n >= 'a' && n <= 'z') || (n >= 'A' && n <= 'Z'))
        ControlWord();
      else {
        ++pos_;
        ControlSymbol(n);
      }
    } else {
      RawCharacter();
    }
  }
  // Data cut short still shows its last paragraph.
  FlushBytes();
  DropLoneSurrogate();
  if (!para_.Runs.empty()) EndParagraph();
  Build();
}

void TRtfReader::OpenGroup()
{
  FlushBytes();
  skip_ = 0;
  if (stack_.size() >= MaxGroupDepth) {
    ++flattened_;
    return;
  }
  stack_.push_back(st_);
}

bool TRtfReader::CloseGroup()
{
  FlushBytes();
  DropLoneSurrogate();
  skip_ = 0;
  ignorable_ = false;
  if (flattened_ > 0) {
    --flattened_;
    return true;
  }
  if (st_.Dest == TDest::FontTable) FinishFont();
  if (stack_.empty()) return false;  // a brace too many: the document ends here
  st_ = stack_.back();
  stack_.pop_back();
  return !stack_.empty();  // the outermost group closed
}

void TRtfReader::ControlWord()
{
  std::string w;
  while (!AtEnd() && ((Peek() >= 'a' && Peek() <= 'z') || (Peek() >= 'A' && Peek() <= 'Z'))) {
    if (static_cast<int>(w.size()) < MaxWordLength) w += static_cast<char>(Peek());
    ++pos_;
  }
  bool negative = false, hasParam = false;
  std::int64_t value = 0;
  if (!AtEnd() && Peek() == '-' && pos_ + 1 < in_.size() && in_[pos_ + 1] >= '0' &&
      in_[pos_ + 1] <= '9') {
    negative = true;
    ++pos_;
  }
  while (!AtEnd() && Peek() >= '0' && Peek() <= '9') {
    hasParam = true;
    value = std::min(value * 10 + (Peek() - '0'), MaxParameter);
    ++pos_;
  }
  if (!AtEnd() && Peek() == ' ') ++pos_;  // the delimiter belongs to the word
  const int param = static_cast<int>(negative ? -value : value);
  if (w == "bin") {
    // Binary data: skipped whole, whatever destination it is in.
    const std::size_t n = static_cast<std::size_t>(std::max(0, param));
    pos_ += std::min(n, in_.size() - pos_);
    return;
  }
  if (Skipping()) return;
  FlushBytes();
  Word(w, hasParam, param);
}

void TRtfReader::ControlSymbol(unsigned char c)
{
  if (c == '\'') {
    // \'hh; a broken escape is dropped.
    auto hex = [](char h) {
      if (h >= '0' && h <= '9') return h - '0';
      if (h >= 'a' && h <= 'f') return h - 'a' + 10;
      if (h >= 'A' && h <= 'F') return h - 'A' + 10;
      return -1;
    };
    if (pos_ + 2 > in_.size()) {
      pos_ = in_.size();
      return;
    }
    const int hi = hex(in_[pos_]), lo = hex(in_[pos_ + 1]);
    if (hi < 0 || lo < 0) return;
    pos_ += 2;
    if (Skipping()) return;
    Byte(static_cast<unsigned char>(hi * 16 + lo));
    return;
  }
  if (c == '*') {
    ignorable_ = true;
    return;
  }
  if (Skipping()) return;
  switch (c) {
    case '\\': case '{': case '}':
      FlushBytes();
      Emit(QString(QChar(c)));
      break;
    case '~': FlushBytes(); Unit(0x00A0); break;
    case '_': FlushBytes(); Unit(0x2011); break;
    case '\r': case '\n':
      FlushBytes();
      if (st_.Dest == TDest::Text) EndParagraph();
      break;
    case '\t': FlushBytes(); Unit(u'\t'); break;
    default: break;  // \- \: \| and the unknown
  }
}

void TRtfReader::RawCharacter()
{
  const unsigned char c = Peek();
  if (c == '\r' || c == '\n' || c == 0) {
    ++pos_;
    return;
  }
  if (c < 0x80) {
    ++pos_;
    if (Skipping()) return;
    if (st_.Dest == TDest::FontTable && c == ';') {
      FlushBytes();
      FinishFont();
      return;
    }
    if (st_.Dest == TDest::ColorTable) {
      if (c == ';') FinishColor();
      return;
    }
    // The second byte of a pair may come as a plain character.
    if (leadPending_) {
      Byte(c);
      return;
    }
    FlushBytes();
    if (c < 0x20 && c != '\t') return;  // control characters are no text
    Unit(c);
    return;
  }
  // A character beyond ASCII, as it is; broken sequences become U+FFFD.
  std::size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  len = std::min(len, in_.size() - pos_);
  const QString s = QString::fromUtf8(in_.data() + pos_, static_cast<qsizetype>(len));
  pos_ += len;
  if (Skipping()) return;
  FlushBytes();
  Emit(s);
}

void TRtfReader::Word(const std::string& w, bool hasParam, int param)
{
  const bool ignorable = ignorable_;
  ignorable_ = false;
  const bool on = !hasParam || param != 0;
  // Inside skipped content every word is skipped, destinations too.
  if (st_.Dest == TDest::Skip || st_.Dest == TDest::BulletText || st_.Dest == TDest::Numbering)
    return;

  // Destinations.
  if (w == "fonttbl") { st_.Dest = TDest::FontTable; fontPending_ = false; return; }
  if (w == "colortbl") { st_.Dest = TDest::ColorTable; colorSet_ = false; return; }
  if (w == "pntext" || w == "listtext") {
    st_.Dest = TDest::BulletText;
    bulletText_ = true;
    return;
  }
  if (w == "pn") {
    // The numbering of the enclosing paragraph: kept after this group.
    if (!stack_.empty() && stack_.back().Dest == TDest::Text) stack_.back().Para.Bullet = true;
    st_.Dest = TDest::Numbering;
    return;
  }
  if (IsSkippedDestination(w)) { st_.Dest = TDest::Skip; return; }

  // Document-wide settings, wherever they stand.
  if (w == "ansi") { ansiCodePage_ = 1252; return; }
  if (w == "mac") { ansiCodePage_ = 10000; return; }
  if (w == "pc") { ansiCodePage_ = 437; return; }
  if (w == "pca") { ansiCodePage_ = 850; return; }
  if (w == "ansicpg") { if (param > 0) ansiCodePage_ = param; return; }
  if (w == "deff") { defaultFont_ = param; return; }
  if (w == "uc") { st_.UnicodeSkip = std::clamp(param, 0, MaxUnicodeSkip); return; }

  switch (st_.Dest) {
    case TDest::FontTable:
      if (w == "f") {
        if (fontPending_ && !fontName_.trimmed().isEmpty()) FinishFont();
        fontIndex_ = param;
        fontCodePage_ = 0;
        fontName_.clear();
        fontPending_ = true;
      } else if (w == "fcharset") {
        fontCodePage_ = CodePageOfCharset(param);
      } else if (w == "cpg") {
        fontCodePage_ = param;
      } else if (w == "u") {
        Unit(static_cast<char16_t>(param < 0 ? param + 65536 : param));
        skip_ = st_.UnicodeSkip;
      } else if (ignorable) {
        st_.Dest = TDest::Skip;
      }
      return;
    case TDest::ColorTable:
      if (w == "red") red_ = std::clamp(param, 0, 255), colorSet_ = true;
      else if (w == "green") green_ = std::clamp(param, 0, 255), colorSet_ = true;
      else if (w == "blue") blue_ = std::clamp(param, 0, 255), colorSet_ = true;
      else if (ignorable) st_.Dest = TDest::Skip;
      return;
    case TDest::Text: break;
    default: return;  // skipped content
  }

  if (w == "par" || w == "sect" || w == "row" || w == "page" || w == "nestrow") {
    EndParagraph();
  } else if (const char16_t special = SpecialCharacter(w)) {
    Unit(special);
  } else if (w == "u") {
    if (param >= -32768 && param <= 65535)
      Unit(static_cast<char16_t>(param < 0 ? param + 65536 : param));
    else
      Unit(0xFFFD);
    skip_ = st_.UnicodeSkip;
  } else if (w == "pard") {
    st_.Para = TParaProps();
  } else if (w == "ql") {
    st_.Para.Align = Qt::AlignLeft;
  } else if (w == "qc") {
    st_.Para.Align = Qt::AlignHCenter;
  } else if (w == "qr") {
    st_.Para.Align = Qt::AlignRight;
  } else if (w == "qj" || w == "qd") {
    st_.Para.Align = Qt::AlignJustify;
  } else if (w == "ls") {
    st_.Para.Bullet = param > 0;
  } else if (w == "plain") {
    st_.Char = TCharProps();
  } else if (w == "b") {
    st_.Char.Bold = on;
  } else if (w == "i") {
    st_.Char.Italic = on;
  } else if (IsUnderline(w)) {
    st_.Char.Underline = on;
  } else if (w == "ulnone") {
    st_.Char.Underline = false;
  } else if (w == "f") {
    st_.Char.Font = param;
  } else if (w == "fs") {
    st_.Char.HalfPoints = hasParam && param > 0 ? std::min(param, MaxHalfPoints) : 0;
  } else if (w == "cf") {
    st_.Char.Color = param;
  } else if (w == "highlight" || w == "cb" || w == "chcbpat") {
    st_.Char.Highlight = param;
  } else if (ignorable) {
    st_.Dest = TDest::Skip;  // an unknown destination marked as ignorable
  }
}

int TRtfReader::CodePage() const
{
  int cp = 0;
  if (st_.Dest == TDest::FontTable) {
    cp = fontCodePage_;
  } else {
    auto it = fonts_.find(st_.Char.Font < 0 ? defaultFont_ : st_.Char.Font);
    if (it != fonts_.end()) cp = it->second.CodePage;
  }
  return cp > 0 ? cp : ansiCodePage_;
}

bool TRtfReader::Skipping()
{
  if (skip_ <= 0) return false;
  --skip_;
  return true;
}

void TRtfReader::Byte(unsigned char b)
{
  if (st_.Dest != TDest::Text && st_.Dest != TDest::FontTable) return;
  const int cp = CodePage();
  if (!bytes_.empty() && cp != bytesCodePage_) FlushBytes();
  bytesCodePage_ = cp;
  bytes_ += static_cast<char>(b);
  leadPending_ = !leadPending_ && IsLeadByte(cp, b);
}

void TRtfReader::FlushBytes()
{
  leadPending_ = false;
  if (bytes_.empty()) return;
  const QString s = decoder_.Decode(bytesCodePage_, bytes_);
  bytes_.clear();
  Emit(s);
}

void TRtfReader::Unit(char16_t u)
{
  if (u >= 0xD800 && u < 0xDC00) {
    DropLoneSurrogate();
    high_ = u;
    return;
  }
  if (u >= 0xDC00 && u < 0xE000) {
    if (!high_) {
      Emit(QString(QChar(0xFFFD)));
      return;
    }
    const QChar pair[2] = {QChar(high_), QChar(u)};
    high_ = 0;
    Emit(QString(pair, 2));
    return;
  }
  Emit(QString(QChar(u)));
}

void TRtfReader::DropLoneSurrogate()
{
  if (!high_) return;
  high_ = 0;
  Emit(QString(QChar(0xFFFD)));
}

void TRtfReader::Emit(const QString& s)
{
  if (high_) {
    high_ = 0;
    Emit(QString(QChar(0xFFFD)));
  }
  // Control characters are no text, and the text document keeps its own
  // marks for paragraphs and frames: none of them may come from the input.
  QString text;
  text.reserve(s.size());
  for (QChar ch : s) {
    const char16_t u = ch.unicode();
    if ((u < 0x20 && u != u'\t') || u == 0xFFFC || u == 0xFDD0 || u == 0xFDD1) continue;
    text += u == 0x2029 ? QChar(0x2028) : ch;
  }
  if (text.isEmpty()) return;
  switch (st_.Dest) {
    case TDest::Text:
      if (para_.Runs.empty() || !(para_.Runs.back().Props == st_.Char))
        para_.Runs.push_back({st_.Char, {}});
      para_.Runs.back().Text += text;
      break;
    case TDest::FontTable: fontName_ += text; break;
    default: break;
  }
}

void TRtfReader::EndParagraph()
{
  DropLoneSurrogate();
  para_.Para = st_.Para;
  para_.Para.Bullet = st_.Para.Bullet || bulletText_;
  para_.Mark = st_.Char;
  paragraphs_.push_back(std::move(para_));
  para_ = TParagraph();
  bulletText_ = false;
}

void TRtfReader::FinishFont()
{
  if (!fontPending_) return;
  fontPending_ = false;
  fonts_[fontIndex_] = {fontName_.trimmed(), fontCodePage_};
  fontName_.clear();
}

void TRtfReader::FinishColor()
{
  TColorEntry e;
  e.Auto = !colorSet_;
  e.Color = QColor(red_, green_, blue_);
  colors_.push_back(e);
  red_ = green_ = blue_ = 0;
  colorSet_ = false;
}

QTextCharFormat TRtfReader::Format(const TCharProps& p) const
{
  QTextCharFormat f;
  auto font = fonts_.find(p.Font < 0 ? defaultFont_ : p.Font);
  if (font == fonts_.end()) font = fonts_.find(defaultFont_);
  if (font != fonts_.end() && !font->second.Name.isEmpty())
    f.setFontFamilies(QStringList{font->second.Name});
  if (p.HalfPoints > 0) f.setFontPointSize(p.HalfPoints / 2.0);
  f.setFontWeight(p.Bold ? QFont::Bold : QFont::Normal);
  f.setFontItalic(p.Italic);
  f.setFontUnderline(p.Underline);
  auto color = [this](int i) -> const TColorEntry* {
    if (i <= 0 || i >= static_cast<int>(colors_.size()) || colors_[i].Auto) return nullptr;
    return &colors_[i];
  };
  if (const TColorEntry* c = color(p.Color)) f.setForeground(c->Color);
  if (const TColorEntry* c = color(p.Highlight)) f.setBackground(c->Color);
  return f;
}

void TRtfReader::Build()
{
  doc_.clear();
  QTextCursor c(&doc_);
  QTextList* list = nullptr;
  bool first = true;
  for (const TParagraph& p : paragraphs_) {
    QTextBlockFormat bf;
    bf.setAlignment(p.Para.Align);
    const QTextCharFormat mark = Format(p.Mark);
    if (first) {
      c.setBlockFormat(bf);
      c.setBlockCharFormat(mark);
      first = false;
    } else {
      c.insertBlock(bf, mark);
    }
    if (p.Para.Bullet) {
      if (list)
        list->add(c.block());
      else
        list = c.createList(QTextListFormat::ListDisc);
    } else {
      list = nullptr;
    }
    for (const TRun& r : p.Runs)
      if (!r.Text.isEmpty()) c.insertText(r.Text, Format(r.Props));
  }
}

// Leading blanks and a byte-order mark are no part of the text.
std::size_t TextStart(std::string_view text)
{
  std::size_t i = 0;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") i = 3;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' ||
                             text[i] == '\n'))
    ++i;
  return i;
}

}  // namespace

bool LooksLikeRtf(std::string_view text)
{
  return text.substr(TextStart(text)).substr(0, 5) == "{\\rtf";
}

void ReadRtf(std::string_view rtf, QTextDocument& doc)
{
  if (!LooksLikeRtf(rtf)) {
    // Plain text: each line a paragraph, whatever ends it.
    QString text = QString::fromUtf8(rtf.data(), static_cast<qsizetype>(rtf.size()));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QChar('\r'), QChar('\n'));
    // Control characters are no text here either.
    text.removeIf([](QChar ch) { return ch.unicode() < 0x20 && ch != '\n' && ch != '\t'; });
    doc.setPlainText(text);
    return;
  }
  TRtfReader(rtf.substr(TextStart(rtf)), doc).Run();
}
