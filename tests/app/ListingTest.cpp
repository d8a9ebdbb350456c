// The listing's shape as the window shows it, and the model it shows it through.
#include "AppTestSupport.h"
#include "ReportModel.h"
#include "TDownButton.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QSignalSpy>
#include <QToolButton>

namespace lodestar::test {
namespace {

class Listing : public AppTest {
protected:
  void SetUp() override {
    Start();
    Tester = std::make_unique<QAbstractItemModelTester>(
        Form->ListView1Model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  }
  // The second entry stands at 22 with count 17 and its value field at 30 (hexadecimal 16, 11
  // and 1E); the values themselves lie at 206.
  std::string KnownPositions() {
    TTiffBuilder b;
    b.Header(8);
    b.Directory(8, {b.ShortEntry(256, 1), b.RawEntry(273, Long, 17, 206)});
    b.U8(206 + 4 * 17, 0);
    return Save(b, "positions.tif");
  }
  std::unique_ptr<QAbstractItemModelTester> Tester;
};

TEST_F(Listing, PageWithoutTagsHasSevenRows) {
  TTiffBuilder b;
  b.Header(8);
  b.Directory(8, {});
  OpenByDialog(Save(b, "empty-page.tif"));
  ASSERT_EQ(Rows().size(), 7u);
  EXPECT_EQ(Cell(1, 3), "Total Pages");
  EXPECT_EQ(Cell(1, 4), "1");
  EXPECT_TRUE(Rows()[4].SubItems.empty());
  EXPECT_TRUE(Rows()[5].SubItems.empty());
  EXPECT_EQ(Cell(6, 3), "Lodestar Ver 4.0");
  EXPECT_EQ(Form->ListView1Model->rowCount(), 7);
  EXPECT_TRUE(Seams->Boxes.empty());
}

TEST_F(Listing, FileNameRowShowsTheNameOneColumnLeft) {
  OpenByDialog(OnePage("a.tif"));
  EXPECT_EQ(Cell(0, 2), "Filename");
  EXPECT_EQ(Cell(0, 3), "a.tif");
  EXPECT_EQ(Rows()[0].SubItems.size(), 3u);
  EXPECT_EQ(Form->ListedRows().FilePath, Dir.File("a.tif"));
  const QModelIndex name = Form->ListView1Model->index(0, 3);
  EXPECT_EQ(name.data().toString(), "a.tif");
}

TEST_F(Listing, PageTwoOfThree) {
  OpenByDialog(ThreePages());
  Next();
  EXPECT_EQ(Cell(1, 4), "3");
  EXPECT_EQ(Cell(2, 3), "Current Page");
  EXPECT_EQ(Cell(2, 4), "2");
  EXPECT_EQ(Cell(3, 4), "Little-endian");
  EXPECT_EQ(Cell(5, 0), "1"); // tag rows count from 1 on every page
  EXPECT_EQ(Form->ListedRows().Page, 2);
}

TEST_F(Listing, DecAndHexCells) {
  OpenByDialog(KnownPositions());
  auto tagRow = [&] {
    return std::vector<std::string>{Cell(6, 0), Cell(6, 1), Cell(6, 2), Cell(6, 6), Cell(6, 7)};
  };
  EXPECT_EQ(tagRow(), (std::vector<std::string>{"2", "22", "273", "17", "30"}));
  const std::string value = Cell(6, 4);
  Form->tb16->click();
  EXPECT_EQ(tagRow(), (std::vector<std::string>{"2", "16", "273", "11", "1E"}));
  EXPECT_EQ(Cell(6, 4), value);
  EXPECT_EQ(Cell(1, 4), "1");
  Form->tb10->click();
  EXPECT_EQ(tagRow(), (std::vector<std::string>{"2", "22", "273", "17", "30"}));
}

TEST_F(Listing, AsciiCellIsShownUpToItsNul) {
  TTiffBuilder b;
  b.Pages({{b.AsciiEntry(305, std::string("Scan\0er", 7) + std::string(1, '\0'))}});
  OpenByDialog(Save(b, "nul.tif"));
  EXPECT_EQ(Cell(5, 4), std::string("Scan\0er\0", 8)); // the row keeps the whole value
  EXPECT_EQ(Form->ListView1Model->index(5, 4).data().toString(), "Scan");
  EXPECT_EQ(Form->ListView1Model->index(5, 4).flags() & Qt::ItemIsEditable, 0);
}

TEST_F(Listing, HexTwiceRebuildsOnceAndDecWhileDownDoesNothing) {
  OpenByDialog(ThreePages());
  QSignalSpy rebuilds(Form->ListView1Model, &QAbstractItemModel::modelReset);
  Form->tb10->click();
  EXPECT_EQ(rebuilds.count(), 0);
  Form->tb16->click();
  Form->tb16->click();
  EXPECT_EQ(rebuilds.count(), 1);
  EXPECT_TRUE(Form->tb16->Down());
  EXPECT_FALSE(Form->tb10->Down());
  EXPECT_EQ(Panel(1), "Page 1 of 3");
}

TEST_F(Listing, HexWithNoFileOnlyMovesTheDownStateAndTheNextOpenListsInHex) {
  Form->tb16->click();
  EXPECT_TRUE(Form->tb16->Down());
  EXPECT_FALSE(Form->tb10->Down());
  EXPECT_TRUE(Rows().empty());
  OpenByDialog(KnownPositions());
  EXPECT_EQ(Cell(6, 1), "16");
}

TEST_F(Listing, BaseSurvivesNavigationAndNewOpens) {
  Form->tb16->click();
  OpenByDialog(ThreePages());
  const std::string hexPos = Cell(5, 1);
  Next();
  Previous();
  EXPECT_EQ(Cell(5, 1), hexPos);
  OpenByDialog(KnownPositions());
  EXPECT_EQ(Cell(6, 1), "16");
}

} // namespace
} // namespace lodestar::test
