// A run from the Batch tab: what it reads from the controls and when, what it writes into them,
// the counters, the start messages, Stop, and the controls while the run goes.
#include "BatchTestSupport.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QToolButton>

namespace lodestar::test {
namespace {

class BatchRun : public BatchTest {
protected:
  BatchRun() {
    Tiff("A.tif", 100, 2, "Scan A ");
    Tiff("b.TIF", 200, 1, "Scan B");
    Tiff("sub/c.tif", 300);
    Tiff(".hidden.tif", 999);
    Tiff(".cache/d.tif", 999);
    Text("notes.tif", "not a TIFF file");
    Tick({0, 6}); // 256 Imagewidth, 305 Software
  }

  std::string Record(const std::string& relative, int page, const std::string& cells,
                     const std::string& separator = ",") const {
    return "\"" + File(relative) + "\"" + separator + "\"" + std::to_string(page) + "\"" + cells;
  }

  std::vector<std::string> AllRecords() const {
    return {"\"Filename\",\"Page\",\"Imagewidth\",\"Software\"",
            Record("A.tif", 1, ",\"100\",\"Scan A\""), Record("A.tif", 2, ",\"100\",\"Scan A\""),
            Record("b.TIF", 1, ",\"200\",\"Scan B\""), Record("sub/c.tif", 1, ",\"300\",\"\"")};
  }

  std::pair<std::string, std::string> Counters() const {
    return {Form->edtCounter->text().toStdString(), Form->edtPages->text().toStdString()};
  }

  // Enabled state of every control the run disables, Stop first.
  std::vector<bool> RunControls() const {
    std::vector<bool> states;
    for (const QWidget* w : std::initializer_list<const QWidget*>{
             Form->btnStop, Form->BitBtnStart, Form->BitBtnClose, Form->spdBtnStartingDir,
             Form->BitBtnAddTagEntry, Form->BitBtnDeleteTagEntry, Form->spBtnMoveTagUp,
             Form->spBtnMoveTagDown, Form->spbtnSort, Form->btnReset, Form->edtCounter,
             Form->edtPages, Form->GroupBoxExportOptions, Form->cbAllPages})
      states.push_back(w->isEnabled());
    return states;
  }

  // Enabled state of the controls a run leaves usable.
  std::vector<bool> FreeControls() const {
    std::vector<bool> states;
    for (const QWidget* w : std::initializer_list<const QWidget*>{
             Form->edtStartDir, Form->listboxTags, Form->edtTagNumber, Form->edtTagDescription,
             Form->cmbbxSeperator, Form->chkbxSplitFileNameAndPath, Form->SpeedButton2})
      states.push_back(w->isEnabled());
    return states;
  }

  void ExpectIdleAfterRun() {
    EXPECT_EQ(Form->StatusBar2->text(), "Finished...");
    EXPECT_FALSE(Form->btnStop->isEnabled());
    EXPECT_TRUE(Form->BitBtnClose->isEnabled());
    EXPECT_TRUE(Form->GroupBoxExportOptions->isEnabled());
    EXPECT_FALSE(Form->FRetrieving);
  }
};

TEST_F(BatchRun, RecordsOfTheTreeInOrderAndTheLastFileShownEverywhere) {
  StartRun();
  EXPECT_EQ(PaneLines(), AllRecords());
  EXPECT_EQ(Counters(), std::make_pair(std::string("3"), std::string("4")));
  EXPECT_EQ(Form->Label3->text().toStdString(), File("sub/c.tif"));
  EXPECT_EQ(Panel(1), File("sub/c.tif"));
  EXPECT_TRUE(Seams->Boxes.empty());
  ExpectIdleAfterRun();
}

TEST_F(BatchRun, FileSlotHoldsTheLastFileVisitedWhileTheListingStays) {
  const std::string info = OnePage(); // outside the tree
  OpenByDialog(info);
  const TReportRows listed = Form->ListedRows();
  StartRun();
  ASSERT_NE(Form->FTiffFile, nullptr);
  EXPECT_EQ(Form->FTiffFile->FileName(), File("sub/c.tif"));
  EXPECT_EQ(Form->FTiffFile->PageCount(), 1);
  EXPECT_EQ(Form->ListedRows().Rows, listed.Rows);
  EXPECT_EQ(Form->ListedRows().FilePath, info);
}

TEST_F(BatchRun, PagesCounterGoesOnOverRunsAndRestartsAfterATypedText) {
  StartRun();
  EXPECT_EQ(Counters(), std::make_pair(std::string("3"), std::string("4")));
  StartRun();
  EXPECT_EQ(Counters(), std::make_pair(std::string("3"), std::string("8")));
  // Not a number: both become 1 at the first file, and the counting goes on from there.
  Form->edtPages->setText("abc");
  StartRun();
  EXPECT_EQ(Counters(), std::make_pair(std::string("3"), std::string("3")));
  EXPECT_EQ(PaneLines(), AllRecords());
  // First page only: one row a file, and the pages counter follows the files counter.
  Form->edtPages->setText("50");
  Form->cbAllPages->setChecked(false);
  StartRun();
  EXPECT_EQ(Counters(), std::make_pair(std::string("3"), std::string("3")));
  EXPECT_EQ(PaneLines().size(), 4u);
}

TEST_F(BatchRun, MissingStartingDirectoryIsReportedAfterClearing) {
  StartRun();
  const std::string gone = Dir.File("gone");
  std::filesystem::create_directory(gone);
  Form->edtStartDir->setText(QString::fromStdString(gone));
  Update();
  ASSERT_TRUE(Form->BitBtnStart->isEnabled());
  std::filesystem::remove(gone);
  Form->BitBtnStart->click();
  EXPECT_EQ(Seams->Boxes, (std::vector<std::string>{"message: Starting directory does not exist"}));
  EXPECT_TRUE(Form->RedtResults->toPlainText().isEmpty());
  EXPECT_EQ(Form->edtCounter->text(), "0");
  EXPECT_EQ(Form->edtPages->text(), "4");
  ExpectIdleAfterRun();
  Update();
  EXPECT_FALSE(Form->BitBtnStart->isEnabled());
}

TEST_F(BatchRun, EmptySearchListIsReportedButUntickedItemsRun) {
  Tick({0, 6}, false);
  StartRun();
  EXPECT_TRUE(Seams->Boxes.empty());
  EXPECT_EQ(PaneLines(), (std::vector<std::string>{"\"Filename\",\"Page\"", Record("A.tif", 1, ""),
                                                   Record("A.tif", 2, ""), Record("b.TIF", 1, ""),
                                                   Record("sub/c.tif", 1, "")}));
  for (int i = 0; i < 9; ++i) {
    Form->listboxTags->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    Update();
    Form->BitBtnDeleteTagEntry->click();
  }
  ASSERT_EQ(Form->listboxTags->count(), 0);
  StartRun();
  EXPECT_EQ(Seams->Boxes,
            (std::vector<std::string>{"message: At least one tag has to be selected"}));
  EXPECT_TRUE(Form->RedtResults->toPlainText().isEmpty());
  EXPECT_EQ(Form->edtCounter->text(), "0");
  ExpectIdleAfterRun();
}

TEST_F(BatchRun, StopAfterTheFirstFileEndsTheRunWithWhatWasWritten) {
  std::vector<std::string> shown; // what the window shows when it gets its first events
  DuringRun([&] {
    shown = {Form->edtCounter->text().toStdString(), Form->edtPages->text().toStdString(),
             Form->Label3->text().toStdString(), Panel(1), Form->StatusBar2->text().toStdString()};
    Form->btnStop->click();
  });
  StartRun();
  EXPECT_EQ(shown, (std::vector<std::string>{"1", "2", File("A.tif"), File("A.tif"),
                                             "reading... " + Root}));
  const std::vector<std::string> all = AllRecords();
  EXPECT_EQ(PaneLines(), (std::vector<std::string>(all.begin(), all.begin() + 3)));
  EXPECT_EQ(Form->edtCounter->text(), "1");
  EXPECT_EQ(Form->FTiffFile->FileName(), File("A.tif"));
  ExpectIdleAfterRun();
  // The next Start runs whole again.
  StartRun();
  EXPECT_EQ(PaneLines(), AllRecords());
}

TEST_F(BatchRun, ClosingTheWindowStopsTheRun) {
  Form->show();
  DuringRun([this] { Form->close(); });
  StartRun();
  EXPECT_FALSE(Form->isVisible());
  EXPECT_EQ(PaneLines().size(), 3u);
}

TEST_F(BatchRun, ControlsAreHeldDuringTheRunWhateverTheRulesSay) {
  std::vector<bool> during;
  std::vector<bool> duringAfterUpdate;
  std::vector<bool> free;
  Form->listboxTags->setCurrentRow(3, QItemSelectionModel::ClearAndSelect);
  Form->edtTagNumber->setText("33");
  Update();
  const std::vector<bool> before = RunControls();
  DuringRun([&] {
    during = RunControls();
    Form->UpdateActions(); // an idle moment, as a modal box during the run would give
    duringAfterUpdate = RunControls();
    free = FreeControls();
  });
  StartRun();
  const std::vector<bool> held{true,  false, false, false, false, false, false,
                               false, false, false, false, false, false, false};
  EXPECT_EQ(during, held);
  EXPECT_EQ(duringAfterUpdate, held);
  EXPECT_EQ(free, std::vector<bool>(7, true)); // the save button follows its rule: records exist
  EXPECT_EQ(RunControls(), before);
  EXPECT_EQ(before, (std::vector<bool>{false, true, true, true, true, true, true, true, true, true,
                                       true, true, true, true}));
  EXPECT_EQ(Form->listboxTags->currentRow(), 3);
}

TEST_F(BatchRun, OptionsChangedDuringTheRunApplyFromTheNextRecord) {
  DuringRun([this] {
    Form->cmbbxSeperator->setCurrentText(";");
    Form->chkbxSplitFileNameAndPath->setChecked(true);
    Tick({6}, false);
  });
  StartRun();
  const std::string root = File("");
  EXPECT_EQ(PaneLines(),
            (std::vector<std::string>{AllRecords()[0], AllRecords()[1], AllRecords()[2],
                                      "\"" + root + "\";\"b.TIF\";\"1\";\"200\"",
                                      "\"" + root + "sub/\";\"c.tif\";\"1\";\"300\""}));
}

TEST_F(BatchRun, ReaderMessagesStayHiddenDuringTheRun) {
  // The second directory's offset points past the end of the file: the Info tab would say so.
  TTiffBuilder b;
  b.Header(8);
  b.Directory(8, {b.ShortEntry(256, 10)}, 4000);
  SaveAt(b, "sub/dangling.tif");
  StartRun();
  EXPECT_TRUE(Seams->Boxes.empty());
  // The second page is listed without entries, as the Info tab lists it.
  const std::vector<std::string> lines = PaneLines();
  EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()),
            (std::vector<std::string>{Record("sub/dangling.tif", 1, ",\"10\",\"\""),
                                      Record("sub/dangling.tif", 2, ",\"\",\"\"")}));
}

TEST_F(BatchRun, StartNeedsAnExistingDirectory) {
  for (const auto& [path, enabled] : std::vector<std::pair<std::string, bool>>{
           {Root, true}, {File("A.tif"), false}, {File("missing"), false}, {"", false}}) {
    Form->edtStartDir->setText(QString::fromStdString(path));
    Update();
    EXPECT_EQ(Form->BitBtnStart->isEnabled(), enabled) << path;
  }
}

TEST_F(BatchRun, DirectoryDialogStartsEmptyAndReplacesTheTextWhenConfirmed) {
  Batch->DirectoryAnswers = {QString(), QString::fromStdString(File("sub"))};
  Form->spdBtnStartingDir->click();
  EXPECT_EQ(Form->edtStartDir->text().toStdString(), Root);
  Form->spdBtnStartingDir->click();
  EXPECT_EQ(Form->edtStartDir->text().toStdString(), File("sub"));
  EXPECT_EQ(Batch->DirectoryStarts, (std::vector<QString>{QString(), QString()}));
}

} // namespace
} // namespace lodestar::test
