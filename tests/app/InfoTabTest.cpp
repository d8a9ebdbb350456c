// The Info tab: the open file's findings under the listing and the verdict panel, and with a file
// that has sub-directories, the "Sub-directories" switch and the Nr column that names them.
#include "AppTestSupport.h"
#include "ReportRows.h"
#include "TFindingsModel.h"

namespace lodestar::test {
namespace {

using FindingsPanel = AppTest;

// Two scans sharing one strip; the second's Orientation is a Long. The overlap is found at page
// 2's StripOffsets, the type at its Orientation.
TEST_F(FindingsPanel, FindingSelectsItsEntryOnItsPage) {
  Start();
  QAbstractItemModelTester tester(Form->FindingsModel);
  TTiffBuilder b;
  auto first = ScanPage(b, 16, 16, 300, "Scan"), second = first;
  second.push_back(b.LongEntry(274, 1));
  std::sort(second.begin(), second.end(), [](auto& x, auto& y) { return x.Tag < y.Tag; });
  OpenByDialog(b.Pages({first, second})
                   .Raw(4096, std::vector<std::uint8_t>(1024, 0))
                   .Save(Dir.File("two.tif")));
  EXPECT_EQ(Form->StatusBarVerdict->text().toStdString(), "well-formed, not valid");
  for (const auto& [rule, tag] : {std::pair{"TAG-TYPE", "274"}, std::pair{"IMG-OVERLAP", "273"}}) {
    Form->ShowPage(1);
    int row = 0;
    while (row < Form->FindingsModel->rowCount() &&
           Form->FindingsModel->Finding(row)->Rule->Id != rule)
      ++row;
    ASSERT_LT(row, Form->FindingsModel->rowCount()) << rule;
    Form->FindingsView->setCurrentIndex(Form->FindingsModel->index(row, 0));
    Update();
    EXPECT_EQ(Form->CurrentPage(), 2) << rule;
    EXPECT_EQ(Cell(Form->ListView1->currentIndex().row(), 2), tag) << rule;
  }
  // A sound file empties the panel.
  TTiffBuilder one;
  one.Pages({ScanPage(one, 16, 16, 300, "Scan")}).Raw(4096, std::vector<std::uint8_t>(1024, 0));
  OpenByDialog(one.Save(Dir.File("one.tif")));
  EXPECT_EQ(Form->FindingsModel->rowCount(), 0);
  EXPECT_EQ(Form->StatusBarVerdict->text().toStdString(), "well-formed and valid");
}

using SubDirectoryWindow = AppTest;

TEST_F(SubDirectoryWindow, SwitchHidesTheBlocksAndTheNrColumnShowsTheirCaptionsWhole) {
  const std::string path = Dir.File("raw.dng");
  std::filesystem::copy_file(TestDataDir() / "corpus" / "t__images__DNG.dng", path);
  Start();
  Form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
  OpenByDialog(path);
  const auto exifRow = [this] {
    for (std::size_t i = 0; i < Rows().size(); ++i)
      if (Rows()[i].Caption == "Exif 21")
        return static_cast<int>(i);
    return -1;
  };
  TTiffFile file;
  file.SetFileName(path);
  const std::vector<TReportRow> without = BuildReportRows(file, 1, TDisplayBase::Dec, false).Rows;
  ASSERT_TRUE(Form->ActionSubDirectories->isChecked());
  const int exif = exifRow();
  ASSERT_GE(exif, 0);
  EXPECT_NE(Rows(), without);
  const int shown = Form->ListView1->header()->sectionSize(0);
  EXPECT_GE(shown, Form->ListView1->fontMetrics().horizontalAdvance("Exif 21"));
  Step(Form->ActionSubDirectories);
  EXPECT_EQ(Rows(), without);
  EXPECT_LT(Form->ListView1->header()->sectionSize(0), shown);
  Step(Form->ActionSubDirectories);
  EXPECT_EQ(exifRow(), exif);
}

} // namespace
} // namespace lodestar::test
