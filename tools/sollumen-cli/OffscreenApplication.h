// The application object text and fonts need, on the off-screen platform
// (no display, whatever QT_QPA_PLATFORM says), for commands of the Qt side.
#pragma once

#include <QGuiApplication>

#include <cstdio>

class TOffscreenApplication {
public:
  TOffscreenApplication() : previous_(qInstallMessageHandler(Quiet)) {}
  ~TOffscreenApplication() { qInstallMessageHandler(previous_); }

private:
  // The platform's notices (no runtime directory, font substitutions) are
  // no concern of the command line; real failures still show.
  static void Quiet(QtMsgType type, const QMessageLogContext&, const QString& message)
  {
    if (type == QtCriticalMsg || type == QtFatalMsg)
      std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  }

  QtMessageHandler previous_;
  int argc_ = 3;
  char name_[13] = "sollumen-cli";
  char platform_[10] = "-platform";
  char offscreen_[10] = "offscreen";
  char* argv_[4] = {name_, platform_, offscreen_, nullptr};
  QGuiApplication app_{argc_, argv_};
};
