// The window program's command line: what each form asks for, read before any window exists.
#include "CommandLine.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

struct TCase {
  const char* Name;
  QStringList Arguments; // after the program's name
  TStartRequest::TAction Action;
  QString File;
  QString OutputStart;
};

class CommandLine : public ::testing::TestWithParam<TCase> {};

TEST_P(CommandLine, AsksForWhatItSays) {
  const TCase& c = GetParam();
  const TStartRequest request =
      ReadCommandLine(QStringList{QStringLiteral("lodestar")} + c.Arguments);
  EXPECT_EQ(request.Action, c.Action);
  EXPECT_EQ(request.File, c.File);
  EXPECT_TRUE(request.Output.startsWith(c.OutputStart)) << request.Output.toStdString();
  EXPECT_EQ(request.ExitCode(), c.Action == TStartRequest::UsageError ? 2 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CommandLine,
    ::testing::Values(
        TCase{"Nothing", {}, TStartRequest::Run, {}, {}},
        TCase{"File", {"a b.tif"}, TStartRequest::Run, "a b.tif", {}},
        TCase{"FurtherFilesIgnored", {"a.tif", "b.tif"}, TStartRequest::Run, "a.tif", {}},
        TCase{"DashedFileAfterDoubleDash", {"--", "-x.tif"}, TStartRequest::Run, "-x.tif", {}},
        TCase{"QtOptionAndItsValueAreNoFile",
              {"-platform", "offscreen", "-reverse", "a.tif"},
              TStartRequest::Run,
              "a.tif",
              {}},
        TCase{"ShortHelpBeforeAFile", {"-h", "a.tif"}, TStartRequest::Help, {}, "Usage: "},
        TCase{"UnknownAfterAFile",
              {"a.tif", "-x"},
              TStartRequest::UsageError,
              {},
              "lodestar: error: Unknown option 'x'.\n"},
        TCase{"QtOptionWithoutItsValue",
              {"-style"},
              TStartRequest::UsageError,
              {},
              "lodestar: error: Missing value after '-style'."}),
    [](const ::testing::TestParamInfo<TCase>& info) { return std::string(info.param.Name); });

TEST(CommandLineHelp, HidesQtOptionsUntilHelpAll) {
  const QString help = ReadCommandLine({"lodestar", "--help"}).Output;
  EXPECT_FALSE(help.contains(QStringLiteral("platform")));
  EXPECT_TRUE(ReadCommandLine({"lodestar", "--help-all"}).Output.contains("-platform <value>"));
}

} // namespace
