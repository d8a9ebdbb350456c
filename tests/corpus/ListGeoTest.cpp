// GeoTIFF keys against listgeo, an independent decoder of the same key directory, on a GeoTIFF that
// geotifcp makes from a corpus file: keys inline, in doubles and in characters.
#include "CodePage.h"
#include "RunProgram.h"
#include "TempDir.h"
#include "cLodestar.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace lodestar::test {
namespace {

TEST(ListGeo, KeysAgreeWithListGeo) {
  if (RunProgram("command", {"-v", "geotifcp"}).Status != 0)
    GTEST_SKIP() << "geotifcp and listgeo are missing (Debian package geotiff-bin)";
  TTempDir dir;
  const std::string metadata = dir.File("utm.geo"), made = dir.File("utm.tif");
  std::ofstream(metadata) << "Geotiff_Information:\n Version: 1\n Key_Revision: 1.0\n"
                             " Tagged_Information:\n  ModelPixelScaleTag (1,3):\n   60 60 0\n"
                             "  End_Of_Tags.\n Keyed_Information:\n"
                             "  GTModelTypeGeoKey (Short,1): ModelTypeProjected\n"
                             "  GTCitationGeoKey (Ascii,25): \"UTM Zone 11 N with WGS84\"\n"
                             "  GeogSemiMajorAxisGeoKey (Double,1): 6378137\n"
                             "  GeogInvFlatteningGeoKey (Double,1): 298.257223563\n"
                             "  ProjectedCSTypeGeoKey (Short,1): PCS_WGS84_UTM_zone_11N\n"
                             "  End_Of_Keys.\n End_Of_Geotiff.\n";
  const std::string source =
      std::string(LODESTAR_TEST_DATA_DIR) + "/corpus/Tests__images__hopper.tif";
  ASSERT_EQ(RunProgram("geotifcp", {"-g", metadata, source, made}).Status, 0);

  TTiffFile file;
  file.SetFileName(made);
  const std::vector<TGeoKey>& keys = file.Pages().GetPage(0)->GeoKeys();
  std::istringstream listed(RunProgram("listgeo", {made}).Out);
  std::size_t k = 0;
  for (std::string row; std::getline(listed, row);) {
    // "   GTCitationGeoKey (Ascii,25): "UTM Zone 11 N with WGS84""
    const std::size_t open = row.find(" ("), comma = row.find(',', open), close = row.find("): ");
    if (row.find("GeoKey") == std::string::npos || close == std::string::npos)
      continue;
    ASSERT_LT(k, keys.size()) << row;
    const TGeoKey& key = keys[k++];
    const std::string type = row.substr(open + 2, comma - open - 2), value = row.substr(close + 3);
    SCOPED_TRACE(row);
    EXPECT_EQ(key.Location, type == "Short" ? 0 : type == "Double" ? 34736 : 34737);
    EXPECT_EQ(std::to_string(key.Count), row.substr(comma + 1, close - comma - 1));
    if (type == "Double") {
      EXPECT_DOUBLE_EQ(std::stod(ToUtf8(key.Value)), std::stod(value));
    } else if (type == "Ascii") {
      EXPECT_EQ("\"" + ToUtf8(key.Value) + "\"", value);
    }
  }
  EXPECT_TRUE(k == keys.size() && k == 5u) << k << " of " << keys.size();
}

} // namespace
} // namespace lodestar::test
