// The layout the two one-line name dialogs share: a label, an edit field
// and OK and Cancel buttons, fixed size.
#pragma once

class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;

void LayOutNameDialog(QDialog& dialog, const char* caption, const char* label,
                      QLabel*& labelControl, QLineEdit*& edit, QPushButton*& ok,
                      QPushButton*& cancel);
