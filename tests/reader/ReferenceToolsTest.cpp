// Sub-directories against `tiffdump -o OFFSET` and GeoTIFF keys against `listgeo`, on the corpus
// files that have them and on a GeoTIFF that geotifcp makes from a corpus file.
// GCC 12 at -O1 with the sanitizers takes std::regex's moved std::function for uninitialised.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include "ReaderTestSupport.h"
#include "RunProgram.h"

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace lodestar::test {
namespace {

namespace fs = std::filesystem;

// Every corpus file the reader loads, with what it loaded.
template <typename F> void ForEachCorpusFile(F each) {
  const fs::path data = LODESTAR_TEST_DATA_DIR;
  for (const fs::path& dir : {data / "corpus", data / ".." / ".." / ".." / "shared" / "corpus"}) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
      TTiffFile file;
      try {
        file.SetFileName(entry.path().string());
      } catch (const ELodestarError&) {
        continue;
      }
      SCOPED_TRACE(entry.path().string());
      each(entry.path().string(), file);
    }
  }
}

// "tag type count" per entry of the first directory tiffdump prints.
std::string TiffDumpEntries(const std::string& path, TFileOffset offset) {
  static const std::regex line(R"(^(\S+) \((\w+)\) \S+ \((\d+)\) (\d+)<)");
  std::istringstream out(
      RunProgram("tiffdump", {"-m", "1048576", "-o", std::to_string(offset), path}).Out);
  std::string text, row;
  int directories = 0;
  while (std::getline(out, row) && directories < 2) {
    std::smatch m;
    if (row.starts_with("Directory "))
      ++directories;
    else if (directories == 1 && std::regex_search(row, m, line))
      text += (m[2].str().starts_with("0x") ? m[1].str() : m[2].str()) + " " + m[3].str() + " " +
              m[4].str() + "\n";
  }
  return text;
}

void ExpectAgreesWithTiffDump(const std::string& path,
                              const std::vector<TTiffDirectory>& directories, int& compared) {
  for (const TTiffDirectory& d : directories) {
    SCOPED_TRACE(d.Name());
    std::string ours;
    for (const TTag& tag : d.Tags())
      ours += tag.TagNumber() + " " + std::to_string(tag.TypeCode()) + " " +
              std::to_string(tag.Count()) + "\n";
    EXPECT_EQ(ours, TiffDumpEntries(path, d.DirectoryOffset()));
    ++compared;
    ExpectAgreesWithTiffDump(path, d.SubDirectories(), compared);
  }
}

bool HasTool(const char* name) {
  return RunProgram("command", {"-v", name}).Status == 0;
}

TEST(ReferenceTools, SubDirectoriesAgreeWithTiffDump) {
  if (!HasTool("tiffdump"))
    GTEST_SKIP() << "tiffdump is missing (Debian package libtiff-tools)";
  int compared = 0;
  ForEachCorpusFile([&](const std::string& path, const TTiffFile& file) {
    for (const TTiffPage& page : file.Pages())
      ExpectAgreesWithTiffDump(path, page.SubDirectories(), compared);
  });
  EXPECT_GT(compared, 0) << "no corpus file has sub-directories";
}

// Each key of listgeo's "Keyed_Information": its type, count and, for doubles and texts, value.
void ExpectAgreesWithListGeo(const std::string& path, int& compared) {
  TTiffFile file;
  file.SetFileName(path);
  const std::vector<TGeoKey>& keys = file.Pages().GetPage(0)->GeoKeys();
  static const std::regex line(R"(^\s+\w+ \((Short|Double|Ascii),(\d+)\): (.*?)\s*$)");
  std::istringstream out(RunProgram("listgeo", {path}).Out);
  std::size_t k = 0;
  for (std::string row; std::getline(out, row);) {
    std::smatch m;
    if (!std::regex_search(row, m, line))
      continue;
    ASSERT_LT(k, keys.size()) << row;
    const TGeoKey& key = keys[k++];
    SCOPED_TRACE(key.Name);
    const std::string type = m[1];
    EXPECT_EQ(key.Location, type == "Short" ? 0 : type == "Double" ? 34736 : 34737);
    EXPECT_EQ(std::to_string(key.Count), m[2].str());
    if (type == "Double") {
      EXPECT_DOUBLE_EQ(std::stod(ToUtf8(key.Value)), std::stod(m[3]));
    } else if (type == "Ascii") {
      EXPECT_EQ("\"" + ToUtf8(key.Value) + "\"", m[3].str());
    }
  }
  EXPECT_EQ(k, keys.size());
  ++compared;
}

TEST(ReferenceTools, GeoKeysAgreeWithListGeo) {
  if (!HasTool("listgeo") || !HasTool("geotifcp"))
    GTEST_SKIP() << "listgeo or geotifcp is missing (Debian package geotiff-bin)";
  TTempDir dir;
  int compared = 0;
  ForEachCorpusFile([&](const std::string& path, const TTiffFile& file) {
    if (file.PageCount() > 0 && file.Pages().GetPage(0)->FindTag("34735"))
      ExpectAgreesWithListGeo(path, compared);
  });
  // A projected GeoTIFF: keys inline, in doubles and in characters.
  const std::string metadata = dir.File("utm.geo");
  std::ofstream(metadata) << "Geotiff_Information:\n Version: 1\n Key_Revision: 1.0\n"
                             " Tagged_Information:\n  ModelPixelScaleTag (1,3):\n   60 60 0\n"
                             "  End_Of_Tags.\n Keyed_Information:\n"
                             "  GTModelTypeGeoKey (Short,1): ModelTypeProjected\n"
                             "  GTCitationGeoKey (Ascii,25): \"UTM Zone 11 N with WGS84\"\n"
                             "  GeogSemiMajorAxisGeoKey (Double,1): 6378137\n"
                             "  GeogInvFlatteningGeoKey (Double,1): 298.257223563\n"
                             "  ProjectedCSTypeGeoKey (Short,1): PCS_WGS84_UTM_zone_11N\n"
                             "  End_Of_Keys.\n End_Of_Geotiff.\n";
  const std::string made = dir.File("utm.tif");
  const fs::path source = fs::path(LODESTAR_TEST_DATA_DIR) / "corpus" / "Tests__images__hopper.tif";
  ASSERT_EQ(RunProgram("geotifcp", {"-g", metadata, source.string(), made}).Status, 0);
  ExpectAgreesWithListGeo(made, compared);
  EXPECT_GT(compared, 0);
}

} // namespace
} // namespace lodestar::test
