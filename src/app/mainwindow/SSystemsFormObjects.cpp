// The main window's Objects tab: which of the Sun, the planets, their
// satellites and the spacecraft are shown and in which colours, the user's
// list of minor bodies taken from the browser, "Show all objects" for a
// whole table, and the minor-body table in use.
#include "app/mainwindow/SSystemsForm.h"

#include "app/widgets/ColorSwatch.h"
#include "app/widgets/PaintBox.h"
#include "app/database/CreateIdxForms.h"
#include "app/database/FullListLoader.h"
#include "app/database/SearchDlgs.h"
#include "app/database/SelectObjectForms.h"
#include "database/FullList.h"
#include "app/database/TableFilesDlg.h"
#include "app/database/TableNameDlgs.h"
#include "database/MinorBodyTable.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* PanelButton(const char* name, const QString& caption, const QString& hint,
                         QWidget* parent, int width, bool toggle = false)
{
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setText(caption);
  b->setToolTip(hint);
  b->setCheckable(toggle);
  b->setFocusPolicy(Qt::NoFocus);
  b->setFixedSize(width, 20);
  return b;
}

QCheckBox* Box(const char* name, const QString& caption, QWidget* parent)
{
  auto* c = new QCheckBox(caption, parent);
  c->setObjectName(name);
  return c;
}

TColorSwatch* Swatch(const char* name, QWidget* parent)
{
  auto* s = new TColorSwatch(parent);
  s->setObjectName(name);
  return s;
}

// Hands the Insert and Delete keys of the list of minor bodies to the
// window.
class TListKeys : public QObject {
public:
  TListKeys(QObject* parent, std::function<void(int)> onKey)
      : QObject(parent), onKey_(std::move(onKey))
  {
  }
  bool eventFilter(QObject*, QEvent* event) override
  {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Insert && key != Qt::Key_Delete) return false;
    onKey_(key);
    return true;
  }

private:
  std::function<void(int)> onKey_;
};

std::string TooManyRowsText(int count)
{
  return std::to_string(count) + " rows are selected, but at most " +
         std::to_string(TSolarSystemForm::MaxAddedObjects) +
         " objects can be added to the list at once.\rUse \"Show all objects\" to show a whole "
         "data file.";
}

// The rows that made no body, each with the reason; long lists shortened.
std::string RefusedRowsText(const std::vector<std::string>& reasons)
{
  std::string text = reasons.size() == 1 ? "One selected row was not added:"
                                         : std::to_string(reasons.size()) +
                                               " selected rows were not added:";
  const std::size_t shown = std::min<std::size_t>(reasons.size(), 10);
  for (std::size_t i = 0; i < shown; ++i) text += "\r" + reasons[i];
  if (reasons.size() > shown)
    text += "\rand " + std::to_string(reasons.size() - shown) + " more.";
  return text;
}

}  // namespace

// ------------------------------------------------------------- the page

void TSolarSystemForm::CreateDatabaseWindows()
{
  TableNameDlg = new TTableNameDlg(Prompts(), this);
  SearchDlg = new TSearchDlg(Prompts(), this);
  CreateIdxForm = new TCreateIdxForm(this);
  DataFilesDlg = new TDataFilesDlg(Prompts(), *TableNameDlg, *CreateIdxForm, this);
  SelectObjectForm = new TSelectObjectForm(Prompts(), *DataFilesDlg, *SearchDlg, *CreateIdxForm, this);
  // Documents and settings keep the table's place.
  SelectObjectForm->OnTableChanged = [this] {
    TablePath = SelectObjectForm->Table.DatabaseName();
    TableName = SelectObjectForm->Table.TableName();
  };
  FullListLoader = new TFullListLoader(this);
  FullListLoader->Progress = [this](int percent) {
    ShowProgress("Reading all objects of the table", percent);
  };
  FullListLoader->Finished = [this](TDotBodyList& list, long double jd, const TFullListFill& fill,
                                    const std::string& error) {
    FullListFinished(list, jd, fill, error);
  };
}

QWidget* TSolarSystemForm::CreateObjectsPage()
{
  CreateDatabaseWindows();
  auto* page = new QWidget;
  page->setObjectName("TSObjects");
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(2, 2, 2, 2);
  v->setSpacing(1);

  GBSun = new QGroupBox(page);
  GBSun->setObjectName("GBSun");
  auto* sun = new QHBoxLayout(GBSun);
  sun->setContentsMargins(4, 2, 4, 3);
  CBSun = Box("CBSun", "Sun", GBSun);
  ShSun = Swatch("ShSun", GBSun);
  sun->addWidget(CBSun, 1);
  sun->addWidget(ShSun);
  v->addWidget(GBSun);

  GBPlanets = new QGroupBox("&Planets", page);
  GBPlanets->setObjectName("GBPlanets");
  auto* g = new QGridLayout(GBPlanets);
  g->setContentsMargins(4, 2, 4, 3);
  g->setHorizontalSpacing(2);
  g->setVerticalSpacing(0);
  // In the order of the sun outwards; each carries its planet index.
  struct TPlanetRow {
    QCheckBox*& box;
    TColorSwatch*& swatch;
    const char* boxName;
    const char* swatchName;
    const char* caption;
    int index;
  };
  const TPlanetRow planets[] = {
      {CBMercury, SHMercury, "CBMercury", "SHMercury", "Mercury", 1},
      {CBVenus, ShVenus, "CBVenus", "ShVenus", "Venus", 2},
      {CBEarth, SHEarth, "CBEarth", "SHEarth", "Earth", 0},
      {CBMars, SHMars, "CBMars", "SHMars", "Mars", 3},
      {CBJupiter, SHJupiter, "CBJupiter", "SHJupiter", "Jupiter", 4},
      {CBSaturn, ShSaturn, "CBSaturn", "ShSaturn", "Saturn", 5},
      {CBUranus, ShUranus, "CBUranus", "ShUranus", "Uranus", 6},
      {CBNeptune, ShNeptune, "CBNeptune", "ShNeptune", "Neptune", 7},
      {CBPluto, ShPluto, "CBPluto", "ShPluto", "Pluto", 8}};
  int row = 0;
  for (const TPlanetRow& p : planets) {
    p.box = Box(p.boxName, p.caption, GBPlanets);
    p.swatch = Swatch(p.swatchName, GBPlanets);
    planetBoxes_[p.index] = p.box;
    planetSwatches_[p.index] = p.swatch;
    g->addWidget(p.box, row, 0);
    g->addWidget(p.swatch, row, 1);
    ++row;
  }
  CBSatellites = Box("CBSatellites", "Satellites", GBPlanets);
  ShSatellites = Swatch("ShSatellites", GBPlanets);
  // The satellites and spacecraft buttons open their dialogs
  // (SSystemsFormDialogs.cpp).
  SBShowSatellites = PanelButton("SBShowSatellites", ":::", "show satellites", GBPlanets, 22);
  CBSpacecrafts = Box("CBSpacecrafts", "Spacecr.", GBPlanets);
  ShSpacecrafts = Swatch("ShSpacecrafts", GBPlanets);
  SBShowSpacecrafts = PanelButton("SBShowSpacecrafts", ":::", "spacecrafts", GBPlanets, 22);
  for (QToolButton* b : {SBShowSatellites, SBShowSpacecrafts}) b->setFixedHeight(16);
  g->addWidget(CBSatellites, row, 0);
  g->addWidget(ShSatellites, row, 1);
  g->addWidget(SBShowSatellites, row++, 2);
  g->addWidget(CBSpacecrafts, row, 0);
  g->addWidget(ShSpacecrafts, row, 1);
  g->addWidget(SBShowSpacecrafts, row++, 2);
  SBSelAll = PanelButton("SBSelAll", "All", "show all", GBPlanets, 40);
  SBDeselAll = PanelButton("SBDeselAll", "None", "show none", GBPlanets, 40);
  auto* allNone = new QHBoxLayout;
  allNone->setContentsMargins(0, 3, 0, 0);
  allNone->addWidget(SBSelAll);
  allNone->addWidget(SBDeselAll);
  allNone->addStretch(1);
  g->addLayout(allNone, row, 0, 1, 3);
  g->setColumnStretch(0, 1);
  v->addWidget(GBPlanets);

  GBOtherObjects = new QGroupBox("&Other objects", page);
  GBOtherObjects->setObjectName("GBOtherObjects");
  auto* o = new QGridLayout(GBOtherObjects);
  o->setContentsMargins(4, 2, 4, 3);
  o->setSpacing(2);
  ObjectsListBox = new QListWidget(GBOtherObjects);
  ObjectsListBox->setObjectName("ObjectsListBox");
  ObjectsListBox->setMinimumHeight(80);
  SBAddObject = PanelButton("SBAddObject", "Add", "add objects from the database", GBOtherObjects, 40);
  SBRemoveObject = PanelButton("SBRemoveObject", "Rem.", "remove the selected object", GBOtherObjects, 40);
  SBClearObjects = PanelButton("SBClearObjects", "Clear", "remove all objects", GBOtherObjects, 40);
  ShAsteroids = Swatch("ShAsteroids", GBOtherObjects);
  SBAllObjects = PanelButton("SBAllObjects", "Show all objects",
                             "show all objects of database (on the two-body orbits of their "
                             "elements: integrating every row would take hours)",
                             GBOtherObjects, 140, true);
  SBDatabase = PanelButton("SBDatabase", "Data file", "choose another data file", GBOtherObjects, 140);
  o->addWidget(ObjectsListBox, 0, 0, 1, 4);
  o->addWidget(SBAddObject, 1, 0);
  o->addWidget(SBRemoveObject, 1, 1);
  o->addWidget(SBClearObjects, 1, 2);
  o->addWidget(ShAsteroids, 1, 3, Qt::AlignRight);
  o->addWidget(SBAllObjects, 2, 0, 1, 4);
  o->addWidget(SBDatabase, 3, 0, 1, 4);
  auto* motionLabel = new QLabel("Minor-body &motion", GBOtherObjects);
  CBMinorBodyMotion = new QComboBox(GBOtherObjects);
  CBMinorBodyMotion->setObjectName("CBMinorBodyMotion");
  CBMinorBodyMotion->addItems({"perturbed", "Keplerian"});
  CBMinorBodyMotion->setToolTip(
      "how the listed minor bodies move: perturbed, along orbits integrated under the pull "
      "of the planets, or Keplerian, on the fixed two-body ellipse of their elements");
  motionLabel->setBuddy(CBMinorBodyMotion);
  o->addWidget(motionLabel, 4, 0, 1, 4);
  o->addWidget(CBMinorBodyMotion, 5, 0, 1, 4);
  o->setRowStretch(0, 1);
  v->addWidget(GBOtherObjects, 1);

  ConnectObjectControls();
  return page;
}

void TSolarSystemForm::ConnectObjectControls()
{
  // Clicks only: the window's own setting of a box runs no handler.
  connect(CBSun, &QCheckBox::clicked, this, [this] { CBSunClick(); });
  ShSun->OnMouseDown = [this] { ShSunMouseDown(); };
  for (int i = 0; i < 9; ++i) {
    connect(planetBoxes_[i], &QCheckBox::clicked, this, [this, i] { CBPlanetClick(i); });
    planetSwatches_[i]->OnMouseDown = [this, i] { ShpPlanetsMouseDown(i); };
  }
  ShSatellites->OnMouseDown = [this] { ShpPlanetsMouseDown(12); };
  ShSpacecrafts->OnMouseDown = [this] { ShpPlanetsMouseDown(13); };
  connect(CBSatellites, &QCheckBox::clicked, this, [this] { CBSatellitesClick(); });
  connect(CBSpacecrafts, &QCheckBox::clicked, this, [this] { CBSpacecraftsClick(); });
  connect(SBSelAll, &QToolButton::clicked, this, [this] { SBSelAllNoneClick(0); });
  connect(SBDeselAll, &QToolButton::clicked, this, [this] { SBSelAllNoneClick(1); });
  connect(ObjectsListBox, &QListWidget::itemClicked, this, [this] { ObjectsListBoxClick(); });
  connect(ObjectsListBox, &QListWidget::currentRowChanged, this, [this] { ApplyObjectButtonRules(); });
  ObjectsListBox->installEventFilter(
      new TListKeys(ObjectsListBox, [this](int key) { ObjectsListBoxKeyDown(key); }));
  connect(SBAddObject, &QToolButton::clicked, this, [this] { SBAddObjectClick(); });
  connect(SBRemoveObject, &QToolButton::clicked, this, [this] { SBRemoveObjectClick(); });
  connect(SBClearObjects, &QToolButton::clicked, this, [this] { SBClearObjectsClick(); });
  ShAsteroids->OnMouseDown = [this] { ShAsteroidsMouseDown(); };
  connect(SBAllObjects, &QToolButton::clicked, this, [this] { SBAllObjectsClick(); });
  connect(SBDatabase, &QToolButton::clicked, this, [this] { SBDatabaseClick(); });
  connect(CBMinorBodyMotion, QOverload<int>::of(&QComboBox::activated), this,
          [this] { CBMinorBodyMotionChange(); });
}

void TSolarSystemForm::CBMinorBodyMotionChange()
{
  const bool perturbed = CBMinorBodyMotion->currentIndex() == 0;
  settings_.PerturbedMotion = perturbed;
  solarSystem_->MinorBodyMotion = perturbed ? TMinorBodyMotion::Perturbed : TMinorBodyMotion::Kepler;
  SetTime(CurrentTime);
}

// ----------------------------------------- Sun, planets, satellites, craft

void TSolarSystemForm::CBSunClick()
{
  solarSystem_->ShowSun = CBSun->isChecked();
  Repaint();
}

void TSolarSystemForm::ShSunMouseDown()
{
  TColor c = solarSystem_->SunColor;
  if (!Prompts().ChooseColor(this, c)) return;
  solarSystem_->SunColor = c;
  ShSun->SetColor(c);
  Repaint();
}

void TSolarSystemForm::CBPlanetClick(int index)
{
  if (TPlanet* p = solarSystem_->Planet(index)) p->Visible = planetBoxes_[index]->isChecked();
  Repaint();
}

void TSolarSystemForm::ChoosePanelColor(int colorIndex, TColorSwatch* swatch)
{
  TColor c = solarSystem_->GetObjectColor(colorIndex);
  if (!Prompts().ChooseColor(this, c)) return;
  solarSystem_->SetObjectColor(colorIndex, c);
  swatch->SetColor(c);
  Repaint();
}

void TSolarSystemForm::ShpPlanetsMouseDown(int index)
{
  TColorSwatch* swatch = index == 12   ? ShSatellites
                         : index == 13 ? ShSpacecrafts
                         : index >= 0 && index < 9 ? planetSwatches_[index]
                                                   : nullptr;
  if (swatch) ChoosePanelColor(index, swatch);
}

void TSolarSystemForm::CBSatellitesClick()
{
  solarSystem_->ShowSatellites = CBSatellites->isChecked();
  Repaint();
}

void TSolarSystemForm::CBSpacecraftsClick()
{
  solarSystem_->ShowSpacecrafts = CBSpacecrafts->isChecked();
  Repaint();
}

void TSolarSystemForm::SBSelAllNoneClick(int index)
{
  const bool v = index == 0;
  for (int i = 0; i < 9; ++i)
    if (TPlanet* p = solarSystem_->Planet(i)) p->Visible = v;
  solarSystem_->ShowSatellites = v;
  solarSystem_->ShowSpacecrafts = v;
  UpdateControls();
  Repaint();
}

// ---------------------------------------------------------- minor bodies

bool TSolarSystemForm::ObjectNameExists(const std::string& name) const
{
  // Indexed: adding thousands of rows stays linear.
  return solarSystem_->AsteroidsList().HasName(name);
}

bool TSolarSystemForm::AddMinorBody(std::unique_ptr<TAsteroid> body)
{
  if (!body) return false;
  TOEObjectList& list = solarSystem_->AsteroidsList();
  if (list.Count() > 0 && ObjectNameExists(body->Name)) {
    std::string name;
    for (int n = 1;; ++n) {
      name = body->Name + " (" + std::to_string(n) + ")";
      if (!ObjectNameExists(name)) break;
    }
    if (!Prompts().Confirm(this, "The list includes always an object named '" + body->Name +
                                     "'.\rDo you wish do add the new object as '" + name +
                                     "' ?"))
      return false;
    body->Name = name;
  }
  list.Add(std::move(body));
  return true;
}

void TSolarSystemForm::FillObjectsListBox()
{
  const QSignalBlocker block(ObjectsListBox);
  ObjectsListBox->clear();
  const TOEObjectList& list = solarSystem_->AsteroidsList();
  for (int i = 0; i < list.Count(); ++i)
    ObjectsListBox->addItem(QString::fromStdString(list.Items(i)->Name));
}

void TSolarSystemForm::UpdateObjectsCaption()
{
  const int n = ObjectsListBox->count();
  GBOtherObjects->setTitle(n > 0 ? "&Other objects (" + QString::number(n) + ")"
                                 : QString("&Other objects"));
}

void TSolarSystemForm::ApplyObjectButtonRules()
{
  const bool can = solarSystem_->CanShowObjects();
  const bool listed = ObjectsListBox->count() > 0;
  for (QWidget* w : std::initializer_list<QWidget*>{ObjectsListBox, SBAddObject, ShAsteroids,
                                                    SBDatabase})
    w->setEnabled(can);
  SBRemoveObject->setEnabled(can && listed && ObjectsListBox->currentRow() >= 0 &&
                             ObjectsListBox->currentItem()->isSelected());
  SBClearObjects->setEnabled(can && listed);
  SBAllObjects->setEnabled(can && SelectObjectForm->Table.Active());
}

void TSolarSystemForm::ObjectsListBoxClick()
{
  if (QListWidgetItem* item = ObjectsListBox->currentItem())
    MonitorSelectObject(item->text().toStdString());
}

void TSolarSystemForm::ObjectsListBoxKeyDown(int key)
{
  if (key == Qt::Key_Delete)
    SBRemoveObjectClick();
  else if (key == Qt::Key_Insert)
    SBAddObjectClick();
}

void TSolarSystemForm::SBAddObjectClick()
{
  if (SelectObjectForm->Execute()) {
    TSelectObjectForm& browser = *SelectObjectForm;
    const int count = browser.SelectedCount();
    std::vector<std::string> refused;
    // A row without an ellipse is reported and skipped; the others are added.
    auto add = [&](auto make) {
      try {
        AddMinorBody(make());
      } catch (const EInvalidElements& e) {
        refused.push_back(e.what());
      }
    };
    if (count > MaxAddedObjects) {
      // Each listed body keeps its orbit: a whole table would not fit.
      Prompts().Message(this, TooManyRowsText(count));
    } else if (count > 0) {
      for (int i = 0; i < count; ++i) add([&] { return browser.CreateSelectedObject(i); });
    } else {
      add([&] { return browser.CreateCurrentObject(); });
    }
    if (!refused.empty()) Prompts().Error(this, RefusedRowsText(refused));
    solarSystem_->Recalculate();
    FillObjectsListBox();
  }
  if (ObjectsListBox->count() > 0) ObjectsListBox->setCurrentRow(ObjectsListBox->count() - 1);
  UpdateObjectsCaption();
  solarSystem_->SetObjectColor(11, ShAsteroids->Color());
  UpdateMonitor();
  ApplyObjectButtonRules();
  Repaint();
}

void TSolarSystemForm::SBRemoveObjectClick()
{
  QListWidgetItem* item = ObjectsListBox->currentItem();
  if (ObjectsListBox->count() == 0 || !item || !item->isSelected()) return;
  solarSystem_->AsteroidsList().DeleteByName(item->text().toStdString());
  FillObjectsListBox();
  if (ObjectsListBox->count() > 0) ObjectsListBox->setCurrentRow(0);
  ApplyObjectButtonRules();
  UpdateObjectsCaption();
  UpdateMonitor();
  Repaint();
}

void TSolarSystemForm::SBClearObjectsClick()
{
  ObjectsListBox->clear();
  UpdateObjectsCaption();
  solarSystem_->AsteroidsList().Clear();
  SBRemoveObject->setEnabled(false);
  SBClearObjects->setEnabled(false);
  UpdateMonitor();
  Repaint();
}

void TSolarSystemForm::ShAsteroidsMouseDown() { ChoosePanelColor(11, ShAsteroids); }

void TSolarSystemForm::SBAllObjectsClick()
{
  // A press while the rows are still being read cancels the reading (the
  // button is up again then).
  FullListLoader->Cancel();
  EndProgress();
  solarSystem_->AsteroidsFullList() = TDotBodyList();
  TTable& table = SelectObjectForm->Table;
  if (SBAllObjects->isChecked() && table.Active()) {
    // The rows are read on a thread of their own; the window goes on
    // answering and shows the dots when all are there.
    ShowProgress("Reading all objects of the table", 0);
    FullListLoader->Start(table.DatabaseName(), table.TableName(),
                          solarSystem_->GetObjectColor(11), solarSystem_->JD());
  }
  solarSystem_->Recalculate();
  Repaint();
}

void TSolarSystemForm::FullListFinished(TDotBodyList& list, long double jd,
                                        const TFullListFill& fill, const std::string& error)
{
  EndProgress();
  if (!error.empty()) {
    SBAllObjects->setChecked(false);
    Prompts().Error(this, error);
    return;
  }
  TDotBodyList& all = solarSystem_->AsteroidsFullList();
  std::swap(all, list);
  // The colour or the instant may have changed while the rows were read.
  all.SetAllColors(solarSystem_->GetObjectColor(11));
  if (jd != solarSystem_->JD()) all.CalculateAll(solarSystem_->JD());
  PaintBox->update();
  if (fill.Skipped > 0)
    Prompts().Message(this, std::to_string(fill.Skipped) +
                                (fill.Skipped == 1 ? " row makes" : " rows make") +
                                " no elliptic orbit and is not shown:\r" + fill.FirstSkipped);
}

void TSolarSystemForm::SBDatabaseClick()
{
  const TTable& table = SelectObjectForm->Table;
  DataFilesDlg->SetDatabasePath(table.DatabaseName());
  DataFilesDlg->SelectTable(table.TableName());
  if (!DataFilesDlg->Execute()) return;
  try {
    OpenMinorBodyTable(DataFilesDlg->DatabasePath, DataFilesDlg->TableName);
  } catch (const std::exception& e) {
    Prompts().Error(this, e.what());
    return;
  }
  SBAddObjectClick();
}

// ------------------------------------------------------ the table in use

void TSolarSystemForm::OpenMinorBodyTable(const std::string& directory,
                                          const std::string& fileName)
{
  SelectObjectForm->SetTableLocation(directory, fileName);
  try {
    SelectObjectForm->OpenTable();
  } catch (...) {
    ApplyObjectButtonRules();
    throw;
  }
  ApplyObjectButtonRules();
}

void TSolarSystemForm::OpenDocumentTable(const std::string& directory,
                                         const std::string& fileName)
{
  try {
    OpenMinorBodyTable(directory, fileName);
  } catch (const ETableError&) {
    SelectObjectForm->SetTableLocation("", "");
  }
}

// -------------------------------------------------- UpdateControls' part

void TSolarSystemForm::UpdateObjectControls()
{
  TSolarSystem& s = *solarSystem_;
  CBSun->setChecked(s.ShowSun);
  for (int i = 0; i < 9; ++i)
    if (TPlanet* p = s.Planet(i)) {
      planetBoxes_[i]->setChecked(p->Visible);
      planetSwatches_[i]->SetColor(p->Color);
    }
  CBSatellites->setChecked(s.ShowSatellites);
  CBSpacecrafts->setChecked(s.ShowSpacecrafts);
  ShSun->SetColor(s.SunColor);
  ShAsteroids->SetColor(s.GetObjectColor(11));
  ShSatellites->SetColor(s.GetObjectColor(12));
  ShSpacecrafts->SetColor(s.GetObjectColor(13));
  FillObjectsListBox();
  if (ObjectsListBox->count() > 0) ObjectsListBox->setCurrentRow(0);
  UpdateObjectsCaption();
  ApplyObjectButtonRules();
}
