#include "ErrorReport.h"
#include "TForm1.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdlib>

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(ApplicationTitle));

  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  TForm1 Form1(arguments);
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
