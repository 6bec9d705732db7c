// Printing and image export: the page geometry and the text lines, the
// naming rules of exported files, PNG files read back through libpng, BMP
// files, a printed page rasterised by pdftoppm, and failed exports that
// leave the old file alone.
#include "app/mainwindow/SSystemsForm.h"
#include "app/output/OutputTexts.h"
#include "app/output/PngUnit.h"
#include "app/output/PrintDlgs.h"
#include "app/output/SaveAsBitmapDlgs.h"
#include "document/SettingsFile.h"
#include "ScriptedPrompts.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QPageSize>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QCheckBox>

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void EnsureApplication()
{
  if (QApplication::instance()) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "Output_test";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

std::vector<char> Bytes(const fs::path& p)
{
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A PNG file as libpng reads it back.
struct TPngRead {
  bool Ok = false;
  png_uint_32 Width = 0, Height = 0;
  int BitDepth = 0, ColorType = 0, Interlace = 0;
  std::vector<std::pair<std::string, std::string>> TextBeforeImage;  // key, text
  std::vector<std::vector<unsigned char>> Rows;                    // as stored, first first
  std::vector<png_bytep> Pointers;
};

// libpng jumps back here on errors: nothing in this frame has a destructor.
bool ReadPngFrom(std::FILE* f, TPngRead& r)
{
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_init_io(png, f);
  png_read_info(png, info);  // everything up to the first image data
  png_get_IHDR(png, info, &r.Width, &r.Height, &r.BitDepth, &r.ColorType, &r.Interlace, nullptr,
               nullptr);
  png_textp text = nullptr;
  const int count = png_get_text(png, info, &text, nullptr);
  for (int i = 0; i < count; ++i)
    r.TextBeforeImage.emplace_back(text[i].key, std::string(text[i].text, text[i].text_length));
  r.Rows.assign(r.Height, std::vector<unsigned char>(png_get_rowbytes(png, info)));
  for (auto& row : r.Rows) r.Pointers.push_back(row.data());
  png_read_image(png, r.Pointers.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

TPngRead ReadPng(const fs::path& path)
{
  TPngRead r;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    r.Ok = ReadPngFrom(f, r);
    std::fclose(f);
  }
  return r;
}

// Pixels near this colour (smoothed text) in a rectangle of the image.
int CountColor(const QImage& image, const QRect& rect, QRgb color)
{
  int n = 0;
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    for (int x = rect.left(); x <= rect.right(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (std::abs(qRed(p) - qRed(color)) < 80 && std::abs(qGreen(p) - qGreen(color)) < 80 &&
          std::abs(qBlue(p) - qBlue(color)) < 80)
        ++n;
    }
  return n;
}

TDateRec J2000()
{
  TDateRec r;
  r.Year = 2000;
  r.Month = 1;
  r.Day = 1;
  r.Hour = 12;
  return r;
}

// ------------------------------------------------------------ free functions

TEST(OutputTexts, PageGeometryOfTheExamplePages)
{
  const TPageGeometry a4 = PrintPageGeometry(4960, 7016);
  EXPECT_EQ(a4.Size, 3968);
  EXPECT_EQ(a4.Left, 496);
  EXPECT_EQ(a4.Top, 397);
  EXPECT_EQ(a4.SizeMode, 2);
  EXPECT_EQ(a4.TextX, 655);
  EXPECT_EQ(a4.TextY, 516);

  const TPageGeometry small = PrintPageGeometry(2400, 3300);
  EXPECT_EQ(small.Size, 1920);
  EXPECT_EQ(small.SizeMode, 1);
  EXPECT_EQ(PrintPageGeometry(3300, 2400).Size, 1920);  // landscape: the height counts
  EXPECT_EQ(PrintPageGeometry(4000, 4000).SizeMode, 1);  // S = 3200 exactly
  // Halves go to the even neighbour: 0.125 x 1916 = 239.5.
  EXPECT_EQ(PrintPageGeometry(2395, 3424).Left, 240);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
}

TEST(OutputTexts, LinesAndColours)
{
  EXPECT_EQ(InstantLine(J2000()), "2000/01/01 - 12:00UT (JD 2451545.000)");
  EXPECT_EQ(ViewLine(0, "Sun"), "X-Y-plane, centered to Sun");
  EXPECT_EQ(ViewLine(2, "Jupiter"), "Z-Y-plane, centered to Jupiter");
  EXPECT_EQ(ViewLine(3, "Earth"), "3D-plot, centered to Earth");

  // Screen colours: the complement of the scene's background.
  EXPECT_EQ(CaptionColor(0x000000, 2), 0xFFFFFFu);
  EXPECT_EQ(CaptionColor(0xFFFFFF, 2), 0x000000u);
  EXPECT_EQ(CaptionColor(0x102030, 2), 0xEFDFCFu);
  // The print schemes: black on white, white on black, colour on white.
  EXPECT_EQ(CaptionColor(0x000000, 0), 0x000000u);
  EXPECT_EQ(CaptionColor(0xFFFFFF, 1), 0xFFFFFFu);
  EXPECT_EQ(CaptionColor(0x000000, 3), 0x000000u);
}

TEST(OutputTexts, ExportNamesAndExtensions)
{
  EXPECT_EQ(ProposeExportFileName("/docs/mars.orb", "/pics/"), "/pics/mars.png");
  EXPECT_EQ(ProposeExportFileName("/docs/mars.orb", "/pics"), "/pics/mars.png");
  // "last.orb" (the window keeps its full path) and no document propose
  // only the directory, which the field shows as "default.png".
  EXPECT_EQ(ProposeExportFileName("/prog/last.orb", "/pics/"), "/pics/");
  EXPECT_EQ(ProposeExportFileName("", "/pics/"), "/pics/");
  EXPECT_EQ(ExportFieldText("/pics/"), "default.png");
  EXPECT_EQ(ExportFieldText("/pics/ "), "default.png");
  EXPECT_EQ(ExportFieldText("/pics/mars.png"), "/pics/mars.png");

  EXPECT_EQ(CompleteExportFileName("picture", "/pics/"), "/pics/picture.png");
  EXPECT_EQ(CompleteExportFileName("c:/x/picture.BMP", "/pics/"), "c:/x/picture.BMP");
  EXPECT_TRUE(IsBmpFileName("c:/x/picture.BMP"));
  EXPECT_EQ(CompleteExportFileName("/a/picture.Png", "/pics/"), "/a/picture.Png");
  EXPECT_FALSE(IsBmpFileName("/a/picture.Png"));
  EXPECT_EQ(CompleteExportFileName("/a/picture.jpg", "/pics/"), "/a/picture.jpg.png");
  EXPECT_EQ(CompleteExportFileName("/a.b/picture", "/pics/"), "/a.b/picture.png");
}

TEST(SaveAsBitmapDialog, NameFieldSizeAndOkButton)
{
  EnsureApplication();
  TScriptedPrompts prompts;
  TSaveAsBitmapDlg dialog(prompts);
  dialog.SetExportFileName("/pics/");
  EXPECT_EQ(dialog.FileNameEdit->text().toStdString(), "default.png");
  EXPECT_EQ(dialog.ExportDir, "/pics/");
  dialog.FileNameEdit->setText("  ");
  EXPECT_FALSE(dialog.OKBtn->isEnabled());
  dialog.FileNameEdit->setText("picture");
  EXPECT_TRUE(dialog.OKBtn->isEnabled());
  EXPECT_EQ(dialog.GetExportFileName(), "/pics/picture.png");
  dialog.FileNameEdit->setText("/other/p.bmp");
  EXPECT_EQ(dialog.GetExportFileName(), "/other/p.bmp");
  EXPECT_EQ(dialog.ExportDir, "/other/");

  dialog.SetExportSize(750);
  EXPECT_EQ(dialog.SESize->value(), 750);
  dialog.SESize->setValue(1200);
  EXPECT_EQ(dialog.ExportSize, 1200);
  dialog.SetExportSize(100000);  // an edited settings file
  EXPECT_EQ(dialog.ExportSize, 4000);
}

TEST(PrintDialog, StartsFromBlackOnWhiteAndOneCopy)
{
  EnsureApplication();
  TScriptedPrompts prompts;
  TPrintDlg dialog(prompts);
  dialog.Printer().setOutputFormat(QPrinter::PdfFormat);
  dialog.RBColorWBG->setChecked(true);
  dialog.ECopies->setValue(5);
  EXPECT_EQ(dialog.ColorMode(), 3);
  EXPECT_EQ(dialog.Copies(), 5);
  dialog.FormShow();
  EXPECT_EQ(dialog.ColorMode(), 0);
  EXPECT_EQ(dialog.Copies(), 1);
  EXPECT_TRUE(dialog.RBColor->isEnabled());  // a PDF file takes colours
  EXPECT_FALSE(dialog.LPrinter->text().isEmpty());
}

// ------------------------------------------------------------ PNG files

TEST(PngUnit, HeaderSoftwareChunkAndRowOrder)
{
  EnsureApplication();
  QImage image(7, 4, QImage::Format_RGB32);
  image.fill(qRgb(0, 0, 255));
  for (int x = 0; x < 7; ++x) image.setPixel(x, 0, qRgb(255, 0, 0));  // the top row red
  image.setPixel(6, 3, qRgb(1, 2, 3));                                // bottom right
  const fs::path path = fs::path(testing::TempDir()) / "rows.png";
  SaveBitmapAsPng(path.string(), image);

  const TPngRead r = ReadPng(path);
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.Width, 7u);
  EXPECT_EQ(r.Height, 4u);
  EXPECT_EQ(r.BitDepth, 8);
  EXPECT_EQ(r.ColorType, PNG_COLOR_TYPE_RGB);
  EXPECT_EQ(r.Interlace, PNG_INTERLACE_NONE);
  ASSERT_EQ(r.TextBeforeImage.size(), 1u);
  EXPECT_EQ(r.TextBeforeImage[0].first, "Software");
  EXPECT_EQ(r.TextBeforeImage[0].second, PngSoftwareText);
  // The chunk is a plain tEXt chunk, not a compressed one.
  const std::vector<char> bytes = Bytes(path);
  const std::string file(bytes.begin(), bytes.end());
  EXPECT_NE(file.find("tEXtSoftware"), std::string::npos);
  EXPECT_LT(file.find("tEXt"), file.find("IDAT"));

  ASSERT_EQ(r.Rows.size(), 4u);
  EXPECT_EQ(r.Rows[0][0], 255);  // red, green, blue of the top row first
  EXPECT_EQ(r.Rows[0][1], 0);
  EXPECT_EQ(r.Rows[0][2], 0);
  EXPECT_EQ(r.Rows[1][2], 255);
  EXPECT_EQ(r.Rows[3][18], 1);
  EXPECT_EQ(r.Rows[3][19], 2);
  EXPECT_EQ(r.Rows[3][20], 3);
}

// ------------------------------------------------------------ the window

class OutputWindowTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    EnsureApplication();
    static int counter = 0;
    dir_ = fs::temp_directory_path() /
           ("sollumen-output-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
    fs::create_directories(dir_);
    TFormOptions o;
    o.ProgramDir = dir_.string() + "/";
    o.Prompts = &prompts_;
    form_ = std::make_unique<TSolarSystemForm>(o);
    form_->resize(700, 560);
    form_->SetTime(J2000());
    prompts_.Notices.clear();
  }
  void TearDown() override
  {
    form_.reset();
    fs::remove_all(dir_);
  }

  // Exports through the dialog with `name` in its field and `size`.
  // A bare name is a file of the test's directory (the window proposes the
  // user's pictures folder, never its own).
  void Export(std::string name, int size)
  {
    if (!fs::path(name).is_absolute()) name = (dir_ / name).string();
    prompts_.Fill = [name, size](QDialog& d) {
      auto& dialog = dynamic_cast<TSaveAsBitmapDlg&>(d);
      dialog.FileNameEdit->setText(QString::fromStdString(name));
      dialog.SESize->setValue(size);
    };
    form_->ActSaveAsBitmapExecute();
  }

  // The files of the directory but the window's own.
  std::vector<std::string> Files() const
  {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) {
      const std::string n = e.path().filename().string();
      if (n != "sl.ini" && n != "last.orb") names.push_back(n);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
  TScriptedPrompts prompts_;
  std::unique_ptr<TSolarSystemForm> form_;
};

TEST_F(OutputWindowTest, ExportWritesTheLinesInTheComplementOfTheBackground)
{
  // The text band at the top left, and the same band mirrored to the
  // bottom, where the picture has no text.
  const QRect band(20, 15, 200, 26), mirror(20, 500 - 41, 200, 26);

  Export("black", 500);  // the default black background: white text
  ASSERT_TRUE(prompts_.Notices.empty()) << prompts_.Notices[0];
  EXPECT_EQ(form_->BitmapSize, 500);
  EXPECT_EQ(form_->BitmapPath, dir_.string() + "/");
  const TPngRead r = ReadPng(dir_ / "black.png");
  ASSERT_TRUE(r.Ok);
  ASSERT_EQ(r.Width, 500u);
  QImage black(dir_.string().c_str() + QString("/black.png"));
  EXPECT_GT(CountColor(black, band, qRgb(255, 255, 255)), 100);
  EXPECT_EQ(CountColor(black, mirror, qRgb(255, 255, 255)), 0);
  // The file's first row is the picture's top row: the background there.
  EXPECT_EQ(r.Rows[0][0], 0);

  form_->SolarSystem().BgColor = 0xFFFFFF;
  Export("white.png", 500);
  QImage white(dir_.string().c_str() + QString("/white.png"));
  ASSERT_FALSE(white.isNull());
  EXPECT_GT(CountColor(white, band, qRgb(0, 0, 0)), 100);
  EXPECT_EQ(CountColor(white, mirror, qRgb(0, 0, 0)), 0);

  // A BMP for a name ending in .BMP; the same pixels as the PNG.
  Export(dir_.string() + "/white.BMP", 500);
  const std::vector<char> bmp = Bytes(dir_ / "white.BMP");
  ASSERT_GT(bmp.size(), 2u);
  EXPECT_EQ(std::string(bmp.data(), 2), "BM");
  QImage fromBmp(QString::fromStdString((dir_ / "white.BMP").string()), "BMP");
  ASSERT_EQ(fromBmp.size(), white.size());
  EXPECT_EQ(fromBmp.convertToFormat(QImage::Format_RGB32),
            white.convertToFormat(QImage::Format_RGB32));

  // The scene keeps the screen's canvas, not the image's.
  EXPECT_EQ(form_->SolarSystem().SizeMode(), 0);
  EXPECT_EQ(form_->SolarSystem().ColorMode(), 2);
  EXPECT_EQ(Files(), (std::vector<std::string>{"black.png", "white.BMP", "white.png"}));
}

TEST_F(OutputWindowTest, FailedExportsLeaveTheOldFileAndNoOther)
{
  const fs::path target = dir_ / "old.png";
  {
    std::ofstream(target, std::ios::binary) << "the old picture";
  }
  // The disk fills up (a file-size limit) while the new picture is written.
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 4096;
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  Export(target.string(), 1000);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);

  ASSERT_EQ(prompts_.Notices, (std::vector<std::string>{"Error Writing PNG File!"}));
  const std::vector<char> old = Bytes(target);
  EXPECT_EQ(std::string(old.begin(), old.end()), "the old picture");
  EXPECT_EQ(Files(), (std::vector<std::string>{"old.png"}));
  // The settings keep the values the dialog gave.
  EXPECT_EQ(form_->BitmapSize, 1000);

  prompts_.Notices.clear();
  const std::string missing = (dir_ / "no" / "such.png").string();
  Export(missing, 100);
  EXPECT_EQ(prompts_.Notices, (std::vector<std::string>{"Error Opening File " + missing + "!"}));
  EXPECT_FALSE(fs::exists(dir_ / "no"));
}

TEST_F(OutputWindowTest, PrintedPageShowsTheSceneInItsSquareAndTheTwoLines)
{
  const fs::path pdf = dir_ / "page.pdf";
  prompts_.PdfAnswer = pdf.string();
  prompts_.Fill = [](QDialog& d) {
    auto& dialog = dynamic_cast<TPrintDlg&>(d);
    // Never a real printer, even where one is installed.
    dialog.Printer().setOutputFormat(QPrinter::PdfFormat);
    dialog.Printer().setPageSize(QPageSize(QPageSize::A4));
    dialog.RBWhiteOnBlack->setChecked(true);
    dialog.ECopies->setValue(2);
  };
  form_->ActPrintExecute();
  ASSERT_TRUE(prompts_.Notices.empty()) << prompts_.Notices[0];
  ASSERT_TRUE(fs::exists(pdf));
  EXPECT_EQ(form_->SolarSystem().SizeMode(), 0);  // the screen repainted

  // Rasterised at 100 dots per inch: 827 x 1170 pixels for A4.
  const std::string command = "pdftoppm -r 100 -png \"" + pdf.string() + "\" \"" +
                              (dir_ / "page").string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0) << "pdftoppm (poppler-utils) is needed";
  ASSERT_TRUE(fs::exists(dir_ / "page-2.png")) << "one page per copy";
  EXPECT_FALSE(fs::exists(dir_ / "page-3.png"));
  QImage page(QString::fromStdString((dir_ / "page-1.png").string()));
  ASSERT_FALSE(page.isNull());

  // The printable area at 300 dpi is 2395 x 3424 from (42, 42): the square
  // is 1916 wide from (282, 234), i.e. 638.7 pixels from (94, 78) here.
  const double k = 100.0 / 300.0;
  const QRect square(RoundHalfEven(282 * k), RoundHalfEven(234 * k), RoundHalfEven(1916 * k),
                     RoundHalfEven(1916 * k));
  int left = page.width(), right = -1, top = page.height(), bottom = -1;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x)
      if (qGray(page.pixel(x, y)) < 20) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  EXPECT_NEAR(left, square.left(), 2);
  EXPECT_NEAR(top, square.top(), 2);
  EXPECT_NEAR(right, square.right(), 2);
  EXPECT_NEAR(bottom, square.bottom(), 2);

  // White text from (left + 0.04 S, top + 0.03 S) on, two lines of 10 pt
  // (14 pixels each here); none in the band just below.
  const QRect lines(square.left() + 25, square.top() + 19, 260, 30);
  const QRect below(square.left() + 25, square.top() + 55, 260, 30);
  int inLines = 0, inBelow = 0;
  for (int y = lines.top(); y <= lines.bottom(); ++y)
    for (int x = lines.left(); x <= lines.right(); ++x) inLines += qGray(page.pixel(x, y)) > 200;
  for (int y = below.top(); y <= below.bottom(); ++y)
    for (int x = below.left(); x <= below.right(); ++x) inBelow += qGray(page.pixel(x, y)) > 200;
  EXPECT_GT(inLines, 300);
  EXPECT_LT(inBelow, inLines / 10);
  // The second line starts lower than the first: text in both halves.
  int upper = 0, lower = 0;
  for (int x = lines.left(); x <= lines.right(); ++x) {
    for (int y = lines.top(); y < lines.top() + 13; ++y) upper += qGray(page.pixel(x, y)) > 200;
    for (int y = lines.top() + 15; y <= lines.bottom(); ++y) lower += qGray(page.pixel(x, y)) > 200;
  }
  EXPECT_GT(upper, 100);
  EXPECT_GT(lower, 100);
}

TEST_F(OutputWindowTest, PrintingAsksInOneDialogAndKeepsSchemeAndFolder)
{
  // The first PDF: no file proposed yet, so the file dialog asks once.
  const fs::path first = dir_ / "first.pdf";
  prompts_.PdfAnswer = first.string();
  prompts_.Fill = [](QDialog& d) {
    auto& dialog = dynamic_cast<TPrintDlg&>(d);
    dialog.Printer().setOutputFormat(QPrinter::PdfFormat);
    dialog.RBColorWBG->setChecked(true);
    dialog.CBDescription->setChecked(true);
  };
  form_->ActPrintExecute();
  ASSERT_TRUE(prompts_.Notices.empty()) << prompts_.Notices[0];
  ASSERT_TRUE(fs::exists(first));
  EXPECT_EQ(form_->StatusBar->currentMessage().toStdString(), "Printed to " + first.string());

  // The next printing starts from that scheme and the description box,
  // and names its file in the dialog itself, in the same folder: no
  // further dialog.
  prompts_.PdfAnswer.clear();
  std::string proposed;
  int scheme = -1;
  bool description = false, fileField = false;
  prompts_.Fill = [&](QDialog& d) {
    auto& dialog = dynamic_cast<TPrintDlg&>(d);
    proposed = dialog.PdfFileName();
    scheme = dialog.ColorMode();
    description = dialog.CBDescription->isChecked();
    fileField = !dialog.EFileName->isHidden();
  };
  form_->ActPrintExecute();
  EXPECT_EQ(proposed, (dir_ / "sollumen.pdf").string());
  EXPECT_EQ(scheme, 3);
  EXPECT_TRUE(description);
  EXPECT_TRUE(fileField);
  EXPECT_TRUE(fs::exists(dir_ / "sollumen.pdf"));
  EXPECT_TRUE(prompts_.Notices.empty());

  // Both are kept in the settings file for the next run.
  form_.reset();
  const TSettings kept = ReadSettingsFile(dir_ / "sl.ini", TSettings(), dir_.string() + "/");
  EXPECT_EQ(kept.PrintScheme, 3);
  EXPECT_EQ(kept.PrintPdfPath, dir_.string());
  EXPECT_TRUE(kept.PrintDescription);
}

TEST_F(OutputWindowTest, CancelledDialogsChangeNothing)
{
  prompts_.Fill = nullptr;
  form_->BitmapSize = 650;
  form_->ActSaveAsBitmapExecute();
  form_->ActPrintExecute();
  EXPECT_EQ(form_->BitmapSize, 650);
  EXPECT_TRUE(Files().empty());
  EXPECT_TRUE(prompts_.Notices.empty());
  // Printing to a file whose name the user does not give stops too.
  prompts_.Fill = [](QDialog& d) {
    dynamic_cast<TPrintDlg&>(d).Printer().setOutputFormat(QPrinter::PdfFormat);
  };
  prompts_.PdfAnswer.clear();
  form_->ActPrintExecute();
  EXPECT_TRUE(Files().empty());
}

}  // namespace
