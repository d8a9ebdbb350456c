#pragma once

#include "UiSeams.h"

// The seams as the user meets them: Qt's message boxes, dialogs and desktop services.
class TQtUiSeams : public TUiSeams {
public:
  void ShowMessage(QWidget* parent, const QString& text) override;
  void ShowErrorMessage(QWidget* parent, const QString& text) override;
  void ShowErrorReport(QWidget* parent, const QString& text) override;
  std::optional<QString> GetOpenFileName(QWidget* parent, const QString& filter) override;
  std::optional<QString> GetSaveFileName(QWidget* parent) override;
  std::optional<QString> GetExistingDirectory(QWidget* parent, const QString& start) override;
  bool ShellOpen(const QString& target) override;
};
