#pragma once

#include <QString>
#include <functional>
#include <optional>

class QPrinter;
class QDialog;
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
  // The shell's "open" of a document, web address or mailto address, handed over as one argument.
  // Never waits for the opening program: when the launch ends in a failure of the launch table,
  // failed (if given) is called later with its code.
  virtual void ShellOpen(const QString& target, std::function<void(int Code)> failed) = 0;
  // Starts the desktop's calculator without waiting; false when none could be started.
  virtual bool StartCalculator() = 0;
  // Shows the dialog modally and returns the result it closed with (QDialog::DialogCode).
  virtual int RunModal(QDialog& dialog) = 0;
  // The printer-choice dialog; on confirm the printer is the one chosen, as set up there. False
  // when the user cancelled, as seams without a printer always answer.
  virtual bool ExecPrintDialog(QWidget*, QPrinter&) { return false; }
  // The print preview over printer; paint draws the whole report whenever the preview asks.
  virtual void ShowPrintPreview(QWidget*, QPrinter&, const std::function<void(QPrinter&)>&) {}
};
