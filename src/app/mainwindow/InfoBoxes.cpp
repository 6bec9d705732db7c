#include "app/mainwindow/InfoBoxes.h"

#include "app/ProgramIdentity.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QScreen>

#include <algorithm>

TInfoBox::TInfoBox(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
  setObjectName("InfoBox");
  setWindowTitle("Sollumen");
  auto* comments = new QLabel(MakerNotice());
  comments->setObjectName("Comments");
  auto* source = new QLabel(DataSourceNotice());
  source->setObjectName("Label1");
  for (QLabel* l : {comments, source}) {
    QFont f = l->font();
    f.setPixelSize(10);
    l->setFont(f);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }
  // The design places, moved down where the desktop's font needs more
  // lines for the notices.
  const int commentsHeight = std::max(29, comments->heightForWidth(264));
  const int sourceTop = 55 + commentsHeight;
  const int sourceHeight = std::max(41, source->heightForWidth(264));
  auto* link = new TLinkLabel;
  link->setObjectName("LinkLabel");
  link->adjustSize();
  const int linkTop = sourceTop + sourceHeight;
  const int height = std::max(146, linkTop + link->height() + 6);
  setFixedSize(284, height);

  auto* panel = AddIdentityPanel(this, QRect(0, 0, 284, height), QPoint(67, 8), "Version 1.7.");
  comments->setParent(panel);
  comments->setGeometry(9, 55, 264, commentsHeight);
  source->setParent(panel);
  source->setGeometry(9, sourceTop, 264, sourceHeight);
  link->setParent(panel);
  link->move(std::min(193, 284 - 8 - link->width()), linkTop);
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
