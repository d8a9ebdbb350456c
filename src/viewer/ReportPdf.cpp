#include "ReportPdf.h"

#include "TQtPrintCanvas.h"

#include <QDate>
#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <cstdio>
#include <memory>
#include <stdexcept>

namespace lodestar {

namespace {

// Fonts need a QGuiApplication. Without one this starts the offscreen platform, which needs no
// display whatever QT_QPA_PLATFORM says ("-platform" on the command line wins over it).
class TGuiForFonts {
public:
  TGuiForFonts() {
    if (QCoreApplication::instance() == nullptr) {
      FPreviousHandler = qInstallMessageHandler(KeepSerious);
      FApplication = std::make_unique<QGuiApplication>(FArgc, FArgv);
      return;
    }
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
      throw std::runtime_error("fonts are not available without a Qt GUI application");
  }
  ~TGuiForFonts() {
    if (!FApplication)
      return;
    FApplication.reset();
    qInstallMessageHandler(FPreviousHandler);
  }
  TGuiForFonts(const TGuiForFonts&) = delete;
  TGuiForFonts& operator=(const TGuiForFonts&) = delete;

private:
  // Qt's notes about the environment ("XDG_RUNTIME_DIR not set") are no diagnostics of the
  // caller's; its errors still are.
  static void KeepSerious(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
      std::fprintf(stderr, "%s\n", qPrintable(message));
  }

  QtMessageHandler FPreviousHandler = nullptr;
  char FName[9] = "lodestar";
  char FOption[10] = "-platform";
  char FPlatform[10] = "offscreen";
  char* FArgv[4] = {FName, FOption, FPlatform, nullptr};
  int FArgc = 3;
  std::unique_ptr<QGuiApplication> FApplication;
};

[[noreturn]] void Fail(const QString& reason) {
  throw std::runtime_error(reason.toStdString());
}

} // namespace

void WriteReportPdf(const TPrintJob& job, const std::string& outPath) {
  const TGuiForFonts gui;
  QSaveFile file(QFile::decodeName(outPath.c_str()));
  if (!file.open(QIODevice::WriteOnly))
    Fail(file.errorString());
  {
    QPdfWriter writer(&file);
    writer.setResolution(ReportPdfResolution);
    writer.setTitle(QString::fromUtf8(PrintJobTitle));
    writer.setCreator(QStringLiteral("Lodestar"));
    const qreal margin = ReportPdfOffset * 72.0 / ReportPdfResolution;
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(margin, margin, margin, margin),
                                     QPageLayout::Point));
    QPainter painter;
    if (!painter.begin(&writer))
      Fail(QStringLiteral("the PDF could not be started"));
    TQtPrintCanvas canvas(painter, writer);
    DrawReport(canvas, job);
    if (!painter.end())
      Fail(QStringLiteral("the PDF could not be finished"));
  }
  // A write that failed on the way (a full disk) shows here; the temporary file is then removed.
  if (!file.commit())
    Fail(file.errorString());
}

std::string TodayShortDate() {
  return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
}

} // namespace lodestar
