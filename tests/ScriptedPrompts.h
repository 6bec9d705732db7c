// Answers the program's questions in place of the user, for the window
// tests: every notice is recorded, every question answered as scripted
// (by default as a user who cancels).
#pragma once

#include "app/UserPrompts.h"

#include <QApplication>
#include <QDialog>
#include <QFont>
#include <QLineEdit>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class TScriptedPrompts : public TUserPrompts {
public:
  void Error(QWidget*, const std::string& text) override
  {
    Errors.push_back(text);
    Notices.push_back(text);
  }
  void Message(QWidget*, const std::string& text) override
  {
    Messages.push_back(text);
    Notices.push_back(text);
    FocusAtMessage = QApplication::focusWidget();
  }
  bool Confirm(QWidget*, const std::string& text) override
  {
    Questions.push_back(text);
    return ConfirmAnswer;
  }
  std::string OpenDocumentName(QWidget*, const std::string& dir, const std::string& name) override
  {
    ProposedDir = dir;
    ProposedName = name;
    return OpenAnswer;
  }
  std::string SaveDocumentName(QWidget*, const std::string& dir, const std::string& name) override
  {
    ProposedDir = dir;
    ProposedName = name;
    return SaveAnswer;
  }
  bool ChooseColor(QWidget*, TColor& color) override
  {
    ++ColorDialogs;
    if (ColorAnswer) color = ColorChoice;
    return ColorAnswer;
  }
  bool ChooseFont(QWidget*, QFont& font) override
  {
    FontOffered = font;
    if (FontAnswer) font = FontChoice;
    return FontAnswer;
  }
  std::string ChooseDirectory(QWidget*, const std::string&) override { return DirectoryAnswer; }
  std::string PrintFileName(QWidget*, const std::string&, const std::string&) override
  {
    return PdfAnswer;
  }
  // The program's own dialogs: the next scripted answer, else `Fill` (which
  // answers every dialog with OK after filling it in), else Cancel.
  bool RunDialog(QDialog& dialog) override
  {
    ++Modals;
    if (!Answers.empty()) {
      auto answer = std::move(Answers.front());
      Answers.pop_front();
      return answer(dialog) == QDialog::Accepted;
    }
    if (!Fill) return false;
    Fill(dialog);
    return true;
  }

  TSaveChoice AskSaveChanges(QWidget*, const std::string& name) override
  {
    Questions.push_back("save changes: " + name);
    return SaveChoice;
  }

  // OK after typing `text` into a name dialog.
  void Type(const std::string& text)
  {
    Answers.push_back([text](QDialog& d) {
      d.findChild<QLineEdit*>("EName")->setText(QString::fromStdString(text));
      return int(QDialog::Accepted);
    });
  }
  void Clear() { Errors.clear(), Messages.clear(), Questions.clear(), Notices.clear(); }

  // What was said: errors, messages, both in order, and the questions asked.
  std::vector<std::string> Errors, Messages, Notices, Questions;
  QWidget* FocusAtMessage = nullptr;

  bool ConfirmAnswer = false;
  TSaveChoice SaveChoice = TSaveChoice::Cancel;
  std::string OpenAnswer, SaveAnswer, ProposedDir, ProposedName = "unset";
  bool ColorAnswer = false;
  TColor ColorChoice = 0;
  int ColorDialogs = 0;
  bool FontAnswer = false;
  QFont FontChoice, FontOffered;
  std::string DirectoryAnswer, PdfAnswer;
  std::deque<std::function<int(QDialog&)>> Answers;
  std::function<void(QDialog&)> Fill;
  int Modals = 0;
};
