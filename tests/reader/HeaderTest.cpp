#include "ReaderTestSupport.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace lodestar::test {
namespace {

using HeaderTest = ReaderTest;

TEST_F(HeaderTest, LittleEndianFileWithEmptyDirectoryIsOnePage) {
  TTiffBuilder b(TByteOrder::Little);
  b.Header(8);
  b.Directory(8, {});
  auto file = Load(b);
  EXPECT_EQ(file->ByteOrder(), 1);
  EXPECT_FALSE(file->IsBigEndian());
  EXPECT_STREQ(file->ByteOrderText(), "Little-endian");
  ASSERT_EQ(file->PageCount(), 1);
  EXPECT_EQ(file->Pages().GetPage(0)->DirectoryOffset(), 8);
  EXPECT_EQ(file->Pages().GetPage(0)->Tags().Count(), 0);
  EXPECT_TRUE(FMessages.empty());
  EXPECT_TRUE(file->ErrorMessage().empty());
}

TEST_F(HeaderTest, BigEndianFileWithEmptyDirectoryIsOnePage) {
  TTiffBuilder b(TByteOrder::Big);
  b.Header(8);
  b.Directory(8, {});
  ASSERT_EQ(b.Text().substr(0, 8), std::string("MM\0\x2A\0\0\0\x08", 8));
  auto file = Load(b);
  EXPECT_EQ(file->ByteOrder(), 2);
  EXPECT_TRUE(file->IsBigEndian());
  EXPECT_STREQ(file->ByteOrderText(), "Big-endian");
  ASSERT_EQ(file->PageCount(), 1);
  EXPECT_EQ(file->Pages().GetPage(0)->DirectoryOffset(), 8);
  EXPECT_TRUE(FMessages.empty());
}

TEST_F(HeaderTest, FirstOffsetZeroMeansNoPagesAndNoMessage) {
  for (TByteOrder order : {TByteOrder::Little, TByteOrder::Big}) {
    TTiffBuilder b(order);
    b.Header(0);
    auto file = Load(b);
    EXPECT_EQ(file->PageCount(), 0);
    EXPECT_NE(file->ByteOrder(), 0);
  }
  EXPECT_TRUE(FMessages.empty());
}

struct TBadHeader {
  const char* Name;
  std::string Bytes;
  bool InvalidTiff; // else a stream read error
  std::uint8_t ByteOrder;
};

class BadHeaderTest : public ::testing::TestWithParam<TBadHeader> {
protected:
  TTempDir FDir;
};

TEST_P(BadHeaderTest, LeavesSetFileNameWithItsTextAndNoPages) {
  const TBadHeader& c = GetParam();
  TTiffBuilder b;
  b.Raw(0, c.Bytes);
  const std::string path = b.Save(FDir.File("bad.tif"));
  std::vector<std::string> messages;
  TTiffFile file([&](const std::string& m) { messages.push_back(m); });
  try {
    file.SetFileName(path);
    FAIL() << "loaded without an error";
  } catch (const EInvalidTiff& e) {
    EXPECT_TRUE(c.InvalidTiff) << "raised EInvalidTiff";
    EXPECT_STREQ(e.what(), "Not a valid tiff file");
  } catch (const EReadError& e) {
    EXPECT_FALSE(c.InvalidTiff) << "raised EReadError";
    EXPECT_STREQ(e.what(), "Stream read error");
  }
  EXPECT_EQ(file.ByteOrder(), c.ByteOrder);
  EXPECT_EQ(file.PageCount(), 0);
  EXPECT_EQ(file.FileName(), path);
  EXPECT_TRUE(messages.empty());
}

const std::string Le42("II\x2A\0", 4);
const std::string Be42("MM\0\x2A", 4);

INSTANTIATE_TEST_SUITE_P(
    Header, BadHeaderTest,
    ::testing::Values(
        TBadHeader{"EmptyFile", "", false, 0}, TBadHeader{"OneByte", "I", false, 0},
        TBadHeader{"MarkOnlyLittle", "II", false, 1}, TBadHeader{"MarkOnlyBig", "MM", false, 2},
        TBadHeader{"ThreeBytes", "II\x2A", false, 1},
        TBadHeader{"NoFirstOffsetLittle", Le42, false, 1},
        TBadHeader{"NoFirstOffsetBig", Be42, false, 2},
        TBadHeader{"SevenBytes", Le42 + std::string("\x08\0\0", 3), false, 1},
        TBadHeader{"UnknownMark", std::string("XX\x2A\0\x08\0\0\0", 8), true, 0},
        TBadHeader{"MixedMark", std::string("IM\x2A\0\x08\0\0\0", 8), true, 0},
        TBadHeader{"LowerCaseMark", std::string("ii\x2A\0\x08\0\0\0", 8), true, 0},
        TBadHeader{"BigTiffMagicLittle", std::string("II\x2B\0\x08\0\0\0", 8), true, 0},
        TBadHeader{"BigTiffMagicBig", std::string("MM\0\x2B\0\x08\0\0", 8), true, 0},
        // 42 in the other byte order is 10752: the mark decides how the magic is read.
        TBadHeader{"MagicInWrongOrder", std::string("II\0\x2A\x08\0\0\0", 8), true, 0},
        TBadHeader{"TextFile", "hello, world\n", true, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(HeaderTest, ByteOrderTextAfterRefusedHeaderSaysBigEndian) {
  TTiffBuilder b;
  b.Header(8, 43);
  b.Directory(8, {});
  TTiffFile file;
  EXPECT_THROW(file.SetFileName(b.Save(FDir.File("43.tif"))), EInvalidTiff);
  EXPECT_EQ(file.ByteOrder(), 0);
  EXPECT_STREQ(file.ByteOrderText(), "Big-endian");
}

TEST_F(HeaderTest, ErrorsThatLeaveSetFileNameAreLodestarErrors) {
  TTiffBuilder b;
  b.Raw(0, std::string("XX"));
  TTiffFile file;
  EXPECT_THROW(file.SetFileName(b.Save(FDir.File("x.tif"))), ELodestarError);
}

using OpenTest = ReaderTest;

TEST_F(OpenTest, MissingFileChangesNothingAndShowsNothing) {
  TTiffFile file([this](const std::string& m) { FMessages.push_back(m); });
  EXPECT_NO_THROW(file.SetFileName(FDir.File("absent.tif")));
  EXPECT_EQ(file.FileName(), "");
  EXPECT_EQ(file.PageCount(), 0);
  EXPECT_TRUE(FMessages.empty());
}

TEST_F(OpenTest, SameNameDoesNotLoadAgain) {
  TTiffBuilder one;
  one.Pages({{one.ShortEntry(256, 100)}});
  auto file = Load(one, "same.tif");
  ASSERT_EQ(file->PageCount(), 1);

  TTiffBuilder three;
  three.Pages({{}, {}, {}});
  three.Save(FDir.File("same.tif"));
  file->SetFileName(FDir.File("same.tif"));
  EXPECT_EQ(file->PageCount(), 1);
}

TEST_F(OpenTest, ReadOnlyFileLoads) {
  TTiffBuilder b;
  b.Pages({{b.ShortEntry(256, 640)}, {b.ShortEntry(256, 320)}});
  const std::string path = b.Save(FDir.File("readonly.tif"));
  std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
  auto file = LoadPath(path);
  ASSERT_EQ(file->PageCount(), 2);
  EXPECT_EQ(file->Pages().GetPage(1)->ImageWidth(), 320);
}

TEST_F(OpenTest, FileOnReadOnlyDirectoryLoads) {
  TTiffBuilder b;
  b.Pages({{}});
  std::filesystem::create_directory(FDir.Path() / "archive");
  const std::string path = b.Save(FDir.File("archive/scan.tif"));
  std::filesystem::permissions(FDir.Path() / "archive", std::filesystem::perms::owner_read |
                                                            std::filesystem::perms::owner_exec);
  auto file = LoadPath(path);
  EXPECT_EQ(file->PageCount(), 1);
}

TEST_F(OpenTest, UnreadableFileRaisesOpenErrorWithPathAndReason) {
  if (geteuid() == 0)
    GTEST_SKIP() << "running as root, which can read a file without read rights";
  TTiffBuilder b;
  b.Pages({{}});
  const std::string path = b.Save(FDir.File("locked.tif"));
  std::filesystem::permissions(path, std::filesystem::perms::none);
  TTiffFile file;
  try {
    file.SetFileName(path);
    FAIL() << "an unreadable file loaded";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + path + "\". " + std::strerror(EACCES));
  }
  EXPECT_EQ(file.FileName(), path);
  EXPECT_EQ(file.PageCount(), 0);
}

} // namespace
} // namespace lodestar::test
