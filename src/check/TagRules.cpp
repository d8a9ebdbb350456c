#include "TCheckContext.h"
#include "uTagDescription.h"

#include <algorithm>
#include <array>
#include <span>

namespace lodestar::check {
namespace {

constexpr std::uint32_t T(std::uint16_t code) {
  return 1u << code;
}
constexpr std::uint32_t ShortOrLong = T(type::Short) | T(type::Long);
constexpr std::uint32_t AnyType = ~0u;

enum class TCount : std::uint8_t {
  Any,
  Fixed,     // N
  Samples,   // SamplesPerPixel
  ColorMap,  // 3 * 2^BitsPerSample
  Curve,     // 2^BitsPerSample
  Transfer,  // 1 or 3 times 2^BitsPerSample
  DotRange,  // 2 or 2 * SamplesPerPixel
  AtLeast,   // N or more
  TwoToFour, // a point, a circle or a rectangle (Exif's SubjectArea)
};

// How the allowed values apply: to the first value, to each value, or as the bits that may be set.
enum class TValues : std::uint8_t { None, First, Each, Bits };

struct TTagRule {
  TTable Table;
  std::uint16_t Tag;
  std::uint32_t Types;
  TCount Count;
  std::uint32_t N;
  TValues How = TValues::None;
  std::span<const std::uint32_t> Allowed = {};
};

constexpr std::uint32_t SubfileTypes[] = {1, 2, 3};
// TIFF 6.0's schemes, then those later technical notes and registrations define (JPEG, Deflate,
// the LogLuv pair, JBIG, JPEG 2000 and their kin).
constexpr std::uint32_t Compressions[] = {1,     2,     3,     4,     5,     6,     7,
                                          8,     9,     10,    32766, 32771, 32773, 32809,
                                          32895, 32896, 32897, 32898, 32946, 32947, 34661,
                                          34676, 34677, 34712, 34887, 34925, 50000, 50001};
constexpr std::uint32_t Photometrics[] = {0, 1,  2,     3,     4,     5,     6,    8,
                                          9, 10, 32803, 32844, 32845, 34892, 51177};
constexpr std::uint32_t OneToThree[] = {1, 2, 3};
constexpr std::uint32_t OneOrTwo[] = {1, 2};
constexpr std::uint32_t Orientations[] = {1, 2, 3, 4, 5, 6, 7, 8};
constexpr std::uint32_t GrayUnits[] = {1, 2, 3, 4, 5};
constexpr std::uint32_t ExtraSampleKinds[] = {0, 1, 2};
constexpr std::uint32_t SampleFormats[] = {1, 2, 3, 4, 5, 6};
constexpr std::uint32_t JpegProcs[] = {1, 14};
constexpr std::uint32_t NewSubfileBits[] = {0x7};
constexpr std::uint32_t T4Bits[] = {0x7};
constexpr std::uint32_t T6Bits[] = {0x2};

using enum TTable;
using C = TCount;
using V = TValues;

// Kept in ascending order of table and tag. The GeoTIFF tags have rules of their own. Exif,
// GPS and Interoperability: every tag Exif 2.3 defines for those directories.
constexpr TTagRule TagRules[] = {
    {Main, 254, T(type::Long), C::Fixed, 1, V::Bits, NewSubfileBits},
    {Main, 255, T(type::Short), C::Fixed, 1, V::First, SubfileTypes},
    {Main, 256, ShortOrLong, C::Fixed, 1},
    {Main, 257, ShortOrLong, C::Fixed, 1},
    {Main, 258, T(type::Short), C::Samples, 0},
    {Main, 259, T(type::Short), C::Fixed, 1, V::First, Compressions},
    {Main, 262, T(type::Short), C::Fixed, 1, V::First, Photometrics},
    {Main, 263, T(type::Short), C::Fixed, 1, V::First, OneToThree},
    {Main, 264, T(type::Short), C::Fixed, 1},
    {Main, 265, T(type::Short), C::Fixed, 1},
    {Main, 266, T(type::Short), C::Fixed, 1, V::First, OneOrTwo},
    {Main, 269, T(type::Ascii), C::Any, 0},
    {Main, 270, T(type::Ascii), C::Any, 0},
    {Main, 271, T(type::Ascii), C::Any, 0},
    {Main, 272, T(type::Ascii), C::Any, 0},
    {Main, 273, ShortOrLong, C::Any, 0},
    {Main, 274, T(type::Short), C::Fixed, 1, V::First, Orientations},
    {Main, 277, T(type::Short), C::Fixed, 1},
    {Main, 278, ShortOrLong, C::Fixed, 1},
    {Main, 279, ShortOrLong, C::Any, 0},
    {Main, 280, T(type::Short), C::Samples, 0},
    {Main, 281, T(type::Short), C::Samples, 0},
    {Main, 282, T(type::Rational), C::Fixed, 1},
    {Main, 283, T(type::Rational), C::Fixed, 1},
    {Main, 284, T(type::Short), C::Fixed, 1, V::First, OneOrTwo},
    {Main, 285, T(type::Ascii), C::Any, 0},
    {Main, 286, T(type::Rational), C::Fixed, 1},
    {Main, 287, T(type::Rational), C::Fixed, 1},
    {Main, 288, T(type::Long), C::Any, 0},
    {Main, 289, T(type::Long), C::Any, 0},
    {Main, 290, T(type::Short), C::Fixed, 1, V::First, GrayUnits},
    {Main, 291, T(type::Short), C::Curve, 0},
    {Main, 292, T(type::Long), C::Fixed, 1, V::Bits, T4Bits},
    {Main, 293, T(type::Long), C::Fixed, 1, V::Bits, T6Bits},
    {Main, 296, T(type::Short), C::Fixed, 1, V::First, OneToThree},
    {Main, 297, T(type::Short), C::Fixed, 2},
    {Main, 301, T(type::Short), C::Transfer, 0},
    {Main, 305, T(type::Ascii), C::Any, 0},
    {Main, 306, T(type::Ascii), C::Fixed, 20},
    {Main, 315, T(type::Ascii), C::Any, 0},
    {Main, 316, T(type::Ascii), C::Any, 0},
    {Main, 317, T(type::Short), C::Fixed, 1, V::First, OneToThree},
    {Main, 318, T(type::Rational), C::Fixed, 2},
    {Main, 319, T(type::Rational), C::Fixed, 6},
    {Main, 320, T(type::Short), C::ColorMap, 0},
    {Main, 321, T(type::Short), C::Fixed, 2},
    {Main, 322, ShortOrLong, C::Fixed, 1},
    {Main, 323, ShortOrLong, C::Fixed, 1},
    {Main, 324, T(type::Long), C::Any, 0},
    {Main, 325, ShortOrLong, C::Any, 0},
    {Main, 330, T(type::Long) | T(type::Ifd), C::Any, 0},
    {Main, 332, T(type::Short), C::Fixed, 1, V::First, OneOrTwo},
    {Main, 333, T(type::Ascii), C::Any, 0},
    {Main, 334, T(type::Short), C::Fixed, 1},
    {Main, 336, T(type::Byte) | T(type::Short), C::DotRange, 0},
    {Main, 337, T(type::Ascii), C::Any, 0},
    {Main, 338, T(type::Short), C::Any, 0, V::Each, ExtraSampleKinds},
    {Main, 339, T(type::Short), C::Samples, 0, V::Each, SampleFormats},
    {Main, 340, AnyType, C::Samples, 0},
    {Main, 341, AnyType, C::Samples, 0},
    {Main, 342, T(type::Short), C::Fixed, 6},
    {Main, 512, T(type::Short), C::Fixed, 1, V::First, JpegProcs},
    {Main, 513, T(type::Long), C::Fixed, 1},
    {Main, 514, T(type::Long), C::Fixed, 1},
    {Main, 515, T(type::Short), C::Fixed, 1},
    {Main, 517, T(type::Short), C::Samples, 0},
    {Main, 518, T(type::Short), C::Samples, 0},
    {Main, 519, T(type::Long), C::Samples, 0},
    {Main, 520, T(type::Long), C::Samples, 0},
    {Main, 521, T(type::Long), C::Samples, 0},
    {Main, 529, T(type::Rational), C::Fixed, 3},
    {Main, 530, T(type::Short), C::Fixed, 2},
    {Main, 531, T(type::Short), C::Fixed, 1, V::First, OneOrTwo},
    {Main, 532, T(type::Rational), C::Fixed, 6},
    {Main, 700, T(type::Byte) | T(type::Undefined), C::Any, 0},
    {Main, 33432, T(type::Ascii), C::Any, 0},
    {Main, 33550, T(type::Double), C::Fixed, 3},
    {Main, 33723, AnyType, C::Any, 0},
    {Main, 33922, T(type::Double), C::Any, 0},
    {Main, 34264, T(type::Double), C::Fixed, 16},
    {Main, 34377, AnyType, C::Any, 0},
    {Main, 34665, T(type::Long) | T(type::Ifd), C::Fixed, 1},
    {Main, 34675, T(type::Undefined), C::Any, 0},
    {Main, 34853, T(type::Long) | T(type::Ifd), C::Fixed, 1},
    {Exif, 33434, T(type::Rational), C::Fixed, 1},
    {Exif, 33437, T(type::Rational), C::Fixed, 1},
    {Exif, 34850, T(type::Short), C::Fixed, 1},
    {Exif, 34852, T(type::Ascii), C::Any, 0},
    {Exif, 34855, T(type::Short), C::Any, 0},
    {Exif, 34856, T(type::Undefined), C::Any, 0},
    {Exif, 34864, T(type::Short), C::Fixed, 1},
    {Exif, 34865, T(type::Long), C::Fixed, 1},
    {Exif, 34866, T(type::Long), C::Fixed, 1},
    {Exif, 34867, T(type::Long), C::Fixed, 1},
    {Exif, 34868, T(type::Long), C::Fixed, 1},
    {Exif, 34869, T(type::Long), C::Fixed, 1},
    {Exif, 36864, T(type::Undefined), C::Fixed, 4},
    {Exif, 36867, T(type::Ascii), C::Fixed, 20},
    {Exif, 36868, T(type::Ascii), C::Fixed, 20},
    {Exif, 37121, T(type::Undefined), C::Fixed, 4},
    {Exif, 37122, T(type::Rational), C::Fixed, 1},
    {Exif, 37377, T(type::SRational), C::Fixed, 1},
    {Exif, 37378, T(type::Rational), C::Fixed, 1},
    {Exif, 37379, T(type::SRational), C::Fixed, 1},
    {Exif, 37380, T(type::SRational), C::Fixed, 1},
    {Exif, 37381, T(type::Rational), C::Fixed, 1},
    {Exif, 37382, T(type::Rational), C::Fixed, 1},
    {Exif, 37383, T(type::Short), C::Fixed, 1},
    {Exif, 37384, T(type::Short), C::Fixed, 1},
    {Exif, 37385, T(type::Short), C::Fixed, 1},
    {Exif, 37386, T(type::Rational), C::Fixed, 1},
    {Exif, 37396, T(type::Short), C::TwoToFour, 0},
    {Exif, 37500, T(type::Undefined), C::Any, 0},
    {Exif, 37510, T(type::Undefined), C::Any, 0},
    {Exif, 37520, T(type::Ascii), C::Any, 0},
    {Exif, 37521, T(type::Ascii), C::Any, 0},
    {Exif, 37522, T(type::Ascii), C::Any, 0},
    {Exif, 40960, T(type::Undefined), C::Fixed, 4},
    {Exif, 40961, T(type::Short), C::Fixed, 1},
    {Exif, 40962, ShortOrLong, C::Fixed, 1},
    {Exif, 40963, ShortOrLong, C::Fixed, 1},
    {Exif, 40964, T(type::Ascii), C::Fixed, 13},
    {Exif, 40965, T(type::Long) | T(type::Ifd), C::Fixed, 1},
    {Exif, 41483, T(type::Rational), C::Fixed, 1},
    {Exif, 41484, T(type::Undefined), C::Any, 0},
    {Exif, 41486, T(type::Rational), C::Fixed, 1},
    {Exif, 41487, T(type::Rational), C::Fixed, 1},
    {Exif, 41488, T(type::Short), C::Fixed, 1},
    {Exif, 41492, T(type::Short), C::Fixed, 2},
    {Exif, 41493, T(type::Rational), C::Fixed, 1},
    {Exif, 41495, T(type::Short), C::Fixed, 1},
    {Exif, 41728, T(type::Undefined), C::Fixed, 1},
    {Exif, 41729, T(type::Undefined), C::Fixed, 1},
    {Exif, 41730, T(type::Undefined), C::Any, 0},
    {Exif, 41985, T(type::Short), C::Fixed, 1},
    {Exif, 41986, T(type::Short), C::Fixed, 1},
    {Exif, 41987, T(type::Short), C::Fixed, 1},
    {Exif, 41988, T(type::Rational), C::Fixed, 1},
    {Exif, 41989, T(type::Short), C::Fixed, 1},
    {Exif, 41990, T(type::Short), C::Fixed, 1},
    {Exif, 41991, T(type::Short), C::Fixed, 1},
    {Exif, 41992, T(type::Short), C::Fixed, 1},
    {Exif, 41993, T(type::Short), C::Fixed, 1},
    {Exif, 41994, T(type::Short), C::Fixed, 1},
    {Exif, 41995, T(type::Undefined), C::Any, 0},
    {Exif, 41996, T(type::Short), C::Fixed, 1},
    {Exif, 42016, T(type::Ascii), C::Fixed, 33},
    {Exif, 42032, T(type::Ascii), C::Any, 0},
    {Exif, 42033, T(type::Ascii), C::Any, 0},
    {Exif, 42034, T(type::Rational), C::Fixed, 4},
    {Exif, 42035, T(type::Ascii), C::Any, 0},
    {Exif, 42036, T(type::Ascii), C::Any, 0},
    {Exif, 42037, T(type::Ascii), C::Any, 0},
    {Exif, 42240, T(type::Rational), C::Fixed, 1},
    {Gps, 0, T(type::Byte), C::Fixed, 4},
    {Gps, 1, T(type::Ascii), C::Fixed, 2},
    {Gps, 2, T(type::Rational), C::Fixed, 3},
    {Gps, 3, T(type::Ascii), C::Fixed, 2},
    {Gps, 4, T(type::Rational), C::Fixed, 3},
    {Gps, 5, T(type::Byte), C::Fixed, 1},
    {Gps, 6, T(type::Rational), C::Fixed, 1},
    {Gps, 7, T(type::Rational), C::Fixed, 3},
    {Gps, 8, T(type::Ascii), C::Any, 0},
    {Gps, 9, T(type::Ascii), C::Fixed, 2},
    {Gps, 10, T(type::Ascii), C::Fixed, 2},
    {Gps, 11, T(type::Rational), C::Fixed, 1},
    {Gps, 12, T(type::Ascii), C::Fixed, 2},
    {Gps, 13, T(type::Rational), C::Fixed, 1},
    {Gps, 14, T(type::Ascii), C::Fixed, 2},
    {Gps, 15, T(type::Rational), C::Fixed, 1},
    {Gps, 16, T(type::Ascii), C::Fixed, 2},
    {Gps, 17, T(type::Rational), C::Fixed, 1},
    {Gps, 18, T(type::Ascii), C::Any, 0},
    {Gps, 19, T(type::Ascii), C::Fixed, 2},
    {Gps, 20, T(type::Rational), C::Fixed, 3},
    {Gps, 21, T(type::Ascii), C::Fixed, 2},
    {Gps, 22, T(type::Rational), C::Fixed, 3},
    {Gps, 23, T(type::Ascii), C::Fixed, 2},
    {Gps, 24, T(type::Rational), C::Fixed, 1},
    {Gps, 25, T(type::Ascii), C::Fixed, 2},
    {Gps, 26, T(type::Rational), C::Fixed, 1},
    {Gps, 27, T(type::Undefined), C::Any, 0},
    {Gps, 28, T(type::Undefined), C::Any, 0},
    {Gps, 29, T(type::Ascii), C::Fixed, 11},
    {Gps, 30, T(type::Short), C::Fixed, 1},
    {Gps, 31, T(type::Rational), C::Fixed, 1},
    {Interoperability, 1, T(type::Ascii), C::Any, 0},
    {Interoperability, 2, T(type::Undefined), C::Fixed, 4},
    {Interoperability, 4096, T(type::Ascii), C::Any, 0},
    {Interoperability, 4097, ShortOrLong, C::Fixed, 1},
    {Interoperability, 4098, ShortOrLong, C::Fixed, 1},
};

const TTagRule* FindTagRule(TTable table, std::uint16_t tag) {
  const auto it = std::lower_bound(std::begin(TagRules), std::end(TagRules), std::pair(table, tag),
                                   [](const TTagRule& rule, std::pair<TTable, std::uint16_t> key) {
                                     return std::pair(rule.Table, rule.Tag) < key;
                                   });
  return it != std::end(TagRules) && it->Table == table && it->Tag == tag ? &*it : nullptr;
}

std::string Num(std::uint64_t value) {
  return std::to_string(value);
}

std::string TypesText(std::uint32_t types) {
  std::string text;
  for (std::uint16_t code = 1; code <= 18; ++code) {
    if (!(types & T(code)))
      continue;
    if (!text.empty())
      text += " or ";
    text += TypeText(code);
  }
  return text;
}

// 2^bits, or 0 where that is beyond any count a file can hold.
std::uint64_t Power(std::uint64_t bits) {
  return bits < 32 ? std::uint64_t(1) << bits : 0;
}

// "YYYY:MM:DD HH:MM:SS"; blanks for unknown parts are allowed in Exif dates.
bool DateTimeText(const std::string& text) {
  if (text.size() != 19)
    return false;
  static constexpr std::string_view Pattern = "dddd:dd:dd dd:dd:dd";
  const bool blank =
      std::all_of(text.begin(), text.end(), [&](char c) { return c == ' ' || c == ':'; });
  for (std::size_t i = 0; i < Pattern.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (Pattern[i] == 'd' ? !(digit || blank) : text[i] != Pattern[i])
      return false;
  }
  return true;
}

void CheckValue(TCheckContext& context, const TDirectory& directory, const TEntry& entry,
                const TTagRule& rule) {
  if (rule.How == TValues::None || (rule.Types != AnyType && !(rule.Types & T(entry.Type))))
    return;
  const auto values = context.Values(entry, rule.How == TValues::Each ? 64 : 1);
  for (const std::uint64_t value : values) {
    const bool allowed =
        rule.How == TValues::Bits
            ? (value & ~std::uint64_t(rule.Allowed.front())) == 0
            : std::find(rule.Allowed.begin(), rule.Allowed.end(), value) != rule.Allowed.end();
    if (!allowed) {
      context.Add("TAG-VALUE", &directory, &entry, entry.ValuePos,
                  TagText(entry.Tag, directory.Name) + " value " + Num(value) + " is not defined");
      return;
    }
  }
}

void CheckEntryBytes(TCheckContext& context, const TDirectory& directory, const TEntry& entry) {
  if (!entry.Readable)
    return;
  if (entry.Type == type::Ascii) {
    unsigned char last = 0;
    context.ReadAt(entry.ValuePos + entry.Count - 1, &last, 1);
    if (last != 0)
      context.Add("ENT-ASCII-NUL", &directory, &entry, entry.ValuePos + entry.Count - 1,
                  "the " + Num(entry.Count) + "-byte Ascii value does not end with NUL");
    const bool date =
        (directory.Table == TTable::Main && entry.Tag == 306) ||
        (directory.Table == TTable::Exif && (entry.Tag == 36867 || entry.Tag == 36868));
    if (date) {
      std::string text(std::min<std::uint64_t>(entry.Count, 64), '\0');
      text.resize(context.ReadAt(entry.ValuePos, text.data(), text.size()));
      const std::string shown = text.substr(0, text.find('\0'));
      if (entry.Count != 20 || last != 0 || !DateTimeText(shown))
        context.Add("TAG-DATETIME", &directory, &entry, entry.ValuePos,
                    TagText(entry.Tag, directory.Name) + " \"" + shown +
                        "\" is not \"YYYY:MM:DD HH:MM:SS\" in 20 bytes");
    }
  }
  if (entry.Type == type::Rational || entry.Type == type::SRational) {
    const std::uint64_t count = std::min<std::uint64_t>(entry.Count, 1u << 16);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(count) * 8);
    const std::size_t got = context.ReadAt(entry.ValuePos, bytes.data(), bytes.size());
    for (std::size_t at = 0; at + 8 <= got; at += 8)
      if (bytes[at + 4] == 0 && bytes[at + 5] == 0 && bytes[at + 6] == 0 && bytes[at + 7] == 0) {
        context.Add("ENT-RATIONAL-ZERO", &directory, &entry, entry.ValuePos + at + 4,
                    TagText(entry.Tag, directory.Name) + " value " + Num(at / 8 + 1) +
                        " has denominator 0");
        break;
      }
  }
}

} // namespace

void CheckTags(TCheckContext& context, const TDirectory& directory) {
  std::uint64_t samples = context.First(directory, 277).value_or(1);
  std::uint64_t bits = context.First(directory, 258).value_or(1);
  for (const TEntry& entry : directory.Entries) {
    if (TypeSize(entry.Type, context.BigTiff()) == 0)
      continue;
    CheckEntryBytes(context, directory, entry);
    const TTagRule* rule = FindTagRule(directory.Table, entry.Tag);
    if (!rule) {
      // Private tags the listing names (Exif, DNG, Photoshop, ...) are no news to anyone; the
      // GeoTIFF tags have rules of their own.
      if (directory.Table == TTable::Main && entry.Tag >= 32768 &&
          (entry.Tag < 34735 || entry.Tag > 34737) &&
          TagDescription(entry.Tag).starts_with("Unknown Tag"))
        context.Add("ADV-PRIVATE", &directory, &entry, entry.EntryPos,
                    "private tag " + Num(entry.Tag) + " is not one the checker knows");
      continue;
    }
    std::uint32_t types = rule->Types;
    // BigTIFF widens every Long to Long8 and IFD to IFD8.
    if (context.BigTiff() && (types & T(type::Long)))
      types |= T(type::Long8);
    if (context.BigTiff() && (types & T(type::Ifd)))
      types |= T(type::Ifd8);
    if (!(types & T(entry.Type))) {
      context.Add("TAG-TYPE", &directory, &entry, entry.EntryPos + 2,
                  TagText(entry.Tag, directory.Name) + " has type " + TypeText(entry.Type) + "; " +
                      TypesText(rule->Types) + " expected");
      continue;
    }
    std::uint64_t expected = 0;
    std::string expectedText;
    bool ok = true;
    switch (rule->Count) {
    case TCount::Any:
      break;
    case TCount::Fixed:
      ok = entry.Count == rule->N;
      expectedText = Num(rule->N);
      break;
    case TCount::Samples:
      ok = entry.Count == samples;
      expectedText = Num(samples) + " (SamplesPerPixel)";
      break;
    case TCount::ColorMap:
      expected = 3 * Power(bits);
      ok = entry.Count == expected;
      expectedText = Num(expected) + " (3 x 2^BitsPerSample)";
      break;
    case TCount::Curve:
      expected = Power(bits);
      ok = entry.Count == expected;
      expectedText = Num(expected) + " (2^BitsPerSample)";
      break;
    case TCount::Transfer:
      expected = Power(bits);
      ok = entry.Count == expected || entry.Count == 3 * expected;
      expectedText =
          Num(expected) + " or " + Num(3 * expected) + " (2^BitsPerSample, 1 or 3 times)";
      break;
    case TCount::DotRange:
      ok = entry.Count == 2 || entry.Count == 2 * samples;
      expectedText = "2 or " + Num(2 * samples);
      break;
    case TCount::TwoToFour:
      ok = entry.Count >= 2 && entry.Count <= 4;
      expectedText = "2, 3 or 4";
      break;
    case TCount::AtLeast:
      ok = entry.Count >= rule->N;
      expectedText = Num(rule->N) + " or more";
      break;
    }
    // The date's own rule names a wrong length more plainly.
    if (!ok && !(rule->Tag == 306 || rule->Tag == 36867 || rule->Tag == 36868))
      context.Add("TAG-COUNT", &directory, &entry, entry.EntryPos + 4,
                  TagText(entry.Tag, directory.Name) + " has count " + Num(entry.Count) + "; " +
                      expectedText + " expected");
    CheckValue(context, directory, entry, *rule);
  }
}

} // namespace lodestar::check
