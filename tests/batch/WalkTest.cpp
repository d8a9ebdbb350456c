// The directory walk: which files a run reads, in which order, and what it counts.
#include "TDirectoryListing.h"
#include "TempDir.h"
#include "TestHost.h"
#include "TiffBuilder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lodestar::test {
namespace {

namespace fs = std::filesystem;

class Walk : public testing::Test {
protected:
  TTempDir Dir;
  TTestHost Host{Dir.Path().string()};
  std::string Root = Dir.Path().string();

  Walk() {
    Host.Items({"256  Imagewidth"});
    Host.Run.AddDescription = false;
  }

  // A one-page TIFF whose width names it in the records; pages > 1 adds further pages.
  void Tiff(const std::string& relative, std::uint16_t width, int pages = 1) {
    fs::create_directories((Dir.Path() / relative).parent_path());
    TTiffBuilder b;
    std::vector<std::vector<TEntrySpec>> all(static_cast<std::size_t>(pages),
                                             {b.ShortEntry(256, width)});
    b.Pages(all);
    b.Save(Dir.File(relative));
  }

  void Text(const std::string& relative, const std::string& content) {
    fs::create_directories((Dir.Path() / relative).parent_path());
    std::ofstream(Dir.File(relative)) << content;
  }

  // The relative path and width of every record, "sub/c.tif:3".
  std::vector<std::string> Visited() {
    std::vector<std::string> out;
    for (const auto& line : Host.Lines) {
      const auto start = Root.size() + 2; // quote and separator
      const auto close = line.find('"', start);
      const auto width = line.rfind(",\"");
      out.push_back(line.substr(start, close - start) + ":" +
                    line.substr(width + 2, line.size() - width - 3));
    }
    return out;
  }
};

TEST_F(Walk, FilesSortedIgnoringCaseThenSubdirectoriesInNameOrder) {
  Tiff("b.TIF", 2);
  Tiff("A.tif", 1);
  Tiff("sub/c.tif", 3);
  Tiff("Sub2/d.tif", 4);
  Tiff("a-sub/deep/e.tif", 5);
  Tiff("a-sub/z.tif", 6);
  Host.Start();
  EXPECT_EQ(Visited(),
            (std::vector<std::string>{"A.tif:1", "b.TIF:2", "a-sub/z.tif:6", "a-sub/deep/e.tif:5",
                                      "sub/c.tif:3", "Sub2/d.tif:4"}));
}

TEST_F(Walk, OnlyNamesEndingInTifOrTiffAreRead) {
  Tiff("a.tif", 1);
  Tiff("b.tiff", 2);
  Tiff("c.tif.bak", 3);
  Tiff("tif", 4);
  Tiff("x.TIFF", 5);
  Tiff("x.tiff2", 6);
  Tiff("x.tifx", 7);
  Tiff("tiff", 8);
  Host.Start();
  EXPECT_EQ(Visited(), (std::vector<std::string>{"a.tif:1", "b.tiff:2", "x.TIFF:5"}));
}

TEST_F(Walk, RootAndSubdirectoryOptions) {
  Tiff("a.tif", 1);
  Tiff("sub/b.tif", 2);
  Host.Run.IncludeRoot = false;
  Host.Start();
  EXPECT_EQ(Visited(), (std::vector<std::string>{"sub/b.tif:2"}));

  Host.Run.IncludeRoot = true;
  Host.Run.IncludeSubDirectories = false;
  Host.Start();
  EXPECT_EQ(Visited(), (std::vector<std::string>{"a.tif:1"}));

  Host.Run.IncludeRoot = false;
  Host.Run.AddDescription = true;
  EXPECT_EQ(Host.Start().size(), 1u); // the header alone
}

TEST_F(Walk, HiddenFilesAndDotDirectoriesAreSkipped) {
  Tiff("a.tif", 1);
  Tiff(".hidden.tif", 2);
  Tiff(".cache/b.tif", 3);
  Tiff("sub/.c.tif", 4);
  Tiff("sub/.git/d.tif", 5);
  Host.Start();
  EXPECT_EQ(Visited(), (std::vector<std::string>{"a.tif:1"}));
}

TEST_F(Walk, StartingDirectoryMayItselfBeHidden) {
  Tiff(".archive/a.tif", 1);
  Host.Run.StartDir = Root + "/.archive";
  Host.Start();
  ASSERT_EQ(Host.Lines.size(), 1u);
  EXPECT_EQ(Host.Lines[0], "\"" + Root + "/.archive/a.tif\",\"1\",\"1\"");
}

TEST_F(Walk, FilesThatAreNoTiffGiveNoRecordAndAreNotCounted) {
  Tiff("a.tif", 1);
  Text("b.tif", "not a tiff at all");
  Text("c.tif", "");
  Text("d.tif", "II*");
  Tiff("e.tif", 5, 2);
  Host.Start();
  EXPECT_EQ(Visited(), (std::vector<std::string>{"a.tif:1", "e.tif:5", "e.tif:5"}));
  EXPECT_EQ(Host.Counter, "2");
  EXPECT_EQ(Host.Pages, "3");
  EXPECT_TRUE(Host.Errors.empty());
}

TEST_F(Walk, ReadOnlyTiffIsRead) {
  Tiff("a.tif", 1);
  fs::permissions(Dir.File("a.tif"), fs::perms::owner_read | fs::perms::group_read);
  Host.Start();
  EXPECT_EQ(Visited(), (std::vector<std::string>{"a.tif:1"}));
}

TEST_F(Walk, PipeNamedTifIsNeverOpened) {
  ASSERT_EQ(mkfifo(Dir.File("x.tif").c_str(), 0600), 0);
  Tiff("y.tif", 2);
  Host.Start(); // opening the pipe would block here for good
  EXPECT_EQ(Visited(), (std::vector<std::string>{"y.tif:2"}));
  EXPECT_EQ(Host.Counter, "1");
}

TEST_F(Walk, LinkedFilesAndDirectoriesAreFollowed) {
  Tiff("store/a.tif", 1);
  fs::create_directory_symlink(Dir.Path() / "store", Dir.Path() / "view");
  fs::create_symlink(Dir.Path() / "store" / "a.tif", Dir.Path() / "link.tif");
  fs::create_symlink(Dir.Path() / "missing.tif", Dir.Path() / "dangling.tif");
  Host.Run.IncludeRoot = true;
  Host.Start();
  // "view" leads to a directory already entered as "store": entered once only.
  EXPECT_EQ(Visited(), (std::vector<std::string>{"link.tif:1", "store/a.tif:1"}));
}

TEST_F(Walk, LinkCycleEnds) {
  Tiff("a/a.tif", 1);
  fs::create_directory_symlink(Dir.Path(), Dir.Path() / "a" / "loop");
  fs::create_directory_symlink(Dir.Path() / "a", Dir.Path() / "a" / "self");
  Host.Start();
  EXPECT_EQ(Visited(), (std::vector<std::string>{"a/a.tif:1"}));
}

TEST_F(Walk, UnreadableSubdirectoryIsSkippedAlone) {
  if (geteuid() == 0)
    GTEST_SKIP() << "root lists every directory; the injected failure below covers this";
  Tiff("a/a.tif", 1);
  Tiff("b/b.tif", 2);
  Tiff("c/c.tif", 3);
  fs::permissions(Dir.Path() / "b", fs::perms::none);
  Host.Start();
  EXPECT_EQ(Visited(), (std::vector<std::string>{"a/a.tif:1", "c/c.tif:3"}));
}

TEST_F(Walk, SubdirectoryThatCannotBeListedIsSkippedAlone) {
  Tiff("a/a.tif", 1);
  Tiff("b/b.tif", 2);
  Tiff("b/sub/x.tif", 4);
  Tiff("c/c.tif", 3);
  TBatchEngine engine(Host);
  engine.SetLister([&](const std::string& path, TDirectoryListing& listing, std::string& reason) {
    if (path == Root + "/b") {
      reason = "Permission denied";
      return false;
    }
    return ListDirectory(path, listing, reason);
  });
  engine.Run();
  EXPECT_EQ(Visited(), (std::vector<std::string>{"a/a.tif:1", "c/c.tif:3"}));
}

TEST_F(Walk, StartingDirectoryThatCannotBeListedEndsTheRunWithAnError) {
  TBatchEngine engine(Host);
  engine.SetLister([](const std::string&, TDirectoryListing&, std::string& reason) {
    reason = "Permission denied";
    return false;
  });
  Host.Run.AddDescription = true;
  EXPECT_THROW(engine.Run(), EFOpenError);
  EXPECT_EQ(Host.Lines.size(), 1u);
  EXPECT_EQ(Host.Status.back(), "Finished...");
  EXPECT_EQ(Host.Finished, 1);

  // Without the starting directory's own files, a failed enumeration contributes nothing.
  Host.Run.IncludeRoot = false;
  EXPECT_NO_THROW(engine.Run());
}

TEST_F(Walk, StatusNamesEachDirectoryAsPassedThenFinished) {
  Tiff("a.tif", 1);
  Tiff("sub/b.tif", 2);
  fs::create_directories(Dir.Path() / "empty" / "deeper");
  Tiff("empty/deeper/c.tif", 3);
  const auto cwd = fs::current_path();
  fs::current_path(Dir.Path().parent_path());
  const std::string relative = Dir.Path().filename().string();
  Host.Run.StartDir = relative;
  Host.Start();
  fs::current_path(cwd);
  // Directories without files of their own are walked but never named.
  EXPECT_EQ(Host.Status, (std::vector<std::string>{
                             "reading... " + relative, "reading... " + relative + "/empty/deeper",
                             "reading... " + relative + "/sub", "Finished..."}));
  // The records carry absolute paths all the same.
  EXPECT_EQ(Host.FilesRead.front(), Root + "/a.tif");
}

TEST_F(Walk, CountersOverTwoRuns) {
  Tiff("a.tif", 1, 3);
  Tiff("sub/b.tif", 2, 2);
  Host.Start();
  EXPECT_EQ(Host.Counter, "2");
  EXPECT_EQ(Host.Pages, "5");
  Host.Start();
  EXPECT_EQ(Host.Counter, "2"); // Start sets the file counter to 0
  EXPECT_EQ(Host.Pages, "10");  // but leaves the pages counter alone

  Host.Record.AllPages = false;
  Host.Start();
  EXPECT_EQ(Host.Counter, "2");
  EXPECT_EQ(Host.Pages, "2");
}

TEST_F(Walk, NonNumericPagesCounterGivesOneForBoth) {
  Tiff("a.tif", 1, 3);
  Tiff("b.tif", 2, 2);
  Host.Pages = "12a";
  Host.Start();
  // The first file finds "12a" and sets both to "1"; the second counts on from there.
  EXPECT_EQ(Host.Counter, "2");
  EXPECT_EQ(Host.Pages, "3");
  EXPECT_EQ(Visited().size(), 5u); // the records are written all the same
}

TEST_F(Walk, LargePagesCounterCountsOn) {
  Tiff("a.tif", 1, 3);
  Host.Pages = "4294967296";
  Host.Start();
  EXPECT_EQ(Host.Pages, "4294967299");
}

TEST_F(Walk, StartMessagesLeaveAClearedPaneAndZeroCounter) {
  Tiff("a.tif", 1);
  Host.Counter = "7";
  Host.Run.StartDir = Root + "/missing";
  Host.Run.AddDescription = true;
  Host.Start();
  EXPECT_EQ(Host.Errors, (std::vector<std::string>{"Starting directory does not exist"}));
  EXPECT_TRUE(Host.Lines.empty());
  EXPECT_EQ(Host.Counter, "0");
  EXPECT_EQ(Host.Status, (std::vector<std::string>{"Finished..."}));
  EXPECT_EQ(Host.Finished, 1);

  Host.Errors.clear();
  Host.Run.StartDir = Root;
  Host.List.Clear();
  Host.Start();
  EXPECT_EQ(Host.Errors, (std::vector<std::string>{"At least one tag has to be selected"}));
  EXPECT_TRUE(Host.Lines.empty());
  EXPECT_EQ(Host.Finished, 2);
}

TEST_F(Walk, StopDuringARunEndsBeforeTheNextFile) {
  for (int i = 0; i < 5; ++i)
    Tiff("f" + std::to_string(i) + ".tif", static_cast<std::uint16_t>(i));
  Tiff("sub/g.tif", 9);
  Tiff("sub/deeper/h.tif", 9);
  // The user clicks Stop while the first file is being read.
  Host.OnProcessMessages = [&] { Host.Stop = !Host.FilesRead.empty(); };
  Host.Start();
  EXPECT_EQ(Visited(), (std::vector<std::string>{"f0.tif:0"}));
  EXPECT_EQ(Host.Counter, "1");
  EXPECT_EQ(Host.Status.back(), "Finished...");
}

TEST_F(Walk, StopInASubdirectoryStillNamesItsSiblingsButReadsNothing) {
  Tiff("a/a1.tif", 1);
  Tiff("a/a2.tif", 2);
  Tiff("b/b.tif", 3);
  Tiff("b/deep/x.tif", 4);
  Host.OnProcessMessages = [&] { Host.Stop = !Host.FilesRead.empty(); };
  Host.Start();
  EXPECT_EQ(Visited(), (std::vector<std::string>{"a/a1.tif:1"}));
  EXPECT_EQ(Host.Status,
            (std::vector<std::string>{"reading... " + Root, "reading... " + Root + "/a",
                                      "reading... " + Root + "/b", "Finished..."}));
}

TEST_F(Walk, FileSlotHoldsTheLastFileVisitedLoadedOrNot) {
  Host.Slot = std::make_unique<TTiffFile>();
  Tiff("a.tif", 1);
  Text("b.tif", "no tiff");
  Host.Start();
  ASSERT_TRUE(Host.Slot);
  EXPECT_EQ(Host.Slot->FileName(), Root + "/b.tif");
  EXPECT_EQ(Host.Slot->PageCount(), 0);

  Host.Slot.reset();
  Host.Run.IncludeRoot = false;
  Host.Start();
  EXPECT_FALSE(Host.Slot); // no file visited: the slot is as it was
}

TEST(DirectoryListing, OnePassSortedWithoutHiddenOrSpecialEntries) {
  TTempDir dir;
  for (const char* name : {"b.tif", "A.TIF", "a.tif", ".h.tif", "c.txt"})
    std::ofstream(dir.File(name)) << "x";
  fs::create_directory(dir.Path() / "Zed");
  fs::create_directory(dir.Path() / "alpha");
  fs::create_directory(dir.Path() / ".git");
  ASSERT_EQ(mkfifo(dir.File("p.tif").c_str(), 0600), 0);
  TDirectoryListing listing;
  std::string reason;
  ASSERT_TRUE(ListDirectory(dir.Path().string(), listing, reason));
  EXPECT_EQ(listing.TifFiles, (std::vector<std::string>{"A.TIF", "a.tif", "b.tif"}));
  EXPECT_EQ(listing.SubDirectories, (std::vector<std::string>{"alpha", "Zed"}));

  EXPECT_FALSE(ListDirectory(dir.File("missing"), listing, reason));
  EXPECT_EQ(reason, "No such file or directory");
  EXPECT_TRUE(listing.TifFiles.empty());
}

} // namespace
} // namespace lodestar::test
