// A finding inside a sub-directory selects the listing row of its own entry, found by the row's
// typed reference, not by a look-alike entry of the page.
#include "AppTestSupport.h"
#include "ReportRows.h"
#include "TFindingsModel.h"

#include <QTreeView>
#include <filesystem>

namespace lodestar::test {
namespace {

class FindingRow : public AppTest {
protected:
  void Select(const std::string& directory, const char* rule) {
    Form->ShowPage(1);
    Form->ListView1->setCurrentIndex({});
    for (int row = 0; row < Form->FindingsModel->rowCount(); ++row) {
      const auto* finding = Form->FindingsModel->Finding(row);
      if (finding->Rule->Id == rule && finding->Directory == directory && finding->Entry >= 0) {
        Form->FindingsView->setCurrentIndex(Form->FindingsModel->index(row, 0));
        Update();
        Selected = finding;
        return;
      }
    }
    FAIL() << rule << " in " << directory;
  }
  const TReportRow* Current() const {
    const int row = Form->ListView1->currentIndex().row();
    return row < 0 ? nullptr : &Rows()[static_cast<std::size_t>(row)];
  }
  const check::TFinding* Selected = nullptr;
};

TEST_F(FindingRow, SubDirectoryFindingSelectsItsEntryAndNoPageEntryWhenTheBlocksAreHidden) {
  TTempDir dir;
  const std::string path = dir.File("raw.dng");
  std::filesystem::copy_file(TestDataDir() / "corpus" / "t__images__DNG.dng", path);
  Start();
  OpenByDialog(path);
  // SubIFD 1 names one tile where its image needs 140: the finding is at its TileOffsets, whose
  // index is also that of an entry of the page.
  Select("SubIFD 1", "IMG-TILE-COUNT");
  ASSERT_TRUE(Selected);
  const TReportRow* row = Current();
  ASSERT_TRUE(row && row->Entry);
  EXPECT_EQ(row->Entry->Directory, "SubIFD 1");
  EXPECT_EQ(row->Entry->Index, Selected->Entry);
  EXPECT_EQ(row->Entry->Code, *Selected->Tag);
  // Without the blocks the entry is not listed: the page shows, and no entry of it is taken.
  Step(Form->ActionSubDirectories);
  Select("SubIFD 1", "IMG-TILE-COUNT");
  EXPECT_EQ(Form->CurrentPage(), 1);
  EXPECT_EQ(Current(), nullptr);
}

} // namespace
} // namespace lodestar::test
