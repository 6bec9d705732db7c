#include "app/dialogs/SelectSpacecraftsDlgs.h"

#include "app/UserPrompts.h"

#include "app/ProgramIdentity.h"  // HomePageAddress
#include "app/dialogs/DialogFrame.h"
#include "app/dialogs/FloatEdit.h"
#include "app/dialogs/SpacecraftFiles.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QUrl>

namespace {

constexpr const char* ModeCaptions[5] = {"none", "for the past", "for the future",
                                         "past and future", "user defined"};

QLabel* Caption(const char* name, const QString& text, QWidget* parent, int x, int y)
{
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->move(x, y);
  l->adjustSize();
  return l;
}

QListWidget* List(const char* name, QWidget* parent, const QRect& r)
{
  auto* l = new QListWidget(parent);
  l->setObjectName(name);
  l->setGeometry(r);
  l->setSelectionMode(QAbstractItemView::ExtendedSelection);
  return l;
}

QPushButton* MoveButton(const char* name, const QString& caption, QWidget* parent, int y)
{
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setGeometry(155, y, 35, 25);
  b->setAutoDefault(false);
  return b;
}

TFloatEdit* DayField(const char* name, QWidget* parent, int y, TUserPrompts& prompts)
{
  auto* f = new TFloatEdit(parent);
  f->setObjectName(name);
  f->Digits = 3;
  f->MaxValue = 1e99L;
  f->SetValue(0);
  f->SetPrompts(&prompts);
  f->setGeometry(72, y, 80, 21);
  return f;
}

}  // namespace

std::string SpacecraftDataAddress() { return HomePageAddress().toStdString() + "spacecraft/"; }

TSelectSpacecraftsDlg::TSelectSpacecraftsDlg(TUserPrompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts)
{
  PrepareFixedDialog(this, "SelectSpacecraftsDlg", "Spacecrafts", 345, 372);

  SrcLabel = Caption("SrcLabel", "available", this, 8, 4);
  DstLabel = Caption("DstLabel", "selected", this, 197, 4);
  SrcList = List("SrcList", this, QRect(8, 20, 140, 190));
  DstList = List("DstList", this, QRect(197, 20, 140, 190));
  IncludeBtn = MoveButton("IncludeBtn", ">", this, 36);
  IncAllBtn = MoveButton("IncAllBtn", ">>", this, 66);
  ExcludeBtn = MoveButton("ExcludeBtn", "<", this, 106);
  ExAllBtn = MoveButton("ExAllBtn", "<<", this, 136);
  ExcludeBtn->setEnabled(false);
  ExAllBtn->setEnabled(false);
  SBGetMore = new QToolButton(this);
  SBGetMore->setObjectName("SBGetMore");
  SBGetMore->setIcon(style()->standardIcon(QStyle::SP_DriveNetIcon));
  SBGetMore->setIconSize(QSize(20, 20));
  SBGetMore->setToolTip("get more spacecraft data files");
  SBGetMore->setGeometry(155, 180, 35, 30);

  RGSpacecraftTrajectoryMode = new QGroupBox("trajectory", this);
  RGSpacecraftTrajectoryMode->setObjectName("RGSpacecraftTrajectoryMode");
  RGSpacecraftTrajectoryMode->setGeometry(8, 216, 160, 106);
  modeGroup_ = new QButtonGroup(this);
  for (int i = 0; i < 5; ++i) {
    ModeButtons[i] = new QRadioButton(ModeCaptions[i], RGSpacecraftTrajectoryMode);
    ModeButtons[i]->setGeometry(8, 19 + 17 * i, 145, 17);
    modeGroup_->addButton(ModeButtons[i], i);
  }

  GBUserDefined = new QGroupBox("user defined", this);
  GBUserDefined->setObjectName("GBUserDefined");
  GBUserDefined->setGeometry(176, 216, 161, 72);
  Label1 = Caption("Label1", "days back", GBUserDefined, 8, 22);
  FEBack = DayField("FEBack", GBUserDefined, 18, prompts);
  Label2 = Caption("Label2", "days ahead", GBUserDefined, 8, 46);
  FEAhead = DayField("FEAhead", GBUserDefined, 43, prompts);

  CBPlanetocentricTrajectories =
      new QCheckBox("show planetocentric trajectories on high zoomed plots", this);
  CBPlanetocentricTrajectories->setObjectName("CBPlanetocentricTrajectories");
  CBPlanetocentricTrajectories->setGeometry(8, 326, 330, 17);
  OKBtn = AddOkButton(this, 181, 345);
  CancelBtn = AddCancelButton(this, 262, 345);
  OKBtn->setFixedHeight(24);
  CancelBtn->setFixedHeight(24);

  connect(IncludeBtn, &QPushButton::clicked, this, [this] { IncludeBtnClick(); });
  connect(IncAllBtn, &QPushButton::clicked, this, [this] { IncAllBtnClick(); });
  connect(ExcludeBtn, &QPushButton::clicked, this, [this] { ExcludeBtnClick(); });
  connect(ExAllBtn, &QPushButton::clicked, this, [this] { ExcAllBtnClick(); });
  connect(SrcList, &QListWidget::itemDoubleClicked, this, [this] { IncludeBtnClick(); });
  connect(DstList, &QListWidget::itemDoubleClicked, this, [this] { ExcludeBtnClick(); });
  connect(SBGetMore, &QToolButton::clicked, this, [this] { SBGetMoreClick(); });
  connect(modeGroup_, &QButtonGroup::idClicked, this,
          [this](int id) { RGSpacecraftTrajectoryModeClick(id); });
  connect(CBPlanetocentricTrajectories, &QCheckBox::toggled, this,
          [this] { CBPlanetocentricTrajectoriesClick(); });
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });

  SetTrajectoryMode(stmNone);
}

// ------------------------------------------------------- before showing

void TSelectSpacecraftsDlg::ClearSelected()
{
  DstList->clear();
  UpdateMoveButtons();
}

void TSelectSpacecraftsDlg::SetTrajectoryMode(TSpacecraftTrajectoryMode mode)
{
  if (mode >= stmNone && mode <= stmUser) ModeButtons[mode]->setChecked(true);
  RGSpacecraftTrajectoryModeClick(mode);
}

void TSelectSpacecraftsDlg::SetDaysAhead(long double days)
{
  DaysAhead = days;
  FEAhead->SetValue(days);
}

void TSelectSpacecraftsDlg::SetDaysBack(long double days)
{
  DaysBack = days;
  FEBack->SetValue(days);
}

void TSelectSpacecraftsDlg::SetPlanetocentric(bool on)
{
  ShowPlanetocentric = on;
  CBPlanetocentricTrajectories->setChecked(on);
}

void TSelectSpacecraftsDlg::AddSelected(const std::string& name)
{
  DstList->addItem(QString::fromStdString(name));
  UpdateMoveButtons();
}

// ----------------------------------------------------------- after OK

int TSelectSpacecraftsDlg::SelectedFileCount() const { return DstList->count(); }

std::string TSelectSpacecraftsDlg::GetSelected(int i) const
{
  const QListWidgetItem* item = DstList->item(i);
  return item ? item->text().toStdString() : std::string();
}

// ------------------------------------------------------------ handlers

void TSelectSpacecraftsDlg::showEvent(QShowEvent* event)
{
  CenterOnScreen(this);
  FormShow();
  QDialog::showEvent(event);
}

void TSelectSpacecraftsDlg::AddSorted(const QString& name)
{
  int at = 0;
  while (at < SrcList->count() &&
         QString::compare(SrcList->item(at)->text(), name, Qt::CaseInsensitive) <= 0)
    ++at;
  SrcList->insertItem(at, name);
}

void TSelectSpacecraftsDlg::FormShow()
{
  SrcList->clear();
  for (const std::string& name : SpacecraftEntries(programDir_))
    AddSorted(QString::fromStdString(name));
  for (int i = 0; i < DstList->count(); ++i) {
    const QString selected = DstList->item(i)->text();
    for (int j = SrcList->count() - 1; j >= 0; --j)
      if (QString::compare(SrcList->item(j)->text(), selected, Qt::CaseInsensitive) == 0)
        delete SrcList->takeItem(j);
  }
  UpdateMoveButtons();
}

void TSelectSpacecraftsDlg::IncludeBtnClick()
{
  int p = -1;
  for (int i = 0; i < SrcList->count() && p < 0; ++i)
    if (SrcList->item(i)->isSelected()) p = i;
  // From the last entry to the first: entries selected together arrive in
  // reverse order.
  for (int i = SrcList->count() - 1; i >= 0; --i) {
    if (!SrcList->item(i)->isSelected()) continue;
    QListWidgetItem* item = SrcList->takeItem(i);
    DstList->addItem(item->text());
    delete item;
  }
  SelectAfterMove(SrcList, p);
}

void TSelectSpacecraftsDlg::ExcludeBtnClick()
{
  int p = -1;
  for (int i = 0; i < DstList->count() && p < 0; ++i)
    if (DstList->item(i)->isSelected()) p = i;
  for (int i = DstList->count() - 1; i >= 0; --i) {
    if (!DstList->item(i)->isSelected()) continue;
    QListWidgetItem* item = DstList->takeItem(i);
    AddSorted(item->text());
    delete item;
  }
  SelectAfterMove(DstList, p);
}

void TSelectSpacecraftsDlg::IncAllBtnClick()
{
  for (int i = 0; i < SrcList->count(); ++i) DstList->addItem(SrcList->item(i)->text());
  SrcList->clear();
  SelectAfterMove(SrcList, 0);
}

void TSelectSpacecraftsDlg::ExcAllBtnClick()
{
  for (int i = 0; i < DstList->count(); ++i) AddSorted(DstList->item(i)->text());
  DstList->clear();
  SelectAfterMove(DstList, 0);
}

void TSelectSpacecraftsDlg::SelectAfterMove(QListWidget* list, int p)
{
  list->setFocus();
  if (p < 0) p = 0;
  if (p > list->count() - 1) p = list->count() - 1;
  if (list->count() > 0) {
    list->clearSelection();
    list->setCurrentRow(p, QItemSelectionModel::ClearAndSelect);
  }
  UpdateMoveButtons();
}

void TSelectSpacecraftsDlg::UpdateMoveButtons()
{
  const bool available = SrcList->count() > 0;
  const bool selected = DstList->count() > 0;
  IncludeBtn->setEnabled(available);
  IncAllBtn->setEnabled(available);
  ExcludeBtn->setEnabled(selected);
  ExAllBtn->setEnabled(selected);
}

void TSelectSpacecraftsDlg::RGSpacecraftTrajectoryModeClick(int item)
{
  TrajectoryMode = static_cast<TSpacecraftTrajectoryMode>(item);
  const bool user = TrajectoryMode == stmUser;
  for (QWidget* w : std::initializer_list<QWidget*>{GBUserDefined, FEBack, FEAhead, Label1, Label2})
    w->setEnabled(user);
}

void TSelectSpacecraftsDlg::CBPlanetocentricTrajectoriesClick()
{
  ShowPlanetocentric = CBPlanetocentricTrajectories->isChecked();
}

void TSelectSpacecraftsDlg::OKBtnClick()
{
  DaysBack = FEBack->Value();
  DaysAhead = FEAhead->Value();
  accept();
}

void TSelectSpacecraftsDlg::SBGetMoreClick()
{
  // Opened without waiting; without a browser the user gets the address.
  const std::string address = SpacecraftDataAddress();
  if (!QDesktopServices::openUrl(QUrl(QString::fromStdString(address))))
    prompts_.BrowserFailed(this, address);
}
