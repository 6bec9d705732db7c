// The main window's controls: drawing area, control panel, tool bar, tab
// pages, commands and their connections to the handlers.
#include "app/mainwindow/SSystemsForm.h"

#include "app/widgets/ColorSwatch.h"
#include "app/widgets/PaintBox.h"
#include "app/widgets/PanelGlyphs.h"
#include "app/ProgramIdentity.h"
#include "app/widgets/SpinButton.h"
#include "app/mainwindow/ViewScale.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int ControlPanelWidth = 156;

// A small button of the panel: reached by Tab, but a click leaves the
// keyboard focus where it was (a field being typed in is not committed).
QToolButton* SpeedButton(const char* name, const QString& caption, const QString& hint,
                         QWidget* parent, bool toggle = false)
{
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setText(caption);
  b->setToolTip(hint);
  b->setCheckable(toggle);
  b->setFocusPolicy(Qt::TabFocus);
  b->setFixedSize(20, 20);
  return b;
}

QToolButton* GlyphButton(const char* name, TPanelGlyph glyph, const QString& hint,
                         QWidget* parent, bool toggle)
{
  auto* b = SpeedButton(name, {}, hint, parent, toggle);
  b->setIcon(PanelGlyph(glyph, parent->palette()));
  b->setFixedSize(28, 22);
  return b;
}

QGroupBox* Group(const char* name, const QString& caption, QWidget* parent)
{
  auto* g = new QGroupBox(caption, parent);
  g->setObjectName(name);
  return g;
}

template <class L>
L* Tight(L* layout)
{
  layout->setContentsMargins(4, 2, 4, 3);
  layout->setSpacing(2);
  return layout;
}

QCheckBox* CheckBox(const char* name, const QString& caption, QWidget* parent)
{
  auto* c = new QCheckBox(caption, parent);
  c->setObjectName(name);
  return c;
}

QRadioButton* Radio(const char* name, const QString& caption, QWidget* parent)
{
  auto* r = new QRadioButton(caption, parent);
  r->setObjectName(name);
  return r;
}

TColorSwatch* Swatch(const char* name, QWidget* parent)
{
  auto* s = new TColorSwatch(parent);
  s->setObjectName(name);
  return s;
}

QSlider* TrackBar(const char* name, int min, int max, int ticks, QWidget* parent)
{
  auto* t = new QSlider(Qt::Horizontal, parent);
  t->setObjectName(name);
  t->setRange(min, max);
  t->setTickInterval(ticks);
  t->setTickPosition(QSlider::TicksBelow);
  t->setSingleStep(1);
  t->setPageStep(ticks);
  return t;
}

QAction* Command(const char* name, const QString& caption, const QString& hint,
                 QWidget* owner)
{
  auto* a = new QAction(caption, owner);
  a->setObjectName(name);
  a->setToolTip(hint);
  a->setStatusTip(hint);
  a->setShortcutContext(Qt::WindowShortcut);
  owner->addAction(a);
  return a;
}

}  // namespace

void TSolarSystemForm::CreateControls()
{
  setObjectName("SolarSystemForm");
  setWindowTitle("Sollumen");
  setWindowIcon(ProgramIcon());
  resize(744, 631);
  setMinimumSize(674, 550);

  // The menu bar on top, the status bar at the bottom, and between them
  // the drawing area with the control panel on its right.
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  MenuBar = new QMenuBar(this);
  MenuBar->setObjectName("MenuBar");
  outer->setMenuBar(MenuBar);
  auto* layout = new QHBoxLayout;
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  outer->addLayout(layout, 1);
  StatusBar = new QStatusBar(this);
  StatusBar->setObjectName("StatusBar");
  StatusBar->setSizeGripEnabled(true);
  outer->addWidget(StatusBar);

  PaintBox = new TPaintBox(*solarSystem_, this);
  PaintBox->setObjectName("PaintBox");
  PaintBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  // A click on the picture takes the focus from a field, so that the keys
  // of the window (Space) work again.
  PaintBox->setFocusPolicy(Qt::ClickFocus);
  layout->addWidget(PaintBox, 1);

  ControlPanel = new QWidget(this);
  ControlPanel->setObjectName("ControlPanel");
  ControlPanel->setFixedWidth(ControlPanelWidth);
  ControlPanel->setAutoFillBackground(true);
  ControlPanel->setMouseTracking(true);
  // The small font of the panel: everything must fit in 156 pixels.
  QFont panelFont("Arial");
  panelFont.setStyleHint(QFont::SansSerif);
  panelFont.setPixelSize(11);
  ControlPanel->setFont(panelFont);
  // Group captions sit on the frame line, as they save a line each.
  ControlPanel->setStyleSheet(
      "QWidget { font-family: Arial; font-size: 11px; }"
      "QGroupBox { border: 1px solid palette(mid); border-radius: 2px;"
      " margin-top: 6px; padding-top: 3px; }"
      "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0px 2px; }"
      "QCheckBox, QRadioButton { max-height: 16px; }");
  layout->addWidget(ControlPanel);

  auto* panel = new QVBoxLayout(ControlPanel);
  panel->setContentsMargins(0, 0, 0, 0);
  panel->setSpacing(0);

  CreateCommands();

  ToolBar = new QToolBar(ControlPanel);
  ToolBar->setObjectName("ToolBar");
  ToolBar->setIconSize(QSize(16, 16));
  ToolBar->setMovable(false);
  ToolBar->setContentsMargins(0, 0, 0, 0);
  ToolBar->layout()->setSpacing(0);
  ToolBar->setStyleSheet("QToolBar { padding: 0px; spacing: 0px; border: none; }"
                         "QToolButton { padding: 0px; margin: 0px; }");
  const std::pair<QAction*, const char*> buttons[] = {
      {ActOpen, "TBOpen"},   {ActSave, "TBSave"},   {ActPrint, "TBPrint"},
      {ActSaveAsBitmap, "TBSaveAsBitmap"}, {ActSaveAnimation, "TBSaveAnimation"},
      {ActAbout, "TBAbout"}, {ActExit, "TBExit"}};
  for (const auto& [action, name] : buttons) {
    ToolBar->addAction(action);
    if (QWidget* w = ToolBar->widgetForAction(action)) {
      w->setObjectName(name);
      w->setFocusPolicy(Qt::NoFocus);
    }
  }
  panel->addWidget(ToolBar);

  PageTabs = new QTabBar(ControlPanel);
  PageTabs->setObjectName("PageTabs");
  PageTabs->setDrawBase(true);
  PageTabs->setExpanding(false);
  PageTabs->setFocusPolicy(Qt::TabFocus);
  PageTabs->setStyleSheet(
      "QTabBar::tab { width: 40px; padding: 2px; }"
      "QTabBar::tab:hover { color: palette(highlight); }");
  PageTabs->addTab("&Time");
  PageTabs->addTab("&View");
  PageTabs->addTab("&Objects");
  panel->addWidget(PageTabs);

  PageControl = new QStackedWidget(ControlPanel);
  PageControl->setObjectName("PageControl");
  PageControl->setMouseTracking(true);
  TSTime = CreateTimePage();
  TSView = CreateViewPage();
  TSObjects = CreateObjectsPage();
  blankPage_ = new QWidget(PageControl);
  PageControl->addWidget(TSTime);
  PageControl->addWidget(TSView);
  PageControl->addWidget(TSObjects);
  PageControl->addWidget(blankPage_);
  // A window lower than the pages (a small screen at a large scale)
  // scrolls them; the panel widens by the scroll bar meanwhile.
  PanelScroll = new QScrollArea(ControlPanel);
  PanelScroll->setObjectName("PanelScroll");
  PanelScroll->setFrameShape(QFrame::NoFrame);
  PanelScroll->setWidgetResizable(true);
  PanelScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  PanelScroll->setWidget(PageControl);
  PanelScroll->setFocusPolicy(Qt::NoFocus);
  connect(PanelScroll->verticalScrollBar(), &QScrollBar::rangeChanged, this,
          [this](int, int max) {
            const int bar = PanelScroll->verticalScrollBar()->sizeHint().width();
            ControlPanel->setFixedWidth(ControlPanelWidth + (max > 0 ? bar : 0));
          });
  panel->addWidget(PanelScroll, 1);

  PopupMenu = new QMenu(this);
  PopupMenu->setObjectName("PopupMenu");
  PopupMenu->addAction(ActOpen);
  PopupMenu->addAction(ActSave);
  PopupMenu->addAction(ActPrint);
  PopupMenu->addAction(ActSaveAsBitmap);
  PopupMenu->addAction(ActSaveAnimation);
  PopupMenu->addAction(ActLoadTemplate);
  PopupMenu->addSeparator()->setObjectName("N1");
  PopupMenu->addAction(ActAbout);

  Timer = new QTimer(this);
  Timer->setObjectName("Timer");
  Timer->setInterval(200);
  RTTimer = new QTimer(this);
  RTTimer->setObjectName("RTTimer");
  RTTimer->setInterval(60000);

  CreateMenus();
  ConnectControls();
}

QWidget* TSolarSystemForm::CreateTimePage()
{
  auto* page = new QWidget;
  page->setObjectName("TSTime");
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(3, 3, 3, 3);
  v->setSpacing(4);

  GBTime = Group("GBTime", "&Time", page);
  auto* g = Tight(new QGridLayout(GBTime));
  g->setVerticalSpacing(4);

  ETimeValue = new QLineEdit(GBTime);
  ETimeValue->setObjectName("ETimeValue");
  SBSidYears = SpeedButton("SBSidYears", "Y", "years", GBTime, true);
  SBDays = SpeedButton("SBDays", "D", "days", GBTime, true);
  SBHours = SpeedButton("SBHours", "H", "hours", GBTime, true);
  SBMinutes = SpeedButton("SBMinutes", "M", "minutes", GBTime, true);
  unitButtons_ = new QButtonGroup(this);
  unitButtons_->setExclusive(true);
  for (QToolButton* b : {SBSidYears, SBDays, SBHours, SBMinutes}) unitButtons_->addButton(b);
  SBDays->setChecked(true);
  auto* units = new QHBoxLayout;
  units->setSpacing(1);
  units->addWidget(ETimeValue, 1);
  for (QToolButton* b : {SBSidYears, SBDays, SBHours, SBMinutes}) units->addWidget(b);
  g->addLayout(units, 0, 0, 1, 3);

  Label2 = new QLabel("Time step:", GBTime);
  Label2->setObjectName("Label2");
  LTimeStep = new QLabel(GBTime);
  LTimeStep->setObjectName("LTimeStep");
  g->addWidget(Label2, 1, 0, 1, 3);
  g->addWidget(LTimeStep, 2, 0, 1, 3);

  SBDateUpDown = new TSpinButton(GBTime);
  SBDateUpDown->setObjectName("SBDateUpDown");
  SBDateUpDown->setToolTip("time forward / backward");
  SBDateUpDown->setFixedWidth(18);
  g->addWidget(SBDateUpDown, 3, 0, 2, 1);

  EDate = new QLineEdit(GBTime);
  EDate->setObjectName("EDate");
  SBNow = SpeedButton("SBNow", "N", "now", GBTime);
  auto* dateRow = new QHBoxLayout;
  dateRow->setSpacing(2);
  dateRow->addWidget(EDate, 1);
  dateRow->addWidget(SBNow);
  g->addLayout(dateRow, 3, 1, 1, 2);

  ETime = new QLineEdit(GBTime);
  ETime->setObjectName("ETime");
  Label1 = new QLabel("UT", GBTime);
  Label1->setObjectName("Label1");
  SBZero = SpeedButton("SBZero", "Z", "zero time", GBTime);
  SBRealTime = SpeedButton("SBRealTime", "R", "real time mode", GBTime, true);
  auto* timeRow = new QHBoxLayout;
  timeRow->setSpacing(2);
  timeRow->addWidget(ETime, 1);
  timeRow->addWidget(Label1);
  timeRow->addWidget(SBZero);
  timeRow->addWidget(SBRealTime);
  g->addLayout(timeRow, 4, 1, 1, 2);

  JDLabel = new QLabel("JD", GBTime);
  JDLabel->setObjectName("JDLabel");
  g->addWidget(JDLabel, 5, 0, 1, 3);
  g->setColumnStretch(1, 1);
  v->addWidget(GBTime);

  GBAnimate = Group("GBAnimate", "&Animate", page);
  auto* a = Tight(new QHBoxLayout(GBAnimate));
  SBStartAnimate = GlyphButton("SBStartAnimate", TPanelGlyph::Start, "start", GBAnimate, true);
  SBStopAnimate = GlyphButton("SBStopAnimate", TPanelGlyph::Stop, "stop", GBAnimate, false);
  SBPauseAnimate = GlyphButton("SBPauseAnimate", TPanelGlyph::Pause, "wait", GBAnimate, true);
  SBInvert = GlyphButton("SBInvert", TPanelGlyph::Reverse, "reverse", GBAnimate, true);
  for (QToolButton* b : {SBStartAnimate, SBStopAnimate, SBPauseAnimate, SBInvert})
    a->addWidget(b);
  a->addStretch(1);
  SBStopAnimate->setEnabled(false);
  SBPauseAnimate->setEnabled(false);
  SBInvert->setEnabled(false);
  v->addWidget(GBAnimate);
  v->addStretch(1);
  return page;
}

QWidget* TSolarSystemForm::CreateViewPage()
{
  auto* page = new QWidget;
  page->setObjectName("TSView");
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(2, 2, 2, 2);
  v->setSpacing(1);

  GBGrid = Group("GBGrid", "&Grid", page);
  auto* grid = Tight(new QGridLayout(GBGrid));
  RBNone = Radio("RBNone", "None", GBGrid);
  RBRectangular = Radio("RBRectangular", "Rect.", GBGrid);
  RBRadial = Radio("RBRadial", "Radial", GBGrid);
  ShpGrid = Swatch("ShpGrid", GBGrid);
  grid->addWidget(RBNone, 0, 0);
  grid->addWidget(RBRectangular, 0, 1);
  grid->addWidget(RBRadial, 1, 0);
  grid->addWidget(ShpGrid, 1, 1, Qt::AlignLeft);
  RBRectangular->setChecked(true);
  RBRadial->setEnabled(false);  // not in the 3D view
  v->addWidget(GBGrid);

  GBView = Group("GBView", "&view", page);
  auto* view = Tight(new QGridLayout(GBView));
  RBXY = Radio("RBXY", "X-Y-Pl.", GBView);
  RBXZ = Radio("RBXZ", "X-Z-Pl.", GBView);
  RBZY = Radio("RBZY", "Z-Y-Pl.", GBView);
  RB3D = Radio("RB3D", "3D", GBView);
  view->addWidget(RBXY, 0, 0);
  view->addWidget(RBXZ, 0, 1);
  view->addWidget(RBZY, 1, 0);
  view->addWidget(RB3D, 1, 1);
  RB3D->setChecked(true);
  v->addWidget(GBView);

  GBShow = Group("GBShow", "&show", page);
  auto* show = Tight(new QGridLayout(GBShow));
  show->setVerticalSpacing(0);
  CBShowNames = CheckBox("CBShowNames", "&Names", GBShow);
  CBShowOrbits = CheckBox("CBShowOrbits", "&Orbits", GBShow);
  CBShowAxes = CheckBox("CBShowAxes", "&Axes", GBShow);
  CBShowRotation = CheckBox("CBShowRotation", "&Rot. direction", GBShow);
  CBShowPerpendiculars = CheckBox("CBShowPerpendiculars", "Perpendiculars", GBShow);
  CBShowApsides = CheckBox("CBShowApsides", "Ap&sides", GBShow);
  CBShowLinesOfNodes = CheckBox("CBShowLinesOfNodes", "L&ines of nodes", GBShow);
  CBShowDirections = CheckBox("CBShowDirections", "User def. lines", GBShow);
  ShpAxes = Swatch("ShpAxes", GBShow);
  ShpPerpendiculars = Swatch("ShpPerpendiculars", GBShow);
  SBLines = SpeedButton("SBLines", ":::", "user defined lines", GBShow);
  SBLines->setFixedSize(22, 16);
  int row = 0;
  for (QCheckBox* c : {CBShowNames, CBShowOrbits, CBShowAxes, CBShowRotation,
                       CBShowPerpendiculars, CBShowApsides, CBShowLinesOfNodes,
                       CBShowDirections})
    show->addWidget(c, row++, 0);
  show->addWidget(ShpAxes, 2, 1);
  show->addWidget(ShpPerpendiculars, 4, 1);
  show->addWidget(SBLines, 7, 1);
  show->setColumnStretch(0, 1);
  // the design state, as the scene starts
  for (QCheckBox* c : {CBShowNames, CBShowOrbits, CBShowDirections}) c->setChecked(true);
  v->addWidget(GBShow);

  GBBackground = Group("GBBackground", "&Background color", page);
  auto* background = Tight(new QHBoxLayout(GBBackground));
  ShpBackground = Swatch("ShpBackground", GBBackground);
  background->addWidget(ShpBackground);
  background->addStretch(1);
  v->addWidget(GBBackground);

  GroupBox1 = Group("GroupBox1", "&Center to object", page);
  auto* center = Tight(new QHBoxLayout(GroupBox1));
  CBCenterObject = new QComboBox(GroupBox1);
  CBCenterObject->setObjectName("CBCenterObject");
  CBCenterObject->addItems({"Sun", "Mercury", "Venus", "Earth", "Mars", "Jupiter", "Saturn",
                            "Uranus", "Neptune", "Pluto"});
  CBCenterObject->setMaxVisibleItems(10);
  center->addWidget(CBCenterObject);
  v->addWidget(GroupBox1);

  GBDimension = Group("GBDimension", "&Dimension", page);
  auto* dimension = Tight(new QHBoxLayout(GBDimension));
  TBDim = TrackBar("TBDim", DimTrackMin, DimTrackMax, 8, GBDimension);
  TBDim->setValue(16);
  dimension->addWidget(TBDim);
  v->addWidget(GBDimension);

  GBRotate = Group("GBRotate", "&Rotate", page);
  auto* rotate = Tight(new QVBoxLayout(GBRotate));
  TBRotX = TrackBar("TBRotX", 0, 180, 15, GBRotate);
  TBRotZ = TrackBar("TBRotZ", -180, 180, 30, GBRotate);
  rotate->addWidget(TBRotX);
  rotate->addWidget(TBRotZ);
  v->addWidget(GBRotate);

  GBWindows = Group("GBWindows", "&Windows", page);
  auto* windows = Tight(new QGridLayout(GBWindows));
  SBDescription = SpeedButton("SBDescription", "Description", "view file description",
                              GBWindows, true);
  SBMonitor = SpeedButton("SBMonitor", "Monitor", "view monitor", GBWindows, true);
  for (QToolButton* b : {SBDescription, SBMonitor}) {
    b->setFixedSize(60, 18);
    b->setEnabled(false);  // until the monitor and description windows exist
  }
  CBDescriptionStayOnTop = CheckBox("CBDescriptionStayOnTop", "Stay on top", GBWindows);
  CBMonitorStayOnTop = CheckBox("CBMonitorStayOnTop", "Stay on top", GBWindows);
  windows->addWidget(SBDescription, 0, 0);
  windows->addWidget(CBDescriptionStayOnTop, 0, 1);
  windows->addWidget(SBMonitor, 1, 0);
  windows->addWidget(CBMonitorStayOnTop, 1, 1);
  v->addWidget(GBWindows);
  v->addStretch(1);
  return page;
}

void TSolarSystemForm::CreateCommands()
{
  QStyle* s = style();
  ActOpen = Command("ActOpen", "&Open file", "open file", this);
  ActOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  ActOpen->setIcon(s->standardIcon(QStyle::SP_DialogOpenButton));
  ActSave = Command("ActSave", "&Save file", "save file", this);
  ActSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  ActSave->setIcon(s->standardIcon(QStyle::SP_DialogSaveButton));
  ActPrint = Command("ActPrint", "&Print", "print the current plot", this);
  ActPrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  ActPrint->setIcon(s->standardIcon(QStyle::SP_FileDialogDetailedView));
  ActSaveAsBitmap =
      Command("ActSaveAsBitmap", "Save &as bitmap", "save the current plot as a bitmap file", this);
  ActSaveAsBitmap->setIcon(s->standardIcon(QStyle::SP_DriveFDIcon));
  ActSaveAnimation = Command("ActSaveAnimation", "Save a&nimation…",
                             "save an animation as a video file (MP4, WebM or GIF)", this);
  ActSaveAnimation->setIcon(s->standardIcon(QStyle::SP_MediaPlay));
  ActLoadTemplate = Command("ActLoadTemplate", "Load &template file",
                            "load template file (template.orb)", this);
  ActLoadTemplate->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
  ActAbout = Command("ActAbout", "A&bout", "about this program", this);
  ActAbout->setIcon(s->standardIcon(QStyle::SP_MessageBoxInformation));
  ActExit = Command("ActExit", "E&xit", "exit program", this);
  ActExit->setIcon(PanelGlyph(TPanelGlyph::Exit, palette()));

  // Commands that had no caption (keys only) get one for the menu bar.
  ActNextTab = Command("ActNextTab", "&Next panel page", {}, this);
  ActNextTab->setShortcuts({QKeySequence(Qt::SHIFT | Qt::Key_Backtab),
                            QKeySequence(Qt::SHIFT | Qt::Key_Tab)});
  ActZoomIn = Command("ActZoomIn", "Zoom &in", {}, this);
  ActZoomIn->setShortcuts({QKeySequence(Qt::ALT | Qt::Key_Up), QKeySequence(Qt::Key_Plus),
                           QKeySequence(Qt::KeypadModifier | Qt::Key_Plus)});
  ActZoomOut = Command("ActZoomOut", "Zoom &out", {}, this);
  ActZoomOut->setShortcuts({QKeySequence(Qt::ALT | Qt::Key_Down), QKeySequence(Qt::Key_Minus),
                            QKeySequence(Qt::KeypadModifier | Qt::Key_Minus)});
  ActRotX0 = Command("ActRotX0", "Rotate about X +1\u00B0", {}, this);
  ActRotX0->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up));
  ActRotX1 = Command("ActRotX1", "Rotate about X \u22121\u00B0", {}, this);
  ActRotX1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down));
  ActRotZ0 = Command("ActRotZ0", "Rotate about Z +1\u00B0", {}, this);
  ActRotZ0->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Right));
  ActRotZ1 = Command("ActRotZ1", "Rotate about Z \u22121\u00B0", {}, this);
  ActRotZ1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Left));

  // Time: stepping and the animation from the keyboard.
  ActStepForward = Command("ActStepForward", "Step &forward", "time forward", this);
  ActStepForward->setShortcuts({QKeySequence(Qt::Key_PageDown),
                                QKeySequence(Qt::ALT | Qt::Key_Right)});
  ActStepBackward = Command("ActStepBackward", "Step &backward", "time backward", this);
  ActStepBackward->setShortcuts({QKeySequence(Qt::Key_PageUp),
                                 QKeySequence(Qt::ALT | Qt::Key_Left)});
  ActStartPause = Command("ActStartPause", "&Start / pause animation", "start or pause", this);
  ActStartPause->setShortcut(QKeySequence(Qt::Key_Space));
  ActStopAnimation = Command("ActStopAnimation", "S&top animation", "stop", this);
  ActStopAnimation->setShortcut(QKeySequence(Qt::Key_Escape));
  ActNow = Command("ActNow", "&Now", "now", this);
  ActZeroTime = Command("ActZeroTime", "&Zero time", "zero time", this);
  ActRealTime = Command("ActRealTime", "&Real time mode", "real time mode", this);
  ActRealTime->setCheckable(true);

  // Objects and windows: the panel's buttons as commands.
  ActAddObjects = Command("ActAddObjects", "&Add minor bodies\u2026", "add objects", this);
  ActShowAllObjects = Command("ActShowAllObjects", "Show all &objects",
                              "show all objects of database", this);
  ActShowAllObjects->setCheckable(true);
  ActDataFile = Command("ActDataFile", "&Data file\u2026", "select data file", this);
  ActSatellites = Command("ActSatellites", "&Satellites\u2026", "select satellites", this);
  ActSpacecrafts = Command("ActSpacecrafts", "S&pacecraft\u2026", "select spacecraft", this);
  ActUserLines = Command("ActUserLines", "&User defined lines\u2026", "user defined lines", this);
  ActMonitor = Command("ActMonitor", "&Monitor", "view monitor", this);
  ActMonitor->setCheckable(true);
  ActMonitor->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
  ActDescription = Command("ActDescription", "&Description", "view file description", this);
  ActDescription->setCheckable(true);
  ActDescription->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  // Every shortcut is shown in the menus.
  for (QAction* a : actions()) a->setShortcutVisibleInContextMenu(true);
}

void TSolarSystemForm::ConnectControls()
{
  // commands
  connect(ActOpen, &QAction::triggered, this, [this] { ActOpenExecute(); });
  connect(ActSave, &QAction::triggered, this, [this] { ActSaveExecute(); });
  connect(ActPrint, &QAction::triggered, this, [this] { ActPrintExecute(); });
  connect(ActSaveAsBitmap, &QAction::triggered, this, [this] { ActSaveAsBitmapExecute(); });
  connect(ActSaveAnimation, &QAction::triggered, this, [this] { ActSaveAnimationExecute(); });
  connect(ActLoadTemplate, &QAction::triggered, this, [this] { ActLoadTemplateExecute(); });
  connect(ActAbout, &QAction::triggered, this, [this] { ActAboutExecute(); });
  connect(ActExit, &QAction::triggered, this, [this] { ActExitExecute(); });
  connect(ActNextTab, &QAction::triggered, this, [this] { ActNextTabExecute(); });
  connect(ActZoomIn, &QAction::triggered, this, [this] { ActZoomInExecute(); });
  connect(ActZoomOut, &QAction::triggered, this, [this] { ActZoomOutExecute(); });
  connect(ActRotX0, &QAction::triggered, this, [this] { ActRotX0Execute(); });
  connect(ActRotX1, &QAction::triggered, this, [this] { ActRotX1Execute(); });
  connect(ActRotZ0, &QAction::triggered, this, [this] { ActRotZ0Execute(); });
  connect(ActRotZ1, &QAction::triggered, this, [this] { ActRotZ1Execute(); });

  // pages: a click on a tab shows its page even when the page control
  // shows none
  connect(PageTabs, &QTabBar::currentChanged, this, [this](int i) { SetActivePage(i); });
  connect(PageTabs, &QTabBar::tabBarClicked, this, [this](int i) { SetActivePage(i); });

  // time
  // Entering and leaving the fields reach eventFilter through the
  // application's filter.
  connect(EDate, &QLineEdit::returnPressed, this, [this] { EDateKeyPress('\r'); });
  connect(ETime, &QLineEdit::returnPressed, this, [this] { ETimeKeyPress('\r'); });
  connect(ETimeValue, &QLineEdit::returnPressed, this, [this] { ETimeValueKeyPress('\r'); });
  for (QToolButton* b : {SBSidYears, SBDays, SBHours, SBMinutes})
    connect(b, &QToolButton::clicked, this, [this] { SBTimeUnitClick(); });
  SBDateUpDown->OnUpClick = [this] { SBDateUpDownUpClick(); };
  SBDateUpDown->OnDownClick = [this] { SBDateUpDownDownClick(); };
  connect(SBNow, &QToolButton::clicked, this, [this] { SBNowClick(); });
  connect(SBZero, &QToolButton::clicked, this, [this] { SBZeroClick(); });
  connect(SBRealTime, &QToolButton::clicked, this, [this] { SBRealTimeClick(); });
  connect(RTTimer, &QTimer::timeout, this, [this] { RTTimerTimer(); });
  connect(SBStartAnimate, &QToolButton::clicked, this, [this] { SBStartAnimateClick(); });
  connect(SBStopAnimate, &QToolButton::clicked, this, [this] { SBStopAnimateClick(); });
  connect(SBPauseAnimate, &QToolButton::clicked, this, [this] { SBPauseAnimateClick(); });
  connect(Timer, &QTimer::timeout, this, [this] { TimerTimer(); });

  // view: the buttons carry their values (numbered when the window is made)
  planeButtons_ = new QButtonGroup(this);
  gridButtons_ = new QButtonGroup(this);
  connect(planeButtons_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    if (checked) RBViewTypeClick(id);
  });
  connect(gridButtons_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    if (checked) RBGridModeClick(id);
  });
  const std::pair<QCheckBox*, void (TSolarSystemForm::*)()> boxes[] = {
      {CBShowNames, &TSolarSystemForm::CBShowNamesClick},
      {CBShowOrbits, &TSolarSystemForm::CBShowOrbitsClick},
      {CBShowAxes, &TSolarSystemForm::CBShowAxesClick},
      {CBShowRotation, &TSolarSystemForm::CBShowRotationClick},
      {CBShowPerpendiculars, &TSolarSystemForm::CBShowPerpendicularsClick},
      {CBShowApsides, &TSolarSystemForm::CBShowApsidesClick},
      {CBShowLinesOfNodes, &TSolarSystemForm::CBShowLinesOfNodesClick},
      {CBShowDirections, &TSolarSystemForm::CBShowDirectionsClick},
      {CBDescriptionStayOnTop, &TSolarSystemForm::CBDescriptionStayOnTopClick},
      {CBMonitorStayOnTop, &TSolarSystemForm::CBMonitorStayOnTopClick}};
  for (const auto& [box, handler] : boxes)
    connect(box, &QCheckBox::toggled, this, [this, h = handler] { (this->*h)(); });
  ShpGrid->OnMouseDown = [this] { ShpGridMouseDown(); };
  ShpBackground->OnMouseDown = [this] { ShpBackgroundMouseDown(); };
  ShpAxes->OnMouseDown = [this] { ShpAxesMouseDown(); };
  ShpPerpendiculars->OnMouseDown = [this] { ShpPerpendicularsMouseDown(); };
  connect(SBLines, &QToolButton::clicked, this, [this] { SBLinesClick(); });
  // only the user's choice, not the window's own setting of the list
  connect(CBCenterObject, &QComboBox::activated, this, [this] { CBCenterObjectChange(); });
  connect(TBDim, &QSlider::valueChanged, this, [this] { TBDimChange(); });
  connect(TBRotX, &QSlider::valueChanged, this, [this] { TBRotXChange(); });
  connect(TBRotZ, &QSlider::valueChanged, this, [this] { TBRotZChange(); });
  connect(SBDescription, &QToolButton::clicked, this, [this] { SBDescriptionClick(); });
  connect(SBMonitor, &QToolButton::clicked, this, [this] { SBMonitorClick(); });

  // the mouse on the picture
  PaintBox->OnClick = [this](QPoint p) { PaintBoxClick(p.x(), p.y()); };
  PaintBox->OnDrag = [this](int dx, int dy) { PaintBoxDrag(dx, dy); };
  PaintBox->NameAt = [this](QPoint p) { return BodyNameAt(p.x(), p.y()); };
}
