#pragma once

#include "TCheckResult.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lodestar {
class TFileReader;
struct TGeoKey;
} // namespace lodestar

namespace lodestar::check {

// Type codes as stored in an entry.
namespace type {
inline constexpr std::uint16_t Byte = 1, Ascii = 2, Short = 3, Long = 4, Rational = 5, SByte = 6,
                               Undefined = 7, SShort = 8, SLong = 9, SRational = 10, Float = 11,
                               Double = 12, Ifd = 13, Long8 = 16, SLong8 = 17, Ifd8 = 18;
}

// Which table names a directory's tags.
// Other: a directory whose tags the checker has no table for (GlobalParameters).
enum class TTable : std::uint8_t { Main, Exif, Gps, Interoperability, Other };

struct TEntry {
  std::uint16_t Tag = 0;
  std::uint16_t Type = 0;
  std::uint64_t Count = 0;
  std::uint64_t EntryPos = 0;
  std::uint64_t ValuePos = 0;  // the value field itself for a value that fits in it
  std::uint64_t ValueSize = 0; // bytes; 0 for an unknown type
  int Index = 0;
  bool Readable = false; // a known type whose value lies inside the file
};

struct TDirectory {
  // "page 1", "SubIFD 1", "Exif", a nested one by its path as the listing names it:
  // "Exif/Interoperability", "SubIFD 1/Exif".
  std::string Name;
  std::string ReaderName; // the reader's own name, which its read issues use
  int Page = 0;
  TTable Table = TTable::Main;
  std::uint64_t Offset = 0;
  std::vector<TEntry> Entries;

  const TEntry* Find(std::uint16_t tag) const;
};

// Where a directory, a value or a strip lies, for the overlap sweep.
struct TExtent {
  enum TKind : std::uint8_t { Directory, Value, Image } Kind;
  std::uint64_t Start, End;
  const TDirectory* Owner;
  int Entry;
  std::uint16_t Tag;
  std::uint64_t EntryPos = 0;
};

// The state of one check: the source, what was found so far and where everything lies. Kept apart
// from TCheckResult, which holds results only.
class TCheckContext {
public:
  explicit TCheckContext(TFileReader& source);

  std::uint64_t Size() const { return FSize; }
  bool BigTiff() const { return FBigTiff; }
  bool BigEndian() const { return FBigEndian; }
  void SetLayout(bool bigEndian, bool bigTiff) {
    FBigEndian = bigEndian;
    FBigTiff = bigTiff;
  }

  // Bytes at pos, fewer at the end of the file.
  std::size_t ReadAt(std::uint64_t pos, void* buffer, std::size_t count);
  // An unsigned number of size bytes at pos in the file's byte order; nullopt past the end.
  std::optional<std::uint64_t> Number(std::uint64_t pos, int size);
  // The first max values of an integer-typed entry (Byte, Short, Long, Long8, IFD and the signed
  // ones as their bits); fewer when the value is not readable.
  std::vector<std::uint64_t> Values(const TEntry& entry, std::uint64_t max);
  std::optional<std::uint64_t> First(const TDirectory& directory, std::uint16_t tag);

  void Add(std::string_view rule, const TDirectory* directory, const TEntry* entry,
           std::uint64_t offset, std::string message);
  void AddExtent(TExtent extent) { FExtents.push_back(extent); }

  // The sweep over every extent added, then the counts of the findings held back.
  TCheckResult Finish(int pages);

  std::vector<std::unique_ptr<TDirectory>> Directories;

private:
  TFileReader& FSource;
  std::uint64_t FSize;
  bool FBigEndian = false;
  bool FBigTiff = false;
  std::vector<TFinding> FFindings;
  std::map<const TRule*, std::pair<int, TFinding>> FHeldBack;
  std::vector<TExtent> FExtents;
};

// The size of one value of a type; 0 for a type the format does not define.
int TypeSize(std::uint16_t type, bool bigTiff);
const char* TypeText(std::uint16_t type);

// The per-tag rules: types, counts, enumerated values, date texts; then the image rules of a page
// or SubIFD: required tags, samples, strips and tiles.
void CheckTags(TCheckContext& context, const TDirectory& directory);
void CheckImage(TCheckContext& context, const TDirectory& directory);
// The GeoTIFF rules of a page with a key directory, over the keys the reader decoded.
void CheckGeoKeys(TCheckContext& context, const TDirectory& directory,
                  const std::vector<TGeoKey>& keys);

} // namespace lodestar::check
