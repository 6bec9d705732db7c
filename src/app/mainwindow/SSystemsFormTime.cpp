// The instant the main window shows: SetTime, stepping, the date, time and
// step fields, now and zero, real-time mode and the animation.
#include "app/mainwindow/SSystemsForm.h"

#include "app/widgets/PaintBox.h"
#include "app/mainwindow/TimeStepTexts.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressDialog>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

void TSolarSystemForm::SetTime(const TDateRec& t)
{
  if (!PrepareMinorBodies(DateRecToJD(IsShownJD(DateRecToJD(t)) ? t : CurrentTime))) return;
  if (IsShownJD(DateRecToJD(t))) CurrentTime = t;
  EDate->setText(Q(DateText(CurrentTime)));
  ETime->setText(Q(TimeText(CurrentTime)));

  const bool couldShow = solarSystem_->CanShowObjects();
  solarSystem_->SetDateTime(CurrentTime);
  JDLabel->setText(Q(JDLabelText(DateRecToJD(CurrentTime))));
  // The clock's own steps in real-time mode are no change of the document.
  if (!RealTimeMode) MarkDocumentChanged();
  UpdateCaption();
  ApplyObjectButtonRules();
  PaintBox->update();

  const TOEObjectList& named = solarSystem_->AsteroidsList();
  if (couldShow && !solarSystem_->CanShowObjects() &&
      (named.Count() > 0 || solarSystem_->AsteroidsFullList().Count() > 0)) {
    std::vector<std::string> names;
    for (int i = 0; i < named.Count(); ++i) names.push_back(named.Items(i)->Name);
    Prompts().Message(this, MinorBodiesMessage(names));
  }
  ReportMotionFailures();
  UpdateMonitor();
}

bool TSolarSystemForm::PrepareMinorBodies(long double jd)
{
  if (preparingMinorBodies_) return false;  // a tick while the last one is integrated
  preparingMinorBodies_ = true;
  // The progress window appears only when the work lasts; until then the
  // window simply answers.
  QProgressDialog* progress = nullptr;
  QElapsedTimer clock;
  clock.start();
  solarSystem_->PrepareMinorBodies(jd, [&](double done) {
    if (!progress && clock.elapsed() > 400 && done < 0.8) {
      progress = new QProgressDialog("Integrating the orbits of the minor bodies\u2026",
                                     QString(), 0, 1000, this);
      progress->setWindowTitle("Minor-body motion");
      progress->setWindowModality(Qt::WindowModal);
      progress->setCancelButton(nullptr);
      progress->setMinimumDuration(0);
    }
    if (progress) progress->setValue(static_cast<int>(done * 1000));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  });
  delete progress;
  preparingMinorBodies_ = false;
  return true;
}

void TSolarSystemForm::ReportMotionFailures()
{
  const std::vector<std::string> failed = solarSystem_->TakeMotionFailures();
  if (failed.empty()) return;
  std::string text =
      "These minor bodies cannot be integrated and move on the two-body orbits of their "
      "elements:";
  for (const std::string& name : failed) text += "\r" + name;
  Prompts().Message(this, text);
}

void TSolarSystemForm::StepForward()
{
  const long double d = DateRecToJD(CurrentTime) + TimeStepValue * StepUnitDays(TimeStepUnit);
  // Beyond the last instant nothing happens; an instant before the first
  // (a negative step) SetTime would refuse, so it is not even converted.
  if (!IsShownJD(d)) return;
  SetTime(JDToDateRec(0, d));
}

void TSolarSystemForm::StepBackward()
{
  const long double d = DateRecToJD(CurrentTime) - TimeStepValue * StepUnitDays(TimeStepUnit);
  if (!IsShownJD(d)) return;
  SetTime(JDToDateRec(0, d));
}

void TSolarSystemForm::SBDateUpDownUpClick()
{
  SetRealTimeMode(false);
  CommitStepValue();
  const TDateRec before = CurrentTime;
  StepForward();
  // A step that was taken has just shown its instant, and showing it again
  // would only recompute the same bodies; a refused step still refreshes
  // the display.
  if (CurrentTime == before) SetTime(CurrentTime);
}

void TSolarSystemForm::SBDateUpDownDownClick()
{
  SetRealTimeMode(false);
  CommitStepValue();
  const TDateRec before = CurrentTime;
  StepBackward();
  // As for the up arrow.
  if (CurrentTime == before) SetTime(CurrentTime);
}

// ------------------------------------------------------------ the fields

void TSolarSystemForm::EDateEnter() { EDate->setText(Q(DateText(CurrentTime))); }

void TSolarSystemForm::EDateExit()
{
  SetRealTimeMode(false);
  TDateRec candidate = CurrentTime;
  try {
    ParseDateString(EDate->text().toStdString(), candidate);
  } catch (const std::exception&) {  // conversion, underflow or overflow
    EDate->setText(Q(DateText(CurrentTime)));
    return;
  }
  SetTime(candidate);
}

void TSolarSystemForm::EDateKeyPress(char key)
{
  if (key == '\r') EDateExit();
}

void TSolarSystemForm::ETimeExit()
{
  SetRealTimeMode(false);
  TDateRec candidate = CurrentTime;
  try {
    ParseTimeString(ETime->text().toStdString(), candidate);
  } catch (const std::exception&) {
    ETime->setText(Q(TimeText(CurrentTime)));
    return;
  }
  // Only the time of day comes from the field.
  candidate.Day = CurrentTime.Day;
  candidate.Month = CurrentTime.Month;
  candidate.Year = CurrentTime.Year;
  candidate.Zone = CurrentTime.Zone;
  SetTime(candidate);
}

void TSolarSystemForm::ETimeKeyPress(char key)
{
  if (key == '\r') ETimeExit();
}

void TSolarSystemForm::CommitStepValue()
{
  long double value = 0;
  if (ParseStepValue(ETimeValue->text().toStdString(), value)) TimeStepValue = value;
  ETimeValue->setText(Q(GeneralNumberText(TimeStepValue)));
  ShowTimeStep();
}

void TSolarSystemForm::ETimeValueExit() { CommitStepValue(); }

void TSolarSystemForm::ETimeValueKeyPress(char key)
{
  if (key == '\r') ETimeValueExit();
}

void TSolarSystemForm::ShowTimeStep()
{
  LTimeStep->setText(Q(TimeStepText(TimeStepValue, TimeStepUnit)));
}

void TSolarSystemForm::SBTimeUnitClick()
{
  CommitStepValue();
  if (SBSidYears->isChecked())
    TimeStepUnit = tsuSiderealYear;
  else if (SBDays->isChecked())
    TimeStepUnit = tsuDay;
  else if (SBHours->isChecked())
    TimeStepUnit = tsuHour;
  else if (SBMinutes->isChecked())
    TimeStepUnit = tsuMinute;
  ShowTimeStep();
}

void TSolarSystemForm::ShowTimeStepUnit()
{
  switch (TimeStepUnit) {
    case tsuSiderealYear: SBSidYears->setChecked(true); break;
    case tsuDay: SBDays->setChecked(true); break;
    case tsuHour: SBHours->setChecked(true); break;
    case tsuMinute: SBMinutes->setChecked(true); break;
    default: break;  // a unit without a button leaves them as they are
  }
}

void TSolarSystemForm::UpdateTimeControls()
{
  ETimeValue->setText(Q(GeneralNumberText(TimeStepValue)));
  ShowTimeStepUnit();
  SBRealTime->setChecked(RealTimeMode);
  ShowTimeStep();
}

// ----------------------------------------------------------- now and zero

void TSolarSystemForm::SBNowClick()
{
  SetRealTimeMode(false);
  CommitStepValue();
  SetTime(NowUT());
}

void TSolarSystemForm::SBZeroClick()
{
  SetRealTimeMode(false);
  CurrentTime.Hour = 0;
  CurrentTime.Minute = 0;
  CurrentTime.Second = 0;
  SetTime(CurrentTime);
  PaintBox->update();
}

// ------------------------------------------------------------ real time

void TSolarSystemForm::SetRealTimeMode(bool on)
{
  RealTimeMode = on;
  if (on)
    RTTimer->start();
  else
    RTTimer->stop();
  SBRealTime->setChecked(on);
  if (on) SetTime(NowUT());
}

void TSolarSystemForm::SBRealTimeClick() { SetRealTimeMode(SBRealTime->isChecked()); }

void TSolarSystemForm::RTTimerTimer() { SetTime(NowUT()); }

// ------------------------------------------------------------- animation

void TSolarSystemForm::StartAnimation()
{
  AnimationStartTime = CurrentTime;
  // An animation runs from the start of the current day; the display
  // follows at the first tick.
  CurrentTime.Hour = 0;
  CurrentTime.Minute = 0;
  CurrentTime.Second = 0;
  Timer->start();
}

void TSolarSystemForm::StopAnimation()
{
  Timer->stop();
  SetTime(AnimationStartTime);
}

void TSolarSystemForm::SetAnimationRunning(bool on)
{
  if (on)
    Timer->start();
  else
    Timer->stop();
}

void TSolarSystemForm::SBStartAnimateClick()
{
  SetRealTimeMode(false);
  StartAnimation();
  SBStartAnimate->setChecked(true);
  SBStartAnimate->setEnabled(false);
  SBStopAnimate->setEnabled(true);
  SBPauseAnimate->setEnabled(true);
  SBPauseAnimate->setChecked(false);
  SBInvert->setEnabled(true);
}

void TSolarSystemForm::SBStopAnimateClick()
{
  StopAnimation();
  SBStartAnimate->setEnabled(true);
  SBStartAnimate->setChecked(false);
  SBStopAnimate->setEnabled(false);
  SBPauseAnimate->setChecked(false);
  SBPauseAnimate->setEnabled(false);
  SBInvert->setChecked(false);
  SBInvert->setEnabled(false);
}

void TSolarSystemForm::SBPauseAnimateClick()
{
  SetRealTimeMode(false);
  SetAnimationRunning(!SBPauseAnimate->isChecked());
}

void TSolarSystemForm::TimerTimer()
{
  if (SBInvert->isChecked())
    SBDateUpDownDownClick();
  else
    SBDateUpDownUpClick();
}
