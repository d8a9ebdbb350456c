// Saving the results pane, and the promise that the Batch tab's saved file and
// `lodestar-cli batch --output` hold the same bytes for the same tree and options.
#include "BatchTestSupport.h"

#include <QProcess>
#include <QToolButton>

namespace lodestar::test {
namespace {

class BatchSave : public BatchTest {
protected:
  BatchSave() {
    Tiff("a.tif", 100, 2, "one");
    Tiff("sub/b.tif", 200);
    Tick({0, 6});
  }

  std::string Records() const {
    return "\"Filename\",\"Page\",\"Imagewidth\",\"Software\"\r\n\"" + File("a.tif") +
           "\",\"1\",\"100\",\"one\"\r\n\"" + File("a.tif") + "\",\"2\",\"100\",\"one\"\r\n\"" +
           File("sub/b.tif") + "\",\"1\",\"200\",\"\"\r\n";
  }
};

TEST_F(BatchSave, EnabledOnlyWhileThePaneHoldsText) {
  EXPECT_FALSE(Form->SpeedButton2->isEnabled());
  Form->cbAddDescription->setChecked(false);
  Form->cbIncludeRoot->setChecked(false);
  Form->cbIncludeSubDirectories->setChecked(false);
  StartRun();
  EXPECT_FALSE(Form->SpeedButton2->isEnabled());
  Form->RedtResults->insertPlainText("typed by hand");
  Update();
  EXPECT_TRUE(Form->SpeedButton2->isEnabled());
}

TEST_F(BatchSave, WritesCrLfLinesAndReplacesTheFileWithoutAsking) {
  StartRun();
  const std::string name = Dir.File("results"); // no extension, none added
  EXPECT_EQ(SaveAs(name), Records());
  Form->RedtResults->appendPlainText("edited");
  EXPECT_EQ(SaveAs(name), Records() + "edited\r\n");
  EXPECT_EQ(Batch->SaveDialogs, 2);
  EXPECT_TRUE(Seams->Boxes.empty());
  EXPECT_FALSE(std::filesystem::exists(name + ".csv"));
  EXPECT_FALSE(std::filesystem::exists(name + ".txt"));
}

TEST_F(BatchSave, UncreatableFileGoesToTheErrorReportAndKeepsThePane) {
  StartRun();
  const QString before = Form->RedtResults->toPlainText();
  const std::string name = Dir.File("no-such-dir/results.csv");
  SaveAs(name);
  EXPECT_EQ(Seams->Boxes, (std::vector<std::string>{"error: Cannot create file \"" + name +
                                                    "\". No such file or directory."}));
  EXPECT_EQ(Form->RedtResults->toPlainText(), before);
}

TEST_F(BatchSave, SaveDuringARunWritesTheRecordsSoFar) {
  const std::string name = Dir.File("partial.csv");
  DuringRun([&] { SaveAs(name); });
  StartRun();
  const std::string all = Records();
  EXPECT_EQ(Bytes(name), all.substr(0, all.find(File("sub/b.tif")) - 1));
}

// --- Both fronts over one tree ---

struct TFrontCase {
  const char* Name;
  QStringList CliOptions;
  std::function<void(TForm1&)> TabOptions;
};

class BatchFronts : public BatchTest, public testing::WithParamInterface<TFrontCase> {
protected:
  // Values that a pane could change on the way: a no-break space, line breaks of all three
  // kinds, a double quote, a letter beyond ASCII, blanks to trim; a second page; files that give
  // no record or an error-free partial one.
  void BuildTree() {
    TTiffBuilder b;
    b.Pages({{b.ShortEntry(256, 1728), b.AsciiEntry(270, "line one\nline two\r\nthree\rend"),
              b.AsciiEntry(305, std::string(" Caf\xe9\xa0Scan \"2\"  ") + '\0'),
              b.AsciiEntry(315, "  ")},
             {b.ShortEntry(256, 1728), b.RationalEntry(282, 300, 1)}});
    SaveAt(b, "Archive 1/scan.tif");
    Tiff("Archive 1/B.TIFF", 640, 3, "second");
    Tiff("a.tif", 100, 1, "root");
    Text("broken.tif", "II*\0 but nothing more");
    TTiffBuilder d;
    d.Header(8);
    d.Directory(8, {d.ShortEntry(256, 10)}, 4000);
    SaveAt(d, "deep/er/dangling.tif");
  }
};

TEST_P(BatchFronts, SavedPaneEqualsTheCommandsOutputFile) {
  BuildTree();
  GetParam().TabOptions(*Form);
  StartRun();
  ASSERT_TRUE(Seams->Boxes.empty());
  const std::string tab = SaveAs(Dir.File("tab.csv"));

  QProcess cli;
  cli.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  cli.start(LODESTAR_CLI,
            QStringList{"batch", QString::fromStdString(Root)}
                << GetParam().CliOptions
                << QStringList{"--output", QString::fromStdString(Dir.File("cli.csv"))});
  ASSERT_TRUE(cli.waitForFinished(30000));
  ASSERT_EQ(cli.exitCode(), 0);
  const std::string command = Bytes(Dir.File("cli.csv"));
  EXPECT_GT(std::count(tab.begin(), tab.end(), '\n'), 3);
  EXPECT_EQ(tab, command);
}

INSTANTIATE_TEST_SUITE_P(
    SameOptions, BatchFronts,
    testing::Values(TFrontCase{"NineDefaultsAllTicked",
                               {},
                               [](TForm1& form) {
                                 for (int i = 0; i < form.listboxTags->count(); ++i)
                                   form.listboxTags->item(i)->setCheckState(Qt::Checked);
                               }},
                    TFrontCase{"SplitSeparatorOfTwoFirstPageUntrimmed",
                               {"--tags", "256,270,305:Soft", "--separator", "; ", "--split-path",
                                "--first-page-only", "--no-trim"},
                               [](TForm1& form) {
                                 form.listboxTags->item(0)->setCheckState(Qt::Checked);
                                 form.listboxTags->item(3)->setCheckState(Qt::Checked);
                                 form.edtTagNumber->setText("305");
                                 form.edtTagDescription->setText("Soft");
                                 form.UpdateActions();
                                 form.BitBtnAddTagEntry->click();
                                 form.cmbbxSeperator->setCurrentText("; ");
                                 form.chkbxSplitFileNameAndPath->setChecked(true);
                                 form.cbAllPages->setChecked(false);
                                 form.cbTrimValue->setChecked(false);
                               }},
                    TFrontCase{"NoHeaderNoRootEmptySeparator",
                               {"--tags", "305,256", "--no-header", "--no-root", "--separator", ""},
                               [](TForm1& form) {
                                 form.listboxTags->item(6)->setCheckState(Qt::Checked);
                                 form.listboxTags->item(0)->setCheckState(Qt::Checked);
                                 form.listboxTags->setCurrentRow(6);
                                 for (int i = 0; i < 6; ++i) {
                                   form.UpdateActions();
                                   form.spBtnMoveTagUp->click();
                                 }
                                 form.cbAddDescription->setChecked(false);
                                 form.cbIncludeRoot->setChecked(false);
                                 form.cmbbxSeperator->setCurrentText("");
                               }}),
    [](const testing::TestParamInfo<TFrontCase>& info) { return std::string(info.param.Name); });

} // namespace
} // namespace lodestar::test
