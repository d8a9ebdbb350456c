// The window program's command line: what each form asks for, read before any window exists,
// and the program run as a shell runs it on a machine without a display.
#include "CommandLine.h"

#include "RunProgram.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace lodestar::test {
namespace {

// The first file is opened, further ones ignored; Qt's options and their values are no file.
TEST(CommandLine, AsksForWhatItSays) {
  const struct {
    QStringList Arguments; // after the program's name
    TStartRequest::TAction Action;
    QString File, OutputStart;
  } cases[] = {
      {{}, TStartRequest::Run, {}, {}},
      {{"a b.tif"}, TStartRequest::Run, "a b.tif", {}},
      {{"a.tif", "b.tif"}, TStartRequest::Run, "a.tif", {}},
      {{"--", "-x.tif"}, TStartRequest::Run, "-x.tif", {}},
      {{"-platform", "offscreen", "-reverse", "a.tif"}, TStartRequest::Run, "a.tif", {}},
      {{"-h", "a.tif"}, TStartRequest::Help, {}, "Usage: "},
      {{"a.tif", "-x"}, TStartRequest::UsageError, {}, "lodestar: error: Unknown option 'x'.\n"},
      {{"-style"}, TStartRequest::UsageError, {}, "lodestar: error: Missing value after '-style'."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Arguments.join(' ').toStdString());
    const TStartRequest request = ReadCommandLine(QStringList{"lodestar"} + c.Arguments);
    EXPECT_EQ(request.Action, c.Action);
    EXPECT_EQ(request.File, c.File);
    EXPECT_TRUE(request.Output.startsWith(c.OutputStart)) << request.Output.toStdString();
    EXPECT_EQ(request.ExitCode(), c.Action == TStartRequest::UsageError ? 2 : 0);
  }
}

// Started where no window can be shown, unless a display or a platform is named.
TEST(StartWithoutDisplay, NeedsADisplayOrANamedPlatform) {
  const struct {
    QStringList Arguments, Environment;
    bool Refused;
  } cases[] = {
      {{"lodestar", "a.tif"}, {}, true},
      {{"lodestar", "a.tif"}, {"DISPLAY=:0"}, false},
      {{"lodestar"}, {"QT_QPA_PLATFORM=offscreen"}, false},
      {{"lodestar", "-platform", "offscreen", "a.tif"}, {}, false},
      {{"lodestar", "--", "platform"}, {}, true}, // a file named like the option
  };
  for (const auto& c : cases) {
    QProcessEnvironment environment;
    for (const QString& entry : c.Environment)
      environment.insert(entry.section('=', 0, 0), entry.section('=', 1));
    EXPECT_EQ(NoDisplayMessage(c.Arguments, environment).isEmpty(), !c.Refused)
        << c.Arguments.join(' ').toStdString();
  }
}

const std::string NoDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
const std::string Sample = LODESTAR_SOURCE_DIR "/samples/sample.tif";

// An error text without its line end is the start of a one-line message.
TEST(Desktop, CommandLineAnswersAndAStartSaysWhyItCannotOpenAWindow) {
  const std::string cannot = "lodestar: cannot open a window: ";
  const struct {
    std::string Environment;
    std::vector<std::string> Args;
    int Status;
    std::string OutStart, Err;
  } cases[] = {
      {"", {"--help"}, 0, std::string("Usage: ") + LODESTAR_APP + " [options] [FILE]\n", ""},
      {"", {"--version"}, 0, "lodestar " LODESTAR_VERSION "\n", ""},
      {"",
       {"--bogus", "x.tif"},
       2,
       "",
       "lodestar: error: Unknown option 'bogus'.\nRun with --help for more information.\n"},
      {"",
       {Sample},
       1,
       "",
       cannot + "no display (neither DISPLAY nor WAYLAND_DISPLAY is set); lodestar-cli info FILE "
                "lists a file without one\n"},
      // Named but out of reach: the toolkit's own reason.
      {"DISPLAY=:97 XAUTHORITY=/nonexistent ", {Sample}, 1, "", cannot},
  };
  for (const auto& c : cases) {
    const TProgramRun run = RunProgram(NoDisplay + c.Environment + LODESTAR_APP, c.Args);
    EXPECT_EQ(run.Status, c.Status) << c.Args[0];
    EXPECT_EQ(run.Out.substr(0, c.OutStart.size()), c.OutStart) << run.Out;
    if (c.Err.ends_with('\n') || c.Err.empty())
      EXPECT_EQ(run.Err, c.Err);
    else
      EXPECT_TRUE(run.Err.starts_with(c.Err) && run.Err.find('\n') == run.Err.size() - 1)
          << run.Err;
  }
}

} // namespace
} // namespace lodestar::test
