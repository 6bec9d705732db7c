#include "app/mainwindow/AboutBoxes.h"

#include "app/ProgramIdentity.h"

#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

#include <algorithm>

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
  setObjectName("AboutBox");
  setWindowTitle("About");
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

  // The box has its design size, grown downwards where the desktop's font
  // needs more lines for the notices, so that nothing is cut or covered.
  auto* info = info_ = new QLabel(MakerNotice() + "\n" + DataSourceNotice());
  info->setObjectName("InfoLabel");
  info->setWordWrap(true);
  info->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QFont f = info->font();
  f.setPixelSize(10);
  info->setFont(f);
  const int infoHeight = std::max(65, info->heightForWidth(265));
  auto* link = new TLinkLabel;
  link->setObjectName("LinkLabel");
  link->adjustSize();
  const int linkTop = std::max(117, 56 + infoHeight + 2);
  const int panelHeight = std::max(137, linkTop + link->height() + 6);

  auto* panel =
      AddIdentityPanel(this, QRect(0, 0, 282, panelHeight), QPoint(51, 9), "Version 1.7.0.");
  info->setParent(panel);
  info->setGeometry(8, 56, 265, infoHeight);
  link->setParent(panel);
  link->move(std::min(193, 282 - 8 - link->width()), linkTop);

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("OKButton");
  ok->setGeometry(6, panelHeight + 17, 75, 25);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  setFixedSize(282, panelHeight + 44);
}

void TAboutBox::SetDataNotePath(const QString& path)
{
  const QFileInfo file(path);
  const QString name = file.fileName();
  QString notice = DataSourceNotice().toHtmlEscaped();
  if (!file.isFile() || name.isEmpty() || !notice.contains(name)) return;
  const QString url = QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded);
  notice.replace(name, QString("<a href=\"%1\">%2</a>").arg(url, name.toHtmlEscaped()));
  info_->setTextFormat(Qt::RichText);
  info_->setText(MakerNotice().toHtmlEscaped() + "<br>" + notice);
  info_->setOpenExternalLinks(true);
  info_->setToolTip(file.absoluteFilePath());
}

void TAboutBox::showEvent(QShowEvent* event)
{
  setWindowTitle("Sollumen");
  // Centred on the screen of the window it belongs to.
  const QWidget* owner = parentWidget() ? parentWidget()->window() : QApplication::activeWindow();
  QScreen* screen = owner ? owner->screen() : QApplication::primaryScreen();
  if (screen) move(screen->availableGeometry().center() - rect().center());
  QDialog::showEvent(event);
}
