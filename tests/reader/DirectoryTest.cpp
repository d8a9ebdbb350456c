#include "GeoKeys.h"
#include "ReaderTestSupport.h"

#include <bit>
#include <iterator>
#include <sstream>

namespace lodestar::test {
namespace {

using namespace std::string_literals;
using enum TReadIssueCode;
using TCodes = std::vector<TReadIssueCode>;

// "Name@offset(tag=value ...){children}" for every child, depth first.
std::string Tree(const std::vector<TTiffDirectory>& directories) {
  std::string text;
  for (const TTiffDirectory& d : directories) {
    text += d.Name() + "@" + std::to_string(d.DirectoryOffset()) + "(";
    for (const TTag& tag : d.Tags())
      text += tag.TagNumber() + "=" + ToUtf8(tag.Value()) + " ";
    text += ")" + (d.SubDirectories().empty() ? "" : "{" + Tree(d.SubDirectories()) + "}");
  }
  return text;
}

TCodes Codes(const TTiffFile& file) {
  TCodes codes;
  for (const TReadIssue& issue : file.ReadIssues())
    codes.push_back(issue.Code);
  return codes;
}

using SubDirectories = ReaderTest;

// A camera-like page: Exif with an Interoperability directory, GPS with Rational triples, and two
// SubIFDs, the first with a chain member and an Exif directory of its own.
TEST_F(SubDirectories, AreReadAsChildrenOfTheirPage) {
  for (TByteOrder order : {TByteOrder::Little, TByteOrder::Big}) {
    TTiffBuilder b(order);
    b.Header(8).Directory(8, {b.ShortEntry(256, 64), b.ArrayEntry(330, Long, 4, {400, 600}),
                              b.LongEntry(34665, 200), b.LongEntry(34853, 300, 1, Ifd)});
    b.Directory(200, {b.AsciiEntry(36867, "2026:01:02 03:04:05", 260u), b.LongEntry(40965, 350)});
    b.Directory(300, {b.AsciiEntry(1, "N"), b.ArrayEntry(2, Rational, 4, {51, 1, 30, 1, 7, 2})});
    b.Directory(350, {b.AsciiEntry(1, "R98")});
    b.Directory(400, {b.ShortEntry(256, 32), b.LongEntry(34665, 500)}, 450);
    b.Directory(450, {b.ShortEntry(256, 16)});
    b.Directory(500, {b.RationalEntry(33434, 1, 250, 520u)});
    b.Directory(600, {b.ShortEntry(256, 8)});
    auto file = Load(b);
    ASSERT_EQ(Tree(file->Pages().GetPage(0)->SubDirectories()),
              "SubIFD 1@400(256=32 34665=500 ){Exif@500(33434=0 )}SubIFD 1.2@450(256=16 )"
              "SubIFD 2@600(256=8 )Exif@200(36867=2026:01:02 03:04:05 40965=350 )"
              "{Interoperability@350(1=R98 )}GPS@300(1=N 2=51 )");
    EXPECT_TRUE(FMessages.empty()) << FMessages.front();
  }
}

struct TPointerCase {
  const char* Name;
  std::uint16_t Type;
  std::uint32_t Target; // where page 1's pointer (tag 330) points
  bool Child;           // page 1 has the SubIFD at 200
  TCodes Issues;
};

class Pointer : public ReaderTest, public ::testing::WithParamInterface<TPointerCase> {};

// Page 1 at 8, page 2 at 100; a SubIFD at 200 whose own SubIFD pointer leads back to itself and
// whose next offset leads to page 1. Pages keep their count whatever the children point at.
TEST_P(Pointer, GivesAChildOrAnIssue) {
  const TPointerCase& c = GetParam();
  TTiffBuilder b;
  b.Header(8).Directory(8, {b.LongEntry(330, c.Target, 1, c.Type)}, 100);
  b.Directory(100, {b.ShortEntry(256, 2)});
  b.Directory(200, {b.LongEntry(330, 200)}, 8);
  auto file = Load(b.Truncate(260));
  EXPECT_EQ(file->PageCount(), 2);
  EXPECT_EQ(Tree(file->Pages().GetPage(0)->SubDirectories()),
            c.Child ? "SubIFD 1@200(330=200 )" : "");
  EXPECT_EQ(Codes(*file), c.Issues);
  EXPECT_EQ(FMessages.size(), c.Issues.size());
}

const TPointerCase PointerCases[] = {
    {"LoopsToItselfAndBackToAPage", Long, 200, true, {DirectoryLoop, DirectoryLoop}},
    {"TypeIfd", Ifd, 200, true, {DirectoryLoop, DirectoryLoop}},
    {"AtTheNextPage", Long, 100, false, {DirectoryLoop}},
    {"AtTheOwnPage", Long, 8, false, {DirectoryLoop}},
    {"WrongType", Short, 200, false, {PointerWrongType}},
    {"Zero", Long, 0, false, {PointerZero}},
    {"PastTheEnd", Long, 260, false, {PointerOutsideFile}},
    {"CountPastTheEnd", Long, 259, false, {PointerOutsideFile}},
};
INSTANTIATE_TEST_SUITE_P(Cases, Pointer, ::testing::ValuesIn(PointerCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// Every SubIFD holding a SubIFD: the depth is bounded, with one issue however deep the file goes.
TEST_F(SubDirectories, DepthIsBounded) {
  TTiffBuilder b;
  b.Header(8);
  for (std::uint32_t i = 0; i < 40; ++i)
    b.Directory(8 + 20 * i, {b.LongEntry(330, i + 1 < 40 ? 8 + 20 * (i + 1) : 0)});
  auto file = Load(b);
  int depth = 0;
  for (const auto* children = &file->Pages().GetPage(0)->SubDirectories(); !children->empty();
       children = &children->front().SubDirectories())
    ++depth;
  EXPECT_EQ(depth, 8);
  EXPECT_EQ(Codes(*file), TCodes{DirectoryLimit});
}

using BigTiff = ReaderTest;

// Every layout difference at once: 8-byte count, 20-byte entries, 8-byte value fields holding up
// to 8 bytes of values, 8-byte offsets and next offsets, and the three 64-bit types.
TEST_F(BigTiff, ReadsEachTypeInBothByteOrders) {
  for (TByteOrder order : {TByteOrder::Little, TByteOrder::Big}) {
    TTiffBuilder b(order);
    b.BigHeader(16);
    TEntryDraft half = b.ArrayEntry(282, Rational, 4, {7, 2});
    half.Count = 1;
    b.Directory(16, {b.ShortEntry(256, 300), b.Long8Entry(257, (1ull << 40) + 5),
                     b.Long8Entry(258, ~0ull, SLong8), b.AsciiEntry(269, "ABCDEFG\0"s),
                     b.AsciiEntry(270, "Hello, BigTIFF\0"s), half, b.Long8Entry(330, 400, Ifd8)});
    b.Directory(400, {b.ShortEntry(256, 5)});
    auto file = Load(b);
    ASSERT_EQ(file->PageCount(), 1);
    EXPECT_STREQ(file->FormatText(), "BigTIFF");
    const TTiffPage& page = *file->Pages().GetPage(0);
    std::string fields;
    for (const TTag& tag : page.Tags())
      fields += Fields(tag) + "\n";
    EXPECT_EQ(fields + Tree(page.SubDirectories()),
              "256 2 1 24 36 [300]\n257 15 1 44 56 [1099511627781]\n"
              "258 16 1 64 76 [18446744073709551615]\n269 1 8 84 96 [ABCDEFG\0]\n"
              "270 1 15 104 172 [Hello, BigTIFF\0]\n282 4 1 124 136 [4]\n"
              "330 17 1 144 156 [400]\nSubIFD 1@400(256=5 )"s)
        << (order == TByteOrder::Big ? "big-endian" : "little-endian");
    EXPECT_TRUE(FMessages.empty());
  }
}

// Offsets past every position a file can have: an issue each, and no arithmetic past the largest.
TEST_F(BigTiff, OffsetsPastEveryPositionGiveIssues) {
  TTiffBuilder b;
  b.BigHeader(16).Directory(16, {b.Long8Entry(330, ~0ull, Ifd8)}, ~0ull);
  auto file = Load(b);
  EXPECT_EQ(file->PageCount(), 2); // the unreadable page counts, as in a classic file
  EXPECT_EQ(Codes(*file), (TCodes{DirectoryUnreadable, PointerOutsideFile}));
}

template <typename T> std::vector<T> Numbers(const std::string& text) {
  std::istringstream in(text);
  return {std::istream_iterator<T>(in), {}};
}

struct TGeoCase {
  const char* Name;
  std::string Directory, Doubles; // tags 34735 and 34736 (left out when empty), as numbers
  std::string Ascii;              // tag 34737, left out when empty
  std::string Keys;               // "id name location count [value]" per key
  std::size_t Issues;
};

class GeoKeys : public ReaderTest, public ::testing::WithParamInterface<TGeoCase> {};

TEST_P(GeoKeys, AreDecodedAsFarAsTheyFit) {
  const TGeoCase& c = GetParam();
  for (TByteOrder order : {TByteOrder::Little, TByteOrder::Big}) {
    TTiffBuilder b(order);
    std::vector<std::uint64_t> bits;
    for (double d : Numbers<double>(c.Doubles))
      bits.push_back(std::bit_cast<std::uint64_t>(d));
    std::vector<TEntryDraft> entries = {
        b.ArrayEntry(34735, Short, 2, Numbers<std::uint64_t>(c.Directory))};
    if (!bits.empty())
      entries.push_back(b.ArrayEntry(34736, Double, 8, bits));
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
    {"InlineDoubleAscii", "1 1 0 4 1024 0 1 2 2057 34736 1 1 1026 34737 7 0 2048 0 1 4326",
     "0.5 6378137", "WGS 84|\0"s,
     "1024 GTModelTypeGeoKey 0 1 [2]\n2057 EllipsoidSemiMajorAxisGeoKey 34736 1 [6378137]\n"
     "1026 GTCitationGeoKey 34737 7 [WGS 84]\n2048 GeodeticCRSGeoKey 0 1 [4326]\n",
     0},
    {"SeveralDoublesAndAnUnknownKey", "1 1 0 2 3092 34736 2 0 5000 0 1 7", "0.9996 -45.25", "",
     "3092 ProjScaleAtNatOriginGeoKey 34736 2 [0.9996 -45.25]\n5000 Unknown-5000 0 1 [7]\n", 0},
    {"MoreKeysThanValues", "1 1 0 3 1024 0 1 1", "", "", "1024 GTModelTypeGeoKey 0 1 [1]\n", 1},
    {"DoublesTagMissing", "1 1 0 2 2057 34736 1 0 1024 0 1 2", "", "",
     "2057 EllipsoidSemiMajorAxisGeoKey 34736 1 []\n1024 GTModelTypeGeoKey 0 1 [2]\n", 1},
    {"AsciiPastTheEnd", "1 1 0 1 1026 34737 40 4", "", "WGS 84|\0"s,
     "1026 GTCitationGeoKey 34737 40 [84|\0]\n"s, 1},
    {"DoublesIndexPastTheEnd", "1 1 0 1 2057 34736 1 60000", "1", "",
     "2057 EllipsoidSemiMajorAxisGeoKey 34736 1 []\n", 1},
    {"HeaderCut", "1 1 0", "", "", "", 1},
};
INSTANTIATE_TEST_SUITE_P(Cases, GeoKeys, ::testing::ValuesIn(GeoCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// Found by fuzzing: keys that all name the same run of doubles made the texts grow with the
// square of the input. Together they stay within a budget linear in it, the last one marked cut.
TEST(GeoKeyBudget, KeysSharingOneRunOfDoublesStayLinearInTheInput) {
  TGeoKeyInput input;
  const std::uint64_t keys = 2000, doubles = 1000;
  input.Directory = {1, 1, 0, keys};
  for (std::uint64_t k = 0; k < keys; ++k)
    input.Directory.insert(input.Directory.end(), {3000 + k, 34736, doubles, 0});
  input.HasDoubles = true;
  input.Doubles.assign(doubles, -1.2345678901234567e-300);
  const auto decoded = DecodeGeoKeys(input, [](int) { FAIL() << "well-formed"; });
  ASSERT_EQ(decoded.size(), keys);
  std::size_t text = 0;
  for (const TGeoKey& key : decoded)
    text += key.Value.size();
  EXPECT_LE(text, 4 * (input.Directory.size() * 2 + doubles * 8) + 4096 + keys);
  EXPECT_EQ(decoded.back().Value, u"\u2026");
  EXPECT_NE(decoded.front().Value.back(), u'\u2026'); // the first keys are whole
}

} // namespace
} // namespace lodestar::test
