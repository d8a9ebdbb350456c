#include "TChecker.h"

#include "TCheckContext.h"
#include "TFileReader.h"

#include <algorithm>

namespace lodestar::check {
namespace {

std::string Num(std::uint64_t value) {
  return std::to_string(value);
}

class TWalk {
public:
  explicit TWalk(TCheckContext& context) : C(context) {}

  int Run();

private:
  bool Header(std::uint64_t& first);
  // Reads and checks the directory at offset, then the sub-directories it points to; returns the
  // next-directory offset, or nullopt where the chain cannot go on.
  std::optional<std::uint64_t> Directory(std::uint64_t offset, std::string name, int page,
                                         TTable table);
  void Entry(TDirectory& directory, TEntry& entry);
  void SubDirectories(const TDirectory& directory, int page);
  // The directory a pointer or a next offset names: inside the file, past the header, not yet read.
  bool Reachable(std::uint64_t offset, const TDirectory* from, const TEntry* entry,
                 std::uint64_t fieldPos, const char* ruleOutside);

  TCheckContext& C;
  std::uint64_t FHeaderSize = 8;
  int FOffsetSize = 4;
  int FDirectoryCount = 0;
};

bool TWalk::Header(std::uint64_t& first) {
  unsigned char mark[2] = {0, 0};
  if (C.ReadAt(0, mark, 2) != 2 || mark[0] != mark[1] || (mark[0] != 'I' && mark[0] != 'M')) {
    C.Add("HDR-ORDER", nullptr, nullptr, 0, "the file does not start with \"II\" or \"MM\"");
    return false;
  }
  C.SetLayout(mark[0] == 'M', false);
  const auto version = C.Number(2, 2);
  if (version == 43u) {
    const auto offsetSize = C.Number(4, 2);
    const auto reserved = C.Number(6, 2);
    if (offsetSize != 8u || reserved != 0u) {
      C.Add("HDR-VERSION", nullptr, nullptr, 4,
            "BigTIFF header with offset size " + Num(offsetSize.value_or(0)) + " and reserved " +
                Num(reserved.value_or(0)) + "; 8 and 0 expected");
      return false;
    }
    C.SetLayout(mark[0] == 'M', true);
    FHeaderSize = 16;
    FOffsetSize = 8;
  } else if (version != 42u) {
    C.Add("HDR-VERSION", nullptr, nullptr, 2,
          version ? "version " + Num(*version) + "; 42 expected" : "the header is cut short");
    return false;
  }
  const auto offset = C.Number(FHeaderSize - static_cast<std::uint64_t>(FOffsetSize), FOffsetSize);
  if (!offset) {
    C.Add("HDR-OFFSET", nullptr, nullptr, 4, "the header is cut short");
    return false;
  }
  first = *offset;
  if (first == 0) {
    C.Add("IFD-NONE", nullptr, nullptr, FHeaderSize - static_cast<std::uint64_t>(FOffsetSize),
          "the first-directory offset is 0");
    return false;
  }
  if (first < FHeaderSize || first >= C.Size()) {
    C.Add("HDR-OFFSET", nullptr, nullptr, FHeaderSize - static_cast<std::uint64_t>(FOffsetSize),
          "first directory at " + Num(first) +
              (first < FHeaderSize ? ", inside the header"
                                   : ", past the end of the file (" + Num(C.Size()) + " bytes)"));
    return false;
  }
  return true;
}

bool TWalk::Reachable(std::uint64_t offset, const TDirectory* from, const TEntry* entry,
                      std::uint64_t fieldPos, const char* ruleOutside) {
  if (offset < FHeaderSize || offset >= C.Size()) {
    C.Add(ruleOutside, from, entry, fieldPos,
          "directory offset " + Num(offset) +
              (offset < FHeaderSize
                   ? " points into the header"
                   : " is past the end of the file (" + Num(C.Size()) + " bytes)"));
    return false;
  }
  if (C.Visited.contains(offset)) {
    C.Add("IFD-LOOP", from, entry, fieldPos,
          "directory at " + Num(offset) + " is reached a second time");
    return false;
  }
  if (FDirectoryCount >= TChecker::MaxDirectories) {
    C.Add("ADV-SHORT-READ", from, entry, fieldPos,
          "more than " + Num(TChecker::MaxDirectories) + " directories; the rest are not checked");
    return false;
  }
  return true;
}

int TWalk::Run() {
  std::uint64_t offset = 0;
  if (!Header(offset))
    return 0;
  int pages = 0;
  const TDirectory* previous = nullptr;
  std::uint64_t nextField = FHeaderSize - static_cast<std::uint64_t>(FOffsetSize);
  while (offset != 0) {
    if (previous && !Reachable(offset, previous, nullptr, nextField, "IFD-NEXT"))
      break;
    ++pages;
    const auto next = Directory(offset, "page " + Num(pages), pages, TTable::Main);
    if (!next)
      break;
    previous = C.Directories.back().get();
    nextField = previous->Offset + (C.BigTiff() ? 8 : 2) +
                previous->Entries.size() * (C.BigTiff() ? 20u : 12u);
    offset = *next;
  }
  return pages;
}

std::optional<std::uint64_t> TWalk::Directory(std::uint64_t offset, std::string name, int page,
                                              TTable table) {
  ++FDirectoryCount;
  C.Visited.insert(offset);
  auto owned = std::make_unique<TDirectory>();
  TDirectory& directory = *owned;
  directory.Name = std::move(name);
  directory.Page = page;
  directory.Table = table;
  directory.Offset = offset;
  C.Directories.push_back(std::move(owned));

  if (offset % 2 != 0)
    C.Add("IFD-ALIGN", &directory, nullptr, offset, "directory at odd offset " + Num(offset));
  const int countSize = C.BigTiff() ? 8 : 2;
  const std::uint64_t entrySize = C.BigTiff() ? 20 : 12;
  const auto count = C.Number(offset, countSize);
  if (!count) {
    C.Add("IFD-OUTSIDE", &directory, nullptr, offset,
          "the entry count at " + Num(offset) + " is past the end of the file");
    return std::nullopt;
  }
  if (*count == 0)
    C.Add("IFD-EMPTY", &directory, nullptr, offset, "the directory has no entries");
  // Entries wholly inside the file are read; a table running past the end ends the chain there.
  const std::uint64_t room =
      (C.Size() - offset - static_cast<std::uint64_t>(countSize)) / entrySize;
  const std::uint64_t readable = std::min(*count, room);
  const std::uint64_t tableEnd =
      offset + static_cast<std::uint64_t>(countSize) + *count * entrySize;
  const bool whole = *count <= room && C.Size() - offset - static_cast<std::uint64_t>(countSize) -
                                               *count * entrySize >=
                                           static_cast<std::uint64_t>(FOffsetSize);
  if (!whole)
    C.Add("IFD-OUTSIDE", &directory, nullptr, offset,
          Num(*count) + " entries and the next-directory offset need " +
              Num(static_cast<std::uint64_t>(countSize) + *count * entrySize +
                  static_cast<std::uint64_t>(FOffsetSize)) +
              " bytes at " + Num(offset) + "; the file has " + Num(C.Size()));
  C.AddExtent({TExtent::Directory, offset,
               std::min(tableEnd + static_cast<std::uint64_t>(FOffsetSize), C.Size()), &directory,
               -1, 0});

  directory.Entries.resize(static_cast<std::size_t>(readable));
  for (std::uint64_t i = 0; i < readable; ++i) {
    TEntry& entry = directory.Entries[static_cast<std::size_t>(i)];
    entry.Index = static_cast<int>(i);
    entry.EntryPos = offset + static_cast<std::uint64_t>(countSize) + i * entrySize;
    Entry(directory, entry);
    if (i > 0) {
      const TEntry& before = directory.Entries[static_cast<std::size_t>(i - 1)];
      if (entry.Tag == before.Tag)
        C.Add("IFD-DUPLICATE", &directory, &entry, entry.EntryPos,
              "tag " + Num(entry.Tag) + " appears again");
      else if (entry.Tag < before.Tag)
        C.Add("IFD-ORDER", &directory, &entry, entry.EntryPos,
              "tag " + Num(entry.Tag) + " follows tag " + Num(before.Tag));
    }
  }
  // A tag repeated further apart than neighbours is found by the order rule already.
  if (directory.Table == TTable::Main)
    CheckImage(C, directory);
  CheckTags(C, directory);
  SubDirectories(directory, page);
  if (!whole)
    return std::nullopt;
  return C.Number(tableEnd, FOffsetSize);
}

void TWalk::Entry(TDirectory& directory, TEntry& entry) {
  const bool big = C.BigTiff();
  entry.Tag = static_cast<std::uint16_t>(*C.Number(entry.EntryPos, 2));
  entry.Type = static_cast<std::uint16_t>(*C.Number(entry.EntryPos + 2, 2));
  entry.Count = *C.Number(entry.EntryPos + 4, big ? 8 : 4);
  const std::uint64_t field = entry.EntryPos + (big ? 12 : 8);
  const std::uint64_t fieldSize = big ? 8 : 4;
  const int size = TypeSize(entry.Type, big);
  if (size == 0) {
    C.Add("ENT-TYPE", &directory, &entry, entry.EntryPos + 2,
          "field type " + Num(entry.Type) + " is not defined" +
              (entry.Type >= 16 && entry.Type <= 18 ? " outside BigTIFF" : ""));
    return;
  }
  if (entry.Count == 0) {
    C.Add("ENT-COUNT", &directory, &entry, entry.EntryPos + 4, "count 0");
    return;
  }
  // Sizes beyond the file cannot lie in it; the comparison avoids the product's overflow.
  const std::uint64_t limit = C.Size() / static_cast<std::uint64_t>(size) + 1;
  entry.ValueSize = entry.Count < limit ? entry.Count * static_cast<std::uint64_t>(size) : 0;
  if (entry.Count < limit && entry.ValueSize <= fieldSize) {
    entry.ValuePos = field;
    entry.Readable = true;
    return;
  }
  entry.ValuePos = *C.Number(field, static_cast<int>(fieldSize));
  if (entry.Count >= limit || entry.ValuePos > C.Size() ||
      C.Size() - entry.ValuePos < entry.ValueSize) {
    C.Add("ENT-OUTSIDE", &directory, &entry, field,
          Num(entry.Count) + " " + TypeText(entry.Type) + " values at " + Num(entry.ValuePos) +
              " run past the end of the file (" + Num(C.Size()) + " bytes)");
    return;
  }
  entry.Readable = true;
  if (entry.ValuePos < FHeaderSize)
    C.Add("ENT-HEADER", &directory, &entry, field,
          "value offset " + Num(entry.ValuePos) + " points into the header");
  if (entry.ValuePos % 2 != 0)
    C.Add("ENT-ALIGN", &directory, &entry, field, "value at odd offset " + Num(entry.ValuePos));
  C.AddExtent({TExtent::Value, entry.ValuePos, entry.ValuePos + entry.ValueSize, &directory,
               entry.Index, entry.Tag, entry.EntryPos});
}

void TWalk::SubDirectories(const TDirectory& directory, int page) {
  struct TPointer {
    std::uint16_t Tag;
    TTable Table;
    const char* Name;
  };
  static constexpr TPointer Pointers[] = {{330, TTable::Main, "SubIFD"},
                                          {34665, TTable::Exif, "Exif"},
                                          {34853, TTable::Gps, "GPS"},
                                          {40965, TTable::Interoperability, "Interoperability"}};
  // Collected first: reading a sub-directory appends to the list that holds this one.
  std::vector<std::pair<const TEntry*, const TPointer*>> found;
  for (const TEntry& entry : directory.Entries)
    for (const TPointer& pointer : Pointers)
      if (entry.Tag == pointer.Tag && (pointer.Tag != 330 || directory.Table == TTable::Main) &&
          (pointer.Tag != 40965 || directory.Table == TTable::Exif))
        found.emplace_back(&entry, &pointer);
  for (const auto& [entry, pointer] : found) {
    const bool longType =
        entry->Type == type::Long || entry->Type == type::Ifd ||
        (C.BigTiff() && (entry->Type == type::Long8 || entry->Type == type::Ifd8));
    if (!longType) {
      if (TypeSize(entry->Type, C.BigTiff()) != 0)
        C.Add("SUB-TYPE", &directory, entry, entry->EntryPos + 2,
              std::string(pointer->Name) + " pointer of type " + TypeText(entry->Type) +
                  "; Long or IFD expected");
      continue;
    }
    const auto offsets = C.Values(*entry, 256);
    int number = 0;
    for (const std::uint64_t target : offsets) {
      ++number;
      if (target == 0) {
        C.Add("SUB-ZERO", &directory, entry, entry->ValuePos,
              std::string(pointer->Name) + " pointer is 0");
        continue;
      }
      std::string name = pointer->Tag == 330 ? (directory.Name.starts_with("SubIFD ")
                                                    ? directory.Name + "." + Num(number)
                                                    : "SubIFD " + Num(number))
                                             : pointer->Name;
      // A SubIFD may start a chain of its own; its members are siblings "SubIFD 1", "SubIFD 1.2".
      std::uint64_t at = target;
      const TDirectory* from = &directory;
      const TEntry* via = entry;
      std::uint64_t field = entry->ValuePos;
      for (int link = 1; at != 0; ++link) {
        // Writers often chain the SubIFDs they also list: the chain then reaches a listed one.
        if (link > 1 && std::find(offsets.begin(), offsets.end(), at) != offsets.end())
          break;
        if (!Reachable(at, from, via, field, link == 1 ? "IFD-OUTSIDE" : "IFD-NEXT"))
          break;
        const std::string linkName = link == 1 ? name : name + "." + Num(link);
        const auto next = Directory(at, linkName, page, pointer->Table);
        if (!next || pointer->Tag != 330)
          break;
        from = C.Directories.back().get();
        via = nullptr;
        field =
            from->Offset + (C.BigTiff() ? 8 : 2) + from->Entries.size() * (C.BigTiff() ? 20u : 12u);
        at = *next;
      }
    }
  }
}

} // namespace

TCheckResult TChecker::Check(TFileReader& source) {
  TCheckContext context(source);
  TWalk walk(context);
  const int pages = walk.Run();
  return context.Finish(pages);
}

} // namespace lodestar::check
