#include "TQtUiSeams.h"

#include "ErrorReport.h"
#include "Launchers.h"

#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>

void TQtUiSeams::ShowMessage(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(ApplicationTitle), text, QMessageBox::Ok,
                  parent);
  box.exec();
}

void TQtUiSeams::ShowErrorMessage(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Critical, QString::fromUtf8(ApplicationTitle), text, QMessageBox::Ok,
                  parent);
  box.exec();
}

void TQtUiSeams::ShowErrorReport(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Critical, QString::fromUtf8(ApplicationTitle), text, QMessageBox::Ok,
                  parent);
  box.exec();
}

std::optional<QString> TQtUiSeams::GetOpenFileName(QWidget* parent, const QString& filter) {
  const QString name = QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
  if (name.isEmpty())
    return std::nullopt;
  return name;
}

std::optional<QString> TQtUiSeams::GetSaveFileName(QWidget* parent) {
  // Replacing a file the user merely picked would lose it: the dialog asks first.
  const QString name = QFileDialog::getSaveFileName(parent);
  if (name.isEmpty())
    return std::nullopt;
  return name;
}

std::optional<QString> TQtUiSeams::GetExistingDirectory(QWidget* parent, const QString& start) {
  QFileDialog dialog(parent, QString(), start);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  // Not read-only: the dialog's own "Create New Folder" stays available.
  dialog.setOption(QFileDialog::ReadOnly, false);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

void TQtUiSeams::ShellOpen(const QString& target, std::function<void(int Code)> failed) {
  // No shell in between: blanks, quotes, "$(...)" or ";" in a name stay part of the one argument.
  // Some desktops keep xdg-open running as long as the opened program, so nobody waits for it.
  // Without a parent the process object outlives the window and never kills what it started.
  auto* process = new QProcess;
  process->setProgram(QStringLiteral("xdg-open"));
  process->setArguments({target});
  process->setStandardInputFile(QProcess::nullDevice());
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  QObject::connect(process, &QProcess::finished, process,
                   [process, failed](int exitCode, QProcess::ExitStatus status) {
                     process->deleteLater();
                     if (status != QProcess::NormalExit || !failed)
                       return;
                     if (const std::optional<int> code =
                             lodestar::LaunchCodeOfXdgOpenExit(exitCode))
                       failed(*code);
                   });
  QObject::connect(process, &QProcess::errorOccurred, process,
                   [process, failed](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart)
                       return;
                     process->deleteLater();
                     if (failed)
                       failed(lodestar::XdgOpenMissingCode);
                   });
  process->start();
}

bool TQtUiSeams::StartCalculator() {
  const std::string calculator = lodestar::FindCalculator(qgetenv("PATH").toStdString());
  return !calculator.empty() &&
         QProcess::startDetached(QFile::decodeName(QByteArray::fromStdString(calculator)), {});
}

int TQtUiSeams::RunModal(QDialog& dialog) {
  return dialog.exec();
}

bool TQtUiSeams::ExecPrintDialog(QWidget* parent, QPrinter& printer) {
  QPrintDialog dialog(&printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

void TQtUiSeams::ShowPrintPreview(QWidget* parent, QPrinter& printer,
                                  const std::function<void(QPrinter&)>& paint) {
  QPrintPreviewDialog preview(&printer, parent);
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                   [&paint](QPrinter* target) { paint(*target); });
  preview.exec();
}
