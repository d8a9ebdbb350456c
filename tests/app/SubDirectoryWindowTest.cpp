// The Info tab with a file that has sub-directories: the "Sub-directories" switch and the Nr
// column that names them.
#include "AppTestSupport.h"
#include "ReportRows.h"

#include <QHeaderView>
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

} // namespace
} // namespace lodestar::test
