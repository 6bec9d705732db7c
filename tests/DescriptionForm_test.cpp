// The description window without a display: its editing commands and their
// enabling rules, its close box, and its text travelling with documents
// through the main window.
#include "app/mainwindow/SSystemsForm.h"
#include "app/dialogs/DescriptionForms.h"
#include "app/richtext/RichTextListing.h"
#include "document/SettingsFile.h"
#include "ScriptedPrompts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void EnsureApplication()
{
  if (QApplication::instance()) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "DescriptionForm_test";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

class DescriptionWindow : public ::testing::Test {
protected:
  void SetUp() override
  {
    EnsureApplication();
    // A user who picks a light cyan and Courier New 14 when asked.
    prompts_.ColorAnswer = true;
    prompts_.ColorChoice = 0x80FFFF;
    prompts_.FontAnswer = true;
    prompts_.FontChoice = QFont("Courier New", 14);
    dir_ = fs::temp_directory_path() / ("sollumen-description-" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override
  {
    form_.reset();
    fs::remove_all(dir_);
  }
  TSolarSystemForm& Make()
  {
    form_.reset();
    TFormOptions o;
    o.ProgramDir = dir_.string() + "/";
    o.Prompts = &prompts_;
    form_ = std::make_unique<TSolarSystemForm>(o);
    prompts_.Errors.clear();
    return *form_;
  }
  std::string Runs(TDescriptionForm& d) { return RichTextRuns(*d.Memo->document()); }
  void Select(TDescriptionForm& d, int from, int to)
  {
    QTextCursor c = d.Memo->textCursor();
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    d.Memo->setTextCursor(c);
  }

  fs::path dir_;
  TScriptedPrompts prompts_;
  std::unique_ptr<TSolarSystemForm> form_;
};

const char* const Arial = "font=Arial size=10 color=#000000\t";

TEST_F(DescriptionWindow, EditingCommandsAndTheirEnablingRules)
{
  TSolarSystemForm& f = Make();
  TDescriptionForm& d = *f.DescriptionForm;
  EXPECT_EQ(d.windowTitle().toStdString(), "File description");
  EXPECT_EQ(d.SBCenter->toolTip().toStdString(), "center");
  EXPECT_FALSE(d.SBUndo->isEnabled());
  d.Memo->insertPlainText("Hello world");
  EXPECT_TRUE(d.SBUndo->isEnabled());
  EXPECT_FALSE(d.MCopy->isEnabled() || d.MCut->isEnabled() || d.MClear->isEnabled());

  // Bold and italic go on and off over the selection.
  Select(d, 0, 5);
  EXPECT_TRUE(d.MCopy->isEnabled() && d.MCut->isEnabled() && d.MClear->isEnabled());
  d.SBBoldClick();
  d.SBCenterClick();
  EXPECT_EQ(Runs(d), std::string("PARA align=center bullet=0\n") +
                         "RUN bold=1 italic=0 underline=0 " + Arial + "Hello\n" +
                         "RUN bold=0 italic=0 underline=0 " + Arial + " world\n");
  Select(d, 0, 11);  // partly bold: all becomes bold
  d.SBBoldClick();
  d.SBItalicClick();
  d.SBNumberingClick();
  d.SBRightAlignClick();
  EXPECT_EQ(Runs(d), std::string("PARA align=right bullet=1\n") +
                         "RUN bold=1 italic=1 underline=0 " + Arial + "Hello world\n");
  d.SBBoldClick();
  d.SBNumberingClick();
  d.SBLeftAlignClick();
  EXPECT_EQ(Runs(d), std::string("PARA align=left bullet=0\n") +
                         "RUN bold=0 italic=1 underline=0 " + Arial + "Hello world\n");

  // The font dialog starts with the selection's font; Cancel changes nothing.
  Select(d, 6, 11);
  prompts_.FontAnswer = false;
  d.SBFontClick();
  EXPECT_EQ(prompts_.FontOffered.family().toStdString(), "Arial");
  EXPECT_TRUE(prompts_.FontOffered.italic());
  prompts_.FontAnswer = true;
  d.SBFontClick();
  EXPECT_EQ(Runs(d), std::string("PARA align=left bullet=0\n") +
                         "RUN bold=0 italic=1 underline=0 " + Arial + "Hello \n" +
                         "RUN bold=0 italic=0 underline=0 font=Courier New size=14 "
                         "color=#000000\tworld\n");

  d.SBColorClick();
  EXPECT_EQ(d.BackgroundColor(), 0x80FFFFu);
  EXPECT_EQ(d.Memo->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0x80));

  QApplication::clipboard()->setText("pasted");
  d.PopupMenuPopup();
  EXPECT_TRUE(d.MPaste->isEnabled());
  QApplication::clipboard()->clear();
  d.PopupMenuPopup();
  EXPECT_FALSE(d.MPaste->isEnabled());

  d.MClearClick();
  EXPECT_EQ(d.Memo->toPlainText().toStdString(), "Hello ");
  d.SBUndoClick();
  EXPECT_EQ(d.Memo->toPlainText().toStdString(), "Hello world");
  d.MSelectAllClick();
  EXPECT_EQ(d.Memo->textCursor().selectedText().toStdString(), "Hello world");
  d.SBNewClick();
  EXPECT_TRUE(d.Memo->document()->isEmpty());
  EXPECT_FALSE(d.SBUndo->isEnabled());
}

TEST_F(DescriptionWindow, CloseBoxOnlyHidesAndPopsUpTheButton)
{
  TSolarSystemForm& f = Make();
  TDescriptionForm& d = *f.DescriptionForm;
  ASSERT_TRUE(f.SBDescription->isEnabled());
  f.SBDescription->click();
  EXPECT_TRUE(d.isVisible());
  d.Memo->setPlainText("kept");
  EXPECT_FALSE(d.close());
  EXPECT_FALSE(d.isVisible());
  EXPECT_FALSE(f.SBDescription->isChecked());
  EXPECT_EQ(d.Memo->toPlainText().toStdString(), "kept");
  f.SBDescription->click();
  EXPECT_TRUE(d.isVisible());
  f.UpdateControls();
  EXPECT_TRUE(f.SBDescription->isChecked());

  // At the end of the program every window is closed before the state is
  // saved: the window counts as shown still.
  f.show();
  QTimer::singleShot(0, &f, [&f] { f.close(); });
  QTimer::singleShot(10000, qApp, [] { QApplication::quit(); });  // never hang
  QApplication::exec();
  EXPECT_FALSE(d.isVisible());
  EXPECT_TRUE(f.CollectDocumentState().DescriptionVisible);
}

TEST_F(DescriptionWindow, DescriptionTravelsWithTheDocument)
{
  const std::string path = (dir_ / "described.orb").string();
  std::string runs;
  {
    TSolarSystemForm& f = Make();
    TDescriptionForm& d = *f.DescriptionForm;
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(SOLLUMEN_TEST_DATA "/rtf/richedit.rtf", lines));
    d.ReadDescription(lines);
    EXPECT_FALSE(d.SBUndo->isEnabled());  // a loaded text is no edit
    runs = Runs(d);
    ASSERT_NE(runs.find("bullet=1"), std::string::npos);
    d.SetBackgroundColor(0xC0FFC0);
    f.SBDescription->click();
    ASSERT_TRUE(f.SaveDocument(path));
  }
  TSolarSystemForm& g = Make();
  ASSERT_TRUE(g.OpenDocument(path));
  EXPECT_TRUE(prompts_.Errors.empty());
  TDescriptionForm& d = *g.DescriptionForm;
  EXPECT_EQ(Runs(d), runs);
  EXPECT_EQ(d.BackgroundColor(), 0xC0FFC0u);
  EXPECT_TRUE(d.isVisible());
  EXPECT_TRUE(g.SBDescription->isChecked());
  // Converted in memory: no temporary file beside the program.
  EXPECT_FALSE(fs::exists(dir_ / "~tmp.rtf"));

  // An empty field is written as rich text without text and reads back empty;
  // reading a document first hides the window.
  d.SBNewClick();
  d.hide();
  ASSERT_TRUE(g.SaveDocument(path));
  TSolarSystem scene;
  TDocumentState state;
  OpenDocument(path, scene, state, "");
  ASSERT_FALSE(state.Description.empty());
  EXPECT_EQ(state.Description.front().rfind("{\\rtf1", 0), 0u);
  d.Memo->setPlainText("something");
  d.show();
  ASSERT_TRUE(g.OpenDocument(path));
  EXPECT_TRUE(d.Memo->document()->isEmpty());
  EXPECT_FALSE(d.isVisible());
}

TEST_F(DescriptionWindow, OldDocumentWithAndWithoutItsSideFile)
{
  const fs::path doc = dir_ / "old.orb";
  fs::copy_file(SOLLUMEN_TEST_DATA "/documents/doc10.orb", doc);
  TSolarSystemForm& f = Make();
  TDescriptionForm& d = *f.DescriptionForm;
  d.Memo->setPlainText("before");
  ASSERT_TRUE(f.OpenDocument(doc.string()));
  EXPECT_TRUE(d.Memo->document()->isEmpty());
  EXPECT_FALSE(d.isVisible());
  EXPECT_FALSE(f.SBDescription->isChecked());
  // The document's place for the window is taken.
  EXPECT_EQ(d.pos(), QPoint(30, 40));
  EXPECT_EQ(d.size(), QSize(300, 200));

  fs::copy_file(SOLLUMEN_TEST_DATA "/documents/doc10.rtf", dir_ / "old.rtf");
  ASSERT_TRUE(f.OpenDocument(doc.string()));
  EXPECT_EQ(d.Memo->toPlainText().toStdString(), "First line\nS\u00e9cond");
  EXPECT_TRUE(d.isVisible());
  EXPECT_TRUE(f.SBDescription->isChecked());
}

TEST_F(DescriptionWindow, PlaceAndStayOnTopThroughTheSettings)
{
  {
    std::ofstream ini(dir_ / "sl.ini");
    ini << "[DescriptionForm]\nTop=100\nLeft=50\nWidth=400\nHeight=300\nStayOnTop=1\n";
  }
  TSolarSystemForm& f = Make();
  TDescriptionForm& d = *f.DescriptionForm;
  EXPECT_EQ(d.pos(), QPoint(50, 100));
  EXPECT_EQ(d.size(), QSize(400, 300));
  EXPECT_TRUE(d.StayOnTop());
  f.UpdateControls();
  EXPECT_TRUE(f.CBDescriptionStayOnTop->isChecked());
  f.SBDescription->click();
  f.CBDescriptionStayOnTop->click();  // restyling keeps the window up
  EXPECT_FALSE(d.StayOnTop());
  EXPECT_TRUE(d.isVisible());
  EXPECT_TRUE(f.SBDescription->isChecked());
  d.move(70, 120);
  d.resize(350, 250);
  form_.reset();
  const TSettings s = ReadSettingsFile(dir_ / "sl.ini", TSettings(), dir_.string() + "/");
  EXPECT_EQ(s.DescriptionLeft, 70);
  EXPECT_EQ(s.DescriptionTop, 120);
  EXPECT_EQ(s.DescriptionWidth, 350);
  EXPECT_EQ(s.DescriptionHeight, 250);
  EXPECT_FALSE(s.DescriptionStayOnTop);
}

}  // namespace
