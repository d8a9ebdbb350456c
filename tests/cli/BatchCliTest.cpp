// lodestar-cli batch: --files-from in the list's order with every --jobs, names of any bytes and
// the names that cannot be read; items that reach into sub-directories.
#include "CliTestSupport.h"

#include <nlohmann/json.hpp>
#include <sys/stat.h>

namespace lodestar::test {
namespace {

namespace fs = std::filesystem;
using TLines = std::vector<std::string>;

class FilesFrom : public testing::Test {
protected:
  void Tiff(const std::string& relative) {
    fs::create_directories(fs::path(Dir.File(relative)).parent_path());
    TTiffBuilder b;
    b.Pages({ScanPage(b, 100, 20, 72, "s")}).Save(Dir.File(relative));
  }
  // --tags takes every value up to the next option, DIR too.
  TProgramRun Batch(std::vector<std::string> args) {
    args.insert(args.begin(), "batch");
    args.insert(args.end(), {"--no-header", "--tags", "256"});
    return RunCli(args);
  }

  TTempDir Dir;
  const std::string Root = Dir.Path().string();
};

// Every kind of name a list may hold, in an order no walk would take, with every --jobs and both
// separators: the records come in the list's order, the names that cannot be read are named on
// standard error, and the run ends incomplete.
TEST_F(FilesFrom, ReadsTheListInItsOrderAndNamesWhatItCannotRead) {
  const std::string latin1 = "caf\xe9.tif", newline = "two\nlines.tif", R = Root + "/";
  for (const std::string& name : TLines{"z/last.tif", "a/first.tif", latin1, newline, "no-tif"})
    Tiff(name);
  fs::create_directory(Dir.Path() / "adir");
  ASSERT_EQ(mkfifo(Dir.File("pipe.tif").c_str(), 0600), 0);
  for (const auto& [separator, jobs] :
       {std::pair{'\n', "1"}, {'\n', "4"}, {'\0', "1"}, {'\0', "3"}}) {
    std::string list = R + "z/last.tif|missing.tif|" + R + "./a/../" + latin1 + "|" + R +
                       "a/first.tif|" + R + "adir|" + R + "pipe.tif||" + R + "no-tif|" + R +
                       "z/last.tif|";
    std::vector<std::string> expected = {"z/last.tif", latin1, "a/first.tif", "no-tif",
                                         "z/last.tif"};
    if (separator == '\0') {
      list += R + newline;
      expected.push_back(newline);
    }
    list = std::string(65530, '|') + list; // empty names: the first read of the list cuts a name
    std::replace(list.begin(), list.end(), '|', separator);
    std::ofstream(Dir.File("list"), std::ios::binary) << list;
    TLines args{"--files-from", Dir.File("list"), "--jobs", jobs};
    if (separator == '\0')
      args.push_back("-0");
    const TProgramRun run = Batch(args);
    std::string records;
    for (const auto& name : expected)
      records += "\"" + R + name + "\",\"1\",\"100\"\n";
    // Relative names are taken from the working directory: the test's, not the list's.
    EXPECT_EQ(Outcome(run),
              records + "lodestar-cli: cannot read '" + fs::current_path().string() +
                  "/missing.tif': No such file or directory\nlodestar-cli: cannot read '" + R +
                  "adir': Is a directory (a list names files; batch DIR walks a "
                  "directory)\nlodestar-cli: cannot read '" +
                  R +
                  "pipe.tif': Not a regular file\n"
                  "lodestar-cli: incomplete: 3 entries could not be read\n=3")
        << jobs;
  }
}

// Usage errors leave no output file behind; a working directory removed under the run fails with
// a word instead of ending without one.
TEST_F(FilesFrom, RefusesAMissingListTwoSourcesAndAGoneWorkingDirectory) {
  const std::string out = Dir.File("out.csv");
  for (const auto& [args, error] : std::vector<std::pair<TLines, std::string>>{
           {{"--files-from", Root + "/nolist", "-o", out}, "No such file"},
           {{Root, "--files-from", "-", "-o", out}, "excludes"},
           {{Root, "-0", "-o", out}, "needs --files-from"},
           {{"-o", out}, "give either DIR or --files-from"}}) {
    const TProgramRun run = Batch(args);
    EXPECT_EQ(run.Status, 2);
    EXPECT_NE(run.Err.find(error), std::string::npos) << run.Err;
    EXPECT_FALSE(fs::exists(out));
  }
  Tiff("a.tif");
  const TProgramRun run =
      RunProgram("/bin/bash", {"-c", "mkdir " + Root + "/gone && cd " + Root + "/gone && rmdir " +
                                         Root + "/gone && echo " + Root +
                                         "/a.tif | " LODESTAR_CLI " batch --files-from -"});
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Err.find("Cannot read the working directory. No such file or directory"),
            std::string::npos)
      << run.Err;
}

// Items name entries inside sub-directories by the pointer tags that lead there; a plain number
// still names the page's own entry, and a label defaults to the directory's own table.
TEST(BatchItems, ReachEntriesBySubDirectoryPaths) {
  TTempDir dir;
  SubDirectoryFile(dir.File("exif.tif"));
  const TProgramRun run = RunCli({"batch", dir.Path().string(), "--format", "ndjson", "--tags",
                                  "34665/36867,34853/1,330/256,256,34665/40965/1,34853/36867"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(nlohmann::json::parse(run.Out).at("values"),
            (nlohmann::json{{"DateTimeOriginal", "2005:08:03 18:59:18"},
                            {"GPSLatitudeRef", "N"},
                            {"ImageWidth", "320"},
                            {"Imagewidth", "640"},
                            {"InteroperabilityIndex", "R98"},
                            {"Unknown Tag", nullptr}}));
  for (const char* wrong : {"34665//36867", "/256", "256/", "34665/1234567"}) {
    const TProgramRun refused = RunCli({"batch", dir.Path().string(), "--tags", wrong});
    EXPECT_EQ(refused.Out + std::to_string(refused.Status), "2") << wrong;
  }
}

} // namespace
} // namespace lodestar::test
