// The "Save animation" dialog: the frames of a film from the current
// instant on (how many, the step between them as a value and a unit of the
// Time tab), frames per second, the picture's side, captions on or off,
// and the file, whose extension chooses the format (.mp4, .webm, .gif).
#pragma once

#include "astro/DatesAndTimes.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TUserPrompts;

class TSaveAnimationDlg : public QDialog {
public:
  explicit TSaveAnimationDlg(TUserPrompts& prompts, QWidget* parent = nullptr);

  // The instant of the first frame, for the summary line.
  void SetFirstInstant(const TDateRec& first);
  // The proposed file; the field shows "default.mp4" for a bare directory.
  void SetFilmFileName(const std::string& path);
  // A step of the Time tab: value and unit code (0, 1, 3, 9 or 10).
  void SetStep(long double value, int unit);
  void SetFilmSize(int size);  // kept within 50 .. 4000

  int Frames() const;
  int Fps() const;
  int FilmSize() const;
  bool Captions() const;
  // The step value as typed; false when it is no number.
  bool StepValue(long double& value) const;
  int StepUnit() const;
  // Days from one frame to the next (0 when the value is no number).
  long double StepDays() const;
  // The file to write for the field (".mp4" added to a name without an
  // extension, a bare name put into FilmDir); FilmDir becomes its directory.
  std::string GetFilmFileName();

  void SBFileNameClick();
  void UpdateControls();  // OK and the summary line follow the fields

  std::string FilmFileName;
  std::string FilmDir;  // ends with the separator, or is empty

  QLineEdit* FileNameEdit = nullptr;
  QPushButton* SBFileName = nullptr;
  QSpinBox* SEFrames = nullptr;
  QLineEdit* EStepValue = nullptr;
  QComboBox* CBStepUnit = nullptr;
  QSpinBox* SEFps = nullptr;
  QSpinBox* SESize = nullptr;
  QCheckBox* CBCaptions = nullptr;
  QLabel* LSummary = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

private:
  TUserPrompts& prompts_;
  TDateRec first_;
};
