#include "ReaderTestSupport.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace lodestar::test {
namespace {

using namespace std::string_literals;

class BigTiff : public ReaderTest {};

// Every layout difference at once: 8-byte count, 20-byte entries, 8-byte value fields holding up
// to 8 bytes of values, 8-byte offsets and next offsets, and the three 64-bit types.
TEST_F(BigTiff, ReadsEachTypeInBothByteOrders) {
  for (TByteOrder order : {TByteOrder::Little, TByteOrder::Big}) {
    SCOPED_TRACE(order == TByteOrder::Big ? "big-endian" : "little-endian");
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
    EXPECT_TRUE(file->IsBigTiff());
    EXPECT_STREQ(file->FormatText(), "BigTIFF");
    const TTiffPage& page = *file->Pages().GetPage(0);
    std::string fields;
    for (const TTag& tag : page.Tags())
      fields += Fields(tag) + "\n";
    EXPECT_EQ(fields, "256 2 1 24 36 [300]\n"
                      "257 15 1 44 56 [1099511627781]\n"
                      "258 16 1 64 76 [18446744073709551615]\n"
                      "269 1 8 84 96 [ABCDEFG\0]\n"
                      "270 1 15 104 172 [Hello, BigTIFF\0]\n"
                      "282 4 1 124 136 [4]\n"
                      "330 17 1 144 156 [400]\n"s);
    ASSERT_EQ(page.SubDirectories().size(), 1u);
    EXPECT_EQ(page.SubDirectories()[0].DirectoryOffset(), 400u);
    EXPECT_EQ(ToUtf8(page.SubDirectories()[0].Tags().GetTag(0)->Value()), "5");
    EXPECT_TRUE(FMessages.empty());
  }
}

// Files past 2 and 4 GiB, made sparse: only the directories are written.
class LargeFile : public ReaderTest {
protected:
  // Writes pieces at their positions into a file of size bytes; false when the file system
  // cannot hold such a file.
  bool Sparse(const std::string& path, std::uint64_t size,
              const std::vector<std::pair<std::uint64_t, std::string>>& pieces) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool ok = fd >= 0 && ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    for (const auto& [at, bytes] : pieces)
      ok = ok && ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(at)) ==
                     static_cast<ssize_t>(bytes.size());
    FReason = std::strerror(errno);
    if (fd >= 0)
      ::close(fd);
    return ok;
  }
  static std::string Le(std::uint64_t v, int size) {
    std::string bytes;
    for (int i = 0; i < size; ++i)
      bytes += static_cast<char>(v >> (8 * i));
    return bytes;
  }
  std::string FReason;
};

TEST_F(LargeFile, ClassicPast2GiBAndBigTiffPast4GiB) {
  constexpr std::uint64_t Classic = 0xC0000000; // 3 GiB: negative as a signed 32-bit offset
  const std::string classic = FDir.File("classic.tif");
  if (!Sparse(classic, Classic + 64,
              {{0, "II*\0"s + Le(Classic, 4)},
               {Classic, Le(1, 2) + Le(270, 2) + Le(2, 2) + Le(6, 4) + Le(Classic + 18, 4) +
                             Le(0, 4) + "Hello\0"s}}))
    GTEST_SKIP() << "the file system cannot hold a sparse 3 GiB file: " << FReason;
  constexpr std::uint64_t Page = 9ull << 30, Child = (19ull << 30) / 2;
  const std::string big = FDir.File("big.tif");
  if (!Sparse(big, 10ull << 30,
              {{0, "II+\0\x08\0\0\0"s + Le(Page, 8)},
               {Page, Le(1, 8) + Le(330, 2) + Le(18, 2) + Le(1, 8) + Le(Child, 8) + Le(0, 8)},
               {Child, Le(1, 8) + Le(270, 2) + Le(2, 2) + Le(5, 8) + "Big!\0\0\0\0"s + Le(0, 8)}}))
    GTEST_SKIP() << "the file system cannot hold a sparse 10 GiB file: " << FReason;

  TTiffFile file;
  file.SetFileName(classic);
  ASSERT_EQ(file.PageCount(), 1);
  EXPECT_EQ(file.Pages().GetPage(0)->DirectoryOffset(), Classic);
  EXPECT_EQ(ToUtf8(file.Pages().GetPage(0)->Tags().GetTag(0)->Value()), "Hello\0"s);
  EXPECT_EQ(file.Pages().GetPage(0)->Tags().GetTag(0)->ValuePos(), Classic + 18);

  file.SetFileName(big);
  ASSERT_EQ(file.PageCount(), 1);
  EXPECT_EQ(file.FileSize(), 10ull << 30);
  const auto& children = file.Pages().GetPage(0)->SubDirectories();
  ASSERT_EQ(children.size(), 1u);
  EXPECT_EQ(children[0].DirectoryOffset(), Child);
  EXPECT_EQ(ToUtf8(children[0].Tags().GetTag(0)->Value()), "Big!\0"s);
  EXPECT_TRUE(file.ReadIssues().empty());
}

} // namespace
} // namespace lodestar::test
