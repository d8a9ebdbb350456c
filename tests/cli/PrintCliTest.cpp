// "lodestar-cli print" run as a script runs it: no display, no QT_QPA_PLATFORM, exact standard
// error and status, the PDF read back by pdfinfo and pdftotext; the tool itself loads no Qt
// library and runs the helper it finds beside itself. The sheets are checked in tests/viewer.
#include "CliTestSupport.h"
#include "PdfInfo.h"

namespace lodestar::test {
namespace {

namespace fs = std::filesystem;
const std::string Sample = LODESTAR_SOURCE_DIR "/samples/sample.tif";
// As on a server: no display, and nothing telling Qt which platform to use.
const std::string Env = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";

// Run in the file's directory: the header names the file as given, made absolute.
TEST(CliPrint, WritesTheReportOfOnePageAsA4WithoutADisplay) {
  TTempDir dir;
  fs::copy_file(Sample, dir.File("sample.tif"));
  const TProgramRun run = RunProgram("cd '" + dir.Path().string() + "' && " + Env + LODESTAR_CLI,
                                     {"print", "./sample.tif", "--pdf", "out.pdf"});
  EXPECT_EQ(Outcome(run), "=0");
  EXPECT_EQ(PdfInfo(dir.File("out.pdf"), "Page size"), "595 x 842 pts (A4)");
  const std::string text = RunProgram("pdftotext", {dir.File("out.pdf"), "-"}).Out;
  EXPECT_NE(text.find("File: " + dir.File("sample.tif") + "\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Page: 1 / 1"), std::string::npos);
  const std::string ldd = RunProgram("ldd", {LODESTAR_CLI}).Out;
  EXPECT_NE(ldd.find("libc.so"), std::string::npos) << ldd;
  EXPECT_EQ(ldd.find("libQt"), std::string::npos) << ldd;
}

// Every refusal leaves an older output as it was, and no temporary file behind.
TEST(CliPrint, FailuresLeaveAnOlderOutputAsItWasAndSayWhy) {
  TTempDir dir;
  TTiffBuilder b;
  const std::string tiff =
      b.Pages({{b.ShortEntry(256, 8)}, {b.ShortEntry(256, 9)}}).Save(dir.File("two.tif"));
  const std::string old = dir.File("old.pdf"), text = dir.File("text.tif"),
                    missing = dir.File("no/out.pdf");
  std::ofstream(text) << "not a TIFF file";
  // The tool alone, away from its helper, as a copy made by hand would be.
  const std::string lone = dir.File("bin/lodestar-cli");
  fs::create_directories(dir.File("bin"));
  fs::copy_file(LODESTAR_CLI, lone);
  const std::string helper = dir.File("bin/../libexec/lodestar/lodestar-print");
  const struct {
    std::string Cli;
    std::vector<std::string> Args;
    std::string Outcome;
  } cases[] = {
      {LODESTAR_CLI, {text, "--pdf", old}, Said(text, "Not a valid tiff file") + "=1"},
      {LODESTAR_CLI, {tiff, "--pdf", missing}, Said(missing, "No such file or directory") + "=1"},
      {LODESTAR_CLI,
       {tiff, "--pdf", old, "--page", "3"},
       Said(tiff, "there is no page 3; the file has 2 pages") + "=1"},
      {LODESTAR_CLI,
       {tiff, "--page", "0", "--pdf", old},
       Usage("--page: pages are numbered from 1; '0' names none") + "=2"},
      {lone,
       {tiff, "--pdf", old},
       Said(helper, "cannot run the print helper: No such file or directory") + "=1"},
  };
  for (const auto& c : cases) {
    std::ofstream(old) << "older bytes";
    std::vector<std::string> args = c.Args;
    args.insert(args.begin(), "print");
    EXPECT_EQ(Outcome(RunProgram(Env + c.Cli, args)), c.Outcome);
    EXPECT_EQ(FileBytes(old), "older bytes");
  }
  fs::remove_all(dir.File("bin"));
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir.Path()))
    left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"old.pdf", "text.tif", "two.tif"}));
  EXPECT_EQ(RunCli({"print", tiff, "--pdf", old, "--page", "2"}).Status, 0);
  EXPECT_EQ(FileBytes(old).substr(0, 5), "%PDF-");
}

} // namespace
} // namespace lodestar::test
