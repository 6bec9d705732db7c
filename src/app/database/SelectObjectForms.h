// The minor-body browser: a modal window over the current minor-body table
// as a read-only grid, sorted by a click on a column title, searched by
// name, from which the user picks one or several rows. It holds the one
// table handle through which the program reads minor-body rows.
#pragma once

#include "database/MinorBodyTable.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QLabel;
class QPushButton;
class QTableView;
class QToolButton;
class TAsteroid;
class TCreateIdxForm;
class TDataFilesDlg;
class TMinorBodyTableModel;
class TSearchDlg;
class TUserPrompts;

class TSelectObjectForm : public QDialog {
public:
  TSelectObjectForm(TUserPrompts& prompts, TDataFilesDlg& dataFilesDlg, TSearchDlg& searchDlg,
                    TCreateIdxForm& createIdxForm, QWidget* parent = nullptr);
  ~TSelectObjectForm() override;  // FormDestroy

  // FormShow, then the window modally; true on OK.
  bool Execute();
  void FormShow();  // the caption, and no row selected

  // Directs the table at a directory and file name (closing it) ...
  void SetTableLocation(const std::string& directory, const std::string& fileName);
  // ... and opens it shared on its primary index. Throws ETableError; the
  // table stays closed then.
  void OpenTable();

  // The rows picked: count, and the bodies made from them (the caller owns
  // them). Throws EInvalidElements naming a row that makes no ellipse.
  int SelectedCount() const;
  std::unique_ptr<TAsteroid> CreateSelectedObject(int index);
  std::unique_ptr<TAsteroid> CreateCurrentObject();
  // Elements of the current row; nothing while no table is open.
  void ReadElements(TOrbitElements& elements) const;
  // Makes sure the seven named indices exist, building the missing ones.
  void CheckIndices(TTable& table);

  void DBGridTitleClick(int column);
  void BSearchClick();
  void BDataFilesClick();
  void DataSourceDataChange();  // the caption with the row count
  // The navigator's buttons.
  void NavigateFirst();
  void NavigatePrior();
  void NavigateNext();
  void NavigateLast();

  // The grid's current row and the table's cursor, moved together.
  void SetCurrentPosition(std::int64_t position);
  std::int64_t CurrentPosition() const;
  // Selects the rows [first, last] (adds them to the selection).
  void SelectRows(int first, int last);
  // The selected rows, as sorted disjoint ranges of positions.
  std::vector<std::pair<int, int>> SelectedRanges() const;

  // Told after the table's directory or file name changed (the main window
  // keeps them for documents and settings).
  std::function<void()> OnTableChanged;

  TTable Table;
  QTableView* DBGrid = nullptr;
  QLabel* Label1 = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;
  QPushButton* BDataFiles = nullptr;
  QPushButton* BSearch = nullptr;
  QWidget* DBNavigator = nullptr;
  QToolButton* NavFirst = nullptr;
  QToolButton* NavPrior = nullptr;
  QToolButton* NavNext = nullptr;
  QToolButton* NavLast = nullptr;

private:
  void CreateControls();
  // After the table's order or contents changed: the grid anew, the cursor
  // on `position` (clamped).
  void ResetGrid(std::int64_t position);
  // The sorting column (its title shows the arrow) and the direction.
  void ShowSortOrder(int column, bool descending);
  int sortColumn_ = 0;
  std::unique_ptr<TAsteroid> CurrentBody();
  template <class F>
  void Guarded(F&& action);

  TUserPrompts& prompts_;
  TDataFilesDlg& dataFilesDlg_;
  TSearchDlg& searchDlg_;
  TCreateIdxForm& createIdxForm_;
  TMinorBodyTableModel* model_ = nullptr;
};
