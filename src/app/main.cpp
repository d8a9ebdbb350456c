#include "CommandLine.h"
#include "ErrorReport.h"
#include "TForm1.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {

void SetIdentity() {
  QCoreApplication::setApplicationName(QString::fromUtf8(ApplicationTitle));
  QCoreApplication::setApplicationVersion(QStringLiteral(LODESTAR_VERSION));
}

// The command line is read under a plain core application: a QApplication would first connect
// to the display and abort where there is none, so --help and --version could not answer.
TStartRequest ReadStartRequest(int argc, char* argv[]) {
  QCoreApplication core(argc, argv);
  SetIdentity();
  return ReadCommandLine(QCoreApplication::arguments());
}

} // namespace

int main(int argc, char* argv[]) {
  const TStartRequest request = ReadStartRequest(argc, argv);
  if (request.Action != TStartRequest::Run) {
    std::FILE* stream = request.Action == TStartRequest::UsageError ? stderr : stdout;
    std::fputs(request.Output.toLocal8Bit().constData(), stream);
    return request.ExitCode();
  }

  QApplication application(argc, argv);
  SetIdentity();
  // Ties the window to lodestar.desktop and its icon in the desktop's icon theme.
  QGuiApplication::setDesktopFileName(QStringLiteral("lodestar"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("lodestar")));

  TForm1 Form1(request.File.isEmpty() ? QStringList() : QStringList{request.File});
  Form1.show();

  // For `make screenshot`: the window draws itself into the named PNG once it has settled.
  const QString screenshot = qEnvironmentVariable("LODESTAR_SCREENSHOT");
  if (!screenshot.isEmpty()) {
    QTimer::singleShot(1500, &Form1, [&Form1, screenshot] {
      const bool saved = Form1.grab().save(screenshot, "PNG");
      QApplication::exit(saved ? EXIT_SUCCESS : EXIT_FAILURE);
    });
  }
  return QApplication::exec();
}
