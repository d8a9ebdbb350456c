// "lodestar-cli edit" run as a user runs it: what it prints, its exit status, and every byte of the
// file after it, on files of the test builder and of the public corpus.
#include "RunProgram.h"
#include "TiffBuilder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

namespace lodestar::test {
namespace {

namespace fs = std::filesystem;
const std::string Nul(1, '\0');

TProgramRun Exec(const std::vector<std::string>& args) {
  return RunProgram(LODESTAR_CLI, args);
}

std::string Error(const std::string& file, const std::string& text) {
  return "lodestar-cli: error: '" + file + "': " + text + "\n";
}

class EditCli : public ::testing::Test {
protected:
  // Page 1: ImageWidth, Artist "Jon Smth" at 100; page 2 (at 110): Software "abc" in its entry,
  // at 120.
  void SetUp() override {
    TTiffBuilder b;
    b.Pages({{b.ShortEntry(256, 1728), b.AsciiEntry(315, "Jon Smth" + Nul, 100)},
             {b.AsciiEntry(305, "abc" + Nul)}});
    Path = b.Save(Dir.File("scan 1.tif"));
    Original = FileBytes(Path);
  }
  std::string With(std::size_t position, const std::string& bytes) const {
    std::string expected = Original;
    expected.replace(position, bytes.size(), bytes);
    return expected;
  }

  TTempDir Dir;
  std::string Path, Original;
};

TEST_F(EditCli, WritesTheTextPaddedToTheValuesLengthAndNothingElse) {
  TProgramRun run = Exec({"edit", Path, "--entry", "2", "--text", "Jo Smith"});
  EXPECT_EQ(run.Out + run.Err + std::to_string(run.Status),
            "wrote 8 bytes at position 100: \"Jo Smith\"\n0");
  run = Exec({"edit", Path, "-p", "2", "-e", "1", "-t", "\xE2\x82\xAC"}); // the euro sign
  EXPECT_EQ(run.Out + run.Err + std::to_string(run.Status),
            "wrote 3 bytes at position 120: \"\xE2\x82\xAC  \"\n0");
  EXPECT_EQ(FileBytes(Path), With(100, "Jo Smith").replace(120, 3, "\x80  "));
}

// Each refused with status 1: the message after "lodestar-cli: error: 'FILE': ".
TEST_F(EditCli, RefusalsSayWhyAndLeaveTheFile) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"-e", "1", "-t", "x"}, "Only ASCII values could be edited."},
      // One character more than the value holds is refused, not cut.
      {{"-e", "2", "-t", "Jon Smith"}, "the text has 9 characters; entry 2 holds at most 8"},
      {{"-e", "2", "-t", "\xE2\x9C\x93"},
       "the text holds characters that Windows-1252 cannot store"},
      {{"-e", "3", "-t", "x"}, "page 1 has no entry 3"},
  };
  for (const auto& [options, message] : cases) {
    SCOPED_TRACE(message);
    std::vector<std::string> args = {"edit", Path};
    args.insert(args.end(), options.begin(), options.end());
    const TProgramRun run = Exec(args);
    EXPECT_EQ(run.Out + run.Err + std::to_string(run.Status), Error(Path, message) + "1");
    EXPECT_EQ(FileBytes(Path), Original);
  }
}

// Root writes read-only files: as root the command runs as "nobody", who must reach the program.
TEST_F(EditCli, ReadOnlyFileForAnUnprivilegedUser) {
  fs::permissions(Path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const std::string as =
      ::geteuid() == 0 ? "setpriv --reuid=nobody --regid=nogroup --clear-groups " : "";
  if (RunProgram(as + LODESTAR_CLI, {"--version"}).Status != 0)
    GTEST_SKIP() << "user nobody cannot run " << LODESTAR_CLI;
  const TProgramRun run = RunProgram(as + LODESTAR_CLI, {"edit", Path, "-e", "2", "-t", "x"});
  EXPECT_EQ(run.Err, Error(Path, "Saving failed. Make sure this file is not read-only "
                                 "(Permission denied)"));
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(FileBytes(Path), Original);
}

// The first "Ascii" value of page 1 of every corpus file that has one, rewritten through the
// command: exactly the value's bytes change, or, where it refuses, none.
TEST(EditCliCorpus, ChangesExactlyTheValuesBytes) {
  TTempDir dir;
  int edited = 0;
  for (const auto& entry : fs::directory_iterator(TestDataDir() / "corpus")) {
    const std::string name = entry.path().filename().string();
    const std::string path = dir.File(name);
    fs::copy_file(entry.path(), path);
    const auto json = nlohmann::json::parse(Exec({"info", path, "--json"}).Out, nullptr, false);
    if (json.is_discarded() || !json.contains("pages") || json["pages"].empty())
      continue;
    const auto& tags = json["pages"][0]["tags"];
    for (std::size_t k = 0; k < tags.size(); ++k) {
      if (tags[k]["type_name"] != "Ascii" || tags[k]["count"] < 2)
        continue;
      SCOPED_TRACE(name + " entry " + std::to_string(k + 1));
      const std::string before = FileBytes(path);
      const int count = tags[k]["count"];
      const std::size_t position = tags[k]["value_pos"];
      const std::string text = std::string("Fixed by lodestar").substr(0, count - 1);
      const TProgramRun run = Exec({"edit", path, "-e", std::to_string(k + 1), "-t", text});
      std::string expected = before;
      if (run.Status == 0) {
        const std::string padded = text + std::string(count - 1 - text.size(), ' ');
        expected.replace(position, padded.size(), padded);
        EXPECT_EQ(run.Out, "wrote " + std::to_string(count - 1) + " bytes at position " +
                               std::to_string(position) + ": \"" + padded + "\"\n");
        ++edited;
      } else {
        EXPECT_EQ(run.Err, Error(path, "This value was not read whole from the file, so it "
                                       "cannot be edited."));
      }
      EXPECT_EQ(FileBytes(path), expected);
      break;
    }
  }
  EXPECT_GE(edited, 40);
}

} // namespace
} // namespace lodestar::test
