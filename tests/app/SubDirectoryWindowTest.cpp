// The Info tab with a file that has sub-directories: the "Sub-directories" switch, the Nr column
// that names them, and the ascii editor writing into an Exif entry.
#include "AppTestSupport.h"
#include "ReportRows.h"
#include "editdlg.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>
#include <filesystem>

namespace lodestar::test {
namespace {

class SubDirectoryWindow : public AppTest {
protected:
  void SetUp() override {
    Path = Dir.File("raw.dng");
    std::filesystem::copy_file(TestDataDir() / "corpus" / "t__images__DNG.dng", Path);
    Start();
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    OpenByDialog(Path);
  }
  int RowOf(const std::string& caption) const {
    for (std::size_t i = 0; i < Rows().size(); ++i)
      if (Rows()[i].Caption == caption)
        return static_cast<int>(i);
    return -1;
  }

  TTempDir Dir;
  std::string Path;
};

TEST_F(SubDirectoryWindow, SwitchHidesTheBlocksAndTheNrColumnShowsTheirCaptionsWhole) {
  TTiffFile file;
  file.SetFileName(Path);
  const std::vector<TReportRow> without = BuildReportRows(file, 1, TDisplayBase::Dec, false).Rows;
  ASSERT_TRUE(Form->ActionSubDirectories->isChecked());
  const int exif = RowOf("Exif 21");
  ASSERT_GE(exif, 0);
  const int shown = Form->ListView1->header()->sectionSize(0);
  EXPECT_GE(shown, Form->ListView1->fontMetrics().horizontalAdvance("Exif 21"));

  Step(Form->ActionSubDirectories);
  EXPECT_EQ(Rows(), without);
  EXPECT_LT(Form->ListView1->header()->sectionSize(0), shown);
  Step(Form->ActionSubDirectories);
  EXPECT_EQ(RowOf("Exif 21"), exif);
}

// Written byte for byte where the Exif entry's value lies, nothing else in the file.
TEST_F(SubDirectoryWindow, EditorWritesAnAsciiEntryOfTheExifDirectory) {
  const int row = RowOf("Exif 6"); // DateTimeOriginal
  ASSERT_GE(row, 0);
  ASSERT_TRUE(Rows()[row].Entry.has_value());
  std::string expected = FileBytes(Path);
  expected.replace(Rows()[row].Entry->ValuePos, 19, "2001:02:03 04:05:06");
  Seams->Dialogs.push_back([](QDialog& dialog) {
    auto* form = dynamic_cast<TEditForm*>(&dialog);
    if (!form)
      return int(QDialog::Rejected);
    form->Edit1->selectAll();
    QTest::keyClicks(form->Edit1, "2001:02:03 04:05:06");
    return int(QDialog::Accepted);
  });
  const QModelIndex index = Form->ListView1Model->index(row, 1);
  Form->ListView1->scrollTo(index);
  const QPoint at = Form->ListView1->visualRect(index).center();
  QTest::mouseClick(Form->ListView1->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(Form->ListView1->viewport(), Qt::LeftButton, {}, at);
  Update();
  EXPECT_TRUE(FileBytes(Path) == expected);
  EXPECT_TRUE(Seams->Boxes.empty());
  EXPECT_EQ(Rows()[static_cast<std::size_t>(RowOf("Exif 6"))].SubItems[3],
            "2001:02:03 04:05:06" + std::string(1, '\0'));
}

} // namespace
} // namespace lodestar::test
