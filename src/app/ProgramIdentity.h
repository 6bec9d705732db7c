// The product's identity as the splash and about boxes show it: icon,
// notices and the home page, which is set when the program is built.
#pragma once

#include <functional>
#include <string>

#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QString>

// The program icon (a sun with an orbit and a planet), drawn at any size.
QPixmap ProgramIconPixmap(int size);
QIcon ProgramIcon();

QString HomePageAddress();
QString MakerNotice();       // who makes the program and how to reach them
QString DataSourceNotice();  // the minor-body data and where its terms are

// The product name as both boxes show it: "Arial", 24 pixels high, italic.
QFont ProductNameFont();

class QFrame;
// The sunken panel both boxes are built on, with the program icon at its
// top left, the product name at namePos and the version text below it.
QFrame* AddIdentityPanel(QWidget* box, const QRect& geometry, const QPoint& namePos,
                         const QString& version);

// A link to the home page: navy (or the nearest colour that reads on a
// dark palette), underlined, a hand cursor; a click opens
// the page in the desktop's default browser without waiting, and a failure
// is ignored.
class TLinkLabel : public QLabel {
public:
  explicit TLinkLabel(QWidget* parent = nullptr);
  void LinkLabelClick();
  // Told the address when no web browser could be started.
  std::function<void(const std::string& address)> BrowserFailed;

protected:
  void mousePressEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  void ApplyLinkColor();
  bool coloring_ = false;
};
