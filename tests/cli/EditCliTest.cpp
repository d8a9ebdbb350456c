// "lodestar-cli edit" run as a user runs it: what it prints, its exit status, and every byte of the
// file after it.
#include "CliTestSupport.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace lodestar::test {
namespace {

namespace fs = std::filesystem;
const std::string Nul(1, '\0');

class Edit : public ::testing::Test {
protected:
  // Page 1: ImageWidth, Artist "Jonas" at 100, Software "" (count 1); page 2 (at 106): Software
  // "abc" in its entry, at 116.
  void SetUp() override {
    TTiffBuilder b;
    b.Pages(
        {{b.ShortEntry(256, 1728), b.AsciiEntry(315, "Jonas" + Nul, 100), b.AsciiEntry(305, Nul)},
         {b.AsciiEntry(305, "abc" + Nul)}});
    Original = FileBytes(b.Save(Path));
  }
  TProgramRun Run(const std::vector<std::string>& options) {
    std::vector<std::string> args = {"edit", Path};
    args.insert(args.end(), options.begin(), options.end());
    return RunCli(args);
  }

  TTempDir Dir;
  const std::string Path = Dir.File("two pages.tif");
  std::string Original;
};

TEST_F(Edit, WritesTheTextPaddedToTheValuesLengthAndNothingElse) {
  EXPECT_EQ(Outcome(Run({"--entry", "2", "--text", "Ann"})),
            "wrote 5 bytes at position 100: \"Ann  \"\n=0");
  EXPECT_EQ(Outcome(Run({"-p", "2", "-e", "1", "-t", "\xE2\x82\xAC"})), // the euro sign
            "wrote 3 bytes at position 116: \"\xE2\x82\xAC  \"\n=0");
  EXPECT_EQ(FileBytes(Path),
            std::string(Original).replace(100, 5, "Ann  ").replace(116, 3, "\x80  "));
}

TEST_F(Edit, RefusalsSayWhyAndLeaveTheFile) {
  const std::string none = Said(Path, "there is no page 3; the file has 2 pages") + "=1";
  const std::string entry = "is not an entry number; entries are numbered from 1";
  // With status 1 about the file, with 2 about the command line.
  const std::tuple<std::vector<std::string>, std::string, int> cases[] = {
      {{"-e", "1", "-t", "x"}, "Only ASCII values could be edited.", 1},
      // One character more than the value holds is refused, not cut.
      {{"-e", "2", "-t", "Jonas!"}, "the text has 6 characters; entry 2 holds at most 5", 1},
      {{"-e", "3", "-t", "x"}, "the text has 1 character; entry 3 holds at most 0", 1},
      {{"-e", "2", "-t", "\xE2\x9C\x93"},
       "the text holds characters that Windows-1252 cannot store",
       1},
      {{"-e", "2", "-t", "J\xF6n"}, "the text is not valid UTF-8", 1},
      {{"-e", "2", "-t", "\xED\xA0\x80"}, "the text is not valid UTF-8", 1},
      {{"-e", "4", "-t", "x"}, "page 1 has no entry 4", 1},
      {{"--page", "3", "-e", "1", "-t", "x"}, "there is no page 3; the file has 2 pages", 1},
      {{"-e", "abc", "-t", "x"}, "--entry: 'abc' " + entry, 2},
      {{"-e", "0", "-t", "x"}, "--entry: '0' " + entry, 2},
      {{"-e", "99999999999", "-t", "x"}, "--entry: '99999999999' " + entry, 2},
      {{"--page", "two", "-e", "1", "-t", "x"},
       "--page: pages are numbered from 1; 'two' names none",
       2},
  };
  for (const auto& [options, message, status] : cases) {
    EXPECT_EQ(Outcome(Run(options)),
              (status == 1 ? Said(Path, message) : Usage(message)) + "=" + std::to_string(status));
    EXPECT_EQ(FileBytes(Path), Original);
  }
  // info refuses a page past the last the same way.
  EXPECT_EQ(Outcome(RunCli({"info", Path, "--page", "3"})), none);
  EXPECT_EQ(Outcome(RunCli({"info", Path, "--page", "3", "--hex"})), none);
  EXPECT_EQ(RunCli({"info", Path, "--page", "2"}).Status, 0);
}

// An entry of a sub-directory is named by its "Nr" in the listing.
TEST(EditSubDirectory, WritesAnAsciiEntryNamedByItsNr) {
  TTempDir dir;
  const std::string path = SubDirectoryFile(dir.File("exif.tif"));
  std::string expected = FileBytes(path);
  const struct {
    const char* Entry;
    const char* Text;
    std::size_t Position; // where the bytes go; 0: refused
    const char* Written;
  } cases[] = {
      {"Exif 1", "2020:01:01 00:00:00", 700, "2020:01:01 00:00:00"},
      {"Exif/Interoperability 1", "X", 610, "X  "},
      {"GPS 1", "S", 810, "S"},
      {"Exif 2", "x", 0, ""}, // a Long
      {"Exif 3", "x", 0, ""}, // no such entry
      {"GPS 01", "W", 810, "W"},
  };
  for (const auto& c : cases) {
    const TProgramRun run = RunCli({"edit", path, "--entry", c.Entry, "--text", c.Text});
    EXPECT_EQ(run.Status, c.Position ? 0 : 1) << c.Entry << run.Err;
    expected.replace(c.Position, std::string(c.Written).size(), c.Written);
    EXPECT_TRUE(FileBytes(path) == expected) << c.Entry;
  }
}

// Another program holds the editor's lock: the load waits for it, then reads anyway and says
// so; the edit is refused as such, not as a permissions problem, and goes through once the lock
// is gone.
TEST_F(Edit, LeavesAFileAnotherProgramIsEditing) {
  const int fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  EXPECT_EQ(
      Outcome(Run({"-e", "2", "-t", "Ann"})),
      Said(Path,
           "Another program was writing this file; it was read without waiting for it to finish",
           "warning") +
          Said(Path, "The file is being edited by another program; nothing was written.") + "=1");
  EXPECT_EQ(FileBytes(Path), Original);
  ::close(fd);
  EXPECT_EQ(Run({"-e", "2", "-t", "Ann"}).Status, 0);
  EXPECT_EQ(FileBytes(Path), std::string(Original).replace(100, 5, "Ann  "));
}

// Root writes read-only files: as root the command runs as "nobody", who must reach the program.
TEST_F(Edit, ReadOnlyFileForAnUnprivilegedUser) {
  fs::permissions(Path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const std::string as =
      ::geteuid() == 0 ? "setpriv --reuid=nobody --regid=nogroup --clear-groups " : "";
  if (RunProgram(as + LODESTAR_CLI, {"--version"}).Status != 0)
    GTEST_SKIP() << "user nobody cannot run " << LODESTAR_CLI;
  EXPECT_EQ(Outcome(RunProgram(as + LODESTAR_CLI, {"edit", Path, "-e", "2", "-t", "x"})),
            Said(Path, "Saving failed. Make sure this file is not read-only (Permission denied)") +
                "=1");
  EXPECT_EQ(FileBytes(Path), Original);
}

} // namespace
} // namespace lodestar::test
