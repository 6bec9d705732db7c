// The minor-body windows without a display: the browser over a table, the
// data-files dialog, and the main window's Objects tab with its list of
// minor bodies, "Show all objects" and the table in use at start-up.
#include "TableWriter.h"

#include "app/widgets/ColorSwatch.h"
#include "app/mainwindow/SSystemsForm.h"
#include "app/database/CreateIdxForms.h"
#include "app/database/FullListLoader.h"
#include "app/database/SearchDlgs.h"
#include "app/database/SelectObjectForms.h"
#include "app/database/TableFilesDlg.h"
#include "app/database/TableNameDlgs.h"
#include "document/SettingsFile.h"
#include "ScriptedPrompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <fstream>
#include <functional>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// "Show all objects" reads in the background: the window's event loop runs
// until the dots are there.
void WaitForFullList(TSolarSystemForm& f)
{
  for (int i = 0; i < 3000 && f.FullListLoader->Running(); ++i) QTest::qWait(5);
  ASSERT_FALSE(f.FullListLoader->Running());
}

void EnsureApplication()
{
  if (QApplication::instance()) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "MinorBodyWindows_test";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // kept to the end of the process
}

std::vector<TMinorBodyRow> Planets()
{
  return {BeltRow(1, "Ceres", 2.77), BeltRow(2, "Pallas", 2.77, 0.23, 34.8),
          BeltRow(3, "Juno", 2.67, 0.26, 13), BeltRow(4, "Vesta", 2.36, 0.09, 7.1),
          BeltRow(5, "Astraea", 2.5, 0.19, 5.4)};
}

TDateRec Year(int year)
{
  TDateRec r;
  r.Year = year;
  r.Month = 6;
  r.Day = 1;
  return r;
}

// A user who answers Yes to every question.
TScriptedPrompts ConfirmingPrompts()
{
  TScriptedPrompts p;
  p.ConfirmAnswer = true;
  return p;
}

// OK in the browser after `pick` chose rows.
void Pick(TScriptedPrompts& prompts, std::function<void(TSelectObjectForm&)> pick)
{
  prompts.Answers.push_back([pick](QDialog& d) {
    pick(dynamic_cast<TSelectObjectForm&>(d));
    return int(QDialog::Accepted);
  });
}

class MinorBodyTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    EnsureApplication();
    static int counter = 0;
    dir_ = fs::temp_directory_path() /
           ("sollumen-minor-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
    fs::create_directories(dir_);
  }
  void TearDown() override
  {
    form_.reset();
    browser_.reset();
    fs::remove_all(dir_);
  }
  std::string Dir() const { return dir_.string() + "/"; }

  // The browser alone, with the windows it opens.
  TSelectObjectForm& Browser()
  {
    nameDlg_ = std::make_unique<TTableNameDlg>(prompts_);
    searchDlg_ = std::make_unique<TSearchDlg>(prompts_);
    idxForm_ = std::make_unique<TCreateIdxForm>();
    filesDlg_ = std::make_unique<TDataFilesDlg>(prompts_, *nameDlg_, *idxForm_);
    browser_ = std::make_unique<TSelectObjectForm>(prompts_, *filesDlg_, *searchDlg_, *idxForm_);
    return *browser_;
  }
  // The main window on this directory, its default table holding `rows`,
  // at an instant for which minor bodies are shown.
  TSolarSystemForm& Window(const std::vector<TMinorBodyRow>& rows = Planets())
  {
    WriteTable(Dir(), "MPC (10000).db", rows);
    return Start();
  }
  TSolarSystemForm& Start()
  {
    form_.reset();
    TFormOptions o;
    o.ProgramDir = Dir();
    o.Prompts = &prompts_;
    form_ = std::make_unique<TSolarSystemForm>(o);
    form_->SetTime(Year(2020));
    prompts_.Clear();  // a first start misses "last.orb"
    return *form_;
  }

  static std::vector<std::string> GridNames(TSelectObjectForm& b)
  {
    std::vector<std::string> names;
    auto* model = b.DBGrid->model();
    for (int r = 0; r < model->rowCount(); ++r)
      names.push_back(model->index(r, 1).data().toString().toStdString());
    return names;
  }
  static std::vector<std::string> Listed(TSolarSystemForm& f)
  {
    std::vector<std::string> names;
    for (int i = 0; i < f.ObjectsListBox->count(); ++i)
      names.push_back(f.ObjectsListBox->item(i)->text().toStdString());
    return names;
  }

  fs::path dir_;
  TScriptedPrompts prompts_ = ConfirmingPrompts();
  std::unique_ptr<TTableNameDlg> nameDlg_;
  std::unique_ptr<TSearchDlg> searchDlg_;
  std::unique_ptr<TCreateIdxForm> idxForm_;
  std::unique_ptr<TDataFilesDlg> filesDlg_;
  std::unique_ptr<TSelectObjectForm> browser_;
  std::unique_ptr<TSolarSystemForm> form_;
};

using Names = std::vector<std::string>;

// ------------------------------------------------------------ the browser

TEST_F(MinorBodyTest, TitlesSortSearchGoesByNameAndTheCaptionCounts)
{
  WriteTable(Dir(), "T.db", Planets());
  TSelectObjectForm& b = Browser();
  EXPECT_EQ(b.windowTitle().toStdString(), "Objects in current data file");
  b.SetTableLocation(dir_.string(), "T.db");
  b.OpenTable();
  EXPECT_EQ(b.windowTitle().toStdString(), "5 objects in current data file (T.db)");
  EXPECT_EQ(b.DBGrid->model()->headerData(2, Qt::Horizontal).toString(), "Semi major axis");
  EXPECT_EQ(GridNames(b), (Names{"Ceres", "Pallas", "Juno", "Vesta", "Astraea"}));

  b.SetCurrentPosition(2);  // Juno stays current through the sort
  b.DBGridTitleClick(2);
  EXPECT_EQ(b.Table.IndexName(), "IDXA");
  EXPECT_EQ(GridNames(b), (Names{"Vesta", "Astraea", "Juno", "Ceres", "Pallas"}));
  EXPECT_EQ(b.Table.Current().Name, "Juno");
  for (int column : {8, 9}) {  // Reference and Computer keep the order
    b.DBGridTitleClick(column);
    EXPECT_EQ(b.Table.IndexName(), "IDXA");
    EXPECT_EQ(GridNames(b)[0], "Vesta");
  }
  b.DBGridTitleClick(4);
  EXPECT_EQ(GridNames(b), (Names{"Ceres", "Astraea", "Vesta", "Juno", "Pallas"}));

  // A search after a sort by axis leaves the grid sorted by name, on the
  // first name that begins with the text, in any letter case.
  prompts_.Type("pAl");
  b.BSearchClick();
  EXPECT_EQ(b.Table.IndexName(), "IDXNAME");
  EXPECT_EQ(GridNames(b), (Names{"Astraea", "Ceres", "Juno", "Pallas", "Vesta"}));
  EXPECT_EQ(b.Table.Current().Name, "Pallas");
  EXPECT_EQ(b.DBGrid->currentIndex().row(), 3);
  // Cancel changes nothing; the search field starts empty every time.
  prompts_.Answers.push_back([](QDialog& d) {
    EXPECT_TRUE(d.findChild<QLineEdit*>("EName")->text().isEmpty());
    return int(QDialog::Rejected);
  });
  b.BSearchClick();
  EXPECT_EQ(b.Table.Current().Name, "Pallas");
  EXPECT_TRUE(prompts_.Errors.empty());
}

TEST_F(MinorBodyTest, NamesIgnoreLetterCaseInTablesOfThisAndEarlierBuildsAndTitlesReverse)
{
  std::vector<TMinorBodyRow> rows = Planets();
  rows.push_back(BeltRow(6, "hygiea", 3.14));
  const Names byName{"Astraea", "Ceres", "hygiea", "Juno", "Pallas", "Vesta"};
  for (bool earlierBuild : {false, true}) {
    SCOPED_TRACE(earlierBuild ? "earlier build" : "this build");
    WriteTable(Dir(), "T.db", rows);
    if (earlierBuild) {
      // The name index as earlier builds made it: by letter codes.
      sqlite3* db = nullptr;
      ASSERT_EQ(sqlite3_open((Dir() + "T.db").c_str(), &db), SQLITE_OK);
      ExecSql(db, "DROP INDEX IDXNAME; CREATE INDEX IDXNAME ON bodies (\"NAME\", \"A\")");
      sqlite3_close(db);
    }
    TSelectObjectForm& b = Browser();
    b.SetTableLocation(dir_.string(), "T.db");
    b.OpenTable();
    EXPECT_EQ(b.Table.OutdatedIndices().empty(), !earlierBuild);
    QHeaderView* titles = b.DBGrid->horizontalHeader();
    EXPECT_TRUE(titles->isSortIndicatorShown());

    // The first click sorts by name (an earlier table's index is built
    // again first), the second turns the order round, with the arrow.
    b.DBGridTitleClick(1);
    EXPECT_TRUE(b.Table.OutdatedIndices().empty());
    EXPECT_EQ(GridNames(b), byName);
    EXPECT_EQ(titles->sortIndicatorSection(), 1);
    EXPECT_EQ(titles->sortIndicatorOrder(), Qt::AscendingOrder);
    b.DBGridTitleClick(1);
    EXPECT_EQ(GridNames(b), Names(byName.rbegin(), byName.rend()));
    EXPECT_EQ(titles->sortIndicatorOrder(), Qt::DescendingOrder);

    // Any letter case finds the same row, shown where it stands.
    for (const char* text : {"vesta", "VESTA", "Vest", "HYG"}) {
      prompts_.Type(text);
      b.BSearchClick();
      const std::string expected = text[0] == 'H' ? "hygiea" : "Vesta";
      EXPECT_EQ(b.Table.Current().Name, expected) << text;
      EXPECT_EQ(GridNames(b)[size_t(b.DBGrid->currentIndex().row())], expected) << text;
    }
    // No name begins with the text: it says so and the grid stays.
    prompts_.Clear();
    prompts_.Type("Xena");
    b.BSearchClick();
    ASSERT_EQ(prompts_.Messages.size(), 1u);
    EXPECT_NE(prompts_.Messages[0].find("\"Xena\""), std::string::npos);
    EXPECT_EQ(b.Table.Current().Name, "hygiea");
    EXPECT_EQ(GridNames(b), Names(byName.rbegin(), byName.rend()));
    // Another title sorts ascending again.
    b.DBGridTitleClick(0);
    EXPECT_EQ(titles->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(GridNames(b).front(), "Ceres");
    browser_.reset();
  }
}

TEST_F(MinorBodyTest, SelectedRowsMakeBodiesAndEveryShowingStartsWithoutSelection)
{
  WriteTable(Dir(), "T.db", Planets());
  TSelectObjectForm& b = Browser();
  b.SetTableLocation(dir_.string(), "T.db");
  b.OpenTable();
  b.SelectRows(0, 0);
  b.SelectRows(3, 4);
  b.SelectRows(4, 4);  // twice is once
  ASSERT_EQ(b.SelectedCount(), 3);
  Names made;
  for (int i = 0; i < 3; ++i) {
    std::unique_ptr<TAsteroid> body = b.CreateSelectedObject(i);
    ASSERT_TRUE(body);
    EXPECT_EQ(body->BodyNumber, 11);
    EXPECT_EQ(body->Color, DefaultObjectColors[11]);
    made.push_back(body->Name);
    if (body->Name == "Astraea") {  // a = 2.5, M = 10, NW = 150
      EXPECT_NEAR(double(body->Elements.DailyMotion), 0.9856262 / (2.5 * std::sqrt(2.5)), 1e-15);
      EXPECT_NEAR(double(body->Elements.DailyMotion), 0.249346, 1e-6);
      EXPECT_DOUBLE_EQ(double(body->Elements.MeanLon), 160);
    }
  }
  EXPECT_EQ(made, (Names{"Ceres", "Vesta", "Astraea"}));

  // The next showing starts with nothing selected: OK gives the current row.
  b.SetCurrentPosition(2);
  prompts_.Answers.push_back([](QDialog& d) {
    EXPECT_EQ(dynamic_cast<TSelectObjectForm&>(d).SelectedCount(), 0);
    return int(QDialog::Accepted);
  });
  ASSERT_TRUE(b.Execute());
  EXPECT_EQ(b.SelectedCount(), 0);
  EXPECT_EQ(b.CreateCurrentObject()->Name, "Juno");

  // Select all is one range, not a list of rows.
  b.DBGrid->selectAll();
  EXPECT_EQ(b.SelectedRanges().size(), 1u);
  EXPECT_EQ(b.SelectedCount(), 5);

  b.Table.Close();
  EXPECT_FALSE(b.CreateCurrentObject());
  EXPECT_FALSE(b.CreateSelectedObject(0));
}

TEST_F(MinorBodyTest, SortingATableWithoutIndicesBuildsThemFirst)
{
  WriteTable(Dir(), "Bare.db", Planets(), false);
  TSelectObjectForm& b = Browser();
  b.SetTableLocation(dir_.string(), "Bare.db");
  b.OpenTable();
  EXPECT_TRUE(b.Table.IndexDefs().empty());
  b.DBGridTitleClick(1);
  EXPECT_EQ(b.Table.IndexDefs().size(), 7u);
  EXPECT_EQ(idxForm_->ProgressBar->value(), 100);
  EXPECT_FALSE(idxForm_->isVisible());
  EXPECT_TRUE(b.Table.Active());
  EXPECT_EQ(GridNames(b), (Names{"Astraea", "Ceres", "Juno", "Pallas", "Vesta"}));
}

// --------------------------------------------------- the data-files dialog

TEST_F(MinorBodyTest, DataFilesDialogCreatesRebuildsAndDeletes)
{
  WriteTable(Dir(), "T.db", Planets());
  std::ofstream(dir_ / "foreign.db") << "not a table";
  Browser();
  TDataFilesDlg& d = *filesDlg_;
  std::string started, argument;
  d.StartProgram = [&](const std::string& p, const std::string& a) { started = p, argument = a; };
  auto listed = [&d] {
    Names names;
    for (int i = 0; i < d.TablesListBox->count(); ++i)
      names.push_back(d.TablesListBox->item(i)->text().toStdString());
    return names;
  };
  auto buttons = [&d] {
    return std::vector<bool>{d.OKBtn->isEnabled(), d.BDeleteTable->isEnabled(),
                             d.BRebuildIndx->isEnabled()};
  };

  // The browser's table no longer exists: nothing selected, OK disabled.
  d.SetDatabasePath(dir_.string());
  d.SelectTable("gone.db");
  EXPECT_EQ(listed(), (Names{"T.db"}));
  EXPECT_EQ(buttons(), std::vector<bool>(3, false));

  prompts_.Type("   ");  // a blank name creates nothing
  d.BNewTableClick();
  // A refused name says which characters a name may hold, as the dialog
  // itself does.
  prompts_.Type("a/b");
  d.BNewTableClick();
  ASSERT_EQ(prompts_.Errors.size(), 1u);
  EXPECT_NE(prompts_.Errors[0].find("\"a/b\""), std::string::npos);
  EXPECT_NE(prompts_.Errors[0].find(TableNameRule), std::string::npos);
  EXPECT_EQ(nameDlg_->LRule->text().toStdString(), TableNameRule);
  EXPECT_EQ(listed(), (Names{"T.db"}));
  prompts_.Clear();
  prompts_.Type(" Test ");
  d.BNewTableClick();
  EXPECT_EQ(listed(), (Names{"T.db", "Test.db"}));
  EXPECT_EQ(d.TableName, "Test.db");
  EXPECT_EQ(d.TablesListBox->currentItem()->text(), "Test.db");
  EXPECT_EQ(buttons(), std::vector<bool>(3, true));
  EXPECT_TRUE(prompts_.Questions.empty());

  // A name taken asks before the table is replaced.
  prompts_.ConfirmAnswer = false;
  WriteTable(Dir(), "Test.db", Planets());
  prompts_.Type("Test");
  d.BNewTableClick();
  ASSERT_EQ(prompts_.Questions.size(), 1u);
  TTable t;
  t.SetDatabaseName(dir_.string());
  t.SetTableName("Test.db");
  t.Open();
  EXPECT_EQ(t.RecordCount(), 5);
  t.Close();

  // Rebuilding a complete table adds nothing and runs the bar to 100.
  d.BRebuildIndxClick();
  EXPECT_EQ(idxForm_->ProgressBar->value(), 100);
  t.Open();
  EXPECT_EQ(t.IndexDefs().size(), 7u);
  t.Close();

  prompts_.ConfirmAnswer = true;
  d.BDeleteTableClick();
  EXPECT_EQ(prompts_.Questions.back(), "Are you sure you want to delete the table 'Test.db'?");
  EXPECT_FALSE(fs::exists(dir_ / "Test.db"));
  EXPECT_EQ(listed(), (Names{"T.db"}));
  EXPECT_EQ(d.TablesListBox->selectedItems().size(), 0);
  EXPECT_EQ(buttons(), std::vector<bool>(3, false));

  d.BImportClick();
  EXPECT_EQ(fs::path(started).filename(), "tessaloader");
  EXPECT_EQ(argument, dir_.string());

  // Another directory; a cancelled chooser keeps the list.
  fs::create_directories(dir_ / "other");
  prompts_.DirectoryAnswer = (dir_ / "other").string();
  d.BDatabasePathClick();
  EXPECT_TRUE(listed().empty());
  prompts_.DirectoryAnswer.clear();
  d.BDatabasePathClick();
  EXPECT_EQ(d.DatabasePath, (dir_ / "other").string());
  EXPECT_TRUE(prompts_.Errors.empty());
}

// ----------------------------------------------------------- Objects tab

TEST_F(MinorBodyTest, DuplicateNamesAreNumberedAndRemovalTakesEveryBodyOfTheName)
{
  TSolarSystemForm& f = Window();
  ASSERT_TRUE(prompts_.Errors.empty());
  auto ceres = [](TSelectObjectForm& b) { b.SetCurrentPosition(0); };
  Pick(prompts_, ceres);
  f.SBAddObjectClick();
  EXPECT_TRUE(prompts_.Questions.empty());
  Pick(prompts_, ceres);
  f.SBAddObjectClick();
  Pick(prompts_, ceres);
  f.SBAddObjectClick();
  EXPECT_EQ(Listed(f), (Names{"Ceres", "Ceres (1)", "Ceres (2)"}));
  ASSERT_EQ(prompts_.Questions.size(), 2u);
  EXPECT_EQ(prompts_.Questions[1],
            "The list includes always an object named 'Ceres'.\rDo you wish do add the new "
            "object as 'Ceres (2)' ?");
  prompts_.ConfirmAnswer = false;
  Pick(prompts_, ceres);
  f.SBAddObjectClick();
  EXPECT_EQ(f.SolarSystem().AsteroidsList().Count(), 3);
  EXPECT_EQ(f.GBOtherObjects->title().toStdString(), "&Other objects (3)");
  EXPECT_EQ(f.ObjectsListBox->currentRow(), 2);  // the last entry

  // Two bodies of one name (as a document may hold) go together; the
  // Delete key removes, the Insert key opens the browser.
  f.SolarSystem().AsteroidsList().Items(0)->Name = "Ceres (1)";
  f.UpdateControls();
  f.ObjectsListBox->setCurrentRow(1);
  QTest::keyClick(f.ObjectsListBox, Qt::Key_Delete);
  EXPECT_EQ(Listed(f), (Names{"Ceres (2)"}));
  EXPECT_EQ(f.ObjectsListBox->currentRow(), 0);
  const int modals = prompts_.Modals;
  QTest::keyClick(f.ObjectsListBox, Qt::Key_Insert);
  EXPECT_EQ(prompts_.Modals, modals + 1);
  f.SBClearObjectsClick();
  EXPECT_EQ(f.GBOtherObjects->title().toStdString(), "&Other objects");
  EXPECT_EQ(f.SolarSystem().AsteroidsList().Count(), 0);
}

TEST_F(MinorBodyTest, ButtonRulesFollowTheDateTheListAndTheTable)
{
  TSolarSystemForm& f = Window();
  auto enabled = [&f] {
    return std::vector<bool>{f.ObjectsListBox->isEnabled(), f.SBAddObject->isEnabled(),
                             f.ShAsteroids->isEnabled(),    f.SBDatabase->isEnabled(),
                             f.SBRemoveObject->isEnabled(), f.SBClearObjects->isEnabled(),
                             f.SBAllObjects->isEnabled()};
  };
  EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true, false, false, true}));
  Pick(prompts_, [](TSelectObjectForm& b) { b.SelectRows(1, 2); });
  f.SBAddObjectClick();
  EXPECT_EQ(Listed(f), (Names{"Pallas", "Juno"}));
  EXPECT_EQ(enabled(), std::vector<bool>(7, true));
  f.SetTime(Year(2051));
  EXPECT_EQ(enabled(), std::vector<bool>(7, false));
  EXPECT_EQ(f.SolarSystem().AsteroidsList().Count(), 2);  // kept
  f.SetTime(Year(2020));
  // A table that cannot be opened leaves "Show all objects" disabled.
  EXPECT_THROW(f.OpenMinorBodyTable(dir_.string(), "missing.db"), ETableError);
  EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true, true, true, false}));
  EXPECT_EQ(f.TableName, "missing.db");
}

TEST_F(MinorBodyTest, DataFileSwitchesTheTableAndOpensTheBrowserOnIt)
{
  WriteTable(Dir(), "Bare.db", Planets(), false);
  TSolarSystemForm& f = Window();
  auto select = [](TDataFilesDlg& d, const char* name) {
    d.TablesListBox->setCurrentItem(d.TablesListBox->findItems(name, Qt::MatchExactly).at(0));
  };
  prompts_.Answers.push_back([&](QDialog& dialog) {
    auto& d = dynamic_cast<TDataFilesDlg&>(dialog);
    EXPECT_EQ(d.TablesListBox->currentItem()->text(), "MPC (10000).db");
    d.BRebuildIndxClick();  // the table the browser holds open
    select(d, "Bare.db");
    d.BRebuildIndxClick();
    return int(QDialog::Accepted);
  });
  Pick(prompts_, [](TSelectObjectForm& b) {
    EXPECT_EQ(b.Table.TableName(), "Bare.db");
    b.SetCurrentPosition(3);
  });
  f.SBDatabaseClick();
  EXPECT_TRUE(prompts_.Errors.empty()) << prompts_.Errors[0];
  EXPECT_EQ(f.TableName, "Bare.db");
  EXPECT_EQ(f.SelectObjectForm->Table.IndexDefs().size(), 7u);
  EXPECT_EQ(Listed(f), (Names{"Vesta"}));
}

TEST_F(MinorBodyTest, NoneLeavesTheSunAndCancelStillAppliesTheSwatchColour)
{
  TSolarSystemForm& f = Window();
  f.SBSelAllNoneClick(1);
  TSolarSystem& s = f.SolarSystem();
  for (int i = 0; i < 9; ++i) EXPECT_FALSE(s.Planet(i)->Visible);
  EXPECT_FALSE(s.ShowSatellites);
  EXPECT_FALSE(s.ShowSpacecrafts);
  EXPECT_TRUE(s.ShowSun);
  EXPECT_TRUE(f.CBSun->isChecked());
  EXPECT_FALSE(f.CBJupiter->isChecked());
  f.SBSelAllNoneClick(0);
  EXPECT_TRUE(s.Planet(4)->Visible && f.CBJupiter->isChecked());

  const TColor swatch = f.ShAsteroids->Color();
  s.SetObjectColor(11, 0x123456);
  f.SBAddObjectClick();  // Cancel
  EXPECT_EQ(s.GetObjectColor(11), swatch);
}

TEST_F(MinorBodyTest, AddRefusesHugeSelectionsAndSkipsRowsWithoutEllipse)
{
  std::vector<TMinorBodyRow> rows = Planets();
  TMinorBodyRow hyperbolic = BeltRow(0, "Hyper", -3.0, 1.2);  // first by NO
  rows.insert(rows.begin(), hyperbolic);
  for (int no = 7; no <= TSolarSystemForm::MaxAddedObjects + 1; ++no)
    rows.push_back(BeltRow(no, std::string("B").append(std::to_string(no)), 3));
  TSolarSystemForm& f = Window(rows);

  Pick(prompts_, [](TSelectObjectForm& b) { b.DBGrid->selectAll(); });
  f.SBAddObjectClick();
  ASSERT_EQ(prompts_.Messages.size(), 1u);
  EXPECT_NE(prompts_.Messages[0].find("\"Show all objects\""), std::string::npos);
  EXPECT_EQ(f.SolarSystem().AsteroidsList().Count(), 0);

  Pick(prompts_, [](TSelectObjectForm& b) { b.SelectRows(0, 2); });
  f.SBAddObjectClick();
  EXPECT_EQ(Listed(f), (Names{"Ceres", "Pallas"}));
  ASSERT_EQ(prompts_.Errors.size(), 1u);
  EXPECT_NE(prompts_.Errors[0].find("Hyper"), std::string::npos);

  // "Show all objects" fills the full list from every row with an ellipse.
  prompts_.Clear();
  f.SBAllObjects->click();
  WaitForFullList(f);
  EXPECT_EQ(f.SolarSystem().AsteroidsFullList().Count(), int(rows.size()) - 1);
  EXPECT_EQ(prompts_.Messages.size(), 1u);
  EXPECT_EQ(f.ObjectsListBox->count(), 2);  // never listed
  // A document keeps the state, and reading it fills the list again.
  const std::string doc = Dir() + "all.orb";
  ASSERT_TRUE(f.SaveDocument(doc));
  f.SBAllObjects->click();
  EXPECT_EQ(f.SolarSystem().AsteroidsFullList().Count(), 0);
  ASSERT_TRUE(f.OpenDocument(doc));
  EXPECT_TRUE(f.SBAllObjects->isChecked());
  WaitForFullList(f);
  EXPECT_EQ(f.SolarSystem().AsteroidsFullList().Count(), int(rows.size()) - 1);
}

TEST_F(MinorBodyTest, ShowAllObjectsFillsInTheBackgroundAndASecondPressCancels)
{
  std::vector<TMinorBodyRow> rows;
  for (int i = 1; i <= 20000; ++i)
    rows.push_back(BeltRow(i, "B" + std::to_string(i), 2.0 + (i % 100) * 0.01));
  TSolarSystemForm& f = Window(rows);
  int ticksWhileReading = 0;
  QTimer timer;
  timer.setInterval(5);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (f.FullListLoader->Running()) ++ticksWhileReading;
  });
  timer.start();

  // The press returns at once, with the progress shown; the window's loop
  // goes on answering until the dots are there.
  f.SBAllObjects->click();
  EXPECT_TRUE(f.FullListLoader->Running());
  EXPECT_EQ(f.SolarSystem().AsteroidsFullList().Count(), 0);
  ASSERT_NE(f.ProgressBar, nullptr);
  EXPECT_FALSE(f.ProgressBar->isHidden());
  WaitForFullList(f);
  EXPECT_GE(ticksWhileReading, 3);
  EXPECT_EQ(f.SolarSystem().AsteroidsFullList().Count(), 20000);
  EXPECT_TRUE(f.ProgressBar->isHidden());

  // A second press while the rows are read cancels: nothing arrives later.
  f.SBAllObjects->click();
  EXPECT_EQ(f.SolarSystem().AsteroidsFullList().Count(), 0);
  f.SBAllObjects->click();
  ASSERT_TRUE(f.FullListLoader->Running());
  f.SBAllObjects->click();
  EXPECT_FALSE(f.SBAllObjects->isChecked());
  EXPECT_FALSE(f.FullListLoader->Running());
  QTest::qWait(200);
  EXPECT_EQ(f.SolarSystem().AsteroidsFullList().Count(), 0);
  EXPECT_TRUE(f.ProgressBar->isHidden());
  EXPECT_TRUE(prompts_.Notices.empty());
}

TEST_F(MinorBodyTest, OldDocumentsSwitchTheTableAndCurrentOnesLeaveIt)
{
  TSolarSystemForm& f = Window();
  for (const char* name : {"doc16.orb", "doc17.orb"})
    fs::copy_file(fs::path(SOLLUMEN_TEST_DATA) / "documents" / name, dir_ / name);
  prompts_.ConfirmAnswer = false;  // no conversion
  // A 1.7 document naming another table leaves the table in use.
  ASSERT_TRUE(f.OpenDocument(Dir() + "doc17.orb"));
  EXPECT_TRUE(f.SelectObjectForm->Table.Active());
  EXPECT_EQ(f.TableName, "MPC (10000).db");
  // A 1.6 document switches to its table; one that cannot be opened
  // leaves both names empty, without a message.
  prompts_.Clear();
  ASSERT_TRUE(f.OpenDocument(Dir() + "doc16.orb"));
  EXPECT_FALSE(f.SelectObjectForm->Table.Active());
  EXPECT_EQ(f.TablePath, "");
  EXPECT_EQ(f.TableName, "");
  EXPECT_TRUE(prompts_.Errors.empty());
  EXPECT_FALSE(f.SBAllObjects->isEnabled());
}

// ---------------------------------------------------- start-up and exit

TEST_F(MinorBodyTest, SettingsPathThatIsGoneFallsBackToTheProgramDirectory)
{
  WriteTable(Dir(), "Mine.db", Planets());
  TSettings s;
  s.DatabasePath = Dir() + "gone";
  s.DatabaseTable = "Mine.db";
  WriteSettingsFile(Dir() + "sl.ini", s);
  TSolarSystemForm& f = Start();
  EXPECT_TRUE(f.SelectObjectForm->Table.Active());
  EXPECT_EQ(fs::path(f.TablePath), fs::path(Dir()));
  EXPECT_EQ(f.TableName, "Mine.db");
  form_.reset();  // the exit writes the table back
  const TSettings back = ReadSettingsFile(Dir() + "sl.ini", TSettings(), Dir());
  EXPECT_EQ(back.DatabaseTable, "Mine.db");
}

TEST_F(MinorBodyTest, StartUpWithADamagedTableStillReadsTheLastState)
{
  {
    TSolarSystemForm& f = Window();
    f.SetTime(Year(1999));
    form_.reset();  // writes "last.orb"
  }
  std::ofstream(dir_ / "MPC (10000).db", std::ios::trunc) << "damaged beyond repair";
  prompts_.Clear();
  form_.reset();
  TFormOptions o;
  o.ProgramDir = Dir();
  o.Prompts = &prompts_;
  form_ = std::make_unique<TSolarSystemForm>(o);
  TSolarSystemForm& f = *form_;
  ASSERT_EQ(prompts_.Errors.size(), 1u);  // the engine's message, once
  EXPECT_EQ(f.CurrentTime.Year, 1999);    // "last.orb" was read
  EXPECT_FALSE(f.SelectObjectForm->Table.Active());
  EXPECT_TRUE(f.WillSaveLastDocument());
  form_.reset();
  TSolarSystem scene;
  TDocumentState state;
  OpenDocument(Dir() + "last.orb", scene, state, Dir());
  EXPECT_EQ(scene.DateTime().Year, 1999);  // not overwritten with defaults
}

}  // namespace
