// What the small fixed dialogs share: a client area of fixed size laid out
// by position, the panel's small font, and showing centred on the screen.
#pragma once

#include <QString>

class QDialog;
class QPushButton;
class QWidget;

// Fixed size, no help button, the small font of the control panel.
void PrepareFixedDialog(QDialog* dialog, const char* name, const QString& caption, int width,
                        int height);
void CenterOnScreen(QWidget* window);
// "OK" (the default button; its owner connects it) and "Cancel" (rejecting,
// and the answer to Escape) at the given places, 75 x 25.
QPushButton* AddOkButton(QDialog* dialog, int x, int y);
QPushButton* AddCancelButton(QDialog* dialog, int x, int y);
