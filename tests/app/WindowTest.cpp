// The main window offscreen: idle-time navigation rules, command line and drops, failure paths,
// its place and the about box's on small screens, the panel and error report texts at their edges.
#include "AppTestSupport.h"
#include "ErrorReport.h"
#include "StatusPanels.h"
#include "TDownButton.h"
#include "UAboutForm.h"
#include "WindowPlacement.h"

namespace lodestar::test {
namespace {

using Window = AppTest;

// The rules run when the application is about to wait for events; a cancelled open dialog
// changes nothing.
TEST_F(Window, IdleUpdateAppliesTheNavigationRules) {
  Start();
  // The panel, the "Current Page" cell, each arrow's state.
  auto state = [&] {
    return Panel(1) + "|" + Cell(2, 4) + "|" + std::to_string(Form->tbNext->isEnabled()) +
           std::to_string(Form->tbPrevious->isEnabled());
  };
  OpenByDialog(A4(1));
  EXPECT_EQ(state(), "Page 1 of 1|1|00");
  Seams->OpenAnswers.push_back(QString::fromStdString(A4(3)));
  Form->Open1->trigger();
  EXPECT_FALSE(Form->tbNext->isEnabled());
  QEventLoop loop;
  QTimer::singleShot(50, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_EQ(state(), "Page 1 of 3|1|10");
  Step(Form->ActionNextPage);
  EXPECT_EQ(state(), "Page 2 of 3|2|11");
  Step(Form->ActionNextPage);
  EXPECT_EQ(state(), "Page 3 of 3|3|01");
  const TReportRows before = Form->ListedRows();
  Form->ToolButton1->click();
  EXPECT_EQ(Rows(), before.Rows);
  EXPECT_EQ(state(), "Page 3 of 3|3|01");
  Form->tb16->click(); // HEX and back list the same page again
  EXPECT_EQ(Rows(), BuildReportRows(*Form->TiffFile(), 3, TDisplayBase::Hex).Rows);
  Form->tb10->click();
  EXPECT_EQ(Rows(), before.Rows);
}

TEST(FileNamePanel, ShowsPathsUpTo29CharactersWholeAndOnlyTheLast31OfLongerOnes) {
  const std::string p40 = "/abcdefghijklmnopqrstuvwxyz0123456789ABC", p31 = p40.substr(9);
  EXPECT_EQ(FileNamePanelText(p40.substr(11)), "Filename: " + p40.substr(11));
  EXPECT_EQ(FileNamePanelText(p40.substr(10)), "..." + p40.substr(10));
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

const TTiffBuilder B;

// A file that fails to open after a good one: the boxes shown, the rows listed (-1: the previous
// listing stays, and so does its page panel).
TEST_F(Window, FailuresTellTheUserAndKeepWhatTheyShouldOnScreen) {
  const struct {
    TTiffBuilder File;
    const char* Boxes;
    int Rows;
    const char* PagePanel;
  } cases[] = {
      {TTiffBuilder().Header(8, 44).Pages({{B.ShortEntry(256, 1)}}),
       "error: Not a valid tiff file.; ", -1, "Page 1 of 1"},
      // The rows read before the blank tag stay listed behind the box.
      {TTiffBuilder()
           .Pages({{B.ShortEntry(256, 1), B.ShortEntry(257, 2), B.ShortEntry(258, 1)}})
           .Truncate(22),
       "message: streamsize; message: 2246; message: Input file wrong; ", 7, "Page 1 of 1"},
      {TTiffBuilder().Pages({{B.ShortEntry(256, 2480), B.RationalEntry(282, 0, 1)}}),
       "error: Floating point division by zero.; ", 9, "Page 1 of 1"},
      {TTiffBuilder().Pages({{B.ShortEntry(256, 10)}}).U32(22, 4000), "message: 264002; ", 8,
       "Page 1 of 2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Boxes);
    Start();
    const std::string good = A4(1), path = c.File.Save(Dir.File("failing.tif"));
    OpenByDialog(good);
    const std::size_t goodRows = Rows().size();
    OpenByDialog(path);
    std::string boxes;
    for (const std::string& box : Seams->Boxes)
      boxes += box + "; ";
    EXPECT_EQ(boxes, c.Boxes);
    EXPECT_EQ(Rows().size(), c.Rows < 0 ? goodRows : std::size_t(c.Rows));
    // The slot holds the new file object even where it could not be read.
    EXPECT_EQ(Form->TiffFile()->FileName(), path);
    EXPECT_EQ(Form->ListedRows().FilePath, c.Rows < 0 ? good : path);
    EXPECT_EQ(Panel(0) + "|" + Panel(1),
              FileNamePanelText(c.Rows < 0 ? good : path) + "|" + c.PagePanel);
  }
}

TEST(PlaceInside, KeepsWhatFitsAndMovesAndShrinksTheRestIntoTheFreeArea) {
  const QRect screen(0, 0, 1366, 768), want(452, 187, 843, 668);
  const std::tuple<const char*, QRect, QRect, QRect> cases[] = {
      {"fits", QRect(452, 187, 843, 500), screen, QRect(452, 187, 843, 500)},
      {"too low", want, screen, QRect(452, 100, 843, 668)},
      {"too wide and low", want, QRect(0, 0, 683, 384), QRect(0, 0, 683, 384)},
      {"under a top panel", QRect(452, 0, 843, 668), QRect(0, 24, 1366, 744),
       QRect(452, 24, 843, 668)},
      {"no screen known", want, QRect(), want},
  };
  for (const auto& [name, wanted, available, placed] : cases)
    EXPECT_EQ(PlaceInside(wanted, available), placed) << name;
}

using WindowFit = AppTest;

// At its design size where it fits; else the text gives up the height and scrolls, a few lines of
// it still in view.
TEST_F(WindowFit, AboutBoxKeepsLinksAndOkOnScreen) {
  Start();
  for (const QRect available : {QGuiApplication::primaryScreen()->availableGeometry(),
                                QRect(0, 0, 683, 384) /* 1366 x 768 at scale 2 */,
                                QRect(0, 24, 683, 360) /* the same under a panel */}) {
    TFrmAbout about(Form.get());
    about.show();
    about.FitInto(available);
    QApplication::processEvents();
    EXPECT_TRUE(available.height() < 1000 || about.size() == QSize(413, 572));
    EXPECT_TRUE(available.contains(QRect(about.pos(), about.size())));
    for (const QWidget* w : std::initializer_list<const QWidget*>{
             about.OKButton, about.BitBtn1, about.BitBtn2, about.SpeedButton1})
      EXPECT_TRUE(about.rect().contains(QRect(w->mapTo(&about, QPoint(0, 0)), w->size())));
    EXPECT_GE(about.Memo1->height(), 3 * about.Memo1->fontMetrics().lineSpacing());
  }
}

// Wide letters, and names that are no UTF-8 (U+FFFD each).
TEST_F(WindowFit, FilePanelShowsShortPathsWhole) {
  std::string ae;
  for (int i = 0; i < 18; ++i)
    ae += "\xc3\x86";
  Start();
  Form->show();
  QApplication::processEvents();
  const QLabel* panel = Form->StatusBar1Panels[0];
  for (const std::string& path :
       {"/tmp/" + std::string(16, 'W') + ".tif", "/" + std::string(28, 'W'),
        "/" + std::string(28, 'M'), "/" + std::string(28, '@'),
        "/srv/" + std::string(40, 'W') + ".tif", "/mmmmmmmmmm" + ae,
        "/mmmmmmmmmm" + std::string(18, '\xc6')}) {
    const QString text = QString::fromUtf8(FileNamePanelText(path));
    EXPECT_LE(panel->fontMetrics().horizontalAdvance(text), panel->contentsRect().width()) << path;
  }
}

} // namespace
} // namespace lodestar::test
