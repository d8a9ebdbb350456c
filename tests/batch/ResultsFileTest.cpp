#include "Errors.h"
#include "TResultsFile.h"
#include "TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace lodestar::test {
namespace {

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

TEST(SaveResults, LinesEndWithCrLfTheLastOneToo) {
  TTempDir dir;
  SaveResults(dir.File("r.csv"), {R"("Filename","Page")", "", "\xc3\xa9"});
  EXPECT_EQ(Bytes(dir.File("r.csv")), "\"Filename\",\"Page\"\r\n\r\n\xc3\xa9\r\n");
}

TEST(SaveResults, SavingTwiceReplacesTheFile) {
  TTempDir dir;
  SaveResults(dir.File("r"), {"first run, longer than the second"});
  SaveResults(dir.File("r"), {"second"});
  EXPECT_EQ(Bytes(dir.File("r")), "second\r\n");
  // A name without extension stays without one.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
  EXPECT_TRUE(std::filesystem::exists(dir.File("r")));
}

TEST(SaveResults, MissingDirectoryRaisesTheCreateError) {
  TTempDir dir;
  const std::string name = dir.File("no/such/dir/r.txt");
  try {
    SaveResults(name, {"x"});
    FAIL() << "no error";
  } catch (const EFCreateError& error) {
    EXPECT_EQ(std::string(error.what()),
              "Cannot create file \"" + name + "\". No such file or directory");
  }
}

TEST(SaveResults, FullDiskIsReportedNotTakenForSuccess) {
  if (!std::filesystem::exists("/dev/full"))
    GTEST_SKIP() << "no /dev/full";
  std::vector<std::string> lines(10000, std::string(100, 'x'));
  EXPECT_THROW(SaveResults("/dev/full", lines), EFCreateError);
}

struct TPaneCase {
  const char* Name;
  std::string Text;
  std::string Saved;
};

class PaneText : public testing::TestWithParam<TPaneCase> {};

TEST_P(PaneText, IsSavedLineByLineWithCrLf) {
  TTempDir dir;
  SaveResultsText(dir.File("pane.txt"), GetParam().Text);
  EXPECT_EQ(Bytes(dir.File("pane.txt")), GetParam().Saved);
}

INSTANTIATE_TEST_SUITE_P(SaveResults, PaneText,
                         testing::Values(TPaneCase{"Empty", "", ""},
                                         TPaneCase{"OneLine", "a", "a\r\n"},
                                         TPaneCase{"TwoLines", "a\nb", "a\r\nb\r\n"},
                                         TPaneCase{"ClosingLineBreak", "a\nb\n", "a\r\nb\r\n"},
                                         TPaneCase{"CrLfAlready", "a\r\nb", "a\r\nb\r\n"},
                                         TPaneCase{"EmptyLineInside", "a\n\nb", "a\r\n\r\nb\r\n"}),
                         [](const auto& info) { return info.param.Name; });

} // namespace
} // namespace lodestar::test
