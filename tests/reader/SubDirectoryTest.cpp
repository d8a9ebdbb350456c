#include "ReaderTestSupport.h"

namespace lodestar::test {
namespace {

using enum TReadIssueCode;

// "Name@offset(tag=value ...){children}" for every child, depth first.
std::string Tree(const std::vector<TTiffDirectory>& directories) {
  std::string text;
  for (const TTiffDirectory& d : directories) {
    text += d.Name() + "@" + std::to_string(d.DirectoryOffset()) + "(";
    for (const TTag& tag : d.Tags())
      text += tag.TagNumber() + "=" + ToUtf8(tag.Value()) + " ";
    text += ")";
    if (!d.SubDirectories().empty())
      text += "{" + Tree(d.SubDirectories()) + "}";
  }
  return text;
}

std::vector<TReadIssueCode> Codes(const TTiffFile& file) {
  std::vector<TReadIssueCode> codes;
  for (const TReadIssue& issue : file.ReadIssues())
    codes.push_back(issue.Code);
  return codes;
}

class SubDirectories : public ReaderTest {};

// A camera-like page: Exif with an Interoperability directory, GPS with Rational triples, and two
// SubIFDs, the first with a chain member and an Exif directory of its own.
TEST_F(SubDirectories, AreReadAsChildrenOfTheirPage) {
  for (TByteOrder order : {TByteOrder::Little, TByteOrder::Big}) {
    TTiffBuilder b(order);
    const std::string nul(1, '\0');
    b.Header(8).Directory(8, {b.ShortEntry(256, 64), b.ArrayEntry(330, Long, 4, {400, 600}),
                              b.LongEntry(34665, 200), b.LongEntry(34853, 300, 1, Ifd)});
    b.Directory(200,
                {b.AsciiEntry(36867, "2026:01:02 03:04:05" + nul, 260u), b.LongEntry(40965, 350)});
    b.Directory(300,
                {b.AsciiEntry(1, "N" + nul), b.ArrayEntry(2, Rational, 4, {51, 1, 30, 1, 7, 2})});
    b.Directory(350, {b.AsciiEntry(1, "R98" + nul)});
    b.Directory(400, {b.ShortEntry(256, 32), b.LongEntry(34665, 500)}, 450);
    b.Directory(450, {b.ShortEntry(256, 16)});
    b.Directory(500, {b.RationalEntry(33434, 1, 250, 520u)});
    b.Directory(600, {b.ShortEntry(256, 8)});
    auto file = Load(b);
    const TTiffPage& page = *file->Pages().GetPage(0);
    EXPECT_EQ(file->PageCount(), 1);
    EXPECT_EQ(Tree(page.SubDirectories()),
              "SubIFD 1@400(256=32 34665=500 ){Exif@500(33434=0 )}SubIFD 1.2@450(256=16 )"
              "SubIFD 2@600(256=8 )"
              "Exif@200(36867=2026:01:02 03:04:05" +
                  nul + " 40965=350 ){Interoperability@350(1=R98" + nul +
                  " )}"
                  "GPS@300(1=N" +
                  nul + " 2=51 )");
    EXPECT_TRUE(FMessages.empty()) << FMessages.front();
    // Tag 1 of a GPS directory is not tag 1 of a page.
    const TTiffDirectory& gps = page.SubDirectories().back();
    EXPECT_EQ(gps.Tags().GetTag(0)->Description(), "GPSLatitudeRef");
    EXPECT_EQ(gps.Kind(), TDirectoryKind::Gps);
    EXPECT_EQ(gps.PointerTag(), 34853);
    EXPECT_EQ(gps.Tags().GetTag(0)->DirectoryKind(), TDirectoryKind::Gps);
  }
}

struct TPointerCase {
  const char* Name;
  std::uint16_t Type;
  std::uint32_t Target; // where page 1's pointer (tag 330) points
  std::string Tree;     // page 1's children
  std::vector<TReadIssueCode> Issues;
  std::size_t Messages;
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
  b.Truncate(260);
  auto file = Load(b);
  EXPECT_EQ(file->PageCount(), 2);
  EXPECT_EQ(Tree(file->Pages().GetPage(0)->SubDirectories()), c.Tree);
  EXPECT_EQ(Codes(*file), c.Issues);
  EXPECT_EQ(FMessages.size(), c.Messages);
}

const TPointerCase PointerCases[] = {
    {"LoopsToItselfAndBackToAPage",
     Long,
     200,
     "SubIFD 1@200(330=200 )",
     {DirectoryLoop, DirectoryLoop},
     2},
    {"TypeIfd", Ifd, 200, "SubIFD 1@200(330=200 )", {DirectoryLoop, DirectoryLoop}, 2},
    {"AtTheNextPage", Long, 100, "", {DirectoryLoop}, 1},
    {"AtTheOwnPage", Long, 8, "", {DirectoryLoop}, 1},
    {"WrongType", Short, 200, "", {PointerWrongType}, 1},
    {"Zero", Long, 0, "", {PointerZero}, 1},
    {"PastTheEnd", Long, 260, "", {PointerOutsideFile}, 1},
    {"CountPastTheEnd", Long, 259, "", {PointerOutsideFile}, 1},
};
INSTANTIATE_TEST_SUITE_P(Cases, Pointer, ::testing::ValuesIn(PointerCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// Every SubIFD holding a SubIFD: the depth is bounded, with one issue however deep the file goes.
TEST_F(SubDirectories, DepthIsBounded) {
  TTiffBuilder b;
  b.Header(8);
  constexpr int Levels = 40;
  for (std::uint32_t i = 0; i < Levels; ++i)
    b.Directory(8 + 20 * i, {b.LongEntry(330, i + 1 < Levels ? 8 + 20 * (i + 1) : 0)});
  auto file = Load(b);
  int depth = 0;
  for (const auto* children = &file->Pages().GetPage(0)->SubDirectories(); !children->empty();
       children = &children->front().SubDirectories())
    ++depth;
  EXPECT_EQ(depth, 8);
  EXPECT_EQ(Codes(*file), std::vector<TReadIssueCode>{DirectoryLimit});
}

} // namespace
} // namespace lodestar::test
