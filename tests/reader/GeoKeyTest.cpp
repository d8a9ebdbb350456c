#include "GeoKeys.h"
#include "ReaderTestSupport.h"

#include <bit>

namespace lodestar::test {
namespace {

using namespace std::string_literals;

struct TGeoCase {
  const char* Name;
  std::vector<std::uint64_t> Directory; // tag 34735
  std::vector<double> Doubles;          // tag 34736, left out when empty
  std::string Ascii;                    // tag 34737, left out when empty
  std::string Keys;                     // "id name location count [value]" per key
  std::size_t Issues;
};

class GeoKeys : public ReaderTest, public ::testing::WithParamInterface<TGeoCase> {};

TEST_P(GeoKeys, AreDecodedAsFarAsTheyFit) {
  const TGeoCase& c = GetParam();
  for (TByteOrder order : {TByteOrder::Little, TByteOrder::Big}) {
    TTiffBuilder b(order);
    std::vector<TEntryDraft> entries = {b.ShortEntry(256, 1),
                                        b.ArrayEntry(34735, Short, 2, c.Directory)};
    if (!c.Doubles.empty()) {
      std::vector<std::uint64_t> bits;
      for (double d : c.Doubles)
        bits.push_back(std::bit_cast<std::uint64_t>(d));
      entries.push_back(b.ArrayEntry(34736, Double, 8, bits));
    }
    if (!c.Ascii.empty())
      entries.push_back(b.AsciiEntry(34737, c.Ascii));
    b.Header(8).Directory(8, entries);
    auto file = Load(b);
    std::string keys;
    for (const TGeoKey& key : file->Pages().GetPage(0)->GeoKeys())
      keys += std::to_string(key.KeyId) + " " + key.Name + " " + std::to_string(key.Location) +
              " " + std::to_string(key.Count) + " [" + ToUtf8(key.Value) + "]\n";
    EXPECT_EQ(keys, c.Keys);
    EXPECT_EQ(file->ReadIssues().size(), c.Issues);
    EXPECT_EQ(FMessages.size(), c.Issues);
    FMessages.clear();
  }
}

const TGeoCase GeoCases[] = {
    {"InlineDoubleAscii",
     {1, 1, 0, 4, 1024, 0, 1, 2, 2057, 34736, 1, 1, 1026, 34737, 7, 0, 2048, 0, 1, 4326},
     {0.5, 6378137.0},
     "WGS 84|\0"s,
     "1024 GTModelTypeGeoKey 0 1 [2]\n2057 EllipsoidSemiMajorAxisGeoKey 34736 1 [6378137]\n"
     "1026 GTCitationGeoKey 34737 7 [WGS 84]\n2048 GeodeticCRSGeoKey 0 1 [4326]\n",
     0},
    {"SeveralDoublesAndAnUnknownKey",
     {1, 1, 0, 2, 3092, 34736, 2, 0, 5000, 0, 1, 7},
     {0.9996, -45.25},
     "",
     "3092 ProjScaleAtNatOriginGeoKey 34736 2 [0.9996 -45.25]\n5000 Unknown-5000 0 1 [7]\n",
     0},
    {"MoreKeysThanValues",
     {1, 1, 0, 3, 1024, 0, 1, 1},
     {},
     "",
     "1024 GTModelTypeGeoKey 0 1 [1]\n",
     1},
    {"DoublesTagMissing",
     {1, 1, 0, 2, 2057, 34736, 1, 0, 1024, 0, 1, 2},
     {},
     "",
     "2057 EllipsoidSemiMajorAxisGeoKey 34736 1 []\n1024 GTModelTypeGeoKey 0 1 [2]\n",
     1},
    {"AsciiPastTheEnd",
     {1, 1, 0, 1, 1026, 34737, 40, 4},
     {},
     "WGS 84|\0"s,
     "1026 GTCitationGeoKey 34737 40 [84|\0]\n"s,
     1},
    {"DoublesIndexPastTheEnd",
     {1, 1, 0, 1, 2057, 34736, 1, 60000},
     {1.0},
     "",
     "2057 EllipsoidSemiMajorAxisGeoKey 34736 1 []\n",
     1},
    {"HeaderCut", {1, 1, 0}, {}, "", "", 1},
};
INSTANTIATE_TEST_SUITE_P(Cases, GeoKeys, ::testing::ValuesIn(GeoCases),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace lodestar::test

// Found by fuzzing: keys that all name the same run of doubles made the texts grow with the
// square of the input. Together they stay within a budget linear in it, the last one marked cut.
TEST(GeoKeyBudget, KeysSharingOneRunOfDoublesStayLinearInTheInput) {
  lodestar::TGeoKeyInput input;
  const std::uint64_t keys = 2000, doubles = 1000;
  input.Directory = {1, 1, 0, keys};
  for (std::uint64_t k = 0; k < keys; ++k)
    input.Directory.insert(input.Directory.end(), {3000 + k, 34736, doubles, 0});
  input.HasDoubles = true;
  input.Doubles.assign(doubles, -1.2345678901234567e-300);
  const auto decoded = lodestar::DecodeGeoKeys(input, [](int) { FAIL() << "well-formed"; });
  ASSERT_EQ(decoded.size(), keys);
  std::size_t text = 0;
  for (const lodestar::TGeoKey& key : decoded)
    text += key.Value.size();
  const std::size_t inputBytes = input.Directory.size() * 2 + doubles * 8;
  EXPECT_LE(text, 4 * inputBytes + 4096 + keys);
  EXPECT_EQ(decoded.back().Value, u"\u2026");
  EXPECT_NE(decoded.front().Value.back(), u'\u2026'); // the first keys are whole
}
