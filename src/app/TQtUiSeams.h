#pragma once

#include "UiSeams.h"

// The seams as the user meets them: Qt's message boxes, dialogs and desktop services.
class TQtUiSeams : public TUiSeams {
public:
  void ShowMessage(QWidget* parent, const QString& text) override;
  void ShowErrorReport(QWidget* parent, const QString& text) override;
  std::optional<QString> GetOpenFileName(QWidget* parent, const QString& filter) override;
  std::optional<QString> GetSaveFileName(QWidget* parent) override;
  std::optional<QString> GetExistingDirectory(QWidget* parent, const QString& start) override;
  bool ShellOpen(const QString& target) override;
  bool ExecPrintDialog(QWidget* parent, QPrinter& printer) override;
  void ShowPrintPreview(QWidget* parent, QPrinter& printer,
                        const std::function<void(QPrinter&)>& paint) override;
};
