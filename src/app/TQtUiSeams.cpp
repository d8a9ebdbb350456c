#include "TQtUiSeams.h"

#include "ErrorReport.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QUrl>

void TQtUiSeams::ShowMessage(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(ApplicationTitle), text, QMessageBox::Ok,
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
  const QString name = QFileDialog::getSaveFileName(parent, QString(), QString(), QString(),
                                                    nullptr, QFileDialog::DontConfirmOverwrite);
  if (name.isEmpty())
    return std::nullopt;
  return name;
}

std::optional<QString> TQtUiSeams::GetExistingDirectory(QWidget* parent, const QString& start) {
  const QString name = QFileDialog::getExistingDirectory(parent, QString(), start);
  if (name.isEmpty())
    return std::nullopt;
  return name;
}

bool TQtUiSeams::ShellOpen(const QString& target) {
  const QUrl url =
      target.contains(QLatin1String("://")) || target.startsWith(QLatin1String("mailto:"))
          ? QUrl(target)
          : QUrl::fromLocalFile(target);
  return QDesktopServices::openUrl(url);
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
