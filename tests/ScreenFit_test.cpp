// Every window opens whole on the screen it belongs to: run once on a
// 1366 x 768 laptop screen and once on a 1920 x 1080 screen at scale 2
// (960 x 540 of Qt's pixels), both without a display.
#include "app/database/CreateIdxForms.h"
#include "app/database/SearchDlgs.h"
#include "app/database/TableNameDlgs.h"
#include "app/dialogs/DirectionDlgs.h"
#include "app/dialogs/DirectionsDlgs.h"
#include "app/dialogs/DescriptionForms.h"
#include "app/mainwindow/InfoBoxes.h"
#include "app/mainwindow/SSystemsForm.h"
#include "app/monitor/MonitorForms.h"
#include "app/widgets/ScreenFit.h"
#include "database/MinorBodyTable.h"
#include "ScriptedPrompts.h"

#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void EnsureApplication()
{
  if (QApplication::instance()) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "ScreenFit_test";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

QRect Available() { return QApplication::primaryScreen()->availableGeometry(); }

// The window shown, with its frame, inside the screen's available area.
void ExpectWhole(QWidget* w)
{
  if (!w->isVisible()) w->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w)) << w->objectName().toStdString();
  const QRect frame = w->frameGeometry();
  EXPECT_TRUE(Available().contains(frame))
      << w->objectName().toStdString() << " at " << frame.x() << "," << frame.y() << " "
      << frame.width() << "x" << frame.height() << " on " << Available().width() << "x"
      << Available().height();
}

class ScreenFit : public ::testing::Test {
protected:
  void SetUp() override
  {
    EnsureApplication();
    static int counter = 0;
    dir_ = fs::temp_directory_path() /
           ("sollumen-fit-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
    fs::create_directories(dir_);
    CreateTable(dir_.string(), "MPC (10000).db");
  }
  void TearDown() override
  {
    form_.reset();
    fs::remove_all(dir_);
  }
  TSolarSystemForm& Make()
  {
    TFormOptions o;
    o.ProgramDir = dir_.string() + "/";
    o.Prompts = &prompts_;
    form_ = std::make_unique<TSolarSystemForm>(o);
    return *form_;
  }
  void Settings(const std::string& text) { std::ofstream(dir_ / "sl.ini") << text; }

  fs::path dir_;
  TScriptedPrompts prompts_;
  std::unique_ptr<TSolarSystemForm> form_;
};

TEST_F(ScreenFit, ThePlaceArithmetic)
{
  const QRect screen(0, 0, 1366, 740);
  // What fits stays; what hangs over an edge moves in; what is too large
  // shrinks, but not below its minimum; the top left corner wins.
  EXPECT_EQ(FitInside(QRect(10, 10, 700, 500), screen), QRect(10, 10, 700, 500));
  EXPECT_EQ(FitInside(QRect(508, 260, 752, 665), screen), QRect(508, 75, 752, 665));
  EXPECT_EQ(FitInside(QRect(-3000, 5000, 300, 400), screen), QRect(0, 340, 300, 400));
  EXPECT_EQ(FitInside(QRect(100, 100, 3000, 2000), screen), QRect(0, 0, 1366, 740));
  EXPECT_EQ(FitInside(QRect(100, 100, 3000, 2000), screen, QSize(1400, 600)),
            QRect(0, 0, 1400, 740));
}

TEST_F(ScreenFit, EveryWindowOpensWholeOnTheScreen)
{
  SCOPED_TRACE("screen " + std::to_string(Available().width()) + "x" +
                std::to_string(Available().height()));
  TInfoBox splash;
  splash.ShowNow();
  ExpectWhole(&splash);
  splash.hide();

  // The first start: the design places of the main window (744 x 631 at
  // 508, 260) and of the monitor (891, 478) hang over the bottom.
  TSolarSystemForm& f = Make();
  ExpectWhole(&f);
  ExpectWhole(f.MonitorForm);
  ExpectWhole(f.DescriptionForm);
  // The minimum size fits the screen too, so that the user may shrink the
  // window to fit beside others.
  EXPECT_LE(f.minimumWidth() + 8, Available().width());
  EXPECT_LE(f.minimumHeight() + 34, Available().height());
  // A taller layout of the monitor keeps it on the screen.
  f.MonitorForm->SelectObject("Titan (S VI)");
  f.MonitorForm->SelectObject("Mars");
  ExpectWhole(f.MonitorForm);

  // The dialogs, through the program's own ways of opening them.
  int checked = 0;
  auto check = [&](QDialog& d) {
    ExpectWhole(&d);
    d.hide();
    ++checked;
    return int(QDialog::Rejected);
  };
  for (int i = 0; i < 4; ++i) prompts_.Answers.push_back(check);
  f.SBAddObjectClick();      // the browser
  f.SBDatabaseClick();       // the data files
  f.ActPrintExecute();       // printing
  f.ActSaveAsBitmapExecute();
  EXPECT_EQ(checked, 4);
  // Those that run on their own.
  auto checkModal = [&] {
    QTimer::singleShot(0, [&] {
      if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        ExpectWhole(d);
        ++checked;
        d->reject();
      }
    });
  };
  checkModal();
  f.ActAboutExecute();
  checkModal();
  f.SBLinesClick();
  checkModal();
  f.SBShowSatellitesClick();
  checkModal();
  f.SBShowSpacecraftsClick();
  EXPECT_EQ(checked, 8);
  for (QWidget* w : {static_cast<QWidget*>(f.SearchDlg), static_cast<QWidget*>(f.TableNameDlg),
                     static_cast<QWidget*>(f.CreateIdxForm),
                     static_cast<QWidget*>(f.DirectionsDlg->DirectionDlg)}) {
    ExpectWhole(w);
    w->hide();
  }
}

TEST_F(ScreenFit, RememberedPlacesAreBroughtBackOrKept)
{
  // A monitor that was on a screen since unplugged, a main window larger
  // than this screen: both come back whole.
  Settings("[MainForm]\nLeft=4000\nTop=3000\nWidth=3000\nHeight=2000\n"
           "[MonitorForm]\nLeft=-2500\nTop=4000\n"
           "[DescriptionForm]\nLeft=3000\nTop=-900\nWidth=335\nHeight=292\n");
  {
    TSolarSystemForm& f = Make();
    ExpectWhole(&f);
    ExpectWhole(f.MonitorForm);
    ExpectWhole(f.DescriptionForm);
    EXPECT_EQ(f.DescriptionForm->size(), QSize(335, 292));
  }
  form_.reset();
  // A place that fits is left exactly as it was.
  Settings("[MainForm]\nLeft=20\nTop=10\nWidth=700\nHeight=480\n"
           "[MonitorForm]\nLeft=30\nTop=40\n");
  TSolarSystemForm& f = Make();
  EXPECT_EQ(f.pos(), QPoint(20, 10));
  // (Not below the minimum size, 550 high where the screen has room.)
  EXPECT_EQ(f.size(), QSize(700, std::max(480, f.minimumHeight())));
  EXPECT_EQ(f.MonitorForm->pos(), QPoint(30, 40));
}

}  // namespace
