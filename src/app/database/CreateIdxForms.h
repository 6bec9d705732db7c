// "Creating indices": the small borderless window shown while the named
// indices of a table are built, and the building itself.
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class TTable;

class TCreateIdxForm : public QWidget {
public:
  explicit TCreateIdxForm(QWidget* mainWindow = nullptr);

  // Adds the seven named indices a table lacks, showing the window with its
  // progress: the table is closed, opened exclusively, given each missing
  // index (one that exists already is left as it is), closed and opened
  // again shared with the active index it had. When the table cannot be
  // opened exclusively the window closes and the error passes on.
  void CreateIndices(TTable& table);

  QLabel* Label1 = nullptr;
  QProgressBar* ProgressBar = nullptr;

private:
  void ShowCentred();
  QWidget* mainWindow_;
};
