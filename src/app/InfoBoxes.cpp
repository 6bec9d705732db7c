#include "app/InfoBoxes.h"

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
  auto* panel = new QFrame(this);
  panel->setObjectName("Panel1");
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setLineWidth(2);
  panel->setGeometry(0, 0, 284, 146);

  auto* icon = new QLabel(panel);
  icon->setObjectName("ProgramIcon");
  icon->setPixmap(ProgramIconPixmap(32));
  icon->setGeometry(7, 7, 32, 32);

  auto* name = new QLabel("Sollumen", panel);
  name->setObjectName("ProductName");
  name->setFont(ProductNameFont());
  name->move(67, 8);
  name->adjustSize();

  auto* version = new QLabel("Version 1.7.", panel);
  version->setObjectName("Version");
  version->move(68, 36);
  version->adjustSize();

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
