#include "AppTestSupport.h"

#include <QAction>
#include <QLabel>

namespace lodestar::test {

void TScriptedSeams::ShowMessage(QWidget*, const QString& text) {
  Boxes.push_back("message: " + text.toStdString());
}

void TScriptedSeams::ShowErrorReport(QWidget*, const QString& text) {
  Boxes.push_back("error: " + text.toStdString());
}

std::optional<QString> TScriptedSeams::GetOpenFileName(QWidget*, const QString& filter) {
  OpenFilters.push_back(filter);
  if (OpenAnswers.empty())
    return std::nullopt;
  const QString answer = OpenAnswers.front();
  OpenAnswers.pop_front();
  if (answer.isNull())
    return std::nullopt;
  return answer;
}

void AppTest::Start(const QStringList& arguments) {
  auto seams = std::make_unique<TScriptedSeams>();
  Seams = seams.get();
  Form = std::make_unique<TForm1>(arguments, std::move(seams));
}

void AppTest::OpenByDialog(const std::string& path) {
  Seams->OpenAnswers.push_back(QString::fromStdString(path));
  Form->Open1->trigger();
  Update();
}

void AppTest::Next() {
  Form->ActionNextPage->trigger();
  Update();
}

void AppTest::Previous() {
  Form->ActionPrevPage->trigger();
  Update();
}

std::string AppTest::Cell(std::size_t row, std::size_t column) const {
  const TReportRow& r = Rows().at(row);
  if (column == 0)
    return r.Caption;
  return column <= r.SubItems.size() ? r.SubItems[column - 1] : std::string();
}

std::string AppTest::Panel(std::size_t index) const {
  return Form->StatusBar1Panels.at(index)->text().toStdString();
}

std::string AppTest::Save(const TTiffBuilder& builder, const std::string& name) {
  return builder.Save(Dir.File(name));
}

std::string AppTest::ThreePages(const std::string& name) {
  TTiffBuilder b;
  b.Pages({ScanPage(b, 2480, 3508, 300, "one"), ScanPage(b, 2480, 3508, 300, "two"),
           ScanPage(b, 2480, 3508, 300, "three")});
  return Save(b, name);
}

std::string AppTest::OnePage(const std::string& name) {
  TTiffBuilder b;
  b.Pages({ScanPage(b, 1728, 2200, 200, "single")});
  return Save(b, name);
}

} // namespace lodestar::test
