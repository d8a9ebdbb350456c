#pragma once

#include "UiSeams.h"

// The seams as the user meets them: Qt's message boxes and dialogs, xdg-open and the
// desktop's calculator.
class TQtUiSeams : public TUiSeams {
public:
  void ShowMessage(QWidget* parent, const QString& text) override;
  void ShowErrorMessage(QWidget* parent, const QString& text) override;
  void ShowErrorReport(QWidget* parent, const QString& text) override;
  std::optional<QString> GetOpenFileName(QWidget* parent, const QString& filter) override;
  std::optional<QString> GetSaveFileName(QWidget* parent) override;
  std::optional<QString> GetExistingDirectory(QWidget* parent, const QString& start) override;
  void ShellOpen(const QString& target, std::function<void(int Code)> failed) override;
  bool StartCalculator() override;
  int RunModal(QDialog& dialog) override;
  bool ExecPrintDialog(QWidget* parent, QPrinter& printer) override;
  void ShowPrintPreview(QWidget* parent, QPrinter& printer,
                        const std::function<void(QPrinter&)>& paint) override;
};
