// The main window without a display: time control and animation, the view
// panel and its commands, documents through the window, start-up and exit.
#include "app/mainwindow/AboutBoxes.h"
#include "app/widgets/ColorSwatch.h"
#include "app/mainwindow/InfoBoxes.h"
#include "app/widgets/PaintBox.h"
#include "app/mainwindow/SSystemsForm.h"
#include "app/widgets/SpinButton.h"
#include "app/mainwindow/TimeStepTexts.h"
#include "app/mainwindow/ViewScale.h"
#include "database/MinorBodyTable.h"
#include "document/SettingsFile.h"
#include "ScriptedPrompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// One application for the whole program, never destroyed: tearing Qt down
// at exit after the tests is not worth the risk.
void EnsureApplication()
{
  if (QApplication::instance()) return;
  // Without a display: a desktop screen of its own, large enough for the
  // windows' default places.
  const char* platform = getenv("QT_QPA_PLATFORM");
  if (!platform || std::string(platform) == "offscreen")
    setenv("QT_QPA_PLATFORM",
           "offscreen:configfile=" SOLLUMEN_TEST_DATA "/screens/desktop-1920x1200.json", 1);
  static int argc = 1;
  static char name[] = "SSystemsForm_test";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

TDateRec Date(int year, int month, int day, int hour = 0, int minute = 0)
{
  TDateRec r;
  r.Year = year;
  r.Month = month;
  r.Day = day;
  r.Hour = hour;
  r.Minute = minute;
  return r;
}

std::string Text(const QLabel* l) { return l->text().toStdString(); }
std::string Text(const QLineEdit* e) { return e->text().toStdString(); }

std::vector<char> FileBytes(const fs::path& p)
{
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class WindowTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    EnsureApplication();
    static int counter = 0;
    dir_ = fs::temp_directory_path() /
           ("sollumen-window-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
    fs::create_directories(dir_);
    // The default minor-body table lies beside the program, as installed.
    CreateTable(dir_.string(), "MPC (10000).db");
  }
  void TearDown() override
  {
    form_.reset();
    fs::remove_all(dir_);
  }

  std::string ProgramDir() const { return dir_.string() + "/"; }

  // A window on a program directory of its own, started with the
  // arguments; the start-up's messages are kept in prompts_.
  TSolarSystemForm& Make(std::vector<std::string> args = {})
  {
    form_.reset();
    TFormOptions o;
    o.ProgramDir = ProgramDir();
    o.Prompts = &prompts_;
    o.Arguments = std::move(args);
    form_ = std::make_unique<TSolarSystemForm>(o);
    return *form_;
  }
  // A window after a first start (no "last.orb" yet), messages cleared.
  TSolarSystemForm& Fresh()
  {
    TSolarSystemForm& f = Make();
    prompts_.Clear();
    return f;
  }
  void Show(TSolarSystemForm& f)
  {
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  }

  fs::path dir_;
  TScriptedPrompts prompts_;
  std::unique_ptr<TSolarSystemForm> form_;
};

// ------------------------------------------------------------ texts

TEST(WindowTexts, JulianDateCaptionAndStepNotation)
{
  EnsureApplication();
  const TDateRec j2000 = Date(2000, 1, 1, 12);
  EXPECT_EQ(JDLabelText(DateRecToJD(j2000)), "JD 2451545.000");
  EXPECT_EQ(CaptionText(j2000), "Sollumen   2000 January 1   12:00 UT");
  EXPECT_EQ(CaptionText(Date(2024, 5, 7, 9, 5)), "Sollumen   2024 May 7   09:05 UT");

  EXPECT_EQ(GeneralNumberText(1), "1");
  EXPECT_EQ(GeneralNumberText(0.5L), "0.5");
  EXPECT_EQ(GeneralNumberText(1e-5L), "1E-5");
  EXPECT_EQ(GeneralNumberText(-2.5e20L), "-2.5E20");
  EXPECT_EQ(TimeStepText(1, tsuTropicalYear), "1 trop. year(s)");
  EXPECT_EQ(TimeStepText(2, 7), "2 ");  // a unit without a button steps by nothing
  EXPECT_EQ(StepUnitDays(7), 0);

  long double v = 7;
  EXPECT_TRUE(ParseStepValue(" -1.5e-3 ", v));
  EXPECT_DOUBLE_EQ(static_cast<double>(v), -1.5e-3);
  for (const char* bad : {"abc", "", "1,000", "inf", "nan", "1e999"}) {
    v = 7;
    EXPECT_FALSE(ParseStepValue(bad, v)) << bad;
    EXPECT_EQ(v, 7);
  }
}

TEST(WindowTexts, MinorBodiesMessageNamesOnlyTheUsersList)
{
  const std::string base =
      "One or more objects can not be shown for the selected date due to uncertainties in "
      "the calculation of the position(s)";
  EXPECT_EQ(MinorBodiesMessage({}), base + ".");
  EXPECT_EQ(MinorBodiesMessage({"Ceres", "Vesta"}), base + ":\rCeres, Vesta.");
}

TEST(WindowTexts, ScaleTrackBarMapsBothWays)
{
  EXPECT_NEAR(static_cast<double>(DimFromTrackBar(1)), 0.0032, 0.00005);
  EXPECT_NEAR(static_cast<double>(DimFromTrackBar(16)), 0.0087, 0.00005);
  EXPECT_NEAR(static_cast<double>(DimFromTrackBar(150)), 66.08, 0.01);
  EXPECT_EQ(TrackBarFromDim(2.0L), 97);  // 97.53 truncated, not rounded
  EXPECT_EQ(TrackBarFromDim(DimFromTrackBar(97)), 97);
  EXPECT_EQ(TrackBarFromDim(0.001L), -16);  // toward zero; the track bar clamps
  EXPECT_EQ(TrackBarFromDim(std::nanl("")), DimTrackMin);
}

// ------------------------------------------------------------ the instant

TEST_F(WindowTest, SetTimeShowsTheInstantEverywhereAndRefusesOutOfRange)
{
  TSolarSystemForm& f = Fresh();
  f.SetTime(Date(2000, 1, 1, 12));
  EXPECT_EQ(Text(f.JDLabel), "JD 2451545.000");
  EXPECT_EQ(f.windowTitle().toStdString(), "Sollumen   2000 January 1   12:00 UT");
  EXPECT_EQ(Text(f.EDate), "2000/01/01");
  EXPECT_EQ(Text(f.ETime), "12:00");
  EXPECT_EQ(f.SolarSystem().DateTime(), f.CurrentTime);

  f.SetTime(Date(6001, 1, 1));  // beyond the last instant
  EXPECT_EQ(f.CurrentTime, Date(2000, 1, 1, 12));
  EXPECT_EQ(Text(f.EDate), "2000/01/01");
}

TEST_F(WindowTest, SteppingAcrossDaysLimitsAndWithNegativeSteps)
{
  TSolarSystemForm& f = Fresh();
  f.SetTime(Date(2024, 3, 10, 23));
  f.ETimeValue->setText("2");
  f.SBHours->click();
  EXPECT_EQ(f.TimeStepUnit, tsuHour);
  EXPECT_EQ(Text(f.LTimeStep), "2 hour(s)");
  f.SBDateUpDownUpClick();
  EXPECT_EQ(Text(f.EDate), "2024/03/11");
  EXPECT_EQ(Text(f.ETime), "01:00");

  // Near the last instant a forward step is refused, a backward one not.
  const TDateRec last = JDToDateRec(0, LastShownJD - 0.5L);
  f.SetTime(last);
  f.ETimeValue->setText("1");
  f.SBDays->click();
  f.SBDateUpDownUpClick();
  EXPECT_EQ(f.CurrentTime, last);
  f.SBDateUpDownDownClick();
  EXPECT_NEAR(static_cast<double>(DateRecToJD(f.CurrentTime)),
              static_cast<double>(LastShownJD - 1.5L), 1e-6);

  const TDateRec first = JDToDateRec(0, FirstShownJD + 0.5L);
  f.SetTime(first);
  f.SBDateUpDownDownClick();
  EXPECT_EQ(f.CurrentTime, first);
  // A negative step with the up arrow goes backwards; the lower limit
  // still holds, and a step of absurd size changes nothing.
  f.ETimeValue->setText("-1");
  f.SBDateUpDownUpClick();
  EXPECT_EQ(f.CurrentTime, first);
  f.SetTime(Date(2000, 1, 2));
  f.SBDateUpDownUpClick();
  EXPECT_EQ(f.CurrentTime, Date(2000, 1, 1));
  f.ETimeValue->setText("-1e300");
  f.SBDateUpDownUpClick();
  EXPECT_EQ(f.CurrentTime, Date(2000, 1, 1));
  EXPECT_EQ(Text(f.ETimeValue), "-1E300");
}

TEST_F(WindowTest, FieldCommitsAndResets)
{
  TSolarSystemForm& f = Fresh();
  f.SetTime(Date(2024, 5, 7, 15, 30));

  f.ETimeValue->setText("abc");
  f.ETimeValueExit();
  EXPECT_EQ(Text(f.ETimeValue), "1");
  f.ETimeValue->setText("0.5");
  f.ETimeValueKeyPress('\r');
  EXPECT_EQ(f.TimeStepValue, 0.5L);
  EXPECT_EQ(Text(f.LTimeStep), "0.5 day(s)");

  f.EDate->setText("not a date");
  f.EDateExit();
  EXPECT_EQ(Text(f.EDate), "2024/05/07");
  EXPECT_EQ(f.CurrentTime, Date(2024, 5, 7, 15, 30));
  f.EDate->setText("1999 December 31");
  f.EDateKeyPress('\r');
  EXPECT_EQ(f.CurrentTime, Date(1999, 12, 31, 15, 30));  // the time is kept

  f.ETime->setText("25:00");
  f.ETimeExit();
  EXPECT_EQ(Text(f.ETime), "15:30");
  f.ETime->setText("8:05 PM");
  f.ETimeKeyPress('\r');
  EXPECT_EQ(f.CurrentTime, Date(1999, 12, 31, 20, 5));

  // Entering the date field shows the instant's own text again.
  f.EDate->setText("draft");
  f.EDateEnter();
  EXPECT_EQ(Text(f.EDate), "1999/12/31");

  f.SBZeroClick();
  EXPECT_EQ(f.CurrentTime, Date(1999, 12, 31));
}

TEST_F(WindowTest, AnimationStartPauseReverseStopRestoresTheInstant)
{
  TSolarSystemForm& f = Fresh();
  f.SetTime(Date(2024, 5, 7, 15, 30));
  f.SetRealTimeMode(true);
  f.SetTime(Date(2024, 5, 7, 15, 30));

  f.SBStartAnimate->click();
  EXPECT_FALSE(f.RealTimeMode);
  EXPECT_TRUE(f.Timer->isActive());
  EXPECT_EQ(f.Timer->interval(), 200);
  EXPECT_TRUE(f.SBStartAnimate->isChecked());
  EXPECT_FALSE(f.SBStartAnimate->isEnabled());
  EXPECT_TRUE(f.SBStopAnimate->isEnabled());
  EXPECT_TRUE(f.SBPauseAnimate->isEnabled());
  EXPECT_FALSE(f.SBPauseAnimate->isChecked());
  EXPECT_TRUE(f.SBInvert->isEnabled());

  f.TimerTimer();
  EXPECT_EQ(Text(f.EDate), "2024/05/08");
  EXPECT_EQ(Text(f.ETime), "00:00");

  f.SBPauseAnimate->click();
  EXPECT_FALSE(f.Timer->isActive());
  f.SBPauseAnimate->click();
  EXPECT_TRUE(f.Timer->isActive());

  f.SBInvert->click();
  f.TimerTimer();
  f.TimerTimer();
  EXPECT_EQ(Text(f.EDate), "2024/05/06");

  f.SBStopAnimate->click();
  EXPECT_FALSE(f.Timer->isActive());
  EXPECT_EQ(f.CurrentTime, Date(2024, 5, 7, 15, 30));
  EXPECT_TRUE(f.SBStartAnimate->isEnabled());
  EXPECT_FALSE(f.SBStartAnimate->isChecked());
  EXPECT_FALSE(f.SBStopAnimate->isEnabled());
  EXPECT_FALSE(f.SBPauseAnimate->isEnabled());
  EXPECT_FALSE(f.SBInvert->isEnabled());
  EXPECT_FALSE(f.SBInvert->isChecked());
}

TEST_F(WindowTest, RealTimeModeSwitchesOffByEveryTimeAction)
{
  TSolarSystemForm& f = Fresh();
  f.SBRealTime->click();
  EXPECT_TRUE(f.RealTimeMode);
  EXPECT_TRUE(f.RTTimer->isActive());
  EXPECT_EQ(f.RTTimer->interval(), 60000);
  f.SBDateUpDownUpClick();
  EXPECT_FALSE(f.RealTimeMode);
  EXPECT_FALSE(f.SBRealTime->isChecked());
  EXPECT_FALSE(f.RTTimer->isActive());

  f.SetRealTimeMode(true);
  f.EDateExit();
  EXPECT_FALSE(f.RealTimeMode);
  f.SetRealTimeMode(true);
  f.SBZeroClick();
  EXPECT_FALSE(f.RealTimeMode);
}

TEST_F(WindowTest, MinorBodiesMessageOnceWhenLeaving2050)
{
  TSolarSystemForm& f = Fresh();
  TOrbitElements e;
  e.EpochJD = 2451545.0L;
  e.AxisAU = 2.77L;
  e.DailyMotion = 0.214L;
  e.Ecc = 0.08L;
  f.SolarSystem().AsteroidsList().Add(std::make_unique<TAsteroid>("Ceres", e, 0x8080));
  f.SetTime(Date(2050, 12, 31, 12));
  f.SBDateUpDownUpClick();
  EXPECT_EQ(Text(f.EDate), "2051/01/01");
  ASSERT_EQ(prompts_.Messages.size(), 1u);
  const std::string& m = prompts_.Messages[0];
  EXPECT_EQ(m.substr(m.size() - 8), ":\rCeres.");
  f.SBDateUpDownUpClick();
  EXPECT_EQ(prompts_.Messages.size(), 1u);
  // Back inside the years and out again: one more message.
  f.SetTime(Date(2050, 6, 1));
  f.SetTime(Date(2051, 6, 1));
  EXPECT_EQ(prompts_.Messages.size(), 2u);
}

TEST_F(WindowTest, StepUnitFromADocumentWithoutButton)
{
  TSolarSystemForm& f = Fresh();
  f.SBHours->click();
  TSolarSystem scene;
  TDocumentState state;
  state.TimeStepUnit = tsuTropicalYear;
  const std::string path = ProgramDir() + "years.orb";
  SaveDocument(path, scene, state);
  ASSERT_TRUE(f.OpenDocument(path));
  EXPECT_EQ(f.TimeStepUnit, tsuTropicalYear);
  EXPECT_EQ(Text(f.LTimeStep), "1 trop. year(s)");
  EXPECT_TRUE(f.SBHours->isChecked());  // left as it was
}

TEST_F(WindowTest, SpinButtonKeysAndRepeat)
{
  TSolarSystemForm& f = Fresh();
  f.SetTime(Date(2001, 1, 10));
  EXPECT_EQ(f.SBDateUpDown->UpButton()->autoRepeatDelay(), 400);
  EXPECT_EQ(f.SBDateUpDown->UpButton()->autoRepeatInterval(), 100);
  QTest::keyClick(f.SBDateUpDown, Qt::Key_Space);  // the up arrow at first
  EXPECT_EQ(f.CurrentTime, Date(2001, 1, 11));
  QTest::keyClick(f.SBDateUpDown, Qt::Key_Down);
  QTest::keyClick(f.SBDateUpDown, Qt::Key_Space);
  EXPECT_EQ(f.CurrentTime, Date(2001, 1, 9));
}

// ------------------------------------------------------------ view panel

TEST_F(WindowTest, PlaneButtonsShowTheRotateGroupOnlyIn3D)
{
  TSolarSystemForm& f = Fresh();
  Show(f);
  f.RBXY->click();
  EXPECT_EQ(f.SolarSystem().Plane, XY);
  EXPECT_FALSE(f.GBRotate->isVisible());
  EXPECT_TRUE(f.RBRadial->isEnabled());
  f.RB3D->click();
  EXPECT_EQ(f.SolarSystem().Plane, D3);
  EXPECT_TRUE(f.GBRotate->isVisible());
  EXPECT_FALSE(f.RBRadial->isEnabled());
  f.RBRadial->setEnabled(true);
  f.RBRadial->click();
  EXPECT_EQ(f.SolarSystem().GridMode, 1);
  f.CBShowApsides->click();
  EXPECT_TRUE(f.SolarSystem().ShowApsides);
}

TEST_F(WindowTest, ShortcutsAndWheelOnlyWhereTheyApply)
{
  TSolarSystemForm& f = Fresh();
  Show(f);
  f.RBXY->click();
  const int rotX = f.TBRotX->value();
  QTest::keyClick(&f, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(f.TBRotX->value(), rotX);
  f.RB3D->click();
  QTest::keyClick(&f, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(f.TBRotX->value(), rotX + 1);
  EXPECT_NEAR(static_cast<double>(f.SolarSystem().RotX()), rotX + 1, 1e-9);
  QTest::keyClick(&f, Qt::Key_Left, Qt::ControlModifier);
  EXPECT_NEAR(static_cast<double>(f.SolarSystem().RotZ()), f.TBRotZ->value(), 1e-9);

  f.TBDim->setValue(1);
  QTest::keyClick(&f, Qt::Key_Up, Qt::AltModifier);
  EXPECT_EQ(f.TBDim->value(), 1);
  f.TBDim->setValue(2);
  QTest::keyClick(&f, Qt::Key_Plus);
  EXPECT_EQ(f.TBDim->value(), 1);
  EXPECT_NEAR(static_cast<double>(f.SolarSystem().Dim()), 0.0032, 0.00005);
  QTest::keyClick(&f, Qt::Key_Minus);
  QTest::keyClick(&f, Qt::Key_Down, Qt::AltModifier);
  EXPECT_EQ(f.TBDim->value(), 3);

  // The wheel zooms over the picture with or without Ctrl, over the panel
  // only with Ctrl (its sliders and lists keep their own wheel).
  auto wheel = [&](QWidget* w, int dy, Qt::KeyboardModifiers mods) {
    const QPointF at(10, 10);
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, dy), Qt::NoButton, mods,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
  };
  wheel(f.PaintBox, 120, Qt::NoModifier);
  EXPECT_EQ(f.TBDim->value(), 2);
  wheel(f.PaintBox, -120, Qt::NoModifier);
  EXPECT_EQ(f.TBDim->value(), 3);
  wheel(f.PaintBox, 120, Qt::ControlModifier);
  EXPECT_EQ(f.TBDim->value(), 2);
  wheel(f.CBCenterObject, -120, Qt::ControlModifier);
  EXPECT_EQ(f.TBDim->value(), 3);
  wheel(f.CBCenterObject, -120, Qt::NoModifier);
  EXPECT_EQ(f.TBDim->value(), 3);
  // A touch pad's small steps add up to one notch.
  for (int i = 0; i < 3; ++i) wheel(f.PaintBox, 40, Qt::NoModifier);
  EXPECT_EQ(f.TBDim->value(), 2);

  // Shift+Tab walks the pages, from the last back to the first.
  f.SetActivePage(2);
  QTest::keyClick(&f, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(f.ActivePageIndex(), 0);
  QTest::keyClick(&f, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(f.ActivePageIndex(), 1);
}

TEST_F(WindowTest, UpdateControlsPutsTheScaleOnTheTrackBarsGrid)
{
  TSolarSystemForm& f = Fresh();
  f.TBDim->setValue(40);
  f.SolarSystem().SetDim(2.0L);
  f.UpdateControls();
  EXPECT_EQ(f.TBDim->value(), 97);
  EXPECT_NEAR(static_cast<double>(f.SolarSystem().Dim()), 0.003 * std::exp(97.0 / 15), 1e-12);
  EXPECT_NEAR(static_cast<double>(f.SolarSystem().Dim()), 1.93, 0.005);

  // When the position does not move, the stored value is kept as it is.
  f.SolarSystem().SetDim(1.95L);
  f.UpdateControls();
  EXPECT_EQ(f.SolarSystem().Dim(), 1.95L);
}

TEST_F(WindowTest, ColourDialogsAndCentreList)
{
  TSolarSystemForm& f = Fresh();
  const TColor grid = f.SolarSystem().GridColor;
  f.SolarSystem().BgColor = 0x102030;  // not yet on its swatch
  f.ShpGridMouseDown();                // cancelled
  EXPECT_EQ(prompts_.ColorDialogs, 1);
  EXPECT_EQ(f.SolarSystem().GridColor, grid);
  EXPECT_EQ(f.ShpBackground->Color(), 0x102030u);  // every control refreshed
  prompts_.ColorAnswer = true;
  prompts_.ColorChoice = 0x00FF00;
  QTest::mouseClick(f.ShpAxes, Qt::LeftButton);
  EXPECT_EQ(f.SolarSystem().AxesColor, 0x00FF00u);
  EXPECT_EQ(f.ShpAxes->Color(), 0x00FF00u);

  f.CBCenterObject->setCurrentIndex(3);
  f.CBCenterObjectChange();
  EXPECT_EQ(f.CBCenterObject->currentText().toStdString(), "Earth");
  EXPECT_EQ(f.SolarSystem().CenterObject(), 0);
  f.CBCenterObject->setCurrentIndex(0);
  f.CBCenterObjectChange();
  EXPECT_EQ(f.SolarSystem().CenterObject(), 9);
  f.SolarSystem().SetCenterObject(8);
  f.UpdateControls();
  EXPECT_EQ(f.CBCenterObject->currentText().toStdString(), "Pluto");
}

TEST_F(WindowTest, ResizedWindowKeepsItsSizeAndASquarePicture)
{
  // The window no longer snaps back to a square drawing area: the area
  // takes all the room beside the panel, and the picture its largest
  // centred square.
  TSolarSystemForm& f = Fresh();
  Show(f);
  f.resize(1000, 600);
  QApplication::processEvents();
  QTest::mouseMove(f.PaintBox, QPoint(20, 20));
  QApplication::processEvents();
  EXPECT_EQ(f.size(), QSize(1000, 600));
  EXPECT_EQ(f.PaintBox->width(), 1000 - f.ControlPanel->width());
  const QRect square = f.PaintBox->SceneRect();
  EXPECT_EQ(square.width(), square.height());
  EXPECT_EQ(square.height(), f.PaintBox->height());
  EXPECT_LE(std::abs(square.center().x() - f.PaintBox->rect().center().x()), 1);
  f.resize(900, 900);
  QApplication::processEvents();
  EXPECT_EQ(f.size(), QSize(900, 900));
  EXPECT_EQ(f.PaintBox->SceneRect().width(), f.PaintBox->width());
  // Everything of the panel fits the smallest window.
  EXPECT_LE(f.ControlPanel->minimumSizeHint().height(), f.minimumHeight());
}

// ------------------------------------------------------------ documents

TEST_F(WindowTest, DocumentRoundTripThroughTheWindow)
{
  TSolarSystemForm& f = Fresh();
  f.SetTime(Date(1987, 6, 5, 4, 3));
  f.ETimeValue->setText("2.5");
  f.SBMinutes->click();
  f.RBXZ->click();
  f.TBDim->setValue(60);
  f.CBShowNames->setChecked(false);
  const std::string path = ProgramDir() + "scene.orb";
  ASSERT_TRUE(f.SaveDocument(path));

  TSolarSystemForm& g = Fresh();
  ASSERT_TRUE(g.OpenDocument(path));
  EXPECT_TRUE(prompts_.Errors.empty());
  EXPECT_EQ(g.CurrentTime, Date(1987, 6, 5, 4, 3));
  // The caption names the document, with Qt's mark for unsaved changes.
  EXPECT_EQ(g.windowTitle().toStdString(), "Sollumen   1987 June 5   04:03 UT \u2014 scene.orb[*]");
  EXPECT_FALSE(g.isWindowModified());
  EXPECT_EQ(g.TimeStepValue, 2.5L);
  EXPECT_EQ(g.TimeStepUnit, tsuMinute);
  EXPECT_TRUE(g.SBMinutes->isChecked());
  EXPECT_EQ(Text(g.LTimeStep), "2.5 minute(s)");
  EXPECT_TRUE(g.RBXZ->isChecked());
  EXPECT_EQ(g.TBDim->value(), 60);
  EXPECT_FALSE(g.CBShowNames->isChecked());
  EXPECT_EQ(g.DocumentFileName, path);
  EXPECT_TRUE(prompts_.Questions.empty());

  // The file starts with the current header.
  const std::vector<char> bytes = FileBytes(path);
  ASSERT_GE(bytes.size(), 9u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 9), std::string("\x06\x07sl v1.7"));
}

TEST_F(WindowTest, OpenAndSaveCommandsProposeNamesAndReportFailures)
{
  TSolarSystemForm& f = Fresh();
  prompts_.OpenAnswer = ProgramDir() + "missing.orb";
  f.ActOpenExecute();
  ASSERT_EQ(prompts_.Errors.size(), 1u);
  EXPECT_EQ(prompts_.Errors[0].rfind("Cannot open file \"" + ProgramDir() + "missing.orb\". ", 0),
            0u)
      << prompts_.Errors[0];
  EXPECT_EQ(f.DocumentFileName, "");

  prompts_.SaveAnswer = ProgramDir() + "mine.orb";
  f.ActSaveExecute();
  EXPECT_EQ(f.DocumentFileName, ProgramDir() + "mine.orb");
  f.ActSaveExecute();
  EXPECT_EQ(prompts_.ProposedName, "mine.orb");
  EXPECT_EQ(prompts_.ProposedDir + "/", ProgramDir());

  prompts_.Clear();
  prompts_.SaveAnswer = ProgramDir() + "no such dir/x.orb";
  f.ActSaveExecute();
  ASSERT_EQ(prompts_.Errors.size(), 1u);
  EXPECT_EQ(prompts_.Errors[0], "Could not create file " + ProgramDir() + "no such dir/x.orb.");

  // After the template, no name is proposed and the exit saves to last.orb.
  fs::copy_file(ProgramDir() + "mine.orb", ProgramDir() + "template.orb");
  f.ActLoadTemplateExecute();
  EXPECT_EQ(f.DocumentFileName, ProgramDir() + "last.orb");
  prompts_.SaveAnswer.clear();
  f.ActSaveExecute();
  EXPECT_EQ(prompts_.ProposedName, "");
}

TEST_F(WindowTest, OldDocumentsAreOfferedConversionOnlyWhenReadInFull)
{
  TSolarSystemForm& f = Fresh();
  const std::string path = ProgramDir() + "old.orb";
  fs::copy_file(fs::path(SOLLUMEN_TEST_DATA) / "documents" / "doc16.orb", path);
  prompts_.ConfirmAnswer = true;
  ASSERT_TRUE(f.OpenDocument(path));
  ASSERT_EQ(prompts_.Questions.size(), 1u);
  EXPECT_EQ(prompts_.Questions[0],
            "This file was written by version 1.6 of Sollumen.\r\n"
            "Convert the file to the current file format?");
  EXPECT_EQ(std::string(FileBytes(path).data() + 2, 7), "sl v1.7");
  ASSERT_TRUE(f.OpenDocument(path));
  EXPECT_EQ(prompts_.Questions.size(), 1u);

  // A damaged old document: the error, and no offer to overwrite it.
  std::vector<char> bytes = FileBytes(fs::path(SOLLUMEN_TEST_DATA) / "documents" / "doc15.orb");
  bytes.resize(bytes.size() / 2);
  const std::string damaged = ProgramDir() + "damaged.orb";
  std::ofstream(damaged, std::ios::binary).write(bytes.data(), static_cast<long>(bytes.size()));
  prompts_.Clear();
  const std::string before = f.DocumentFileName;
  ASSERT_TRUE(f.OpenDocument(damaged));
  EXPECT_EQ(prompts_.Errors,
            std::vector<std::string>{"Error reading file " + damaged +
                                     ".\rExpected a Boolean at byte 283, but the file ends before it."});
  EXPECT_TRUE(prompts_.Questions.empty());
  EXPECT_EQ(f.DocumentFileName, before);
}

TEST_F(WindowTest, DroppedFilesOnlyLowerCaseOrb)
{
  TSolarSystemForm& f = Fresh();
  f.SetTime(Date(1990, 1, 1));
  TSolarSystem scene;
  scene.SetDateTime(Date(2010, 10, 10));
  SaveDocument(ProgramDir() + "MODEL.ORB", scene, TDocumentState());
  SaveDocument(ProgramDir() + "model.orb", scene, TDocumentState());
  f.FormDropFiles({ProgramDir() + "MODEL.ORB", ProgramDir() + "model.orb"});
  EXPECT_EQ(f.CurrentTime, Date(1990, 1, 1));
  f.FormDropFiles({ProgramDir() + "model.orb", ProgramDir() + "MODEL.ORB"});
  EXPECT_EQ(f.CurrentTime, Date(2010, 10, 10));
  EXPECT_TRUE(prompts_.Errors.empty());
}

// ------------------------------------------------------- start and exit

TEST_F(WindowTest, CommandLineJulianDateAndPathWithBlanks)
{
  TSolarSystem scene;
  scene.SetDateTime(Date(1970, 1, 1));
  const std::string path = ProgramDir() + "my scene.orb";
  SaveDocument(path, scene, TDocumentState());
  TSolarSystemForm& f = Make({"2451545.0", ProgramDir() + "my", "scene.orb"});
  EXPECT_TRUE(prompts_.Errors.empty());
  EXPECT_EQ(f.DocumentFileName, path);
  EXPECT_EQ(Text(f.JDLabel), "JD 2451545.000");

  // 12 is no instant the window shows: it is part of the path.
  SaveDocument(ProgramDir() + "12 b.orb", scene, TDocumentState());
  prompts_.Clear();
  TSolarSystemForm& g = Make({"12", ProgramDir() + "x"});
  ASSERT_EQ(prompts_.Errors.size(), 1u);
  EXPECT_NE(prompts_.Errors[0].find("\"12 " + ProgramDir() + "x\""), std::string::npos);
  (void)g;
}

TEST_F(WindowTest, FirstStartShowsTheErrorAndGoesOn)
{
  TSolarSystemForm& f = Make({"2451545.0"});
  ASSERT_EQ(prompts_.Errors.size(), 1u);
  EXPECT_EQ(prompts_.Errors[0].rfind("Cannot open file \"" + ProgramDir() + "last.orb\"", 0), 0u);
  EXPECT_EQ(Text(f.JDLabel), "JD 2451545.000");  // the next step still ran
  EXPECT_TRUE(f.WillSaveLastDocument());
}

TEST_F(WindowTest, LastStateRestoredAtNextStart)
{
  {
    TSolarSystemForm& f = Fresh();
    f.SetTime(Date(1999, 9, 9, 9, 9));
    f.ETimeValue->setText("3");
    f.SBSidYears->click();
    f.SetActivePage(0);
    form_.reset();  // the exit saves settings and state
  }
  ASSERT_TRUE(fs::exists(ProgramDir() + "last.orb"));
  ASSERT_TRUE(fs::exists(ProgramDir() + "sl.ini"));
  prompts_.Clear();
  TSolarSystemForm& g = Make();
  EXPECT_TRUE(prompts_.Errors.empty());
  EXPECT_EQ(g.CurrentTime, Date(1999, 9, 9, 9, 9));
  EXPECT_EQ(g.TimeStepValue, 3);
  EXPECT_EQ(g.TimeStepUnit, tsuSiderealYear);
  EXPECT_EQ(g.ActivePageIndex(), 0);
  EXPECT_EQ(g.DocumentFileName, ProgramDir() + "last.orb");
}

TEST_F(WindowTest, UnreadableLastStateIsNeverOverwritten)
{
  // A "last.orb" that cannot be opened (here a directory) stays as it is.
  fs::create_directories(dir_ / "last.orb");
  TSolarSystemForm& f = Make();
  EXPECT_EQ(prompts_.Errors.size(), 1u);
  EXPECT_FALSE(f.WillSaveLastDocument());
  form_.reset();
  EXPECT_TRUE(fs::is_directory(dir_ / "last.orb"));
}

TEST_F(WindowTest, SettingsDefaultsAndRoundTrip)
{
  TSolarSystemForm& f = Fresh();
  EXPECT_EQ(f.pos(), QPoint(508, 260));
  EXPECT_EQ(f.size(), QSize(744, 631));
  EXPECT_EQ(f.ActivePageIndex(), 1);
  EXPECT_EQ(f.BitmapSize, 500);
  EXPECT_EQ(f.BitmapPath, ProgramDir());
  EXPECT_EQ(f.TableName, "MPC (10000).db");
  EXPECT_EQ(f.IniFileName, ProgramDir() + "sl.ini");
  form_.reset();

  {
    std::ofstream ini(dir_ / "sl.ini");
    ini << "[MainForm]\nPage=2\nWidth=700\nHeight=560\n[MonitorForm]\nStayOnTop=5\n"
           "[Bitmap]\nSize=0x200\n";
  }
  TSolarSystemForm& g = Make();
  EXPECT_EQ(g.ActivePageIndex(), 2);
  EXPECT_EQ(g.size(), QSize(700, 560));
  EXPECT_EQ(g.BitmapSize, 512);
  g.UpdateControls();
  EXPECT_TRUE(g.CBMonitorStayOnTop->isChecked());
  form_.reset();
  const TSettings back = ReadSettingsFile(dir_ / "sl.ini", TSettings(), ProgramDir());
  EXPECT_EQ(back.MainPage, 2);
  EXPECT_TRUE(back.MonitorStayOnTop);
  EXPECT_EQ(back.BitmapSize, 512);

  // A page number outside 0..2 shows no page until one is chosen.
  {
    std::ofstream ini(dir_ / "sl.ini");
    ini << "[MainForm]\nPage=5\n";
  }
  TSolarSystemForm& h = Make();
  EXPECT_EQ(h.ActivePageIndex(), -1);
  h.ActNextTabExecute();
  EXPECT_EQ(h.ActivePageIndex(), 0);
}

TEST_F(WindowTest, SplashHiddenWhenTheWindowIsShown)
{
  TInfoBox splash;
  splash.ShowNow();
  TFormOptions o;
  o.ProgramDir = ProgramDir();
  o.Prompts = &prompts_;
  o.Splash = &splash;
  form_ = std::make_unique<TSolarSystemForm>(o);
  EXPECT_TRUE(splash.isVisible());  // still up while the window is made
  form_->show();
  EXPECT_FALSE(splash.isVisible());
  form_.reset();
}

// A minor body that counts how often the scene recomputes it.
class TCountingBody : public TAsteroid {
public:
  explicit TCountingBody(const TOrbitElements& e) : TAsteroid("Counter", e, 0x8080) {}
  void Calculate(long double jd) override
  {
    ++Calculations;
    TAsteroid::Calculate(jd);
  }
  int Calculations = 0;
};

TEST_F(WindowTest, EachArrowStepRecomputesTheBodiesOnce)
{
  TSolarSystemForm& f = Fresh();
  TOrbitElements e;
  e.EpochJD = 2451545.0L;
  e.AxisAU = 2.77L;
  e.DailyMotion = 0.214L;
  e.Ecc = 0.08L;
  auto* body = static_cast<TCountingBody*>(
      f.SolarSystem().AsteroidsList().Add(std::make_unique<TCountingBody>(e)));
  f.SetTime(Date(2024, 3, 10));
  body->Calculations = 0;
  f.SBDateUpDownUpClick();
  f.SBDateUpDownDownClick();
  f.TimerTimer();  // the animation clock steps through the same handler
  EXPECT_EQ(body->Calculations, 3);
  EXPECT_EQ(f.CurrentTime, Date(2024, 3, 11));
  EXPECT_EQ(f.SolarSystem().DateTime(), f.CurrentTime);
  EXPECT_EQ(Text(f.EDate), "2024/03/11");

  // A refused step shows the unchanged instant once more.
  const TDateRec last = JDToDateRec(0, LastShownJD - 0.5L);
  f.SetTime(last);
  body->Calculations = 0;
  f.SBDateUpDownUpClick();
  EXPECT_EQ(f.CurrentTime, last);
  EXPECT_EQ(body->Calculations, 1);
}

}  // namespace
