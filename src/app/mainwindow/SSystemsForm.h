// The main window: the drawing area with the scene, and the control panel
// on its right with the tool bar and the Time, View and Objects tabs.
//
// The window owns the scene and the instant it shows (CurrentTime). Every
// change of the instant passes through SetTime; every change of the scene
// from outside the panel (a document, a dialog) ends with UpdateControls,
// which brings the panel into line with it.
//
// Handlers carry the names of the controls and events they serve
// (SBNowClick, EDateExit, TBDimChange, ActOpenExecute); tests call them
// directly or drive the controls.
#pragma once

#include "app/UserPrompts.h"
#include "astro/DatesAndTimes.h"
#include "document/SettingsFile.h"
#include "document/SimulationDocument.h"
#include "scene/SolarSystem.h"

#include <QWidget>

#include <array>

#include <memory>
#include <string>
#include <vector>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QScrollArea;
class QStatusBar;
class QProgressBar;
class TFullListLoader;
class QRadioButton;
class QSlider;
class QStackedWidget;
class QTabBar;
class QTimer;
class QToolBar;
class QToolButton;
class TAboutBox;
class QListWidget;
class TColorSwatch;
class TCreateIdxForm;
class TDataFilesDlg;
class TSearchDlg;
class TSelectObjectForm;
class TTableNameDlg;
class TAsteroid;
class TDotBodyList;
struct TFullListFill;
class TDirectionsDlg;
class TMonitorForm;
class TDescriptionForm;
class TPaintBox;
class TPrintDlg;
class TSatellitesDlg;
class TSelectSpacecraftsDlg;
class TSaveAsBitmapDlg;
class TSaveAnimationDlg;
class TSpinButton;

struct TFormOptions {
  // The command line without the program's name: an optional Julian date,
  // then a document path.
  std::vector<std::string> Arguments;
  // Where "sl.ini", "last.orb" and "template.orb" lie, ending with the
  // separator; empty: chosen from the program file's place, with the
  // shipped files copied there on first start.
  std::string ProgramDir;
  // Message boxes and dialogs; null: the desktop's own.
  TUserPrompts* Prompts = nullptr;
  // The splash box, hidden when the window is shown or activated.
  QWidget* Splash = nullptr;
  // The about box; null: the window makes its own.
  TAboutBox* AboutBox = nullptr;
};

class TSolarSystemForm : public QWidget {
public:
  explicit TSolarSystemForm(const TFormOptions& options = {});
  ~TSolarSystemForm() override;  // FormDestroy

  TSolarSystem& SolarSystem() { return *solarSystem_; }

  // ---- time state
  TDateRec CurrentTime;
  TDateRec AnimationStartTime;
  bool RealTimeMode = false;
  long double TimeStepValue = 1;
  int TimeStepUnit = tsuDay;  // a time-step unit code, 0..255

  // ---- files
  std::string ProgramDir;   // ends with the separator
  std::string IniFileName;  // ProgramDir + "sl.ini"
  std::string BitmapPath;
  int BitmapSize = 500;
  std::string DocumentFileName;  // empty until a document was read
  // The minor-body table in use: its directory and file name.
  std::string TablePath;
  std::string TableName;

  // ---- the instant
  void SetTime(const TDateRec& t);
  void StepForward();
  void StepBackward();
  void SetRealTimeMode(bool on);
  void StartAnimation();
  void StopAnimation();
  void SetAnimationRunning(bool on);

  void EDateEnter();
  void EDateExit();
  void EDateKeyPress(char key);
  void ETimeExit();
  void ETimeKeyPress(char key);
  void ETimeValueExit();
  void ETimeValueKeyPress(char key);
  void SBTimeUnitClick();
  void SBDateUpDownUpClick();
  void SBDateUpDownDownClick();
  void SBNowClick();
  void SBZeroClick();
  void SBRealTimeClick();
  void RTTimerTimer();
  void SBStartAnimateClick();
  void SBStopAnimateClick();
  void SBPauseAnimateClick();
  void TimerTimer();

  // ---- view panel and commands
  void UpdateControls();
  void RBViewTypeClick(int plane);
  void RBGridModeClick(int mode);
  void CBShowNamesClick();
  void CBShowOrbitsClick();
  void CBShowAxesClick();
  void CBShowRotationClick();
  void CBShowPerpendicularsClick();
  void CBShowApsidesClick();
  void CBShowLinesOfNodesClick();
  void CBShowDirectionsClick();
  void ShpGridMouseDown();
  void ShpBackgroundMouseDown();
  void ShpAxesMouseDown();
  void ShpPerpendicularsMouseDown();
  void SBLinesClick();
  void CBCenterObjectChange();
  void TBDimChange();
  void TBRotXChange();
  void TBRotZChange();
  void SBDescriptionClick();
  void SBMonitorClick();
  void CBDescriptionStayOnTopClick();
  void CBMonitorStayOnTopClick();
  // One notch of the wheel: over the picture with or without Ctrl,
  // anywhere in the window with Ctrl (the event filter decides).
  void FormMouseWheelUp(Qt::KeyboardModifiers modifiers);
  void FormMouseWheelDown(Qt::KeyboardModifiers modifiers);

  // ---- the mouse on the picture and the keyboard (SSystemsFormMouse.cpp,
  // SSystemsFormMenus.cpp)
  // A click at a point of the scene's pixels: the body there (within a few
  // pixels) becomes the monitor's and its name shows in the status bar.
  void PaintBoxClick(int x, int y);
  // A drag with the left button turns the 3D view; the sliders follow.
  void PaintBoxDrag(int dx, int dy);
  // The name of the body at a point of the scene, empty for none.
  std::string BodyNameAt(int x, int y) const;
  // Pixels a click may miss a body's dot by.
  static constexpr int ClickTolerance = 5;
  void ActStepForwardExecute();
  void ActStepBackwardExecute();
  void ActStartPauseExecute();
  void ActStopAnimationExecute();
  void ActNextTabExecute();
  void ActZoomInExecute();
  void ActZoomOutExecute();
  void ActRotX0Execute();
  void ActRotX1Execute();
  void ActRotZ0Execute();
  void ActRotZ1Execute();
  void ActAboutExecute();
  void ActExitExecute();

  // The active tab: 0 Time, 1 View, 2 Objects; -1 when no page is shown.
  int ActivePageIndex() const;
  void SetActivePage(int index);

  // ---- the lines, satellites and spacecraft dialogs (SSystemsFormDialogs.cpp)
  // The Objects tab's satellites and spacecraft buttons (SBShowSatellites,
  // SBShowSpacecrafts) open the two dialogs.
  void SBShowSatellitesClick();
  void SBShowSpacecraftsClick();
  // Made once with the window and reused.
  TDirectionsDlg* DirectionsDlg = nullptr;
  TSatellitesDlg* SatellitesDlg = nullptr;
  TSelectSpacecraftsDlg* SelectSpacecraftsDlg = nullptr;

  // ---- documents
  // Reads a document into the scene and the window. False when the file
  // cannot be opened (the error box has been shown and nothing changed).
  bool OpenDocument(const std::string& path);
  // Writes the whole state; false after the error box.
  bool SaveDocument(const std::string& path);
  void ActOpenExecute();
  void ActSaveExecute();
  void ActLoadTemplateExecute();
  // Files dropped on the window: only the first counts, and only when its
  // extension is exactly ".orb".
  void FormDropFiles(const std::vector<std::string>& paths);
  // Where Open and Save start when no document is named: the folder used
  // last, the first time the user's documents folder; never the program's
  // own folder.
  std::string DocumentsFolder() const;
  void RememberDocumentsFolder(const std::string& path);
  // The window's part of a document as it stands now.
  TDocumentState CollectDocumentState() const;

  // ---- unsaved changes (SSystemsFormChanges.cpp)
  // A document the user named (opened, saved or given on the command line);
  // "last.orb" and the template are the program's own and never named.
  bool HasNamedDocument() const;
  // The named document differs from the file it was read from or saved to.
  bool DocumentModified();
  // Something the document holds may have changed: the caption's mark
  // follows, and the exact answer is worked out when the window is idle.
  void MarkDocumentChanged();
  // Before the state is replaced or the window closes: when the named
  // document has changes, asks Save, Discard or Cancel. False when the user
  // cancels or the saving failed: the action is then not to go on.
  bool SettleUnsavedChanges();
  // The caption: the instant, then the named document's file name with the
  // modified mark ("Sollumen   2026 December 9   16:31 UT — lesson.orb*").
  void UpdateCaption();
  // Whether "last.orb" will be written at exit.
  bool WillSaveLastDocument() const { return lastDocumentSettled_; }

  // ---- printing and image export (SSystemsFormOutput.cpp)
  void ActPrintExecute();
  void ActSaveAsBitmapExecute();
  // "Save animation": a film from the current instant on, made from a copy
  // of the scene on other threads while a progress window is shown.
  void ActSaveAnimationExecute();
  TSaveAnimationDlg* SaveAnimationDlg();
  // The dialogs, made on first use.
  TPrintDlg* PrintDlg();
  TSaveAsBitmapDlg* SaveAsBitmapDlg();
  // The two text lines under a printed or exported picture.
  std::vector<std::string> OutputLines() const;
  // ---- object panel (SSystemsFormObjects.cpp)
  void CBSunClick();
  void ShSunMouseDown();
  void CBPlanetClick(int index);
  void ShpPlanetsMouseDown(int index);  // 0-8 the planets, 12, 13
  void CBSatellitesClick();
  void CBSpacecraftsClick();
  void SBSelAllNoneClick(int index);  // 0 All, 1 None
  void ObjectsListBoxClick();
  void ObjectsListBoxKeyDown(int key);
  void SBAddObjectClick();
  void SBRemoveObjectClick();
  void SBClearObjectsClick();
  void ShAsteroidsMouseDown();
  void SBAllObjectsClick();
  void SBDatabaseClick();
  void CBMinorBodyMotionChange();
  // Integrates the listed minor bodies to jd before the scene is set to it,
  // with a progress window when that takes a while; false while a
  // preparation is running already (the instant is then left alone).
  bool PrepareMinorBodies(long double jd);
  // One message naming the minor bodies that fell back to two-body motion.
  void ReportMotionFailures();
  // Appends a minor body, asking for a numbered name when the name is
  // taken; false when the user declined (the body is dropped).
  bool AddMinorBody(std::unique_ptr<TAsteroid> body);
  bool ObjectNameExists(const std::string& name) const;
  void UpdateObjectsCaption();
  // The most rows "Add" turns into listed bodies at once.
  static constexpr int MaxAddedObjects = 10000;
  // The minor-body table: directed at a directory and file name and opened
  // (throws ETableError; the table then stays closed).
  void OpenMinorBodyTable(const std::string& directory, const std::string& fileName);

  // The minor-body windows, made once with the window.
  TSelectObjectForm* SelectObjectForm = nullptr;
  TDataFilesDlg* DataFilesDlg = nullptr;
  TTableNameDlg* TableNameDlg = nullptr;
  TSearchDlg* SearchDlg = nullptr;
  TCreateIdxForm* CreateIdxForm = nullptr;
  // Fills the full list of "Show all objects" in the background.
  TFullListLoader* FullListLoader = nullptr;

  // ---- the status bar (SSystemsFormStatus.cpp)
  // A progress bar with its text in the status bar, shown until EndProgress;
  // a percent below 0 shows work of unknown length.
  void ShowProgress(const std::string& text, int percent);
  void EndProgress();
  // A notice in the status bar, such as where an exported file went.
  void ShowStatus(const std::string& text);

  // Objects tab
  QGroupBox* GBSun = nullptr;
  QCheckBox* CBSun = nullptr;
  TColorSwatch* ShSun = nullptr;
  QGroupBox* GBPlanets = nullptr;
  QCheckBox *CBMercury = nullptr, *CBVenus = nullptr, *CBEarth = nullptr, *CBMars = nullptr,
            *CBJupiter = nullptr, *CBSaturn = nullptr, *CBUranus = nullptr,
            *CBNeptune = nullptr, *CBPluto = nullptr;
  TColorSwatch *SHMercury = nullptr, *ShVenus = nullptr, *SHEarth = nullptr, *SHMars = nullptr,
               *SHJupiter = nullptr, *ShSaturn = nullptr, *ShUranus = nullptr,
               *ShNeptune = nullptr, *ShPluto = nullptr;
  QCheckBox* CBSatellites = nullptr;
  TColorSwatch* ShSatellites = nullptr;
  QToolButton* SBShowSatellites = nullptr;
  QCheckBox* CBSpacecrafts = nullptr;
  TColorSwatch* ShSpacecrafts = nullptr;
  QToolButton* SBShowSpacecrafts = nullptr;
  QToolButton* SBSelAll = nullptr;
  QToolButton* SBDeselAll = nullptr;
  QGroupBox* GBOtherObjects = nullptr;
  QListWidget* ObjectsListBox = nullptr;
  QToolButton* SBAddObject = nullptr;
  QToolButton* SBRemoveObject = nullptr;
  QToolButton* SBClearObjects = nullptr;
  TColorSwatch* ShAsteroids = nullptr;
  QToolButton* SBAllObjects = nullptr;
  QToolButton* SBDatabase = nullptr;
  QComboBox* CBMinorBodyMotion = nullptr;  // 0 perturbed, 1 Keplerian

  // ---- settings
  void ReadSettings();
  void WriteSettings();
  const TSettings& Settings() const { return settings_; }

  // ---- controls
  // Drawing area and panel
  TPaintBox* PaintBox = nullptr;
  QWidget* ControlPanel = nullptr;
  QToolBar* ToolBar = nullptr;
  QTabBar* PageTabs = nullptr;          // the tabs of the page control
  QStackedWidget* PageControl = nullptr;  // its pages
  QWidget* TSTime = nullptr;
  QWidget* TSView = nullptr;
  QWidget* TSObjects = nullptr;
  QMenu* PopupMenu = nullptr;
  QMenuBar* MenuBar = nullptr;
  // At the bottom: the body clicked, where exported files went, and the
  // progress of long work.
  QStatusBar* StatusBar = nullptr;
  QProgressBar* ProgressBar = nullptr;  // in the status bar while work goes on
  QScrollArea* PanelScroll = nullptr;  // scrolls the pages on a low window
  QTimer* Timer = nullptr;
  QTimer* RTTimer = nullptr;

  // Time tab
  QGroupBox* GBTime = nullptr;
  QLineEdit* ETimeValue = nullptr;
  QToolButton* SBSidYears = nullptr;
  QToolButton* SBDays = nullptr;
  QToolButton* SBHours = nullptr;
  QToolButton* SBMinutes = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* LTimeStep = nullptr;
  TSpinButton* SBDateUpDown = nullptr;
  QLineEdit* EDate = nullptr;
  QToolButton* SBNow = nullptr;
  QLineEdit* ETime = nullptr;
  QLabel* Label1 = nullptr;
  QToolButton* SBZero = nullptr;
  QToolButton* SBRealTime = nullptr;
  QLabel* JDLabel = nullptr;
  QGroupBox* GBAnimate = nullptr;
  QToolButton* SBStartAnimate = nullptr;
  QToolButton* SBStopAnimate = nullptr;
  QToolButton* SBPauseAnimate = nullptr;
  QToolButton* SBInvert = nullptr;

  // View tab
  QGroupBox* GBGrid = nullptr;
  QRadioButton* RBNone = nullptr;
  QRadioButton* RBRectangular = nullptr;
  QRadioButton* RBRadial = nullptr;
  TColorSwatch* ShpGrid = nullptr;
  QGroupBox* GBView = nullptr;
  QRadioButton* RBXY = nullptr;
  QRadioButton* RBXZ = nullptr;
  QRadioButton* RBZY = nullptr;
  QRadioButton* RB3D = nullptr;
  QGroupBox* GBShow = nullptr;
  QCheckBox* CBShowNames = nullptr;
  QCheckBox* CBShowOrbits = nullptr;
  QCheckBox* CBShowAxes = nullptr;
  QCheckBox* CBShowRotation = nullptr;
  QCheckBox* CBShowPerpendiculars = nullptr;
  QCheckBox* CBShowApsides = nullptr;
  QCheckBox* CBShowLinesOfNodes = nullptr;
  QCheckBox* CBShowDirections = nullptr;
  TColorSwatch* ShpAxes = nullptr;
  TColorSwatch* ShpPerpendiculars = nullptr;
  QToolButton* SBLines = nullptr;
  QGroupBox* GBBackground = nullptr;
  TColorSwatch* ShpBackground = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QComboBox* CBCenterObject = nullptr;
  QGroupBox* GBDimension = nullptr;
  QSlider* TBDim = nullptr;
  QGroupBox* GBRotate = nullptr;
  QSlider* TBRotX = nullptr;
  QSlider* TBRotZ = nullptr;
  QGroupBox* GBWindows = nullptr;
  QToolButton* SBDescription = nullptr;
  QCheckBox* CBDescriptionStayOnTop = nullptr;
  QToolButton* SBMonitor = nullptr;
  QCheckBox* CBMonitorStayOnTop = nullptr;

  // Commands
  QAction* ActOpen = nullptr;
  QAction* ActSave = nullptr;
  QAction* ActPrint = nullptr;
  QAction* ActSaveAsBitmap = nullptr;
  QAction* ActSaveAnimation = nullptr;
  QAction* ActLoadTemplate = nullptr;
  QAction* ActAbout = nullptr;
  QAction* ActExit = nullptr;
  QAction* ActNextTab = nullptr;
  QAction* ActZoomIn = nullptr;
  QAction* ActZoomOut = nullptr;
  QAction* ActRotX0 = nullptr;
  QAction* ActRotX1 = nullptr;
  QAction* ActRotZ0 = nullptr;
  QAction* ActRotZ1 = nullptr;
  // Commands of the menu bar beyond the tool bar's
  QAction* ActStepForward = nullptr;
  QAction* ActStepBackward = nullptr;
  QAction* ActStartPause = nullptr;
  QAction* ActStopAnimation = nullptr;
  QAction* ActNow = nullptr;
  QAction* ActZeroTime = nullptr;
  QAction* ActRealTime = nullptr;
  QAction* ActAddObjects = nullptr;
  QAction* ActShowAllObjects = nullptr;
  QAction* ActDataFile = nullptr;
  QAction* ActSatellites = nullptr;
  QAction* ActSpacecrafts = nullptr;
  QAction* ActUserLines = nullptr;
  QAction* ActMonitor = nullptr;
  QAction* ActDescription = nullptr;
  // The menus, by their titles
  QMenu* MFile = nullptr;
  QMenu* MView = nullptr;
  QMenu* MTime = nullptr;
  QMenu* MObjects = nullptr;
  QMenu* MWindows = nullptr;
  QMenu* MHelp = nullptr;

  // ---- the monitor window, owned by this window
  TMonitorForm* MonitorForm = nullptr;
  // ---- companion windows
  TDescriptionForm* DescriptionForm = nullptr;  // owned as a child window

protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  // construction (SSystemsFormLayout.cpp)
  void CreateControls();
  QWidget* CreateTimePage();
  QWidget* CreateViewPage();
  void CreateCommands();
  void CreateMenus();  // SSystemsFormMenus.cpp
  void ConnectControls();
  // Checks and enables the menus' items as the panel's buttons stand.
  void UpdateMenuStates();
  // The glyphs drawn in the palette's ink, again after a change of theme.
  void ApplyPaletteToGlyphs();
  void CreateDialogs();  // SSystemsFormDialogs.cpp
  void CreateObjectDialogButtons();

  // start-up and shut-down
  void FormCreate(const TFormOptions& options);
  void FormShow();
  void FormActivate();
  void FormDestroy();
  void OpenInitialDocument(const std::vector<std::string>& arguments);
  // Runs one step of start-up or shut-down; an error is shown and the
  // sequence goes on.
  template <class F>
  void RunStep(F&& step);

  // time helpers
  void CommitStepValue();  // what ETimeValueExit does
  void ShowTimeStep();     // LTimeStep
  void UpdateTimeControls();
  void ShowTimeStepUnit();  // the unit button of TimeStepUnit down

  // view helpers
  void ApplyPlaneToControls();
  void ChooseColor(TColor& color);
  void Repaint();

  // documents
  void ApplyDocumentState(const TDocumentState& state, const TDocumentReadResult& result);
  // The document as it would be written now (the comparison behind the
  // modified mark), and the state taken as unchanged.
  std::vector<std::uint8_t> DocumentFingerprint();
  void MarkDocumentSaved();
  std::vector<std::uint8_t> savedFingerprint_;
  bool documentChanged_ = false;
  bool changeCheckPending_ = false;

  // The monitor recomputes its values; and shows the body of that name
  // (its SelectObject), the one place the object panel reaches it.
  void UpdateMonitor();
  void MonitorSelectObject(const std::string& name);

  // object panel (SSystemsFormObjects.cpp)
  QWidget* CreateObjectsPage();
  void CreateDatabaseWindows();
  void ConnectObjectControls();
  void ApplyObjectButtonRules();
  void UpdateObjectControls();
  void FillObjectsListBox();
  void ChoosePanelColor(int colorIndex, TColorSwatch* swatch);
  // A 1.5/1.6 document's table: opened, or both names emptied if it cannot
  // be (no message).
  void OpenDocumentTable(const std::string& directory, const std::string& fileName);
  // The background fill of "Show all objects" is complete.
  void FullListFinished(TDotBodyList& list, long double jd, const TFullListFill& fill,
                        const std::string& error);
  std::array<QCheckBox*, 9> planetBoxes_{};        // by planet index
  std::array<TColorSwatch*, 9> planetSwatches_{};  // by planet index

  // the monitor (SSystemsFormMonitor.cpp)
  void CreateMonitor();
  void DestroyMonitor();
  void ApplyMonitorSettings();
  void CollectMonitorSettings(TSettings& s) const;
  void ApplyMonitorDocumentState(const TDocumentState& state);
  void CollectMonitorDocumentState(TDocumentState& state) const;

  // the description window (SSystemsFormDescription.cpp)
  void CreateDescriptionForm();
  void PlaceDescriptionForm();  // from the settings
  void KeepDescriptionPlace(TSettings& s) const;
  void CollectDescription(TDocumentState& state) const;
  void ShowDocumentDescription(const TDocumentState& state);


  TUserPrompts& Prompts() { return *prompts_; }

  // printing and export: the screen's canvas back in the scene
  void RepaintScreen();
  TPrintDlg* printDlg_ = nullptr;
  TSaveAsBitmapDlg* saveAsBitmapDlg_ = nullptr;
  TSaveAnimationDlg* saveAnimationDlg_ = nullptr;

  std::unique_ptr<TSolarSystem> solarSystem_;
  std::unique_ptr<TUserPrompts> ownPrompts_;
  TUserPrompts* prompts_ = nullptr;
  QWidget* splash_ = nullptr;
  TAboutBox* aboutBox_ = nullptr;
  QWidget* blankPage_ = nullptr;  // shown when no tab page is active
  QButtonGroup* planeButtons_ = nullptr;
  QButtonGroup* gridButtons_ = nullptr;
  QButtonGroup* unitButtons_ = nullptr;

  TSettings settings_;
  bool preparingMinorBodies_ = false;
  // What the window keeps of a document for the windows that show it
  // (monitor, description, minor-body list), written back as read.
  TDocumentState documentState_;
  // False while "last.orb" existed at start and start-up has not read it:
  // writing it at exit would then destroy the user's last state.
  bool lastDocumentSettled_ = true;
  bool shown_ = false;
  // A fine-grained wheel or touch pad zooms once per notch's worth.
  int wheelRemainder_ = 0;
  // The fractions of a degree a drag has moved the view but not the sliders.
  double dragRotX_ = 0, dragRotZ_ = 0;
};
