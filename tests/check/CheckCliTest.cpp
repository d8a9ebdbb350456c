// lodestar-cli check, run as a user runs it (batch --check's cells: tests/batch).

#include "RunProgram.h"
#include "TempDir.h"
#include "TiffBuilder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lodestar::test {
namespace {

const std::string Cli = LODESTAR_CLI;

std::string Corpus() {
  return (TestDataDir() / "corpus").string();
}

// A sound one-page grey scan, and the same with its XResolution gone.
void WriteScans(const TTempDir& dir) {
  for (bool sound : {true, false}) {
    TTiffBuilder b;
    auto page = ScanPage(b, 16, 16, 300, "scanner");
    if (!sound)
      std::erase_if(page, [](const TEntryDraft& e) { return e.Tag == 282; });
    b.Pages({page});
    b.Raw(4096, std::vector<std::uint8_t>(1024, 0)); // the strip ScanPage names
    b.Save(dir.File(sound ? "a-sound.tif" : "b-no-xres.tif"));
  }
}

TEST(CheckCli, JobsGiveTheSameBytes) {
  for (const char* format : {"text", "csv", "ndjson"}) {
    const auto one = RunProgram(Cli, {"check", "--format", format, "--jobs", "1", Corpus()});
    const auto many = RunProgram(Cli, {"check", "--format", format, "--jobs", "6", Corpus()});
    EXPECT_EQ(one.Status, 4) << format << one.Err;
    EXPECT_GT(one.Out.size(), 10000u) << format;
    EXPECT_EQ(one.Out, many.Out) << format;
    EXPECT_EQ(one.Err, many.Err) << format;
  }
}

TEST(CheckCli, ExitStatusAndOutput) {
  TTempDir dir;
  WriteScans(dir);
  const std::string sound = dir.File("a-sound.tif");
  const std::string faulty = dir.File("b-no-xres.tif");
  // A list in another order than the walk's, and one naming a file that is not there.
  const std::string list = dir.File("list"), broken = dir.File("broken");
  std::ofstream(list) << faulty << "\n" << sound << "\n";
  std::ofstream(broken) << dir.File("gone.tif") << "\n" << faulty << "\n";
  struct TCase {
    const char* Name;
    std::vector<std::string> Args;
    int Status;
    std::string Out; // the whole of standard output; "*" to skip
  };
  const std::vector<TCase> cases = {
      {"sound file", {sound}, 0, sound + ": well-formed and valid (0 findings)\n"},
      {"faulty file",
       {faulty},
       4,
       faulty +
           ": error TAG-REQUIRED [page 1, 282 X Resolution, @8] 282 X Resolution is "
           "missing; every image requires it\n" +
           faulty + ": well-formed, not valid (1 finding)\n"},
      {"rule ignored",
       {"--ignore", "IFD-ORDER,TAG-REQUIRED", faulty},
       0,
       faulty + ": well-formed and valid (0 findings)\n"},
      {"csv, a file without findings has one row",
       {"--format", "csv", sound},
       0,
       "\"File\",\"Verdict\",\"Severity\",\"Rule\",\"Directory\",\"Tag\",\"Offset\","
       "\"Message\"\n\"" +
           sound + "\",\"well-formed and valid\",\"\",\"\",\"\",\"\",\"\",\"\"\n"},
      {"ndjson",
       {"--format", "ndjson", sound},
       0,
       "{\"file\":\"" + sound +
           "\",\"format\":\"TIFF\",\"pages\":1,\"verdict\":\"well-formed and valid\","
           "\"findings\":[]}\n"},
      {"unknown rule", {"--ignore", "NO-SUCH", sound}, 2, ""},
      {"missing path", {dir.File("none.tif")}, 2, ""},
      {"no path", {}, 2, ""},
      {"directory, both files", {dir.Path().string()}, 4, "*"},
      {"list, in its order",
       {"--files-from", list, "--jobs", "2"},
       4,
       faulty +
           ": error TAG-REQUIRED [page 1, 282 X Resolution, @8] 282 X Resolution is "
           "missing; every image requires it\n" +
           faulty + ": well-formed, not valid (1 finding)\n" + sound +
           ": well-formed and valid (0 findings)\n"},
      {"list naming a missing file: 3 wins over 4", {"--files-from", broken}, 3, "*"},
      {"list and path", {"--files-from", list, sound}, 2, ""},
      {"-0 without a list", {"-0", sound}, 2, ""},
  };
  for (const TCase& c : cases) {
    std::vector<std::string> args = {"check"};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    const auto run = RunProgram(Cli, args);
    EXPECT_EQ(run.Status, c.Status) << c.Name << "\n" << run.Err;
    if (c.Out != "*") {
      EXPECT_EQ(run.Out, c.Out) << c.Name;
    }
  }
}

} // namespace
} // namespace lodestar::test
