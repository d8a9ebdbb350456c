// Sub-directories and GeoTIFF keys in the views: the listing's blocks and their switch, the JSON
// document, and the editor reaching an entry of a sub-directory by its "Nr".
#include "ReportRows.h"
#include "RunProgram.h"
#include "TagPath.h"
#include "TempDir.h"
#include "TiffBuilder.h"
#include "cLodestar.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace lodestar::test {
namespace {

const std::string Nul(1, '\0');

// A page (at 8) pointing at two SubIFDs (300, 400), an Exif directory (500) that points at an
// Interoperability directory (600), and a GPS directory (800).
class SubDirectoryFile : public ::testing::Test {
protected:
  void SetUp() override {
    TTiffBuilder b;
    b.Header();
    b.Directory(8, {b.ShortEntry(256, 640), b.RawEntry(330, Long, 2, 200), b.LongEntry(34665, 500),
                    b.LongEntry(34853, 800)});
    b.U32(200, 300).U32(204, 400);
    b.Directory(300, {b.ShortEntry(256, 320)});
    b.Directory(400, {b.ShortEntry(256, 160)});
    b.Directory(500,
                {b.AsciiEntry(36867, "2005:08:03 18:59:18" + Nul, 700), b.LongEntry(40965, 600)});
    b.Directory(600, {b.AsciiEntry(1, "R98" + Nul)});
    b.Directory(800, {b.AsciiEntry(1, "N" + Nul)});
    Path = b.Save(Dir.File("exif.tif"));
    Original = FileBytes(Path);
    File.SetFileName(Path);
  }

  TTempDir Dir;
  std::string Path, Original;
  TTiffFile File;
};

TEST_F(SubDirectoryFile, ListsABlockPerDirectoryAfterThePagesEntriesAndNoneWhenSwitchedOff) {
  const TReportRows on = BuildReportRows(File, 1, TDisplayBase::Dec);
  std::vector<std::string> entries, headings;
  for (const TReportRow& row : on.Rows) {
    if (row.Entry)
      entries.push_back(row.Caption);
    else if (row.Caption.empty() && row.SubItems.size() == 3 && !row.SubItems[0].empty())
      headings.push_back(row.SubItems[0] + " " + row.SubItems[1] + " " + row.SubItems[2]);
  }
  EXPECT_EQ(entries,
            (std::vector<std::string>{"1", "2", "3", "4", "SubIFD 1 1", "SubIFD 2 1", "Exif 1",
                                      "Exif 2", "Exif/Interoperability 1", "GPS 1"}));
  EXPECT_EQ(headings, (std::vector<std::string>{
                          "300 330 SubIFD 1", "400 330 SubIFD 2", "500 34665 Exif directory",
                          "600 40965 Exif/Interoperability directory", "800 34853 GPS directory"}));
  // The closing block still closes the listing.
  EXPECT_EQ(on.Rows.back().SubItems.at(2), VersionRowLabel);

  // Switched off: the page's rows and the closing block, as before sub-directories were read.
  const TReportRows off = BuildReportRows(File, 1, TDisplayBase::Dec, false);
  std::vector<TReportRow> expected(on.Rows.begin(), on.Rows.begin() + 5 + 4);
  expected.insert(expected.end(), on.Rows.end() - 2, on.Rows.end());
  EXPECT_EQ(off.Rows, expected);
}

// Every edit is checked against the whole file; refusals leave every byte as it was.
TEST_F(SubDirectoryFile, EditsAnAsciiEntryOfASubDirectoryByItsNr) {
  struct TCase {
    const char* Entry;
    const char* Text;
    int Status;           // 0: written
    std::size_t Position; // where the written bytes go
    const char* Written;
  };
  std::string expected = Original;
  for (const TCase& c : std::vector<TCase>{
           {"Exif 1", "2020:01:01 00:00:00", 0, 700, "2020:01:01 00:00:00"},
           {"Exif/Interoperability 1", "X", 0, 600 + 2 + 8, "X  "},
           {"GPS 1", "S", 0, 800 + 2 + 8, "S"},
           {"Exif 2", "x", 1, 0, ""}, // a Long: refused
           {"Exif 3", "x", 1, 0, ""}, // no such entry
           {"GPS 01", "W", 0, 800 + 2 + 8, "W"},
       }) {
    const TProgramRun run =
        RunProgram(LODESTAR_CLI, {"edit", Path, "--entry", c.Entry, "--text", c.Text});
    EXPECT_EQ(run.Status == 0 ? 0 : 1, c.Status) << c.Entry << run.Err;
    if (c.Status == 0)
      expected.replace(c.Position, std::string(c.Written).size(), c.Written);
    EXPECT_TRUE(FileBytes(Path) == expected) << c.Entry;
  }
}

TEST_F(SubDirectoryFile, JsonHoldsTheDirectoriesInsideTheirParentsAndTheFormat) {
  const TProgramRun run = RunProgram(LODESTAR_CLI, {"info", "--json", Path});
  ASSERT_EQ(run.Status, 0) << run.Err;
  const nlohmann::json doc = nlohmann::json::parse(run.Out);
  EXPECT_EQ(doc.at("format"), "TIFF");
  const nlohmann::json& page = doc.at("pages").at(0);
  EXPECT_EQ(page.at("geokeys"), nlohmann::json::array());
  std::vector<std::string> seen;
  const auto walk = [&seen](const nlohmann::json& list, const std::string& parent,
                            const auto& self) -> void {
    for (const nlohmann::json& d : list) {
      seen.push_back(parent + d.at("name").get<std::string>() + " " +
                     d.at("pointer_tag").get<std::string>() + " " +
                     std::to_string(d.at("directory_offset").get<std::uint64_t>()) + " " +
                     d.at("tags").at(0).at("description").get<std::string>());
      self(d.at("subdirectories"), parent + d.at("name").get<std::string>() + "/", self);
    }
  };
  walk(page.at("subdirectories"), "", walk);
  EXPECT_EQ(seen,
            (std::vector<std::string>{"SubIFD 1 330 300 ImageWidth", "SubIFD 2 330 400 ImageWidth",
                                      "Exif 34665 500 DateTimeOriginal",
                                      "Exif/Interoperability 40965 600 InteroperabilityIndex",
                                      "GPS 34853 800 GPSLatitudeRef"}));
}

// Batch items name entries inside sub-directories by the pointer tags that lead there; a plain
// number still names the page's own entry, and a label defaults to the directory's own table.
TEST_F(SubDirectoryFile, BatchItemsReachEntriesBySubDirectoryPaths) {
  const TProgramRun run =
      RunProgram(LODESTAR_CLI, {"batch", Dir.Path().string(), "--format", "ndjson", "--tags",
                                "34665/36867,34853/1,330/256,256,34665/40965/1,34853/36867"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  const nlohmann::json values = nlohmann::json::parse(run.Out).at("values");
  EXPECT_EQ(values, (nlohmann::json{{"DateTimeOriginal", "2005:08:03 18:59:18"},
                                    {"GPSLatitudeRef", "N"},
                                    {"ImageWidth", "320"},
                                    {"Imagewidth", "640"},
                                    {"InteroperabilityIndex", "R98"},
                                    {"Unknown Tag", nullptr}}));

  for (const char* wrong : {"34665//36867", "/256", "256/", "34665/1234567"}) {
    const TProgramRun refused =
        RunProgram(LODESTAR_CLI, {"batch", Dir.Path().string(), "--tags", wrong});
    EXPECT_NE(refused.Status, 0) << wrong;
    EXPECT_TRUE(refused.Out.empty()) << wrong;
  }
}

// A file with neither sub-directories nor GeoTIFF keys keeps the document's earlier shape; one
// with keys lists them.
TEST(SubDirectoryJson, AddsMembersOnlyForFilesThatHaveThem) {
  TTempDir dir;
  TTiffBuilder b;
  b.Pages({{b.ShortEntry(256, 8)}});
  const std::string plain = b.Save(dir.File("plain.tif"));
  const nlohmann::json doc =
      nlohmann::json::parse(RunProgram(LODESTAR_CLI, {"info", "--json", plain}).Out);
  EXPECT_FALSE(doc.contains("format"));
  EXPECT_FALSE(doc.at("pages").at(0).contains("subdirectories"));

  const std::string geo = (TestDataDir() / "corpus" / "t__images__GeoTiff.tif").string();
  const nlohmann::json geoDoc =
      nlohmann::json::parse(RunProgram(LODESTAR_CLI, {"info", "--json", geo}).Out);
  const nlohmann::json& key = geoDoc.at("pages").at(0).at("geokeys").at(3);
  EXPECT_EQ(key, (nlohmann::json{{"key", 2049},
                                 {"name", "GeodeticCitationGeoKey"},
                                 {"location", 34737},
                                 {"count", 19},
                                 {"value", "Hough UTM zone 17N"}}));
}

} // namespace
} // namespace lodestar::test
