// Files that fail to open or to list: what the user is told and what stays on screen.
#include "AppTestSupport.h"
#include "StatusPanels.h"

#include <QAction>

namespace lodestar::test {
namespace {

class Failure : public AppTest {
protected:
  void SetUp() override {
    Start();
    OpenByDialog(OnePage("good.tif"));
    GoodRows = Form->ListedRows().Rows;
    GoodPanels = {Panel(0), Panel(1), Panel(2)};
  }
  std::vector<std::string> Panels() const { return {Panel(0), Panel(1), Panel(2)}; }
  std::vector<TReportRow> GoodRows;
  std::vector<std::string> GoodPanels;
};

TEST_F(Failure, BadHeaderKeepsListingAndPanelsButTheSlotHoldsTheNewFile) {
  TTiffBuilder b;
  b.Header(8, 43);
  b.Pages({{b.ShortEntry(256, 1)}});
  const std::string bad = Save(b, "bad.tif");
  OpenByDialog(bad);
  EXPECT_EQ(Seams->Boxes, (std::vector<std::string>{"error: Not a valid tiff file."}));
  EXPECT_EQ(Form->ListedRows().Rows, GoodRows);
  EXPECT_EQ(Panels(), GoodPanels);
  ASSERT_NE(Form->FTiffFile, nullptr);
  EXPECT_EQ(Form->FTiffFile->FileName(), bad);
  EXPECT_EQ(Form->FTiffFile->PageCount(), 0);
  EXPECT_FALSE(Form->ActionNextPage->isEnabled());
  EXPECT_FALSE(Form->ActionPrevPage->isEnabled());
  EXPECT_TRUE(Form->ActionLaunchViewer->isEnabled());
  EXPECT_TRUE(Form->ActionPrint->isEnabled());
}

TEST_F(Failure, FileWithoutPagesListsTheHeaderBlockAndSaysInputFileWrong) {
  TTiffBuilder b;
  b.Header(0);
  OpenByDialog(Save(b, "no-pages.tif"));
  EXPECT_EQ(Seams->Boxes, (std::vector<std::string>{"message: Input file wrong"}));
  ASSERT_EQ(Rows().size(), 5u);
  EXPECT_EQ(Cell(1, 4), "0");
  EXPECT_EQ(Cell(2, 4), "1");
  EXPECT_EQ(Panel(1), "Page 1 of 0");
  EXPECT_EQ(Panel(2), "");
}

TEST_F(Failure, MissingPathFromTheDialogListsNothingButTheHeader) {
  OpenByDialog(Dir.File("gone.tif"));
  EXPECT_EQ(Seams->Boxes, (std::vector<std::string>{"message: Input file wrong"}));
  EXPECT_EQ(Cell(1, 4), "0");
  EXPECT_EQ(Panels(), (std::vector<std::string>{"Filename: ", "Page 1 of 0", ""}));
}

TEST_F(Failure, BlankTagKeepsThePartialRowAndStopsTheListing) {
  // Three entries announced, the file ends right after the first: the second lies at the very
  // end, the third beyond it.
  TTiffBuilder b;
  b.Header(8);
  b.Directory(8, {b.ShortEntry(256, 100), b.ShortEntry(257, 200), b.ShortEntry(258, 1)});
  b.Truncate(8 + 2 + 12);
  OpenByDialog(Save(b, "blank.tif"));
  ASSERT_FALSE(Seams->Boxes.empty());
  EXPECT_EQ(Seams->Boxes.front(), "message: streamsize");
  EXPECT_EQ(Seams->Boxes.back(), "message: Input file wrong");
  ASSERT_EQ(Rows().size(), 7u); // header block, one whole row, the partial row
  EXPECT_EQ(Cell(5, 2), "256");
  EXPECT_EQ(Rows()[6].Caption, "2");
  EXPECT_EQ(Rows()[6].SubItems, (std::vector<std::string>{"22", ""}));
}

TEST_F(Failure, ResolutionZeroReportsAndKeepsTheOldSizeText) {
  TTiffBuilder b;
  b.Pages({{b.ShortEntry(256, 2480), b.RationalEntry(282, 0, 1)}});
  OpenByDialog(Save(b, "zero-dpi.tif"));
  EXPECT_EQ(Seams->Boxes, (std::vector<std::string>{"error: Floating point division by zero."}));
  EXPECT_EQ(Cell(0, 3), "zero-dpi.tif");
  EXPECT_EQ(Panel(0), FileNamePanelText(Dir.File("zero-dpi.tif")));
  EXPECT_EQ(Panel(1), "Page 1 of 1");
  EXPECT_EQ(Panel(2), GoodPanels[2]);
}

TEST_F(Failure, SizeTextThatIsNoNumberIsAConversionError) {
  TTiffBuilder b;
  b.Pages({{b.BytesEntry(257, Undefined, {1, 2})}});
  OpenByDialog(Save(b, "odd-length.tif"));
  EXPECT_EQ(Seams->Boxes, (std::vector<std::string>{"error: '?' is not a valid integer value."}));
  EXPECT_EQ(Panel(2), GoodPanels[2]);
}

TEST_F(Failure, ReaderMessagesAreShownWhileTheFileLoads) {
  // The second directory's offset points past the end of the file.
  TTiffBuilder b;
  b.Header(8);
  b.Directory(8, {b.ShortEntry(256, 10)}, 4000);
  OpenByDialog(Save(b, "dangling.tif"));
  ASSERT_EQ(Seams->Boxes.size(), 1u);
  EXPECT_EQ(Seams->Boxes[0].rfind("message: ", 0), 0u);
  EXPECT_EQ(Panel(1), "Page 1 of 2");
}

} // namespace
} // namespace lodestar::test
