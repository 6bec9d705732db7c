#include "app/AboutBoxes.h"

#include "app/ProgramIdentity.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
  setObjectName("AboutBox");
  setWindowTitle("About");
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  setFixedSize(282, 181);

  auto* panel = new QFrame(this);
  panel->setObjectName("Panel1");
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setLineWidth(2);
  panel->setGeometry(0, 0, 282, 137);

  auto* icon = new QLabel(panel);
  icon->setObjectName("ProgramIcon");
  icon->setPixmap(ProgramIconPixmap(32));
  icon->setGeometry(7, 7, 32, 32);

  auto* name = new QLabel("Sollumen", panel);
  name->setObjectName("ProductName");
  name->setFont(ProductNameFont());
  name->move(51, 9);
  name->adjustSize();

  auto* version = new QLabel("Version 1.7.0.", panel);
  version->setObjectName("Version");
  version->move(52, 37);
  version->adjustSize();

  auto* info = new QLabel(MakerNotice() + "\n" + DataSourceNotice(), panel);
  info->setObjectName("InfoLabel");
  info->setWordWrap(true);
  info->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QFont f = info->font();
  f.setPixelSize(10);
  info->setFont(f);
  info->setGeometry(8, 56, 265, 65);

  auto* link = new TLinkLabel(panel);
  link->setObjectName("LinkLabel");
  link->adjustSize();
  link->move(std::min(193, 282 - 8 - link->width()), 117);

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("OKButton");
  ok->setGeometry(6, 154, 75, 25);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::showEvent(QShowEvent* event)
{
  setWindowTitle("Sollumen");
  if (QScreen* screen = QApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  QDialog::showEvent(event);
}
