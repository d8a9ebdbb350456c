// lodestar-cli batch --files-from: the named files in the list's order with every --jobs, names
// of any bytes, and the names that cannot be read.
#include "RunProgram.h"
#include "TNameList.h"
#include "TempDir.h"
#include "TiffBuilder.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lodestar::test {
namespace {

namespace fs = std::filesystem;
using TLines = std::vector<std::string>;
const TTiffBuilder B;

TLines SplitLines(const std::string& text) {
  TLines lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

// The path cell of each record ("path","page",...), in output order.
TLines PathCells(const std::string& out) {
  TLines paths;
  for (const auto& line : SplitLines(out))
    paths.push_back(line.substr(1, line.find("\",\"") - 1));
  return paths;
}

class FilesFrom : public testing::Test {
protected:
  TTempDir Dir;
  std::string Root = Dir.Path().string(), Cli = LODESTAR_CLI;

  void Tiff(const std::string& relative, std::uint32_t width = 100) {
    fs::create_directories(fs::path(Dir.File(relative)).parent_path());
    TTiffBuilder().Pages({ScanPage(B, width, 20, 72, "s")}).Save(Dir.File(relative));
  }

  std::string List(const TLines& names, char separator) {
    std::string bytes;
    for (const auto& name : names)
      bytes += name + separator;
    std::ofstream(Dir.File("list"), std::ios::binary) << bytes;
    return Dir.File("list");
  }

  TProgramRun Batch(const std::vector<std::string>& args) {
    // --tags takes every value up to the next option, DIR too.
    std::vector<std::string> all{"batch"};
    all.insert(all.end(), args.begin(), args.end());
    all.insert(all.end(), {"--no-header", "--tags", "256"});
    return RunProgram(Cli, all);
  }
};

// Every kind of name a list may hold, in an order no walk would take, with every --jobs and both
// separators: the records come in the list's order, the names that cannot be read are named on
// standard error, and the run ends incomplete.
TEST_F(FilesFrom, ReadsTheListInItsOrderAndNamesWhatItCannotRead) {
  const std::string latin1 = "caf\xe9.tif", newline = "two\nlines.tif";
  Tiff("z/last.tif", 1);
  Tiff("a/first.tif", 2);
  Tiff(latin1, 3);
  Tiff(newline, 4);
  Tiff("no-tif-ending", 5);
  fs::create_directory(Dir.Path() / "adir");
  ASSERT_EQ(mkfifo(Dir.File("pipe.tif").c_str(), 0600), 0);
  struct TCase {
    char Separator;
    std::string Jobs;
  };
  for (const TCase& c : {TCase{'\n', "1"}, TCase{'\n', "4"}, TCase{'\0', "1"}, TCase{'\0', "3"}}) {
    SCOPED_TRACE(testing::Message() << int(c.Separator) << " --jobs " << c.Jobs);
    TLines names{Root + "/z/last.tif",
                 "missing.tif",
                 Root + "/./a/../" + latin1,
                 Root + "/a/first.tif",
                 Root + "/adir",
                 Root + "/pipe.tif",
                 "",
                 Root + "/no-tif-ending",
                 Root + "/z/last.tif"};
    if (c.Separator == '\0')
      names.push_back(Root + "/" + newline);
    std::vector<std::string> args{"--files-from", List(names, c.Separator), "--jobs", c.Jobs};
    if (c.Separator == '\0')
      args.push_back("-0");
    const TProgramRun run = Batch(args);
    EXPECT_EQ(run.Status, 3);
    TLines expected{Root + "/z/last.tif", Root + "/" + latin1, Root + "/a/first.tif",
                    Root + "/no-tif-ending", Root + "/z/last.tif"};
    if (c.Separator == '\0')
      expected.push_back(Root + "/" + newline);
    const TLines records = c.Separator == '\0' ? TLines{} : PathCells(run.Out);
    if (c.Separator == '\n')
      EXPECT_EQ(records, expected);
    else
      for (std::size_t i = 0, at = 0; i < expected.size(); ++i) {
        at = run.Out.find("\"" + expected[i] + "\"", at);
        EXPECT_NE(at, std::string::npos) << expected[i];
      }
    // Relative names are taken from the working directory: the test's, not the list's.
    const std::string cwd = fs::current_path().string();
    EXPECT_NE(run.Err.find("cannot read '" + cwd + "/missing.tif': No such file or directory"),
              std::string::npos)
        << run.Err;
    EXPECT_NE(run.Err.find("cannot read '" + Root + "/adir': Is a directory"), std::string::npos);
    EXPECT_NE(run.Err.find("cannot read '" + Root + "/pipe.tif': Not a regular file"),
              std::string::npos);
    EXPECT_NE(run.Err.find("incomplete: 3 entries could not be read"), std::string::npos);
  }
}

// Usage errors leave no output file behind.
TEST_F(FilesFrom, RefusesAMissingListAndTwoSources) {
  struct TCase {
    std::vector<std::string> Args;
    std::string Error;
  };
  const std::string out = Dir.File("out.csv");
  for (const TCase& c : {TCase{{"--files-from", Root + "/nolist", "-o", out}, "No such file"},
                         TCase{{Root, "--files-from", "-", "-o", out}, "excludes"},
                         TCase{{Root, "-0", "-o", out}, "needs --files-from"},
                         TCase{{"-o", out}, "give either DIR or --files-from"}}) {
    const TProgramRun run = Batch(c.Args);
    EXPECT_EQ(run.Status, 2);
    EXPECT_NE(run.Err.find(c.Error), std::string::npos) << run.Err;
    EXPECT_FALSE(fs::exists(out));
  }
}

// A working directory removed under the run: relative names cannot be resolved, and the run fails
// with a word instead of ending without one.
TEST_F(FilesFrom, FailsWhenTheWorkingDirectoryIsGone) {
  Tiff("a.tif");
  const TProgramRun run =
      RunProgram("/bin/bash",
                 {"-c", "mkdir " + Root + "/gone && cd " + Root + "/gone && rmdir " + Root +
                            "/gone && echo " + Root + "/a.tif | " + Cli + " batch --files-from -"});
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Err.find("Cannot read the working directory. No such file or directory"),
            std::string::npos)
      << run.Err;
}

// Names cut by the reads of the list, longer than its buffer, without a last separator.
TEST(NameList, GivesEveryNameWhereverTheReadsCutIt) {
  const std::string longName(200000, 'n');
  struct TCase {
    std::string Bytes;
    TLines Names;
  };
  for (const TCase& c :
       {TCase{"", {}}, TCase{"a\nb", {"a", "b"}}, TCase{"a\n\nb\n", {"a", "", "b"}},
        TCase{longName + "\nx\n" + longName, {longName, "x", longName}},
        TCase{std::string(70000, 'a') + "\n", {std::string(70000, 'a')}}}) {
    TTempDir dir;
    std::ofstream(dir.File("l"), std::ios::binary) << c.Bytes;
    const int fd = ::open(dir.File("l").c_str(), O_RDONLY);
    TNameList list(fd, '\n', "l");
    TLines names;
    for (std::string name; list.Next(name);)
      names.push_back(name);
    ::close(fd);
    EXPECT_EQ(names, c.Names);
  }
}

} // namespace
} // namespace lodestar::test
