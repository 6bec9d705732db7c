#include "app/monitor/MonitorForms.h"

#include "app/widgets/Contrast.h"
#include "app/widgets/PaintBox.h"
#include "app/widgets/ScreenFit.h"
#include "app/mainwindow/SSystemsForm.h"
#include "app/mainwindow/ViewScale.h"
#include "scene/MonitorObjects.h"
#include "scene/SolarSystem.h"

#include <QComboBox>
#include <QCompleter>
#include <QHeaderView>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int ClientWidth = 292;
// The caption of a tool window: the window heights of the layouts include it.
constexpr int CaptionHeight = 22;
constexpr int GridTop = 29;
constexpr int RowHeight = 17;  // 16 pixels of text and the cell line
constexpr int IndentPixels = 12;
const QColor Navy(0, 0, 128);
constexpr int IndentRole = Qt::UserRole + 1;

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Draws the satellites one step in under their planets.
class TIndentDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override
  {
    QStyleOptionViewItem o = option;
    o.rect.adjust(index.data(IndentRole).toInt() * IndentPixels, 0, 0, 0);
    QStyledItemDelegate::paint(painter, o, index);
  }
};

}  // namespace

TMonitorForm::TMonitorForm(QWidget* parent) : QWidget(parent)
{
  setObjectName("MonitorForm");
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle("Monitor");

  Panel = new QWidget(this);
  Panel->setObjectName("Panel");

  CBObject = new QComboBox(Panel);
  CBObject->setObjectName("CBObject");
  CBObject->setGeometry(1, 3, 240, 22);
  CBObject->setEditable(true);
  CBObject->setInsertPolicy(QComboBox::NoInsert);
  CBObject->setMaxVisibleItems(8);
  CBObject->setItemDelegate(new TIndentDelegate(CBObject));
  QFont bold = CBObject->font();
  bold.setBold(true);
  CBObject->setFont(bold);
  // Typing completes the name in place from the list.
  CBObject->completer()->setCompletionMode(QCompleter::InlineCompletion);
  CBObject->completer()->setCaseSensitivity(Qt::CaseInsensitive);
  CBObject->installEventFilter(this);
  CBObject->lineEdit()->installEventFilter(this);
  for (const TMonitorFixedEntry& e : MonitorFixedEntries) {
    CBObject->addItem(e.Text);
    CBObject->setItemData(CBObject->count() - 1, e.Indent, IndentRole);
  }
  CBObject->setCurrentIndex(MonitorEarthEntry);

  SBShowObject = new QPushButton("Show", Panel);
  SBShowObject->setObjectName("SBShowObject");
  SBShowObject->setGeometry(248, 3, 39, 22);
  SBShowObject->setToolTip("show object");

  StringGrid = new QTableWidget(MonitorRowCount(mkPlanet), 2, Panel);
  StringGrid->setObjectName("StringGrid");
  StringGrid->move(1, GridTop);
  StringGrid->horizontalHeader()->hide();
  StringGrid->verticalHeader()->hide();
  StringGrid->verticalHeader()->setMinimumSectionSize(1);
  StringGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  StringGrid->verticalHeader()->setDefaultSectionSize(RowHeight);
  // Only a window made lower than its rows scrolls.
  StringGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  StringGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
  StringGrid->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid->setShowGrid(true);
  StringGrid->setWordWrap(false);
  StringGrid->setFrameShape(QFrame::NoFrame);
  QFont small = StringGrid->font();
  small.setPixelSize(10);
  StringGrid->setFont(small);
  ApplyTextColors();
  StringGrid->setColumnWidth(0, 200);
  StringGrid->setColumnWidth(1, 87);

  connect(CBObject, &QComboBox::currentTextChanged, this, [this] { CBObjectChange(); });
  connect(SBShowObject, &QPushButton::clicked, this, [this] { SBShowObjectClick(); });

  move(891, 478);
  resize(ClientWidth, MonitorWindowHeight(mkPlanet) - CaptionHeight);
  setMinimumSize(ClientWidth, GridTop + 4 * RowHeight);
  PrepareRows(mkPlanet);
}

void TMonitorForm::ApplyTextColors()
{
  // Navy on a light grid; on a dark one the nearest colour that reads.
  if (!CBObject || !StringGrid) return;
  const QColor text = ReadableOn(Navy, palette().color(QPalette::Base));
  for (QWidget* w : {static_cast<QWidget*>(CBObject), static_cast<QWidget*>(StringGrid)}) {
    QPalette p = w->palette();
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::WindowText, text);
    w->setPalette(p);
  }
}

void TMonitorForm::changeEvent(QEvent* event)
{
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) ApplyTextColors();
}

void TMonitorForm::resizeEvent(QResizeEvent* event)
{
  QWidget::resizeEvent(event);
  if (!Panel || !StringGrid) return;
  // The list and the grid take the width; the long labels the grid's.
  Panel->setGeometry(rect());
  CBObject->resize(width() - (ClientWidth - 240), CBObject->height());
  SBShowObject->move(width() - (ClientWidth - 248), SBShowObject->y());
  StringGrid->resize(width() - 2, height() - GridTop);
  const int labels = std::max(200, StringGrid->viewport()->width() - 90);
  StringGrid->setColumnWidth(0, labels);
  StringGrid->setColumnWidth(1, std::max(87, StringGrid->viewport()->width() - labels));
}

int TMonitorForm::RowCount() const { return StringGrid->rowCount(); }

std::string TMonitorForm::CellText(int row, int column) const
{
  const QTableWidgetItem* item = StringGrid->item(row, column);
  return item ? item->text().toStdString() : std::string();
}

void TMonitorForm::SetCell(int row, int column, const std::string& text)
{
  QTableWidgetItem* item = StringGrid->item(row, column);
  if (!item) {
    item = new QTableWidgetItem;
    StringGrid->setItem(row, column, item);
  }
  item->setText(Q(text));
  item->setToolTip(Q(text));  // the long labels are cut off in their column
}

void TMonitorForm::PrepareRows(TMonitorKind kind)
{
  Kind = kind;
  const int rows = MonitorRowCount(kind);
  StringGrid->setRowCount(rows);
  const std::vector<std::string> labels = MonitorLabels(kind);
  for (int row = 0; row < rows; ++row) SetCell(row, 0, labels[row]);
  // The window's height follows the rows; its width stays the user's.
  const int clientHeight = FormHeight() - CaptionHeight;
  if (height() != clientHeight) {
    resize(width(), clientHeight);
    if (isVisible()) KeepOnScreen(this);
  }
}

void TMonitorForm::ShowValues()
{
  if (!Scene || !SelectedObject) return;
  const std::string separator = QLocale().decimalPoint().toStdString();
  const TMonitorValues values = MonitorValues(*Scene, *SelectedObject, separator);
  if (!values.Known) return;
  PrepareRows(values.Kind);
  for (int row = 0; row < static_cast<int>(values.Rows.size()); ++row) {
    SetCell(row, 0, values.Rows[row].Label);
    SetCell(row, 1, values.Rows[row].Value);
  }
}

void TMonitorForm::UpdateObjectList(TSolarSystem* scene)
{
  const std::string kept = ObjectName;
  Scene = scene;
  std::vector<TMonitorEntry> entries;
  if (Scene) entries = MonitorEntries(*Scene);
  entries.resize(std::max<std::size_t>(entries.size(), MonitorFixedEntryCount));
  // The list is rebuilt only when the spacecraft or minor bodies changed,
  // not at every step of an animation.
  bool same = CBObject->count() == static_cast<int>(entries.size());
  for (int i = MonitorFixedEntryCount; same && i < CBObject->count(); ++i)
    same = CBObject->itemText(i) == Q(entries[i].Text);
  if (!same) {
    const QSignalBlocker block(CBObject);
    while (CBObject->count() > MonitorFixedEntryCount) CBObject->removeItem(MonitorFixedEntryCount);
    for (std::size_t i = MonitorFixedEntryCount; i < entries.size(); ++i)
      CBObject->addItem(Q(entries[i].Text));
  }
  PrepareRows(Kind);
  SelectObject(kept);
}

void TMonitorForm::SelectObject(const std::string& name)
{
  std::vector<TMonitorEntry> entries;
  for (int i = 0; i < CBObject->count(); ++i)
    entries.push_back({CBObject->itemText(i).toStdString(), 0});
  const int entry = FindMonitorEntry(entries, name);
  ObjectName = entries[entry].Text;
  if (CBObject->currentIndex() != entry || CBObject->currentText() != Q(ObjectName)) {
    const QSignalBlocker block(CBObject);
    CBObject->setCurrentIndex(entry);
    CBObject->setEditText(Q(ObjectName));
  }
  SelectedObject = Scene ? MonitorObject(*Scene, entry) : nullptr;
  ShowValues();
}

void TMonitorForm::CBObjectChange()
{
  const int i = CBObject->findText(CBObject->currentText(), Qt::MatchFixedString);
  if (i < 0) return;  // the typed text names no entry yet
  SelectObject(CBObject->itemText(i).toStdString());
}

void TMonitorForm::SBShowObjectClick()
{
  if (!Scene || !SelectedObject || !MainForm) return;
  const TMonitorView view = MonitorShowView(*SelectedObject);
  if (!view.Valid) return;  // a spacecraft without a position: the view stays
  Scene->SetCenterObject(view.Center);
  {
    // The centre list only shows the new centre; its handler does not run.
    const QSignalBlocker block(MainForm->CBCenterObject);
    MainForm->CBCenterObject->setCurrentIndex(view.CenterEntry);
  }
  // The slider's own handler sets the scale of its position; the exact
  // scale follows.
  MainForm->TBDim->setValue(TrackBarFromDim(view.Dim));
  Scene->SetDim(view.Dim);
  MainForm->PaintBox->update();
  // The distance from the new centre is shown at once.
  ShowValues();
}

void TMonitorForm::SetStayOnTop(bool on)
{
  if (on == stayOnTop_) return;
  stayOnTop_ = on;
  const bool visible = isVisible();
  changingFlags_ = true;
  setWindowFlag(Qt::WindowStaysOnTopHint, on);  // hides the window
  if (visible) show();
  changingFlags_ = false;
}

void TMonitorForm::hideEvent(QHideEvent* event)
{
  QWidget::hideEvent(event);
  // Hidden by its close box (not by the window manager along with the
  // main window): the main window's button pops up.
  if (!event->spontaneous() && !changingFlags_ && MainForm && MainForm->SBMonitor)
    MainForm->SBMonitor->setChecked(false);
}

bool TMonitorForm::eventFilter(QObject* watched, QEvent* event)
{
  if (event->type() == QEvent::KeyPress && (watched == CBObject || watched == CBObject->lineEdit())) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      CBObject->showPopup();  // the arrow keys drop the list
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}
