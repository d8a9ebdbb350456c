// `print` as a program of its own: lodestar-cli loads no Qt library and runs the helper it finds
// beside itself; a page past the last and a missing helper are refused with the older PDF intact.

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

namespace fs = std::filesystem;

TEST(CliPrintHelper, TheToolLinksNoQtLibrary) {
  const TProgramRun run = RunProgram("ldd", {LODESTAR_CLI});
  ASSERT_EQ(run.Status, 0);
  EXPECT_NE(run.Out.find("libc.so"), std::string::npos) << run.Out;
  EXPECT_EQ(run.Out.find("libQt"), std::string::npos) << run.Out;
}

TEST(CliPrintHelper, RefusalsLeaveTheOlderPdf) {
  TTempDir dir;
  TTiffBuilder b;
  const std::string tiff =
      b.Pages({{b.ShortEntry(256, 8)}, {b.ShortEntry(256, 9)}}).Save(dir.File("two.tif"));
  const std::string pdf = dir.File("old.pdf");
  // The tool alone, away from its helper, as a copy made by hand would be.
  const std::string lone = dir.File("bin/lodestar-cli");
  fs::create_directories(dir.File("bin"));
  fs::copy_file(LODESTAR_CLI, lone);
  const std::string helper = dir.File("bin/../libexec/lodestar/lodestar-print");
  const struct {
    std::string Cli;
    std::vector<std::string> Args;
    std::string Err;
  } cases[] = {
      {LODESTAR_CLI,
       {"--page", "3"},
       "lodestar-cli: error: '" + tiff + "': there is no page 3; the file has 2 pages\n"},
      {lone,
       {},
       "lodestar-cli: error: '" + helper +
           "': cannot run the print helper: No such file or directory\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Cli);
    std::ofstream(pdf) << "older bytes";
    std::vector<std::string> args = {"print", tiff, "--pdf", pdf};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    const TProgramRun run = RunProgram(c.Cli, args);
    EXPECT_EQ(run.Out + run.Err, c.Err);
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(FileBytes(pdf), "older bytes");
  }
  EXPECT_EQ(RunProgram(LODESTAR_CLI, {"print", tiff, "--pdf", pdf, "--page", "2"}).Status, 0);
  EXPECT_EQ(FileBytes(pdf).substr(0, 5), "%PDF-");
}

} // namespace
} // namespace lodestar::test
