// The description window ("File description"): a small rich-text editor for
// the free description every document carries, with a tool bar and a
// context menu. Closing it only hides it; the main window's Description
// button then pops up.
//
// The text travels in documents as the lines of its rich text (the
// description record); the window converts between the field and those
// lines in memory.
#pragma once

#include "scene/Canvas.h"  // TColor

#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

class QAction;
class QMenu;
class QTextEdit;
class QToolButton;
class TSolarSystemForm;
class TUserPrompts;

class TDescriptionForm : public QWidget {
public:
  // A window of `mainForm` (whose Description button it pops up when it is
  // hidden), asking its questions through `prompts`.
  TDescriptionForm(TSolarSystemForm* mainForm, TUserPrompts& prompts);

  // The lines of the description record for the text of the field.
  std::vector<std::string> WriteDescription() const;
  // Shows the text of a description record's lines, replacing the field's
  // content; lines that are no rich text show as plain text.
  void ReadDescription(const std::vector<std::string>& lines);
  // Empties the field and hides the window.
  void ClearDescription();

  // The background colour of the field, which documents keep.
  TColor BackgroundColor() const { return background_; }
  void SetBackgroundColor(TColor color);
  bool StayOnTop() const;
  void SetStayOnTop(bool on);
  // Whether the window is up as the user or a document left it. When the
  // program ends, the desktop closes every window before the main window
  // saves the state; that closing does not count.
  bool Showing() const { return showing_; }

  // ---- handlers
  void FormResize();
  void MemoChange();
  void MemoSelectionChange();
  void PopupMenuPopup();
  void SBNewClick();
  void SBLeftAlignClick();
  void SBCenterClick();
  void SBRightAlignClick();
  void SBBoldClick();
  void SBItalicClick();
  void SBFontClick();
  void SBNumberingClick();
  void SBColorClick();
  void SBUndoClick();
  void MCutClick();
  void MCopyClick();
  void MPasteClick();
  void MClearClick();
  void MSelectAllClick();

  // ---- controls
  QTextEdit* Memo = nullptr;
  QToolButton* SBNew = nullptr;
  QToolButton* SBLeftAlign = nullptr;
  QToolButton* SBCenter = nullptr;
  QToolButton* SBRightAlign = nullptr;
  QToolButton* SBBold = nullptr;
  QToolButton* SBItalic = nullptr;
  QToolButton* SBFont = nullptr;
  QToolButton* SBNumbering = nullptr;
  QToolButton* SBColor = nullptr;
  QToolButton* SBUndo = nullptr;
  QMenu* PopupMenu = nullptr;
  QAction* MCut = nullptr;
  QAction* MCopy = nullptr;
  QAction* MPaste = nullptr;
  QAction* MClear = nullptr;
  QAction* MSelectAll = nullptr;

protected:
  void closeEvent(QCloseEvent* event) override;  // FormCloseQuery
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  void FormCreate();
  // The field's background and its default text colour.
  void ApplyTextColors();
  void FormHide();
  // Whether every character of the selection (or, without one, the text
  // typed next) has the property.
  template <class P>
  bool SelectionHas(P property) const;

  // The button may be gone before this window while the main window is
  // destroyed.
  QPointer<QToolButton> descriptionButton_;
  TUserPrompts& prompts_;
  TColor background_ = 0xFFFFFF;
  bool restyling_ = false;  // a change of window style hides and shows it
  bool showing_ = false;
  bool ending_ = false;  // the last main window has closed: the program ends
};
