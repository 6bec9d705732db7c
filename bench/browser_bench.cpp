// The minor-body browser and "Show all objects" on a table of 1.4 million
// rows: opening with the first rows drawn, a column sort (the first time per
// index and afterwards), a name search, a screenful at a random position,
// filling the full list, and one animation tick with the whole table shown.
#include "SyntheticTable.h"

#include "app/widgets/PaintBox.h"
#include "app/mainwindow/SSystemsForm.h"
#include "app/database/CreateIdxForms.h"
#include "app/database/FullListLoader.h"
#include "database/FullList.h"
#include "database/MinorBodyTable.h"
#include "app/database/SearchDlgs.h"
#include "app/database/SelectObjectForms.h"
#include "app/database/TableFilesDlg.h"
#include "app/database/TableNameDlgs.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace {

class TBenchPrompts : public TUserPrompts {
public:
  void Error(QWidget*, const std::string& text) override { LastError = text; }
  void Message(QWidget*, const std::string&) override {}
  bool Confirm(QWidget*, const std::string&) override { return false; }
  std::string OpenDocumentName(QWidget*, const std::string&, const std::string&) override
  {
    return {};
  }
  std::string SaveDocumentName(QWidget*, const std::string&, const std::string&) override
  {
    return {};
  }
  bool ChooseColor(QWidget*, TColor&) override { return false; }
  // The search dialog answers with SearchText.
  bool RunDialog(QDialog& dialog) override
  {
    if (auto* e = dialog.findChild<QLineEdit*>("EName")) e->setText(QString::fromStdString(SearchText));
    return true;
  }
  std::string SearchText;
  std::string LastError;
};

void EnsureApplication()
{
  if (QApplication::instance()) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "browser_bench";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // kept to the end of the process
}

// The browser with the windows it opens, shown, over the synthetic table.
struct TBrowser {
  TBenchPrompts Prompts;
  TTableNameDlg NameDlg{Prompts};
  TSearchDlg SearchDlg{Prompts};
  TCreateIdxForm IdxForm;
  TDataFilesDlg FilesDlg{Prompts, NameDlg, IdxForm};
  TSelectObjectForm Form{Prompts, FilesDlg, SearchDlg, IdxForm};

  TBrowser()
  {
    Form.show();
    QApplication::processEvents();
  }
  void Open()
  {
    Form.SetTableLocation(SyntheticTableDir(), SyntheticTableName);
    Form.OpenTable();
  }
  // Draws the rows on screen, as the next paint would.
  void Draw() { benchmark::DoNotOptimize(Form.DBGrid->viewport()->grab()); }
};

void BM_BrowserOpen(benchmark::State& state)
{
  EnsureApplication();
  SyntheticTableDir();
  TBrowser b;
  for (auto _ : state) {
    b.Open();
    b.Draw();
  }
  state.counters["rows"] = double(b.Form.Table.RecordCount());
}
BENCHMARK(BM_BrowserOpen)->Unit(benchmark::kMillisecond)->Iterations(5);

// column: 1 name, 2 axis, ..., 7 hazardous flag; the table opened afresh
// before each sort, so every sort is the first on its index.
void BM_BrowserSortFirst(benchmark::State& state)
{
  EnsureApplication();
  TBrowser b;
  for (auto _ : state) {
    state.PauseTiming();
    b.Open();
    state.ResumeTiming();
    b.Form.DBGridTitleClick(static_cast<int>(state.range(0)));
    b.Draw();
  }
}
BENCHMARK(BM_BrowserSortFirst)->DenseRange(1, 7)->Unit(benchmark::kMillisecond)->Iterations(3);

// Between two indices already read once.
void BM_BrowserSortAgain(benchmark::State& state)
{
  EnsureApplication();
  TBrowser b;
  b.Open();
  b.Form.DBGridTitleClick(2);
  b.Form.DBGridTitleClick(1);
  int column = 2;
  for (auto _ : state) {
    b.Form.DBGridTitleClick(column);
    b.Draw();
    column = 3 - column;
  }
}
BENCHMARK(BM_BrowserSortAgain)->Unit(benchmark::kMillisecond);

// A name search after a sort by axis, the name order read once before.
void BM_BrowserSearch(benchmark::State& state)
{
  EnsureApplication();
  TBrowser b;
  b.Open();
  b.Form.DBGridTitleClick(1);
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> letter(0, 25);
  for (auto _ : state) {
    state.PauseTiming();
    b.Form.DBGridTitleClick(2);
    b.Prompts.SearchText = {char('A' + letter(rng)), char('a' + letter(rng)), char('a' + letter(rng))};
    state.ResumeTiming();
    b.Form.BSearchClick();
    b.Draw();
  }
}
BENCHMARK(BM_BrowserSearch)->Unit(benchmark::kMillisecond);

// A screenful at a random position, sorted by name.
void BM_BrowserScroll(benchmark::State& state)
{
  EnsureApplication();
  TBrowser b;
  b.Open();
  b.Form.DBGridTitleClick(1);
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> row(0, static_cast<int>(b.Form.Table.RecordCount()) - 1);
  QAbstractItemModel* model = b.Form.DBGrid->model();
  for (auto _ : state) {
    b.Form.DBGrid->scrollTo(model->index(row(rng), 0), QAbstractItemView::PositionAtTop);
    b.Draw();
  }
}
BENCHMARK(BM_BrowserScroll)->Unit(benchmark::kMillisecond);

// The main window on the synthetic table, shown.
struct TWindow {
  TBenchPrompts Prompts;
  std::filesystem::path Dir =
      std::filesystem::temp_directory_path() / ("sollumen-bench-" + std::to_string(getpid()));
  std::unique_ptr<TSolarSystemForm> Form;

  TWindow()
  {
    std::filesystem::create_directories(Dir);
    TFormOptions options;
    options.ProgramDir = Dir.string() + "/";
    options.Prompts = &Prompts;
    Form = std::make_unique<TSolarSystemForm>(options);
    Form->show();
    QApplication::processEvents();
    Form->SetTime(JDToDateRec(0, 2460676.5L));
    Form->OpenMinorBodyTable(SyntheticTableDir(), SyntheticTableName);
  }
  ~TWindow()
  {
    Form.reset();
    std::filesystem::remove_all(Dir);
  }
  // Presses "Show all objects" and, when on, runs the window's event loop
  // until the rows read in the background are shown; the longest time the
  // loop was kept from a 10 ms timer meanwhile, in milliseconds.
  double ShowAll(bool on)
  {
    Form->SBAllObjects->setChecked(on);
    QElapsedTimer clock;
    clock.start();
    double longest = 0;
    qint64 last = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
      const qint64 now = clock.nsecsElapsed();
      longest = std::max(longest, (now - last) / 1e6);
      last = now;
    });
    ticker.start();
    Form->SBAllObjectsClick();
    // The window's own event loop, idle between events as in use.
    QEventLoop loop;
    QTimer done;
    done.setInterval(5);
    QObject::connect(&done, &QTimer::timeout, [&] {
      if (!Form->FullListLoader->Running()) loop.quit();
    });
    done.start();
    loop.exec();
    const qint64 now = clock.nsecsElapsed();
    return std::max(longest, (now - last) / 1e6);
  }
};

// The whole fill, from the press to the dots shown, with the longest gap
// of the window's event loop meanwhile (the press itself included).
void BM_ShowAllObjects(benchmark::State& state)
{
  EnsureApplication();
  TWindow w;
  double longest = 0;
  for (auto _ : state) longest = std::max(longest, w.ShowAll(true));
  state.counters["bodies"] = w.Form->SolarSystem().AsteroidsFullList().Count();
  state.counters["longest_loop_gap_ms"] = longest;
}
BENCHMARK(BM_ShowAllObjects)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The same rows read straight on the calling thread, as the window did it
// before the fill moved to a thread of its own: the fill time side by side.
void BM_FillOnTheWindowThread(benchmark::State& state)
{
  EnsureApplication();
  TWindow w;
  TTable& table = w.Form->SelectObjectForm->Table;
  for (auto _ : state) {
    TDotBodyList list;
    FillFullList(table, list, 0x808080);
    list.CalculateAll(w.Form->SolarSystem().JD());
    benchmark::DoNotOptimize(list.Count());
  }
}
BENCHMARK(BM_FillOnTheWindowThread)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// One tick of the animation clock with the whole table shown: the step
// (recomputing every body) and the repaint.
void BM_TickWithAllObjects(benchmark::State& state)
{
  EnsureApplication();
  TWindow w;
  w.ShowAll(true);
  for (auto _ : state) {
    w.Form->SBDateUpDownUpClick();
    w.Form->PaintBox->repaint();
  }
  state.counters["bodies"] = w.Form->SolarSystem().AsteroidsFullList().Count();
}
BENCHMARK(BM_TickWithAllObjects)->Unit(benchmark::kMillisecond);

}  // namespace
