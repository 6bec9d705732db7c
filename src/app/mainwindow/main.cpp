// The program entry: the splash box first, then the main window, which
// restores the previous state; the event loop runs until the main window is
// closed, and its destruction saves the state.
#include "app/mainwindow/AboutBoxes.h"
#include "app/mainwindow/InfoBoxes.h"
#include "app/ProgramIdentity.h"
#include "app/database/SelectObjectForms.h"
#include "app/mainwindow/SSystemsForm.h"
#include "ProgramVersion.h"

#include <QApplication>
#include <QTimer>

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

const char* const Usage =
    "Usage: sollumen [JD] [FILE.orb]\n"
    "       sollumen --startup-report [JD] [FILE.orb]\n"
    "Sollumen, an orrery: the Sun, planets, moons, minor bodies and spacecraft\n"
    "at any instant from the year -2000 to 6000.\n"
    "\n"
    "Opens the window on the document FILE.orb, or on the state it had when it\n"
    "was last closed (\"last.orb\"); a Julian date JD given first sets the\n"
    "instant shown.\n"
    "\n"
    "Options:\n"
    "  --startup-report  start as usual, print the program directory, the\n"
    "                    document, the minor-body table in use and its rows,\n"
    "                    and the window caption, then close the window as its\n"
    "                    close box does (the state is saved)\n"
    "  -h, --help        print this help and exit\n"
    "  --version         print the version and exit\n";

// What a start-up came to, for checks of an installed copy without a display.
void PrintStartupReport(const TSolarSystemForm& form, std::ostream& os)
{
  const TTable& table = form.SelectObjectForm->Table;
  os << "program-dir " << form.ProgramDir << "\n"
     << "document " << form.DocumentFileName << "\n"
     << "table " << form.TablePath << form.TableName << "\n"
     << "rows " << (table.Active() ? table.RecordCount() : 0) << "\n"
     << "caption " << form.windowTitle().toStdString() << "\n"
     << std::flush;
}

}  // namespace

int main(int argc, char** argv)
{
  // Answered before any window or display is needed.
  const char* first = argc > 1 ? argv[1] : "";
  if (!std::strcmp(first, "--help") || !std::strcmp(first, "-h")) {
    std::cout << Usage;
    return 0;
  }
  if (!std::strcmp(first, "--version")) {
    PrintVersion(std::cout, "sollumen");
    return 0;
  }
  const bool report = !std::strcmp(first, "--startup-report");

  QApplication app(argc, argv);
  // Names the per-user data directory of an installed copy.
  QApplication::setApplicationName("sollumen");
  // Wayland shells match the window to its desktop entry by this name.
  QApplication::setDesktopFileName("org.sollumen.Sollumen");
  QApplication::setWindowIcon(ProgramIcon());

  TInfoBox splash;
  splash.ShowNow();

  std::vector<std::string> arguments;
  const QStringList args = QApplication::arguments();
  for (qsizetype i = report ? 2 : 1; i < args.size(); ++i)
    arguments.push_back(args[i].toStdString());

  TAboutBox about;
  TFormOptions options;
  options.Arguments = arguments;
  options.Splash = &splash;
  options.AboutBox = &about;
  int status = 0;
  {
    TSolarSystemForm form(options);
    about.SetDataNotePath(QString::fromStdString(form.ProgramDir) + "MPCORB.rtf");
    form.show();
    if (report)
      QTimer::singleShot(0, &form, [&form] {
        PrintStartupReport(form, std::cout);
        form.close();
        QApplication::quit();
      });
    status = QApplication::exec();
  }  // the state is saved here
  return status;
}
