#pragma once

#include "cLodestar.h"

#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <string>
#include <vector>

namespace lodestar {

// The state of one load: the stream, the file's layout (classic or BigTIFF), the entry tables read
// so far and the limits. The results go into the file; nothing of this outlives the load.
class TLoader {
public:
  // A SubIFD may hold a SubIFD that holds an Exif directory...; real files go three deep.
  static constexpr int MaxDepth = 8;
  // Directories reached through pointers in one file. Entry tables never overlap, so the file's
  // size bounds them too; this bounds the work for a file of many tiny tables.
  static constexpr int MaxSubDirectories = 1 << 17;
  // Pointer problems recorded one by one; further ones are summed up in one DirectoryLimit.
  static constexpr int MaxPointerIssues = 256;

  TLoader(TTiffFile& file, TFileReader& stream) : FFile(file), FStream(stream) {}

  // Reads the header, the page chain, the pages' sub-directories and GeoTIFF keys.
  void Load();

private:
  struct TTableRead {
    bool CountRead = false;
    bool Complete = false;
    TFileOffset Next = 0;
  };

  void ReadHeader();
  // True when the entry table at offset overlaps none read before; it is then taken as read.
  bool Claim(TFileOffset offset);
  TTableRead ReadTable(TTags& tags, TFileOffset offset, TDirectoryKind kind,
                       const std::string& where);
  void ReadChildren(const TTags& tags, TDirectoryKind kind, const std::string& where,
                    std::vector<TTiffDirectory>& children, int depth);
  void ReadChild(TFileOffset offset, TDirectoryKind kind, std::uint16_t pointerTag,
                 const std::string& name, std::vector<TTiffDirectory>& siblings, int depth,
                 const std::vector<std::uint64_t>& listed);
  void ReadGeoKeys(TTiffPage& page, const std::string& where);
  void ReadValueBytes();
  void Report(TReadIssue issue);
  void ReportPointer(TReadIssueCode code, TFileOffset offset, const std::string& where, int entry,
                     std::uint16_t tag);

  // Reads count numbers of size bytes (2, 4 or 8) of an entry's value, clipped to what the file
  // holds.
  std::vector<std::uint64_t> ReadNumbers(const TTag& tag, std::uint64_t count, unsigned size);

  TTiffFile& FFile;
  TFileReader& FStream;
  bool FBig = false;
  bool FBigEndian = false;
  unsigned FCountSize = 2, FEntrySize = 12, FOffsetSize = 4;
  // Room for the bookkeeping of a file of a few directories (its tables, its value runs), so that
  // loading one allocates nothing for it; a larger file takes what it needs from the heap.
  std::byte FSmallRoom[1024];
  std::pmr::monotonic_buffer_resource FRoom{FSmallRoom, sizeof FSmallRoom};
  // Entry tables read so far, start to end (one past), in order of start: a file holds a few, and
  // a vector of them costs one allocation where a map costs one per table.
  struct TTable {
    TFileOffset Start, End;
  };
  std::pmr::vector<TTable> FTables{&FRoom};
  int FSubDirectoryCount = 0;
  int FPointerIssues = 0;
  bool FLimitReported = false;
  // The page whose chain entry or directory tree is being read, for the issues.
  int FPage = 0;
};

} // namespace lodestar
