#include "app/database/CreateIdxForms.h"

#include "database/MinorBodyTable.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <string>
#include <vector>

TCreateIdxForm::TCreateIdxForm(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::FramelessWindowHint), mainWindow_(mainWindow)
{
  setObjectName("CreateIdxForm");
  setWindowTitle("Creating indices");
  setWindowModality(Qt::ApplicationModal);
  setFixedSize(241, 46);
  auto* v = new QVBoxLayout(this);
  v->setContentsMargins(8, 4, 8, 6);
  v->setSpacing(3);
  Label1 = new QLabel("Creating indices, please wait.", this);
  Label1->setObjectName("Label1");
  ProgressBar = new QProgressBar(this);
  ProgressBar->setObjectName("ProgressBar");
  ProgressBar->setRange(0, 100);
  ProgressBar->setTextVisible(false);
  v->addWidget(Label1);
  v->addWidget(ProgressBar);
  setAutoFillBackground(true);
}

void TCreateIdxForm::ShowCentred()
{
  if (mainWindow_) {
    const QPoint centre = mainWindow_->geometry().center();
    move(centre.x() - width() / 2, centre.y() - height() / 2);
  }
  show();
  // Painted now: the work that follows blocks the event loop.
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TCreateIdxForm::CreateIndices(TTable& table)
{
  const std::string activeIndex = table.IndexName();
  ShowCentred();
  try {
    table.Close();
    table.Open(true);
  } catch (...) {
    hide();
    throw;
  }
  ProgressBar->setValue(0);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  // The missing indices, then those of an earlier build whose name order
  // is by letter codes, built again.
  const auto& indices = StandardIndices();
  std::vector<std::string> outdated;
  try {
    outdated = table.OutdatedIndices();
  } catch (const ETableError&) {
    // a table whose index list cannot be read keeps its indices
  }
  const int total = static_cast<int>(indices.size() + outdated.size());
  int step = 0;
  auto advance = [&] {
    ++step;
    ProgressBar->setValue(step < total ? 90 * step / (total - 1) : 100);
    ProgressBar->repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  };
  for (const TIndexDef& index : indices) {
    try {
      table.AddIndex(index);
    } catch (const ETableError&) {
      // an index of that name exists already: left as it is, unless its
      // B-tree lists other rows than the table holds
      try {
        table.RepairIndex(index.Name);
      } catch (const ETableError&) {
        // taken by another kind of object: the next is tried, as for any failure
      }
    }
    advance();
  }
  for (const std::string& name : outdated) {
    try {
      table.RenewIndex(name);
    } catch (const ETableError&) {
      // left as it was: sorting still works, only slower
    }
    advance();
  }
  QApplication::restoreOverrideCursor();
  try {
    table.Close();
    table.Open(false);
    table.SetIndexName(activeIndex);
  } catch (...) {
    hide();
    throw;
  }
  hide();
}
