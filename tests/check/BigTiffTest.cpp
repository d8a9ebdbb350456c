// BigTIFF's own layout: 16-byte header, 8-byte counts and offsets, 20-byte entries, Long8 values.

#include "TChecker.h"
#include "TFileReader.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lodestar::test {
namespace {

// Little-endian BigTIFF bytes written at chosen positions.
struct TBig {
  std::vector<std::uint8_t> Bytes = std::vector<std::uint8_t>(2048, 0);
  void Put(std::size_t pos, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i)
      Bytes[pos + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  // tag, type, count, value field
  void Entry(std::size_t& pos, std::uint16_t tag, std::uint16_t type, std::uint64_t count,
             std::uint64_t field) {
    Put(pos, tag, 2);
    Put(pos + 2, type, 2);
    Put(pos + 4, count, 8);
    Put(pos + 12, field, 8);
    pos += 20;
  }
};

// A 16 x 16 grey image whose strip lies at 1024; edit changes it before the check.
check::TCheckResult Check(const std::function<void(TBig&)>& edit) {
  TBig b;
  b.Bytes[0] = b.Bytes[1] = 'I';
  b.Put(2, 43, 2);
  b.Put(4, 8, 2);  // offset size
  b.Put(8, 16, 8); // first directory
  b.Put(16, 12, 8);
  std::size_t pos = 24;
  b.Entry(pos, 256, 4, 1, 16);
  b.Entry(pos, 257, 4, 1, 16);
  b.Entry(pos, 258, 3, 1, 8);
  b.Entry(pos, 259, 3, 1, 1);
  b.Entry(pos, 262, 3, 1, 1);
  b.Entry(pos, 273, 16, 1, 1024); // Long8
  b.Entry(pos, 277, 3, 1, 1);
  b.Entry(pos, 278, 4, 1, 16);
  b.Entry(pos, 279, 16, 1, 256);
  b.Entry(pos, 282, 5, 1, (std::uint64_t(1) << 32) | 300); // a Rational fits in the field
  b.Entry(pos, 283, 5, 1, (std::uint64_t(1) << 32) | 300);
  b.Entry(pos, 296, 3, 1, 2);
  b.Put(pos, 0, 8); // no next directory
  if (edit)
    edit(b);
  TFileReader source{std::span<const std::uint8_t>(b.Bytes)};
  return check::TChecker::CheckSource("", source);
}

TEST(BigTiff, LayoutRead) {
  struct TCase {
    const char* Name;
    std::function<void(TBig&)> Edit;
    std::string Rule; // empty: valid
  };
  const std::vector<TCase> cases = {
      {"sound", nullptr, ""},
      {"offset size 4", [](TBig& b) { b.Put(4, 4, 2); }, "HDR-VERSION"},
      {"strip past the end", [](TBig& b) { b.Put(24 + 8 * 20 + 12, 4096, 8); }, "IMG-OUTSIDE"},
      {"directory count past the end", [](TBig& b) { b.Put(16, 500, 8); }, "IFD-OUTSIDE"},
  };
  for (const TCase& c : cases) {
    const auto result = Check(c.Edit);
    std::string rules;
    for (const auto& f : result.Findings)
      rules += std::string(f.Rule->Id) + " " + f.Message + "\n";
    if (c.Rule.empty()) {
      EXPECT_EQ(rules, "") << c.Name;
      EXPECT_TRUE(result.BigTiff);
      EXPECT_EQ(result.Pages, 1);
    } else {
      EXPECT_NE(rules.find(c.Rule), std::string::npos) << c.Name << "\n" << rules;
    }
  }
}

} // namespace
} // namespace lodestar::test
