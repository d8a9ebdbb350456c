#pragma once

#include "TCheckResult.h"

namespace lodestar {
class TFileReader;
}

namespace lodestar::check {

// Checks the structure of the TIFF or BigTIFF bytes the reader gives: header, every directory of
// the page chain and the sub-directories they point to (SubIFDs, Exif, GPS, Interoperability),
// their entries, the tags' types, counts and values, and where the strips or tiles lie. Reads the
// directories, the values and the strip and tile tables; never pixel data. Never stops at the
// first finding; each rule is reported at most MaxPerRule times a file, then counted.
class TChecker {
public:
  static constexpr int MaxPerRule = 10;
  // Bounds on the work a crafted file can ask for.
  static constexpr int MaxDirectories = 4096;
  static constexpr std::uint64_t MaxArrayValues = 1u << 20;

  static TCheckResult Check(TFileReader& source);
};

} // namespace lodestar::check
