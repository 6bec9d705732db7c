#include "app/dialogs/DirectionsDlgs.h"

#include "app/widgets/QtCanvas.h"  // ToQColor
#include "app/dialogs/DialogFrame.h"
#include "app/dialogs/DirectionDlgs.h"

#include <QFrame>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include <algorithm>
#include <memory>

namespace {

constexpr TColor NewLineColor = 0x808080;  // grey
constexpr int GridRowHeight = 25;

// The grid's cells are drawn by the dialog, from its lines.
class TLineCellDelegate : public QStyledItemDelegate {
public:
  TLineCellDelegate(TDirectionsDlg& dialog, QObject* parent)
      : QStyledItemDelegate(parent), dialog_(dialog)
  {
  }
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override
  {
    const auto* grid = qobject_cast<const QTableWidget*>(option.widget);
    const bool focused = grid && grid->currentRow() == index.row();
    dialog_.DrawGridDrawCell(*painter, index.row(), option.rect, focused);
  }

private:
  TDirectionsDlg& dialog_;
};

QPushButton* Button(const char* name, const QString& caption, QWidget* parent, int x, int y)
{
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setGeometry(x, y, 54, 23);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

std::string LineRowText(const TDirection& line)
{
  return LineBodyName(line.FromObject) + " - " + LineBodyName(line.ToObject);
}

TDirectionsDlg::TDirectionsDlg(TUserPrompts& prompts, QWidget* parent) : QDialog(parent)
{
  PrepareFixedDialog(this, "DirectionsDlg", "User defined lines", 239, 184);

  Panel = new QFrame(this);
  Panel->setObjectName("Panel");
  Panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel->setGeometry(0, 0, 239, 144);

  DrawGrid = new QTableWidget(Panel);
  DrawGrid->setObjectName("DrawGrid");
  DrawGrid->setGeometry(4, 4, 231, 106);
  DrawGrid->setColumnCount(1);
  DrawGrid->horizontalHeader()->hide();
  DrawGrid->verticalHeader()->hide();
  DrawGrid->horizontalHeader()->setStretchLastSection(true);
  DrawGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  DrawGrid->verticalHeader()->setDefaultSectionSize(GridRowHeight);
  DrawGrid->setColumnWidth(0, 230);
  DrawGrid->setShowGrid(true);
  DrawGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  DrawGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  DrawGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  DrawGrid->setSelectionMode(QAbstractItemView::SingleSelection);
  DrawGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
  DrawGrid->setItemDelegate(new TLineCellDelegate(*this, DrawGrid));

  SBAdd = Button("SBAdd", "Add", Panel, 4, 115);
  SBRemove = Button("SBRemove", "Remove", Panel, 62, 115);
  SBEdit = Button("SBEdit", "Edit", Panel, 120, 115);
  SBClear = Button("SBClear", "Clear", Panel, 178, 115);
  OKBtn = AddOkButton(this, 78, 153);
  CancelBtn = AddCancelButton(this, 159, 153);

  DirectionDlg = new TDirectionDlg(prompts, this);

  connect(SBAdd, &QPushButton::clicked, this, [this] { SBAddClick(); });
  connect(SBRemove, &QPushButton::clicked, this, [this] { SBRemoveClick(); });
  connect(SBEdit, &QPushButton::clicked, this, [this] { SBEditClick(); });
  connect(SBClear, &QPushButton::clicked, this, [this] { SBClearClick(); });
  connect(DrawGrid, &QTableWidget::cellDoubleClicked, this, [this] { SBEditClick(); });
  connect(DrawGrid, &QTableWidget::currentCellChanged, this,
          [this] { DrawGrid->viewport()->update(); });
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  RefreshGrid();
}

void TDirectionsDlg::SetLines(const TDirectionList& list)
{
  lines_.Assign(list);
  RefreshGrid();
}

void TDirectionsDlg::RefreshGrid()
{
  const int rows = std::max(1, lines_.Count());
  DrawGrid->setRowCount(rows);
  // As in any grid, some row is always current; it stays in range when
  // rows go.
  const int row = DrawGrid->currentRow();
  if (row < 0 || row >= rows) DrawGrid->setCurrentCell(std::clamp(row, 0, rows - 1), 0);
  DrawGrid->viewport()->update();
  const bool any = lines_.Count() > 0;
  SBEdit->setEnabled(any && CurrentLine());
  SBRemove->setEnabled(any && CurrentLine());
  SBClear->setEnabled(any);
}

TDirection* TDirectionsDlg::CurrentLine() const
{
  const int row = DrawGrid->currentRow();
  if (row < 0 || row >= lines_.Count()) return nullptr;
  return lines_.Items(row);
}

void TDirectionsDlg::DrawGridDrawCell(QPainter& painter, int row, const QRect& cell,
                                      bool focused)
{
  painter.save();
  const QPalette& pal = DrawGrid->palette();
  painter.fillRect(cell, focused ? pal.highlight() : pal.base());
  if (row >= 0 && row < lines_.Count()) {
    const TDirection& line = *lines_.Items(row);
    const int x = cell.left();
    const int y = cell.top();
    painter.setPen(focused ? pal.highlightedText().color() : pal.text().color());
    painter.drawText(QRect(x + 2, y + 4, 126, cell.height() - 4), Qt::AlignLeft | Qt::AlignTop,
                     QString::fromStdString(LineRowText(line)));
    // (x + 130, y + 4) to (x + 190, y + 21), the far edges excluded
    painter.fillRect(QRect(x + 130, y + 4, 60, 17), ToQColor(line.Color));
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(x + 130, y + 4, 59, 16));
  }
  painter.restore();
}

void TDirectionsDlg::SBAddClick()
{
  auto line = std::make_unique<TDirection>(9, NewLineColor, 0);
  DirectionDlg->SetLine(line.get());
  const bool ok = DirectionDlg->exec() == QDialog::Accepted;
  DirectionDlg->SetLine(nullptr);
  if (!ok) return;
  lines_.Add(std::move(line));
  RefreshGrid();
}

void TDirectionsDlg::SBEditClick()
{
  TDirection* current = CurrentLine();
  if (!current) return;
  TDirection copy(current->FromObject, current->Color, current->ToObject);
  copy.Visible = current->Visible;
  DirectionDlg->SetLine(&copy);
  const bool ok = DirectionDlg->exec() == QDialog::Accepted;
  DirectionDlg->SetLine(nullptr);
  if (!ok) return;
  current->Assign(copy);
  DrawGrid->viewport()->update();
}

void TDirectionsDlg::SBRemoveClick()
{
  const int row = DrawGrid->currentRow();
  if (!CurrentLine()) return;
  // The list keeps every line but the current one.
  TDirectionList rest;
  for (int i = 0; i < lines_.Count(); ++i) {
    if (i == row) continue;
    const TDirection& l = *lines_.Items(i);
    rest.Add(std::make_unique<TDirection>(l.FromObject, l.Color, l.ToObject));
  }
  lines_.Assign(rest);
  RefreshGrid();
}

void TDirectionsDlg::SBClearClick()
{
  if (lines_.Count() == 0) return;
  lines_.Clear();
  RefreshGrid();
}

void TDirectionsDlg::showEvent(QShowEvent* event)
{
  CenterOnScreen(this);
  QDialog::showEvent(event);
}
