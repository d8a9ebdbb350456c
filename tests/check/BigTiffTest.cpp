// BigTIFF's own layout: 16-byte header, 8-byte counts and offsets, 20-byte entries, Long8 values.
#include "TChecker.h"
#include "TFileReader.h"
#include "TiffBuilder.h"

#include <functional>
#include <gtest/gtest.h>

namespace lodestar::test {
namespace {

// A 16 x 16 grey image, its strip at 1024 given in Long8s and its resolutions' Rationals inside
// their value fields, in either byte order; edit changes it before the check.
check::TCheckResult Check(TByteOrder order, const std::function<void(TTiffBuilder&)>& edit) {
  TTiffBuilder b(order);
  // 300 over 1, the numerator first in the file.
  const std::uint64_t dpi = order == TByteOrder::Big ? (300ull << 32) | 1 : (1ull << 32) | 300;
  b.BigHeader(16).Directory(
      16, {b.LongEntry(256, 16), b.LongEntry(257, 16), b.ShortEntry(258, 8), b.ShortEntry(259, 1),
           b.ShortEntry(262, 1), b.Long8Entry(273, 1024), b.ShortEntry(277, 1),
           b.LongEntry(278, 16), b.Long8Entry(279, 256), b.Long8Entry(282, dpi, Rational),
           b.Long8Entry(283, dpi, Rational), b.ShortEntry(296, 2)});
  b.U16(1279, 0);
  if (edit)
    edit(b);
  TFileReader source{std::span<const std::uint8_t>(b.Bytes())};
  return check::TChecker::CheckSource("", source);
}

TEST(BigTiff, LayoutRead) {
  const std::tuple<const char*, std::function<void(TTiffBuilder&)>, std::string> cases[] = {
      {"sound", nullptr, ""},
      {"offset size 4", [](TTiffBuilder& b) { b.U16(4, 4); }, "HDR-VERSION"},
      {"strip past the end", [](TTiffBuilder& b) { b.U64(24 + 8 * 20 + 12, 4096); }, "IMG-OUTSIDE"},
      {"directory count past the end", [](TTiffBuilder& b) { b.U64(16, 500); }, "IFD-OUTSIDE"},
  };
  for (const TByteOrder order : {TByteOrder::Little, TByteOrder::Big})
    for (const auto& [name, edit, rule] : cases) {
      const auto result = Check(order, edit);
      std::string rules;
      for (const auto& f : result.Findings)
        rules += std::string(f.Rule->Id) + " " + f.Message + "\n";
      if (rule.empty()) {
        EXPECT_TRUE(rules.empty() && result.BigTiff && result.Pages == 1) << rules;
      } else {
        EXPECT_NE(rules.find(rule), std::string::npos) << name << "\n" << rules;
      }
    }
}

} // namespace
} // namespace lodestar::test
