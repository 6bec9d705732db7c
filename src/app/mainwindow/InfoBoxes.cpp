#include "app/mainwindow/InfoBoxes.h"

#include "app/ProgramIdentity.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QScreen>

TInfoBox::TInfoBox(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
  setObjectName("InfoBox");
  setWindowTitle("Sollumen");
  setFixedSize(284, 146);
  auto* panel = AddIdentityPanel(this, QRect(0, 0, 284, 146), QPoint(67, 8), "Version 1.7.");

  auto* comments = new QLabel(MakerNotice(), panel);
  comments->setObjectName("Comments");
  comments->setWordWrap(true);
  comments->setGeometry(9, 55, 264, 29);

  auto* source = new QLabel(DataSourceNotice(), panel);
  source->setObjectName("Label1");
  source->setWordWrap(true);
  source->setGeometry(9, 84, 264, 41);

  for (QLabel* l : {comments, source}) {
    QFont f = l->font();
    f.setPixelSize(10);
    l->setFont(f);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }

  auto* link = new TLinkLabel(panel);
  link->setObjectName("LinkLabel");
  link->adjustSize();
  link->move(std::min(193, 284 - 8 - link->width()), 125);
}

void TInfoBox::ShowNow()
{
  if (QScreen* screen = QApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  show();
  raise();
  repaint();
  QApplication::processEvents();
}
