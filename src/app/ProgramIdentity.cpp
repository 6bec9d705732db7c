#include "app/ProgramIdentity.h"

#include "app/widgets/Contrast.h"

#include <QDesktopServices>
#include <QFrame>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#ifndef SOLLUMEN_HOMEPAGE
#define SOLLUMEN_HOMEPAGE "https://sollumen.org/"
#endif

QPixmap ProgramIconPixmap(int size)
{
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size;
  p.setBrush(QColor(10, 16, 40));
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(QRectF(0, 0, s, s), s * 0.16, s * 0.16);
  // an inclined orbit, the Sun and a blue planet on the orbit
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(120, 140, 200), std::max<qreal>(1, s / 24)));
  p.drawEllipse(QRectF(s * 0.10, s * 0.30, s * 0.80, s * 0.40));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 215, 40));
  p.drawEllipse(QPointF(s * 0.5, s * 0.5), s * 0.16, s * 0.16);
  p.setBrush(QColor(70, 140, 255));
  p.drawEllipse(QPointF(s * 0.80, s * 0.62), s * 0.08, s * 0.08);
  return pixmap;
}

QIcon ProgramIcon()
{
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(ProgramIconPixmap(size));
  return icon;
}

QString HomePageAddress() { return QStringLiteral(SOLLUMEN_HOMEPAGE); }

QString MakerNotice()
{
  // Two lines in the boxes' small print, so that the data-source notice
  // below it is not cut off.
  return "Free software by the Sollumen developers; write to us through the home page.";
}

QString DataSourceNotice()
{
  return "This program uses the orbital elements data published by the Minor Planet "
         "Center (MPCORB). See MPCORB.rtf for the terms of use of these data.";
}

QFont ProductNameFont()
{
  QFont font("Arial");
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(24);
  font.setItalic(true);
  return font;
}

TLinkLabel::TLinkLabel(QWidget* parent) : QLabel(parent)
{
  QString text = HomePageAddress();
  if (text.endsWith('/')) text.chop(1);
  for (const char* scheme : {"https://", "http://"})
    if (text.startsWith(scheme)) text.remove(0, static_cast<int>(strlen(scheme)));
  setText(text);
  QFont f = font();
  f.setUnderline(true);
  setFont(f);
  ApplyLinkColor();
  setCursor(Qt::PointingHandCursor);
  setToolTip(HomePageAddress());
}

void TLinkLabel::ApplyLinkColor()
{
  // Setting the label's own palette reports a change of palette again.
  coloring_ = true;
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, ReadableOn(QColor(0, 0, 128), pal.color(QPalette::Window)));
  setPalette(pal);
  coloring_ = false;
}

void TLinkLabel::changeEvent(QEvent* event)
{
  QLabel::changeEvent(event);
  if (event->type() == QEvent::PaletteChange && !coloring_) ApplyLinkColor();
}

void TLinkLabel::LinkLabelClick()
{
  if (!QDesktopServices::openUrl(QUrl(HomePageAddress())) && BrowserFailed)
    BrowserFailed(HomePageAddress().toStdString());
}

void TLinkLabel::mousePressEvent(QMouseEvent* event)
{
  if (event->button() == Qt::LeftButton) LinkLabelClick();
  event->accept();
}

QFrame* AddIdentityPanel(QWidget* box, const QRect& geometry, const QPoint& namePos,
                         const QString& version)
{
  auto* panel = new QFrame(box);
  panel->setObjectName("Panel1");
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setLineWidth(2);
  panel->setGeometry(geometry);

  auto* icon = new QLabel(panel);
  icon->setObjectName("ProgramIcon");
  icon->setPixmap(ProgramIconPixmap(32));
  icon->setGeometry(7, 7, 32, 32);

  auto* name = new QLabel("Sollumen", panel);
  name->setObjectName("ProductName");
  name->setFont(ProductNameFont());
  name->move(namePos);
  name->adjustSize();

  auto* versionLabel = new QLabel(version, panel);
  versionLabel->setObjectName("Version");
  versionLabel->move(namePos + QPoint(1, 28));
  versionLabel->adjustSize();
  return panel;
}
