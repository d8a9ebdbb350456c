#pragma once

#include <QString>
#include <optional>

class QWidget;

// Every message box, file dialog and shell launch of the main window goes through here, so the
// tests can answer them by script and run without a screen. TQtUiSeams is the real one.
class TUiSeams {
public:
  virtual ~TUiSeams() = default;

  // A modal box captioned with the application title "Lodestar", the text and an OK button.
  virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
  // The same box with the error icon, for a problem an operation reports itself; the text is
  // shown as given.
  virtual void ShowErrorMessage(QWidget* parent, const QString& text) = 0;
  // The default error report: captioned "Lodestar", stop icon, OK. The text arrives finished.
  virtual void ShowErrorReport(QWidget* parent, const QString& text) = 0;
  // The path chosen, or nothing when the user cancelled. filter in Qt's ";;" notation.
  virtual std::optional<QString> GetOpenFileName(QWidget* parent, const QString& filter) = 0;
  // No filter, no default extension; the dialog asks before an existing file is replaced.
  virtual std::optional<QString> GetSaveFileName(QWidget* parent) = 0;
  // Directories only; the user may create a new folder from the dialog.
  virtual std::optional<QString> GetExistingDirectory(QWidget* parent, const QString& start) = 0;
  // The shell's "open" of a document, web address or mailto address; false when it failed.
  virtual bool ShellOpen(const QString& target) = 0;
};
