// The Batch tab's window side: a run (what it shows, the controls it holds, Stop, start messages),
// saving, and the saved pane against `lodestar-cli batch --output`; the engine is in tests/batch.
#include "AppTestSupport.h"
#include "cLodestar.h"

namespace lodestar::test {
namespace {

// A main window whose starting directory holds A.tif (two pages) and sub/c.tif, with the items
// 256 and 305 of the search list ticked.
class BatchTab : public AppTest {
protected:
  BatchTab() {
    Start();
    TTiffBuilder a;
    const std::vector<TEntryDraft> page{a.ShortEntry(256, 100), a.AsciiEntry(305, "Scan A")};
    SaveAt(a.Pages({page, page}), "A.tif");
    TTiffBuilder c;
    SaveAt(c.Pages({{c.ShortEntry(256, 300)}}), "sub/c.tif");
    Form->edtStartDir->setText(QString::fromStdString(Root));
    Tick(0);
    Tick(6);
    Update();
  }

  void SaveAt(const TTiffBuilder& b, const std::string& relative) {
    std::filesystem::create_directories(std::filesystem::path(File(relative)).parent_path());
    b.Save(File(relative));
  }
  std::string File(const std::string& relative) const { return Root + "/" + relative; }

  // The first n records of a run over the tree, each ended by end.
  std::string Records(std::size_t n, const std::string& end = "\n") const {
    const std::string a = "\"" + File("A.tif") + "\",\"";
    const std::vector<std::string> all = {
        "\"Filename\",\"Page\",\"Imagewidth\",\"Software\"", a + "1\",\"100\",\"Scan A\"",
        a + "2\",\"100\",\"Scan A\"", "\"" + File("sub/c.tif") + "\",\"1\",\"300\",\"\""};
    std::string text;
    for (std::size_t i = 0; i < n; ++i)
      text += all[i] + end;
    return text;
  }
  // The pane's text, its last line ended too.
  std::string Pane() const { return Form->RedtResults->toPlainText().toStdString() + "\n"; }
  std::string Counters() const {
    return (Form->edtCounter->text() + "/" + Form->edtPages->text()).toStdString();
  }

  void Select(int row) {
    Form->listboxTags->selectionModel()->setCurrentIndex(Form->listboxTags->model()->index(row, 0),
                                                         QItemSelectionModel::ClearAndSelect);
    Update();
  }
  // A click as a user gives it: the idle update has run before and runs after.
  void Click(QAbstractButton* button) {
    Update();
    button->click();
    Update();
  }
  // Chooses path in the save dialog and returns what was written there.
  std::string SaveAs(const std::string& path) {
    Seams->Answers.push_back(QString::fromStdString(path));
    Click(Form->SpeedButton2);
    return FileBytes(path);
  }

  std::string Root = Dir.File("tree");
};

TEST_F(BatchTab, RunShowsRecordsCountersAndTheLastFileAndKeepsCountingPages) {
  Click(Form->BitBtnStart);
  EXPECT_EQ(Pane(), Records(4));
  EXPECT_EQ(Counters(), "2/3");
  const std::string last = File("sub/c.tif");
  ASSERT_NE(Form->TiffFile(), nullptr);
  EXPECT_EQ(Form->Label3->text().toStdString() + "|" + Panel(1) + "|" +
                Form->TiffFile()->FileName(),
            last + "|" + last + "|" + last);
  Click(Form->BitBtnStart); // the files counter starts anew, the pages counter goes on
  EXPECT_EQ(Counters(), "2/6");
  Form->edtPages->setText("abc"); // not a number: both count on from 1
  Click(Form->BitBtnStart);
  EXPECT_EQ(Counters(), "2/2");
  std::filesystem::remove_all(Root); // after the idle update enabled Start
  Form->BitBtnStart->click();
  EXPECT_EQ(Seams->Boxes, std::vector<std::string>{"error box: Starting directory does not exist"});
  EXPECT_EQ(Pane() + Form->edtCounter->text().toStdString(), "\n0"); // both cleared
}

// Stop; the controls a run holds (Start, the list's and the options' buttons), those it leaves
// free (the counters, the separator, the ticks, Save); the pane saved so far.
TEST_F(BatchTab, AtItsFirstEventsARunShowsItsProgressHoldsItsControlsAndStops) {
  Select(3); // and a tag number: their rules would enable every button
  Form->edtTagNumber->setText("33");
  const auto controls = [this] {
    return Enabled({Form->btnStop, Form->BitBtnStart, Form->BitBtnAddTagEntry,
                    Form->BitBtnDeleteTagEntry, Form->spBtnMoveTagUp, Form->spBtnMoveTagDown,
                    Form->spbtnSort, Form->btnReset, Form->BitBtnClose, Form->spdBtnStartingDir,
                    Form->edtCounter, Form->edtPages, Form->GroupBoxExportOptions,
                    Form->cmbbxSeperator, Form->listboxTags, Form->SpeedButton2});
  };
  std::vector<std::string> during;
  QTimer::singleShot(0, Form.get(), [&] {
    Update(); // an idle moment: the held controls' rules wait
    during = {Counters(), Form->Label3->text().toStdString(),
              Form->StatusBar2->text().toStdString(), controls(), SaveAs(Dir.File("so-far.csv"))};
    Form->btnStop->click();
  });
  Click(Form->BitBtnStart);
  EXPECT_EQ(during, (std::vector<std::string>{"1/2", File("A.tif"), "reading... " + Root,
                                              "1000000000000111", Records(3, "\r\n")}));
  EXPECT_EQ(Pane(), Records(3));
  EXPECT_EQ(controls(), "0111111111111111");
}

// Values a pane could change on the way: line breaks of all three kinds, a no-break space, a
// double quote, a letter beyond ASCII, blanks. Saved twice under a name without extension (the
// dialog has asked before), then where it cannot be.
TEST_F(BatchTab, SavedPaneEqualsTheCommandsOutputFileForTheSameOptions) {
  EXPECT_FALSE(Form->SpeedButton2->isEnabled()); // nothing to save yet
  TTiffBuilder b;
  b.Pages({{b.ShortEntry(256, 1728), b.AsciiEntry(270, "line one\nline two\r\nthree\rend"),
            b.AsciiEntry(305, std::string(" Caf\xe9\xa0Scan \"2\"  ") + '\0')},
           {b.ShortEntry(256, 1728)}});
  SaveAt(b, "Archive 1/scan.tif");
  Form->edtTagNumber->setText("270");
  Form->edtTagDescription->setText("Notes");
  Click(Form->BitBtnAddTagEntry);
  Form->cmbbxSeperator->setCurrentText("; ");
  Form->chkbxSplitFileNameAndPath->setChecked(true);
  Form->cbTrimValue->setChecked(false);
  Form->cbIncludeRoot->setChecked(false);
  Click(Form->BitBtnStart);
  const std::string name = Dir.File("results");
  SaveAs(name);
  const std::string tab = SaveAs(name);
  ASSERT_EQ(QProcess::execute(LODESTAR_CLI,
                              {"batch", QString::fromStdString(Root), "--tags", "256,305,270:Notes",
                               "--separator", "; ", "--split-path", "--no-trim", "--no-root",
                               "--output", QString::fromStdString(Dir.File("cli.csv"))}),
            0);
  EXPECT_GT(std::count(tab.begin(), tab.end(), '\n'), 5);
  EXPECT_EQ(tab, FileBytes(Dir.File("cli.csv")));
  const std::string bad = Dir.File("no-such-dir/results.csv");
  SaveAs(bad);
  EXPECT_EQ(Seams->Boxes, (std::vector<std::string>{"error: Cannot create file \"" + bad +
                                                    "\". No such file or directory."}));
}

} // namespace
} // namespace lodestar::test
