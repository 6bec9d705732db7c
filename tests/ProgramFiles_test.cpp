// Where the program keeps its files, the files it ships, and the command
// line.
#include "app/mainwindow/CommandLine.h"
#include "app/ProgramFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class ProgramFilesTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    root_ = fs::temp_directory_path() / ("sollumen-files-" + std::to_string(getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  static void Write(const fs::path& p, const std::string& text)
  {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
  }
  static std::string Read(const fs::path& p)
  {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  fs::path root_;
};

TEST_F(ProgramFilesTest, BuildTreeOrPortableCopyKeepsFilesBesideTheProgram)
{
  const fs::path exe = root_ / "build" / "src" / "app";
  fs::create_directories(exe);
  EXPECT_EQ(ChooseProgramDir(exe, "/usr/local/bin", root_ / "user"), exe.string() + "/");
  // Without a per-user directory the program's own is the only choice.
  EXPECT_EQ(ChooseProgramDir(exe, "/usr/local/bin", ""), exe.string() + "/");
}

TEST_F(ProgramFilesTest, InstalledCopyUsesThePerUserDirectory)
{
  const fs::path prefix = root_ / "prefix";
  Write(prefix / "share" / "sollumen" / "template.orb", "T");
  fs::create_directories(prefix / "bin");
  EXPECT_TRUE(IsInstalledCopy(prefix / "bin", ""));
  EXPECT_EQ(ChooseProgramDir(prefix / "bin", "", root_ / "user"), (root_ / "user").string() + "/");
  // The configured installation's bin directory counts even without data.
  fs::create_directories(root_ / "other" / "bin");
  EXPECT_TRUE(IsInstalledCopy(root_ / "other" / "bin", root_ / "other" / "bin"));
  EXPECT_EQ(ShippedFilesDir(prefix / "bin", InstalledDataDir(prefix / "bin")),
            prefix / "share" / "sollumen");
  EXPECT_EQ(ShippedFilesDir(root_ / "other" / "bin", root_ / "nowhere"), fs::path());
}

TEST_F(ProgramFilesTest, FirstStartCopiesShippedFilesAndNeverReplacesTheUsers)
{
  const fs::path shipped = root_ / "share";
  Write(shipped / "template.orb", "template");
  Write(shipped / "Example-Earth-Mars.spc", "trajectory");
  Write(shipped / "MPC (10000).db", "table");
  Write(shipped / "MPCORB.rtf", "note");
  const std::string user = (root_ / "user" / "sollumen").string() + "/";
  InstallProgramFiles(shipped, user, ShippedFileNames());
  EXPECT_EQ(Read(fs::path(user) / "template.orb"), "template");
  EXPECT_EQ(Read(fs::path(user) / "MPC (10000).db"), "table");
  EXPECT_EQ(Read(fs::path(user) / "Example-Earth-Mars.spc"), "trajectory");
  EXPECT_EQ(Read(fs::path(user) / "MPCORB.rtf"), "note");
  EXPECT_EQ(Read(fs::path(user) / "last.orb"), "template");

  Write(fs::path(user) / "last.orb", "mine");
  Write(shipped / "template.orb", "newer");
  InstallProgramFiles(shipped, user, ShippedFileNames());
  EXPECT_EQ(Read(fs::path(user) / "last.orb"), "mine");
  EXPECT_EQ(Read(fs::path(user) / "template.orb"), "template");

  // A build tree ships into its own directory: only last.orb is made.
  const fs::path build = root_ / "build";
  Write(build / "template.orb", "built");
  InstallProgramFiles(build, build.string() + "/", ShippedFileNames());
  EXPECT_EQ(Read(build / "last.orb"), "built");
}

TEST_F(ProgramFilesTest, ProgramDirThatCannotBeMadeIsAnError)
{
  Write(root_ / "file", "x");
  EXPECT_THROW(InstallProgramFiles({}, (root_ / "file" / "sub").string() + "/", {}),
               std::runtime_error);
  EXPECT_FALSE(IsWritableDirectory(root_ / "file"));
  EXPECT_TRUE(IsWritableDirectory(root_));
}

TEST(CommandLine, JulianDateThenPathJoinedAtBlanks)
{
  const std::string dir = "/home/u/.local/share/sollumen/";
  TCommandLine c = ParseCommandLine({"2451545.0", "/data/my", "scene.orb"}, dir);
  ASSERT_TRUE(c.JD.has_value());
  EXPECT_EQ(*c.JD, 2451545.0L);
  EXPECT_EQ(c.DocumentPath, "/data/my scene.orb");
  EXPECT_TRUE(c.NamedDocument);

  c = ParseCommandLine({"12", "b.orb"}, dir);  // not an instant shown: part of the path
  EXPECT_FALSE(c.JD.has_value());
  EXPECT_EQ(c.DocumentPath, "12 b.orb");

  c = ParseCommandLine({"2451545"}, dir);
  EXPECT_TRUE(c.JD.has_value());
  EXPECT_EQ(c.DocumentPath, dir + "last.orb");
  EXPECT_FALSE(c.NamedDocument);

  c = ParseCommandLine({"3912515.6"}, dir);  // beyond the last instant
  EXPECT_FALSE(c.JD.has_value());
  EXPECT_EQ(c.DocumentPath, "3912515.6");

  c = ParseCommandLine({"  ", " a.orb "}, dir);
  EXPECT_EQ(c.DocumentPath, "a.orb");
  EXPECT_EQ(ParseCommandLine({}, dir).DocumentPath, dir + "last.orb");
}

}  // namespace
