#pragma once

#include <cstdint>
#include <string>

namespace lodestar {

// Every file position, size and offset, classic or BigTIFF.
using TFileOffset = std::uint64_t;

// What kind of directory holds an entry: a page of the main chain, or one reached through a
// pointer tag (330, 34665, 34853, 40965, 400).
enum class TDirectoryKind : std::uint8_t {
  Page,
  SubIfd,
  Exif,
  Gps,
  Interoperability,
  GlobalParameters
};

// What a load could not read, in the order it was met.
enum class TReadIssueCode : std::uint8_t {
  EntryTableTruncated, // entries past the end of the file
  DirectoryUnreadable, // a count, an entry or the next offset past the end of the file
  DirectoryLoop,       // a directory overlapping one already read: not read again
  PointerWrongType,    // a pointer tag of a type that holds no offsets
  PointerZero,         // a pointer of offset 0
  PointerOutsideFile,  // a pointer past the end of the file
  DirectoryLimit,      // too deep or too many directories: the rest is left out
  GeoKeysMalformed,    // a GeoTIFF key directory that does not fit its values
  BadBigTiffHeader,    // BigTIFF's offset size is not 8 or its reserved word is not 0
  FileBusy,            // another program held the file for writing past the wait
};

struct TReadIssue {
  TReadIssueCode Code{};
  TFileOffset Offset = 0; // where in the file
  std::string Directory;  // "page 2", "Exif", "SubIFD 1.2" ...
  int Entry = -1;         // 0-based entry index in that directory, -1 for none
  // DirectoryUnreadable: where the unreadable directory would end. Pointer issues: the pointer's
  // tag. GeoKeysMalformed: the key index. 0 otherwise.
  TFileOffset Detail = 0;
  // The 1-based page whose directory tree the issue lies in; 0 for none.
  int Page = 0;
};

} // namespace lodestar
