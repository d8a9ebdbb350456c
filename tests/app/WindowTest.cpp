// The main window offscreen: state before any file, idle-time navigation rules, the roads to
// OpenTiffFile, listing and panels, HEX/DEC, failure paths, and the panel and error report texts at
// their edges. The rows' texts are checked on BuildReportRows in tests/viewer; here, their display.
#include "AppTestSupport.h"
#include "ErrorReport.h"
#include "StatusPanels.h"
#include "TDownButton.h"

namespace lodestar::test {
namespace {

using Window = AppTest;

// Before a file only what needs none is enabled; the tools the program never had stay disabled.
TEST_F(Window, ActionsThatNeedAFileWaitForOneAndExitOrCloseEndTheWindow) {
  Start();
  const auto states = [this] {
    std::string enabled;
    for (const QAction* a : {Form->ActionLaunchViewer, Form->ActionPrint, Form->ActionPrintPreview,
                             Form->ActionNextPage, Form->Open1, Form->Exportcurrentimagetofile1})
      enabled += a->isEnabled() ? '1' : '0';
    return enabled;
  };
  EXPECT_EQ(states(), "000010");
  OpenByDialog(A4(1));
  EXPECT_EQ(states(), "111010");
  Form->show();
  Form->Exit1->trigger();
  EXPECT_FALSE(Form->isVisible());
  Form->show();
  Form->BitBtnClose->click();
  EXPECT_FALSE(Form->isVisible());
}

TEST_F(Window, IdleUpdateAppliesTheNavigationRules) {
  Start();
  // The panel, the "Current Page" cell, each arrow's state.
  auto expect = [&](int pages, int page, bool next, bool previous) {
    const std::string p = std::to_string(page);
    EXPECT_EQ(Panel(1) + "|" + Cell(2, 4), "Page " + p + " of " + std::to_string(pages) + "|" + p);
    EXPECT_EQ(Form->tbNext->isEnabled(), next) << p;
    EXPECT_EQ(Form->tbPrevious->isEnabled(), previous) << p;
  };
  OpenByDialog(A4(1));
  expect(1, 1, false, false);
  // The rules run when the application is about to wait for events.
  Seams->OpenAnswers.push_back(QString::fromStdString(A4(3)));
  Form->Open1->trigger();
  EXPECT_FALSE(Form->tbNext->isEnabled());
  QEventLoop loop;
  QTimer::singleShot(50, &loop, &QEventLoop::quit);
  loop.exec();
  expect(3, 1, true, false);
  Step(Form->ActionNextPage);
  expect(3, 2, true, true);
  Step(Form->ActionNextPage);
  expect(3, 3, false, true);
  // Rules that give the same result leave the actions alone, or every idle moment would repaint.
  int changes = 0;
  for (QAction* a : Form->ActionList1)
    QObject::connect(a, &QAction::changed, [&changes] { ++changes; });
  Update();
  EXPECT_EQ(changes, 0);
}

TEST_F(Window, OpenDialogConfirmedListsPageOneAndCancelledChangesNothing) {
  Start();
  const std::string path = A4(3);
  OpenByDialog(path);
  EXPECT_EQ(Seams->OpenFilters, QStringList{"Tiff Files (*.tif *.tiff);;Alle files (*)"});
  EXPECT_EQ(Cell(0, 3), "a4.tif");
  EXPECT_EQ(Panel(0), FileNamePanelText(path));
  EXPECT_EQ(Panel(2), "Width:   209.97 mm;  Length:   297.01 mm");
  // The row keeps the whole "Ascii" value; the list shows it up to its first NUL.
  EXPECT_EQ(Rows()[22].SubItems[3], std::string("Scan\0", 5));
  EXPECT_EQ(Cell(22, 4), "Scan");
  Step(Form->ActionNextPage);
  const TReportRows before = Form->ListedRows();
  const TTiffFile* file = Form->TiffFile();
  Form->ToolButton1->click(); // cancelled
  EXPECT_EQ(Seams->OpenFilters.size(), 2);
  EXPECT_EQ(Form->TiffFile(), file);
  EXPECT_EQ(Rows(), before.Rows);
  EXPECT_EQ(Panel(1), "Page 2 of 3");
  // A reload hands in the path held by the very object that the open frees first.
  Form->OpenTiffFile(Form->TiffFile()->FileName(), 2);
  EXPECT_EQ(Form->ListedRows().FilePath, path);
  EXPECT_TRUE(Seams->Boxes.empty());
}

TEST(FileNamePanel, ShowsPathsUpTo29CharactersWholeAndOnlyTheLast31OfLongerOnes) {
  const std::string p40 = "/abcdefghijklmnopqrstuvwxyz0123456789ABC", p31 = p40.substr(9);
  EXPECT_EQ(FileNamePanelText(p40.substr(11)), "Filename: " + p40.substr(11));
  EXPECT_EQ(FileNamePanelText(p40.substr(10)), "..." + p40.substr(10));
  EXPECT_EQ(FileNamePanelText(p31), "..." + p31);
  EXPECT_EQ(FileNamePanelText(p40), "..." + p31);
  // Characters are counted, not bytes: 10 two-byte "é" and 25 more are 35 characters.
  std::string wide;
  for (int i = 0; i < 10; ++i)
    wide += "\xC3\xA9";
  EXPECT_EQ(FileNamePanelText(wide + p31.substr(6)), "..." + wide.substr(8) + p31.substr(6));
}

TEST(ErrorReport, AppendsAFullStopAfterALastCharacterThatSortsAfterThePoint) {
  for (std::string message : {"Not a valid tiff file", "why?", "dir/", "caf\xC3\xA9"})
    EXPECT_EQ(ErrorReportText(message), message + ".");
  for (std::string message : {"done.", "a-", "stop!", ""})
    EXPECT_EQ(ErrorReportText(message), message);
}

// The first of several files given on the command line or dropped opens; a folder or a missing
// path is passed over silently. A drop after a failed start opens the file all the same.
TEST_F(Window, CommandLineAndDropsOpenTheFirstOfSeveralFilesAndIgnoreFoldersAndMissingPaths) {
  const QString dir = QString::fromStdString(Dir.Path().string()),
                a = QString::fromStdString(A4(1));
  for (const auto& [argument, listed] : std::vector<std::pair<QString, std::string>>{
           {QString::fromStdString(A4(3, "c.tif")), "c.tif"}, {dir, ""}, {"/missing.tif", ""}}) {
    Start({argument, a});
    EXPECT_EQ(Cell(0, 3), listed) << argument.toStdString();
    EXPECT_TRUE(Seams->Boxes.empty());
  }
  const QString bad = QString::fromStdString(TTiffBuilder().Header(8, 44).Save(Dir.File("bad")));
  Start({bad});
  EXPECT_EQ(Seams->Boxes, std::vector<std::string>{"error: Not a valid tiff file."});
  QMimeData data;
  for (const auto& [paths, listed] : std::vector<std::pair<QStringList, std::string>>{
           {{dir}, ""},
           {{"/missing.tif", a}, ""},
           {{Dir.File("c.tif").c_str(), a, bad}, "c.tif"}}) {
    QList<QUrl> urls;
    for (const QString& path : paths)
      urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(9, 9), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Form.get(), &enter);
    QDropEvent drop(QPointF(9, 9), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Form.get(), &drop);
    EXPECT_EQ(Cell(0, 3), listed);
  }
  EXPECT_EQ(Seams->Boxes.size(), 1u);
}

TEST_F(Window, PageWithoutTagsListsSevenRowsAndOneInchInTheLocalesNotation) {
  Start();
  QAbstractItemModelTester tester(Form->ListView1Model,
                                  QAbstractItemModelTester::FailureReportingMode::Fatal);
  TTiffBuilder b;
  b.Header(8).Directory(8, {});
  QLocale::setDefault(QLocale(QLocale::German));
  OpenByDialog(b.Save(Dir.File("empty-page.tif")));
  QLocale::setDefault(QLocale::c());
  EXPECT_EQ(Form->ListView1Model->rowCount(), 7);
  EXPECT_EQ(Panel(2), "Width:    25,40 mm;  Length:    25,40 mm");
}

TEST_F(Window, HexBeforeAnyFileListsTheNextOpenInHexAndEachChangeOfBaseRebuildsOnce) {
  Start();
  Form->tb16->click();
  EXPECT_TRUE(Form->tb16->Down() && !Form->tb10->Down());
  OpenByDialog(A4(3));
  EXPECT_EQ(Rows(), BuildReportRows(*Form->TiffFile(), 1, TDisplayBase::Hex).Rows);
  QSignalSpy rebuilds(Form->ListView1Model, &QAbstractItemModel::modelReset);
  Form->tb10->click();
  EXPECT_EQ(Rows(), BuildReportRows(*Form->TiffFile(), 1, TDisplayBase::Dec).Rows);
  Form->tb16->click();
  Form->tb16->click();
  EXPECT_EQ(rebuilds.count(), 2);
}

const TTiffBuilder B;

struct TFailure {
  const char* Name;
  TTiffBuilder File;     // empty: the path names no file
  const char* Boxes;     // each box shown, ended by "; "
  int Rows;              // -1: the previous listing stays
  const char* PagePanel; // null: panels 0 and 1 stay
  const char* SizePanel; // null: panel 2 stays
};

class Failure : public AppTest, public ::testing::WithParamInterface<TFailure> {};

TEST_P(Failure, TellsTheUserAndKeepsWhatItShouldOnScreen) {
  const TFailure& c = GetParam();
  Start();
  OpenByDialog(A4(1));
  const TReportRows good = Form->ListedRows();
  const std::string goodPanels[] = {Panel(0), Panel(1), Panel(2)};
  const std::string path = Dir.File("failing.tif");
  if (c.File.Size() != 0)
    c.File.Save(path);
  OpenByDialog(path);
  std::string boxes;
  for (const std::string& box : Seams->Boxes)
    boxes += box + "; ";
  EXPECT_EQ(boxes, c.Boxes);
  EXPECT_EQ(Rows().size(), c.Rows < 0 ? good.Rows.size() : std::size_t(c.Rows));
  // The slot holds the new file object even where it could not be read.
  EXPECT_EQ(Form->TiffFile()->FileName(), c.File.Size() == 0 ? "" : path);
  EXPECT_EQ(Form->ListedRows().FilePath, c.Rows < 0 ? good.FilePath : Form->TiffFile()->FileName());
  EXPECT_EQ(Panel(0),
            c.PagePanel ? FileNamePanelText(Form->TiffFile()->FileName()) : goodPanels[0]);
  EXPECT_EQ(Panel(1), c.PagePanel ? c.PagePanel : goodPanels[1]);
  EXPECT_EQ(Panel(2), c.SizePanel ? c.SizePanel : goodPanels[2]);
}

const TFailure Failures[] = {
    {"BadHeader", TTiffBuilder().Header(8, 44).Pages({{B.ShortEntry(256, 1)}}),
     "error: Not a valid tiff file.; ", -1, nullptr, nullptr},
    {"NoPages", TTiffBuilder().Header(0), "message: Input file wrong; ", 5, "Page 1 of 0", ""},
    {"MissingPath", TTiffBuilder(), "message: Input file wrong; ", 5, "Page 1 of 0", ""},
    // The rows read before the blank tag stay listed behind the box.
    {"BlankTag",
     TTiffBuilder()
         .Pages({{B.ShortEntry(256, 1), B.ShortEntry(257, 2), B.ShortEntry(258, 1)}})
         .Truncate(22),
     "message: streamsize; message: 2246; message: Input file wrong; ", 7, "Page 1 of 1",
     "Width:    25.40 mm;  Length:    25.40 mm"},
    {"ResolutionZero",
     TTiffBuilder().Pages({{B.ShortEntry(256, 2480), B.RationalEntry(282, 0, 1)}}),
     "error: Floating point division by zero.; ", 9, "Page 1 of 1", nullptr},
    {"NextPageMissing", TTiffBuilder().Pages({{B.ShortEntry(256, 10)}}).U32(22, 4000),
     "message: 264002; ", 8, "Page 1 of 2", "Width:   254.00 mm;  Length:    25.40 mm"},
};

INSTANTIATE_TEST_SUITE_P(, Failure, ::testing::ValuesIn(Failures),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace lodestar::test
