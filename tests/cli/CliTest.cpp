// Golden tests of lodestar-cli: the built program runs as a user would run it, and its standard
// output, standard error and exit status are compared exactly.

#include "TempDir.h"
#include "TiffBuilder.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace lodestar {
namespace {

using nlohmann::ordered_json;
using test::TTempDir;
using test::TTiffBuilder;

const std::string Nul(1, '\0');
const std::string SampleFile = LODESTAR_SOURCE_DIR "/samples/sample.tif";
const std::string GoldenDir = LODESTAR_SOURCE_DIR "/tests/cli/golden/";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct TRun {
  std::string Out;
  std::string Err;
  int Status = -1;
};

// Runs program with args, without a shell, so any bytes reach it unchanged.
TRun RunProgram(const std::string& program, const std::vector<std::string>& args) {
  TTempDir dir;
  const std::string outPath = dir.File("stdout");
  const std::string errPath = dir.File("stderr");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  TRun run;
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << program;
    return run;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.Out = ReadFile(outPath);
  run.Err = ReadFile(errPath);
  return run;
}

TRun RunCli(const std::vector<std::string>& args) {
  return RunProgram(LODESTAR_CLI, args);
}

// One line of the listing: cells joined by TAB.
std::string Line(const std::vector<std::string>& cells) {
  std::string line;
  for (std::size_t i = 0; i < cells.size(); ++i)
    line += (i ? "\t" : "") + cells[i];
  return line + "\n";
}

std::string HeaderLines(const std::string& name, int pages, int page) {
  return Line({"", "", "Filename", name}) +
         Line({"", "", "", "Total Pages", std::to_string(pages)}) +
         Line({"", "", "", "Current Page", std::to_string(page)}) +
         Line({"", "", "", "Header Byte order", "Little-endian"}) + "\n";
}

const std::string ClosingLines = "\n" + Line({"", "", "", "Lodestar Ver 4.0", "Lodestar V5.3"});

// --- Text listing ----------------------------------------------------------------------------

struct TGoldenCase {
  const char* Name;
  std::vector<std::string> Options;
  const char* Golden;
};

class CliGoldenTest : public ::testing::TestWithParam<TGoldenCase> {};

TEST_P(CliGoldenTest, ListsThePageOfTheSample) {
  std::vector<std::string> args{"info", SampleFile};
  args.insert(args.end(), GetParam().Options.begin(), GetParam().Options.end());
  const TRun run = RunCli(args);

  EXPECT_EQ(run.Out, ReadFile(GoldenDir + GetParam().Golden));
  EXPECT_EQ(run.Err, "");
  EXPECT_EQ(run.Status, 0);
}

INSTANTIATE_TEST_SUITE_P(
    , CliGoldenTest,
    ::testing::Values(TGoldenCase{"FirstPageByDefault", {}, "sample-page1.txt"},
                      TGoldenCase{
                          "ThirdPageInHex", {"--page", "3", "--hex"}, "sample-page3-hex.txt"}),
    [](const auto& info) { return std::string(info.param.Name); });

class CliTest : public ::testing::Test {
protected:
  std::string Save(const TTiffBuilder& builder, const std::string& name = "a.tif") {
    return builder.Save(FDir.File(name));
  }

  TTempDir FDir;
};

TEST_F(CliTest, CellsEndAtTheirFirstNul) {
  TTiffBuilder b;
  b.Header(8).Directory(8, {b.AsciiEntry(305, "ab" + Nul + "c" + Nul)});
  const std::string path = Save(b);
  const TRun run = RunCli({"info", path});

  EXPECT_EQ(run.Out, HeaderLines("a.tif", 1, 1) +
                         Line({"1", "10", "305", "Software", "ab", "Ascii", "5", "26"}) +
                         ClosingLines);
  EXPECT_EQ(run.Err, "");
  EXPECT_EQ(run.Status, 0);
}

TEST_F(CliTest, ReaderMessagesGoToStandardErrorAndKeepSuccess) {
  TTiffBuilder b;
  // One entry at 10; the next-directory offset at 22 is cut off by the end of the file at 24.
  b.Header(8).Directory(8, {b.ShortEntry(256, 1728)});
  b.Truncate(24);
  const std::string path = Save(b);
  const TRun run = RunCli({"info", path});

  EXPECT_EQ(run.Out, HeaderLines("a.tif", 1, 1) +
                         Line({"1", "10", "256", "ImageWidth", "1728", "Short", "1", "18"}) +
                         ClosingLines);
  // The file size, 24, and the failed directory's end, 22, written together.
  EXPECT_EQ(run.Err, "lodestar-cli: warning: '" + path + "': 2422\n");
  EXPECT_EQ(run.Status, 0);
}

TEST_F(CliTest, PageBeyondTheFileListsTheHeaderAndWarns) {
  TTiffBuilder b;
  b.Pages({{b.ShortEntry(256, 1728)}});
  const std::string path = Save(b);
  const TRun run = RunCli({"info", path, "--page", "2"});

  EXPECT_EQ(run.Out, HeaderLines("a.tif", 1, 2));
  EXPECT_EQ(run.Err, "lodestar-cli: warning: '" + path + "': Input file wrong\n");
  EXPECT_EQ(run.Status, 0);
}

// --- Failures --------------------------------------------------------------------------------

struct TLoadErrorCase {
  const char* Name;
  std::string Bytes;
  const char* Message;
};

class CliLoadErrorTest : public CliTest, public ::testing::WithParamInterface<TLoadErrorCase> {};

TEST_P(CliLoadErrorTest, TextModeExitsWithOne) {
  const std::string path = FDir.File("bad.tif");
  std::ofstream(path, std::ios::binary) << GetParam().Bytes;
  const TRun run = RunCli({"info", path});

  EXPECT_EQ(run.Out, "");
  EXPECT_EQ(run.Err, "lodestar-cli: error: '" + path + "': " + GetParam().Message + "\n");
  EXPECT_EQ(run.Status, 1);
}

TEST_P(CliLoadErrorTest, JsonModePrintsTheErrorObject) {
  const std::string path = FDir.File("bad.tif");
  std::ofstream(path, std::ios::binary) << GetParam().Bytes;
  const TRun run = RunCli({"info", path, "--json"});

  EXPECT_EQ(ordered_json::parse(run.Out),
            (ordered_json{{"file", path}, {"error", GetParam().Message}}));
  EXPECT_EQ(run.Err, "lodestar-cli: error: '" + path + "': " + GetParam().Message + "\n");
  EXPECT_EQ(run.Status, 1);
}

INSTANTIATE_TEST_SUITE_P(
    , CliLoadErrorTest,
    ::testing::Values(TLoadErrorCase{"NotTiff", "GIF89a and more", "Not a valid tiff file"},
                      TLoadErrorCase{"HeaderCutBeforeFirstOffset", "II*" + Nul + "\x08",
                                     "Stream read error"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CliTest, MissingFileIsAUsageError) {
  const std::string path = FDir.File("absent.tif");
  const TRun run = RunCli({"info", path, "--json"});

  EXPECT_EQ(run.Out, "");
  EXPECT_EQ(run.Err, "lodestar-cli: error: '" + path + "': No such file or directory\n");
  EXPECT_EQ(run.Status, 2);
}

TEST_F(CliTest, DirectoryIsAUsageError) {
  const TRun run = RunCli({"info", FDir.Path().string()});

  EXPECT_EQ(run.Out, "");
  EXPECT_EQ(run.Err, "lodestar-cli: error: '" + FDir.Path().string() + "': Is a directory\n");
  EXPECT_EQ(run.Status, 2);
}

struct TUsageCase {
  const char* Name;
  std::vector<std::string> Args;
};

class CliUsageTest : public ::testing::TestWithParam<TUsageCase> {};

TEST_P(CliUsageTest, ExitsWithTwoAndPointsToHelp) {
  const TRun run = RunCli(GetParam().Args);

  EXPECT_EQ(run.Out, "");
  EXPECT_EQ(run.Err.rfind("lodestar-cli: error: ", 0), 0u) << run.Err;
  EXPECT_TRUE(run.Err.ends_with("\nRun with --help for more information.\n")) << run.Err;
  EXPECT_EQ(run.Status, 2);
}

INSTANTIATE_TEST_SUITE_P(
    , CliUsageTest,
    ::testing::Values(TUsageCase{"NoSubcommand", {}}, TUsageCase{"UnknownSubcommand", {"show"}},
                      TUsageCase{"NoFile", {"info"}},
                      TUsageCase{"UnknownOption", {"info", SampleFile, "--verbose"}},
                      TUsageCase{"PageZero", {"info", SampleFile, "--page", "0"}},
                      TUsageCase{"PageNotANumber", {"info", SampleFile, "--page", "two"}},
                      TUsageCase{"JsonWithPage", {"info", SampleFile, "--json", "--page", "2"}},
                      TUsageCase{"JsonWithHex", {"info", SampleFile, "--json", "--hex"}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(CliHelpTest, VersionPrintsNameAndVersion) {
  const TRun run = RunCli({"--version"});
  EXPECT_EQ(run.Out, "lodestar-cli 5.3\n");
  EXPECT_EQ(run.Err, "");
  EXPECT_EQ(run.Status, 0);
}

TEST(CliHelpTest, SubcommandHelpNamesItsOptions) {
  const TRun run = RunCli({"info", "--help"});
  for (const char* option : {"FILE", "--page", "--hex", "--json"})
    EXPECT_NE(run.Out.find(option), std::string::npos) << option;
  EXPECT_EQ(run.Status, 0);
}

// --- JSON ------------------------------------------------------------------------------------

TEST_F(CliTest, JsonHoldsEveryPageTagAndMessage) {
  TTiffBuilder b;
  b.Pages({{b.ShortEntry(256, 1728), b.AsciiEntry(305, "ab" + Nul)},
           {b.ShortEntry(256, 5), b.ShortEntry(257, 6)}});
  // The second directory (2 entries, no outside data) ends the file. Cut it after the first
  // entry's Short, so the second entry lies past the end and stays blank.
  const auto dir2 = static_cast<std::int32_t>(b.Size()) - 30;
  b.Truncate(static_cast<std::size_t>(dir2) + 12);
  const std::string path = Save(b);
  const TRun run = RunCli({"info", path, "--json"});

  const ordered_json expected = {
      {"file", path},
      {"byte_order", "Little-endian"},
      {"page_count", 2},
      {"pages",
       {{{"page", 1},
         {"directory_offset", 8},
         {"tags",
          {{{"entry_pos", 10},
            {"tag_number", "256"},
            {"field_type", 2},
            {"type_name", "Short"},
            {"count", 1},
            {"value", "1728"},
            {"value_pos", 18},
            {"description", "ImageWidth"}},
           {{"entry_pos", 22},
            {"tag_number", "305"},
            {"field_type", 1},
            {"type_name", "Ascii"},
            {"count", 3},
            {"value", "ab" + Nul},
            {"value_pos", 30},
            {"description", "Software"}}}}},
        {{"page", 2},
         {"directory_offset", dir2},
         {"tags",
          {{{"entry_pos", dir2 + 2},
            {"tag_number", "256"},
            {"field_type", 2},
            {"type_name", "Short"},
            {"count", 1},
            {"value", "5"},
            {"value_pos", dir2 + 10},
            {"description", "ImageWidth"}},
           {{"entry_pos", 0},
            {"tag_number", ""},
            {"field_type", 0},
            {"type_name", "Byte"},
            {"count", 0},
            {"value", " "},
            {"value_pos", 0},
            {"description", nullptr}}}}}}},
      {"messages", {"streamsize", std::to_string(dir2 + 12) + std::to_string(dir2 + 26)}},
  };
  EXPECT_EQ(ordered_json::parse(run.Out), expected);
  EXPECT_NE(run.Out.find(R"("ab\u0000")"), std::string::npos);
  EXPECT_EQ(run.Err, "");
  EXPECT_EQ(run.Status, 0);
}

TEST_F(CliTest, NonUtf8PathKeepsTheJsonValid) {
  const std::string path = FDir.File("scan-\xFF.tif");
  std::filesystem::copy_file(SampleFile, path);

  const TRun json = RunCli({"info", path, "--json"});
  ASSERT_EQ(json.Status, 0) << json.Err;
  const ordered_json document = ordered_json::parse(json.Out);
  EXPECT_EQ(document["file"], FDir.File("scan-\xEF\xBF\xBD.tif"));
  EXPECT_EQ(document["page_count"], 3);

  // The listing writes names in the system's encoding, byte for byte.
  const TRun text = RunCli({"info", path});
  EXPECT_EQ(text.Out.substr(0, text.Out.find('\n') + 1),
            Line({"", "", "Filename", "scan-\xFF.tif"}));
}

// --- The sample file -------------------------------------------------------------------------

TEST(SampleFileTest, CommittedSampleEqualsWhatMakeSampleWrites) {
  TTempDir dir;
  const std::string path = dir.File("sample.tif");
  const TRun run = RunProgram(LODESTAR_MAKE_SAMPLE, {path});
  ASSERT_EQ(run.Status, 0) << run.Err;

  const std::string committed = ReadFile(SampleFile);
  ASSERT_FALSE(committed.empty());
  EXPECT_TRUE(ReadFile(path) == committed)
      << "samples/sample.tif is out of date: run make-sample samples/sample.tif";
}

} // namespace
} // namespace lodestar
