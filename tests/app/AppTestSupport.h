#pragma once

#include "ReportModel.h"
#include "TForm1.h"
#include "TempDir.h"
#include "TiffBuilder.h"
#include "cLodestar.h"

#include <QAbstractItemModelTester>
#include <QPrinter>
#include <QTest>
#include <QtWidgets>
#include <gtest/gtest.h>

namespace lodestar::test {

// Every dialog answered by script, every box recorded. The open dialog takes the next
// OpenAnswers, the save and directory dialogs the next Answers, modal dialogs the next script in
// Dialogs (none left or null: Cancel). The print dialog is confirmed while PrintPdf names a file,
// for three landscape copies.
class TScriptedSeams : public TUiSeams {
public:
  std::vector<std::string> Boxes;
  QStringList OpenAnswers;
  QList<std::optional<QString>> Answers;
  std::vector<std::function<int(QDialog&)>> Dialogs;
  QString PrintPdf;

  void ShowMessage(QWidget*, const QString& text) override { Box("message: ", text); }
  void ShowErrorMessage(QWidget*, const QString& text) override { Box("error box: ", text); }
  void ShowErrorReport(QWidget*, const QString& text) override { Box("error: ", text); }
  void Box(const std::string& kind, const QString& text) {
    Boxes.push_back(kind + text.toStdString());
  }
  std::optional<QString> GetOpenFileName(QWidget*, const QString&) override {
    const QString answer = OpenAnswers.isEmpty() ? QString() : OpenAnswers.takeFirst();
    return answer.isNull() ? std::nullopt : std::optional<QString>(answer);
  }
  std::optional<QString> GetSaveFileName(QWidget*) override { return Next(); }
  std::optional<QString> GetExistingDirectory(QWidget*, const QString&) override { return Next(); }
  std::optional<QString> Next() { return Answers.isEmpty() ? std::nullopt : Answers.takeFirst(); }
  void ShellOpen(const QString&, std::function<void(int)>) override {}
  bool StartCalculator() override { return true; }
  int RunModal(QDialog& dialog) override {
    if (Dialogs.empty())
      return QDialog::Rejected;
    const auto script = Dialogs.front();
    Dialogs.erase(Dialogs.begin());
    return script(dialog);
  }
  bool ExecPrintDialog(QWidget*, QPrinter& printer) override {
    if (PrintPdf.isEmpty())
      return false;
    printer.setOutputFileName(PrintPdf);
    printer.setCopyCount(3);
    printer.setPageOrientation(QPageLayout::Landscape);
    return true;
  }
};

// A main window with scripted seams, each step followed by the idle-time update; files in Dir.
class AppTest : public ::testing::Test {
protected:
  void Start(const QStringList& arguments = {}) {
    auto seams = std::make_unique<TScriptedSeams>();
    Seams = seams.get();
    Form = std::make_unique<TForm1>(arguments, std::move(seams));
  }
  void Update() { Form->UpdateActions(); }
  void Step(QAction* action) {
    action->trigger();
    Update();
  }
  void OpenByDialog(const std::string& path) {
    Seams->OpenAnswers.push_back(QString::fromStdString(path));
    Step(Form->Open1);
  }
  const std::vector<TReportRow>& Rows() const { return Form->ListedRows().Rows; }
  // The text the listing shows in a cell; column 0 is "Nr".
  std::string Cell(int row, int column) const {
    return Form->ListView1Model->index(row, column).data().toString().toStdString();
  }
  // A tick as a click on the item's box gives it.
  void Tick(int i, bool ticked = true) {
    QAbstractItemModel* model = Form->listboxTags->model();
    model->setData(model->index(i, 0), ticked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
  }
  // '1' for each enabled widget, '0' for each disabled one.
  static std::string Enabled(std::initializer_list<const QWidget*> widgets) {
    std::string states;
    for (const QWidget* w : widgets)
      states += w->isEnabled() ? '1' : '0';
    return states;
  }
  std::string Panel(std::size_t i) const {
    return Form->StatusBar1Panels.at(i)->text().toStdString();
  }
  // Pages of A4 scanned at 300 dpi; tag row 22 holds the Software text "Scan" and its NUL.
  std::string A4(int pages, const std::string& name = "a4.tif") {
    TTiffBuilder b;
    return b.Pages(std::vector(pages, ScanPage(b, 2480, 3508, 300, "Scan"))).Save(Dir.File(name));
  }

  TTempDir Dir;
  TScriptedSeams* Seams = nullptr;
  std::unique_ptr<TForm1> Form;
};

} // namespace lodestar::test
