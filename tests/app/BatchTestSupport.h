#pragma once

#include "AppTestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace lodestar::test {

// The scripted seams with answers for the two dialogs of the Batch tab.
class TBatchSeams : public TScriptedSeams {
public:
  // Answers in turn; a null text, or none left, is Cancel.
  std::deque<QString> SaveAnswers;
  std::deque<QString> DirectoryAnswers;
  std::vector<QString> DirectoryStarts;
  int SaveDialogs = 0;

  std::optional<QString> GetSaveFileName(QWidget*) override {
    ++SaveDialogs;
    return Next(SaveAnswers);
  }
  std::optional<QString> GetExistingDirectory(QWidget*, const QString& start) override {
    DirectoryStarts.push_back(start);
    return Next(DirectoryAnswers);
  }

private:
  static std::optional<QString> Next(std::deque<QString>& answers) {
    if (answers.empty())
      return std::nullopt;
    const QString answer = answers.front();
    answers.pop_front();
    if (answer.isNull())
      return std::nullopt;
    return answer;
  }
};

// A main window on the Batch tab's work, with a tree of TIFF files below Root.
class BatchTest : public AppTest {
protected:
  BatchTest() {
    auto seams = std::make_unique<TBatchSeams>();
    Batch = seams.get();
    Seams = seams.get();
    Form = std::make_unique<TForm1>(QStringList{}, std::move(seams));
    std::filesystem::create_directories(Root);
    Form->edtStartDir->setText(QString::fromStdString(Root));
    Update();
  }

  // A TIFF of the given pages, each with its width (tag 256) and, when not empty, its software
  // text (tag 305, NUL-terminated).
  std::string Tiff(const std::string& relative, std::uint16_t width, int pages = 1,
                   const std::string& software = "") {
    TTiffBuilder b;
    std::vector<TEntrySpec> page{b.ShortEntry(256, width)};
    if (!software.empty())
      page.push_back(b.AsciiEntry(305, software + std::string(1, '\0')));
    b.Pages(std::vector<std::vector<TEntrySpec>>(static_cast<std::size_t>(pages), page));
    return SaveAt(b, relative);
  }

  std::string SaveAt(const TTiffBuilder& b, const std::string& relative) {
    const std::filesystem::path path = std::filesystem::path(Root) / relative;
    std::filesystem::create_directories(path.parent_path());
    return b.Save(path.string());
  }

  void Text(const std::string& relative, const std::string& content) {
    const std::filesystem::path path = std::filesystem::path(Root) / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
  }

  // Ticks the rows of listboxTags as a click on their boxes would.
  void Tick(std::initializer_list<int> rows, bool ticked = true) {
    for (int row : rows)
      Form->listboxTags->item(row)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
  }

  // Types into the two fields and presses Add.
  void AddItem(const QString& number, const QString& description) {
    Form->edtTagNumber->setText(number);
    Form->edtTagDescription->setText(description);
    Update();
    Form->BitBtnAddTagEntry->click();
    Update();
  }

  // Presses Start as a user would: the idle update has enabled it first.
  void StartRun() {
    Update();
    Form->BitBtnStart->click();
    Update();
  }

  // Runs during the first moment the run lets window events through.
  void DuringRun(std::function<void()> action) {
    QTimer::singleShot(0, Form.get(), std::move(action));
  }

  // Chooses path in the save dialog and returns what was written there.
  std::string SaveAs(const std::string& path) {
    Batch->SaveAnswers.push_back(QString::fromStdString(path));
    Update();
    Form->SpeedButton2->click();
    return Bytes(path);
  }

  std::vector<std::string> PaneLines() const {
    std::vector<std::string> lines;
    std::istringstream text(Form->RedtResults->toPlainText().toStdString());
    for (std::string line; std::getline(text, line);)
      lines.push_back(line);
    return lines;
  }

  std::string File(const std::string& relative) const {
    return (std::filesystem::path(Root) / relative).string();
  }

  static std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::string Root = Dir.File("tree");
  TBatchSeams* Batch = nullptr;
};

} // namespace lodestar::test
