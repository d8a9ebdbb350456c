// The batch engine and "lodestar-cli batch" over trees built in the test: the records' bytes, the
// walk, what cannot be read, and reading ahead.
#include "RunProgram.h"
#include "TLogHost.h"
#include "TiffBuilder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace lodestar::test {
namespace {

namespace fs = std::filesystem;
const std::string Nul(1, '\0');
const TTiffBuilder B;

class Batch : public testing::Test {
protected:
  TTempDir Dir;
  std::string Root = Dir.Path().string();
  TLogHost Host;

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
      if (line.starts_with("\"" + Root + "/")) {
        std::erase(line.erase(0, Root.size() + 2), '"');
        out.push_back(line);
      }
    return out;
  }
};

// lodestar-cli batch over one file, v.tif: the whole output of each case's options.
TEST_F(Batch, RecordBytes) {
  const auto page = [](std::vector<TEntryDraft> entries) {
    return TTiffBuilder().Pages({entries});
  };
  const TTiffBuilder twoPages = TTiffBuilder().Pages(
      {{B.ShortEntry(256, 1728)}, {B.ShortEntry(256, 1728), B.AsciiEntry(305, "Scan 2 " + Nul)}});
  const TTiffBuilder quoted =
      page({B.AsciiEntry(305, "a \"q\"" + Nul), B.AsciiEntry(305, "b\r\nc" + Nul)});
  const struct {
    TTiffBuilder File;
    TLines Args;
    std::string Output;
  } cases[] = {
      {twoPages, {"--tags", "256,305"}, R"("Filename","Page","Imagewidth","Software"
"@v.tif","1","1728",""
"@v.tif","2","1728","Scan 2"
)"},
      {twoPages,
       {"--tags", "256:W", "--separator", " | ", "--split-path", "--first-page-only"},
       "\"Path\" | \"Filename\" | \"Page\" | \"W\"\n\"@\" | \"v.tif\" | \"1\" | \"1728\"\n"},
      // A label left out: the default item's, else the description table's without its blanks.
      {twoPages,
       {"--tags", "256,315:Who,0256,305:,50000", "--first-page-only"},
       R"("Filename","Page","Imagewidth","Who","ImageWidth","","Unknown Tag"
"@v.tif","1","1728","","","",""
)"},
      {page({B.AsciiEntry(305, " \tScan  2 \x01" + Nul)}), {}, "\"@v.tif\",\"1\",\"Scan  2\"\n"},
      {page({B.AsciiEntry(305, " Scan 2 " + Nul)}),
       {"--no-trim"},
       "\"@v.tif\",\"1\",\" Scan 2 \"\n"},
      {page({B.AsciiEntry(305, "ab" + Nul + "cd" + Nul)}), {}, "\"@v.tif\",\"1\",\"abcd\"\n"},
      {page({B.AsciiEntry(305, "12\" ruler" + Nul)}), {}, "\"@v.tif\",\"1\",\"12\" ruler\"\n"},
      {page({B.AsciiEntry(305, "Jos\xe9" + Nul)}), {}, "\"@v.tif\",\"1\",\"Jos\xc3\xa9\"\n"},
      // Two matches give two cells, none an empty one; "0256" never matches tag 256.
      {page({B.ShortEntry(256, 10), B.AsciiEntry(305, "1" + Nul), B.AsciiEntry(305, "2" + Nul)}),
       {"--tags", "305,315,0256,256", "--no-header"},
       "\"@v.tif\",\"1\",\"1\",\"2\",\"\",\"\",\"10\"\n"},
      // CSV: quotes doubled, the entries of one item in one cell, one line each, line breaks kept;
      // JSON: every entry of an item in an array, a missing one null. An output file (a device is
      // written directly) ends records and CSV lines with CR LF, and the records' line breaks too.
      {quoted,
       {"--format", "csv", "--tags", "305,315", "--no-header", "--output", "/dev/stdout"},
       "\"@v.tif\",\"1\",\"a \"\"q\"\"\nb\r\nc\",\"\"\r\n"},
      {quoted,
       {"--format", "ndjson", "--tags", "305,315:Who"},
       R"({"path":"@v.tif","file":"v.tif","page":1,"values":{"Software":["a \"q\"","b\r\nc"],"Who":null}})"
       "\n"},
      {quoted, {"--output", "/dev/stdout"}, "\"@v.tif\",\"1\",\"a \"q\"\",\"b\r\nc\"\r\n"},
      // The strip ScanPage names lies past the end of this file.
      {TTiffBuilder().Pages({ScanPage(B, 16, 16, 300, "Scan")}),
       {"--check"},
       "\"@v.tif\",\"1\",\"Scan\",\"not well-formed\",\"1\"\n"},
      {TTiffBuilder().Pages({ScanPage(B, 16, 16, 300, "Scan")}),
       {"--check", "--format", "ndjson", "--tags", "305"},
       R"({"path":"@v.tif","file":"v.tif","page":1,"values":{"Software":"Scan"},"verdict":"not well-formed","findings":1})"
       "\n"},
  };
  for (const auto& c : cases) {
    c.File.Save(Dir.File("v.tif"));
    TLines args = {"batch", Root};
    if (std::find(c.Args.begin(), c.Args.end(), "--tags") == c.Args.end())
      args.insert(args.end(), {"--tags", "305", "--no-header"});
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    const TProgramRun run = RunProgram(LODESTAR_CLI, args);
    std::string out = run.Out + run.Err;
    for (std::size_t at; (at = out.find(Root + "/")) != std::string::npos;)
      out.replace(at, Root.size() + 1, "@");
    EXPECT_EQ(out, c.Output) << testing::PrintToString(c.Args);
  }
  Tiff("v.tif", {{B.ShortEntry(256, 10)}});
  Tiff("sub/w.tif", {{B.ShortEntry(256, 100)}});
  for (const auto& [option, out] : std::vector<std::pair<std::string, std::string>>{
           {"--no-root", "\"" + Root + "/sub/w.tif\",\"1\",\"100\"\n"},
           {"--no-subdirs", "\"" + Root + "/v.tif\",\"1\",\"10\"\n"}})
    EXPECT_EQ(RunProgram(LODESTAR_CLI, {"batch", Root, option, "--no-header", "--tags", "256",
                                        "--first-page-only"})
                  .Out,
              out);
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
  EXPECT_EQ(Host.Only("status "), (TLines{reading, reading + "a-sub/deep", reading + "sub",
                                          reading + "sub/z", reading + "Sub2", "Finished..."}));
  EXPECT_EQ(Host.Counter + " " + Host.Pages, "8 8");
  EXPECT_EQ(Host.Slot->FileName(), Root + "/Sub2/o.tif");
  Host.Run.SearchItemCount = 0; // an empty search list is refused before any record
  EXPECT_EQ(Host.Start(), TLines{});
  EXPECT_EQ(Host.Only("error "), TLines{"At least one tag has to be selected"});
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
    EXPECT_EQ(Host.Only("skip "),
              (TLines{Root + "/e.tif: No such file or directory", Root + "/b: Permission denied"}));
    EXPECT_EQ(Host.Counter, "4");
  }
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
    EXPECT_EQ(std::to_string(run.Status) + run.Out + run.Err,
              std::to_string(c.Status) + "lodestar-cli: error: '" + c.Message + "\n");
  }
  EXPECT_FALSE(fs::exists(scratch.File("o"))); // a mistyped DIR leaves no file
  // A single entry that cannot be read makes the run incomplete as much as many do; its name
  // cannot drive the terminal.
  fs::create_symlink(Dir.Path() / "nowhere", Dir.Path() / "gone\x1b[2J\n.tif");
  const TProgramRun run = RunProgram(LODESTAR_CLI, {"batch", Root, "--no-header", "--tags", "1"});
  EXPECT_EQ(run.Status, 3);
  EXPECT_EQ(run.Out, "\"" + Root + "/A.tif\",\"1\",\"\"\n");
  EXPECT_EQ(run.Err, "lodestar-cli: cannot read '" + Root +
                         "/gone\\x1B[2J\\x0A.tif': No such file or directory\n"
                         "lodestar-cli: incomplete: 1 entry could not be read\n");
}

// The engine reading ahead for a live host (the Batch tab's way) must tell it what it hears
// reading one file at a time, also when the options change or Stop is pressed with many files
// read ahead. Directories of files of one and two pages, files that are no TIFF, an unreadable
// link, and a file of too many pages to be held while it waits (loaded again when it is shown).
// Two processors have the engine's thread read such quick files itself; sixteen, the workers.
TEST(ReadAhead, TheHostHearsWhatItHearsReadingOneFileAtATime) {
  TTempDir dir;
  const TTiffBuilder b;
  for (int i = 0; i < 120; ++i) {
    const std::string path = dir.File("d" + std::to_string(i % 4) + "/e" + std::to_string(i % 3) +
                                      "/f" + std::to_string(i) + ".tif");
    fs::create_directories(fs::path(path).parent_path());
    const auto page = ScanPage(b, 10 + static_cast<std::uint32_t>(i), 20, 72, "s");
    if (i % 7 == 3)
      std::ofstream(path) << "no tiff";
    else
      TTiffBuilder().Pages(std::vector(i % 5 == 0 ? 2u : 1u, page)).Save(path);
  }
  fs::create_symlink(dir.File("nowhere"), dir.File("d1/gone.tif"));
  TTiffBuilder()
      .Pages(std::vector(100u, ScanPage(b, 7, 7, 72, "big")))
      .Save(dir.File("d2/e1/big.tif"));
  // The script acts at the first events after the n-th file was handed to the host, as a user's
  // click lands at a moment the window shows.
  const auto atRead = [](int n, std::function<void(TLogHost&)> act) {
    return [n, act, reads = 0, seen = std::size_t{0}](TLogHost& host) mutable {
      const bool read = host.Log.size() > seen && host.Log.back().starts_with("keep ");
      seen = host.Log.size();
      if (read && ++reads == n)
        act(host);
    };
  };
  const auto stop = [](TLogHost& host) { host.Stop = true; };
  const auto change = [](TLogHost& host) {
    host.Record = {
        .Separator = ";", .SplitPath = true, .AllPages = false, .TickedItems = {"256  W"}};
  };
  const auto ndjson = [](TLogHost& host) { host.Record.Format = TRecordFormat::Ndjson; };
  const std::pair<const char*, std::function<void(TLogHost&)>> cases[] = {
      {"whole run", [](TLogHost&) {}},     {"stop at 1", atRead(1, stop)},
      {"stop at 17", atRead(17, stop)},    {"stop at 90", atRead(90, stop)},
      {"options at 5", atRead(5, change)}, {"ndjson at 60", atRead(60, ndjson)}};
  for (const auto& [name, script] : cases) {
    SCOPED_TRACE(name);
    TLines one;
    for (const auto& [jobs, processors] : {std::pair{1, 0u}, {2, 2u}, {16, 16u}}) {
      TLogHost host;
      host.Run.StartDir = dir.Path().string();
      host.Pages = "5";
      host.Record.TickedItems = {"256  Imagewidth", "305  Software"};
      host.OnEvents = script;
      host.Start(jobs, {}, true, processors);
      host.Log.push_back("slot " + (host.Slot ? host.Slot->FileName() : std::string("none")));
      if (jobs == 1)
        one = host.Log;
      EXPECT_EQ(host.Log, one) << jobs;
    }
    EXPECT_GT(one.size(), 3u);
  }
}

// Where the engine's thread reads quick files itself, stretches of files that take a millisecond
// each (a slow disk) bring the workers and quick files send them back, again and again, while the
// host hears what it hears from one job. A listing of names only: the reporter opens nothing.
TEST(ReadAhead, SlowFilesBringTheWorkersAndQuickOnesSendThemBack) {
  struct TSlowReporter : TFileReporter {
    std::vector<std::string> Report(const std::string& path, const std::string&,
                                    int& pages) const override {
      if (std::stoi(path.substr(path.rfind("/f") + 2)) % 100 < 20)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      pages = 1;
      return {path};
    }
  } reporter;
  const auto list = [](int, const std::string&, const std::string&, TDirectoryListing& listing,
                       std::string&) {
    for (int i = 1000; i < 2000; ++i)
      listing.TifFiles.push_back("f" + std::to_string(i) + ".tif");
    return true;
  };
  TLines one;
  for (const int jobs : {1, 2}) {
    TLogHost host;
    host.Run.StartDir = "/"; // listed by list alone
    host.Record.FileReport = &reporter;
    host.Start(jobs, list, true, 2);
    if (jobs == 1)
      one = host.Log;
    EXPECT_EQ(host.Log, one);
  }
  EXPECT_EQ(one.size(), 4 * 1000u + 3);
}

} // namespace
} // namespace lodestar::test
