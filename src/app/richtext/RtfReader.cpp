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
#include <optional>
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
// Font and colour numbers are 16-bit in the format: tables beyond that
// many entries are no document's.
constexpr std::size_t MaxTableEntries = 32767;
// Font names are at most this long in word processors.
constexpr qsizetype MaxFontName = 255;
// The text document marks every item of a list whenever one is added, so a
// long run of bullets is made of lists of this many items; disc bullets
// look the same either way.
constexpr int MaxListItems = 32;
// A property of the character formats the reader makes: their font family
// once more, as a plain text.
constexpr int FamilyKeyProperty = QTextFormat::UserProperty + 0x5346;

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

  auto operator<=>(const TCharProps&) const = default;
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

// A run of the paragraph being read: where its text starts in the
// paragraph's text, and its formatting (an index into the formattings seen).
struct TSpan {
  qsizetype Start;
  int Props;
};

// The control words the reader acts on, each looked up once.
enum class TWord {
  Unknown, FontTable, ColorTable, BulletText, Numbering, Skipped, Ansi, Mac, Pc, Pca, AnsiCpg,
  DefaultFont, UnicodeSkip, Font, FontCharset, FontCodePage, Unicode, Red, Green, Blue,
  Paragraph, Special, ParagraphDefaults, AlignLeft, AlignCenter, AlignRight, AlignJustify,
  ListNumber, Plain, Bold, Italic, Underline, UnderlineNone, FontSize, Color, Highlight,
};

struct TWordInfo {
  TWord Kind = TWord::Unknown;
  char16_t Special = 0;  // the character of a TWord::Special
};

TWordInfo LookUpWord(std::string_view w)
{
  static const std::unordered_map<std::string_view, TWordInfo> table = [] {
    std::unordered_map<std::string_view, TWordInfo> t;
    // Destinations whose content is never text of the document.
    for (const char* n :
         {"stylesheet", "info", "pict", "object", "header", "headerl", "headerr", "headerf",
          "footer", "footerl", "footerr", "footerf", "footnote", "annotation", "fldinst", "xe",
          "tc", "txe", "rxe", "bkmkstart", "bkmkend", "listtable", "listoverridetable", "revtbl",
          "rsidtbl", "generator", "themedata", "colorschememapping", "latentstyles", "datastore",
          "xmlnstbl", "filetbl", "author", "operator", "title", "subject", "keywords", "comment",
          "doccomm", "company", "creatim", "revtim", "printim", "buptim", "userprops",
          "template", "docvar", "pnseclvl", "pntxta", "pntxtb", "falt", "panose", "fname",
          "nonshppict", "shpinst", "shppict", "atnid", "atnauthor", "ftnsep", "ftnsepc", "ftncn",
          "aftnsep", "aftnsepc", "aftncn", "mmathPr", "pgdsctbl", "hyphen", "background",
          "objdata", "result", "category", "manager", "hlinkbase", "wgrffmtfilter",
          "passwordhash"})
      t[n] = {TWord::Skipped};
    for (const char* n : {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave",
                          "ulldash", "ulth", "ulthd", "ulthdash", "ulthdashd", "ulthdashdd",
                          "ulthldash", "ululdbwave", "ulw", "ulwave"})
      t[n] = {TWord::Underline};
    // Special characters named by a control word.
    const std::pair<const char*, char16_t> specials[] = {
        {"emdash", 0x2014},  {"endash", 0x2013},    {"bullet", 0x2022},    {"lquote", 0x2018},
        {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003},
        {"enspace", 0x2002}, {"qmspace", 0x2005},   {"zwj", 0x200D},       {"zwnj", 0x200C},
        {"ltrmark", 0x200E}, {"rtlmark", 0x200F},   {"tab", u'\t'},        {"cell", u'\t'},
        {"nestcell", u'\t'}, {"line", 0x2028}};
    for (const auto& [n, c] : specials) t[n] = {TWord::Special, c};
    const std::pair<const char*, TWord> words[] = {
        {"fonttbl", TWord::FontTable},  {"colortbl", TWord::ColorTable},
        {"pntext", TWord::BulletText},  {"listtext", TWord::BulletText},
        {"pn", TWord::Numbering},       {"ansi", TWord::Ansi},
        {"mac", TWord::Mac},            {"pc", TWord::Pc},
        {"pca", TWord::Pca},            {"ansicpg", TWord::AnsiCpg},
        {"deff", TWord::DefaultFont},   {"uc", TWord::UnicodeSkip},
        {"f", TWord::Font},             {"fcharset", TWord::FontCharset},
        {"cpg", TWord::FontCodePage},   {"u", TWord::Unicode},
        {"red", TWord::Red},            {"green", TWord::Green},
        {"blue", TWord::Blue},          {"par", TWord::Paragraph},
        {"sect", TWord::Paragraph},     {"row", TWord::Paragraph},
        {"page", TWord::Paragraph},     {"nestrow", TWord::Paragraph},
        {"pard", TWord::ParagraphDefaults}, {"ql", TWord::AlignLeft},
        {"qc", TWord::AlignCenter},     {"qr", TWord::AlignRight},
        {"qj", TWord::AlignJustify},    {"qd", TWord::AlignJustify},
        {"ls", TWord::ListNumber},      {"plain", TWord::Plain},
        {"b", TWord::Bold},             {"i", TWord::Italic},
        {"ulnone", TWord::UnderlineNone}, {"fs", TWord::FontSize},
        {"cf", TWord::Color},           {"highlight", TWord::Highlight},
        {"cb", TWord::Highlight},       {"chcbpat", TWord::Highlight}};
    for (const auto& [n, k] : words) t[n] = {k};
    return t;
  }();
  const auto it = table.find(w);
  return it == table.end() ? TWordInfo() : it->second;
}

int ColorNumber(int param)
{
  return param > 0 && static_cast<std::size_t>(param) < MaxTableEntries ? param : 0;
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
  void Emit(QStringView s);
  void Append(QChar ch);
  void DropLoneSurrogate();
  void EndParagraph();
  void FinishFont();
  void FinishColor();

  // ---- the document, built paragraph by paragraph in one edit
  int PropsIndex(const TCharProps& p);
  const QTextCharFormat& Format(int props);
  QTextCharFormat MakeFormat(const TCharProps& p) const;
  void InsertParagraph(const TParaProps& para, const TCharProps& mark);

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

  bool bulletText_ = false;  // this paragraph has a drawn bullet
  QString paraText_;          // the text of the paragraph being read
  std::vector<TSpan> spans_;  // its runs

  // Every formatting seen, once, and its text format (made when first
  // needed, again after a table changed).
  std::map<TCharProps, int> propsIndex_;
  std::vector<TCharProps> props_;
  std::vector<std::optional<QTextCharFormat>> formats_;
  TCharProps lastProps_;
  int lastIndex_ = -1;

  QTextCursor cursor_;
  bool firstBlock_ = true;
  QTextList* list_ = nullptr;  // the list the previous paragraph is in
  int listItems_ = 0;
};

void TRtfReader::Run()
{
  // The document is built in one edit: laid out once, when it is complete,
  // and with nothing to undo.
  const bool undo = doc_.isUndoRedoEnabled();
  doc_.setUndoRedoEnabled(false);
  doc_.clear();
  cursor_ = QTextCursor(&doc_);
  cursor_.beginEditBlock();
  while (!AtEnd()) {
    const unsigned char c = Peek();
    if (st_.Dest == TDest::Skip && c != '{' && c != '}' && c != '\\') {
      // Skipped content (pictures, objects) up to its next brace or control.
      const std::size_t next = in_.find_first_of("{}\\", pos_);
      pos_ = next == std::string_view::npos ? in_.size() : next;
      skip_ = 0;
    } else if (c == '{') {
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
  if (!spans_.empty()) EndParagraph();
  cursor_.endEditBlock();
  doc_.setUndoRedoEnabled(undo);
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
      Unit(c);
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
  const TWordInfo word = LookUpWord(w);

  // Destinations, and document-wide settings wherever they stand.
  switch (word.Kind) {
    case TWord::FontTable: st_.Dest = TDest::FontTable; fontPending_ = false; return;
    case TWord::ColorTable: st_.Dest = TDest::ColorTable; colorSet_ = false; return;
    case TWord::BulletText:
      st_.Dest = TDest::BulletText;
      bulletText_ = true;
      return;
    case TWord::Numbering:
      // The numbering of the enclosing paragraph: kept after this group.
      if (!stack_.empty() && stack_.back().Dest == TDest::Text) stack_.back().Para.Bullet = true;
      st_.Dest = TDest::Numbering;
      return;
    case TWord::Skipped: st_.Dest = TDest::Skip; return;
    case TWord::Ansi: ansiCodePage_ = 1252; return;
    case TWord::Mac: ansiCodePage_ = 10000; return;
    case TWord::Pc: ansiCodePage_ = 437; return;
    case TWord::Pca: ansiCodePage_ = 850; return;
    case TWord::AnsiCpg: if (param > 0) ansiCodePage_ = param; return;
    case TWord::DefaultFont: defaultFont_ = param; formats_.clear(); return;
    case TWord::UnicodeSkip: st_.UnicodeSkip = std::clamp(param, 0, MaxUnicodeSkip); return;
    default: break;
  }

  switch (st_.Dest) {
    case TDest::FontTable:
      if (word.Kind == TWord::Font) {
        if (fontPending_ && !fontName_.trimmed().isEmpty()) FinishFont();
        fontIndex_ = param;
        fontCodePage_ = 0;
        fontName_.clear();
        fontPending_ = true;
      } else if (word.Kind == TWord::FontCharset) {
        fontCodePage_ = CodePageOfCharset(param);
      } else if (word.Kind == TWord::FontCodePage) {
        fontCodePage_ = param;
      } else if (word.Kind == TWord::Unicode) {
        Unit(static_cast<char16_t>(param < 0 ? param + 65536 : param));
        skip_ = st_.UnicodeSkip;
      } else if (ignorable) {
        st_.Dest = TDest::Skip;
      }
      return;
    case TDest::ColorTable:
      if (word.Kind == TWord::Red) red_ = std::clamp(param, 0, 255), colorSet_ = true;
      else if (word.Kind == TWord::Green) green_ = std::clamp(param, 0, 255), colorSet_ = true;
      else if (word.Kind == TWord::Blue) blue_ = std::clamp(param, 0, 255), colorSet_ = true;
      else if (ignorable) st_.Dest = TDest::Skip;
      return;
    case TDest::Text: break;
    default: return;  // skipped content
  }

  switch (word.Kind) {
    case TWord::Paragraph: EndParagraph(); break;
    case TWord::Special: Unit(word.Special); break;
    case TWord::Unicode:
      if (param >= -32768 && param <= 65535)
        Unit(static_cast<char16_t>(param < 0 ? param + 65536 : param));
      else
        Unit(0xFFFD);
      skip_ = st_.UnicodeSkip;
      break;
    case TWord::ParagraphDefaults: st_.Para = TParaProps(); break;
    case TWord::AlignLeft: st_.Para.Align = Qt::AlignLeft; break;
    case TWord::AlignCenter: st_.Para.Align = Qt::AlignHCenter; break;
    case TWord::AlignRight: st_.Para.Align = Qt::AlignRight; break;
    case TWord::AlignJustify: st_.Para.Align = Qt::AlignJustify; break;
    case TWord::ListNumber: st_.Para.Bullet = param > 0; break;
    case TWord::Plain: st_.Char = TCharProps(); break;
    case TWord::Bold: st_.Char.Bold = on; break;
    case TWord::Italic: st_.Char.Italic = on; break;
    case TWord::Underline: st_.Char.Underline = on; break;
    case TWord::UnderlineNone: st_.Char.Underline = false; break;
    case TWord::Font: st_.Char.Font = param; break;
    case TWord::FontSize:
      st_.Char.HalfPoints = hasParam && param > 0 ? std::min(param, MaxHalfPoints) : 0;
      break;
    // Numbers beyond any colour table are automatic from the start, so that
    // they make no formattings of their own.
    case TWord::Color: st_.Char.Color = ColorNumber(param); break;
    case TWord::Highlight: st_.Char.Highlight = ColorNumber(param); break;
    default:
      if (ignorable) st_.Dest = TDest::Skip;  // an unknown destination marked as ignorable
      break;
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
      Unit(0xFFFD);
      return;
    }
    const QChar pair[2] = {QChar(high_), QChar(u)};
    high_ = 0;
    Emit(QStringView(pair, 2));
    return;
  }
  const QChar one(u);
  Emit(QStringView(&one, 1));
}

void TRtfReader::DropLoneSurrogate()
{
  if (!high_) return;
  high_ = 0;
  Append(QChar(0xFFFD));
}

void TRtfReader::Emit(QStringView s)
{
  DropLoneSurrogate();
  // Control characters are no text, and the text document keeps its own
  // marks for paragraphs and frames: none of them may come from the input.
  for (QChar ch : s) {
    const char16_t u = ch.unicode();
    if ((u < 0x20 && u != u'\t') || u == 0xFFFC || u == 0xFDD0 || u == 0xFDD1) continue;
    Append(u == 0x2029 ? QChar(0x2028) : ch);
  }
}

void TRtfReader::Append(QChar ch)
{
  switch (st_.Dest) {
    case TDest::Text: {
      const int props = PropsIndex(st_.Char);
      if (spans_.empty() || spans_.back().Props != props) spans_.push_back({paraText_.size(), props});
      paraText_ += ch;
      break;
    }
    case TDest::FontTable:
      // A tab is no part of a name (nor could the writer keep it in one).
      if (fontName_.size() < MaxFontName && ch != u'\t') fontName_ += ch;
      break;
    default: break;
  }
}

void TRtfReader::EndParagraph()
{
  DropLoneSurrogate();
  TParaProps para = st_.Para;
  para.Bullet = st_.Para.Bullet || bulletText_;
  InsertParagraph(para, st_.Char);
  paraText_.resize(0);  // keeps its capacity for the next
  spans_.clear();
  bulletText_ = false;
}

void TRtfReader::FinishFont()
{
  if (!fontPending_) return;
  fontPending_ = false;
  if (fonts_.size() < MaxTableEntries || fonts_.count(fontIndex_))
    fonts_[fontIndex_] = {fontName_.trimmed(), fontCodePage_};
  fontName_.clear();
  formats_.clear();
}

void TRtfReader::FinishColor()
{
  TColorEntry e;
  e.Auto = !colorSet_;
  e.Color = QColor(red_, green_, blue_);
  if (colors_.size() < MaxTableEntries) colors_.push_back(e);
  red_ = green_ = blue_ = 0;
  colorSet_ = false;
  formats_.clear();
}

int TRtfReader::PropsIndex(const TCharProps& p)
{
  if (lastIndex_ >= 0 && p == lastProps_) return lastIndex_;
  auto [it, added] = propsIndex_.try_emplace(p, static_cast<int>(props_.size()));
  if (added) props_.push_back(p);
  lastProps_ = p;
  lastIndex_ = it->second;
  return lastIndex_;
}

const QTextCharFormat& TRtfReader::Format(int props)
{
  if (formats_.size() < props_.size()) formats_.resize(props_.size());
  std::optional<QTextCharFormat>& f = formats_[static_cast<std::size_t>(props)];
  if (!f) f = MakeFormat(props_[static_cast<std::size_t>(props)]);
  return *f;
}

QTextCharFormat TRtfReader::MakeFormat(const TCharProps& p) const
{
  QTextCharFormat f;
  auto font = fonts_.find(p.Font < 0 ? defaultFont_ : p.Font);
  if (font == fonts_.end()) font = fonts_.find(defaultFont_);
  if (font != fonts_.end() && !font->second.Name.isEmpty()) {
    f.setFontFamilies(QStringList{font->second.Name});
    // The text document finds formats by a hash that does not look into
    // the families: without a property it does see, every font would share
    // one bucket and a table of many fonts cost its square.
    f.setProperty(FamilyKeyProperty, font->second.Name);
  }
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

void TRtfReader::InsertParagraph(const TParaProps& para, const TCharProps& mark)
{
  QTextBlockFormat bf;
  bf.setAlignment(para.Align);
  const QTextCharFormat& markFormat = Format(PropsIndex(mark));
  if (firstBlock_) {
    cursor_.setBlockFormat(bf);
    cursor_.setBlockCharFormat(markFormat);
    firstBlock_ = false;
  } else {
    cursor_.insertBlock(bf, markFormat);
  }
  if (para.Bullet) {
    if (list_ && listItems_ < MaxListItems) {
      list_->add(cursor_.block());
      ++listItems_;
    } else {
      list_ = cursor_.createList(QTextListFormat::ListDisc);
      listItems_ = 1;
    }
  } else {
    list_ = nullptr;
  }
  for (std::size_t i = 0; i < spans_.size(); ++i) {
    const qsizetype end = i + 1 < spans_.size() ? spans_[i + 1].Start : paraText_.size();
    cursor_.insertText(paraText_.mid(spans_[i].Start, end - spans_[i].Start),
                       Format(spans_[i].Props));
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
