#include "app/output/SaveAnimationDlgs.h"

#include "app/UserPrompts.h"
#include "app/mainwindow/TimeStepTexts.h"
#include "app/output/FilmRecording.h"
#include "app/output/OutputTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The units of the Time tab, in its order, and the tropical year a
// document may bring.
constexpr int StepUnits[] = {tsuMinute, tsuHour, tsuDay, tsuSiderealYear, tsuTropicalYear};

QLabel* Caption(const char* name, const char* text, QWidget* buddy, QWidget* parent)
{
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setBuddy(buddy);
  return label;
}

}  // namespace

TSaveAnimationDlg::TSaveAnimationDlg(TUserPrompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts)
{
  setObjectName("SaveAnimationDlg");
  setWindowTitle("Save animation");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  auto* grid = new QGridLayout(this);

  FileNameEdit = new QLineEdit(this);
  FileNameEdit->setObjectName("FileNameEdit");
  FileNameEdit->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
  SBFileName = new QPushButton("...", this);
  SBFileName->setObjectName("SBFileName");
  SBFileName->setAutoDefault(false);
  SBFileName->setMaximumWidth(fontMetrics().averageCharWidth() * 5);
  grid->addWidget(Caption("Label1", "&File:", FileNameEdit, this), 0, 0);
  grid->addWidget(FileNameEdit, 0, 1, 1, 2);
  grid->addWidget(SBFileName, 0, 3);

  SEFrames = new QSpinBox(this);
  SEFrames->setObjectName("SEFrames");
  SEFrames->setRange(1, MaxFilmFrames);
  SEFrames->setValue(365);
  grid->addWidget(Caption("Label2", "&Number of frames:", SEFrames, this), 1, 0);
  grid->addWidget(SEFrames, 1, 1);

  EStepValue = new QLineEdit(this);
  EStepValue->setObjectName("EStepValue");
  CBStepUnit = new QComboBox(this);
  CBStepUnit->setObjectName("CBStepUnit");
  for (int unit : StepUnits)
    CBStepUnit->addItem(QString::fromStdString(StepUnitWord(unit)), unit);
  grid->addWidget(Caption("Label3", "&Step between frames:", EStepValue, this), 2, 0);
  grid->addWidget(EStepValue, 2, 1);
  grid->addWidget(CBStepUnit, 2, 2, 1, 2);

  SEFps = new QSpinBox(this);
  SEFps->setObjectName("SEFps");
  SEFps->setRange(MinFilmFps, MaxFilmFps);
  SEFps->setValue(25);
  grid->addWidget(Caption("Label4", "Frames &per second:", SEFps, this), 3, 0);
  grid->addWidget(SEFps, 3, 1);

  SESize = new QSpinBox(this);
  SESize->setObjectName("SESize");
  SESize->setRange(MinFilmSize, MaxFilmSize);
  SESize->setSingleStep(50);
  SESize->setValue(500);
  grid->addWidget(Caption("Label5", "Picture size (s&quare):", SESize, this), 4, 0);
  grid->addWidget(SESize, 4, 1);
  auto* pixels = new QLabel("pixels", this);
  pixels->setObjectName("Label6");
  grid->addWidget(pixels, 4, 2);

  CBCaptions = new QCheckBox("&Captions (instant and view)", this);
  CBCaptions->setObjectName("CBCaptions");
  CBCaptions->setChecked(true);
  grid->addWidget(CBCaptions, 5, 1, 1, 3);

  LSummary = new QLabel(this);
  LSummary->setObjectName("LSummary");
  LSummary->setWordWrap(true);
  grid->addWidget(LSummary, 6, 0, 1, 4);

  auto* buttons = new QHBoxLayout;
  OKBtn = new QPushButton("OK", this);
  OKBtn->setObjectName("OKBtn");
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton("Cancel", this);
  CancelBtn->setObjectName("CancelBtn");
  buttons->addStretch(1);
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  grid->addLayout(buttons, 7, 0, 1, 4);
  grid->setColumnStretch(1, 1);

  connect(SBFileName, &QPushButton::clicked, this, [this] { SBFileNameClick(); });
  connect(FileNameEdit, &QLineEdit::textChanged, this, [this] { UpdateControls(); });
  connect(EStepValue, &QLineEdit::textChanged, this, [this] { UpdateControls(); });
  connect(CBStepUnit, &QComboBox::currentIndexChanged, this, [this] { UpdateControls(); });
  connect(SEFrames, &QSpinBox::valueChanged, this, [this] { UpdateControls(); });
  connect(SEFps, &QSpinBox::valueChanged, this, [this] { UpdateControls(); });
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  SetStep(1, tsuDay);
  UpdateControls();
}

void TSaveAnimationDlg::SetFirstInstant(const TDateRec& first)
{
  first_ = first;
  UpdateControls();
}

void TSaveAnimationDlg::SetFilmFileName(const std::string& path)
{
  FilmFileName = path;
  FilmDir = DirectoryPart(path);
  const bool blank = NamePart(path).find_first_not_of(" \t") == std::string::npos;
  FileNameEdit->setText(QString::fromStdString(blank ? std::string("default.mp4") : path));
}

void TSaveAnimationDlg::SetStep(long double value, int unit)
{
  EStepValue->setText(QString::fromStdString(GeneralNumberText(value)));
  const int index = CBStepUnit->findData(unit);
  CBStepUnit->setCurrentIndex(index >= 0 ? index : CBStepUnit->findData(int(tsuDay)));
}

void TSaveAnimationDlg::SetFilmSize(int size)
{
  SESize->setValue(std::clamp(size, MinFilmSize, MaxFilmSize));
}

int TSaveAnimationDlg::Frames() const { return SEFrames->value(); }
int TSaveAnimationDlg::Fps() const { return SEFps->value(); }
int TSaveAnimationDlg::FilmSize() const { return SESize->value(); }
bool TSaveAnimationDlg::Captions() const { return CBCaptions->isChecked(); }
int TSaveAnimationDlg::StepUnit() const { return CBStepUnit->currentData().toInt(); }

bool TSaveAnimationDlg::StepValue(long double& value) const
{
  return ParseStepValue(EStepValue->text().toStdString(), value);
}

long double TSaveAnimationDlg::StepDays() const
{
  long double value = 0;
  if (!StepValue(value)) return 0;
  return value * StepUnitDays(StepUnit());
}

std::string TSaveAnimationDlg::GetFilmFileName()
{
  const std::string f =
      CompleteFilmFileName(FileNameEdit->text().trimmed().toStdString(), FilmDir);
  FilmDir = DirectoryPart(f);
  return f;
}

void TSaveAnimationDlg::SBFileNameClick()
{
  const std::string chosen = prompts_.SaveFilmName(this, FilmDir, NamePart(FilmFileName));
  if (!chosen.empty()) SetFilmFileName(chosen);
}

void TSaveAnimationDlg::UpdateControls()
{
  long double step = 0;
  const bool stepOk = StepValue(step);
  OKBtn->setEnabled(stepOk && !FileNameEdit->text().trimmed().isEmpty());
  if (!stepOk) {
    LSummary->setText("The step must be a number.");
    return;
  }
  // "From 2024/05/07 15:30 UT to 2025/05/06 15:30 UT: 14.6 s of film."
  const int frames = Frames();
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f", static_cast<double>(frames) / Fps());
  const std::string from = DateText(first_) + " " + TimeText(first_) + " UT";
  std::string to = "beyond the years shown";
  if (IsShownJD(DateRecToJD(first_) + (frames - 1) * StepDays())) {
    const TDateRec last = FilmFrameInstant(first_, StepDays(), frames - 1);
    to = DateText(last) + " " + TimeText(last) + " UT";
  }
  LSummary->setText(QString::fromStdString("From " + from + " to " + to + ": " + seconds +
                                           " s of film."));
}
