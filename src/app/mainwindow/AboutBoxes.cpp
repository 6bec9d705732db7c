#include "app/mainwindow/AboutBoxes.h"

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

  auto* panel = AddIdentityPanel(this, QRect(0, 0, 282, 137), QPoint(51, 9), "Version 1.7.0.");

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
