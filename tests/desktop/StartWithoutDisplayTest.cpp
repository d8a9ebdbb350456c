// The window program started where no window can be shown: one line that says so and an
// ordinary failure status, not the toolkit's abort.
#include "CommandLine.h"
#include "RunProgram.h"

#include <gtest/gtest.h>

namespace lodestar::test {
namespace {

TEST(StartWithoutDisplay, NeedsADisplayOrANamedPlatform) {
  const struct {
    const char* Name;
    QStringList Arguments;
    QStringList Environment;
    bool Refused;
  } cases[] = {
      {"nothing set", {"lodestar", "a.tif"}, {}, true},
      {"X11", {"lodestar", "a.tif"}, {"DISPLAY=:0"}, false},
      {"platform in the environment", {"lodestar"}, {"QT_QPA_PLATFORM=offscreen"}, false},
      {"platform option", {"lodestar", "-platform", "offscreen", "a.tif"}, {}, false},
      {"a file named like the option", {"lodestar", "--", "platform"}, {}, true},
  };
  for (const auto& c : cases) {
    QProcessEnvironment environment;
    for (const QString& entry : c.Environment)
      environment.insert(entry.section('=', 0, 0), entry.section('=', 1));
    EXPECT_EQ(NoDisplayMessage(c.Arguments, environment).isEmpty(), !c.Refused) << c.Name;
  }
}

TEST(StartWithoutDisplay, SaysWhyInOneLineAndFails) {
  const std::string sample = LODESTAR_SOURCE_DIR "/samples/sample.tif";
  const std::string unset = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
  const struct {
    std::string Environment, Reason;
  } cases[] = {
      {unset, "no display (neither DISPLAY nor WAYLAND_DISPLAY is set); lodestar-cli info FILE "
              "lists a file without one"},
      // A display that is named but cannot be reached: the toolkit's own reason ("could not
      // connect to display :97" with the X11 plugin), in one line.
      {unset + "DISPLAY=:97 XAUTHORITY=/nonexistent ", ""},
  };
  const std::string start = "lodestar: cannot open a window: ";
  for (const auto& c : cases) {
    const TProgramRun run = RunProgram(c.Environment + LODESTAR_APP, {sample});
    EXPECT_EQ(run.Status, 1) << c.Environment;
    EXPECT_EQ(run.Out, "");
    if (!c.Reason.empty()) {
      EXPECT_EQ(run.Err, start + c.Reason + "\n");
    }
    EXPECT_EQ(run.Err.substr(0, start.size()), start);
    EXPECT_EQ(run.Err.find('\n'), run.Err.size() - 1) << run.Err;
  }
}

} // namespace
} // namespace lodestar::test
