#include "app/dialogs/DirectionDlgs.h"

#include "app/widgets/ColorSwatch.h"
#include "app/UserPrompts.h"
#include "app/dialogs/DialogFrame.h"
#include "astro/util404.h"  // PlanetNames
#include "bodies/SSClasses.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <array>

namespace {

constexpr std::array<int, LineBodyCount> LineBodies = {9, 1, 2, 0, 3, 4, 5, 6, 7, 8};

QComboBox* BodyList(const char* name, QWidget* parent)
{
  auto* c = new QComboBox(parent);
  c->setObjectName(name);
  for (int body : LineBodies) c->addItem(QString::fromStdString(LineBodyName(body)));
  c->setMaxVisibleItems(LineBodyCount);
  return c;
}

QLabel* Caption(const char* name, const QString& text, QWidget* parent, int x, int y)
{
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->move(x, y);
  l->adjustSize();
  return l;
}

}  // namespace

int LineBodyNumber(int entry)
{
  if (entry < 0 || entry >= LineBodyCount) return -1;
  return LineBodies[entry];
}

int LineBodyEntry(int body)
{
  for (int i = 0; i < LineBodyCount; ++i)
    if (LineBodies[i] == body) return i;
  return -1;
}

std::string LineBodyName(int body)
{
  if (body == 9) return "Sun";
  if (body >= 0 && body < 9) return PlanetNames[body];
  return std::to_string(body);
}

TDirectionDlg::TDirectionDlg(TUserPrompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts)
{
  PrepareFixedDialog(this, "DirectionDlg", "Define a line", 232, 126);
  Label1 = Caption("Label1", "From object:", this, 8, 8);
  CBFrom = BodyList("CBFrom", this);
  CBFrom->setGeometry(8, 24, 121, 22);
  Label2 = Caption("Label2", "To object:", this, 8, 52);
  CBTo = BodyList("CBTo", this);
  CBTo->setGeometry(8, 68, 121, 22);
  Label3 = Caption("Label3", "Color", this, 150, 8);
  Shape = new TColorSwatch(this);
  Shape->setObjectName("Shape");
  Shape->setFixedSize(65, 60);
  Shape->move(150, 24);
  OKBtn = AddOkButton(this, 70, 96);
  CancelBtn = AddCancelButton(this, 151, 96);

  // Only the user's choice changes the line, not SetLine's.
  connect(CBFrom, &QComboBox::activated, this, [this] { CBFromChange(); });
  connect(CBTo, &QComboBox::activated, this, [this] { CBToChange(); });
  Shape->OnMouseDown = [this] { ShapeMouseDown(); };
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
}

void TDirectionDlg::SetLine(TDirection* line)
{
  line_ = line;
  if (!line_) return;
  Shape->SetColor(line_->Color);
  if (int e = LineBodyEntry(line_->FromObject); e >= 0) CBFrom->setCurrentIndex(e);
  if (int e = LineBodyEntry(line_->ToObject); e >= 0) CBTo->setCurrentIndex(e);
}

void TDirectionDlg::CBFromChange()
{
  if (line_ && CBFrom->currentIndex() >= 0) line_->FromObject = LineBodyNumber(CBFrom->currentIndex());
}

void TDirectionDlg::CBToChange()
{
  if (line_ && CBTo->currentIndex() >= 0) line_->ToObject = LineBodyNumber(CBTo->currentIndex());
}

void TDirectionDlg::ShapeMouseDown()
{
  TColor color = Shape->Color();
  if (!prompts_.ChooseColor(this, color)) return;
  Shape->SetColor(color);
  if (line_) line_->Color = color;
}

void TDirectionDlg::showEvent(QShowEvent* event)
{
  CenterOnScreen(this);
  QDialog::showEvent(event);
}
