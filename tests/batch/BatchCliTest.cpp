// "lodestar-cli batch" run as a user runs it: its bytes against the engine's records.
#include "TResultsFile.h"
#include "TempDir.h"
#include "TestHost.h"
#include "TiffBuilder.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

namespace lodestar::test {
namespace {

namespace fs = std::filesystem;

struct TResult {
  int Status = -1;
  std::string Out;
  std::string Err;
};

std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

class BatchCli : public testing::Test {
protected:
  TTempDir Dir;
  TTempDir Scratch;
  std::string Tree = (Dir.Path() / "tree").string();

  BatchCli() {
    const std::string nul(1, '\0');
    TTiffBuilder a;
    a.Pages({ScanPage(a, 1728, 2200, 200, "Scanner 2 "), ScanPage(a, 1728, 2200, 300, "Other")});
    Save(a, "A.tif");
    TTiffBuilder b(TByteOrder::Big);
    b.Pages({{b.ShortEntry(256, 640), b.AsciiEntry(315, "Ann \"Q\"" + nul),
              b.AsciiEntry(315, "Bob" + nul)}});
    Save(b, "b.TIF");
    TTiffBuilder c;
    c.Pages({ScanPage(c, 100, 200, 72, "c")});
    Save(c, "sub/c.tif");
    Save(c, ".hidden/d.tif");
    fs::create_directories(Tree + "/sub/empty");
    std::ofstream(Tree + "/sub/junk.tif") << "junk";
  }

  void Save(const TTiffBuilder& b, const std::string& relative) {
    fs::create_directories(fs::path(Tree + "/" + relative).parent_path());
    b.Save(Tree + "/" + relative);
  }

  TResult Cli(const std::vector<std::string>& args) {
    std::string command = LODESTAR_CLI;
    for (const auto& arg : args)
      command += " " + Quote(arg);
    const std::string err = Scratch.File("stderr");
    command += " 2>" + Quote(err);
    TResult result;
    FILE* pipe = popen(command.c_str(), "r");
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
      result.Out.append(buffer.data(), n);
    const int status = pclose(pipe);
    result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.Err = Bytes(err);
    return result;
  }

  // The engine's records for the same tree, as the Batch tab writes them.
  std::vector<std::string> Engine(const std::function<void(TTestHost&)>& setUp) {
    TTestHost host(Tree);
    setUp(host);
    return host.Start();
  }

  static std::string Joined(const std::vector<std::string>& lines, const char* end) {
    std::string text;
    for (const auto& line : lines)
      text += line + end;
    return text;
  }
};

TEST_F(BatchCli, DefaultsAreTheNineItemsAllTicked) {
  const auto result = Cli({"batch", Tree});
  EXPECT_EQ(result.Status, 0);
  EXPECT_EQ(result.Err, ""); // no progress when standard error is no terminal
  EXPECT_EQ(result.Out, Joined(Engine([](TTestHost&) {}), "\n"));
  EXPECT_EQ(result.Out.substr(0, result.Out.find('\n')),
            R"("Filename","Page","Imagewidth","Imageheight","Description","Name",)"
            R"("XResolution","YResolution","Software","DateTime","Artist")");
}

TEST_F(BatchCli, OptionsGiveTheSameBytesAsTheEngine) {
  const auto result = Cli({"batch", Tree, "--tags", "315,256:Width,0256,305:,50000", "--separator",
                           "; ", "--split-path", "--no-trim", "--first-page-only"});
  EXPECT_EQ(result.Status, 0) << result.Err;
  const auto expected = Engine([](TTestHost& host) {
    host.List.Clear();
    host.List.Add("315", "Artist");
    host.List.Add("256", "Width");
    host.List.Add("0256", "ImageWidth");
    host.List.Add("305", "");
    host.List.Add("50000", "Unknown Tag");
    host.Record.Separator = "; ";
    host.Record.SplitPath = true;
    host.Record.TrimValue = false;
    host.Record.AllPages = false;
  });
  EXPECT_EQ(result.Out, Joined(expected, "\n"));
}

TEST_F(BatchCli, RootSubdirectoryAndHeaderOptions) {
  auto result = Cli({"batch", Tree, "--no-root", "--no-header", "--tags", "256"});
  EXPECT_EQ(result.Out, "\"" + Tree + "/sub/c.tif\",\"1\",\"100\"\n");
  result = Cli({"batch", Tree, "--no-subdirs", "--no-header", "--tags", "256", "--separator", ""});
  EXPECT_EQ(result.Out, "\"" + Tree + "/A.tif\"\"1\"\"1728\"\n\"" + Tree +
                            "/A.tif\"\"2\"\"1728\"\n\"" + Tree + "/b.TIF\"\"1\"\"640\"\n");
}

TEST_F(BatchCli, OutputFileIsWrittenAsTheTabSavesIt) {
  const std::string output = Scratch.File("out");
  const auto result = Cli({"batch", Tree, "--output", output, "--tags", "256,315"});
  EXPECT_EQ(result.Status, 0);
  EXPECT_EQ(result.Out, "");
  const auto lines = Engine([](TTestHost& host) {
    host.Items({"256  Imagewidth", "315  Artist"});
  });
  const std::string saved = Scratch.File("saved");
  SaveResults(saved, lines);
  EXPECT_EQ(Bytes(output), Bytes(saved));
  EXPECT_EQ(Bytes(output).substr(Bytes(output).size() - 2), "\r\n");
}

struct TExitCase {
  const char* Name;
  std::vector<std::string> Args; // "TREE" stands for the tree, "SCRATCH" for a scratch directory
  int Status;
  std::string ErrStart;
};

class BatchCliExit : public BatchCli, public testing::WithParamInterface<TExitCase> {};

TEST_P(BatchCliExit, StatusAndMessage) {
  std::vector<std::string> args;
  for (auto arg : GetParam().Args) {
    if (arg.rfind("TREE", 0) == 0)
      arg = Tree + arg.substr(4);
    if (arg.rfind("SCRATCH", 0) == 0)
      arg = Scratch.Path().string() + arg.substr(7);
    args.push_back(arg);
  }
  const auto result = Cli(args);
  EXPECT_EQ(result.Status, GetParam().Status) << result.Err;
  std::string err = result.Err;
  for (const auto& [from, to] : {std::pair{Tree, std::string("TREE")},
                                 std::pair{Scratch.Path().string(), std::string("SCRATCH")}})
    for (auto at = err.find(from); at != std::string::npos; at = err.find(from))
      err.replace(at, from.size(), to);
  EXPECT_EQ(err.substr(0, GetParam().ErrStart.size()), GetParam().ErrStart);
  if (GetParam().Status != 0) {
    EXPECT_EQ(result.Out, "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    BatchCli, BatchCliExit,
    testing::Values(
        TExitCase{"Success", {"batch", "TREE"}, 0, ""},
        TExitCase{"MissingDirectory",
                  {"batch", "TREE/nope"},
                  2,
                  "lodestar-cli: error: 'TREE/nope': Starting directory does not exist\n"},
        TExitCase{"DirectoryIsAFile",
                  {"batch", "TREE/A.tif"},
                  2,
                  "lodestar-cli: error: 'TREE/A.tif': Starting directory does not exist\n"},
        TExitCase{"NoDirectory", {"batch"}, 2, "lodestar-cli: error: DIR is required"},
        TExitCase{"UnknownOption", {"batch", "TREE", "--fast"}, 2, "lodestar-cli: error: "},
        TExitCase{"TagNotANumber",
                  {"batch", "TREE", "--tags", "256,abc"},
                  2,
                  "lodestar-cli: error: 'abc': not a tag number\n"},
        TExitCase{"EmptyTagList", {"batch", "TREE", "--tags", ""}, 2, "lodestar-cli: error: "},
        TExitCase{"OutputCannotBeCreated",
                  {"batch", "TREE", "--output", "SCRATCH/no/dir/out.csv"},
                  1,
                  "lodestar-cli: error: 'SCRATCH/no/dir/out.csv': Cannot create file "
                  "\"SCRATCH/no/dir/out.csv\". No such file or directory\n"}),
    [](const auto& info) { return info.param.Name; });

TEST_F(BatchCli, MissingDirectoryLeavesNoOutputFile) {
  Cli({"batch", Tree + "/nope", "--output", Scratch.File("out.csv")});
  EXPECT_FALSE(fs::exists(Scratch.File("out.csv")));
}

} // namespace
} // namespace lodestar::test
