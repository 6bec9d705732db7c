// The importer's window: an import of both samples runs on its worker
// thread while the window keeps answering, and ends with the summary; a
// cancelled import leaves the old table as it was. With
// SOLLUMEN_SCREENSHOT_DIR set, pictures of the window during and after an
// import are saved there.
#include "ImportWindow.h"

#include "app/UserPrompts.h"

#include "../bench/SyntheticMpcorb.h"
#include "ScriptedPrompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Bytes(const fs::path& p)
{
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Processes events until the import ends (or 120 s pass); `during` is
// called once after `afterMs` while it still runs.
template <class F>
void RunUntilDone(TImportForm& form, int afterMs, F during)
{
  QElapsedTimer t;
  t.start();
  bool called = false;
  while (form.Running() && t.elapsed() < 120000) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
    if (!called && t.elapsed() > afterMs) {
      called = true;
      during();
    }
  }
  QApplication::processEvents();
}

void Shot(QWidget& w, const char* name)
{
  if (const char* dir = std::getenv("SOLLUMEN_SCREENSHOT_DIR"))
    w.grab().save(QString("%1/%2.png").arg(dir, name));
}

}  // namespace

TEST(ImportWindow, ImportsOnAWorkerAndCancelLeavesTheOldTable)
{
  int argc = 1;
  char name[] = "ImportWindow_test";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  const fs::path dir = fs::temp_directory_path() / ("sollumen-window-" + std::to_string(getpid()));
  fs::create_directories(dir);
  TScriptedPrompts answers;
  answers.ConfirmAnswer = true;
  {
    TImportForm form(dir.string(), answers);
    form.show();
    form.AddInput(SOLLUMEN_SAMPLES "/MPCORB-sample.DAT", TElementFormat::MinorPlanets);
    form.AddInput(SOLLUMEN_SAMPLES "/CometEls-sample.txt", TElementFormat::Comets);
    form.SetTableName("Samples");
    form.StartImport();
    EXPECT_TRUE(form.Running());
    RunUntilDone(form, 1000000, [] {});
    EXPECT_FALSE(form.Running());
    const std::string summary = form.SummaryText();
    EXPECT_NE(summary.find("7097 rows imported, 0 skipped"), std::string::npos) << summary;
    EXPECT_NE(summary.find("1567 rows imported, 2203 skipped"), std::string::npos) << summary;
    EXPECT_NE(summary.find("CometEls-sample.txt line 1: eccentricity 1.000000: no ellipse"),
              std::string::npos);
    EXPECT_NE(summary.find("... and 2103 more lines."), std::string::npos);
    EXPECT_TRUE(answers.Errors.empty());
  }
  const std::string old = Bytes(dir / "Samples.db");
  ASSERT_FALSE(old.empty());

  // A large import into the same table, cancelled half-way.
  const fs::path big = dir / "MPCORB.DAT";
  synthetic::WriteMpcorb(big.string(), 400000, 11);
  {
    TImportForm form(dir.string(), answers);
    form.show();
    form.AddInput(big.string(), TElementFormat::MinorPlanets);
    form.SetTableName("Samples");
    form.SetAppend(false);
    form.StartImport();
    RunUntilDone(form, 700, [&] {
      Shot(form, "import-running");
      form.CancelImport();
    });
    EXPECT_NE(form.SummaryText().find("Import cancelled"), std::string::npos) << form.SummaryText();
    Shot(form, "import-cancelled");
  }
  EXPECT_EQ(Bytes(dir / "Samples.db"), old);
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(dir)) files.push_back(e.path().filename().string());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"MPCORB.DAT", "Samples.db"}));

  // The large file to the end, for the picture of a finished import.
  if (std::getenv("SOLLUMEN_SCREENSHOT_DIR")) {
    TImportForm form(dir.string(), answers);
    form.show();
    form.AddInput(big.string(), TElementFormat::MinorPlanets);
    form.AddInput(SOLLUMEN_SAMPLES "/CometEls-sample.txt", TElementFormat::Comets);
    form.SetTableName("Big");
    form.StartImport();
    RunUntilDone(form, 1500, [&] { Shot(form, "import-progress"); });
    Shot(form, "import-done");
  }
  fs::remove_all(dir);
}
