// Refusals the subcommands share, as a user meets them: a page past the last, an entry that is no
// number, a text that is not UTF-8 or one character too long, a file another program is editing.
// Exact standard error and status, and every byte of the file afterwards.

#include "RunProgram.h"
#include "TempDir.h"
#include "TiffBuilder.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace lodestar::test {
namespace {

const std::string Nul(1, '\0');

std::string Said(const std::string& file, const std::string& text) {
  return "lodestar-cli: error: '" + file + "': " + text + "\n";
}

std::string Usage(const std::string& text) {
  return "lodestar-cli: error: " + text + "\nRun with --help for more information.\n";
}

class CliRefusal : public ::testing::Test {
protected:
  // Page 1: ImageWidth, Artist "Jonas" at 100, Software "" (count 1); page 2: ImageWidth.
  void SetUp() override {
    TTiffBuilder b;
    b.Pages(
        {{b.ShortEntry(256, 1728), b.AsciiEntry(315, "Jonas" + Nul, 100), b.AsciiEntry(305, Nul)},
         {b.ShortEntry(256, 5)}});
    Path = b.Save(Dir.File("two pages.tif"));
    Original = FileBytes(Path);
  }

  TTempDir Dir;
  std::string Path, Original;
};

TEST_F(CliRefusal, EverySubcommandRefusesAPagePastTheLastAndWritesNothing) {
  const std::string pdf = Dir.File("out.pdf");
  const std::string none = Said(Path, "there is no page 3; the file has 2 pages");
  const struct {
    std::vector<std::string> Args;
    std::string Err;
    int Status;
  } cases[] = {
      {{"info", Path, "--page", "3"}, none, 1},
      {{"info", Path, "--page", "3", "--hex"}, none, 1},
      {{"edit", Path, "--page", "3", "--entry", "1", "--text", "x"}, none, 1},
      {{"info", Path, "--page", "2"}, "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.Args));
    const TProgramRun run = RunProgram(LODESTAR_CLI, c.Args);
    EXPECT_EQ(c.Status == 0 ? run.Err : run.Out + run.Err, c.Err);
    EXPECT_EQ(run.Status, c.Status);
    EXPECT_EQ(FileBytes(Path), Original);
  }
}

TEST_F(CliRefusal, EditNamesWhatIsWrongWithItsArguments) {
  const struct {
    std::vector<std::string> Args;
    std::string Err;
    int Status;
  } cases[] = {
      {{"--entry", "abc", "--text", "x"},
       Usage("--entry: 'abc' is not an entry number; entries are numbered from 1"),
       2},
      {{"--entry", "0", "--text", "x"},
       Usage("--entry: '0' is not an entry number; entries are numbered from 1"),
       2},
      {{"--entry", "99999999999", "--text", "x"},
       Usage("--entry: '99999999999' is not an entry number; entries are numbered from 1"),
       2},
      {{"--page", "two", "--entry", "1", "--text", "x"},
       Usage("--page: pages are numbered from 1; 'two' names none"),
       2},
      {{"--entry", "2", "--text", "J\xF6n"}, Said(Path, "the text is not valid UTF-8"), 1},
      {{"--entry", "2", "--text", "\xED\xA0\x80"}, Said(Path, "the text is not valid UTF-8"), 1},
      {{"--entry", "3", "--text", "x"},
       Said(Path, "the text has 1 character; entry 3 holds at most 0"),
       1},
      {{"--entry", "2", "--text", "Jonas!"},
       Said(Path, "the text has 6 characters; entry 2 holds at most 5"),
       1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.Args));
    std::vector<std::string> args = {"edit", Path};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    const TProgramRun run = RunProgram(LODESTAR_CLI, args);
    EXPECT_EQ(run.Out + run.Err, c.Err);
    EXPECT_EQ(run.Status, c.Status);
    EXPECT_EQ(FileBytes(Path), Original);
  }
}

// Another program holds the editor's lock: a refusal that says so, not a permissions problem,
// and the file as it was; once the lock is gone the same edit goes through.
TEST_F(CliRefusal, EditLeavesAFileAnotherProgramIsEditing) {
  const int fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  const std::vector<std::string> args = {"edit", Path, "--entry", "2", "--text", "Ann"};
  TProgramRun run = RunProgram(LODESTAR_CLI, args);
  // The load waits for the lock, then reads anyway and says so; the edit itself is refused.
  EXPECT_EQ(run.Out + run.Err,
            "lodestar-cli: warning: '" + Path +
                "': Another program was writing this file; it was read without waiting for it "
                "to finish\n" +
                Said(Path, "The file is being edited by another program; nothing was written."));
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(FileBytes(Path), Original);

  ::close(fd);
  run = RunProgram(LODESTAR_CLI, args);
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(FileBytes(Path), std::string(Original).replace(100, 5, "Ann  "));
}

} // namespace
} // namespace lodestar::test
