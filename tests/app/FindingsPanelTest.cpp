// The open file's findings under the listing, the verdict panel, the View toggle, and the Batch
// tab's "Check files" cells.
#include "AppTestSupport.h"
#include "TFindingsModel.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>
#include <filesystem>

namespace lodestar::test {
namespace {

class FindingsPanel : public AppTest {
protected:
  // Two scans sharing one strip; the second's Orientation is a Long.
  std::string TwoPages() {
    TTiffBuilder b;
    auto first = ScanPage(b, 16, 16, 300, "Scan");
    auto second = first;
    second.push_back(b.LongEntry(274, 1));
    std::sort(second.begin(), second.end(),
              [](const TEntryDraft& x, const TEntryDraft& y) { return x.Tag < y.Tag; });
    b.Pages({first, second});
    b.Raw(4096, std::vector<std::uint8_t>(1024, 0));
    return b.Save(Dir.File("two.tif"));
  }
  int RowOf(const char* rule) const {
    for (int row = 0; row < Form->FindingsModel->rowCount(); ++row)
      if (Form->FindingsModel->Finding(row)->Rule->Id == rule)
        return row;
    return -1;
  }
};

TEST_F(FindingsPanel, FindingSelectsItsEntryOnItsPageAndTheViewMenuHidesThePanel) {
  Start();
  QAbstractItemModelTester tester(Form->FindingsModel);
  OpenByDialog(TwoPages());
  EXPECT_EQ(Form->StatusBarVerdict->text().toStdString(), "well-formed, not valid");
  ASSERT_EQ(Form->CurrentPage(), 1);

  struct TCase {
    const char* Rule;
    int Page;
    std::string TagCell; // the selected listing row's tag number
  };
  // The overlap is found at page 2's StripOffsets; the type at its Orientation.
  for (const TCase& c : {TCase{"TAG-TYPE", 2, "274"}, TCase{"IMG-OVERLAP", 2, "273"}}) {
    Form->ShowPage(1);
    const int row = RowOf(c.Rule);
    ASSERT_GE(row, 0) << c.Rule;
    Form->FindingsView->setCurrentIndex(Form->FindingsModel->index(row, 0));
    Update();
    EXPECT_EQ(Form->CurrentPage(), c.Page) << c.Rule;
    EXPECT_EQ(Cell(Form->ListView1->currentIndex().row(), 2), c.TagCell) << c.Rule;
  }

  Step(Form->ActionShowFindings);
  EXPECT_TRUE(Form->FindingsView->isHidden());
  Step(Form->ActionShowFindings);
  EXPECT_FALSE(Form->FindingsView->isHidden());

  // A sound file empties the panel.
  TTiffBuilder b;
  b.Pages({ScanPage(b, 16, 16, 300, "Scan")}).Raw(4096, std::vector<std::uint8_t>(1024, 0));
  OpenByDialog(b.Save(Dir.File("one.tif")));
  EXPECT_EQ(Form->FindingsModel->rowCount(), 0);
  EXPECT_EQ(Form->StatusBarVerdict->text().toStdString(), "well-formed and valid");
}

TEST_F(FindingsPanel, CheckFilesAddsVerdictAndCountToEveryRecordOnlyWhenTicked) {
  Start();
  const std::string root = Dir.File("tree");
  std::filesystem::create_directories(root);
  TTiffBuilder b;
  b.Pages({ScanPage(b, 16, 16, 300, "Scan")}).Save(root + "/a.tif");
  Form->edtStartDir->setText(QString::fromStdString(root));
  Tick(0);
  const auto run = [&](bool check) {
    Form->cbCheckFiles->setChecked(check);
    Update();
    Form->BitBtnStart->click();
    Update();
    return Form->RedtResults->toPlainText().toStdString();
  };
  EXPECT_FALSE(Form->cbCheckFiles->isChecked()); // records stay as they were unless asked
  const std::string plain = run(false);
  const std::string checked = run(true);
  const std::string record = "\"" + root + "/a.tif\",\"1\",\"16\"";
  EXPECT_EQ(plain, "\"Filename\",\"Page\",\"Imagewidth\"\n" + record);
  // The strip ScanPage names lies past the end of this file.
  EXPECT_EQ(checked, "\"Filename\",\"Page\",\"Imagewidth\",\"Verdict\",\"Findings\"\n" + record +
                         ",\"not well-formed\",\"1\"");
}

} // namespace
} // namespace lodestar::test
