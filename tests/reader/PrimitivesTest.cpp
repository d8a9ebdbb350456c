#include "Errors.h"
#include "TFileReader.h"
#include "TempDir.h"

#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lodestar {
namespace {

std::string WriteFile(const test::TTempDir& dir, const std::vector<std::uint8_t>& bytes) {
  std::string path = dir.File("bytes.bin");
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return path;
}

TEST(ReadingPrimitives, AssembleLittleEndianAndSwapOnRequest) {
  test::TTempDir dir;
  TFileReader stream(WriteFile(dir, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06}));
  EXPECT_EQ(ReadWord(stream), 0x0201);
  EXPECT_EQ(ReadLong(stream), 0x06050403u);
  EXPECT_EQ(SwapWord(0x1234, false), 0x1234);
  EXPECT_EQ(SwapWord(0x1234, true), 0x3412);
  EXPECT_EQ(SwapLong(0x12345678u, false), 0x12345678u);
  EXPECT_EQ(SwapLong(0x12345678u, true), 0x78563412u);
}

TEST(ReadingPrimitives, RaiseStreamReadErrorWhenTooFewBytesRemain) {
  test::TTempDir dir;
  TFileReader stream(WriteFile(dir, {0x01, 0x02, 0x03}));
  stream.Seek(2);
  EXPECT_THROW(ReadWord(stream), EReadError);
  stream.Seek(0);
  try {
    ReadLong(stream);
    FAIL() << "no error for a 4-byte read of a 3-byte file";
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Stream read error");
  }
  stream.Seek(3);
  EXPECT_THROW(ReadWord(stream), EReadError);
}

TEST(FileReader, ReadsMatchTheFileAtAnyPositionAcrossBufferRefills) {
  test::TTempDir dir;
  std::vector<std::uint8_t> bytes(300000);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<std::uint8_t>((i * 7 + i / 251) & 0xFF);
  TFileReader stream(WriteFile(dir, bytes));
  EXPECT_EQ(stream.Size(), 300000);

  // Forward, backward and straddling reads of varied sizes.
  const std::vector<std::pair<std::int64_t, std::size_t>> reads = {
      {0, 8},      {299990, 10}, {4, 2},      {65530, 20}, {65536, 1},  {1, 131072},
      {200000, 3}, {10, 4},      {299999, 1}, {131070, 4}, {0, 300000}, {150000, 100000}};
  for (auto [pos, count] : reads) {
    std::vector<std::uint8_t> got(count);
    stream.Seek(pos);
    ASSERT_EQ(stream.Read(got.data(), count), count) << pos;
    EXPECT_EQ(stream.Position(), pos + static_cast<std::int64_t>(count));
    EXPECT_TRUE(std::equal(got.begin(), got.end(), bytes.begin() + pos)) << pos << "+" << count;
  }
}

TEST(FileReader, ShortCountAtTheEndAndNothingBeyondIt) {
  test::TTempDir dir;
  TFileReader stream(WriteFile(dir, {1, 2, 3, 4, 5}));
  std::uint8_t buffer[8] = {};
  stream.Seek(3);
  EXPECT_EQ(stream.Read(buffer, 8), 2u);
  EXPECT_EQ(buffer[0], 4);
  EXPECT_EQ(buffer[1], 5);
  stream.Seek(5);
  EXPECT_EQ(stream.Read(buffer, 1), 0u);
  stream.Seek(1000);
  EXPECT_EQ(stream.Read(buffer, 4), 0u);
  stream.Seek(2);
  EXPECT_THROW(stream.ReadExact(buffer, 4), EReadError);
}

TEST(FileReader, MissingFileRaisesOpenError) {
  test::TTempDir dir;
  EXPECT_THROW(TFileReader(dir.File("absent.tif")), EFOpenError);
}

} // namespace
} // namespace lodestar
