// No lost work: a document that cannot be read changes nothing in the
// window, and changes of a named document are asked about before they are
// thrown away.
#include "app/mainwindow/SSystemsForm.h"
#include "database/MinorBodyTable.h"
#include "stream/ByteStreams.h"
#include "ScriptedPrompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void EnsureApplication()
{
  if (QApplication::instance()) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "DocumentSafety_test";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

std::vector<char> FileBytes(const fs::path& p)
{
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& p, const char* data, std::size_t n)
{
  std::ofstream(p, std::ios::binary | std::ios::trunc).write(data, static_cast<long>(n));
}

// Everything a document can change, as the window shows and would save it.
struct TSnapshot {
  std::vector<std::uint8_t> Document;
  std::string Title, Date, Time, JD, FileName, Table;
  int ListedObjects = 0;
  bool Modified = false;
  bool operator==(const TSnapshot&) const = default;
};

TSnapshot Take(TSolarSystemForm& f)
{
  TSnapshot s;
  TMemoryStream bytes;
  {
    TWriter w(bytes);
    WriteDocument(w, f.SolarSystem(), f.CollectDocumentState());
    w.FlushBuffer();
  }
  s.Document = bytes.Bytes();
  s.Title = f.windowTitle().toStdString();
  s.Date = f.EDate->text().toStdString();
  s.Time = f.ETime->text().toStdString();
  s.JD = f.JDLabel->text().toStdString();
  s.FileName = f.DocumentFileName;
  s.Table = f.TablePath + "|" + f.TableName;
  s.ListedObjects = f.ObjectsListBox->count();
  s.Modified = f.isWindowModified();
  return s;
}

class DocumentSafety : public ::testing::Test {
protected:
  void SetUp() override
  {
    EnsureApplication();
    static int counter = 0;
    dir_ = fs::temp_directory_path() /
           ("sollumen-safety-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
    fs::create_directories(dir_);
    CreateTable(dir_.string(), "MPC (10000).db");
    MakeForm();
  }
  void MakeForm()
  {
    form_.reset();
    TFormOptions o;
    o.ProgramDir = dir_.string() + "/";
    o.Prompts = &prompts_;
    form_ = std::make_unique<TSolarSystemForm>(o);
    prompts_.Clear();
  }
  void TearDown() override
  {
    form_.reset();
    fs::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // The window on a saved, named document "lesson.orb" of 2026, with one
  // change not saved.
  TSolarSystemForm& Lesson()
  {
    TSolarSystemForm& f = *form_;
    TDateRec t;
    t.Year = 2026, t.Month = 12, t.Day = 9, t.Hour = 16, t.Minute = 31;
    f.SetTime(t);
    prompts_.SaveAnswer = Path("lesson.orb");
    f.ActSaveExecute();
    f.CBShowNames->click();
    return f;
  }

  fs::path dir_;
  TScriptedPrompts prompts_;
  std::unique_ptr<TSolarSystemForm> form_;
};

TEST_F(DocumentSafety, EveryTruncatedDocumentOfEachVersionChangesNothing)
{
  for (const char* name : {"doc10.orb", "doc15.orb", "doc16.orb", "doc17.orb"}) {
    MakeForm();
    TSolarSystemForm& f = Lesson();
    const TSnapshot before = Take(f);
    ASSERT_TRUE(before.Modified);
    const std::vector<char> bytes = FileBytes(fs::path(SOLLUMEN_TEST_DATA) / "documents" / name);
    ASSERT_GT(bytes.size(), 100u);
    const std::string cut = Path("cut.orb");
    for (std::size_t n = 0; n < bytes.size(); ++n) {
      WriteBytes(cut, bytes.data(), n);
      prompts_.Clear();
      ASSERT_TRUE(f.OpenDocument(cut));
      ASSERT_EQ(prompts_.Errors.size(), 1u) << name << " cut at " << n;
      // The message keeps its first line and says what was missing where.
      ASSERT_EQ(prompts_.Errors[0].rfind("Error reading file " + cut + ".\rExpected ", 0), 0u)
          << prompts_.Errors[0];
      ASSERT_NE(prompts_.Errors[0].find(" at byte "), std::string::npos);
      ASSERT_TRUE(Take(f) == before) << name << " cut at " << n;
    }
    // The whole document is read, and replaces the state.
    WriteBytes(cut, bytes.data(), bytes.size());
    prompts_.Clear();
    prompts_.SaveChoice = TSaveChoice::Discard;
    ASSERT_TRUE(f.OpenDocument(cut));
    EXPECT_TRUE(prompts_.Errors.empty()) << name;
    EXPECT_FALSE(Take(f) == before) << name;
    EXPECT_EQ(f.DocumentFileName, cut);
  }
}

TEST_F(DocumentSafety, UnsavedChangesAreAskedAboutBeforeTheyAreLost)
{
  TSolarSystemForm& f = Lesson();
  EXPECT_EQ(f.windowTitle().toStdString(),
            "Sollumen   2026 December 9   16:31 UT \u2014 lesson.orb[*]");
  EXPECT_TRUE(f.isWindowModified());
  TSolarSystem other;
  SaveDocument(Path("other.orb"), other, TDocumentState());

  // Cancel: nothing is opened, nothing saved, the change stays.
  prompts_.OpenAnswer = Path("other.orb");
  prompts_.SaveChoice = TSaveChoice::Cancel;
  f.ActOpenExecute();
  f.FormDropFiles({Path("other.orb")});
  f.ActLoadTemplateExecute();
  EXPECT_EQ(prompts_.Questions, std::vector<std::string>(3, "save changes: lesson.orb"));
  EXPECT_EQ(f.DocumentFileName, Path("lesson.orb"));
  EXPECT_FALSE(f.CBShowNames->isChecked());
  f.show();
  EXPECT_FALSE(f.close());
  EXPECT_TRUE(f.isVisible());

  // Save: the change goes into the document, then the other one opens.
  prompts_.Clear();
  prompts_.SaveChoice = TSaveChoice::Save;
  f.ActOpenExecute();
  EXPECT_EQ(prompts_.Questions.size(), 1u);
  EXPECT_EQ(f.DocumentFileName, Path("other.orb"));
  EXPECT_FALSE(f.isWindowModified());
  prompts_.Clear();
  ASSERT_TRUE(f.OpenDocument(Path("lesson.orb")));
  EXPECT_TRUE(prompts_.Questions.empty());  // the document had no changes
  EXPECT_FALSE(f.CBShowNames->isChecked());

  // Discard: the change is lost on purpose, the file keeps its content.
  f.CBShowNames->click();
  prompts_.SaveChoice = TSaveChoice::Discard;
  f.ActOpenExecute();
  EXPECT_EQ(prompts_.Questions.size(), 1u);
  EXPECT_EQ(f.DocumentFileName, Path("other.orb"));
  ASSERT_TRUE(f.OpenDocument(Path("lesson.orb")));
  EXPECT_FALSE(f.CBShowNames->isChecked());

  // A change undone is no change; closing then asks nothing.
  prompts_.Clear();
  f.CBShowNames->click();
  f.CBShowNames->click();
  EXPECT_FALSE(f.DocumentModified());
  EXPECT_TRUE(f.close());
  EXPECT_TRUE(prompts_.Questions.empty());
}

}  // namespace
