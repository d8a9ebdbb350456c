#include "ReaderTestSupport.h"

#include <string>
#include <vector>

namespace lodestar::test {
namespace {

using ChainTest = ReaderTest;

std::vector<std::int32_t> Offsets(const TTiffFile& file) {
  std::vector<std::int32_t> result;
  for (int i = 0; i < file.PageCount(); ++i)
    result.push_back(file.Pages().GetPage(i)->DirectoryOffset());
  return result;
}

TEST_F(ChainTest, ThreeDirectoriesAreThreePagesInChainOrder) {
  for (TByteOrder order : {TByteOrder::Little, TByteOrder::Big}) {
    TTiffBuilder b(order);
    // Written back to front, so chain order differs from file order.
    b.Header(300);
    b.Directory(300, {b.ShortEntry(256, 1)}, 200);
    b.Directory(200, {b.ShortEntry(256, 2), b.ShortEntry(257, 20)}, 100);
    b.Directory(100, {b.ShortEntry(256, 3)}, 0);
    auto file = Load(b);
    ASSERT_EQ(Offsets(*file), (std::vector<std::int32_t>{300, 200, 100}));
    EXPECT_EQ(file->Pages().GetPage(0)->ImageWidth(), 1);
    EXPECT_EQ(file->Pages().GetPage(1)->ImageWidth(), 2);
    EXPECT_EQ(file->Pages().GetPage(1)->Tags().Count(), 2);
    EXPECT_EQ(file->Pages().GetPage(2)->ImageWidth(), 3);
  }
  EXPECT_TRUE(FMessages.empty());
}

TEST_F(ChainTest, PagesAndTagsOutsideTheListAreNull) {
  TTiffBuilder b;
  b.Pages({{b.ShortEntry(256, 1), b.ShortEntry(257, 2)}, {}});
  auto file = Load(b);
  ASSERT_EQ(file->PageCount(), 2);
  EXPECT_EQ(file->Pages().GetPage(-1), nullptr);
  EXPECT_EQ(file->Pages().GetPage(2), nullptr);
  EXPECT_NE(file->Pages().GetPage(1), nullptr);
  const TTags& tags = file->Pages().GetPage(0)->Tags();
  EXPECT_EQ(tags.GetTag(-1), nullptr);
  EXPECT_EQ(tags.GetTag(2), nullptr);
  ASSERT_NE(tags.GetTag(1), nullptr);
  EXPECT_EQ(tags.GetTag(1)->TagNumber(), "257");
  EXPECT_EQ(file->Pages().GetPage(1)->Tags().GetTag(0), nullptr);
}

TEST_F(ChainTest, EachTagKnowsItsFileAndEachPageItsOwner) {
  TTiffBuilder b;
  b.Pages({{b.ShortEntry(256, 1)}});
  auto file = Load(b);
  ASSERT_EQ(file->PageCount(), 1);
  EXPECT_EQ(file->Pages().GetPage(0)->OwnerFile(), file.get());
  EXPECT_EQ(file->Pages().GetPage(0)->Tags().GetTag(0)->OwnerFile(), file.get());
}

// Chains that come back to a directory already read end there, without a page and silently.
TEST_F(ChainTest, NextOffsetBackToTheFirstDirectoryEndsTheWalk) {
  TTiffBuilder b;
  b.Header(8);
  b.Directory(8, {b.ShortEntry(256, 1)}, 100);
  b.Directory(100, {b.ShortEntry(256, 2)}, 8);
  auto file = Load(b);
  EXPECT_EQ(Offsets(*file), (std::vector<std::int32_t>{8, 100}));
  EXPECT_TRUE(FMessages.empty());
}

TEST_F(ChainTest, DirectoryPointingToItselfIsOnePage) {
  TTiffBuilder b;
  b.Header(8);
  b.Directory(8, {b.ShortEntry(256, 1)}, 8);
  auto file = Load(b);
  EXPECT_EQ(Offsets(*file), (std::vector<std::int32_t>{8}));
  EXPECT_TRUE(FMessages.empty());
}

TEST_F(ChainTest, NextOffsetIntoAnEarlierEntryTableEndsTheWalk) {
  TTiffBuilder b;
  b.Header(8);
  // Entry table of the first directory: [8, 8 + 2 + 3 * 12 + 4) = [8, 50).
  b.Directory(8, {b.ShortEntry(256, 1), b.ShortEntry(257, 2), b.ShortEntry(258, 3)}, 100);
  b.Directory(100, {b.ShortEntry(256, 2)}, 22);
  auto file = Load(b);
  EXPECT_EQ(Offsets(*file), (std::vector<std::int32_t>{8, 100}));
  EXPECT_TRUE(FMessages.empty());
}

TEST_F(ChainTest, DirectoryOverlappingTheEndOfAnEarlierOneEndsTheWalk) {
  TTiffBuilder b;
  b.Header(100);
  b.Directory(100, {}, 60); // [100, 106)
  // Four entries at 60 would reach to 60 + 2 + 48 + 4 = 114, over the first directory.
  b.U16(60, 4);
  auto file = Load(b);
  EXPECT_EQ(Offsets(*file), (std::vector<std::int32_t>{100}));
  EXPECT_TRUE(FMessages.empty());
}

TEST_F(ChainTest, DirectoriesThatOnlyTouchAreBothRead) {
  TTiffBuilder b;
  b.Header(8);
  // [8, 14) and [14, 32): adjacent, not overlapping.
  b.Directory(8, {}, 14);
  b.Directory(14, {b.ShortEntry(256, 5)}, 0);
  auto file = Load(b);
  EXPECT_EQ(Offsets(*file), (std::vector<std::int32_t>{8, 14}));
}

TEST_F(ChainTest, DirectoryJustBeforeAnEarlierOneIsRead) {
  TTiffBuilder b;
  b.Header(32);
  // [32, 38), then [14, 32) which ends where the first begins.
  b.Directory(32, {}, 14);
  b.Directory(14, {b.ShortEntry(256, 5)}, 0);
  auto file = Load(b);
  EXPECT_EQ(Offsets(*file), (std::vector<std::int32_t>{32, 14}));
}

using DirectoryFailureTest = ReaderTest;

TEST_F(DirectoryFailureTest, FirstDirectoryPastTheEndIsAnEmptyPageAndOneMessage) {
  TTiffBuilder b;
  b.Header(1000);
  b.Truncate(100);
  auto file = Load(b);
  ASSERT_EQ(file->PageCount(), 1);
  EXPECT_EQ(file->Pages().GetPage(0)->DirectoryOffset(), 1000);
  EXPECT_EQ(file->Pages().GetPage(0)->Tags().Count(), 0);
  // File size 100, then 1000 + 2 + 12 * 0: the count itself was not readable.
  EXPECT_EQ(FMessages, (std::vector<std::string>{"1001002"}));
}

TEST_F(DirectoryFailureTest, NextOffsetPastTheEndEndsTheWalkAfterOneMessage) {
  TTiffBuilder b;
  b.Header(8);
  b.Directory(8, {b.ShortEntry(256, 1)}, 5000);
  b.Truncate(40);
  auto file = Load(b);
  ASSERT_EQ(file->PageCount(), 2);
  EXPECT_EQ(file->Pages().GetPage(0)->Tags().Count(), 1);
  EXPECT_EQ(file->Pages().GetPage(1)->DirectoryOffset(), 5000);
  EXPECT_EQ(FMessages, (std::vector<std::string>{"405002"}));
}

TEST_F(DirectoryFailureTest, OffsetOfTwoGigabytesOrMoreLiesPastTheEnd) {
  for (std::uint32_t offset : {0x80000000u, 0xFFFFFFF0u}) {
    FMessages.clear();
    TTiffBuilder b;
    b.Header(8);
    b.Directory(8, {b.ShortEntry(256, 1)}, offset);
    auto file = Load(b);
    ASSERT_EQ(file->PageCount(), 2) << offset;
    EXPECT_EQ(file->Pages().GetPage(1)->Tags().Count(), 0);
    EXPECT_EQ(FMessages.size(), 1u);
  }
}

TEST_F(DirectoryFailureTest, UnreadableNextOffsetGivesSizeAndEndPosition) {
  // 50 bytes, one entry at 40: the entry ends at 54, past the end, and so does the next
  // offset. The entry itself starts inside the file, so there is no "streamsize".
  TTiffBuilder b;
  b.Header(40);
  b.Directory(40, {b.ShortEntry(256, 1)}, 0);
  b.Truncate(50);
  auto file = Load(b);
  ASSERT_EQ(file->PageCount(), 1);
  EXPECT_EQ(file->Pages().GetPage(0)->Tags().Count(), 1);
  EXPECT_EQ(FMessages, (std::vector<std::string>{"5054"}));
}

TEST_F(DirectoryFailureTest, EntriesPastTheEndGiveOneStreamsizeAndBlankTags) {
  // Five entries at 42, 54, 66, 78, 90 in a 60-byte file: the last three start past the end.
  TTiffBuilder b;
  b.Header(40);
  b.Directory(40,
              {b.ShortEntry(256, 7), b.ShortEntry(257, 8), b.ShortEntry(258, 9),
               b.ShortEntry(259, 1), b.ShortEntry(262, 1)},
              0);
  b.Truncate(60);
  auto file = Load(b);
  ASSERT_EQ(file->PageCount(), 1);
  const TTags& tags = file->Pages().GetPage(0)->Tags();
  ASSERT_EQ(tags.Count(), 5);
  EXPECT_EQ(tags.GetTag(0)->Value(), u"7");
  // The second entry starts inside the file and ends past it: what was read stays.
  EXPECT_EQ(tags.GetTag(1)->TagNumber(), "257");
  EXPECT_EQ(tags.GetTag(1)->EntryPos(), 54);
  for (int i = 2; i < 5; ++i) {
    const TTag& tag = *tags.GetTag(i);
    EXPECT_EQ(tag.TagNumber(), "") << i;
    EXPECT_EQ(tag.FieldType(), 0) << i;
    EXPECT_EQ(tag.Count(), 0) << i;
    EXPECT_EQ(tag.EntryPos(), 0) << i;
    EXPECT_EQ(tag.ValuePos(), 0) << i;
    EXPECT_EQ(tag.Value(), u" ") << i;
  }
  // One "streamsize" for the directory, then the size 60 and the end 40 + 2 + 60 = 102.
  EXPECT_EQ(FMessages, (std::vector<std::string>{"streamsize", "60102"}));
}

TEST_F(DirectoryFailureTest, EntryStartingExactlyAtTheEndIsNotPastIt) {
  // One entry at 42 in a 42-byte file: P equals the size, so no "streamsize".
  TTiffBuilder b;
  b.Header(40);
  b.Directory(40, {b.ShortEntry(256, 1)}, 0);
  b.Truncate(42);
  auto file = Load(b);
  ASSERT_EQ(file->PageCount(), 1);
  EXPECT_EQ(file->Pages().GetPage(0)->Tags().Count(), 1);
  EXPECT_EQ(FMessages, (std::vector<std::string>{"4254"}));
}

TEST_F(DirectoryFailureTest, HugeEntryCountGivesOneStreamsizeNotOnePerEntry) {
  TTiffBuilder b;
  b.Header(8);
  b.U16(8, 65535);
  b.Truncate(100);
  auto file = Load(b);
  ASSERT_EQ(file->PageCount(), 1);
  EXPECT_EQ(file->Pages().GetPage(0)->Tags().Count(), 65535);
  // 8 + 2 + 12 * 65535 = 786430.
  EXPECT_EQ(FMessages, (std::vector<std::string>{"streamsize", "100786430"}));
}

TEST_F(DirectoryFailureTest, FailedDirectoryInTheMiddleKeepsEarlierPages) {
  TTiffBuilder b;
  b.Header(8);
  b.Directory(8, {b.ShortEntry(256, 1)}, 26);
  // The second directory claims three entries but the file ends inside its first.
  b.U16(26, 3);
  b.U16(28, 256);
  b.Truncate(32);
  auto file = Load(b);
  ASSERT_EQ(file->PageCount(), 2);
  EXPECT_EQ(file->Pages().GetPage(0)->ImageWidth(), 1);
  EXPECT_EQ(file->Pages().GetPage(1)->Tags().Count(), 3);
  EXPECT_EQ(file->Pages().GetPage(1)->Tags().GetTag(0)->TagNumber(), "256");
  // Entries at 28 (inside), 40 and 52 (past the end of 32): one "streamsize"; then 32 and 64.
  EXPECT_EQ(FMessages, (std::vector<std::string>{"streamsize", "3264"}));
}

} // namespace
} // namespace lodestar::test
