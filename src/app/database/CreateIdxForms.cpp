#include "app/database/CreateIdxForms.h"

#include "database/MinorBodyTable.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

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
  const auto& indices = StandardIndices();
  int step = 0;
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
    ++step;
    ProgressBar->setValue(step < static_cast<int>(indices.size()) ? 15 * step : 100);
    ProgressBar->repaint();
  }
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
