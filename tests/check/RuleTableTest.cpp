// One crafted file per rule: each row builds the file with the fault and the nearest correct file
// without it, in both byte orders.

#include "TChecker.h"
#include "TFileReader.h"
#include "TiffBuilder.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace lodestar::test {
namespace {

using check::TCheckResult;

constexpr std::uint32_t StripPos = 2048;
constexpr std::uint32_t TextPos = 1500;

// A small grey image: one page at DirPos, its strip at StripPos, values after the directory.
struct TDraft {
  // clang-format off
  explicit TDraft(TByteOrder order) : B(order) {
    Set(B.LongEntry(256, 16)), Set(B.LongEntry(257, 16)), Set(B.ShortEntry(258, 8)), Set(B.ShortEntry(259, 1));
    Set(B.ShortEntry(262, 1)), Set(B.LongEntry(273, StripPos)), Set(B.ShortEntry(277, 1)), Set(B.LongEntry(278, 16));
    Set(B.LongEntry(279, 256)), Set(B.RationalEntry(282, 300, 1)), Set(B.RationalEntry(283, 300, 1)), Set(B.ShortEntry(296, 2));
  }
  // clang-format on
  void Set(TEntryDraft entry) { Page[entry.Tag] = std::move(entry); }
  // Two Short values in one value field.
  TEntryDraft Shorts(std::uint16_t tag, std::uint16_t a, std::uint16_t b) const {
    const bool big = B.Order() == TByteOrder::Big;
    return B.LongEntry(tag, big ? (std::uint32_t(a) << 16) | b : (std::uint32_t(b) << 16) | a, 2,
                       Short);
  }
  TEntryDraft Longs(std::uint16_t tag, const std::vector<std::uint32_t>& values) const {
    if (values.size() == 1)
      return B.LongEntry(tag, values[0]);
    TTiffBuilder scratch(B.Order());
    for (std::size_t i = 0; i < values.size(); ++i)
      scratch.U32(4 * i, values[i]);
    TEntryDraft entry = B.BytesEntry(tag, Long, scratch.Bytes());
    entry.Count = static_cast<std::uint32_t>(values.size());
    return entry;
  }
  // Square tiles instead of the strip.
  void Tiles(std::uint32_t side, std::uint32_t count) {
    for (const std::uint16_t tag : {273, 278, 279})
      Page.erase(tag);
    Set(B.LongEntry(322, side)), Set(B.LongEntry(323, side));
    std::vector<std::uint32_t> offsets, counts;
    for (std::uint32_t i = 0; i < count; ++i)
      offsets.push_back(StripPos + i * side * side), counts.push_back(side * side);
    Set(Longs(324, offsets)), Set(Longs(325, counts));
  }

  std::vector<std::uint8_t> Bytes() {
    B.Header(FirstOffset.value_or(DirPos));
    B.Raw(StripPos, std::vector<std::uint8_t>(StripBytes, 0));
    std::vector<TEntryDraft> entries;
    for (auto& [tag, entry] : Page)
      entries.push_back(entry);
    if (Edit)
      Edit(entries);
    B.Directory(DirPos, entries, Next);
    if (After)
      After(B);
    return B.Bytes();
  }

  TTiffBuilder B;
  std::map<std::uint16_t, TEntryDraft> Page;
  std::uint32_t DirPos = 8;
  std::optional<std::uint32_t> FirstOffset;
  std::uint32_t Next = 0;
  std::size_t StripBytes = 256 * 4;
  std::function<void(std::vector<TEntryDraft>&)> Edit;
  std::function<void(TTiffBuilder&)> After;
};

struct TRow {
  const char* Name;
  const char* Rule;
  // Makes the file with the fault when faulty (f), else the nearest correct one.
  void (*Make)(TDraft&, bool f);
};

TEntryDraft Text(const TDraft& d, std::uint16_t tag, const std::string& text,
                 std::uint32_t at = TextPos) {
  return d.B.AsciiEntry(tag, text, at);
}
const std::string Scan("a scan", 7);

// An Exif directory with its version only, at 3000, named by a pointer of the type given.
void Exif(TDraft& d, std::uint32_t at, bool asShort = false) {
  d.Set(asShort ? d.B.ShortEntry(34665, 3000) : d.B.LongEntry(34665, at));
  d.After = [](TTiffBuilder& b) {
    b.Directory(3000, {b.BytesEntry(36864, Undefined, {'0', '2', '3', '0'})});
  };
}

// A GeoTIFF key directory at 3200 (header, then four words a key), beside two doubles at 3400.
void Geo(TDraft& d, std::vector<std::uint16_t> words, std::uint16_t type = Short) {
  TTiffBuilder scratch(d.B.Order());
  for (std::size_t i = 0; i < words.size(); ++i)
    scratch.U16(2 * i, words[i]);
  TEntryDraft keys = d.B.BytesEntry(34735, type, scratch.Bytes(), 3200);
  keys.Count = static_cast<std::uint32_t>(type == Short ? words.size() : words.size() / 2);
  d.Set(keys);
  d.Set(d.B.BytesEntry(34736, Double, std::vector<std::uint8_t>(16, 0), 3400));
  d.Page[34736].Count = 2;
}

void Cut(TDraft& d, bool f) {
  if (f)
    d.After = [](TTiffBuilder& b) { b.Truncate(8 + 2 + 12 * 5); };
}
void LongChain(TDraft& d, bool f) {
  if (!f)
    return;
  d.Next = 4000;
  d.After = [](TTiffBuilder& b) {
    for (int i = 0; i <= check::TChecker::MaxDirectories; ++i)
      b.Directory(4000 + 20 * i, {b.ShortEntry(254, 0, 1, Long)},
                  static_cast<std::uint32_t>(4000 + 20 * (i + 1)));
  };
}

using W = std::uint16_t;
// clang-format off
const std::vector<TRow>& Rows() {
  static const std::vector<TRow> rows = {
    {"ByteOrderMark", "HDR-ORDER", [](TDraft& d, bool f) { if (f) d.After = [](TTiffBuilder& b) { b.Raw(0, std::string("IM")); }; }},
    {"Version", "HDR-VERSION", [](TDraft& d, bool f) { if (f) d.After = [](TTiffBuilder& b) { b.U16(2, 41); }; }},
    {"FirstOffsetPastEnd", "HDR-OFFSET", [](TDraft& d, bool f) { d.FirstOffset = f ? 90000 : 8; }},
    {"NoDirectory", "IFD-NONE", [](TDraft& d, bool f) { d.FirstOffset = f ? 0 : 8; }},
    {"EntryTablePastEnd", "IFD-OUTSIDE", Cut},
    {"NextIntoHeader", "IFD-NEXT", [](TDraft& d, bool f) { d.Next = f ? 4 : 0; }},
    {"NextBackToItself", "IFD-LOOP", [](TDraft& d, bool f) { d.Next = f ? 8 : 0; }},
    {"EmptyDirectory", "IFD-EMPTY", [](TDraft& d, bool f) { if (f) d.Next = 3000, d.After = [](TTiffBuilder& b) { b.Directory(3000, {}); }; }},
    {"OddDirectory", "IFD-ALIGN", [](TDraft& d, bool f) { d.DirPos = f ? 9 : 10; }},
    {"EntriesOutOfOrder", "IFD-ORDER", [](TDraft& d, bool f) { if (f) d.Edit = [](std::vector<TEntryDraft>& e) { std::swap(e[0], e[1]); }; }},
    {"TagTwice", "IFD-DUPLICATE", [](TDraft& d, bool f) { if (f) d.Edit = [](std::vector<TEntryDraft>& e) { e.insert(e.begin() + 1, e[1]); }; }},
    // Page 2 starts at the first's last entry: its count is that entry's tag.
    {"SecondDirectoryInsideFirst", "IFD-OVERLAP", [](TDraft& d, bool f) { d.Next = f ? 8 + 2 + 11 * 12 : 0; }},
    {"UnknownType", "ENT-TYPE", [](TDraft& d, bool f) { d.Set(Text(d, 305, Scan)); d.Page[305].Type = f ? 14 : Ascii; }},
    {"CountZero", "ENT-COUNT", [](TDraft& d, bool f) { d.Set(Text(d, 305, Scan)); d.Page[305].Count = f ? 0 : 7; }},
    {"ValuePastEnd", "ENT-OUTSIDE", [](TDraft& d, bool f) { d.Set(f ? d.B.RawEntry(270, Ascii, 7, 80000) : Text(d, 270, Scan)); }},
    {"OddValue", "ENT-ALIGN", [](TDraft& d, bool f) { d.Set(Text(d, 270, Scan, f ? 1501 : TextPos)); }},
    {"ValueInHeader", "ENT-HEADER", [](TDraft& d, bool f) { d.Set(f ? d.B.RawEntry(270, Ascii, 7, 2) : Text(d, 270, Scan)); }},
    {"TwoValuesOneRange", "ENT-OVERLAP", [](TDraft& d, bool f) { d.Set(Text(d, 270, Scan)); d.Set(Text(d, 305, Scan, f ? TextPos + 2 : TextPos + 8)); }},
    {"AsciiWithoutNul", "ENT-ASCII-NUL", [](TDraft& d, bool f) { d.Set(Text(d, 270, f ? "a scan!" : Scan)); }},
    {"ZeroDenominator", "ENT-RATIONAL-ZERO", [](TDraft& d, bool f) { d.Set(d.B.RationalEntry(282, 300, f ? 0 : 1)); }},
    {"OrientationAsLong", "TAG-TYPE", [](TDraft& d, bool f) { d.Set(f ? d.B.LongEntry(274, 1) : d.B.ShortEntry(274, 1)); }},
    {"PageNumberOneValue", "TAG-COUNT", [](TDraft& d, bool f) { d.Set(f ? d.B.ShortEntry(297, 1) : d.Shorts(297, 0, 1)); }},
    {"ResolutionUnitFour", "TAG-VALUE", [](TDraft& d, bool f) { d.Set(d.B.ShortEntry(296, f ? 4 : 3)); }},
    {"NoXResolution", "TAG-REQUIRED", [](TDraft& d, bool f) { if (f) d.Page.erase(282); }},
    {"ColorMapInGreyImage", "TAG-COLORMAP", [](TDraft& d, bool f) { d.Set(d.B.ShortEntry(262, f ? 1 : 3)); d.Set(d.B.BytesEntry(320, Short, std::vector<std::uint8_t>(1536, 0), 4000)); d.Page[320].Count = 768; }},
    {"TwoGreySamples", "TAG-SAMPLES", [](TDraft& d, bool f) { d.Set(d.B.ShortEntry(277, 2)); d.Set(d.Shorts(258, 8, 8)); if (!f) d.Set(d.B.ShortEntry(338, 2)); }},
    {"DateWithDashes", "TAG-DATETIME", [](TDraft& d, bool f) { d.Set(Text(d, 306, std::string(f ? "2024-05-01 10:20:30" : "2024:05:01 10:20:30", 20))); }},
    {"NoStripByteCounts", "IMG-DATA", [](TDraft& d, bool f) { if (f) d.Page.erase(279); }},
    {"StripsAndTiles", "IMG-STRIPS-AND-TILES", [](TDraft& d, bool f) { d.Tiles(16, 1); if (f) d.Set(d.B.LongEntry(273, StripPos)), d.Set(d.B.LongEntry(279, 256)); }},
    {"TwoStripsNeededOneGiven", "IMG-STRIP-COUNT", [](TDraft& d, bool f) { d.Set(d.B.LongEntry(278, f ? 8 : 16)); }},
    {"EightPixelTiles", "IMG-TILE-SIZE", [](TDraft& d, bool f) { f ? d.Tiles(8, 4) : d.Tiles(16, 1); }},
    {"TwoTilesNeededOneGiven", "IMG-TILE-COUNT", [](TDraft& d, bool f) { d.Tiles(16, 1); d.Set(d.B.LongEntry(256, f ? 32 : 16)); }},
    {"StripPastEnd", "IMG-OUTSIDE", [](TDraft& d, bool f) { d.Set(d.B.LongEntry(279, f ? 5000 : 256)); }},
    {"StripOverDirectory", "IMG-OVERLAP", [](TDraft& d, bool f) { d.Set(d.B.LongEntry(273, f ? 8 : StripPos)); }},
    {"ExifPointerShort", "SUB-TYPE", [](TDraft& d, bool f) { Exif(d, 3000, f); }},
    {"ExifPointerZero", "SUB-ZERO", [](TDraft& d, bool f) { Exif(d, f ? 0 : 3000); }},
    {"ExifPointerPastEnd", "IFD-OUTSIDE", [](TDraft& d, bool f) { Exif(d, f ? 90000 : 3000); }},
    {"ExifPointerBackToPage", "IFD-LOOP", [](TDraft& d, bool f) { Exif(d, f ? 8 : 3000); }},
    {"GeoKeysAsLong", "GEO-TYPE", [](TDraft& d, bool f) { Geo(d, {1, 1, 1, 1, 1024, 0, 1, 1}, f ? Long : Short); }},
    {"GeoVersionTwo", "GEO-HEADER", [](TDraft& d, bool f) { Geo(d, {W(f ? 2 : 1), 1, 1, 1, 1024, 0, 1, 1}); }},
    {"GeoKeysPastTag", "GEO-HEADER", [](TDraft& d, bool f) { Geo(d, {1, 1, 1, W(f ? 2 : 1), 1024, 0, 1, 1}); }},
    {"GeoKeysDescending", "GEO-ORDER", [](TDraft& d, bool f) { Geo(d, {1, 1, 1, 2, W(f ? 1025 : 1024), 0, 1, 1, W(f ? 1024 : 1025), 0, 1, 1}); }},
    {"GeoKeyInUnknownTag", "GEO-LOCATION", [](TDraft& d, bool f) { Geo(d, {1, 1, 1, 1, 1024, W(f ? 34999 : 0), 1, 1}); }},
    {"GeoDoublesPastTag", "GEO-SLICE", [](TDraft& d, bool f) { Geo(d, {1, 1, 1, 1, 2057, 34736, W(f ? 3 : 2), 0}); }},
    {"OldStyleJpeg", "ADV-OLD-JPEG", [](TDraft& d, bool f) { d.Set(d.B.ShortEntry(259, f ? 6 : 7)); }},
    {"UnknownPrivateTag", "ADV-PRIVATE", [](TDraft& d, bool f) { d.Set(d.B.ShortEntry(f ? 65000 : 33723, 1)); }},
    {"DirectoryChainBeyondLimit", "ADV-SHORT-READ", LongChain},
  };
  return rows;
}
// clang-format on

TCheckResult Check(const std::vector<std::uint8_t>& bytes) {
  TFileReader source{std::span<const std::uint8_t>(bytes)};
  return check::TChecker::CheckSource("", source);
}

bool Has(const TCheckResult& result, std::string_view rule) {
  return std::any_of(result.Findings.begin(), result.Findings.end(),
                     [&](const check::TFinding& f) { return f.Rule->Id == rule; });
}

std::string Listing(const TCheckResult& result) {
  std::string text;
  for (const auto& f : result.Findings)
    text += std::string(f.Rule->Id) + " [" + f.Directory + "] " + f.Message + "\n";
  return text;
}

class RuleTable : public ::testing::TestWithParam<std::tuple<std::size_t, TByteOrder>> {};

TEST_P(RuleTable, FaultFoundAndNearestCorrectFileValid) {
  const auto& [index, order] = GetParam();
  const TRow& row = Rows()[index];
  TDraft faulty(order);
  row.Make(faulty, true);
  TDraft correct(order);
  row.Make(correct, false);
  const TCheckResult bad = Check(faulty.Bytes());
  const TCheckResult good = Check(correct.Bytes());
  EXPECT_TRUE(Has(bad, row.Rule)) << Listing(bad);
  EXPECT_FALSE(Has(good, row.Rule)) << Listing(good);
  // Warnings aside, the correct file has no findings at all, so a rule that fires on sound files
  // shows here.
  EXPECT_EQ(good.Verdict, check::TVerdict::Valid) << Listing(good);
  // The verdict is at least as bad as the rule's severity makes it.
  const auto severity = check::FindRule(row.Rule)->Severity;
  const auto least = severity == check::TSeverity::Fatal   ? check::TVerdict::NotWellFormed
                     : severity == check::TSeverity::Error ? check::TVerdict::NotValid
                                                           : check::TVerdict::Valid;
  EXPECT_GE(static_cast<int>(bad.Verdict), static_cast<int>(least)) << Listing(bad);
}

INSTANTIATE_TEST_SUITE_P(Rows, RuleTable,
                         ::testing::Combine(::testing::Range<std::size_t>(0, Rows().size()),
                                            ::testing::Values(TByteOrder::Little, TByteOrder::Big)),
                         [](const auto& info) {
                           return std::string(Rows()[std::get<0>(info.param)].Name) +
                                  (std::get<1>(info.param) == TByteOrder::Big ? "_MM" : "_II");
                         });

// Every rule of the catalogue has its row, so a new rule cannot go untested.
TEST(RuleTableCoverage, EveryRuleHasARow) {
  for (const auto& rule : check::Rules()) {
    const bool found = std::any_of(Rows().begin(), Rows().end(),
                                   [&](const TRow& row) { return row.Rule == rule.Id; });
    EXPECT_TRUE(found) << rule.Id;
  }
}

} // namespace
} // namespace lodestar::test
