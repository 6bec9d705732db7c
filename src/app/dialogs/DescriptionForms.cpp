#include "app/dialogs/DescriptionForms.h"

#include "app/widgets/QtCanvas.h"  // ToQColor
#include "app/mainwindow/SSystemsForm.h"
#include "app/UserPrompts.h"
#include "app/dialogs/DescriptionGlyphs.h"
#include "app/widgets/Contrast.h"
#include "app/richtext/DescriptionLines.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QMenu>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextList>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* ToolButton(const char* name, TDescriptionGlyph glyph, const QString& hint,
                        QWidget* parent)
{
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setIcon(DescriptionGlyph(glyph, parent->palette()));
  b->setProperty("glyph", static_cast<int>(glyph));
  b->setToolTip(hint);
  b->setAutoRaise(true);
  b->setFocusPolicy(Qt::NoFocus);  // the field keeps the keyboard and its selection
  b->setFixedSize(23, 22);
  return b;
}

QAction* MenuItem(const char* name, const QString& caption, QMenu* menu)
{
  QAction* a = menu->addAction(caption);
  a->setObjectName(name);
  return a;
}

}  // namespace

TDescriptionForm::TDescriptionForm(TSolarSystemForm* mainForm, TUserPrompts& prompts)
    : QWidget(mainForm, Qt::Window), prompts_(prompts)
{
  if (mainForm) descriptionButton_ = mainForm->SBDescription;
  connect(qApp, &QGuiApplication::lastWindowClosed, this, [this] { ending_ = true; });
  FormCreate();
}

void TDescriptionForm::FormCreate()
{
  setObjectName("DescriptionForm");
  setWindowTitle("File description");
  move(635, 130);
  resize(335, 292);

  auto* tools = new QHBoxLayout;
  tools->setContentsMargins(2, 2, 2, 2);
  tools->setSpacing(0);
  SBNew = ToolButton("SBNew", TDescriptionGlyph::New, "New", this);
  SBLeftAlign = ToolButton("SBLeftAlign", TDescriptionGlyph::AlignLeft, "Align left", this);
  SBCenter = ToolButton("SBCenter", TDescriptionGlyph::AlignCenter, "center", this);
  SBRightAlign = ToolButton("SBRightAlign", TDescriptionGlyph::AlignRight, "Align right", this);
  SBBold = ToolButton("SBBold", TDescriptionGlyph::Bold, "Bold", this);
  SBItalic = ToolButton("SBItalic", TDescriptionGlyph::Italic, "Italic", this);
  SBFont = ToolButton("SBFont", TDescriptionGlyph::Font, "Select font", this);
  SBNumbering = ToolButton("SBNumbering", TDescriptionGlyph::Bullets, "Numbering", this);
  SBColor = ToolButton("SBColor", TDescriptionGlyph::Color, "Background color", this);
  SBUndo = ToolButton("SBUndo", TDescriptionGlyph::Undo, "Undo", this);
  // Groups of buttons as on the tool bar: new; alignment; character;
  // paragraph and field; undo.
  for (QToolButton* b : {SBNew}) tools->addWidget(b);
  tools->addSpacing(6);
  for (QToolButton* b : {SBLeftAlign, SBCenter, SBRightAlign}) tools->addWidget(b);
  tools->addSpacing(6);
  for (QToolButton* b : {SBBold, SBItalic, SBFont}) tools->addWidget(b);
  tools->addSpacing(6);
  for (QToolButton* b : {SBNumbering, SBColor}) tools->addWidget(b);
  tools->addSpacing(6);
  tools->addWidget(SBUndo);
  tools->addStretch(1);

  Memo = new QTextEdit(this);
  Memo->setObjectName("Memo");
  Memo->setAcceptRichText(true);
  Memo->setTabChangesFocus(false);  // Tab inserts a tab
  Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo->setFont(DescriptionFont());
  Memo->document()->setDefaultFont(DescriptionFont());
  Memo->setContextMenuPolicy(Qt::CustomContextMenu);
  SetBackgroundColor(0xFFFFFF);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addLayout(tools);
  layout->addWidget(Memo, 1);

  PopupMenu = new QMenu(this);
  PopupMenu->setObjectName("PopupMenu");
  MCut = MenuItem("MCut", "Cut", PopupMenu);
  MCopy = MenuItem("MCopy", "Copy", PopupMenu);
  MPaste = MenuItem("MPaste", "Paste", PopupMenu);
  PopupMenu->addSeparator();
  MClear = MenuItem("MClear", "Clear", PopupMenu);
  MSelectAll = MenuItem("MSelectAll", "Select all", PopupMenu);

  connect(SBNew, &QToolButton::clicked, this, [this] { SBNewClick(); });
  connect(SBLeftAlign, &QToolButton::clicked, this, [this] { SBLeftAlignClick(); });
  connect(SBCenter, &QToolButton::clicked, this, [this] { SBCenterClick(); });
  connect(SBRightAlign, &QToolButton::clicked, this, [this] { SBRightAlignClick(); });
  connect(SBBold, &QToolButton::clicked, this, [this] { SBBoldClick(); });
  connect(SBItalic, &QToolButton::clicked, this, [this] { SBItalicClick(); });
  connect(SBFont, &QToolButton::clicked, this, [this] { SBFontClick(); });
  connect(SBNumbering, &QToolButton::clicked, this, [this] { SBNumberingClick(); });
  connect(SBColor, &QToolButton::clicked, this, [this] { SBColorClick(); });
  connect(SBUndo, &QToolButton::clicked, this, [this] { SBUndoClick(); });
  connect(MCut, &QAction::triggered, this, [this] { MCutClick(); });
  connect(MCopy, &QAction::triggered, this, [this] { MCopyClick(); });
  connect(MPaste, &QAction::triggered, this, [this] { MPasteClick(); });
  connect(MClear, &QAction::triggered, this, [this] { MClearClick(); });
  connect(MSelectAll, &QAction::triggered, this, [this] { MSelectAllClick(); });
  connect(Memo, &QTextEdit::textChanged, this, [this] { MemoChange(); });
  connect(Memo, &QTextEdit::undoAvailable, this, [this] { MemoChange(); });
  connect(Memo, &QTextEdit::selectionChanged, this, [this] { MemoSelectionChange(); });
  connect(Memo, &QTextEdit::customContextMenuRequested, this, [this](const QPoint& at) {
    PopupMenuPopup();
    PopupMenu->popup(Memo->viewport()->mapToGlobal(at));
  });
  MemoChange();
  MemoSelectionChange();
}

// ------------------------------------------------------------ the record

std::vector<std::string> TDescriptionForm::WriteDescription() const
{
  return DescriptionLines(*Memo->document());
}

void TDescriptionForm::ReadDescription(const std::vector<std::string>& lines)
{
  // What a document brings is no edit to undo.
  QTextDocument& doc = *Memo->document();
  doc.setUndoRedoEnabled(false);
  ShowDescriptionLines(lines, doc);
  doc.setUndoRedoEnabled(true);
  Memo->moveCursor(QTextCursor::Start);
  Memo->viewport()->update();
  MemoChange();
}

void TDescriptionForm::ClearDescription()
{
  Memo->clear();
  hide();
}

void TDescriptionForm::SetBackgroundColor(TColor color)
{
  background_ = color & 0xFFFFFF;
  ApplyTextColors();
}

void TDescriptionForm::ApplyTextColors()
{
  // Text without a colour of its own takes the desktop's text colour, or
  // the nearest one that reads on the document's background.
  const QColor base = ToQColor(background_);
  QPalette p = Memo->palette();
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::Text, TextColorOn(palette().color(QPalette::Text), base));
  Memo->setPalette(p);
}

void TDescriptionForm::changeEvent(QEvent* event)
{
  QWidget::changeEvent(event);
  if (event->type() != QEvent::PaletteChange || !Memo) return;
  ApplyTextColors();
  for (QToolButton* b : findChildren<QToolButton*>())
    if (b->property("glyph").isValid())
      b->setIcon(DescriptionGlyph(static_cast<TDescriptionGlyph>(b->property("glyph").toInt()),
                                  palette()));
}

bool TDescriptionForm::StayOnTop() const
{
  return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void TDescriptionForm::SetStayOnTop(bool on)
{
  if (on == StayOnTop()) return;
  // A new window style hides the window; it comes back where it was.
  const bool visible = isVisible();
  restyling_ = true;
  setWindowFlag(Qt::WindowStaysOnTopHint, on);
  if (visible) show();
  restyling_ = false;
}

// ------------------------------------------------------------ the window

void TDescriptionForm::closeEvent(QCloseEvent* event)
{
  // The program's end closes the window as it closes every window.
  if (ending_) {
    event->accept();
    return;
  }
  // The close box only hides the window; its text stays.
  event->ignore();
  hide();
}

void TDescriptionForm::showEvent(QShowEvent* event)
{
  QWidget::showEvent(event);
  if (!event->spontaneous()) showing_ = true;
}

void TDescriptionForm::hideEvent(QHideEvent* event)
{
  QWidget::hideEvent(event);
  // Minimising by the desktop is no hiding by the user, nor is the end of
  // the program.
  if (event->spontaneous() || restyling_ || ending_) return;
  showing_ = false;
  FormHide();
}

void TDescriptionForm::FormHide()
{
  if (descriptionButton_) descriptionButton_->setChecked(false);
}

void TDescriptionForm::resizeEvent(QResizeEvent* event)
{
  QWidget::resizeEvent(event);
  FormResize();
}

void TDescriptionForm::FormResize() { Memo->viewport()->update(); }

// -------------------------------------------------------------- editing

void TDescriptionForm::MemoChange() { SBUndo->setEnabled(Memo->document()->isUndoAvailable()); }

void TDescriptionForm::MemoSelectionChange()
{
  const bool selected = Memo->textCursor().hasSelection();
  MCopy->setEnabled(selected);
  MClear->setEnabled(selected);
  MCut->setEnabled(selected);
}

void TDescriptionForm::PopupMenuPopup() { MPaste->setEnabled(Memo->canPaste()); }

void TDescriptionForm::SBNewClick() { Memo->clear(); }

void TDescriptionForm::SBLeftAlignClick() { Memo->setAlignment(Qt::AlignLeft); }

void TDescriptionForm::SBCenterClick() { Memo->setAlignment(Qt::AlignHCenter); }

void TDescriptionForm::SBRightAlignClick() { Memo->setAlignment(Qt::AlignRight); }

template <class P>
bool TDescriptionForm::SelectionHas(P property) const
{
  const QTextCursor c = Memo->textCursor();
  if (!c.hasSelection()) return property(Memo->currentCharFormat());
  const int start = c.selectionStart(), end = c.selectionEnd();
  for (QTextBlock b = Memo->document()->findBlock(start); b.isValid() && b.position() < end;
       b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      if (f.position() + f.length() <= start || f.position() >= end) continue;
      if (!property(f.charFormat())) return false;
    }
  }
  return true;
}

void TDescriptionForm::SBBoldClick()
{
  const bool bold = SelectionHas(
      [](const QTextCharFormat& f) { return f.fontWeight() >= QFont::DemiBold; });
  QTextCharFormat change;
  change.setFontWeight(bold ? QFont::Normal : QFont::Bold);
  Memo->mergeCurrentCharFormat(change);
}

void TDescriptionForm::SBItalicClick()
{
  const bool italic = SelectionHas([](const QTextCharFormat& f) { return f.fontItalic(); });
  QTextCharFormat change;
  change.setFontItalic(!italic);
  Memo->mergeCurrentCharFormat(change);
}

void TDescriptionForm::SBFontClick()
{
  // The dialog starts with the font of the selection as it shows.
  QFont font = Memo->currentCharFormat().font().resolve(Memo->document()->defaultFont());
  if (!prompts_.ChooseFont(this, font)) return;
  QTextCharFormat change;
  change.setFont(font);
  Memo->mergeCurrentCharFormat(change);
}

void TDescriptionForm::SBNumberingClick()
{
  QTextCursor c = Memo->textCursor();
  c.beginEditBlock();
  if (c.currentList()) {
    // Every selected paragraph leaves its list.
    const QTextBlock last = Memo->document()->findBlock(c.selectionEnd());
    for (QTextBlock b = Memo->document()->findBlock(c.selectionStart()); b.isValid();
         b = b.next()) {
      if (QTextList* list = b.textList()) {
        list->remove(b);
        QTextCursor at(b);
        QTextBlockFormat f = b.blockFormat();
        f.setIndent(0);
        at.setBlockFormat(f);
      }
      if (b == last) break;
    }
  } else {
    c.createList(QTextListFormat::ListDisc);
  }
  c.endEditBlock();
}

void TDescriptionForm::SBColorClick()
{
  TColor color = background_;
  if (prompts_.ChooseColor(this, color)) SetBackgroundColor(color);
}

void TDescriptionForm::SBUndoClick() { Memo->undo(); }

void TDescriptionForm::MCutClick() { Memo->cut(); }

void TDescriptionForm::MCopyClick() { Memo->copy(); }

void TDescriptionForm::MPasteClick() { Memo->paste(); }

void TDescriptionForm::MClearClick() { Memo->textCursor().removeSelectedText(); }

void TDescriptionForm::MSelectAllClick() { Memo->selectAll(); }
