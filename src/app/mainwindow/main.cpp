// The program entry: the splash box first, then the main window, which
// restores the previous state; the event loop runs until the main window is
// closed, and its destruction saves the state.
#include "app/mainwindow/AboutBoxes.h"
#include "app/mainwindow/InfoBoxes.h"
#include "app/ProgramIdentity.h"
#include "app/mainwindow/SSystemsForm.h"

#include <QApplication>

#include <string>
#include <vector>

int main(int argc, char** argv)
{
  QApplication app(argc, argv);
  // Names the per-user data directory of an installed copy.
  QApplication::setApplicationName("sollumen");
  QApplication::setDesktopFileName("sollumen");
  QApplication::setWindowIcon(ProgramIcon());

  TInfoBox splash;
  splash.ShowNow();

  std::vector<std::string> arguments;
  const QStringList args = QApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i) arguments.push_back(args[i].toStdString());

  TAboutBox about;
  TFormOptions options;
  options.Arguments = arguments;
  options.Splash = &splash;
  options.AboutBox = &about;
  int status = 0;
  {
    TSolarSystemForm form(options);
    form.show();
    status = QApplication::exec();
  }  // the state is saved here
  return status;
}
