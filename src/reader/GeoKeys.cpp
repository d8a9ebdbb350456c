#include "GeoKeys.h"

#include "CodePage.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

namespace lodestar {
namespace {

constexpr std::uint16_t DirectoryTag = 34735, DoublesTag = 34736, AsciiTag = 34737;

struct TKeyName {
  std::uint16_t Id;
  std::string_view Name;
};

// GeoTIFF 1.1 names; 1.0 called several of them differently (GeographicTypeGeoKey for 2048,
// ProjectedCSTypeGeoKey for 3072, ...). Ascending for the binary search.
constexpr std::array<TKeyName, 46> KeyNames = {{
    {1024, "GTModelTypeGeoKey"},
    {1025, "GTRasterTypeGeoKey"},
    {1026, "GTCitationGeoKey"},
    {2048, "GeodeticCRSGeoKey"},
    {2049, "GeodeticCitationGeoKey"},
    {2050, "GeodeticDatumGeoKey"},
    {2051, "PrimeMeridianGeoKey"},
    {2052, "GeogLinearUnitsGeoKey"},
    {2053, "GeogLinearUnitSizeGeoKey"},
    {2054, "GeogAngularUnitsGeoKey"},
    {2055, "GeogAngularUnitSizeGeoKey"},
    {2056, "EllipsoidGeoKey"},
    {2057, "EllipsoidSemiMajorAxisGeoKey"},
    {2058, "EllipsoidSemiMinorAxisGeoKey"},
    {2059, "EllipsoidInvFlatteningGeoKey"},
    {2060, "GeogAzimuthUnitsGeoKey"},
    {2061, "PrimeMeridianLongitudeGeoKey"},
    {3072, "ProjectedCRSGeoKey"},
    {3073, "ProjectedCitationGeoKey"},
    {3074, "ProjectionGeoKey"},
    {3075, "ProjMethodGeoKey"},
    {3076, "ProjLinearUnitsGeoKey"},
    {3077, "ProjLinearUnitSizeGeoKey"},
    {3078, "ProjStdParallel1GeoKey"},
    {3079, "ProjStdParallel2GeoKey"},
    {3080, "ProjNatOriginLongGeoKey"},
    {3081, "ProjNatOriginLatGeoKey"},
    {3082, "ProjFalseEastingGeoKey"},
    {3083, "ProjFalseNorthingGeoKey"},
    {3084, "ProjFalseOriginLongGeoKey"},
    {3085, "ProjFalseOriginLatGeoKey"},
    {3086, "ProjFalseOriginEastingGeoKey"},
    {3087, "ProjFalseOriginNorthingGeoKey"},
    {3088, "ProjCenterLongGeoKey"},
    {3089, "ProjCenterLatGeoKey"},
    {3090, "ProjCenterEastingGeoKey"},
    {3091, "ProjCenterNorthingGeoKey"},
    {3092, "ProjScaleAtNatOriginGeoKey"},
    {3093, "ProjScaleAtCenterGeoKey"},
    {3094, "ProjAzimuthAngleGeoKey"},
    {3095, "ProjStraightVertPoleLongGeoKey"},
    {3096, "ProjRectifiedGridAngleGeoKey"},
    {4096, "VerticalGeoKey"},
    {4097, "VerticalCitationGeoKey"},
    {4098, "VerticalDatumGeoKey"},
    {4099, "VerticalUnitsGeoKey"},
}};

std::u16string Ascii16(std::string_view text) {
  return std::u16string(text.begin(), text.end());
}

std::u16string NumberText(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return Ascii16(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

} // namespace

std::string GeoKeyName(std::uint16_t keyId) {
  auto it = std::lower_bound(KeyNames.begin(), KeyNames.end(), keyId,
                             [](const TKeyName& row, std::uint16_t id) { return row.Id < id; });
  if (it != KeyNames.end() && it->Id == keyId)
    return std::string(it->Name);
  return "Unknown-" + std::to_string(keyId);
}

std::vector<TGeoKey> DecodeGeoKeys(const TGeoKeyInput& input,
                                   const std::function<void(int key)>& malformed) {
  std::vector<TGeoKey> keys;
  const std::vector<std::uint64_t>& words = input.Directory;
  bool reported = false;
  auto fault = [&](int key) {
    if (!reported)
      malformed(key);
    reported = true;
  };
  // Header: version, revision, minor revision, number of keys.
  if (words.size() < 4) {
    fault(0);
    return keys;
  }
  // Every key may name the same long run of doubles or words, so the texts of all keys together
  // could grow with the square of the input; past a budget linear in it they are cut and marked.
  const std::size_t inputBytes = words.size() * 2 + input.Doubles.size() * 8 + input.Ascii.size();
  std::size_t budget = 4 * inputBytes + 4096;
  auto spend = [&budget](TGeoKey& key) {
    if (key.Value.size() <= budget) {
      budget -= key.Value.size();
      return;
    }
    key.Value.resize(budget);
    key.Value += u'\u2026';
    budget = 0;
  };
  const std::size_t keyCount = static_cast<std::size_t>(words[3]);
  keys.reserve(std::min<std::size_t>(keyCount, (words.size() - 4) / 4));
  for (std::size_t k = 0; k < keyCount; ++k) {
    const std::size_t base = 4 + 4 * k;
    if (base + 4 > words.size()) {
      fault(static_cast<int>(k));
      break;
    }
    TGeoKey& key = keys.emplace_back();
    key.KeyId = static_cast<std::uint16_t>(words[base]);
    key.Name = GeoKeyName(key.KeyId);
    key.Location = static_cast<std::uint16_t>(words[base + 1]);
    key.Count = static_cast<std::uint16_t>(words[base + 2]);
    key.ValueOffset = static_cast<std::uint16_t>(words[base + 3]);
    const std::size_t at = key.ValueOffset;
    const std::size_t count = key.Count;
    switch (key.Location) {
    case 0: // the value field is the value
      key.Value = Ascii16(std::to_string(at));
      break;
    case DoublesTag: {
      const std::size_t have = input.Doubles.size();
      if (!input.HasDoubles || at > have || have - at < count)
        fault(static_cast<int>(k));
      for (std::size_t i = at; i < std::min(at + count, have); ++i) {
        if (i > at)
          key.Value += u' ';
        key.Value += NumberText(input.Doubles[i]);
      }
      break;
    }
    case AsciiTag: {
      const std::size_t have = input.Ascii.size();
      if (!input.HasAscii || at > have || have - at < count)
        fault(static_cast<int>(k));
      std::string_view text(input.Ascii);
      text = at < have ? text.substr(at, count) : std::string_view();
      // Each text ends with "|", which separates it from the next one.
      if (!text.empty() && text.back() == '|')
        text.remove_suffix(1);
      key.Value = DecodeNarrow(text);
      break;
    }
    case DirectoryTag: {
      const std::size_t have = words.size();
      if (at > have || have - at < count)
        fault(static_cast<int>(k));
      for (std::size_t i = at; i < std::min(at + count, have); ++i) {
        if (i > at)
          key.Value += u' ';
        key.Value += Ascii16(std::to_string(words[i]));
      }
      break;
    }
    default: // values in a tag this reader does not decode
      break;
    }
    spend(key);
  }
  if (!input.DirectoryComplete)
    fault(static_cast<int>(keys.size()));
  return keys;
}

} // namespace lodestar
