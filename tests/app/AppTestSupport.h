#pragma once

#include "ReportModel.h"
#include "TForm1.h"
#include "TempDir.h"
#include "TiffBuilder.h"
#include "cLodestar.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QLabel>
#include <QListView>
#include <gtest/gtest.h>

namespace lodestar::test {

// Answers the open dialog by script (null or none left: Cancel); records each box shown.
class TScriptedSeams : public TUiSeams {
public:
  std::vector<std::string> Boxes;
  QStringList OpenAnswers, OpenFilters;

  void ShowMessage(QWidget*, const QString& text) override {
    Boxes.push_back("message: " + text.toStdString());
  }
  void ShowErrorMessage(QWidget*, const QString& text) override {
    Boxes.push_back("error box: " + text.toStdString());
  }
  void ShowErrorReport(QWidget*, const QString& text) override {
    Boxes.push_back("error: " + text.toStdString());
  }
  std::optional<QString> GetOpenFileName(QWidget*, const QString& filter) override {
    OpenFilters.push_back(filter);
    const QString answer = OpenAnswers.isEmpty() ? QString() : OpenAnswers.takeFirst();
    return answer.isNull() ? std::nullopt : std::optional<QString>(answer);
  }
  std::optional<QString> GetSaveFileName(QWidget*) override { return {}; }
  std::optional<QString> GetExistingDirectory(QWidget*, const QString&) override { return {}; }
  bool ShellOpen(const QString&) override { return false; }
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
  // The search list's item i as listboxTags shows it, "+" before a ticked one.
  std::string SearchItem(int i) const {
    const QModelIndex item = Form->listboxTags->model()->index(i, 0);
    return (item.data(Qt::CheckStateRole).toInt() == Qt::Checked ? "+" : "") +
           item.data().toString().toStdString();
  }
  int SearchItemCount() const { return Form->listboxTags->model()->rowCount(); }
  // A tick as a click on the item's box gives it.
  void Tick(int i, bool ticked = true) {
    QAbstractItemModel* model = Form->listboxTags->model();
    model->setData(model->index(i, 0), ticked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
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
