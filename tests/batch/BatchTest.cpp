// The batch engine and "lodestar-cli batch" over trees built in the test.
#include "RunProgram.h"
#include "TBatchEngine.h"
#include "TOutputStream.h"
#include "TSearchList.h"
#include "TiffBuilder.h"
#include "cLodestar.h"

#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace lodestar::test {
namespace {

namespace fs = std::filesystem;
using TLines = std::vector<std::string>;
const std::string Nul(1, '\0');
const TTiffBuilder B; // makes entries

// A Batch tab without widgets: options in plain fields, everything the run shows written down.
class TTestHost : public TBatchHost {
public:
  TRunOptions Run;
  TRecordOptions Record;
  TSearchList List; // the nine items, unticked
  TLines Lines, Shown /* messages and status texts */, Skipped /* "path: reason" */;
  int FailAtLine = -1; // the output fails at this record (0-based)
  std::string Counter = "0", Pages = "0";
  bool Stop = false;
  std::unique_ptr<TTiffFile> Slot;
  std::function<void()> OnEvents = [] {}; // where the window would handle pending events

  // Leaves only the given items ("256  Imagewidth"), all ticked, added as a user types them.
  void Items(const TLines& texts) {
    List.Clear();
    for (const auto& text : texts)
      List.Add(text.substr(0, text.find(' ')), text.substr(text.find(' ') + 2));
  }
  TLines Start(int jobs = 1, TBatchEngine::TLister lister = {}) {
    TBatchEngine engine(*this);
    engine.SetJobs(jobs);
    if (lister)
      engine.SetLister(lister);
    engine.Run();
    return Lines;
  }

  void RunStarting() override {
    Stop = false;
    Lines.clear();
    Skipped.clear();
  }
  void ReadRunOptions(TRunOptions& options) override {
    options = Run;
    options.SearchItemCount = List.Count();
  }
  void ReadRecordOptions(TRecordOptions& options) override {
    options = Record;
    List.TickedTexts(options.TickedItems);
  }
  void ShowError(const std::string& message) override { Shown.push_back(message); }
  void AddResultLine(const std::string& line) override {
    if (static_cast<int>(Lines.size()) == FailAtLine)
      throw EFWriteError("out", "No space left on device");
    Lines.push_back(line);
  }
  void EntrySkipped(const std::string& path, const std::string& reason) override {
    Skipped.push_back(path + ": " + reason);
  }
  void SetStatusText(const std::string& text) override { Shown.push_back(text); }
  void ProcessMessages() override { OnEvents(); }
  bool StopRequested() override { return Stop; }
  std::string CounterText() override { return Counter; }
  void SetCounterText(const std::string& text) override { Counter = text; }
  std::string PagesText() override { return Pages; }
  void SetPagesText(const std::string& text) override { Pages = text; }
  void ReleaseFile() override { Slot.reset(); }
  void KeepFile(std::unique_ptr<TTiffFile> file) override { Slot = std::move(file); }
};

class Batch : public testing::Test {
protected:
  TTempDir Dir;
  std::string Root = Dir.Path().string();
  TTestHost Host;

  Batch() { Host.Run.StartDir = Root; }

  void Tiff(const std::string& relative,
            const std::vector<std::vector<TEntryDraft>>& pages = {{}}) {
    fs::create_directories(fs::path(Dir.File(relative)).parent_path());
    TTiffBuilder().Pages(pages).Save(Dir.File(relative));
  }

  // The records of files below the root, without quotes and root: "sub/c.tif,1".
  TLines Visited() {
    TLines out;
    for (auto line : Host.Lines)
      if (line.starts_with("\"" + Root + "/")) { // not the header
        std::erase(line.erase(0, Root.size() + 2), '"');
        out.push_back(line);
      }
    return out;
  }
};

// Page 1 has width 1728 and no Software; page 2 has both, "Scanner 2", a blank and the NUL.
TEST_F(Batch, WorkedExampleWithEachSeparatorWholeAndSplit) {
  Tiff("a.tif", {{B.ShortEntry(256, 1728)},
                 {B.ShortEntry(256, 1728), B.AsciiEntry(305, "Scanner 2 " + Nul)}});
  Host.Items({"256  Imagewidth", "305  Software"});
  const std::string file = "\"" + Root + "/a.tif\"";
  EXPECT_EQ(Host.Start(),
            (TLines{R"("Filename","Page","Imagewidth","Software")", file + R"(,"1","1728","")",
                    file + R"(,"2","1728","Scanner 2")"}));
  Host.Record.SplitPath = true;
  for (const std::string s : {";", " | ", ""}) {
    Host.Record.Separator = s;
    const auto lines = Host.Start();
    EXPECT_EQ(lines.at(0), R"("Path")" + s + R"("Filename")" + s + R"("Page")" + s +
                               R"("Imagewidth")" + s + R"("Software")");
    EXPECT_EQ(lines.at(2), "\"" + Root + "/\"" + s + R"("a.tif")" + s + R"("2")" + s + R"("1728")" +
                               s + R"("Scanner 2")");
  }
  Host.Record = {.AllPages = false, .TickedItems = {}}; // the header still names the page cell
  Host.List.SetTicked(1, false);
  EXPECT_EQ(Host.Start(), (TLines{R"("Filename","Page","Imagewidth")", file + R"(,"1","1728")"}));
}

TEST_F(Batch, ValueCells) {
  const struct {
    TLines Items;
    std::vector<TEntryDraft> Entries;
    bool Trim;
    std::string Cells;
  } cases[] = {
      {{"305  S"}, {B.AsciiEntry(305, " \tScan  2 \x01" + Nul)}, true, R"(,"Scan  2")"},
      {{"305  S"}, {B.AsciiEntry(305, " Scan 2 " + Nul)}, false, R"(," Scan 2 ")"},
      {{"305  S"}, {B.AsciiEntry(305, "ab" + Nul + "cd" + Nul)}, true, R"(,"abcd")"},
      {{"270  N"}, {B.AsciiEntry(270, "12\" ruler" + Nul)}, true, R"(,"12" ruler")"},
      {{"315  A"}, {B.AsciiEntry(315, "Jos\xe9" + Nul)}, true, ",\"Jos\xc3\xa9\""}, // UTF-8
      // Two matches on a page give two cells, none an empty one; "0256" never matches tag 256.
      {{"305  S", "315  A", "0256  Z", "256  W"},
       {B.ShortEntry(256, 10), B.AsciiEntry(305, "1" + Nul), B.AsciiEntry(305, "2" + Nul)},
       true,
       R"(,"1","2","","","10")"},
      {{"256  W"}, {B.ShortEntry(256, 10)}, true, ""}, // items present but none ticked
  };
  for (const auto& c : cases) {
    Tiff("v.tif", {c.Entries});
    Host.Items(c.Items);
    Host.List.SetTicked(0, !c.Cells.empty());
    Host.Record.TrimValue = c.Trim;
    EXPECT_EQ(Host.Start().at(1), "\"" + Root + "/v.tif\",\"1\"" + c.Cells);
  }
}

// Entries at and past the end of the file have no number: only an item without digits matches
// them, each of them, the ones counted past the end included.
TEST(BatchCells, EntriesWithoutNumberMatchOnlyAnItemWithoutDigits) {
  TTiffBuilder b;
  b.Header(8).Directory(8, {b.ShortEntry(256, 10), b.ShortEntry(257, 20), b.ShortEntry(258, 1),
                            b.ShortEntry(259, 1), b.ShortEntry(262, 1)});
  TTiffFile file;
  file.LoadFromMemory("cut.tif", b.Truncate(34).Bytes());
  TRecordOptions options{.TrimValue = false, .TickedItems = {"Notes", "256  W", "0  X"}};
  EXPECT_EQ(TBatchEngine::GetTagValues(*file.Pages().GetPage(0), options),
            R"(," "," "," ","10","")");
}

// What the walk skips, its order, the status it shows; only TIFF files give records and counts
// (a FIFO would block the run for good if opened), and the slot keeps the last file visited.
TEST_F(Batch, WalkOrderWhatItSkipsAndCounts) {
  for (const char* name : {"b.TIF", "A.tif", "C.TIFF", "c.tif.bak", "tif", "x.tiff2", ".h.tif",
                           "sub/c.tif", "sub/.c.tif", "sub/.git/d.tif", "sub/z/g.tif", "Sub2/d.tif",
                           "a-sub/deep/e.tif", ".cache/f.tif"})
    Tiff(name);
  Tiff("b.TIF", {{}, {}});
  fs::permissions(Dir.File("A.tif"), fs::perms::owner_read); // the reader opens for reading only
  TTiffBuilder().Header(0).Save(Dir.File("n.tif"));          // no page: counted, no record
  std::ofstream(Dir.File("Sub2/o.tif")) << "not a tiff";
  ASSERT_EQ(mkfifo(Dir.File("Sub2/p.tif").c_str(), 0600), 0);
  Host.Run.StartDir = Root + "/./";
  Host.Start();
  EXPECT_EQ(Visited(), (TLines{"A.tif,1", "b.TIF,1", "b.TIF,2", "C.TIFF,1", "a-sub/deep/e.tif,1",
                               "sub/c.tif,1", "sub/z/g.tif,1", "Sub2/d.tif,1"}));
  const std::string reading = "reading... " + Root + "/./";
  EXPECT_EQ(Host.Shown, (TLines{reading, reading + "a-sub/deep", reading + "sub", reading + "sub/z",
                                reading + "Sub2", "Finished..."}));
  EXPECT_EQ(Host.Counter + " " + Host.Pages, "8 8");
  EXPECT_EQ(Host.Slot->FileName(), Root + "/Sub2/o.tif");
}

TEST_F(Batch, LinksAreFollowedButNoDirectoryIsEnteredTwice) {
  Tiff(".store/a.tif"); // hidden: reached only through the links
  fs::create_directory_symlink(Dir.Path() / ".store", Dir.Path() / "view");
  fs::create_directory_symlink(Dir.Path() / ".store", Dir.Path() / "view2");
  fs::create_directory_symlink(Dir.Path(), Dir.Path() / ".store" / "loop");
  fs::create_symlink(Dir.Path() / ".store" / "a.tif", Dir.Path() / "link.tif");
  Host.Start();
  EXPECT_EQ(Visited(), (TLines{"link.tif,1", "view/a.tif,1"}));
}

// A directory that cannot be listed, and a file listed but gone before it is read: each skipped
// alone and named, the file counted without pages as the reader leaves it.
TEST_F(Batch, EntriesThatCannotBeReadAreSkippedAloneAndNamed) {
  for (const char* name : {"a/a.tif", "b/b.tif", "c/c.tif", "d.tif"})
    Tiff(name);
  for (int jobs : {1, 3}) {
    Tiff("e.tif");
    Host.Start(jobs, [&](int parentFd, const std::string& name, const std::string& path,
                         TDirectoryListing& listing, std::string& reason) {
      reason = "Permission denied";
      const bool listed = path != Root + "/b" && ListDirectory(parentFd, name, listing, reason);
      fs::remove(Dir.File("e.tif"));
      return listed;
    });
    EXPECT_EQ(Visited(), (TLines{"d.tif,1", "a/a.tif,1", "c/c.tif,1"}));
    EXPECT_EQ(Host.Skipped,
              (TLines{Root + "/e.tif: No such file or directory", Root + "/b: Permission denied"}));
    EXPECT_EQ(Host.Counter, "4");
  }
}

// A failed output ends the run at once, while a failure to read one file never does.
TEST_F(Batch, OutputThatFailsEndsTheRunAtOnce) {
  for (int i = 0; i < 30; ++i)
    Tiff("d" + std::to_string(i % 3) + "/f" + std::to_string(i) + ".tif");
  Host.FailAtLine = 3;
  for (int jobs : {1, 4}) {
    EXPECT_THROW(Host.Start(jobs), EOutputError);
    EXPECT_EQ(Host.Lines.size(), 3u);
    EXPECT_EQ(Host.Shown.back(), "Finished...");
  }
}

// Runs in a row and a typed text are seen on the Batch tab (tests/app); with first pages only, the
// pages counter follows the file counter.
TEST_F(Batch, PagesCounterFollowsTheFileCounterForFirstPagesOnly) {
  Tiff("a.tif", {{}, {}, {}});
  Tiff("sub/b.tif", {{}, {}});
  Host.Record.AllPages = false;
  Host.Start();
  EXPECT_EQ(Host.Counter + " " + Host.Pages, "2 2");
}

// Both reported before any record, not even the header; a click on Stop ends before the next file.
TEST_F(Batch, MissingDirectoryEmptySearchListAndStop) {
  Host.Run.StartDir = Root + "/missing";
  EXPECT_TRUE(Host.Start().empty());
  Host.Run.StartDir = Root;
  Host.List.Clear();
  EXPECT_TRUE(Host.Start().empty());
  EXPECT_EQ(Host.Shown, (TLines{"Starting directory does not exist", "Finished...",
                                "At least one tag has to be selected", "Finished..."}));
  Tiff("f0.tif", {{}, {}});
  Tiff("f1.tif");
  Tiff("sub/g.tif");
  Host.List.Reset();
  Host.List.SetTicked(0, true);
  Host.OnEvents = [&] { Host.Stop = true; }; // a click while f0 is read
  Host.Start();
  EXPECT_EQ(Visited(), (TLines{"f0.tif,1,", "f0.tif,2,"}));
}

// lodestar-cli batch, run as a user runs it: its options give the engine's records.
TEST_F(Batch, CommandLineOptionsGiveTheEnginesRecords) {
  Tiff("A.tif", {ScanPage(B, 1728, 2200, 200, "Scanner 2 "), ScanPage(B, 1728, 2200, 300, "")});
  Tiff("b.TIF", {{B.ShortEntry(256, 640), B.AsciiEntry(315, "Ann \"Q\"" + Nul),
                  B.AsciiEntry(315, "Bob" + Nul)}});
  Tiff("sub/c.tif", {ScanPage(B, 100, 200, 72, "c")});
  const auto records = [this](const std::string& end) {
    std::string text;
    for (const auto& line : Host.Start())
      text += line + end;
    return text;
  };
  TTempDir scratch;
  TProgramRun run = RunProgram(LODESTAR_CLI, {"batch", Root}); // the nine default items
  Host.Items(DefaultSearchItemTexts());
  EXPECT_EQ(run.Out + run.Err, records("\n")); // no progress without a terminal
  // DIR after --tags is not taken for one more item.
  run = RunProgram(LODESTAR_CLI, {"batch", "--tags", "256,315:Who,0256,305:,50000", Root,
                                  "--separator", "; ", "--split-path", "--no-trim",
                                  "--first-page-only", "--output", scratch.File("o")});
  EXPECT_EQ(run.Out + run.Err + std::to_string(run.Status), "0");
  // A label left out: the default item's, else the description table's without its blanks.
  Host.Items({"256  Imagewidth", "315  Who", "0256  ImageWidth", "305  ", "50000  Unknown Tag"});
  Host.Record = {.Separator = "; ",
                 .SplitPath = true,
                 .TrimValue = false,
                 .AllPages = false,
                 .TickedItems = {}};
  EXPECT_EQ(FileBytes(scratch.File("o")), records("\r\n")); // as the Batch tab saves its pane
  const std::string a = "\"" + Root + "/A.tif\",\"1\",\"1728\"\n";
  for (const auto& [option, out] : std::vector<std::pair<std::string, std::string>>{
           {"--no-root", "\"" + Root + "/sub/c.tif\",\"1\",\"100\"\n"},
           {"--no-subdirs", a + "\"" + Root + "/b.TIF\",\"1\",\"640\"\n"}})
    EXPECT_EQ(RunProgram(LODESTAR_CLI, {"batch", Root, option, "--no-header", "--tags", "256",
                                        "--first-page-only"})
                  .Out,
              out);
}

TEST_F(Batch, CommandLineErrorsGiveTheirStatusAndMessageAndNoRecord) {
  TTempDir scratch;
  const std::string bad = scratch.File("no/dir/o");
  Tiff("A.tif");
  const struct {
    TLines Args;
    int Status;
    std::string Message;
  } cases[] = {
      {{Root + "/nope", "--output", scratch.File("o")},
       2,
       Root + "/nope': Starting directory does not exist"},
      {{Root + "/A.tif"}, 2, Root + "/A.tif': Starting directory does not exist"},
      {{Root, "--tags", "256,abc"}, 2, "abc': not a tag number"},
      {{Root, "--output", bad},
       1,
       bad + "': Cannot create file \"" + bad + "\". No such file or directory"},
      // A device is written directly, and the message names the write that failed.
      {{Root, "--output", "/dev/full"},
       1,
       "/dev/full': Cannot write file \"/dev/full\". No space left on device"},
  };
  for (const auto& c : cases) {
    TLines args = {"batch"};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    const TProgramRun run = RunProgram(LODESTAR_CLI, args);
    EXPECT_EQ(run.Status, c.Status) << c.Message;
    EXPECT_EQ(run.Out + run.Err, "lodestar-cli: error: '" + c.Message + "\n");
  }
  EXPECT_FALSE(fs::exists(scratch.File("o"))); // a mistyped DIR leaves no file
  // A single entry that cannot be read makes the run incomplete as much as many do.
  fs::create_symlink(Dir.Path() / "nowhere", Dir.Path() / "gone.tif");
  const TProgramRun run = RunProgram(LODESTAR_CLI, {"batch", Root, "--no-header"});
  EXPECT_EQ(run.Status, 3);
  EXPECT_TRUE(run.Err.ends_with("incomplete: 1 entry could not be read\n")) << run.Err;
}

} // namespace
} // namespace lodestar::test
