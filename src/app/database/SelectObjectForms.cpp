#include "app/database/SelectObjectForms.h"

#include "app/UserPrompts.h"
#include "app/database/CreateIdxForms.h"
#include "app/database/MinorBodyTableModel.h"
#include "app/database/SearchDlgs.h"
#include "app/database/TableFilesDlg.h"
#include "bodies/SSClasses.h"
#include "scene/SolarSystem.h"  // DefaultObjectColors

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>

namespace {

// The active index a column title sorts by; nullptr keeps the order.
const char* ColumnIndex(int column)
{
  static const char* const names[] = {"", "IDXNAME", "IDXA", "IDXE", "IDXINCL",
                                      "IDXCL", "IDXNEA", "IDXPHA"};
  return column >= 0 && column < 8 ? names[column] : nullptr;
}

constexpr int ColumnWidths[TMinorBodyTableModel::ColumnCount] = {41, 159, 0, 0, 0,
                                                                 66, 38, 38, 72, 66};

QToolButton* NavButton(const char* name, QStyle::StandardPixmap glyph, const char* hint,
                       QWidget* parent)
{
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setIcon(parent->style()->standardIcon(glyph));
  b->setToolTip(hint);
  b->setFocusPolicy(Qt::NoFocus);
  b->setFixedSize(25, 25);
  return b;
}

}  // namespace

TSelectObjectForm::TSelectObjectForm(TUserPrompts& prompts, TDataFilesDlg& dataFilesDlg,
                                     TSearchDlg& searchDlg, TCreateIdxForm& createIdxForm,
                                     QWidget* parent)
    : QDialog(parent),
      prompts_(prompts),
      dataFilesDlg_(dataFilesDlg),
      searchDlg_(searchDlg),
      createIdxForm_(createIdxForm)
{
  CreateControls();
  DataSourceDataChange();
}

TSelectObjectForm::~TSelectObjectForm() { Table.Close(); }

void TSelectObjectForm::CreateControls()
{
  setObjectName("SelectObjectForm");
  // The design size to start with; the grid takes whatever the user
  // gives the window, maximised too.
  resize(740, 317);
  setMinimumSize(420, 200);
  setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setSizeGripEnabled(true);
  auto* v = new QVBoxLayout(this);
  v->setContentsMargins(0, 0, 0, 6);
  v->setSpacing(6);

  auto* panel2 = new QFrame(this);
  panel2->setObjectName("Panel2");
  panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel2->setMinimumHeight(100);
  auto* p = new QVBoxLayout(panel2);
  p->setContentsMargins(1, 1, 1, 1);
  DBGrid = new QTableView(panel2);
  DBGrid->setObjectName("DBGrid");
  model_ = new TMinorBodyTableModel(Table, this);
  DBGrid->setModel(model_);
  DBGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  DBGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
  DBGrid->setSelectionMode(QAbstractItemView::ExtendedSelection);
  DBGrid->setWordWrap(false);
  DBGrid->setShowGrid(true);
  DBGrid->setTabKeyNavigation(true);
  DBGrid->setCornerButtonEnabled(false);
  // Uniform rows: a million of them cost nothing until shown.
  QHeaderView* rows = DBGrid->verticalHeader();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(DBGrid->fontMetrics().height() + 4);
  rows->setMinimumWidth(14);
  rows->setMaximumWidth(14);
  rows->setDefaultAlignment(Qt::AlignCenter);
  QHeaderView* titles = DBGrid->horizontalHeader();
  titles->setSectionsClickable(true);
  // The sorting column shows the arrow of its direction.
  titles->setSortIndicatorShown(true);
  titles->setSortIndicator(0, Qt::AscendingOrder);
  titles->setHighlightSections(false);
  // The widths the columns had, but never narrower than their titles.
  for (int c = 0; c < TMinorBodyTableModel::ColumnCount; ++c)
    DBGrid->setColumnWidth(c, std::max(ColumnWidths[c] > 0 ? ColumnWidths[c] : 92,
                                       titles->sectionSizeHint(c)));
  // Numbers of the whole catalogue have seven digits and a sign.
  DBGrid->setColumnWidth(0, std::max(DBGrid->columnWidth(0),
                                     DBGrid->fontMetrics().horizontalAdvance("-0000000") + 8));
  titles->setStretchLastSection(true);
  p->addWidget(DBGrid);
  v->addWidget(panel2, 1);

  auto* bottom = new QHBoxLayout;
  bottom->setContentsMargins(8, 0, 8, 0);
  DBNavigator = new QWidget(this);
  DBNavigator->setObjectName("DBNavigator");
  auto* nav = new QHBoxLayout(DBNavigator);
  nav->setContentsMargins(0, 0, 0, 0);
  nav->setSpacing(0);
  NavFirst = NavButton("NavFirst", QStyle::SP_MediaSkipBackward, "first record", DBNavigator);
  NavPrior = NavButton("NavPrior", QStyle::SP_MediaSeekBackward, "prior record", DBNavigator);
  NavNext = NavButton("NavNext", QStyle::SP_MediaSeekForward, "next record", DBNavigator);
  NavLast = NavButton("NavLast", QStyle::SP_MediaSkipForward, "last record", DBNavigator);
  for (QToolButton* b : {NavFirst, NavPrior, NavNext, NavLast}) nav->addWidget(b);
  Label1 = new QLabel("click on column titles to sort the table", this);
  Label1->setObjectName("Label1");
  BSearch = new QPushButton("&Search", this);
  BSearch->setObjectName("BSearch");
  BDataFiles = new QPushButton("Data &file", this);
  BDataFiles->setObjectName("BDataFiles");
  OKBtn = new QPushButton("OK", this);
  OKBtn->setObjectName("OKBtn");
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton("&Cancel", this);
  CancelBtn->setObjectName("CancelBtn");
  for (QPushButton* b : {BSearch, BDataFiles, CancelBtn}) b->setAutoDefault(false);
  bottom->addWidget(DBNavigator);
  bottom->addSpacing(8);
  bottom->addWidget(Label1);
  bottom->addStretch(1);
  for (QPushButton* b : {BSearch, BDataFiles, OKBtn, CancelBtn}) bottom->addWidget(b);
  v->addLayout(bottom);

  connect(titles, &QHeaderView::sectionClicked, this, [this](int c) { DBGridTitleClick(c); });
  connect(DBGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (current.isValid() && Table.Active()) {
              Table.MoveTo(model_->TablePosition(current.row()));
              model_->SetCurrentRow(current.row());
            }
            DataSourceDataChange();
          });
  connect(NavFirst, &QToolButton::clicked, this, [this] { NavigateFirst(); });
  connect(NavPrior, &QToolButton::clicked, this, [this] { NavigatePrior(); });
  connect(NavNext, &QToolButton::clicked, this, [this] { NavigateNext(); });
  connect(NavLast, &QToolButton::clicked, this, [this] { NavigateLast(); });
  connect(BSearch, &QPushButton::clicked, this, [this] { BSearchClick(); });
  connect(BDataFiles, &QPushButton::clicked, this, [this] { BDataFilesClick(); });
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

template <class F>
void TSelectObjectForm::Guarded(F&& action)
{
  try {
    action();
  } catch (const std::exception& e) {
    prompts_.Error(this, e.what());
  }
}

bool TSelectObjectForm::Execute()
{
  FormShow();
  // Centred on the screen of the window it belongs to, whole.
  const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
  if (QScreen* s = owner ? owner->screen() : QApplication::primaryScreen()) {
    const QRect room = s->availableGeometry();
    resize(size().boundedTo(room.size() - QSize(8, 34)));
    move(room.center() - rect().center());
  }
  return prompts_.RunDialog(*this);
}

void TSelectObjectForm::FormShow()
{
  DataSourceDataChange();
  // The grid shows the row the table is on ("Show all objects" and "Add"
  // move it).
  if (Table.Active() && model_->rowCount() > 0) SetCurrentPosition(Table.Position());
  DBGrid->clearSelection();
}

void TSelectObjectForm::DataSourceDataChange()
{
  if (!Table.Active()) {
    setWindowTitle("Objects in current data file");
    return;
  }
  setWindowTitle(QString::number(Table.RecordCount()) + " objects in current data file (" +
                 QString::fromStdString(Table.TableName()) + ")");
}

void TSelectObjectForm::SetTableLocation(const std::string& directory, const std::string& fileName)
{
  Table.Close();
  Table.SetDatabaseName(directory);
  Table.SetTableName(fileName);
  ShowSortOrder(0, false);
  ResetGrid(0);
  if (OnTableChanged) OnTableChanged();
}

void TSelectObjectForm::OpenTable()
{
  try {
    Table.Close();
    Table.Open(false);
    Table.SetIndexName("");
    ShowSortOrder(0, false);
  } catch (...) {
    Table.Close();
    ResetGrid(0);
    throw;
  }
  ResetGrid(0);
}

void TSelectObjectForm::ResetGrid(std::int64_t position)
{
  model_->Reset();
  SetCurrentPosition(position);
  DBGrid->scrollTo(model_->index(std::max(0, model_->CurrentRow()), 0),
                   QAbstractItemView::PositionAtCenter);
  DataSourceDataChange();
}

void TSelectObjectForm::SetCurrentPosition(std::int64_t position)
{
  const int n = model_->rowCount();
  if (n == 0) return;
  position = std::clamp<std::int64_t>(position, 0, n - 1);
  const int row = static_cast<int>(model_->GridRow(position));
  const QModelIndex index = model_->index(row, std::max(0, DBGrid->currentIndex().column()));
  DBGrid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
  // The signal above moves the table; also when the row did not change.
  Table.MoveTo(position);
  model_->SetCurrentRow(row);
  DBGrid->scrollTo(index);
}

std::int64_t TSelectObjectForm::CurrentPosition() const
{
  return Table.Active() ? Table.Position() : -1;
}

// The navigator moves through the grid as shown, in either direction.
void TSelectObjectForm::NavigateFirst() { SetCurrentPosition(model_->TablePosition(0)); }
void TSelectObjectForm::NavigatePrior()
{
  const std::int64_t row = model_->GridRow(CurrentPosition());
  SetCurrentPosition(model_->TablePosition(std::max<std::int64_t>(0, row - 1)));
}
void TSelectObjectForm::NavigateNext()
{
  const std::int64_t row = model_->GridRow(CurrentPosition());
  SetCurrentPosition(model_->TablePosition(std::min<std::int64_t>(model_->rowCount() - 1, row + 1)));
}
void TSelectObjectForm::NavigateLast() { SetCurrentPosition(model_->TablePosition(model_->rowCount() - 1)); }

void TSelectObjectForm::SelectRows(int first, int last)
{
  const QItemSelection rows(model_->index(first, 0),
                            model_->index(last, TMinorBodyTableModel::ColumnCount - 1));
  DBGrid->selectionModel()->select(rows, QItemSelectionModel::Select);
}

std::vector<std::pair<int, int>> TSelectObjectForm::SelectedRanges() const
{
  // Ranges, not rows: a whole table selected is one range.
  std::vector<std::pair<int, int>> ranges;
  for (const QItemSelectionRange& r : DBGrid->selectionModel()->selection())
    ranges.emplace_back(r.top(), r.bottom());
  std::sort(ranges.begin(), ranges.end());
  std::vector<std::pair<int, int>> merged;
  for (const auto& r : ranges) {
    if (!merged.empty() && r.first <= merged.back().second + 1)
      merged.back().second = std::max(merged.back().second, r.second);
    else
      merged.push_back(r);
  }
  return merged;
}

int TSelectObjectForm::SelectedCount() const
{
  long long n = 0;
  for (const auto& [first, last] : SelectedRanges()) n += last - first + 1;
  return static_cast<int>(n);
}

std::unique_ptr<TAsteroid> TSelectObjectForm::CreateSelectedObject(int index)
{
  if (!Table.Active() || index < 0) return nullptr;
  for (const auto& [first, last] : SelectedRanges()) {
    if (index <= last - first) {
      Table.MoveTo(model_->TablePosition(first + index));
      return CurrentBody();
    }
    index -= last - first + 1;
  }
  return nullptr;
}

std::unique_ptr<TAsteroid> TSelectObjectForm::CreateCurrentObject()
{
  if (!Table.Active()) return nullptr;
  return CurrentBody();
}

std::unique_ptr<TAsteroid> TSelectObjectForm::CurrentBody()
{
  if (Table.RecordCount() == 0) return nullptr;
  const TMinorBodyRow& row = Table.Current();
  // The default minor-body colour: the main window gives every minor body
  // the scene's colour afterwards.
  return std::make_unique<TAsteroid>(row.Name, ::ReadElements(row), DefaultObjectColors[11]);
}

void TSelectObjectForm::ReadElements(TOrbitElements& elements) const
{
  if (Table.Active()) Table.ReadElements(elements);
}

void TSelectObjectForm::CheckIndices(TTable& table)
{
  const std::vector<TIndexDef> defs = table.IndexDefs();
  for (const TIndexDef& wanted : StandardIndices()) {
    const bool found = std::any_of(defs.begin(), defs.end(),
                                   [&](const TIndexDef& d) { return d.Name == wanted.Name; });
    if (!found) {
      createIdxForm_.CreateIndices(table);
      return;
    }
  }
  // A table of an earlier build gets the name order of this one.
  if (!table.OutdatedIndices().empty()) createIdxForm_.CreateIndices(table);
}

void TSelectObjectForm::ShowSortOrder(int column, bool descending)
{
  sortColumn_ = column;
  model_->SetDescending(descending);
  DBGrid->horizontalHeader()->setSortIndicator(
      column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void TSelectObjectForm::DBGridTitleClick(int column)
{
  if (!Table.Active()) return;
  Guarded([&] {
    const std::int32_t current = Table.RecordCount() > 0 ? Table.Current().No : 0;
    const bool hadRows = Table.RecordCount() > 0;
    CheckIndices(Table);
    const char* index = ColumnIndex(column);
    if (!index) {  // Reference and Computer keep the order
      ShowSortOrder(sortColumn_, model_->Descending());
      if (hadRows) SetCurrentPosition(Table.PositionOf(current));
      return;
    }
    // A second click on the same title turns the order round.
    ShowSortOrder(column, column == sortColumn_ && !model_->Descending());
    Table.SetIndexName(index);
    // The same row stays current, now in the new order.
    ResetGrid(hadRows ? std::max<std::int64_t>(0, Table.PositionOf(current)) : 0);
  });
}

namespace {

std::string Lower(std::string s)
{
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

void TSelectObjectForm::BSearchClick()
{
  if (!Table.Active()) return;
  try {
    CheckIndices(Table);
  } catch (const std::exception& e) {
    prompts_.Error(this, e.what());
    return;
  }
  if (!searchDlg_.Execute()) return;
  const std::string text = searchDlg_.GetSearchName();
  Guarded([&] {
    const std::string oldIndex = Table.IndexName();
    const std::int32_t current = Table.RecordCount() > 0 ? Table.Current().No : 0;
    const bool reorder = oldIndex != "IDXNAME";
    if (reorder) Table.SetIndexName("IDXNAME");
    const std::int64_t position = Table.FindNearest(text);
    // The nearest name must begin with the text (in any letter case);
    // otherwise the grid stays as it was and the user is told.
    const bool found = position < Table.RecordCount() &&
                       Lower(Table.Current().Name).rfind(Lower(text), 0) == 0;
    if (!found) {
      if (reorder) Table.SetIndexName(oldIndex);
      if (Table.RecordCount() > 0) SetCurrentPosition(Table.PositionOf(current));
      prompts_.Message(this, "No object whose name begins with \"" + text + "\" is in the table.");
      return;
    }
    if (reorder) {
      ShowSortOrder(1, false);
      ResetGrid(position);
    } else {
      SetCurrentPosition(position);
    }
    DBGrid->scrollTo(DBGrid->currentIndex(), QAbstractItemView::PositionAtTop);
  });
}

void TSelectObjectForm::BDataFilesClick()
{
  dataFilesDlg_.SetDatabasePath(Table.DatabaseName());
  dataFilesDlg_.SelectTable(Table.TableName());
  if (!dataFilesDlg_.Execute()) return;
  SetTableLocation(dataFilesDlg_.DatabasePath, dataFilesDlg_.TableName);
  Guarded([this] { OpenTable(); });
  DataSourceDataChange();
}
