// The four roads to OpenTiffFile: dialog, command line and drops (the editor's reload comes
// later), and what each does with paths that name no file.
#include "AppTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QToolButton>
#include <QUrl>

namespace lodestar::test {
namespace {

class Opening : public AppTest {
protected:
  void Drop(const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& p : paths)
      urls.append(QUrl::fromLocalFile(p));
    data.setUrls(urls);
    // A drop reaches the widget that accepted the drag's entry, as with a real drag.
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Form.get(), &enter);
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Form.get(), &drop);
    Update();
  }
  std::string ListedName() const { return Rows().at(0).SubItems.at(2); }
};

TEST_F(Opening, DialogConfirmedListsPageOne) {
  Start();
  const std::string path = ThreePages();
  OpenByDialog(path);
  ASSERT_EQ(Seams->OpenFilters.size(), 1u);
  EXPECT_EQ(Seams->OpenFilters[0], "Tiff Files (*.tif);;Alle files (*)");
  EXPECT_EQ(ListedName(), "three.tif");
  EXPECT_EQ(Form->ListedRows().FilePath, path);
  EXPECT_EQ(Form->FCurrentPage, 1);
  EXPECT_EQ(Panel(1), "Page 1 of 3");
  EXPECT_TRUE(Form->ActionPrint->isEnabled());
  EXPECT_TRUE(Form->ActionLaunchViewer->isEnabled());
  EXPECT_TRUE(Seams->Boxes.empty());
}

TEST_F(Opening, DialogCancelledChangesNothing) {
  Start();
  OpenByDialog(ThreePages());
  Next();
  const TReportRows before = Form->ListedRows();
  const lodestar::TTiffFile* file = Form->FTiffFile.get();
  Seams->OpenAnswers.push_back(QString());
  Form->ToolButton1->click();
  EXPECT_EQ(Seams->OpenFilters.size(), 2u);
  EXPECT_EQ(Form->FTiffFile.get(), file);
  EXPECT_EQ(Form->ListedRows().Rows, before.Rows);
  EXPECT_EQ(Panel(1), "Page 2 of 3");
}

TEST_F(Opening, CommandLineFileIsListedBeforeTheWindowShows) {
  const std::string path = ThreePages();
  Start({QString::fromStdString(path), QString::fromStdString(OnePage())});
  EXPECT_FALSE(Form->isVisible());
  EXPECT_EQ(ListedName(), "three.tif");
  EXPECT_EQ(Panel(1), "Page 1 of 3");
  EXPECT_TRUE(Form->ActionPrint->isEnabled());
  EXPECT_TRUE(Form->ActionNextPage->isEnabled());
  EXPECT_TRUE(Form->acceptDrops());
}

TEST_F(Opening, CommandLineDirectoryOrMissingPathIsIgnoredSilently) {
  for (const std::string& arg : {Dir.Path().string(), Dir.File("missing.tif")}) {
    Start({QString::fromStdString(arg)});
    EXPECT_EQ(Form->FTiffFile, nullptr) << arg;
    EXPECT_TRUE(Rows().empty()) << arg;
    EXPECT_EQ(Panel(0), "Filename") << arg;
    EXPECT_TRUE(Seams->Boxes.empty()) << arg;
    EXPECT_TRUE(Form->acceptDrops()) << arg;
  }
}

TEST_F(Opening, CommandLineBadFileIsReportedAndDropsStillWork) {
  TTiffBuilder bad;
  bad.Header(8, 43);
  const std::string badPath = Save(bad, "bad.tif");
  Start({QString::fromStdString(badPath)});
  EXPECT_EQ(Seams->Boxes, (std::vector<std::string>{"error: Not a valid tiff file."}));
  EXPECT_TRUE(Form->acceptDrops());
  Drop({QString::fromStdString(OnePage())});
  EXPECT_EQ(ListedName(), "one.tif");
}

TEST_F(Opening, DroppingThreeFilesOpensTheFirstOnly) {
  Start();
  Drop({QString::fromStdString(OnePage("a.tif")), QString::fromStdString(ThreePages("b.tif")),
        QString::fromStdString(OnePage("c.tif"))});
  EXPECT_EQ(ListedName(), "a.tif");
  EXPECT_EQ(Form->FTiffFile->FileName(), Dir.File("a.tif"));
}

TEST_F(Opening, DroppingAFolderOrAMissingPathDoesNothing) {
  Start();
  OpenByDialog(OnePage());
  const lodestar::TTiffFile* file = Form->FTiffFile.get();
  const TReportRows before = Form->ListedRows();
  Drop({QString::fromStdString(Dir.Path().string())});
  Drop({QString::fromStdString(Dir.File("missing.tif")), QString::fromStdString(ThreePages())});
  EXPECT_EQ(Form->FTiffFile.get(), file);
  EXPECT_EQ(Form->ListedRows().Rows, before.Rows);
  EXPECT_TRUE(Seams->Boxes.empty());
}

TEST_F(Opening, ReopeningTheOpenFileListsItAgain) {
  Start();
  OpenByDialog(ThreePages());
  Next();
  // The path handed in is the one held by the object that the open frees first.
  Form->Guard([&] { Form->OpenTiffFile(Form->FTiffFile->FileName(), Form->FCurrentPage); });
  EXPECT_TRUE(Seams->Boxes.empty());
  EXPECT_EQ(Form->FTiffFile->FileName(), Dir.File("three.tif"));
  EXPECT_EQ(Panel(1), "Page 2 of 3");
}

} // namespace
} // namespace lodestar::test
