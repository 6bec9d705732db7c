#include "app/dialogs/DialogFrame.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QScreen>

void PrepareFixedDialog(QDialog* dialog, const char* name, const QString& caption, int width,
                        int height)
{
  dialog->setObjectName(name);
  dialog->setWindowTitle(caption);
  dialog->setWindowFlags(dialog->windowFlags() & ~Qt::WindowContextHelpButtonHint);
  dialog->setModal(true);
  QFont font("Arial");
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  dialog->setFont(font);
  dialog->setFixedSize(width, height);
}

void CenterOnScreen(QWidget* window)
{
  // The screen of the window the dialog belongs to, else the primary one.
  const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
  if (QScreen* screen = owner ? owner->screen() : QApplication::primaryScreen())
    window->move(screen->availableGeometry().center() - window->rect().center());
}

QPushButton* AddOkButton(QDialog* dialog, int x, int y)
{
  auto* b = new QPushButton("OK", dialog);
  b->setObjectName("OKBtn");
  b->setGeometry(x, y, 75, 25);
  b->setDefault(true);
  return b;
}

QPushButton* AddCancelButton(QDialog* dialog, int x, int y)
{
  auto* b = new QPushButton("Cancel", dialog);
  b->setObjectName("CancelBtn");
  b->setGeometry(x, y, 75, 25);
  QObject::connect(b, &QPushButton::clicked, dialog, &QDialog::reject);
  return b;
}
