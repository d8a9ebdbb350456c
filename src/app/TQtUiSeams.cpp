#include "TQtUiSeams.h"

#include "ErrorReport.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

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

bool TQtUiSeams::ShellOpen(const QString& target) {
  const QUrl url =
      target.contains(QLatin1String("://")) || target.startsWith(QLatin1String("mailto:"))
          ? QUrl(target)
          : QUrl::fromLocalFile(target);
  return QDesktopServices::openUrl(url);
}
