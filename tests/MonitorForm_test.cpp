// The monitor window beside the main window, without a display: its
// heights per kind, the fallback to Earth when its body is gone, the
// locale's decimal separator, "Show", the main window's button and check
// box, and its state in documents and the settings.
#include "app/mainwindow/SSystemsForm.h"
#include "app/monitor/MonitorForms.h"
#include "app/mainwindow/ViewScale.h"
#include "database/MinorBodyTable.h"
#include "ScriptedPrompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLocale>
#include <QSlider>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void EnsureApplication()
{
  if (QApplication::instance()) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "MonitorForm_test";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

TDateRec Year(int year)
{
  TDateRec r;
  r.Year = year;
  r.Month = 1;
  r.Day = 1;
  return r;
}

TOrbitElements VestaLike()
{
  TOrbitElements el;
  el.EpochJD = 2451545;
  el.Incl = 7.1;
  el.NodeLon = 103.8;
  el.PeriLon = 253.3;
  el.AxisAU = 2.36;
  el.DailyMotion = 0.2716;
  el.Ecc = 0.089;
  el.MeanLon = 40;
  return el;
}

class MonitorTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    EnsureApplication();
    static int counter = 0;
    dir_ = fs::temp_directory_path() /
           ("sollumen-monitor-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
    fs::create_directories(dir_);
    // The default minor-body table lies beside the program, as installed.
    CreateTable(dir_.string(), "MPC (10000).db");
  }
  void TearDown() override
  {
    form_.reset();
    QLocale::setDefault(QLocale::c());
    fs::remove_all(dir_);
  }
  TSolarSystemForm& Make(std::vector<std::string> args = {})
  {
    form_.reset();
    TFormOptions o;
    o.ProgramDir = dir_.string() + "/";
    o.Prompts = &prompts_;
    o.Arguments = std::move(args);
    form_ = std::make_unique<TSolarSystemForm>(o);
    return *form_;
  }
  TMonitorForm& Monitor() { return *form_->MonitorForm; }

  fs::path dir_;
  TScriptedPrompts prompts_;
  std::unique_ptr<TSolarSystemForm> form_;
};

TEST_F(MonitorTest, WindowHeightFollowsTheKindOfBody)
{
  TSolarSystemForm& f = Make();
  f.SetTime(Year(2000));
  TMonitorForm& m = Monitor();
  EXPECT_EQ(m.ObjectName, "Earth");
  EXPECT_EQ(m.width(), 292);
  EXPECT_EQ(m.height(), 371);  // the client area of the 393 pixels
  m.SelectObject("titan (s vi)");
  EXPECT_EQ(m.ObjectName, "Titan (S VI)");
  EXPECT_EQ(m.CBObject->currentText().toStdString(), "Titan (S VI)");
  EXPECT_EQ(m.Kind, mkSatellite);
  EXPECT_EQ(m.RowCount(), 10);
  EXPECT_EQ(m.FormHeight(), 223);
  EXPECT_EQ(m.height(), 223 - 22);
  m.SelectObject("Moon");
  EXPECT_EQ(m.FormHeight(), 291);
  // Typing an entry's text selects it; text that names none changes nothing.
  m.CBObject->setEditText("Mar");
  EXPECT_EQ(m.ObjectName, "Moon");
  m.CBObject->setEditText("mars");
  EXPECT_EQ(m.ObjectName, "Mars");
  EXPECT_EQ(m.CellText(0, 0), "ecliptical heliocentric pos. x [AU]");
  EXPECT_EQ(m.FormHeight(), 393);
}

TEST_F(MonitorTest, NumbersUseTheLocalesDecimalSeparator)
{
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  TSolarSystemForm& f = Make();
  f.SetTime(Year(2000));
  Monitor().SelectObject("Mars");
  const std::string x = Monitor().CellText(0, 1);
  EXPECT_NE(x.find(','), std::string::npos) << x;
  EXPECT_EQ(x.find('.'), std::string::npos) << x;
  EXPECT_EQ(Monitor().CellText(17, 1).substr(1, 1), ",");  // mass, E4
}

TEST_F(MonitorTest, ARemovedMinorBodyFallsBackToEarth)
{
  TSolarSystemForm& f = Make();
  f.SetTime(Year(2000));
  f.SolarSystem().AsteroidsList().Add(std::make_unique<TAsteroid>("Vesta", VestaLike(), 0xFFFFFF));
  f.SolarSystem().Recalculate();
  TMonitorForm& m = Monitor();
  m.UpdateObjectList(&f.SolarSystem());
  EXPECT_EQ(m.CBObject->count(), 29);
  m.SelectObject("vesta");
  EXPECT_EQ(m.ObjectName, "Vesta");
  EXPECT_EQ(m.Kind, mkMinorBody);
  EXPECT_EQ(m.FormHeight(), 325);

  f.SolarSystem().AsteroidsList().DeleteByName("Vesta");
  m.UpdateObjectList(&f.SolarSystem());
  EXPECT_EQ(m.ObjectName, "Earth");
  EXPECT_EQ(m.CBObject->count(), 28);
  EXPECT_EQ(m.CBObject->currentText().toStdString(), "Earth");
  EXPECT_EQ(m.SelectedObject, f.SolarSystem().Planet(0));
}

TEST_F(MonitorTest, DocumentsKeepTheBodyAndTheVisibility)
{
  const std::string path = (dir_ / "vesta.orb").string();
  {
    TSolarSystemForm& f = Make();
    f.SetTime(Year(2000));
    f.SolarSystem().AsteroidsList().Add(
        std::make_unique<TAsteroid>("Vesta", VestaLike(), 0xFFFFFF));
    f.SetTime(Year(2000));  // the monitor learns of it with the new instant
    Monitor().SelectObject("Vesta");
    f.SBMonitor->click();
    EXPECT_TRUE(Monitor().isVisible());
    ASSERT_TRUE(f.SaveDocument(path));
  }
  {
    TSolarSystemForm& f = Make({path});
    f.UpdateControls();
    EXPECT_EQ(Monitor().ObjectName, "Vesta");
    EXPECT_TRUE(Monitor().isVisible());
    EXPECT_TRUE(f.SBMonitor->isChecked());
    // The close box pops the main window's button up.
    Monitor().close();
    EXPECT_FALSE(f.SBMonitor->isChecked());
  }
  // Reopened on a date without minor bodies (the Julian date of 2100
  // before the document on the command line): Earth.
  prompts_.Errors.clear();
  TSolarSystemForm& f = Make({"2488069.5", path});
  EXPECT_FALSE(f.SolarSystem().CanShowObjects());
  EXPECT_EQ(Monitor().ObjectName, "Earth");
  EXPECT_EQ(Monitor().CBObject->count(), 28);
  EXPECT_EQ(f.CollectDocumentState().MonitorObject, "Earth");
  EXPECT_TRUE(prompts_.Errors.empty());
}

TEST_F(MonitorTest, ShowCentresAndScalesTheMainView)
{
  TSolarSystemForm& f = Make();
  f.SetTime(Year(2000));
  TSolarSystem& s = f.SolarSystem();
  TMonitorForm& m = Monitor();

  m.SelectObject("Titan (S VI)");
  m.SBShowObjectClick();
  const long double titan = 1221830.0L * 1200 / 149597870000.0L;
  EXPECT_EQ(s.CenterObject(), 5);
  EXPECT_EQ(f.CBCenterObject->currentIndex(), 6);
  EXPECT_EQ(s.Dim(), titan);  // exactly, not the slider's grid
  EXPECT_EQ(f.TBDim->value(), TrackBarFromDim(titan));

  m.SelectObject("Jupiter");
  m.SBShowObjectClick();
  EXPECT_EQ(s.CenterObject(), 9);
  EXPECT_EQ(f.CBCenterObject->currentIndex(), 0);
  EXPECT_EQ(s.Dim(), 1.2L * s.Planet(4)->SemiMajorAxis);
  // The distance from the new centre is shown at once.
  EXPECT_EQ(m.CellText(5, 1), m.CellText(6, 1));

  // A spacecraft without data for the instant leaves the view alone.
  TSpacecraft* craft = s.SpacecraftsList().Add(std::make_unique<TSpacecraft>(0x00FF00));
  craft->Positions.FirstJD = 2440000.5L;
  craft->Positions.LastJD = 2440001.5L;
  f.SetTime(Year(2000));
  m.SelectObject("Spacecraft");
  EXPECT_EQ(m.Kind, mkSpacecraft);
  EXPECT_EQ(m.CellText(0, 1), "not available");
  const long double before = s.Dim();
  m.SBShowObjectClick();
  EXPECT_EQ(s.Dim(), before);
  EXPECT_EQ(s.CenterObject(), 9);
}

TEST_F(MonitorTest, ButtonAndStayOnTopFollowTheMainWindowAndTheSettings)
{
  {
    TSolarSystemForm& f = Make();
    EXPECT_TRUE(f.SBMonitor->isEnabled());
    EXPECT_FALSE(Monitor().isVisible());
    f.SBMonitor->click();
    EXPECT_TRUE(Monitor().isVisible());
    f.CBMonitorStayOnTop->setChecked(true);
    EXPECT_TRUE(Monitor().StayOnTop());
    EXPECT_TRUE(Monitor().windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(Monitor().isVisible());  // the change of style does not hide it
    EXPECT_TRUE(f.SBMonitor->isChecked());
    Monitor().move(123, 45);
    f.SBMonitor->click();
    EXPECT_FALSE(Monitor().isVisible());
  }
  form_.reset();  // writes the settings
  TSolarSystemForm& f = Make();
  EXPECT_TRUE(Monitor().StayOnTop());
  EXPECT_EQ(Monitor().pos(), QPoint(123, 45));
  f.UpdateControls();
  EXPECT_TRUE(f.CBMonitorStayOnTop->isChecked());
  EXPECT_FALSE(f.SBMonitor->isChecked());
}

}  // namespace
