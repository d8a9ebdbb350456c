// "lodestar-cli print" run as a script runs it: no display, no QT_QPA_PLATFORM, exact standard
// error and status, the PDF read back by pdfinfo and pdftotext. The sheets themselves are checked
// in tests/viewer.

#include "PdfInfo.h"

#include <gtest/gtest.h>

namespace lodestar::test {
namespace {

const std::string Sample = LODESTAR_SOURCE_DIR "/samples/sample.tif";
// As on a server: no display, and nothing telling Qt which platform to use.
const std::string Cli =
    std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ") + LODESTAR_CLI + " print";

// Run in the file's directory: the header names the file as given, made absolute.
TEST(CliPrint, WritesTheReportOfOnePageAsA4WithoutADisplay) {
  TTempDir dir;
  std::filesystem::copy_file(Sample, dir.File("sample.tif"));
  const TProgramRun run = RunProgram("cd '" + dir.Path().string() + "' && " + Cli,
                                     {"./sample.tif", "--pdf", "out.pdf"});
  EXPECT_EQ(run.Out + run.Err + std::to_string(run.Status), "0");
  const std::string pdf = dir.File("out.pdf");
  EXPECT_EQ(PdfInfo(pdf, "Page size"), "595 x 842 pts (A4)");
  const std::string text = RunProgram("pdftotext", {pdf, "-"}).Out;
  EXPECT_NE(text.find("File: " + dir.File("sample.tif") + "\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Page: 1 / 1"), std::string::npos) << text;
}

// A missing FILE's status and message are those of `info` (tests/cli/CliTest.cpp).
TEST(CliPrint, FailuresLeaveAnOlderOutputAsItWasAndSayWhy) {
  TTempDir dir;
  std::ofstream(dir.File("old.pdf")) << "older bytes";
  std::ofstream(dir.File("text.tif")) << "not a TIFF file";
  const std::string old = dir.File("old.pdf"), text = dir.File("text.tif");
  const std::string missing = dir.File("no/out.pdf");
  const struct {
    std::vector<std::string> Args;
    int Status;
    std::string Err;
  } cases[] = {
      {{text, "--pdf", old}, 1, "'" + text + "': Not a valid tiff file\n"},
      {{Sample, "--pdf", missing}, 1, "'" + missing + "': No such file or directory\n"},
      {{Sample, "--page", "0", "--pdf", old}, 2, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Args.back());
    const TProgramRun run = RunProgram(Cli, c.Args);
    EXPECT_EQ(run.Status, c.Status);
    if (!c.Err.empty()) {
      EXPECT_EQ(run.Err, "lodestar-cli: error: " + c.Err);
    }
    EXPECT_EQ(FileBytes(old), "older bytes");
  }
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"old.pdf", "text.tif"}));
}

} // namespace
} // namespace lodestar::test
