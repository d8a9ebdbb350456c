#include "TLoader.h"

#include "CodePage.h"
#include "GeoKeys.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace lodestar {
namespace {

constexpr std::uint16_t SubIfdsTag = 330, GlobalParametersTag = 400, ExifTag = 34665,
                        GpsTag = 34853, InteroperabilityTag = 40965;
constexpr std::uint16_t LongType = 4, IfdType = 13, Long8Type = 16, Ifd8Type = 18;

// a + b, or the largest offset where that does not fit.
TFileOffset AddClamped(TFileOffset a, TFileOffset b) {
  return std::numeric_limits<TFileOffset>::max() - a < b ? std::numeric_limits<TFileOffset>::max()
                                                         : a + b;
}

// The kind of directory a pointer tag leads to from a directory of kind holder, or Page for a tag
// that is no pointer there. Interoperability pointers live in Exif directories only; the others in
// pages and SubIFDs.
TDirectoryKind PointerKind(TDirectoryKind holder, std::uint16_t tag) {
  if (holder == TDirectoryKind::Exif)
    return tag == InteroperabilityTag ? TDirectoryKind::Interoperability : TDirectoryKind::Page;
  if (holder != TDirectoryKind::Page && holder != TDirectoryKind::SubIfd)
    return TDirectoryKind::Page;
  switch (tag) {
  case SubIfdsTag:
    return TDirectoryKind::SubIfd;
  case ExifTag:
    return TDirectoryKind::Exif;
  case GpsTag:
    return TDirectoryKind::Gps;
  case GlobalParametersTag:
    return TDirectoryKind::GlobalParameters;
  default:
    return TDirectoryKind::Page;
  }
}

const char* KindName(TDirectoryKind kind) {
  switch (kind) {
  case TDirectoryKind::Exif:
    return "Exif";
  case TDirectoryKind::Gps:
    return "GPS";
  case TDirectoryKind::Interoperability:
    return "Interoperability";
  case TDirectoryKind::GlobalParameters:
    return "GlobalParameters";
  default:
    return "SubIFD";
  }
}

} // namespace

void TLoader::Load() {
  FStream.Seek(0);
  ReadHeader();
  TFileOffset offset =
      FBig ? SwapLong8(ReadLong8(FStream), FBigEndian) : SwapLong(ReadLong(FStream), FBigEndian);

  // A directory whose table overlaps one read before ends the chain: that covers a next offset
  // leading back into the chain, and it bounds the pages and tags held by the size of the file.
  while (offset != 0) {
    FPage = FFile.PageCount() + 1;
    if (!Claim(offset)) {
      Report({TReadIssueCode::DirectoryLoop, offset,
              "page " + std::to_string(FFile.PageCount() + 1), -1, 0});
      break;
    }
    TTiffPage& page = FFile.FPages.Add(&FFile);
    page.FDirectoryOffset = offset;
    const TTableRead read = ReadTable(page.FTags, offset, TDirectoryKind::Page,
                                      "page " + std::to_string(FFile.PageCount()));
    if (!read.Complete)
      break;
    offset = read.Next;
  }

  // Only once the chain is known: a child pointing at a page must not take it from the chain.
  int number = 0;
  for (TTiffPage& page : FFile.FPages.FItems) {
    FPage = ++number;
    ReadChildren(page.FTags, TDirectoryKind::Page, "page " + std::to_string(number),
                 page.FSubDirectories, 1);
    ReadGeoKeys(page, "page " + std::to_string(number));
  }
  ReadValueBytes();
  FPage = 0;
  if (FStream.Busy())
    Report({TReadIssueCode::FileBusy, 0, {}, -1, 0});
}

void TLoader::ReadHeader() {
  const std::uint16_t mark = ReadWord(FStream);
  if (mark == 0x4949) {
    FFile.FByteOrder = 1;
  } else if (mark == 0x4D4D) {
    FFile.FByteOrder = 2;
  } else {
    FFile.FByteOrder = 0;
    throw EInvalidTiff();
  }
  FBigEndian = FFile.IsBigEndian();
  const std::uint16_t magic = SwapWord(ReadWord(FStream), FBigEndian);
  if (magic == 43) {
    // BigTIFF: the size of an offset, always 8, and a reserved word of 0.
    const std::uint16_t offsetSize = SwapWord(ReadWord(FStream), FBigEndian);
    const std::uint16_t reserved = SwapWord(ReadWord(FStream), FBigEndian);
    if (offsetSize != 8 || reserved != 0) {
      FFile.FByteOrder = 0;
      FFile.FReadIssues.push_back({TReadIssueCode::BadBigTiffHeader, 4, {}, -1, 0});
      throw EInvalidTiff();
    }
    FBig = FFile.FBigTiff = true;
    FCountSize = 8;
    FEntrySize = 20;
    FOffsetSize = 8;
  } else if (magic != 42) {
    FFile.FByteOrder = 0;
    throw EInvalidTiff();
  }
}

bool TLoader::Claim(TFileOffset offset) {
  std::uint64_t entryCount = 0;
  FStream.Seek(static_cast<std::int64_t>(std::min<TFileOffset>(offset, INT64_MAX)));
  unsigned char raw[8] = {};
  if (FStream.Read(raw, FCountSize) == FCountSize) {
    for (unsigned i = 0; i < FCountSize; ++i)
      entryCount |= std::uint64_t(raw[FBigEndian ? FCountSize - 1 - i : i]) << (8 * i);
  }
  const TFileOffset start = offset;
  const TFileOffset end = AddClamped(
      start, AddClamped(FCountSize + FOffsetSize,
                        entryCount > (1ull << 48) ? (1ull << 60) : entryCount * FEntrySize));
  auto next =
      std::lower_bound(FTables.begin(), FTables.end(), start,
                       [](const TTable& table, TFileOffset at) { return table.Start < at; });
  if (next != FTables.end() && next->Start < end)
    return false;
  if (next != FTables.begin() && std::prev(next)->End > start)
    return false;
  FTables.insert(next, {start, end});
  return true;
}

TLoader::TTableRead TLoader::ReadTable(TTags& tags, TFileOffset offset, TDirectoryKind kind,
                                       const std::string& where) {
  const TFileOffset size = FStream.Size();
  TTableRead read;
  std::uint64_t entryCount = 0;
  try {
    FStream.Seek(static_cast<std::int64_t>(std::min<TFileOffset>(offset, INT64_MAX)));
    entryCount =
        FBig ? SwapLong8(ReadLong8(FStream), FBigEndian) : SwapWord(ReadWord(FStream), FBigEndian);
    read.CountRead = true;
    // A BigTIFF count may claim more entries than there are tag numbers; those past 65535 are
    // left out rather than held as blanks.
    const std::uint64_t held = std::min<std::uint64_t>(entryCount, 65535);
    const TFileOffset first = offset + FCountSize;
    // Room for the entries that start inside the file; the rest are blank.
    tags.Reserve(static_cast<int>(
        std::min<std::uint64_t>(held, (size > offset ? size - offset : 0) / FEntrySize + 1)));
    for (std::uint64_t i = 0; i < held; ++i) {
      const TFileOffset position = first + FEntrySize * i;
      if (position > size) {
        // One message for the directory: a crafted count must not raise thousands of boxes.
        Report({TReadIssueCode::EntryTableTruncated, position, where, static_cast<int>(i), 0});
        tags.AddBlank(&FFile, static_cast<int>(held - i), kind);
        break;
      }
      tags.Add(&FFile, kind).ReadEntry(FStream, position);
    }
    const TFileOffset nextField = AddClamped(
        first, AddClamped(0, entryCount > (1ull << 48) ? (1ull << 60) : entryCount * FEntrySize));
    FStream.Seek(static_cast<std::int64_t>(std::min<TFileOffset>(nextField, INT64_MAX)));
    read.Next =
        FBig ? SwapLong8(ReadLong8(FStream), FBigEndian) : SwapLong(ReadLong(FStream), FBigEndian);
    read.Complete = true;
  } catch (const ELodestarError&) {
    const TFileOffset end = AddClamped(
        offset, FCountSize + (entryCount > (1ull << 48) ? (1ull << 60) : entryCount * FEntrySize));
    Report({TReadIssueCode::DirectoryUnreadable, offset, where, -1, end});
  }
  return read;
}

void TLoader::ReadChildren(const TTags& tags, TDirectoryKind kind, const std::string& where,
                           std::vector<TTiffDirectory>& children, int depth) {
  int subIfdNumber = 0;
  int entry = -1;
  for (const TTag& tag : tags.FItems) {
    ++entry;
    const TDirectoryKind childKind = PointerKind(kind, tag.FCode);
    if (childKind == TDirectoryKind::Page)
      continue;
    const std::uint16_t type = tag.FTypeCode;
    const bool wide = FBig && (type == Long8Type || type == Ifd8Type);
    if (!wide && type != LongType && type != IfdType) {
      ReportPointer(TReadIssueCode::PointerWrongType, tag.FEntryPos, where, entry, tag.FCode);
      continue;
    }
    const std::vector<std::uint64_t> offsets = ReadNumbers(tag, tag.FCount, wide ? 8 : 4);
    std::vector<std::uint64_t> listed = offsets;
    std::sort(listed.begin(), listed.end());
    for (std::size_t i = 0; i < offsets.size(); ++i) {
      const TFileOffset offset = offsets[i];
      if (offset == 0) {
        ReportPointer(TReadIssueCode::PointerZero, tag.FValuePos, where, entry, tag.FCode);
        continue;
      }
      if (offset >= FStream.Size() || FStream.Size() - offset < FCountSize) {
        ReportPointer(TReadIssueCode::PointerOutsideFile, offset, where, entry, tag.FCode);
        continue;
      }
      std::string name = KindName(childKind);
      if (childKind == TDirectoryKind::SubIfd)
        name += " " + std::to_string(++subIfdNumber);
      ReadChild(offset, childKind, tag.FCode, name, children, depth, listed);
    }
    if (offsets.size() < tag.FCount)
      ReportPointer(TReadIssueCode::PointerOutsideFile,
                    AddClamped(tag.FValuePos, offsets.size() * (wide ? 8 : 4)), where, entry,
                    tag.FCode);
  }
}

void TLoader::ReadChild(TFileOffset offset, TDirectoryKind kind, std::uint16_t pointerTag,
                        const std::string& name, std::vector<TTiffDirectory>& siblings, int depth,
                        const std::vector<std::uint64_t>& listed) {
  // listed: the pointer's offsets, sorted.
  // A SubIFD's own chain: its members follow it as siblings, "SubIFD 1.2", "SubIFD 1.3", ...
  for (int member = 1; offset != 0; ++member) {
    const std::string memberName = member == 1 ? name : name + "." + std::to_string(member);
    if (depth > MaxDepth || FSubDirectoryCount >= MaxSubDirectories) {
      if (!FLimitReported)
        Report({TReadIssueCode::DirectoryLimit, offset, memberName, -1, 0});
      FLimitReported = true;
      return;
    }
    if (offset >= FStream.Size()) {
      ReportPointer(TReadIssueCode::PointerOutsideFile, offset, memberName, -1, pointerTag);
      return;
    }
    if (!Claim(offset)) {
      ReportPointer(TReadIssueCode::DirectoryLoop, offset, memberName, -1, pointerTag);
      return;
    }
    ++FSubDirectoryCount;
    const std::size_t index = siblings.size();
    {
      TTiffDirectory& child = siblings.emplace_back();
      child.FKind = kind;
      child.FPointerTag = pointerTag;
      child.FDirectoryOffset = offset;
      child.FName = memberName;
    }
    const TTableRead read = ReadTable(siblings[index].FTags, offset, kind, memberName);
    ReadChildren(siblings[index].FTags, kind, memberName, siblings[index].FSubDirectories,
                 depth + 1);
    if (kind != TDirectoryKind::SubIfd || !read.Complete)
      return;
    offset = read.Next;
    // Writers that list every SubIFD in the pointer also chain them one to the next: those are
    // the listed ones, not members of this one's chain.
    if (std::binary_search(listed.begin(), listed.end(), offset))
      return;
  }
}

std::vector<std::uint64_t> TLoader::ReadNumbers(const TTag& tag, std::uint64_t count,
                                                unsigned size) {
  std::vector<std::uint64_t> numbers;
  const unsigned fieldSize = FBig ? 8 : 4;
  const TFileOffset field = tag.FEntryPos + (FBig ? 12 : 8);
  TFileOffset at = field;
  if (count > fieldSize / size) {
    try {
      FStream.Seek(static_cast<std::int64_t>(field));
      at = FBig ? SwapLong8(ReadLong8(FStream), FBigEndian)
                : SwapLong(ReadLong(FStream), FBigEndian);
    } catch (const ELodestarError&) {
      return numbers;
    }
  }
  const TFileOffset fileSize = FStream.Size();
  const std::uint64_t room = at < fileSize ? (fileSize - at) / size : 0;
  count = std::min(count, room);
  numbers.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(count, 1 << 16)));
  FStream.Seek(static_cast<std::int64_t>(at));
  unsigned char raw[8];
  for (std::uint64_t i = 0; i < count; ++i) {
    if (FStream.Read(raw, size) != size)
      break;
    std::uint64_t value = 0;
    for (unsigned b = 0; b < size; ++b)
      value |= std::uint64_t(raw[FBigEndian ? size - 1 - b : b]) << (8 * b);
    numbers.push_back(value);
  }
  return numbers;
}

void TLoader::ReadGeoKeys(TTiffPage& page, const std::string& where) {
  const TTag* directory = page.FindTag(std::uint16_t{34735});
  if (!directory)
    return;
  const TTag* doubles = page.FindTag(std::uint16_t{34736});
  const TTag* ascii = page.FindTag(std::uint16_t{34737});
  // The key directory: a header of 4 shorts and 4 shorts per key.
  TGeoKeyInput input;
  input.Directory =
      ReadNumbers(*directory, std::min<std::uint64_t>(directory->FCount, 4 + 4 * 65535), 2);
  input.DirectoryComplete = input.Directory.size() == directory->FCount;
  if (doubles) {
    input.HasDoubles = true;
    for (std::uint64_t bits : ReadNumbers(*doubles, doubles->FCount, 8)) {
      double value;
      static_assert(sizeof value == sizeof bits);
      std::memcpy(&value, &bits, sizeof value);
      input.Doubles.push_back(value);
    }
  }
  if (ascii) {
    input.HasAscii = true;
    for (std::uint64_t byte :
         ReadNumbers(*ascii, std::min<std::uint64_t>(ascii->FCount, TTag::MaxAsciiBytes), 1))
      input.Ascii.push_back(static_cast<char>(byte));
  }
  page.FGeoKeys = DecodeGeoKeys(input, [&](int key) {
    Report({TReadIssueCode::GeoKeysMalformed, directory->FValuePos, where,
            static_cast<int>(&*directory - page.FTags.FItems.data()),
            static_cast<TFileOffset>(key)});
  });
}

void TLoader::ReadValueBytes() {
  // The ranges that values name, merged where they overlap or touch: many entries naming the
  // same bytes, or overlapping parts of them, cost those bytes once.
  struct TRun {
    TFileOffset FileStart, FileEnd, Start;
  };
  // Every directory of the file: its pages and what they lead to.
  const auto forEachTags = [this](auto&& visit) {
    const auto below = [&visit](auto&& self, std::vector<TTiffDirectory>& directories) -> void {
      for (TTiffDirectory& directory : directories) {
        visit(directory.FTags);
        self(self, directory.FSubDirectories);
      }
    };
    for (TTiffPage& page : FFile.FPages.FItems) {
      visit(page.FTags);
      below(below, page.FSubDirectories);
    }
  };

  std::pmr::vector<TRun> runs(&FRoom);
  forEachTags([&runs](const TTags& tags) {
    for (const TTag& tag : tags.FItems)
      if (tag.FForm == TTag::TForm::Bytes && tag.FBytesLength > 0)
        runs.push_back({tag.FBytesStart, tag.FBytesStart + tag.FBytesLength, 0});
  });
  std::sort(runs.begin(), runs.end(),
            [](const TRun& a, const TRun& b) { return a.FileStart < b.FileStart; });
  std::size_t merged = 0;
  for (const TRun& run : runs) {
    if (merged > 0 && run.FileStart <= runs[merged - 1].FileEnd)
      runs[merged - 1].FileEnd = std::max(runs[merged - 1].FileEnd, run.FileEnd);
    else
      runs[merged++] = run;
  }
  runs.resize(merged);

  TFileOffset total = 0;
  for (TRun& run : runs) {
    run.Start = total;
    total += run.FileEnd - run.FileStart;
  }
  std::string& bytes = FFile.FValueBytes;
  bytes.resize(static_cast<std::size_t>(total));
  for (TRun& run : runs) {
    FStream.Seek(static_cast<std::int64_t>(run.FileStart));
    const std::size_t wanted = static_cast<std::size_t>(run.FileEnd - run.FileStart);
    // A file cut while it loads gives fewer bytes; values then end where the bytes did.
    run.FileEnd = run.FileStart + FStream.Read(bytes.data() + run.Start, wanted);
  }

  forEachTags([&runs](TTags& tags) {
    for (TTag& tag : tags.FItems) {
      if (tag.FForm != TTag::TForm::Bytes)
        continue;
      const TFileOffset start = tag.FBytesStart;
      auto run = std::upper_bound(runs.begin(), runs.end(), start,
                                  [](TFileOffset at, const TRun& r) { return at < r.FileStart; });
      if (tag.FBytesLength == 0 || run == runs.begin()) {
        tag.FBytesStart = tag.FBytesLength = 0;
        continue;
      }
      --run;
      const TFileOffset end = std::min(start + tag.FBytesLength, run->FileEnd);
      tag.FBytesStart = run->Start + (start - run->FileStart);
      tag.FBytesLength = static_cast<std::uint32_t>(end > start ? end - start : 0);
    }
  });
}

void TLoader::Report(TReadIssue issue) {
  issue.Page = FPage;
  const std::string text = ReadIssueMessage(issue, FStream.Size(), FBig);
  FFile.FReadIssues.push_back(std::move(issue));
  if (!text.empty())
    FFile.Message(text);
}

void TLoader::ReportPointer(TReadIssueCode code, TFileOffset offset, const std::string& where,
                            int entry, std::uint16_t tag) {
  if (FPointerIssues == MaxPointerIssues) {
    Report({TReadIssueCode::DirectoryLimit, offset, where, entry, 0});
  }
  if (FPointerIssues++ >= MaxPointerIssues)
    return;
  Report({code, offset, where, entry, tag});
}

} // namespace lodestar
