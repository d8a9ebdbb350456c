#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// What the window program's command line asks for. Read before any connection to the window
// system is made, so --help, --version and usage errors work without a display.
struct TStartRequest {
  enum TAction { Run, Help, Version, UsageError };
  TAction Action = Run;
  QString File;   // the file to open at start-up; empty for none
  QString Output; // the text to print for Help and Version, the message for UsageError
  int ExitCode() const { return Action == UsageError ? 2 : 0; }
};

// arguments as QCoreApplication::arguments() gives them, the program's own name first. Needs a
// QCoreApplication for the help text's program name.
TStartRequest ReadCommandLine(const QStringList& arguments);

// The one-line message for a start without a display to open the window on (neither DISPLAY nor
// WAYLAND_DISPLAY set), or an empty string. A platform named by -platform or QT_QPA_PLATFORM is
// taken as given: offscreen and vnc need no display.
QString NoDisplayMessage(const QStringList& arguments, const QProcessEnvironment& environment);
