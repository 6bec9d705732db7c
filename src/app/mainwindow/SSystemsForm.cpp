// The main window's life: creation (restoring the previous state from the
// settings file and "last.orb" or the document on the command line), first
// showing, the events it handles itself, and the saving of the state at exit.
#include "app/mainwindow/SSystemsForm.h"

#include "app/mainwindow/AboutBoxes.h"
#include "app/mainwindow/CommandLine.h"
#include "app/dialogs/DescriptionForms.h"
#include "app/monitor/MonitorForms.h"
#include "app/widgets/PaintBox.h"
#include "app/widgets/ScreenFit.h"
#include "app/widgets/SpinButton.h"
#include "app/ProgramFiles.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QKeyEvent>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>

#include <filesystem>

namespace fs = std::filesystem;

TSolarSystemForm::TSolarSystemForm(const TFormOptions& options)
    : solarSystem_(std::make_unique<TSolarSystem>())
{
  if (options.Prompts) {
    prompts_ = options.Prompts;
  } else {
    ownPrompts_ = std::make_unique<TDialogPrompts>();
    prompts_ = ownPrompts_.get();
  }
  splash_ = options.Splash;
  aboutBox_ = options.AboutBox;
  CreateControls();
  CreateDialogs();
  move(508, 260);
  SetActivePage(1);
  qApp->installEventFilter(this);  // the mouse wheel over any control
  FormCreate(options);
}

TSolarSystemForm::~TSolarSystemForm()
{
  qApp->removeEventFilter(this);
  Timer->stop();
  RTTimer->stop();
  FormDestroy();
}

template <class F>
void TSolarSystemForm::RunStep(F&& step)
{
  try {
    step();
  } catch (const std::exception& e) {
    Prompts().Error(this, e.what());
  }
}

void TSolarSystemForm::FormCreate(const TFormOptions& options)
{
  // The monitor and the description windows come with their own parts
  // of the program.
  CreateMonitor();
  CreateDescriptionForm();
  setAcceptDrops(true);

  if (!options.ProgramDir.empty()) {
    ProgramDir = WithSeparator(options.ProgramDir);
  } else {
    std::string error;
    ProgramDir = PrepareProgramDir(QApplication::applicationDirPath().toStdString(), error);
    if (!error.empty()) Prompts().Error(this, error);
  }
  IniFileName = ProgramDir + SettingsFileName;
  BitmapPath = ProgramDir;
  BitmapSize = 500;

  RunStep([this] { SetTime(solarSystem_->DateTime()); });

  // The plane and grid buttons carry their values.
  planeButtons_->addButton(RBXY, XY);
  planeButtons_->addButton(RBXZ, XZ);
  planeButtons_->addButton(RBZY, ZY);
  planeButtons_->addButton(RB3D, D3);
  gridButtons_->addButton(RBNone, 0);
  gridButtons_->addButton(RBRectangular, 2);
  gridButtons_->addButton(RBRadial, 1);

  TimeStepValue = 1;
  TimeStepUnit = tsuDay;
  RealTimeMode = false;

  // Each step that fails is shown and the next still runs: skipping the
  // document would lose the user's state at the next exit.
  RunStep([this] { ReadSettings(); });
  RunStep([this, &options] { OpenInitialDocument(options.Arguments); });
  // Whatever the settings and the document asked for, the windows open
  // whole on a screen.
  KeepOnScreen(this);
  KeepOnScreen(MonitorForm);
  KeepOnScreen(DescriptionForm);
}

void TSolarSystemForm::OpenInitialDocument(const std::vector<std::string>& arguments)
{
  const std::string lastPath = ProgramDir + LastDocumentName;
  std::error_code ec;
  lastDocumentSettled_ = !fs::exists(lastPath, ec);

  const TCommandLine line = ParseCommandLine(arguments, ProgramDir);
  const bool isLast =
      !line.NamedDocument || fs::weakly_canonical(line.DocumentPath, ec) ==
                                 fs::weakly_canonical(lastPath, ec);
  const bool opened = OpenDocument(line.DocumentPath);
  // Another document named on the command line leaves "last.orb" to be
  // replaced at exit as usual.
  if (opened || !isLast) lastDocumentSettled_ = true;
  if (line.JD) {
    SetTime(JDToDateRec(0, *line.JD));
    UpdateControls();
  }
}

void TSolarSystemForm::FormShow()
{
  if (splash_) splash_->hide();
  UpdateControls();
}

void TSolarSystemForm::FormActivate()
{
  if (splash_) splash_->hide();
}

void TSolarSystemForm::FormDestroy()
{
  // A settings file that cannot be written does not keep the state from
  // being saved.
  RunStep([this] { WriteSettings(); });
  if (lastDocumentSettled_) SaveDocument(ProgramDir + LastDocumentName);
  DestroyMonitor();
}

void TSolarSystemForm::showEvent(QShowEvent* event)
{
  QWidget::showEvent(event);
  if (!shown_) {
    shown_ = true;
    FormShow();
  }
}

void TSolarSystemForm::changeEvent(QEvent* event)
{
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
  // The buttons take the new palette after the window: their glyphs are
  // drawn again once they have it.
  if (event->type() == QEvent::PaletteChange ||
      event->type() == QEvent::ApplicationPaletteChange)
    QTimer::singleShot(0, this, [this] { ApplyPaletteToGlyphs(); });
  QWidget::changeEvent(event);
}

void TSolarSystemForm::contextMenuEvent(QContextMenuEvent* event)
{
  PopupMenu->popup(event->globalPos());
  event->accept();
}

void TSolarSystemForm::dragEnterEvent(QDragEnterEvent* event)
{
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TSolarSystemForm::dropEvent(QDropEvent* event)
{
  std::vector<std::string> paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
  event->acceptProposedAction();
  FormDropFiles(paths);
}

bool TSolarSystemForm::eventFilter(QObject* watched, QEvent* event)
{
  switch (event->type()) {
    case QEvent::FocusIn:
      if (watched == EDate) EDateEnter();
      break;
    case QEvent::FocusOut: {
      // Leaving a field for another control commits it; switching to
      // another window or opening a menu does not.
      const auto reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) break;
      if (watched == EDate) EDateExit();
      else if (watched == ETime) ETimeExit();
      else if (watched == ETimeValue) ETimeValueExit();
      break;
    }
    case QEvent::ShortcutOverride: {
      // Space starts and pauses the animation, except where a control of
      // the focus uses it itself (a button, a list, the spin button).
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier &&
          (qobject_cast<QAbstractButton*>(watched) || qobject_cast<QComboBox*>(watched) ||
           qobject_cast<QAbstractItemView*>(watched) || dynamic_cast<TSpinButton*>(watched)))
        event->accept();
      break;
    }
    case QEvent::Wheel: {
      auto* w = qobject_cast<QWidget*>(watched);
      if (!w || w->window() != this) break;
      auto* wheel = static_cast<QWheelEvent*>(event);
      // Over the picture the wheel zooms; elsewhere only with Ctrl, so
      // that the panel's lists and sliders keep their own wheel.
      const bool ctrl = wheel->modifiers() & Qt::ControlModifier;
      if (!ctrl && w != PaintBox) break;
      wheelRemainder_ += wheel->angleDelta().y();
      for (; wheelRemainder_ >= 120; wheelRemainder_ -= 120) FormMouseWheelUp(wheel->modifiers());
      for (; wheelRemainder_ <= -120; wheelRemainder_ += 120)
        FormMouseWheelDown(wheel->modifiers());
      return true;
    }
    default: break;
  }
  return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- pages

int TSolarSystemForm::ActivePageIndex() const
{
  const int i = PageControl->currentIndex();
  return i >= 0 && i <= 2 ? i : -1;
}

void TSolarSystemForm::SetActivePage(int index)
{
  if (index >= 0 && index <= 2) {
    PageControl->setCurrentIndex(index);
    if (PageTabs->currentIndex() != index) {
      const QSignalBlocker block(PageTabs);
      PageTabs->setCurrentIndex(index);
    }
  } else {
    // No page: the panel stays empty until a tab is chosen.
    PageControl->setCurrentWidget(blankPage_);
  }
}

// ------------------------------------------------------------- settings

void TSolarSystemForm::ReadSettings()
{
  TSettings defaults = settings_;
  defaults.MainTop = y();
  defaults.MainLeft = x();
  defaults.MainWidth = width();
  defaults.MainHeight = height();
  defaults.MainPage = 1;
  defaults.BitmapSize = BitmapSize;
  defaults.BitmapPath = BitmapPath;
  settings_ = ReadSettingsFile(IniFileName, defaults, ProgramDir);

  PlaceOnScreen(this, QPoint(settings_.MainLeft, settings_.MainTop),
                QSize(settings_.MainWidth, settings_.MainHeight));
  SetActivePage(settings_.MainPage);
  // The description and monitor windows take their places and stay-on-top
  // styles from here when they exist.
  PlaceDescriptionForm();
  BitmapSize = settings_.BitmapSize;
  BitmapPath = settings_.BitmapPath;
  TablePath = settings_.DatabasePath;
  TableName = settings_.DatabaseTable;
  solarSystem_->MinorBodyMotion =
      settings_.PerturbedMotion ? TMinorBodyMotion::Perturbed : TMinorBodyMotion::Kepler;
  if (CBMinorBodyMotion) CBMinorBodyMotion->setCurrentIndex(settings_.PerturbedMotion ? 0 : 1);
  ApplyMonitorSettings();
  // Last: a table that cannot be opened is shown as an error, and start-up
  // goes on with the document; the table stays closed until one is chosen.
  OpenMinorBodyTable(settings_.DatabasePath, settings_.DatabaseTable);
}

void TSolarSystemForm::WriteSettings()
{
  TSettings s = settings_;
  s.MainTop = y();
  s.MainLeft = x();
  s.MainWidth = width();
  s.MainHeight = height();
  s.MainPage = ActivePageIndex();
  s.BgColor = static_cast<int>(solarSystem_->BgColor);
  s.GridColor = static_cast<int>(solarSystem_->GridColor);
  s.BitmapSize = BitmapSize;
  s.BitmapPath = BitmapPath;
  s.DatabasePath = TablePath;
  s.DatabaseTable = TableName;
  s.PerturbedMotion = solarSystem_->MinorBodyMotion == TMinorBodyMotion::Perturbed;
  CollectMonitorSettings(s);
  KeepDescriptionPlace(s);
  WriteSettingsFile(IniFileName, s);
  settings_ = s;
}
