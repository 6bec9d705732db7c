// "Define a line": the two end bodies and the colour of one user-defined
// line. The dialog edits the line it is given while the user works and does
// not own it; the caller hands it a copy when Cancel must leave a line as
// it was.
#pragma once

#include <QDialog>

#include <string>

class QComboBox;
class QLabel;
class QPushButton;
class TColorSwatch;
class TDirection;
class TUserPrompts;

// The end-body lists hold the Sun and the planets in the order of their
// distance from the Sun; their entries and the scene's body numbers.
constexpr int LineBodyCount = 10;
int LineBodyNumber(int entry);  // -1 outside 0..9
int LineBodyEntry(int body);    // -1 for a body that is no entry
// "Sun" for 9, the planet's name for 0..8; the number itself otherwise.
std::string LineBodyName(int body);

class TDirectionDlg : public QDialog {
public:
  TDirectionDlg(TUserPrompts& prompts, QWidget* parent = nullptr);

  void SetLine(TDirection* line);
  TDirection* Line() const { return line_; }

  void CBFromChange();
  void CBToChange();
  void ShapeMouseDown();

  QLabel* Label1 = nullptr;
  QComboBox* CBFrom = nullptr;
  QLabel* Label2 = nullptr;
  QComboBox* CBTo = nullptr;
  QLabel* Label3 = nullptr;
  TColorSwatch* Shape = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

protected:
  void showEvent(QShowEvent* event) override;

private:
  TUserPrompts& prompts_;
  TDirection* line_ = nullptr;
};
