// "User defined lines": the list of a working copy of the scene's
// user-defined lines with Add, Remove, Edit and Clear. The caller gives it
// the scene's lines (SetLines), shows it, and on OK takes Lines back.
#pragma once

#include "bodies/SSClasses.h"

#include <QDialog>

#include <string>

class QFrame;
class QPainter;
class QPushButton;
class QRect;
class QTableWidget;
class TDirectionDlg;
class TUserPrompts;

// The text of a line's row: "Mars - Jupiter".
std::string LineRowText(const TDirection& line);

class TDirectionsDlg : public QDialog {
public:
  TDirectionsDlg(TUserPrompts& prompts, QWidget* parent = nullptr);

  void SetLines(const TDirectionList& list);
  const TDirectionList& Lines() const { return lines_; }
  void RefreshGrid();

  void SBAddClick();
  void SBRemoveClick();
  void SBEditClick();  // also a double click in the grid
  void SBClearClick();
  // Draws row `row` into `cell`: the row's text, and a box in the line's
  // colour right of it.
  void DrawGridDrawCell(QPainter& painter, int row, const QRect& cell, bool focused);

  QFrame* Panel = nullptr;
  QTableWidget* DrawGrid = nullptr;
  QPushButton* SBAdd = nullptr;
  QPushButton* SBRemove = nullptr;
  QPushButton* SBEdit = nullptr;
  QPushButton* SBClear = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;
  // "Define a line", made with this dialog and reused.
  TDirectionDlg* DirectionDlg = nullptr;

protected:
  void showEvent(QShowEvent* event) override;

private:
  // The line of the grid's current row, or null.
  TDirection* CurrentLine() const;

  TDirectionList lines_;
};
