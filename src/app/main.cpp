#include "CommandLine.h"
#include "ErrorReport.h"
#include "TForm1.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QProcessEnvironment>
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

QStringList Arguments(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i)
    arguments.append(QString::fromLocal8Bit(argv[i]));
  return arguments;
}

// What the toolkit says while it connects to the display. A display that cannot be reached ends
// in Qt's fatal error and an abort (status 134) after a screenful about plugins; the first thing
// said about it is the reason, given here in one line with an ordinary failure status.
QStringList* GPlatformMessages = nullptr;

void OnStartMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type != QtFatalMsg) {
    GPlatformMessages->append(message);
    return;
  }
  const QString reason = GPlatformMessages->isEmpty() ? message : GPlatformMessages->first();
  std::fprintf(stderr, "lodestar: cannot open a window: %s\n",
               reason.section(QLatin1Char('\n'), 0, 0).toLocal8Bit().constData());
  std::_Exit(EXIT_FAILURE);
}

} // namespace

int main(int argc, char* argv[]) {
  const TStartRequest request = ReadStartRequest(argc, argv);
  if (request.Action != TStartRequest::Run) {
    std::FILE* stream = request.Action == TStartRequest::UsageError ? stderr : stdout;
    std::fputs(request.Output.toLocal8Bit().constData(), stream);
    return request.ExitCode();
  }

  const QString noDisplay =
      NoDisplayMessage(Arguments(argc, argv), QProcessEnvironment::systemEnvironment());
  if (!noDisplay.isEmpty()) {
    std::fputs(noDisplay.toLocal8Bit().constData(), stderr);
    return EXIT_FAILURE;
  }
  GPlatformMessages = new QStringList;
  qInstallMessageHandler(OnStartMessage);
  QApplication application(argc, argv);
  qInstallMessageHandler(nullptr);
  for (const QString& message : *GPlatformMessages)
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  delete GPlatformMessages;
  GPlatformMessages = nullptr;
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
