// Files past 2 and 4 GiB, made sparse: only the header and the directories are written.
#include "ReaderTestSupport.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace lodestar::test {
namespace {

using namespace std::string_literals;

// Writes pieces at their positions into a file of size bytes; empty, or why the file system
// cannot hold such a file.
std::string Sparse(const std::string& path, std::uint64_t size,
                   const std::vector<std::pair<std::uint64_t, std::string>>& pieces) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  bool ok = fd >= 0 && ::ftruncate(fd, static_cast<off_t>(size)) == 0;
  for (const auto& [at, bytes] : pieces)
    ok = ok && ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(at)) ==
                   static_cast<ssize_t>(bytes.size());
  const std::string reason = ok ? "" : std::strerror(errno);
  return (fd < 0 || ::close(fd) == 0) ? reason : std::strerror(errno);
}

std::string Le(std::uint64_t v, int size) {
  std::string bytes(static_cast<std::size_t>(size), '\0');
  for (int i = 0; i < size; ++i)
    bytes[static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
  return bytes;
}

TEST_F(ReaderTest, ClassicPast2GiBAndBigTiffPast4GiBAreReadByPosition) {
  constexpr std::uint64_t Classic = 0xC0000000; // 3 GiB: negative as a signed 32-bit offset
  const std::string classic = FDir.File("classic.tif"), big = FDir.File("big.tif");
  std::string why = Sparse(classic, Classic + 64,
                           {{0, "II*\0"s + Le(Classic, 4)},
                            {Classic, Le(1, 2) + Le(270, 2) + Le(2, 2) + Le(6, 4) +
                                          Le(Classic + 18, 4) + Le(0, 4) + "Hello\0"s}});
  if (!why.empty())
    GTEST_SKIP() << "the file system cannot hold a sparse 3 GiB file: " << why;
  constexpr std::uint64_t Page = 9ull << 30, Child = (19ull << 30) / 2;
  why = Sparse(big, 10ull << 30,
               {{0, "II+\0\x08\0\0\0"s + Le(Page, 8)},
                {Page, Le(1, 8) + Le(330, 2) + Le(18, 2) + Le(1, 8) + Le(Child, 8) + Le(0, 8)},
                {Child, Le(1, 8) + Le(270, 2) + Le(2, 2) + Le(5, 8) + "Big!\0\0\0\0"s + Le(0, 8)}});
  if (!why.empty())
    GTEST_SKIP() << "the file system cannot hold a sparse 10 GiB file: " << why;

  TTiffFile file;
  file.SetFileName(classic);
  ASSERT_EQ(file.PageCount(), 1);
  EXPECT_EQ(file.Pages().GetPage(0)->DirectoryOffset(), Classic);
  EXPECT_EQ(ToUtf8(file.Pages().GetPage(0)->Tags().GetTag(0)->Value()), "Hello\0"s);

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
