#pragma once

#include "cLodestar.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lodestar {

// The values of a page's three GeoTIFF tags as far as the file holds them.
struct TGeoKeyInput {
  std::vector<std::uint64_t> Directory; // tag 34735, 16-bit numbers
  bool DirectoryComplete = true;        // false when the tag's count ran past the file
  bool HasDoubles = false;              // tag 34736 present
  std::vector<double> Doubles;
  bool HasAscii = false; // tag 34737 present
  std::string Ascii;
};

// The GeoTIFF 1.1 name of a key, or "Unknown-NNNN".
std::string GeoKeyName(std::uint16_t keyId);

// The keys that could be read. malformed is called once, with the 0-based index of the first key
// that does not fit its values (the number of keys read for a short directory).
std::vector<TGeoKey> DecodeGeoKeys(const TGeoKeyInput& input,
                                   const std::function<void(int key)>& malformed);

} // namespace lodestar
