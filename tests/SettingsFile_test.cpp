#include "document/SettingsFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#if defined(__unix__) || defined(__APPLE__)
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

class SettingsFile : public ::testing::Test {
protected:
  void SetUp() override
  {
    Dir = std::filesystem::temp_directory_path() /
          ("sollumen-settings-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(Dir);
    ProgramDir = Dir.string() + "/";
    Ini = Dir / "sl.ini";
    Defaults.BitmapPath = ProgramDir;
  }
  void TearDown() override { std::filesystem::remove_all(Dir); }

  void Put(const std::string& text) { std::ofstream(Ini, std::ios::binary) << text; }
  std::string Contents() const
  {
    std::ifstream in(Ini, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  TSettings Read() const { return ReadSettingsFile(Ini, Defaults, ProgramDir); }
  int FilesInDir() const
  {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator(Dir), std::filesystem::directory_iterator()));
  }

  std::filesystem::path Dir, Ini;
  std::string ProgramDir;
  TSettings Defaults;
};

const char* const FreshFile =
    "[MainForm]\nTop=260\nLeft=508\nWidth=744\nHeight=631\nPage=1\n"
    "[DescriptionForm]\nTop=130\nLeft=635\nWidth=335\nHeight=292\nStayOnTop=0\n"
    "[MonitorForm]\nTop=478\nLeft=891\nStayOnTop=0\n"
    "[Colors]\nColor0=0\nColor1=0\nColor2=8421504\n"
    "[Bitmap]\nSize=500\nPath=/pictures/\n"
    "[Database]\nPath=/tables/\nTable=MPC (10000).db\n";

TEST_F(SettingsFile, WithoutAFileEverythingIsDefault)
{
  const TSettings s = Read();
  EXPECT_EQ(s.MainLeft, 508);
  EXPECT_EQ(s.MainTop, 260);
  EXPECT_EQ(s.MainWidth, 744);
  EXPECT_EQ(s.MainHeight, 631);
  EXPECT_EQ(s.MainPage, 1);
  EXPECT_EQ(s.DescriptionLeft, 635);
  EXPECT_EQ(s.MonitorTop, 478);
  EXPECT_FALSE(s.DescriptionStayOnTop);
  EXPECT_FALSE(s.MonitorStayOnTop);
  EXPECT_EQ(s.BitmapSize, 500);
  EXPECT_EQ(s.BitmapPath, ProgramDir);
  // The default table is looked for in the program directory.
  EXPECT_EQ(s.DatabasePath, ProgramDir);
  EXPECT_EQ(s.DatabaseTable, "MPC (10000).db");
}

TEST_F(SettingsFile, ValuesFollowTheReadingRules)
{
  std::filesystem::create_directories(Dir / "tables");
  Put("[mainform]\nTOP=12\n  left = -40 \nWidth=abc\nHeight=0x100\nPage=2\n"
      "[DESCRIPTIONFORM]\nStayOnTop=5\nTop=2147483648\nLeft=0XfF\n"
      "[MonitorForm]\nstayontop=0x0\nTop=-2147483648\n"
      "[Bitmap]\nSize=0x200\nPath=\"/my pictures/\"\n"
      "[Database]\nPath=" + (Dir / "tables").string() + "\nTable=Comets.db\n");
  const TSettings s = Read();
  EXPECT_EQ(s.MainTop, 12);
  EXPECT_EQ(s.MainLeft, -40);
  EXPECT_EQ(s.MainWidth, 744);  // not a number: the default
  EXPECT_EQ(s.MainHeight, 256);
  EXPECT_EQ(s.MainPage, 2);
  EXPECT_TRUE(s.DescriptionStayOnTop);
  EXPECT_EQ(s.DescriptionTop, 130);  // out of range: the default
  EXPECT_EQ(s.DescriptionLeft, 255);
  EXPECT_FALSE(s.MonitorStayOnTop);
  EXPECT_EQ(s.MonitorTop, -2147483647 - 1);
  EXPECT_EQ(s.BitmapSize, 512);
  EXPECT_EQ(s.BitmapPath, "/my pictures/");
  EXPECT_EQ(s.DatabasePath, (Dir / "tables").string());
  EXPECT_EQ(s.DatabaseTable, "Comets.db");
}

TEST_F(SettingsFile, PagesOutsideTheTabsAreKeptForTheWindow)
{
  Put("[MainForm]\nPage=abc\n");
  EXPECT_EQ(Read().MainPage, 1);
  Put("[MainForm]\nPage=5\n");
  EXPECT_EQ(Read().MainPage, 5);
}

TEST_F(SettingsFile, VanishedTableDirectoryFallsBackToTheProgramDirectory)
{
  Put("[Database]\nPath=" + (Dir / "gone").string() + "\n");
  EXPECT_EQ(Read().DatabasePath, ProgramDir);
  // An empty path is the program directory too.
  Put("[Database]\nPath=\nTable=Comets.db\n");
  EXPECT_EQ(Read().DatabasePath, ProgramDir);
}

TEST_F(SettingsFile, FirstSectionAndFirstKeyWin)
{
  Put("Top=1\n[Other]\nTop=2\n[MainForm]\n;Top=3\nTop=4\nTop=5\n[MainForm]\nTop=6\n");
  EXPECT_EQ(Read().MainTop, 4);
}

TEST_F(SettingsFile, TextIsCutAndEightBitTextConverted)
{
  std::string longName;
  for (int i = 0; i < 2100; ++i) longName += "\u00e9";
  Put("[Database]\nTable=" + longName + "\n[Bitmap]\nPath=/Donn\xE9" "es/\n");
  const TSettings s = Read();
  EXPECT_EQ(s.DatabaseTable, longName.substr(0, 2 * 2047));
  EXPECT_EQ(s.BitmapPath, "/Donn\u00e9es/");
}

TEST(SettingsInteger, DecimalAndHexadecimal)
{
  const struct { const char* text; bool ok; int value; } cases[] = {
      {"0", true, 0}, {"12", true, 12}, {"-5", true, -5}, {"+7", true, 7}, {"007", true, 7},
      {"2147483647", true, 2147483647}, {"-2147483648", true, -2147483647 - 1},
      {"0x1F", true, 31}, {"0XfF", true, 255}, {"0x200", true, 512}, {"0xFFFFFFFF", true, -1},
      {"0x7FFFFFFF", true, 2147483647},
      {"", false, 0}, {"-", false, 0}, {"0x", false, 0}, {"0x123456789", false, 0}, {"0xG", false, 0},
      {"2147483648", false, 0}, {"-2147483649", false, 0}, {"12abc", false, 0}, {"1.5", false, 0},
      {"99999999999999999999", false, 0}, {"$1F", false, 0}};
  for (const auto& c : cases) {
    int v = 12345;
    EXPECT_EQ(ParseSettingsInteger(c.text, v), c.ok) << c.text;
    EXPECT_EQ(v, c.ok ? c.value : 12345) << c.text;
  }
}

TEST_F(SettingsFile, FreshFileHoldsEveryKeyInOrder)
{
  TSettings s;
  s.GridColor = 0x808080;
  s.BitmapPath = "/pictures/";
  s.DatabasePath = "/tables/";
  WriteSettingsFile(Ini, s);
  EXPECT_EQ(Contents(), FreshFile);
}

TEST_F(SettingsFile, WritingKeepsForeignLinesAndRewritesOwnKeys)
{
  Put("; written by hand\r\n"
      "[Other]\r\nTop=99\r\n\r\n"
      "[mainform]\r\ntop=1\r\nCustom=x\r\n\r\n"
      "[MonitorForm]\r\nStayOnTop=5\r\n");
  TSettings s = Read();
  EXPECT_TRUE(s.MonitorStayOnTop);
  s.MainTop = 77;
  WriteSettingsFile(Ini, s);
  const std::string expected =
      "; written by hand\r\n"
      "[Other]\r\nTop=99\r\n\r\n"
      "[mainform]\r\nTop=77\r\nCustom=x\r\nLeft=508\r\nWidth=744\r\nHeight=631\r\nPage=1\r\n\r\n"
      "[MonitorForm]\r\nStayOnTop=1\r\nTop=478\r\nLeft=891\r\n"
      "[DescriptionForm]\r\nTop=130\r\nLeft=635\r\nWidth=335\r\nHeight=292\r\nStayOnTop=0\r\n"
      "[Colors]\r\nColor0=0\r\nColor1=0\r\nColor2=0\r\n"
      "[Bitmap]\r\nSize=500\r\nPath=" + ProgramDir + "\r\n"
      "[Database]\r\nPath=" + ProgramDir + "\r\nTable=MPC (10000).db\r\n";
  EXPECT_EQ(Contents(), expected);
}

TEST_F(SettingsFile, WrittenValuesReadBack)
{
  std::filesystem::create_directories(Dir / "db");
  TSettings s;
  s.MainTop = -10;
  s.MainLeft = 2000;
  s.MainPage = 0;
  s.DescriptionStayOnTop = true;
  s.MonitorLeft = 17;
  s.BitmapSize = 1024;
  s.BitmapPath = "/Bilder \u00fcber/";
  s.DatabasePath = (Dir / "db").string();
  s.DatabaseTable = "NEO.db";
  WriteSettingsFile(Ini, s);
  const TSettings r = Read();
  EXPECT_EQ(r.MainTop, -10);
  EXPECT_EQ(r.MainLeft, 2000);
  EXPECT_EQ(r.MainPage, 0);
  EXPECT_TRUE(r.DescriptionStayOnTop);
  EXPECT_EQ(r.MonitorLeft, 17);
  EXPECT_EQ(r.BitmapSize, 1024);
  EXPECT_EQ(r.BitmapPath, s.BitmapPath);
  EXPECT_EQ(r.DatabasePath, s.DatabasePath);
  EXPECT_EQ(r.DatabaseTable, "NEO.db");
}

TEST_F(SettingsFile, LineBreaksInValuesCannotAddLines)
{
  TSettings s;
  s.DatabaseTable = "x.db\n[MainForm]\nTop=1";
  WriteSettingsFile(Ini, s);
  const TSettings r = Read();
  EXPECT_EQ(r.MainTop, 260);
  EXPECT_EQ(r.DatabaseTable, "x.db [MainForm] Top=1");
}

TEST_F(SettingsFile, FailureNamesTheFile)
{
  const auto nowhere = Dir / "missing" / "sl.ini";
  try {
    WriteSettingsFile(nowhere, TSettings());
    FAIL();
  } catch (const ESettingsWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + nowhere.string());
  }
}

#if defined(__unix__) || defined(__APPLE__)
// A disk that fills up halfway through the new file must leave the old one.
TEST_F(SettingsFile, FailureHalfwayLeavesTheOldFile)
{
  const std::string old = "[Mine]\nkeep=me\n";
  Put(old);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 100;
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  bool failed = false;
  try {
    WriteSettingsFile(Ini, TSettings());
  } catch (const ESettingsWriteError&) {
    failed = true;
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_TRUE(failed);
  EXPECT_EQ(Contents(), old);
  EXPECT_EQ(FilesInDir(), 1);  // no temporary file left behind
}
#endif

}  // namespace
