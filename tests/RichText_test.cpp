// Rich text in and out: the writer's documents read back with their
// formatting, documents of other programs read as they look there, code
// pages, and damaged input survived.
#include "RtfMutator.h"

#include "app/richtext/DescriptionLines.h"
#include "app/richtext/RichTextListing.h"
#include "app/richtext/RtfReader.h"
#include "app/richtext/RtfWriter.h"
#include "document/SimulationDocument.h"  // ReadTextLines

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {

void EnsureApplication()
{
  if (QGuiApplication::instance()) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "RichText_test";
  static char* argv[] = {name, nullptr};
  new QGuiApplication(argc, argv);
}

class RichText : public ::testing::Test {
protected:
  void SetUp() override
  {
    EnsureApplication();
    doc_.setDefaultFont(QFont("Arial", 10));
  }
  // The runs of `rtf` read into a field whose own font is Arial 10.
  std::string Runs(std::string_view rtf)
  {
    QTextDocument d;
    d.setDefaultFont(QFont("Arial", 10));
    ReadRtf(rtf, d);
    return RichTextRuns(d);
  }
  std::string Fixture(const char* name)
  {
    std::vector<std::string> lines;
    EXPECT_TRUE(ReadTextLines(std::string(SOLLUMEN_TEST_DATA "/rtf/") + name, lines));
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    return text;
  }
  QTextDocument doc_;
};

QTextCharFormat Char(const char* family, qreal points, bool bold = false, bool italic = false,
                     bool underline = false)
{
  QTextCharFormat f;
  f.setFontFamilies({family});
  f.setFontPointSize(points);
  f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
  f.setFontItalic(italic);
  f.setFontUnderline(underline);
  return f;
}

// A description with everything the window can set.
void Compose(QTextDocument& doc)
{
  QTextCursor c(&doc);
  QTextBlockFormat centre;
  centre.setAlignment(Qt::AlignHCenter);
  c.setBlockFormat(centre);
  c.insertText("Title {with} \\braces\\", Char("Times New Roman", 16, true));
  QTextBlockFormat left;
  left.setAlignment(Qt::AlignLeft);
  c.insertBlock(left);
  c.insertText("plain, ", Char("Arial", 10));
  c.insertText("italic", Char("Arial", 10, false, true));
  c.insertText(" and ", Char("Arial", 10));
  QTextCharFormat red = Char("Courier New", 10.5, false, false, true);
  red.setForeground(QColor(0xFF, 0, 0));
  red.setBackground(QColor(0xFF, 0xFF, 0));
  c.insertText("underlined red", red);
  c.insertBlock(left);
  c.createList(QTextListFormat::ListDisc);
  c.insertText("Caf\u00e9 \u20ac 5\u00b0\ttab", Char("Arial", 10));
  c.insertBlock();
  c.insertText(QString::fromUtf8("\u0393\u03b1\u03bb\u03b1\u03be\u03af\u03b1 \U0001F30D") +
                   QChar(QChar::LineSeparator) + "second line",
               Char("Arial", 10));
  QTextBlockFormat right;
  right.setAlignment(Qt::AlignRight);
  c.insertBlock(right);
  c.insertText("right", Char("Arial", 12));
  QTextBlockFormat justify;
  justify.setAlignment(Qt::AlignJustify);
  c.insertBlock(justify);
  c.insertBlock(justify);
  c.insertText("justified", Char("Arial", 10));
}

TEST_F(RichText, WrittenDescriptionReadsBackWithItsFormatting)
{
  Compose(doc_);
  const std::string rtf = WriteRtf(doc_);
  // Plain RTF 1.x: 7-bit, with the usual header, bullets other programs draw.
  for (char ch : rtf) ASSERT_LT(static_cast<unsigned char>(ch), 0x80u);
  EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1252\\deff0", 0), 0u);
  EXPECT_NE(rtf.find("{\\pntext\\f"), std::string::npos);
  EXPECT_NE(rtf.find("\\u-10180?\\u-8435?"), std::string::npos);  // U+1F30D in two halves
  EXPECT_NE(rtf.find("Caf\\'e9 \\'80 5\\'b0\\tab tab"), std::string::npos);

  QTextDocument back;
  back.setDefaultFont(QFont("Arial", 10));
  ShowDescriptionLines(DescriptionLines(doc_), back);
  EXPECT_EQ(RichTextRuns(back), RichTextRuns(doc_));
  EXPECT_EQ(back.toPlainText(), doc_.toPlainText());
  EXPECT_EQ(RichTextRuns(back),
            "PARA align=center bullet=0\n"
            "RUN bold=1 italic=0 underline=0 font=Times New Roman size=16 color=#000000\t"
            "Title {with} \\braces\\\n"
            "PARA align=left bullet=0\n"
            "RUN bold=0 italic=0 underline=0 font=Arial size=10 color=#000000\tplain, \n"
            "RUN bold=0 italic=1 underline=0 font=Arial size=10 color=#000000\titalic\n"
            "RUN bold=0 italic=0 underline=0 font=Arial size=10 color=#000000\t and \n"
            "RUN bold=0 italic=0 underline=1 font=Courier New size=10.5 color=#FF0000\t"
            "underlined red\n"
            "PARA align=left bullet=1\n"
            "RUN bold=0 italic=0 underline=0 font=Arial size=10 color=#000000\t"
            "Caf\u00e9 \u20ac 5\u00b0\ttab\n"
            "PARA align=left bullet=1\n"
            "RUN bold=0 italic=0 underline=0 font=Arial size=10 color=#000000\t"
            "\u0393\u03b1\u03bb\u03b1\u03be\u03af\u03b1 \U0001F30D\u2028second line\n"
            "PARA align=right bullet=0\n"
            "RUN bold=0 italic=0 underline=0 font=Arial size=12 color=#000000\tright\n"
            "PARA align=justify bullet=0\n"
            "PARA align=justify bullet=0\n"
            "RUN bold=0 italic=0 underline=0 font=Arial size=10 color=#000000\tjustified\n");
  // The highlight travels too, though the listing does not show it.
  const QTextBlock second = back.begin().next();
  auto it = second.begin();
  for (int i = 0; i < 3; ++i) ++it;
  EXPECT_EQ(it.fragment().charFormat().background().color(), QColor(0xFF, 0xFF, 0));
  // Both bullet paragraphs are one list.
  EXPECT_EQ(second.next().textList(), second.next().next().textList());
}

TEST_F(RichText, EmptyFieldIsADocumentWithoutText)
{
  const std::vector<std::string> lines = DescriptionLines(doc_);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front().rfind("{\\rtf1", 0), 0u);
  EXPECT_EQ(lines.back(), "}");
  QTextDocument back;
  back.setPlainText("old text");
  ShowDescriptionLines(lines, back);
  EXPECT_TRUE(back.isEmpty());
  EXPECT_EQ(PlainTextLines(back), "");
  EXPECT_EQ(RichTextRuns(back), "");
  // No lines at all: empty too.
  ShowDescriptionLines({}, back);
  EXPECT_TRUE(back.isEmpty());
}

TEST_F(RichText, RichEditDocumentReadsAsItLooksThere)
{
  EXPECT_EQ(Runs(Fixture("richedit.rtf")),
            "PARA align=center bullet=0\n"
            "RUN bold=1 italic=0 underline=0 font=Arial size=14 color=#000000\t"
            "Jupiter und seine Monde\n"
            "PARA align=left bullet=0\n"
            "RUN bold=0 italic=0 underline=0 font=Arial size=10 color=#000000\tThe four \n"
            "RUN bold=0 italic=1 underline=0 font=Arial size=10 color=#000000\tGalilean\n"
            "RUN bold=0 italic=0 underline=0 font=Arial size=10 color=#000000\t"
            " moons:\tIo, Europa\n"
            "PARA align=left bullet=1\n"
            "RUN bold=0 italic=0 underline=0 font=Arial size=10 color=#000000\tIo\n"
            "PARA align=left bullet=1\n"
            "RUN bold=0 italic=0 underline=0 font=Arial size=10 color=#FF0000\tEuropa\n"
            "PARA align=right bullet=0\n"
            "RUN bold=0 italic=0 underline=0 font=Times New Roman size=12 color=#000000\t"
            "Gr\u00fc\u00dfe \u20ac\u2028next\n"
            "PARA align=left bullet=0\n");
}

TEST_F(RichText, WordProcessorDocumentReadsAsItLooksThere)
{
  EXPECT_EQ(Runs(Fixture("writer.rtf")),
            "PARA align=justify bullet=0\n"
            "RUN bold=0 italic=0 underline=0 font=Liberation Sans size=12 color=#000000\t"
            "The Moon\u2019s orbit is tilted by about 5\u00b0.\n"
            "PARA align=left bullet=1\n"
            "RUN bold=1 italic=0 underline=0 font=Liberation Sans size=12 color=#000000\t"
            "First item\n"
            "PARA align=left bullet=1\n"
            "RUN bold=0 italic=0 underline=0 font=Liberation Sans size=12 color=#008000\t"
            "Second item\n"
            "PARA align=center bullet=0\n"
            "RUN bold=0 italic=0 underline=1 font=Liberation Serif size=16 color=#000000\t"
            "\u041b\u0443\u043d\u0430 \n"
            "RUN bold=0 italic=0 underline=0 font=Liberation Serif size=16 color=#000000\t"
            "end link\n");
}

TEST_F(RichText, CodePagesAndUnicode)
{
  // The document's code page, a font's character set (Shift-JIS, with the
  // second byte of a pair as a plain character) and \uN with its \ucN
  // replacement skipped; a surrogate pair, and a lone half replaced.
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fnil Arial;}"
      "{\\f1\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}}"
      "\\pard\\f0 \\'cf\\'eb\\'e0\\'ed\\'e5\\'f2\\'e0\\par"
      "\\f1 \\'83e\\'83X\\'83g\\uc2\\u26376\\'8c\\'8e!\\par"
      "\\f0\\uc1\\u-10179?\\u-8694? \\u-10179?x\\u56000?\\par}";
  EXPECT_EQ(Runs(rtf),
            "PARA align=left bullet=0\n"
            "RUN bold=0 italic=0 underline=0 font=Arial size=10 color=#000000\t"
            "\u041f\u043b\u0430\u043d\u0435\u0442\u0430\n"
            "PARA align=left bullet=0\n"
            "RUN bold=0 italic=0 underline=0 font=\uff2d\uff33 \u660e\u671d size=10 "
            "color=#000000\t\u30c6\u30b9\u30c8\u6708!\n"
            "PARA align=left bullet=0\n"
            "RUN bold=0 italic=0 underline=0 font=Arial size=10 color=#000000\t"
            "\U0001F60A \ufffdx\ufffd\n");
}

TEST_F(RichText, DamagedOrForeignTextShowsWhatCanBeRecovered)
{
  auto text = [](std::string_view in) {
    QTextDocument d;
    ReadRtf(in, d);
    return d.toPlainText().toStdString();
  };
  // Not rich text at all: shown as it is, one paragraph per line.
  EXPECT_EQ(text("Just a note\r\nabout {Mars}\r\n"), "Just a note\nabout {Mars}\n");
  // Cut short, unbalanced, a brace too many, or text after the end.
  EXPECT_EQ(text("{\\rtf1 Hello {\\b bold"), "Hello bold");
  EXPECT_EQ(text("{\\rtf1 one\\par two}} three"), "one\ntwo");
  EXPECT_EQ(text("{\\rtf1 A\\'4"), "A");
  EXPECT_EQ(text("{\\rtf1 A\\"), "A");
  // Absurd numbers are clamped and cost nothing.
  EXPECT_EQ(text("{\\rtf1\\fs99999999999999 big\\uc99999999 \\u99999999 "
                 "abcdefghijklmnopqrstuvwxyz\\f-7 !\\bin99999999999999 lost"),
            "big\ufffdqrstuvwxyz!");
  // Nesting far beyond any real document, and binary garbage.
  std::string deep = "{\\rtf1 a";
  for (int i = 0; i < 200000; ++i) deep += "{\\b ";
  deep += "b";
  for (int i = 0; i < 200000; ++i) deep += "}";
  deep += " c}";
  EXPECT_EQ(text(deep), "ab c");
  std::string garbage = "{\\rtf1 ok ";
  for (int i = 0; i < 256; ++i) garbage += static_cast<char>(i);
  QTextDocument d;
  ReadRtf(garbage, d);  // survives; what shows is the text up to the first brace
  EXPECT_EQ(d.toPlainText().left(3).toStdString(), "ok ");
}

// Random damage to real documents, from a fixed seed: every variant is read
// without a crash and in bounded time (the test itself ends), and whatever
// was recovered is written and read again unchanged.
TEST_F(RichText, MutatedDocumentsNeverCrashOrHang)
{
  Compose(doc_);
  const std::vector<std::string> seeds = {WriteRtf(doc_), Fixture("richedit.rtf"),
                                          Fixture("writer.rtf")};
  std::mt19937 random(20240518);
  const std::string tokens[] = {"{", "}", "\\", "\\'", "\\u", "\\uc", "\\bin", "\\*",
                                "\\pn", "\\fonttbl", "\\f", "-", "9999999999", ";", "\\'8"};
  int read = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string s = seeds[round % seeds.size()];
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int e = 0; e < edits && !s.empty(); ++e) {
      const std::size_t at = random() % s.size();
      switch (random() % 5) {
        case 0: s.erase(at, 1 + random() % 40); break;
        case 1: s.insert(at, tokens[random() % std::size(tokens)]); break;
        case 2: s[at] = static_cast<char>(random() % 256); break;
        case 3: s.insert(at, s.substr(random() % s.size(), random() % 200)); break;
        default: s.resize(at); break;
      }
    }
    QTextDocument d, again;
    ReadRtf(s, d);
    ReadRtf(WriteRtf(d), again);
    ASSERT_EQ(RichTextRuns(again), RichTextRuns(d)) << s;
    ++read;
  }
  EXPECT_EQ(read, 3000);
}

// The shapes that grow a text document fastest for their size read in full
// at the sizes that once took minutes, and keep their formatting.
TEST_F(RichText, GrowthShapesReadInFull)
{
  auto countLines = [](const std::string& listing, const std::string& start) {
    std::size_t n = 0;
    for (std::size_t at = listing.find(start); at != std::string::npos;
         at = listing.find(start, at + 1))
      if (at == 0 || listing[at - 1] == '\n') ++n;
    return n;
  };
  QTextDocument d;
  ReadRtf(hostile::RunsInOneParagraph(40000), d);
  std::string runs = RichTextRuns(d);
  EXPECT_EQ(countLines(runs, "PARA"), 1u);
  EXPECT_EQ(countLines(runs, "RUN bold=1"), 20000u);
  EXPECT_EQ(countLines(runs, "RUN bold=0"), 20000u);

  ReadRtf(hostile::BulletedParagraphs(32000), d);
  EXPECT_EQ(countLines(RichTextRuns(d), "PARA align=left bullet=1"), 32000u);
  EXPECT_EQ(d.blockCount(), 32000);

  ReadRtf(hostile::ColoursUsedOnce(16000), d);
  std::set<QRgb> colours;
  for (auto it = d.begin().begin(); !it.atEnd(); ++it)
    colours.insert(it.fragment().charFormat().foreground().color().rgb());
  EXPECT_EQ(colours.size(), 16000u);
  // Written, every colour is in the table once.
  const std::string written = WriteRtf(d);
  EXPECT_EQ(written.find("\\red15\\green62\\blue7;"),
            written.rfind("\\red15\\green62\\blue7;"));

  ReadRtf(hostile::FontsUsedOnce(16000), d);
  std::set<QString> fonts;
  for (auto it = d.begin().begin(); !it.atEnd(); ++it)
    fonts.insert(it.fragment().charFormat().fontFamilies().toStringList().value(0));
  EXPECT_EQ(fonts.size(), 16000u);
  EXPECT_TRUE(fonts.count("Font15999"));

  // Megabytes of pictures and binary data are passed over.
  ReadRtf(hostile::PicturesAndBinary(200, 20000, 20000), d);
  EXPECT_EQ(d.toPlainText().toStdString(), "p" + QString("\np").repeated(199).toStdString());
}

// Random damage to the growth shapes, from a fixed seed: every mutant is
// read without a fault, its document holds no more characters and pieces
// than the input had bytes, and what was recovered is written and read
// again unchanged.
TEST_F(RichText, MutatedGrowthShapesStayWithinTheirInput)
{
  const std::vector<std::string> seeds = rtfmut::GrowthSeeds();
  rtfmut::TRandom random(20261209);
  int read = 0;
  for (int round = 0; round < 1400; ++round) {
    const std::string s = rtfmut::Mutant(seeds[round % seeds.size()], random);
    QTextDocument d, again;
    ReadRtf(s, d);
    ASSERT_LE(d.characterCount(), static_cast<int>(s.size()) + 1) << s;
    std::size_t pieces = 0;
    for (QTextBlock b = d.begin(); b.isValid(); b = b.next())
      for (auto it = b.begin(); !it.atEnd(); ++it) ++pieces;
    ASSERT_LE(pieces, s.size()) << s;
    ReadRtf(WriteRtf(d), again);
    ASSERT_EQ(RichTextRuns(again), RichTextRuns(d)) << s;
    ++read;
  }
  EXPECT_EQ(read, 1400);
}

}  // namespace
