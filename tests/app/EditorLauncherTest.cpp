// The ascii editor and the outside launchers in the window offscreen, with the dialogs, launches
// and boxes answered by script; the real shell seam against a stand-in xdg-open.
#include "AppTestSupport.h"
#include "Launchers.h"
#include "StatusPanels.h"
#include "TAsciiEdit.h"
#include "TQtUiSeams.h"
#include "UAboutForm.h"
#include "editdlg.h"

namespace lodestar::test {
namespace {

namespace fs = std::filesystem;
const std::string Nul(1, '\0');
// Row 22 of an A4 page is the Software text "Scan" with its NUL.
constexpr int SoftwareRow = 22;

class Editor : public AppTest {
protected:
  // Double-clicks a row of the listing as the user does.
  void DoubleClick(int row) {
    const QModelIndex index = Form->ListView1Model->index(row, 1);
    Form->ListView1->scrollTo(index);
    const QPoint at = Form->ListView1->visualRect(index).center();
    QTest::mouseClick(Form->ListView1->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(Form->ListView1->viewport(), Qt::LeftButton, {}, at);
    Update();
  }
  // The editor's next showing: replaces the text by typing and closes with result.
  void Type(const QString& text, int result = QDialog::Accepted) {
    Seams->Dialogs.push_back([=, this](QDialog& dialog) {
      Shown = dynamic_cast<TEditForm*>(&dialog);
      if (!Shown)
        return int(QDialog::Rejected);
      ShownMaxLength = Shown->Edit1->maxLength();
      Shown->Edit1->selectAll();
      QTest::keyClicks(Shown->Edit1, text);
      return result;
    });
  }
  // bytes with put written over them at the value position of the listing's row.
  std::string With(std::string bytes, int row, const std::string& put) const {
    return bytes.replace(std::stoul(Cell(row, 7)), put.size(), put);
  }
  // A shown window listing page 1 of path.
  void StartWith(const std::string& path) {
    Start();
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    OpenByDialog(path);
  }

  // The editor last shown; it is freed when the double-click's handler returns, so only its
  // address is compared afterwards.
  TEditForm* Shown = nullptr;
  int ShownMaxLength = -1;
};

TEST_F(Editor, WritesIntoTheListedFileAndListsTheSamePageAgain) {
  const std::string path = A4(3);
  StartWith(path);
  Step(Form->ActionNextPage);
  Step(Form->ActionNextPage);
  const std::string expected = With(FileBytes(path), SoftwareRow, "x   ");
  Type("x");
  DoubleClick(SoftwareRow);
  ASSERT_NE(Shown, nullptr);
  EXPECT_EQ(FileBytes(path), expected);
  EXPECT_EQ(Cell(2, 4) + " " + Panel(1), "3 Page 3 of 3");
  EXPECT_EQ(Rows()[SoftwareRow].SubItems[3], "x   " + Nul);
  EXPECT_TRUE(Seams->Boxes.empty());
}

// Non-tag rows open nothing; a Short row says why; Cancel or no change write nothing and keep the
// listing; a NUL alone (count 1) is left as it is but the file is listed again.
TEST_F(Editor, NonAsciiRowsCancelNoChangeAndCountOneWriteNothing) {
  TTiffBuilder b; // tag rows 5 to 7
  b.Pages({{b.AsciiEntry(305, "Scan" + Nul), b.AsciiEntry(315, Nul), b.ShortEntry(256, 1)}});
  const std::string path = b.Save(Dir.File("nul.tif")), before = FileBytes(path);
  StartWith(path);
  Type("x");
  for (int row : {0, 3, 4, int(Rows().size()) - 2, int(Rows().size()) - 1})
    DoubleClick(row);
  EXPECT_TRUE(Seams->Boxes.empty());
  DoubleClick(7);
  EXPECT_EQ(Seams->Boxes, std::vector<std::string>{"message: Only ASCII values could be edited."});
  ASSERT_EQ(Shown, nullptr);
  Seams->Dialogs.clear();
  Form->StatusBar1Panels[0]->setText("not reloaded");
  Type("x", QDialog::Rejected);
  DoubleClick(5);
  Seams->Dialogs.push_back([](QDialog&) { return int(QDialog::Accepted); }); // no change
  DoubleClick(5);
  EXPECT_EQ(Panel(0), "not reloaded");
  Type("x");
  DoubleClick(6);
  EXPECT_EQ(ShownMaxLength, 1);
  EXPECT_EQ(Panel(0), FileNamePanelText(path));
  EXPECT_EQ(FileBytes(path), before);
}

// After a failed open the listed file is written, not the failed one; a file changed since it was
// listed is refused and listed again.
TEST_F(Editor, WritesOnlyTheListedFileAsItWasListed) {
  const std::string path = A4(1), other = Dir.File("other.tif");
  StartWith(path);
  std::ofstream(other) << "GIF89a, not a TIFF file at all";
  OpenByDialog(other);
  ASSERT_EQ(Form->TiffFile()->FileName(), other);
  const std::string written = With(FileBytes(path), SoftwareRow, "Lode");
  Seams->Boxes.clear();
  Type("Lodestar");
  DoubleClick(SoftwareRow);
  EXPECT_EQ(FileBytes(path), written);
  EXPECT_EQ(FileBytes(other), "GIF89a, not a TIFF file at all");
  EXPECT_EQ(Form->TiffFile()->FileName(), path);
  EXPECT_TRUE(Seams->Boxes.empty());

  const std::string changed = With(written, SoftwareRow, "Scum");
  std::ofstream(path, std::ios::binary) << changed;
  Type("x");
  DoubleClick(SoftwareRow);
  EXPECT_EQ(Seams->Boxes, std::vector<std::string>{std::string("message: ") + FileChangedText});
  EXPECT_EQ(FileBytes(path), changed);
  EXPECT_EQ(Rows()[SoftwareRow].SubItems[3], "Scum" + Nul); // listed again
}

// The field takes only what Windows-1252 can store; the homepage panel launches the homepage.
TEST_F(Editor, TheFieldTakesOnlyWindows1252) {
  StartWith(A4(1));
  Seams->Dialogs.push_back([](QDialog& dialog) {
    auto& form = dynamic_cast<TEditForm&>(dialog);
    EXPECT_EQ(form.Edit1->text(), "Scan");
    form.Edit1->clear();
    for (QChar typed : QString::fromUtf8("a\u2713\u20AC\u0100b")) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(typed));
      QApplication::sendEvent(form.Edit1, &press);
    }
    EXPECT_EQ(form.Edit1->text(), QString::fromUtf8("a\u20ACb"));
    form.Panel3->click();
    return int(QDialog::Rejected);
  });
  DoubleClick(SoftwareRow);
  EXPECT_EQ(Seams->Launched, QStringList{HomePageAddress});
}

using Launch = AppTest;

TEST_F(Launch, TheViewerGetsTheFilesPathAsOneArgumentAndItsFailureComesLater) {
  Start();
  const std::string path = A4(1, "scan \"1\" $(touch x); 'a'.tif");
  OpenByDialog(path);
  Seams->LaunchCodes = {31, 1, 2};
  for (int i = 0; i < 3; ++i)
    Step(Form->ActionLaunchViewer);
  EXPECT_EQ(Seams->Launched, QStringList(3, QString::fromStdString(path)));
  EXPECT_TRUE(Seams->Boxes.empty()); // nothing waits for the launch
  Seams->FinishLaunches();
  EXPECT_EQ(Seams->Boxes,
            (std::vector<std::string>{
                "error: There is no application associated with the given filename extension.",
                "error: The viewer or file to launch was not found."}));
}

TEST_F(Launch, CalculatorHomePageAndMail) {
  Start();
  Step(Form->ActionCalculator);
  EXPECT_EQ(Seams->CalculatorsStarted, 1);
  Seams->CalculatorFound = false;
  Step(Form->ActionCalculator);
  EXPECT_EQ(Seams->Boxes,
            std::vector<std::string>{"error: The viewer or file to launch was not found."});
  Seams->LaunchCodes = {31, 31};
  Step(Form->ActionStartHomepage);
  Step(Form->Emailsupport1);
  Seams->FinishLaunches();
  EXPECT_EQ(Seams->Launched,
            (QStringList{HomePageAddress, QString::fromStdString(SupportMailText())}));
  EXPECT_EQ(Seams->Boxes.size(), 1u); // their failures are not reported
}

// The about box's links launch and leave it open.
TEST_F(Launch, AboutBoxLinks) {
  Start();
  Seams->Dialogs.push_back([](QDialog& dialog) {
    auto& about = dynamic_cast<TFrmAbout&>(dialog);
    about.SpeedButton1->click();
    about.BitBtn1->click();
    about.BitBtn2->click();
    return about.result();
  });
  Step(Form->Aboutlodestar1);
  EXPECT_EQ(Seams->Launched, (QStringList{QString::fromStdString(SupportMailText()),
                                          MakerSiteAddress, HomePageAddress}));
}

// The real seam, with stand-ins for xdg-open and a calculator on the path.
class ShellSeam : public ::testing::Test {
protected:
  void SetUp() override { FPath = qgetenv("PATH"); }
  void TearDown() override { qputenv("PATH", FPath); }
  void Put(const std::string& name, const std::string& script) {
    const std::string file = Dir.File(name);
    std::ofstream(file) << "#!/bin/sh\n" << script;
    fs::permissions(file, fs::perms::owner_all);
    qputenv("PATH", QByteArray::fromStdString(Dir.Path().string()));
  }
  // Opens target; the failure code reported, or -1 once the stand-in has finished without one.
  int Open(const QString& target) {
    int code = -1;
    bool failed = false;
    TQtUiSeams().ShellOpen(target, [&](int c) {
      code = c;
      failed = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return failed || fs::exists(Dir.File("done")); }, 10000));
    QTest::qWait(100);
    fs::remove(Dir.File("done"));
    return code;
  }

  TTempDir Dir;
  QByteArray FPath;
};

TEST_F(ShellSeam, XdgOpenGetsOneArgumentAndItsExitStatusBecomesTheCode) {
  const std::string args = Dir.File("args");
  const QString target = QString::fromUtf8("/tmp/a b \"q\" $(touch x); 'c'.tif");
  for (const auto& [exit, code] :
       std::vector<std::pair<int, int>>{{0, -1}, {2, 2}, {3, 31}, {4, 27}, {1, -1}}) {
    SCOPED_TRACE(exit);
    Put("xdg-open", "printf '%s|%s' \"$#\" \"$1\" >'" + args + "'\n: >'" + Dir.File("done") +
                        "'\nexit " + std::to_string(exit) + "\n");
    EXPECT_EQ(Open(target), code);
    EXPECT_EQ(FileBytes(args), "1|" + target.toStdString());
  }
  fs::remove(Dir.File("xdg-open"));
  EXPECT_EQ(Open(target), XdgOpenMissingCode);
}

} // namespace
} // namespace lodestar::test
