// "lodestar-cli info" run as a user runs it: exact standard output, standard error and status.

#include "RunProgram.h"
#include "TiffBuilder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace lodestar::test {
namespace {

const std::string Sample = LODESTAR_SOURCE_DIR "/samples/sample.tif";
const std::string Golden = LODESTAR_SOURCE_DIR "/tests/cli/golden/";

TProgramRun Exec(const std::vector<std::string>& args) {
  return RunProgram(LODESTAR_CLI, args);
}

// The rows above and below the tag rows of a page of a.tif, which has two pages.
std::string Head(const char* page) {
  return "\t\tFilename\ta.tif\n\t\t\tTotal Pages\t2\n\t\t\tCurrent Page\t" + std::string(page) +
         "\n\t\t\tHeader Byte order\tLittle-endian\n\n";
}
const std::string Closing = "\n\t\t\tLodestar Ver 4.0\tLodestar V5.3\n";

std::string Said(const char* kind, const std::string& file, const std::string& text) {
  return "lodestar-cli: " + std::string(kind) + ": '" + file + "': " + text + "\n";
}

std::string Usage(const std::string& text) {
  return "lodestar-cli: error: " + text + "\nRun with --help for more information.\n";
}

class Cli : public ::testing::Test {
protected:
  void SetUp() override {
    TTiffBuilder b;
    // Directories at 8 (entries at 10 and 22, the text at 38) and 44 (entries at 46 and 58).
    // The file ends at 56, inside the second directory's first entry: "streamsize", a blank
    // tag and the failed directory's message, the file size and the directory's end.
    b.Pages({{b.ShortEntry(256, 1728), b.AsciiEntry(305, std::string("ab\0c\0", 5))},
             {b.ShortEntry(256, 5), b.ShortEntry(257, 6)}});
    b.Truncate(56).Save(Dir.File("a.tif"));
    std::ofstream(Dir.File("bad.tif")) << "GIF89a and more";
  }

  TTempDir Dir;
};

TEST_F(Cli, OutputErrorsAndStatus) {
  const std::string a = Dir.File("a.tif"), bad = Dir.File("bad.tif"), no = Dir.File("no.tif");
  const std::string dir = Dir.Path().string();
  const std::string notTiff = Said("error", bad, "Not a valid tiff file");
  const std::string notTiffJson = R"({"file":")" + bad + R"(","error":"Not a valid tiff file"})";
  const std::string warnings = Said("warning", a, "streamsize") + Said("warning", a, "5670");
  const struct {
    std::vector<std::string> Args;
    int Status;
    std::string Out, Err;
  } cases[] = {
      {{"info", Sample}, 0, FileBytes(Golden + "sample-page1.txt"), ""},
      {{"info", Sample, "--page", "3", "--hex"}, 0, FileBytes(Golden + "sample-page3-hex.txt"), ""},
      // Cells end at their first NUL; reader messages are warnings.
      {{"info", a},
       0,
       Head("1") + "1\t10\t256\tImageWidth\t1728\tShort\t1\t18\n" +
           "2\t22\t305\tSoftware\tab\tAscii\t5\t38\n" + Closing,
       warnings},
      {{"info", bad}, 1, "", notTiff},
      {{"info", bad, "--json"}, 1, notTiffJson + "\n", notTiff},
      {{"info", no, "--json"}, 2, "", Said("error", no, "No such file or directory")},
      {{"info", dir}, 2, "", Said("error", dir, "Is a directory")},
      {{}, 2, "", Usage("A subcommand is required")},
      {{"info"}, 2, "", Usage("FILE is required")},
      {{"info", a, "-p", "0"}, 2, "", Usage("--page: pages are numbered from 1; '0' names none")},
      {{"info", a, "--json", "--page", "2"}, 2, "", Usage("--page excludes --json")},
      {{"info", a, "--json", "--hex"}, 2, "", Usage("--hex excludes --json")},
      {{"--version"}, 0, "lodestar-cli 5.3\n", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.Args));
    const TProgramRun run = Exec(c.Args);
    EXPECT_EQ(run.Out, c.Out);
    EXPECT_EQ(run.Err, c.Err);
    EXPECT_EQ(run.Status, c.Status);
  }
}

// A full disk takes nothing: the listing and the document did not arrive, and the status says so.
TEST_F(Cli, OutputToAFullDeviceFails) {
  for (const char* json : {"", " --json"}) {
    const TProgramRun run = RunProgram(
        "/bin/bash", {"-c", LODESTAR_CLI " info '" + Sample + "'" + json + " >/dev/full"});
    EXPECT_EQ(run.Status, 1) << json;
    EXPECT_EQ(run.Err, "lodestar-cli: error: writing standard output failed\n");
  }
}

TEST_F(Cli, JsonHoldsEveryPageTagAndMessage) {
  const TProgramRun run = Exec({"info", Dir.File("a.tif"), "--json"});
  auto expected = nlohmann::ordered_json::parse(R"({
    "file": "", "byte_order": "Little-endian", "page_count": 2, "pages": [
      {"page": 1, "directory_offset": 8, "tags": [
        {"entry_pos": 10, "tag_number": "256", "field_type": 2, "type_name": "Short", "count": 1,
         "value": "1728", "value_pos": 18, "description": "ImageWidth"},
        {"entry_pos": 22, "tag_number": "305", "field_type": 1, "type_name": "Ascii", "count": 5,
         "value": "ab\u0000c\u0000", "value_pos": 38, "description": "Software"}]},
      {"page": 2, "directory_offset": 44, "tags": [
        {"entry_pos": 46, "tag_number": "256", "field_type": 2, "type_name": "Short", "count": 1,
         "value": "5", "value_pos": 54, "description": "ImageWidth"},
        {"entry_pos": 0, "tag_number": "", "field_type": 0, "type_name": "Byte", "count": 0,
         "value": " ", "value_pos": 0, "description": null}]}],
    "messages": ["streamsize", "5670"]})");
  expected["file"] = Dir.File("a.tif");
  EXPECT_EQ(nlohmann::ordered_json::parse(run.Out), expected);
  EXPECT_EQ(run.Err, "");
  EXPECT_EQ(run.Status, 0);
}

TEST_F(Cli, PathThatIsNoUtf8IsReplacedInJsonAndKeptInTheListing) {
  const std::string path = Dir.File("scan-\xFF.tif");
  std::filesystem::copy_file(Sample, path);
  EXPECT_EQ(nlohmann::json::parse(Exec({"info", path, "--json"}).Out)["file"],
            Dir.File("scan-\xEF\xBF\xBD.tif"));
  EXPECT_EQ(Exec({"info", path}).Out.substr(0, 22), "\t\tFilename\tscan-\xFF.tif\n");
}

} // namespace
} // namespace lodestar::test
