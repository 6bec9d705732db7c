#include "app/dialogs/SatellitesDlgs.h"

#include "app/dialogs/DialogFrame.h"
#include "bodies/SSClasses.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

namespace {

struct TBoxSpec {
  const char* Name;
  const char* Caption;
  int BodyNumber;
};

// In the order of SatelliteBoxes.
constexpr TBoxSpec EarthBoxes[] = {{"CBMoon", "Moon", 13}};
constexpr TBoxSpec JupiterBoxes[] = {{"CBIo", "Io", 140},
                                     {"CBEuropa", "Europa", 141},
                                     {"CBGanymede", "Ganymede", 142},
                                     {"CBCallisto", "Callisto", 143}};
constexpr TBoxSpec SaturnBoxes[] = {
    {"CBMimas", "Mimas", 156},     {"CBEnceladus", "Enceladus", 157}, {"CBTethys", "Tethys", 158},
    {"CBTelesto", "Telesto", 159}, {"CBCalypso", "Calypso", 160},     {"CBDione", "Dione", 161},
    {"CBHelene", "Helene", 162},   {"CBRhea", "Rhea", 163},           {"CBTitan", "Titan", 164},
    {"CBHyperion", "Hyperion", 165}, {"CBIapetus", "Iapetus", 166},   {"CBPhoebe", "Phoebe", 167}};
constexpr TBoxSpec UranusBoxes[] = {{"CBMiranda", "Miranda", 170},
                                    {"CBAriel", "Ariel", 171},
                                    {"CBUmbriel", "Umbriel", 172},
                                    {"CBTitania", "Titania", 173},
                                    {"CBOberon", "Oberon", 174}};

constexpr int BoxHeight = 18;
constexpr const char* BodyNumberProperty = "BodyNumber";

QGroupBox* Group(const char* name, const QString& caption, QWidget* parent, const QRect& r)
{
  auto* g = new QGroupBox(caption, parent);
  g->setObjectName(name);
  g->setGeometry(r);
  return g;
}

}  // namespace

TSatellitesDlg::TSatellitesDlg(QWidget* parent) : QDialog(parent)
{
  PrepareFixedDialog(this, "SatellitesDlg", "Show satellites", 298, 263);
  FormCreate();
}

void TSatellitesDlg::FormCreate()
{
  GBEarth = Group("GBEarth", "Earth", this, QRect(8, 4, 96, 42));
  GBJupiter = Group("GBJupiter", "Jupiter", this, QRect(8, 50, 96, 96));
  GroupBox1 = Group("GroupBox1", "Uranus", this, QRect(8, 150, 96, 110));
  GBSaturn = Group("GBSaturn", "Saturn", this, QRect(112, 4, 178, 132));

  // Boxes go down a column of their group; Saturn's fill two columns of six.
  auto add = [this](QGroupBox* group, const TBoxSpec& spec, int column, int row) {
    auto* box = new QCheckBox(spec.Caption, group);
    box->setObjectName(spec.Name);
    box->setProperty(BodyNumberProperty, spec.BodyNumber);
    box->setGeometry(8 + 86 * column, 18 + BoxHeight * row, 82, BoxHeight);
    SatelliteBoxes.push_back(box);
    return box;
  };
  int i = 0;
  for (const TBoxSpec& s : EarthBoxes) add(GBEarth, s, 0, i++);
  i = 0;
  for (const TBoxSpec& s : JupiterBoxes) add(GBJupiter, s, 0, i++);
  i = 0;
  for (const TBoxSpec& s : SaturnBoxes) {
    add(GBSaturn, s, i / 6, i % 6);
    ++i;
  }
  i = 0;
  for (const TBoxSpec& s : UranusBoxes) add(GroupBox1, s, 0, i++);

  auto find = [this](const char* name) { return findChild<QCheckBox*>(name); };
  CBTethys = find("CBTethys");
  CBTelesto = find("CBTelesto");
  CBCalypso = find("CBCalypso");
  CBDione = find("CBDione");
  CBHelene = find("CBHelene");

  SBAll = new QPushButton("All", this);
  SBAll->setObjectName("SBAll");
  SBAll->setGeometry(112, 144, 60, 23);
  SBAll->setAutoDefault(false);
  SBNone = new QPushButton("None", this);
  SBNone->setObjectName("SBNone");
  SBNone->setGeometry(178, 144, 60, 23);
  SBNone->setAutoDefault(false);
  OKBtn = AddOkButton(this, 134, 232);
  CancelBtn = AddCancelButton(this, 215, 232);

  // A box's handler runs whenever its state changes, whoever changes it.
  connect(CBTethys, &QCheckBox::toggled, this, [this] { CBTethysClick(); });
  connect(CBDione, &QCheckBox::toggled, this, [this] { CBDioneClick(); });
  connect(SBAll, &QPushButton::clicked, this, [this] { SBAllClick(); });
  connect(SBNone, &QPushButton::clicked, this, [this] { SBNoneClick(); });
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  CBTethysClick();
  CBDioneClick();
}

int TSatellitesDlg::BoxBodyNumber(const QCheckBox* box)
{
  return box->property(BodyNumberProperty).toInt();
}

TSatellite* TSatellitesDlg::FindSatellite(int bodyNumber) const
{
  if (!planets_) return nullptr;
  for (int i = 0; i < planets_->Count(); ++i)
    if (auto* planet = dynamic_cast<TPlanet*>(planets_->Items(i)))
      if (TSatellite* s = planet->FindSatellite(bodyNumber)) return s;
  return nullptr;
}

void TSatellitesDlg::LoadChoices(TOEObjectList& planets)
{
  planets_ = &planets;
  for (QCheckBox* box : SatelliteBoxes)
    if (TSatellite* s = FindSatellite(BoxBodyNumber(box))) box->setChecked(s->Visible);
  // A companion shown without its satellite (from an older document) is
  // taken as hidden, so that OK cannot show it alone.
  CBTethysClick();
  CBDioneClick();
}

void TSatellitesDlg::OKBtnClick()
{
  for (QCheckBox* box : SatelliteBoxes)
    if (TSatellite* s = FindSatellite(BoxBodyNumber(box))) s->Visible = box->isChecked();
  accept();
}

void TSatellitesDlg::SBAllClick()
{
  for (QCheckBox* box : SatelliteBoxes) box->setChecked(true);
}

void TSatellitesDlg::SBNoneClick()
{
  for (QCheckBox* box : SatelliteBoxes) box->setChecked(false);
}

void TSatellitesDlg::CBTethysClick()
{
  const bool on = CBTethys->isChecked();
  for (QCheckBox* companion : {CBTelesto, CBCalypso}) {
    if (!on) companion->setChecked(false);
    companion->setEnabled(on);
  }
}

void TSatellitesDlg::CBDioneClick()
{
  const bool on = CBDione->isChecked();
  if (!on) CBHelene->setChecked(false);
  CBHelene->setEnabled(on);
}

void TSatellitesDlg::showEvent(QShowEvent* event)
{
  CenterOnScreen(this);
  QDialog::showEvent(event);
}
