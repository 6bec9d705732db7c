// The questions and notices the main window puts to the user: message
// boxes, file, colour and other modal dialogs. The window asks through this
// interface so that tests can answer in place of the user.
#pragma once

#include "scene/Canvas.h"  // TColor

#include <string>
#include <vector>

class QDialog;
class QPrinter;
class QFont;
class QWidget;

// The answers to the question about a document's unsaved changes.
enum class TSaveChoice { Save, Discard, Cancel };

class TUserPrompts {
public:
  virtual ~TUserPrompts() = default;

  // An error box with an OK button.
  virtual void Error(QWidget* parent, const std::string& text) = 0;
  // A plain message box with an OK button.
  virtual void Message(QWidget* parent, const std::string& text) = 0;
  // A confirmation box with Yes and No; true for Yes.
  virtual bool Confirm(QWidget* parent, const std::string& text) = 0;
  // File dialogs for documents, proposing `name` in `directory` (either may
  // be empty); the chosen path, or "" when cancelled.
  virtual std::string OpenDocumentName(QWidget* parent, const std::string& directory,
                                       const std::string& name) = 0;
  virtual std::string SaveDocumentName(QWidget* parent, const std::string& directory,
                                       const std::string& name) = 0;
  // The colour dialog preset with `color`; true and the choice on OK.
  virtual bool ChooseColor(QWidget* parent, TColor& color) = 0;

  // ---- printing and image export. The defaults answer as a user who
  // cancels, so that a prompter made before these questions still serves.
  // Shows one of the program's own dialogs modally; true on OK.
  virtual bool RunDialog(QDialog& dialog);
  // The file dialog of image export ("Save as graphic file"), proposing
  // `name` in `directory`; the chosen path, or "" when cancelled.
  virtual std::string SaveBitmapName(QWidget* parent, const std::string& directory,
                                     const std::string& name);
  // The file dialog of "Save animation" (MP4, WebM or GIF), proposing
  // `name` in `directory`; the chosen path, or "" when cancelled.
  virtual std::string SaveFilmName(QWidget* parent, const std::string& directory,
                                   const std::string& name);
  // The PDF file to print into when no printer is chosen; "" when cancelled.
  virtual std::string PrintFileName(QWidget* parent, const std::string& directory,
                                    const std::string& name);
  // The system's printer-setup dialog on the printer; true on OK.
  virtual bool SetupPrinter(QWidget* parent, QPrinter& printer);
  // ---- the minor-body windows (the desktop's own unless overridden)
  // The directory chooser opened at `directory`; the chosen directory, or
  // "" when cancelled.
  virtual std::string ChooseDirectory(QWidget* parent, const std::string& directory);
  // A file dialog choosing one or more existing files in `directory`, with
  // a Qt name filter ("text (*.txt);;all files (*)"); empty when cancelled.
  virtual std::vector<std::string> OpenFileNames(QWidget*, const std::string& /*caption*/,
                                                 const std::string& /*directory*/,
                                                 const std::string& /*filter*/)
  {
    return {};
  }
  // The font dialog preset with `font`; true and the choice on OK. Without
  // an answer of its own a prompter declines, as a cancelled dialog does.
  virtual bool ChooseFont(QWidget* /*parent*/, QFont& /*font*/) { return false; }
  // The named document `name` has changes that are not saved: Save,
  // Discard or Cancel. A prompter without an answer of its own cancels, so
  // that nothing is lost.
  virtual TSaveChoice AskSaveChanges(QWidget* /*parent*/, const std::string& /*name*/)
  {
    return TSaveChoice::Cancel;
  }
  // The desktop's web browser could not be started for `address`: a notice
  // from which the address can be copied.
  virtual void BrowserFailed(QWidget* parent, const std::string& address);
};

// The real dialogs of the desktop.
class TDialogPrompts : public TUserPrompts {
public:
  void Error(QWidget* parent, const std::string& text) override;
  void Message(QWidget* parent, const std::string& text) override;
  bool Confirm(QWidget* parent, const std::string& text) override;
  std::string OpenDocumentName(QWidget* parent, const std::string& directory,
                               const std::string& name) override;
  std::string SaveDocumentName(QWidget* parent, const std::string& directory,
                               const std::string& name) override;
  bool ChooseColor(QWidget* parent, TColor& color) override;
  bool RunDialog(QDialog& dialog) override;
  std::string SaveBitmapName(QWidget* parent, const std::string& directory,
                             const std::string& name) override;
  std::string SaveFilmName(QWidget* parent, const std::string& directory,
                           const std::string& name) override;
  std::string PrintFileName(QWidget* parent, const std::string& directory,
                            const std::string& name) override;
  bool SetupPrinter(QWidget* parent, QPrinter& printer) override;
  std::vector<std::string> OpenFileNames(QWidget* parent, const std::string& caption,
                                         const std::string& directory,
                                         const std::string& filter) override;
  bool ChooseFont(QWidget* parent, QFont& font) override;
  TSaveChoice AskSaveChanges(QWidget* parent, const std::string& name) override;
  void BrowserFailed(QWidget* parent, const std::string& address) override;
};

// The text of the unsaved-changes question about the document `name`.
std::string SaveChangesQuestion(const std::string& name);
// The text of the notice when the web browser could not be started.
std::string BrowserFailedText(const std::string& address);

// Message texts break their lines with a carriage return; a box shows a
// line feed instead.
std::string DisplayLineBreaks(const std::string& text);
