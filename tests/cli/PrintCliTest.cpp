// "lodestar-cli print" run as a script runs it: no display, no QT_QPA_PLATFORM, exact standard
// error and status, the PDF's sheets counted by pdfinfo and read back by pdftotext.

#include "PdfInfo.h"
#include "RunProgram.h"
#include "TempDir.h"
#include "TiffBuilder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

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
  // 120 tags and the seven rows around them: 61 + 61 + 5 rows of 10-point Liberation Serif.
  TTiffBuilder b;
  std::vector<TEntryDraft> tags;
  for (std::uint16_t tag = 40000; tag < 40120; ++tag)
    tags.push_back(b.ShortEntry(tag, 1));
  b.Pages({{b.ShortEntry(256, 8)}, tags}).Save(dir.File("many.tif"));
  const std::string pdf = dir.File("out.pdf");
  const struct {
    std::vector<std::string> Args;
    std::string File, Pages;
  } cases[] = {{{"./sample.tif"}, "sample.tif", "1"},
               {{"many.tif", "--page", "2", "--hex"}, "many.tif", "3"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.File);
    const TProgramRun run =
        RunProgram("cd '" + dir.Path().string() + "' && " + Cli + " --pdf out.pdf", c.Args);
    EXPECT_EQ(run.Out + run.Err + std::to_string(run.Status), "0");
    EXPECT_EQ(PdfInfo(pdf, "Pages"), c.Pages);
    EXPECT_EQ(PdfInfo(pdf, "Page size"), "595 x 842 pts (A4)");
    EXPECT_EQ(PdfInfo(pdf, "Title"), "Lodestar Print");
    const std::string text = RunProgram("pdftotext", {pdf, "-"}).Out;
    EXPECT_NE(text.find("File: " + dir.File(c.File) + "\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Page: 1 / " + c.Pages), std::string::npos) << text;
  }
  // The last tag row as `info` lists it in hexadecimal, on the last sheet.
  const std::string listing =
      RunProgram(LODESTAR_CLI, {"info", dir.File("many.tif"), "--page", "2", "--hex"}).Out;
  const std::size_t row = listing.find("\n120\t") + 5;
  const std::string entryPos = listing.substr(row, listing.find('\t', row) - row);
  const std::string text = RunProgram("pdftotext", {"-f", "3", pdf, "-"}).Out;
  EXPECT_NE(text.find("\n120 " + entryPos + "\n"), std::string::npos) << entryPos << "\n" << text;
}

TEST(CliPrint, FailuresLeaveAnOlderOutputAsItWasAndSayWhy) {
  TTempDir dir;
  std::ofstream(dir.File("old.pdf")) << "older bytes";
  std::ofstream(dir.File("text.tif")) << "not a TIFF file";
  const std::string old = dir.File("old.pdf");
  struct {
    std::vector<std::string> Args;
    int Status;
    std::string Err;
  } cases[] = {
      {{dir.File("text.tif"), "--pdf", old},
       1,
       "lodestar-cli: error: '" + dir.File("text.tif") + "': Not a valid tiff file\n"},
      {{dir.File("none.tif"), "--pdf", old},
       2,
       "lodestar-cli: error: '" + dir.File("none.tif") + "': No such file or directory\n"},
      {{Sample, "--pdf", dir.File("no/out.pdf")},
       1,
       "lodestar-cli: error: '" + dir.File("no/out.pdf") + "': No such file or directory\n"},
      {{Sample},
       2,
       "lodestar-cli: error: --pdf is required\nRun with --help for more information.\n"},
      {{Sample, "--page", "0", "--pdf", old}, 2, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Args.back());
    const TProgramRun run = RunProgram(Cli, c.Args);
    EXPECT_EQ(run.Status, c.Status);
    if (!c.Err.empty()) {
      EXPECT_EQ(run.Err, c.Err);
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
