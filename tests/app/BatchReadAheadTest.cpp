// The Batch tab reading files ahead on worker threads: what the window shows must be what it
// showed reading one file at a time. Records, counters and the window's file object against the
// command's one-job run over a tree of a few hundred files; Stop with many files read ahead.
#include "AppTestSupport.h"
#include "RunProgram.h"

#include <QtWidgets>
#include <filesystem>
#include <set>

namespace lodestar::test {
namespace {

namespace fs = std::filesystem;

class BatchReadAhead : public AppTest {
protected:
  // Three volumes of four boxes of 25 files: every fifth of two pages, every fifth after that no
  // TIFF (no record, not counted), the others of one page; the last file in walk order loads.
  BatchReadAhead() {
    Start();
    int index = 0;
    for (int v = 0; v < 3; ++v)
      for (int b = 0; b < 4; ++b)
        for (int f = 0; f < 25; ++f, ++index) {
          char name[64];
          std::snprintf(name, sizeof name, "vol%d/box%d/scan-%02d.tif", v, b, f);
          const std::string path = File(name);
          fs::create_directories(fs::path(path).parent_path());
          TTiffBuilder t;
          const auto page = ScanPage(t, 100 + static_cast<std::uint32_t>(index), 50, 72,
                                     "Scanner " + std::to_string(index));
          WalkOrder.push_back(path);
          if (index % 5 == 1) {
            std::ofstream(path) << "no tiff";
            NoTiff.insert(path);
            continue;
          }
          t.Pages(std::vector(index % 5 == 0 ? 2u : 1u, page)).Save(path);
          ++Files;
          Pages += index % 5 == 0 ? 2 : 1;
        }
    fs::create_directories(File("vol1/empty/deeper"));
    Form->edtStartDir->setText(QString::fromStdString(Root));
    Tick(0);
    Tick(6);
    Update();
  }

  std::string File(const std::string& relative) const { return Root + "/" + relative; }
  std::string Pane() const { return Form->RedtResults->toPlainText().toStdString() + "\n"; }
  std::string Counters() const {
    return (Form->edtCounter->text() + "/" + Form->edtPages->text()).toStdString();
  }
  // One job of the command over the same tree with the tab's two ticked items.
  std::string OneJob(bool allPages) const {
    std::vector<std::string> args{"batch", Root, "--jobs", "1", "--tags", "256,305"};
    if (!allPages)
      args.push_back("--first-page-only");
    return RunProgram(LODESTAR_CLI, args).Out;
  }
  void Click(QAbstractButton* button) {
    Update();
    button->click();
    Update();
  }
  static std::string PathOf(const std::string& record) {
    return record.substr(1, record.find("\",\"") - 1);
  }
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
      lines.push_back(text.substr(start, end - start));
    return lines;
  }

  std::string Root = Dir.File("tree");
  int Files = 0, Pages = 0;
  std::vector<std::string> WalkOrder;
  std::set<std::string> NoTiff;
};

TEST_F(BatchReadAhead, ShowsTheRecordsCountersAndFileOfOneFileAtATime) {
  struct TCase {
    bool AllPages;
    QString PagesBefore;
    std::string Counters;
  };
  const std::string files = std::to_string(Files);
  for (const TCase& c : {TCase{true, "0", files + "/" + std::to_string(Pages)},
                         TCase{true, "7", files + "/" + std::to_string(Pages + 7)},
                         TCase{false, "x", files + "/" + files},
                         // Not a number: both start over at 1 with the first file (two pages).
                         TCase{true, "x", files + "/" + std::to_string(Pages - 1)}}) {
    SCOPED_TRACE(c.Counters);
    Form->cbAllPages->setChecked(c.AllPages);
    Form->edtPages->setText(c.PagesBefore);
    Click(Form->BitBtnStart);
    const std::string expected = OneJob(c.AllPages);
    ASSERT_EQ(Lines(expected).size(), static_cast<std::size_t>(1 + (c.AllPages ? Pages : Files)));
    EXPECT_EQ(Pane(), expected);
    EXPECT_EQ(Counters(), c.Counters);
    const std::string last = PathOf(Lines(Pane()).back());
    ASSERT_NE(Form->TiffFile(), nullptr);
    EXPECT_EQ(Form->TiffFile()->FileName(), last);
    EXPECT_EQ(Form->Label3->text().toStdString(), last);
  }
}

// Stop pressed as the window first shows a count, with many files read ahead by then (or, on a
// fast machine, at the end): the run ends after the file shown, and none read ahead shows a
// record, counts or becomes the window's file.
TEST_F(BatchReadAhead, StopEndsTheRunAfterTheFileShownAndShowsNoneReadAhead) {
  const std::string all = OneJob(true);
  for (int run = 0; run < 3; ++run) {
    std::string counters;
    const auto connection =
        QObject::connect(Form->edtCounter, &QLineEdit::textChanged, [&](const QString& text) {
          if (!counters.empty() || text == "0")
            return;
          counters = text.toStdString();
          Form->btnStop->click();
        });
    Click(Form->BitBtnStart);
    QObject::disconnect(connection);
    const std::string pane = Pane();
    EXPECT_TRUE(all.starts_with(pane)) << pane;
    const std::vector<std::string> lines = Lines(pane);
    ASSERT_GE(lines.size(), 2u);
    const std::string shown = Form->Label3->text().toStdString();
    EXPECT_EQ(PathOf(lines.back()), shown);
    std::set<std::string> paths;
    for (std::size_t i = 1; i < lines.size(); ++i)
      paths.insert(PathOf(lines[i]));
    EXPECT_EQ(Form->edtCounter->text().toStdString(), counters);
    EXPECT_EQ(counters, std::to_string(paths.size()));
    // The window's file is the last one handed to it: the one shown, or a file after it that
    // was no TIFF and so never named.
    ASSERT_NE(Form->TiffFile(), nullptr);
    const auto at = std::find(WalkOrder.begin(), WalkOrder.end(), shown);
    ASSERT_NE(at, WalkOrder.end());
    std::set<std::string> handed{shown};
    for (auto next = at + 1; next != WalkOrder.end() && NoTiff.count(*next); ++next)
      handed.insert(*next);
    EXPECT_EQ(handed.count(Form->TiffFile()->FileName()), 1u) << Form->TiffFile()->FileName();
  }
}

} // namespace
} // namespace lodestar::test
