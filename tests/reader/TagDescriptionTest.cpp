#include "uTagDescription.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <set>
#include <string>

namespace lodestar {
namespace {

const std::string Unknown = "Unknown Tag      ";

TEST(TagDescription, HoldsExactlyTwoHundredNumbersAllWithinTheTableRange) {
  int rows = 0;
  for (std::int32_t n = 0; n <= 65535; ++n) {
    if (TagDescription(n) != Unknown) {
      ++rows;
      EXPECT_GE(n, 254);
      EXPECT_LE(n, 50255);
    }
  }
  EXPECT_EQ(rows, 200);
}

TEST(TagDescription, DefaultTextHasSixTrailingBlanks) {
  EXPECT_EQ(Unknown.size(), 17u);
  for (std::int32_t n :
       {0, 253, 260, 701, 50256, 65535, 65536, -1, -256, std::numeric_limits<std::int32_t>::min(),
        std::numeric_limits<std::int32_t>::max()})
    EXPECT_EQ(TagDescription(n), Unknown) << n;
}

struct TDescriptionCase {
  std::int32_t Number;
  std::string Text;
};

class TagDescriptionText : public ::testing::TestWithParam<TDescriptionCase> {};

TEST_P(TagDescriptionText, IsExactToTheSpace) {
  EXPECT_EQ(TagDescription(GetParam().Number), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, TagDescriptionText,
    ::testing::Values(TDescriptionCase{254, "NewSubfileType"}, TDescriptionCase{256, "ImageWidth"},
                      TDescriptionCase{263, "Tresholding"}, TDescriptionCase{282, "X Resolution"},
                      TDescriptionCase{700, "XMP"}, TDescriptionCase{33723, "IPTC/NAA"},
                      TDescriptionCase{37396, "Subject Location / Area"},
                      TDescriptionCase{50255, "Photoshop Annotations"}),
    [](const auto& info) { return "Tag" + std::to_string(info.param.Number); });

INSTANTIATE_TEST_SUITE_P(
    RunsOfBlanks, TagDescriptionText,
    ::testing::Values(
        TDescriptionCase{343, "ClipPath       PMkr"}, TDescriptionCase{344, "XClipPathUnits PMkr"},
        TDescriptionCase{346, "Indexed        PMkr"}, TDescriptionCase{347, "JPEGTables     PShp"},
        TDescriptionCase{351, "OPIProxy       PMkr"}, TDescriptionCase{32781, "Image ID    PMkr"},
        TDescriptionCase{32957, "Wicks and &Wilson Punch Data"},
        TDescriptionCase{32960, "X axis offset   Wicks and &Wilson"},
        TDescriptionCase{32961, "Y axis offset   Wicks and &Wilson"},
        TDescriptionCase{34675, "InterColour Profile "},
        TDescriptionCase{36867, "DateTime Original   "},
        TDescriptionCase{36868, "DateTime Digitized  "},
        TDescriptionCase{41991, "Gain Control        "}),
    [](const auto& info) { return "Tag" + std::to_string(info.param.Number); });

TEST(TagDescription, SharedTextsAreEqualToTheirPartners) {
  EXPECT_EQ(TagDescription(41484), TagDescription(37388));
  EXPECT_EQ(TagDescription(41484), "Spatial Frequency Response");
  EXPECT_EQ(TagDescription(41487), TagDescription(37391));
  EXPECT_EQ(TagDescription(41488), TagDescription(37392));
  EXPECT_EQ(TagDescription(41495), TagDescription(37399));
  // The near twins are not shared: the blank between "Plane" and "X" is missing in 37390.
  EXPECT_EQ(TagDescription(37390), "Focal PlaneX-Resolution");
  EXPECT_EQ(TagDescription(41486), "Focal Plane X-Resolution");
}

TEST(TagDescription, OnlyTheFourSharedNumbersRepeatAText) {
  std::multiset<std::string> texts;
  for (std::int32_t n = 254; n <= 50255; ++n)
    if (TagDescription(n) != Unknown)
      texts.insert(TagDescription(n));
  EXPECT_EQ(std::set<std::string>(texts.begin(), texts.end()).size(), 196u);
}

TEST(TagDescription, ReturnsTheSameStorageEveryTime) {
  EXPECT_EQ(&TagDescription(256), &TagDescription(256));
  EXPECT_EQ(&TagDescription(9999), &TagDescription(1));
}

} // namespace
} // namespace lodestar
