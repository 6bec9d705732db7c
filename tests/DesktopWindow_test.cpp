// The main window on today's desktops: a resized window keeps a round
// picture, text and glyphs read on light and dark palettes, the mouse
// zooms, turns and picks bodies, the keyboard steps the time and reaches
// every control, and every command lies in the menu bar.
#include "app/dialogs/DescriptionForms.h"
#include "app/mainwindow/SSystemsForm.h"
#include "app/monitor/MonitorForms.h"
#include "app/widgets/Contrast.h"
#include "app/widgets/PaintBox.h"
#include "database/MinorBodyTable.h"
#include "ScriptedPrompts.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QStyleFactory>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void EnsureApplication()
{
  if (QApplication::instance()) return;
  const char* platform = getenv("QT_QPA_PLATFORM");
  if (!platform || std::string(platform) == "offscreen")
    setenv("QT_QPA_PLATFORM",
           "offscreen:configfile=" SOLLUMEN_TEST_DATA "/screens/desktop-1920x1200.json", 1);
  static int argc = 1;
  static char name[] = "DesktopWindow_test";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
  QApplication::setStyle(QStyleFactory::create("Fusion"));
}

QPalette LightPalette() { return QApplication::style()->standardPalette(); }

// A dark desktop theme as the common ones make it.
QPalette DarkPalette()
{
  QPalette p;
  const QColor window(53, 53, 53), base(35, 35, 35), text(230, 230, 230);
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, window);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, window);
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::Highlight, QColor(42, 130, 218));
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::ToolTipBase, base);
  p.setColor(QPalette::ToolTipText, text);
  for (auto role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
    p.setColor(QPalette::Disabled, role, QColor(127, 127, 127));
  return p;
}

// The ink of a glyph: its fully opaque pixels, which must all be one.
QColor Ink(const QIcon& icon)
{
  const QImage image = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) == 255) return QColor(image.pixel(x, y));
  return {};
}

class DesktopWindow : public ::testing::Test {
protected:
  void SetUp() override
  {
    EnsureApplication();
    static int counter = 0;
    dir_ = fs::temp_directory_path() /
           ("sollumen-desktop-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
    fs::create_directories(dir_);
    CreateTable(dir_.string(), "MPC (10000).db");
  }
  void TearDown() override
  {
    form_.reset();
    QApplication::setPalette(LightPalette());
    fs::remove_all(dir_);
  }
  TSolarSystemForm& Make()
  {
    form_.reset();
    TFormOptions o;
    o.ProgramDir = dir_.string() + "/";
    o.Prompts = &prompts_;
    form_ = std::make_unique<TSolarSystemForm>(o);
    TSolarSystemForm& f = *form_;
    f.show();
    f.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
    TDateRec t;
    t.Year = 2000, t.Month = 1, t.Day = 1, t.Hour = 12;
    f.SetTime(t);
    return f;
  }
  // A click, or a drag through the points, with the left button on the
  // picture (widget pixels).
  static void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
  {
    const QPointF p(at);
    QMouseEvent e(type, p, w->mapToGlobal(p), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
  }

  fs::path dir_;
  TScriptedPrompts prompts_;
  std::unique_ptr<TSolarSystemForm> form_;
};

TEST_F(DesktopWindow, ResizedWindowDrawsACircleAsACircle)
{
  TSolarSystemForm& f = Make();
  // The Earth's nearly circular orbit alone, on the ecliptic, background
  // not black so that the margins can be told from the window.
  f.RBXY->click();
  f.RBNone->click();
  f.SBDeselAll->click();
  f.CBEarth->click();
  f.CBSun->setChecked(false);
  f.CBSun->click();
  if (f.CBSun->isChecked()) f.CBSun->click();
  f.CBShowNames->setChecked(false);
  f.SolarSystem().BgColor = 0x301000;  // a dark blue
  f.TBDim->setValue(91);              // about 1.3 AU
  f.resize(1200, 700);
  QApplication::processEvents();
  EXPECT_EQ(f.size(), QSize(1200, 700));

  const QImage image = f.PaintBox->grab().toImage();
  const QRgb background = qRgb(0x00, 0x10, 0x30);
  int left = image.width(), right = -1, top = image.height(), bottom = -1;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != background) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  ASSERT_GT(right, left);
  const double ratio = double(right - left + 1) / double(bottom - top + 1);
  EXPECT_NEAR(ratio, 1.0, 0.01) << (right - left + 1) << " x " << (bottom - top + 1);
  // About 1/1.3 of the square's half side, and the square is the height.
  EXPECT_NEAR(bottom - top + 1, f.PaintBox->height() / 1.3, f.PaintBox->height() * 0.03);
  // The margins beside the square take the background colour.
  const QRect square = f.PaintBox->SceneRect();
  ASSERT_GT(square.left(), 10);
  EXPECT_EQ(image.pixel(3, image.height() / 2), background);
  EXPECT_EQ(image.pixel(image.width() - 3, 5), background);
}

TEST_F(DesktopWindow, TextAndGlyphsReadOnLightAndDarkPalettes)
{
  auto check = [](TSolarSystemForm& f, const char* theme) {
    SCOPED_TRACE(theme);
    const QTableWidget* grid = f.MonitorForm->StringGrid;
    EXPECT_GE(ContrastRatio(grid->palette().color(QPalette::Text),
                            grid->palette().color(QPalette::Base)), ReadableContrast);
    const QComboBox* list = f.MonitorForm->CBObject;
    EXPECT_GE(ContrastRatio(list->palette().color(QPalette::Text),
                            list->palette().color(QPalette::Base)), ReadableContrast);
    // The description's default text on the document's own background,
    // white and a dark one; the document's colour stays as stored.
    TDescriptionForm& d = *f.DescriptionForm;
    for (TColor background : {TColor(0xFFFFFF), TColor(0x402000)}) {
      d.SetBackgroundColor(background);
      EXPECT_EQ(d.BackgroundColor(), background);
      const QPalette p = d.Memo->palette();
      EXPECT_GE(ContrastRatio(p.color(QPalette::Text), p.color(QPalette::Base)), ReadableContrast)
          << std::hex << background;
    }
    d.SetBackgroundColor(0xFFFFFF);
    // The glyphs drawn on the panel, the tool bar and the description's
    // tool bar.
    for (QToolButton* b : {f.SBStartAnimate, f.SBStopAnimate, f.SBPauseAnimate, f.SBInvert})
      EXPECT_GE(ContrastRatio(Ink(b->icon()), b->palette().color(QPalette::Button)),
                ReadableContrast) << b->objectName().toStdString();
    EXPECT_GE(ContrastRatio(Ink(f.ActExit->icon()), f.ToolBar->palette().color(QPalette::Button)),
              ReadableContrast);
    for (QToolButton* b : {d.SBBold, d.SBLeftAlign, d.SBUndo})
      EXPECT_GE(ContrastRatio(Ink(b->icon()), b->palette().color(QPalette::Button)),
                ReadableContrast) << b->objectName().toStdString();
  };
  QApplication::setPalette(LightPalette());
  TSolarSystemForm& f = Make();
  check(f, "light");
  // The desktop switches its theme while the program runs.
  QApplication::setPalette(DarkPalette());
  QApplication::processEvents();
  check(f, "light, then dark");
  check(Make(), "dark from the start");
  // The contrast rule itself: black on white is 21, navy on dark grey fails
  // and is lightened just enough.
  EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
  const QColor navy(0, 0, 128), grey(53, 53, 53);
  EXPECT_LT(ContrastRatio(navy, grey), 2.0);
  const QColor readable = ReadableOn(navy, grey);
  EXPECT_GE(ContrastRatio(readable, grey), ReadableContrast);
  EXPECT_LT(ContrastRatio(readable, grey), ReadableContrast + 0.2);
  EXPECT_GT(readable.blue(), readable.red());  // still a blue
}

TEST_F(DesktopWindow, DragTurnsTheViewAndAClickPicksABody)
{
  TSolarSystemForm& f = Make();
  // A drag in the 3D view: the sliders follow, the scene with them.
  f.RB3D->click();
  f.TBRotX->setValue(60);
  f.TBRotZ->setValue(170);
  const QPoint c = f.PaintBox->rect().center();
  Mouse(f.PaintBox, QEvent::MouseButtonPress, c, Qt::LeftButton);
  Mouse(f.PaintBox, QEvent::MouseMove, c + QPoint(10, 4), Qt::LeftButton);
  Mouse(f.PaintBox, QEvent::MouseMove, c + QPoint(40, 20), Qt::LeftButton);
  Mouse(f.PaintBox, QEvent::MouseButtonRelease, c + QPoint(40, 20), Qt::NoButton);
  EXPECT_EQ(f.TBRotX->value(), 70);
  EXPECT_EQ(f.TBRotZ->value(), -170);  // round past 180
  EXPECT_NEAR(double(f.SolarSystem().RotZ()), -170, 1e-9);
  EXPECT_NEAR(double(f.SolarSystem().RotX()), 70, 1e-9);
  EXPECT_EQ(f.MonitorForm->ObjectName, "Earth");  // a drag is no click

  // A click a few pixels beside Mars makes it the monitor's body.
  f.RBXY->click();
  f.CBCenterObject->setCurrentIndex(0);
  f.CBCenterObjectChange();
  f.TBDim->setValue(97);  // about 2 AU
  f.PaintBox->grab();     // painted as on the screen
  const TScreenPoint mars = f.SolarSystem().WorldToScreen(f.SolarSystem().Planet(3)->Position);
  const QPoint offset = f.PaintBox->SceneRect().topLeft();
  QTest::mouseClick(f.PaintBox, Qt::LeftButton, {}, QPoint(mars.X + 3, mars.Y - 2) + offset);
  EXPECT_EQ(f.MonitorForm->ObjectName, "Mars");
  EXPECT_EQ(f.StatusBar->currentMessage().toStdString(), "Mars");
  // Hovering names it; empty sky names nothing and leaves the monitor.
  EXPECT_EQ(f.BodyNameAt(mars.X - 2, mars.Y + 3), "Mars");
  EXPECT_EQ(f.BodyNameAt(mars.X + 30, mars.Y + 30), "");
  QTest::mouseClick(f.PaintBox, Qt::LeftButton, {}, offset + QPoint(2, 2));
  EXPECT_EQ(f.MonitorForm->ObjectName, "Mars");
  EXPECT_TRUE(f.StatusBar->currentMessage().isEmpty());

  // A satellite carries its designation, as the monitor lists it.
  f.CBCenterObject->setCurrentIndex(5);  // Jupiter
  f.CBCenterObjectChange();
  f.TBDim->setValue(10);  // about 0.0056 AU
  f.PaintBox->grab();
  const TPlanet& jupiter = *f.SolarSystem().Planet(4);
  const TSatellite& io = *jupiter.Satellites.Items(0);
  const TScreenPoint p = f.SolarSystem().WorldToScreen(VecAdd(io.Position, jupiter.Position));
  f.PaintBoxClick(p.X, p.Y);
  EXPECT_EQ(f.MonitorForm->ObjectName, "Io (J I)");
}

TEST_F(DesktopWindow, KeysStepTheTimeAndRunTheAnimation)
{
  TSolarSystemForm& f = Make();
  f.PaintBox->setFocus();
  QTest::keyClick(f.PaintBox, Qt::Key_PageDown);
  EXPECT_EQ(f.CurrentTime.Day, 2);
  QTest::keyClick(f.PaintBox, Qt::Key_PageUp);
  QTest::keyClick(f.PaintBox, Qt::Key_PageUp);
  EXPECT_EQ(f.CurrentTime.Day, 31);

  // Space starts, pauses and resumes; Escape stops.
  QTest::keyClick(f.PaintBox, Qt::Key_Space);
  EXPECT_TRUE(f.Timer->isActive());
  EXPECT_FALSE(f.SBStartAnimate->isEnabled());
  QTest::keyClick(f.PaintBox, Qt::Key_Space);
  EXPECT_FALSE(f.Timer->isActive());
  EXPECT_TRUE(f.SBPauseAnimate->isChecked());
  QTest::keyClick(f.PaintBox, Qt::Key_Space);
  EXPECT_TRUE(f.Timer->isActive());
  QTest::keyClick(f.PaintBox, Qt::Key_Escape);
  EXPECT_FALSE(f.Timer->isActive());
  EXPECT_TRUE(f.SBStartAnimate->isEnabled());
  EXPECT_EQ(f.CurrentTime.Day, 31);

  // In a text field Space is typed; on a check box it checks.
  f.SetActivePage(0);
  f.ETimeValue->setFocus();
  f.ETimeValue->clear();
  QTest::keyClick(f.ETimeValue, Qt::Key_Space);
  EXPECT_EQ(f.ETimeValue->text().toStdString(), " ");
  f.SetActivePage(1);
  f.CBShowApsides->setFocus();
  const bool apsides = f.CBShowApsides->isChecked();
  QTest::keyClick(f.CBShowApsides, Qt::Key_Space);
  EXPECT_NE(f.CBShowApsides->isChecked(), apsides);
  EXPECT_FALSE(f.Timer->isActive());
}

TEST_F(DesktopWindow, TabReachesEveryControlOfEachPage)
{
  TSolarSystemForm& f = Make();
  for (int page = 0; page < 3; ++page) {
    f.SetActivePage(page);
    QApplication::processEvents();
    QWidget* pageWidget = page == 0 ? f.TSTime : page == 1 ? f.TSView : f.TSObjects;
    // Each control, or for a group of exclusive buttons (radio buttons,
    // the time units) one of the group: the arrow keys move within it.
    std::map<QObject*, std::set<QWidget*>> wanted;
    for (QWidget* w : pageWidget->findChildren<QWidget*>()) {
      if (!w->isVisible() || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus)) continue;
      if (w->focusProxy()) continue;
      QObject* key = w;
      if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        if (b->group() && b->group()->exclusive())
          key = b->group();
        else if (b->autoExclusive())
          key = b->parent();
      }
      wanted[key].insert(w);
    }
    ASSERT_GT(wanted.size(), 5u) << page;
    f.PageTabs->setFocus();
    std::set<QWidget*> reached;
    for (int i = 0; i < 120; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      reached.insert(QApplication::focusWidget());
    }
    for (const auto& [key, group] : wanted) {
      bool any = false;
      for (QWidget* w : group) any = any || reached.count(w);
      EXPECT_TRUE(any) << "page " << page << ": " << (*group.begin())->objectName().toStdString();
    }
  }
}

TEST_F(DesktopWindow, EveryCommandIsInTheMenuBarWithItsShortcut)
{
  TSolarSystemForm& f = Make();
  QStringList titles;
  std::set<QAction*> inMenus;
  for (QAction* m : f.MenuBar->actions()) {
    titles << QString(m->text()).remove('&');
    // Alt and a menu's letter never also choose a tab of the panel.
    const QKeySequence letter = QKeySequence::mnemonic(m->text());
    for (int tab = 0; tab < f.PageTabs->count(); ++tab)
      EXPECT_NE(letter, QKeySequence::mnemonic(f.PageTabs->tabText(tab)))
          << m->text().toStdString();
    ASSERT_TRUE(m->menu());
    for (QAction* a : m->menu()->actions()) inMenus.insert(a);
  }
  EXPECT_EQ(titles, QStringList({"File", "View", "Time", "Objects", "Windows", "Help"}));
  // Every command of the window, the tool bar's and the keys' alike.
  for (QAction* a : f.actions())
    EXPECT_TRUE(inMenus.count(a)) << a->objectName().toStdString();
  const std::pair<QAction*, const char*> shortcuts[] = {
      {f.ActOpen, "Ctrl+O"},      {f.ActSave, "Ctrl+S"},       {f.ActPrint, "Ctrl+P"},
      {f.ActLoadTemplate, "Ctrl+T"}, {f.ActZoomIn, "Alt+Up"},  {f.ActZoomOut, "Alt+Down"},
      {f.ActRotX0, "Ctrl+Up"},    {f.ActRotX1, "Ctrl+Down"},  {f.ActRotZ0, "Ctrl+Right"},
      {f.ActRotZ1, "Ctrl+Left"},  {f.ActNextTab, "Shift+Backtab"},
      {f.ActStepForward, "PgDown"}, {f.ActStartPause, "Space"}};
  for (const auto& [action, keys] : shortcuts) {
    EXPECT_EQ(action->shortcut().toString().toStdString(), keys)
        << action->objectName().toStdString();
    EXPECT_TRUE(action->isShortcutVisibleInContextMenu());
  }
  // A menu's item works as the panel's button.
  f.ActMonitor->trigger();
  EXPECT_TRUE(f.MonitorForm->isVisible());
  EXPECT_TRUE(f.SBMonitor->isChecked());
  f.MWindows->aboutToShow();
  EXPECT_TRUE(f.ActMonitor->isChecked());
  // The status bar sits at the bottom, below the picture.
  EXPECT_GE(f.StatusBar->geometry().top(), f.PaintBox->geometry().bottom());
}

}  // namespace
