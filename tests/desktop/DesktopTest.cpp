// Lodestar as a desktop installs it: the window program's command line run as a shell runs it,
// with no display, `make run` where there is no display, and the files `cmake --install` lays out.
#include "RunProgram.h"

#include <gtest/gtest.h>

namespace lodestar::test {
namespace {

// As a shell on a machine without a display starts it: a toolkit that needed one would abort.
const std::string NoDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";

// --help and --version answer, an unknown option is a usage error: all without a display.
TEST(Desktop, WindowProgramCommandLineAnswersWithoutADisplayOrAWindow) {
  const struct {
    std::vector<std::string> Args;
    int Status;
    std::string OutStart, Err;
  } cases[] = {
      {{"--help"}, 0, std::string("Usage: ") + LODESTAR_APP + " [options] [FILE]\n", ""},
      {{"--version"}, 0, "lodestar " LODESTAR_VERSION "\n", ""},
      {{"--bogus", "x.tif"},
       2,
       "",
       "lodestar: error: Unknown option 'bogus'.\nRun with --help for more information.\n"}};
  for (const auto& c : cases) {
    const TProgramRun run = RunProgram(NoDisplay + LODESTAR_APP, c.Args);
    EXPECT_EQ(run.Status, c.Status) << c.Args[0];
    EXPECT_EQ(run.Out.substr(0, c.OutStart.size()), c.OutStart) << run.Out;
    EXPECT_EQ(run.Err, c.Err);
  }
}

TEST(MakeRun, WithoutADisplaySaysSoInOneLineAndListsTheSample) {
  const std::string sample = LODESTAR_SOURCE_DIR "/samples/sample.tif";
  const TProgramRun run =
      RunProgram(NoDisplay + LODESTAR_SOURCE_DIR "/scripts/run.sh", {LODESTAR_BUILD_DIR, sample});
  const TProgramRun listing = RunProgram(LODESTAR_CLI, {"info", sample});
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out,
            "run: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); the listing of " +
                sample + " instead:\n" + listing.Out);
  EXPECT_EQ(run.Err, listing.Err);
}

// What goes into the package is checked by lintian and dpkg in CI; here, that the installed tools
// run from where they were put, and the menu entry offers Lodestar for TIFF files.
TEST(Install, InstalledProgramsRunAndTheMenuEntryTakesTheFile) {
  TTempDir prefix;
  const TProgramRun install = RunProgram(
      CMAKE_COMMAND, {"--install", LODESTAR_BUILD_DIR, "--prefix", prefix.Path().string()});
  ASSERT_EQ(install.Status, 0) << install.Err;
  const TProgramRun cli = RunProgram(prefix.File("bin/lodestar-cli"), {"--version"});
  EXPECT_EQ(cli.Out, "lodestar-cli " LODESTAR_VERSION "\n");
  const TProgramRun app = RunProgram(NoDisplay + prefix.File("bin/lodestar"), {"--version"});
  EXPECT_EQ(app.Out, "lodestar " LODESTAR_VERSION "\n");
  // A file manager's "Open with" hands the file over as the one argument.
  const std::string entry = FileBytes(prefix.File("share/applications/lodestar.desktop"));
  EXPECT_NE(entry.find("\nExec=lodestar %f\n"), std::string::npos);
  EXPECT_NE(entry.find("\nMimeType=image/tiff;\n"), std::string::npos);
}

} // namespace
} // namespace lodestar::test
