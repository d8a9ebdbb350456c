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
  // tag, type, value field; 273 and 279 as Long8, the resolutions' Rationals inside the field.
  constexpr std::uint64_t Dpi = (std::uint64_t(1) << 32) | 300;
  // clang-format off
  constexpr std::uint64_t Entries[][3] = {{256, 4, 16}, {257, 4, 16}, {258, 3, 8}, {259, 3, 1},
      {262, 3, 1}, {273, 16, 1024}, {277, 3, 1}, {278, 4, 16}, {279, 16, 256}, {282, 5, Dpi},
      {283, 5, Dpi}, {296, 3, 2}};
  // clang-format on
  for (const auto& [tag, type, field] : Entries)
    b.Entry(pos, static_cast<std::uint16_t>(tag), static_cast<std::uint16_t>(type), 1, field);
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
    if (c.Rule.empty())
      EXPECT_TRUE(rules.empty() && result.BigTiff && result.Pages == 1) << rules;
    else
      EXPECT_NE(rules.find(c.Rule), std::string::npos) << c.Name << "\n" << rules;
  }
}

} // namespace
} // namespace lodestar::test
