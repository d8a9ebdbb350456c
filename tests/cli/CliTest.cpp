// "lodestar-cli info" run as a user runs it: exact standard output, standard error and status;
// names as the progress line and the report of unreadable entries print them.
#include "CliTestSupport.h"
#include "EscapeControls.h"

#include <nlohmann/json.hpp>

namespace lodestar::test {
namespace {

using nlohmann::json;
const std::string Sample = LODESTAR_SOURCE_DIR "/samples/sample.tif";
const std::string Golden = LODESTAR_SOURCE_DIR "/tests/cli/golden/";

class Cli : public ::testing::Test {
protected:
  // Directories at 8 (entries at 10 and 22, the text at 38) and 44 (entries at 46 and 58). The
  // file ends at 56, inside the second directory's first entry: "streamsize", a blank tag and
  // the failed directory's message, the file size and the directory's end.
  void SetUp() override {
    TTiffBuilder b;
    b.Pages({{b.ShortEntry(256, 1728), b.AsciiEntry(305, std::string("ab\0c\0", 5))},
             {b.ShortEntry(256, 5), b.ShortEntry(257, 6)}});
    b.Truncate(56).Save(A);
    std::ofstream(Dir.File("bad.tif")) << "GIF89a and more";
  }

  TTempDir Dir;
  const std::string A = Dir.File("a.tif");
};

TEST_F(Cli, OutputErrorsAndStatus) {
  const std::string bad = Dir.File("bad.tif"), no = Dir.File("no.tif"), dir = Dir.Path().string();
  const std::string notTiff = Said(bad, "Not a valid tiff file");
  const std::string head = "\t\tFilename\ta.tif\n\t\t\tTotal Pages\t2\n\t\t\tCurrent Page\t1\n"
                           "\t\t\tHeader Byte order\tLittle-endian\n\n";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"info", Sample}, FileBytes(Golden + "sample-page1.txt") + "=0"},
      {{"info", Sample, "--page", "3", "--hex"}, FileBytes(Golden + "sample-page3-hex.txt") + "=0"},
      // Cells end at their first NUL; reader messages are warnings.
      {{"info", A},
       head +
           "1\t10\t256\tImageWidth\t1728\tShort\t1\t18\n2\t22\t305\tSoftware\tab\tAscii\t5\t38\n"
           "\n\t\t\tLodestar Ver 4.0\tLodestar V5.3\n" +
           Said(A, "streamsize", "warning") + Said(A, "5670", "warning") + "=0"},
      {{"info", bad}, notTiff + "=1"},
      {{"info", bad, "--json"},
       "{\"file\":\"" + bad + "\",\"error\":\"Not a valid tiff file\"}\n" + notTiff + "=1"},
      {{"info", no, "--json"}, Said(no, "No such file or directory") + "=2"},
      {{"info", dir}, Said(dir, "Is a directory") + "=2"},
      {{}, Usage("A subcommand is required") + "=2"},
      {{"info"}, Usage("FILE is required") + "=2"},
      {{"info", A, "-p", "0"}, Usage("--page: pages are numbered from 1; '0' names none") + "=2"},
      {{"info", A, "--json", "--page", "2"}, Usage("--page excludes --json") + "=2"},
      {{"info", A, "--json", "--hex"}, Usage("--hex excludes --json") + "=2"},
      {{"--version"}, "lodestar-cli 5.3\n=0"},
  };
  for (const auto& [args, outcome] : cases)
    EXPECT_EQ(Outcome(RunCli(args)), outcome) << ::testing::PrintToString(args);
  // A full disk takes nothing: the listing and the document did not arrive, and the status says so.
  for (const char* json : {"", " --json"})
    EXPECT_EQ(Outcome(RunProgram("/bin/bash", {"-c", LODESTAR_CLI " info '" + Sample + "'" + json +
                                                         " >/dev/full"})),
              "lodestar-cli: error: writing standard output failed\n=1");
}

TEST_F(Cli, JsonHoldsEveryPageTagAndMessage) {
  const TProgramRun run = RunCli({"info", A, "--json"});
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
  expected["file"] = A;
  EXPECT_EQ(nlohmann::ordered_json::parse(run.Out), expected);
  EXPECT_EQ(run.Err + std::to_string(run.Status), "0");
  // A name that is no UTF-8 is replaced in the document and kept in the listing.
  const std::string latin1 = Dir.File("scan-\xFF.tif");
  std::filesystem::copy_file(Sample, latin1);
  EXPECT_EQ(json::parse(RunCli({"info", latin1, "--json"}).Out)["file"],
            Dir.File("scan-\xEF\xBF\xBD.tif"));
  EXPECT_EQ(RunCli({"info", latin1}).Out.substr(0, 22), "\t\tFilename\tscan-\xFF.tif\n");
}

// Sub-directories in the document, each inside its parent; the members come only with files that
// have them (GeoTIFF keys of real files: tests/golden).
TEST_F(Cli, JsonHoldsSubDirectoriesOnlyForFilesThatHaveThem) {
  const json doc =
      json::parse(RunCli({"info", "--json", SubDirectoryFile(Dir.File("exif.tif"))}).Out);
  EXPECT_EQ(doc.at("format"), "TIFF");
  EXPECT_EQ(doc.at("pages").at(0).at("geokeys"), json::array());
  std::string seen;
  const auto walk = [&seen](const json& list, const std::string& parent, const auto& self) -> void {
    for (const json& d : list) {
      seen += parent + d.at("name").get<std::string>() + " " +
              d.at("pointer_tag").get<std::string>() + " " +
              std::to_string(d.at("directory_offset").get<std::uint64_t>()) + " " +
              d.at("tags").at(0).at("description").get<std::string>() + "\n";
      self(d.at("subdirectories"), parent + d.at("name").get<std::string>() + "/", self);
    }
  };
  walk(doc.at("pages").at(0).at("subdirectories"), "", walk);
  EXPECT_EQ(
      seen,
      "SubIFD 1 330 300 ImageWidth\nSubIFD 2 330 400 ImageWidth\nExif 34665 500 DateTimeOriginal\n"
      "Exif/Interoperability 40965 600 InteroperabilityIndex\nGPS 34853 800 GPSLatitudeRef\n");
  const json plain = json::parse(RunCli({"info", "--json", Sample}).Out);
  EXPECT_FALSE(plain.contains("format") || plain.at("pages").at(0).contains("subdirectories"));
}

TEST(EscapeControls, ControlsAndBytesOfNoCharacterAreEscaped) {
  const struct {
    std::string In, Out;
  } cases[] = {
      {"/scans/box 1/a.tif", "/scans/box 1/a.tif"},
      {"caf\xc3\xa9 \xe2\x82\xac", "caf\xc3\xa9 \xe2\x82\xac"}, // UTF-8 stays
      {"a\nb\rc\td", "a\\x0Ab\\x0Dc\\x09d"},
      {"\x1b[2J\x07", "\\x1B[2J\\x07"},           // a terminal's escape sequence
      {"del\x7f c1\xc2\x9b", "del\\x7F c1\\x9B"}, // DEL and the C1 CSI
      {"latin1 \xe9t\xe9", "latin1 \\xE9t\\xE9"}, // not UTF-8
      {"cut \xe2\x82", "cut \\xE2\\x82"},         // a sequence cut short
      {"back\\slash", "back\\\\slash"},           // so \x41 in a name cannot pass for A
  };
  for (const auto& c : cases)
    EXPECT_EQ(cli::EscapeControls(c.In), c.Out) << c.Out;
}

TEST(EscapeControls, CutFromTheLeftAtACharacter) {
  EXPECT_EQ(cli::CutFromLeft("short", 10), "short");
  EXPECT_EQ(cli::CutFromLeft("0123456789abc", 10), "...6789abc");
  EXPECT_EQ(cli::CutFromLeft("x\xc3\xa9\xc3\xa9\xc3\xa9", 6), "...\xc3\xa9");
}

} // namespace
} // namespace lodestar::test
