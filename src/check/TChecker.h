#pragma once

#include "TCheckResult.h"

#include <string>

namespace lodestar {
class TFileReader;
class TTiffFile;
} // namespace lodestar

namespace lodestar::check {

// Checks a file as the reader loaded it: the header, every page of the chain and the
// sub-directories the reader followed (SubIFDs, Exif, GPS, Interoperability, GlobalParameters),
// their entries, the tags' types, counts and values, the GeoTIFF keys and where the strips or
// tiles lie. What the reader could not read comes from its read issues. The source serves the
// reads the reader keeps nothing of: the header's bytes, the values of the entries judged (the
// reader keeps texts for display, not the numbers, NULs and denominators) and the strip and tile
// tables; never pixel data. Never stops at the first finding; each rule is reported
// at most MaxPerRule times a file, then counted.
class TChecker {
public:
  static constexpr int MaxPerRule = 10;
  // Bounds on the work a crafted file can ask for.
  static constexpr int MaxDirectories = 4096;
  static constexpr std::uint64_t MaxArrayValues = 1u << 20;

  // file: loaded from source's bytes (or failed on its header).
  static TCheckResult Check(const TTiffFile& file, TFileReader& source);
  // Loads the source with the reader as the file name, then checks it.
  static TCheckResult CheckSource(const std::string& name, TFileReader& source);
  // Opens, loads and checks the named file. Raises EFOpenError as the reader does.
  static TCheckResult CheckFile(const std::string& path);
};

} // namespace lodestar::check
