#include "app/mainwindow/AboutBoxes.h"

#include "app/ProgramIdentity.h"

#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
  setObjectName("AboutBox");
  setWindowTitle("About");
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  setFixedSize(282, 181);

  auto* panel = AddIdentityPanel(this, QRect(0, 0, 282, 137), QPoint(51, 9), "Version 1.7.0.");

  auto* info = info_ = new QLabel(MakerNotice() + "\n" + DataSourceNotice(), panel);
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
  if (QScreen* screen = QApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  QDialog::showEvent(event);
}
