#pragma once

#include "TForm1.h"
#include "TempDir.h"
#include "TiffBuilder.h"
#include "cLodestar.h"

#include <QStringList>
#include <deque>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lodestar::test {

// Answers the window's dialogs from a script and records every box it shows.
class TScriptedSeams : public TUiSeams {
public:
  // Each box in the order shown: "message: text" or "error: text".
  std::vector<std::string> Boxes;
  // Paths the open dialog answers with, in turn; a null text or none left is Cancel.
  std::deque<QString> OpenAnswers;
  std::vector<QString> OpenFilters;

  void ShowMessage(QWidget*, const QString& text) override;
  void ShowErrorReport(QWidget*, const QString& text) override;
  std::optional<QString> GetOpenFileName(QWidget*, const QString& filter) override;
  std::optional<QString> GetSaveFileName(QWidget*) override { return std::nullopt; }
  std::optional<QString> GetExistingDirectory(QWidget*, const QString&) override {
    return std::nullopt;
  }
  bool ShellOpen(const QString&) override { return false; }
};

// A main window with scripted seams, and TIFF files in a fresh directory.
class AppTest : public ::testing::Test {
protected:
  void Start(const QStringList& arguments = {});
  // Chooses path in the open dialog (through the menu item) and lets the rules catch up.
  void OpenByDialog(const std::string& path);
  void Update() { Form->UpdateActions(); }
  void Next();
  void Previous();

  const std::vector<TReportRow>& Rows() const { return Form->ListedRows().Rows; }
  // Cell of the listing; column 0 is "Nr". Empty for a cell the row does not carry.
  std::string Cell(std::size_t row, std::size_t column) const;
  std::string Panel(std::size_t index) const;

  // Files: three A4 pages at 300 dpi, one page, a page without tags, a bad header.
  std::string ThreePages(const std::string& name = "three.tif");
  std::string OnePage(const std::string& name = "one.tif");
  std::string Save(const TTiffBuilder& builder, const std::string& name);

  TTempDir Dir;
  TScriptedSeams* Seams = nullptr;
  std::unique_ptr<TForm1> Form;
};

} // namespace lodestar::test
