#include "TChecker.h"

#include "TCheckContext.h"
#include "TFileReader.h"
#include "cLodestar.h"

#include <algorithm>
#include <set>

namespace lodestar::check {
namespace {

std::string Num(std::uint64_t value) {
  return std::to_string(value);
}

TTable TableOf(TDirectoryKind kind) {
  switch (kind) {
  case TDirectoryKind::Exif:
    return TTable::Exif;
  case TDirectoryKind::Gps:
    return TTable::Gps;
  case TDirectoryKind::Interoperability:
    return TTable::Interoperability;
  case TDirectoryKind::GlobalParameters:
    return TTable::Other;
  default:
    return TTable::Main;
  }
}

const char* PointerName(TFileOffset tag) {
  switch (tag) {
  case 330:
    return "SubIFD";
  case 400:
    return "GlobalParameters";
  case 34665:
    return "Exif";
  case 34853:
    return "GPS";
  default:
    return "Interoperability";
  }
}

class TWalk {
public:
  TWalk(TCheckContext& context, const TTiffFile& file) : C(context), F(file) {}

  int Run();

private:
  bool Header(std::uint64_t& first);
  // Checks one directory the reader read and then, depth first, the ones it points to; false
  // where the directory could not be read whole.
  bool Directory(const TTags& tags, TFileOffset offset, const std::string& name,
                 const std::string& path, int page, TDirectoryKind kind,
                 const std::vector<TTiffDirectory>& children,
                 const std::vector<TGeoKey>* geoKeys = nullptr);
  void Entry(TDirectory& directory, TEntry& entry, const TTag& tag);
  // The reader's issues about the pointers of a directory, or (entry -1) about directories it did
  // not read at all.
  void PointerIssues(const TDirectory* directory, int page, bool unread);
  bool Issue(const TDirectory& directory, TReadIssueCode code) const;
  // A directory the reader read starts at offset: a page or one checked so far.
  bool ReadBefore(TFileOffset offset) const {
    return std::any_of(F.Pages().begin(), F.Pages().end(),
                       [&](const TTiffPage& page) { return page.DirectoryOffset() == offset; }) ||
           std::any_of(C.Directories.begin(), C.Directories.end(),
                       [&](const auto& directory) { return directory->Offset == offset; });
  }
  // The next offset after last names a place a directory may start; else IFD-NEXT.
  bool NextInside(const TDirectory& last, TFileOffset offset);
  // The next offset of the last page leads into a table read before.
  void ChainEnd(const TDirectory& last, TFileOffset offset);
  std::uint64_t NextField(const TDirectory& directory) const {
    return directory.Offset + (C.BigTiff() ? 8 : 2) +
           directory.Entries.size() * (C.BigTiff() ? 20u : 12u);
  }

  TCheckContext& C;
  const TTiffFile& F;
  std::uint64_t FHeaderSize = 8;
  int FOffsetSize = 4;
  int FDirectoryCount = 0;
  // Pointer tags (with their page) whose values run past the end of the file: ENT-OUTSIDE says
  // so, and what the reader made of the bytes it could read is not checked as directories.
  std::set<std::pair<int, std::uint16_t>> FCutPointers;
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
  if (F.LoadStatus() != TLoadStatus::Loaded) {
    C.Add("ADV-SHORT-READ", nullptr, nullptr, 0, "the reader could not load the file");
    return false;
  }
  return true;
}

bool TWalk::Issue(const TDirectory& directory, TReadIssueCode code) const {
  return std::any_of(F.ReadIssues().begin(), F.ReadIssues().end(), [&](const TReadIssue& issue) {
    return issue.Code == code && issue.Page == directory.Page &&
           issue.Directory == directory.ReaderName;
  });
}

bool TWalk::NextInside(const TDirectory& last, TFileOffset offset) {
  if (offset >= FHeaderSize && offset < C.Size())
    return true;
  C.Add("IFD-NEXT", &last, nullptr, NextField(last),
        "directory offset " + Num(offset) +
            (offset < FHeaderSize ? " points into the header"
                                  : " is past the end of the file (" + Num(C.Size()) + " bytes)"));
  return false;
}

void TWalk::ChainEnd(const TDirectory& last, TFileOffset offset) {
  const std::uint64_t field = NextField(last);
  if (!NextInside(last, offset))
    return;
  const bool again = ReadBefore(offset);
  if (again)
    C.Add("IFD-LOOP", &last, nullptr, field,
          "directory at " + Num(offset) + " is reached a second time");
  else
    C.Add("IFD-OVERLAP", &last, nullptr, offset,
          "directory at " + Num(offset) + " shares bytes with a directory read before");
  // The reader reads no table that overlaps one it has read; whether this one would fit in the
  // file still decides whether the chain can be read as written.
  const int countSize = C.BigTiff() ? 8 : 2;
  const auto count = C.Number(offset, countSize);
  const std::uint64_t entrySize = C.BigTiff() ? 20 : 12;
  const std::uint64_t room = C.Size() - offset;
  const std::uint64_t need = static_cast<std::uint64_t>(countSize + FOffsetSize);
  if (!again && count && (room < need || (room - need) / entrySize < *count)) {
    TDirectory place;
    place.Name = "page " + Num(static_cast<std::uint64_t>(last.Page) + 1);
    place.Page = last.Page + 1;
    C.Add("IFD-OUTSIDE", &place, nullptr, offset,
          Num(*count) + " entries and the next-directory offset need " +
              Num(need + *count * entrySize) + " bytes at " + Num(offset) + "; the file has " +
              Num(C.Size()));
  }
}

int TWalk::Run() {
  std::uint64_t first = 0;
  if (!Header(first))
    return 0;
  for (const TReadIssue& issue : F.ReadIssues())
    if (issue.Code == TReadIssueCode::FileBusy)
      C.Add("ADV-SHORT-READ", nullptr, nullptr, 0,
            "another program was writing the file; it was checked without waiting for it");
  int pages = 0;
  const TDirectory* previous = nullptr;
  for (const TTiffPage& page : F.Pages()) {
    const TFileOffset offset = page.DirectoryOffset();
    // The reader follows a next offset into the header or past the end; the chain ends there.
    if (previous && !NextInside(*previous, offset))
      return pages;
    if (FDirectoryCount >= TChecker::MaxDirectories) {
      C.Add("ADV-SHORT-READ", previous, nullptr, NextField(*previous),
            "more than " + Num(TChecker::MaxDirectories) +
                " directories; the rest are not checked");
      return pages;
    }
    ++pages;
    const std::size_t index = C.Directories.size();
    const std::string name = "page " + Num(pages);
    const bool whole = Directory(page.Tags(), offset, name, name, pages, TDirectoryKind::Page,
                                 page.SubDirectories(), &page.GeoKeys());
    previous = C.Directories[index].get();
    PointerIssues(nullptr, pages, true);
    if (!whole)
      return pages;
  }
  // The reader ends the chain where a next offset leads to a table sharing bytes with one read.
  for (const TReadIssue& issue : F.ReadIssues())
    if (previous && issue.Code == TReadIssueCode::DirectoryLoop && issue.Detail == 0)
      ChainEnd(*previous, issue.Offset);
  return pages;
}

bool TWalk::Directory(const TTags& tags, TFileOffset offset, const std::string& name,
                      const std::string& path, int page, TDirectoryKind kind,
                      const std::vector<TTiffDirectory>& children,
                      const std::vector<TGeoKey>* geoKeys) {
  ++FDirectoryCount;
  auto owned = std::make_unique<TDirectory>();
  TDirectory& directory = *owned;
  directory.Name = path;
  directory.ReaderName = name;
  directory.Page = page;
  directory.Table = TableOf(kind);
  directory.Offset = offset;
  C.Directories.push_back(std::move(owned));

  if (offset % 2 != 0)
    C.Add("IFD-ALIGN", &directory, nullptr, offset, "directory at odd offset " + Num(offset));
  const int countSize = C.BigTiff() ? 8 : 2;
  const std::uint64_t entrySize = C.BigTiff() ? 20 : 12;
  if (C.Size() - offset < static_cast<std::uint64_t>(countSize)) {
    C.Add("IFD-OUTSIDE", &directory, nullptr, offset,
          "the entry count at " + Num(offset) + " is past the end of the file");
    return false;
  }
  const auto count = static_cast<std::uint64_t>(tags.Count());
  if (count == 0)
    C.Add("IFD-EMPTY", &directory, nullptr, offset, "the directory has no entries");
  const bool whole = !Issue(directory, TReadIssueCode::EntryTableTruncated) &&
                     !Issue(directory, TReadIssueCode::DirectoryUnreadable);
  const std::uint64_t tableEnd = offset + static_cast<std::uint64_t>(countSize) + count * entrySize;
  if (!whole)
    C.Add("IFD-OUTSIDE", &directory, nullptr, offset,
          Num(count) + " entries and the next-directory offset need " +
              Num(tableEnd - offset + static_cast<std::uint64_t>(FOffsetSize)) + " bytes at " +
              Num(offset) + "; the file has " + Num(C.Size()));
  C.AddExtent({TExtent::Directory, offset,
               std::min(tableEnd + static_cast<std::uint64_t>(FOffsetSize), C.Size()), &directory,
               -1, 0});

  // Only entries wholly inside the file: the reader keeps what it could of a cut one.
  for (const TTag& tag : tags.ReadTags()) {
    if (tag.EntryPos() > C.Size() || C.Size() - tag.EntryPos() < entrySize)
      break;
    TEntry& entry = directory.Entries.emplace_back();
    entry.Index = static_cast<int>(directory.Entries.size() - 1);
    Entry(directory, entry, tag);
    if (entry.Index > 0) {
      const TEntry& before = directory.Entries[directory.Entries.size() - 2];
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
  if (geoKeys && directory.Find(34735))
    CheckGeoKeys(C, directory, *geoKeys);
  PointerIssues(&directory, page, false);
  for (const TTiffDirectory& child : children) {
    if (const TEntry* pointer = directory.Find(child.PointerTag()); pointer && !pointer->Readable) {
      FCutPointers.emplace(page, child.PointerTag());
      continue;
    }
    if (child.DirectoryOffset() < FHeaderSize) {
      const TEntry* pointer = directory.Find(child.PointerTag());
      C.Add("IFD-OUTSIDE", &directory, pointer, pointer ? pointer->ValuePos : offset,
            "directory offset " + Num(child.DirectoryOffset()) + " points into the header");
      continue;
    }
    if (FDirectoryCount >= TChecker::MaxDirectories) {
      C.Add("ADV-SHORT-READ", &directory, nullptr, offset,
            "more than " + Num(TChecker::MaxDirectories) +
                " directories; the rest are not checked");
      break;
    }
    Directory(child.Tags(), child.DirectoryOffset(), child.Name(),
              kind == TDirectoryKind::Page ? child.Name() : path + '/' + child.Name(), page,
              child.Kind(), child.SubDirectories());
  }
  return whole;
}

void TWalk::PointerIssues(const TDirectory* directory, int page, bool unread) {
  for (const TReadIssue& issue : F.ReadIssues()) {
    if (issue.Page != page ||
        (unread ? issue.Entry >= 0 : issue.Directory != directory->ReaderName || issue.Entry < 0))
      continue;
    const TEntry* entry = directory && issue.Entry < static_cast<int>(directory->Entries.size())
                              ? &directory->Entries[static_cast<std::size_t>(issue.Entry)]
                              : nullptr;
    if ((entry && !entry->Readable) || (unread && FCutPointers.contains({page, issue.Detail})))
      continue;
    // A directory the reader did not read: named by where it would be.
    TDirectory place;
    place.Name = issue.Directory;
    place.Page = page;
    const TDirectory* at = directory ? directory : &place;
    const std::string pointer = PointerName(issue.Detail);
    switch (issue.Code) {
    case TReadIssueCode::PointerWrongType:
      if (entry && TypeSize(entry->Type, C.BigTiff()) != 0)
        C.Add("SUB-TYPE", at, entry, entry->EntryPos + 2,
              pointer + " pointer of type " + TypeText(entry->Type) + "; Long or IFD expected");
      break;
    case TReadIssueCode::PointerZero:
      C.Add("SUB-ZERO", at, entry, entry ? entry->ValuePos : issue.Offset,
            pointer + " pointer is 0");
      break;
    case TReadIssueCode::PointerOutsideFile:
      C.Add(unread ? "IFD-NEXT" : "IFD-OUTSIDE", at, entry, entry ? entry->ValuePos : issue.Offset,
            "directory offset " + Num(issue.Offset) + " is past the end of the file (" +
                Num(C.Size()) + " bytes)");
      break;
    case TReadIssueCode::DirectoryLoop:
      if (issue.Detail != 0)
        C.Add("IFD-LOOP", at, entry, issue.Offset,
              "directory at " + Num(issue.Offset) +
                  (ReadBefore(issue.Offset) ? " is reached a second time"
                                            : " overlaps a directory read before and is not read"));
      break;
    case TReadIssueCode::DirectoryLimit:
      C.Add("ADV-SHORT-READ", at, entry, issue.Offset,
            "the reader's limit on directories was reached; " + issue.Directory +
                " and those after it are not checked");
      break;
    default:
      break;
    }
  }
}

void TWalk::Entry(TDirectory& directory, TEntry& entry, const TTag& tag) {
  const bool big = C.BigTiff();
  entry.Tag = tag.Code();
  entry.Type = tag.TypeCode();
  entry.Count = tag.Count();
  entry.EntryPos = tag.EntryPos();
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
  entry.ValuePos = tag.ValueOffset();
  if (entry.Count < limit && entry.ValueSize <= fieldSize) {
    entry.Readable = true;
    return;
  }
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

} // namespace

TCheckResult TChecker::Check(const TTiffFile& file, TFileReader& source) {
  TCheckContext context(source);
  TWalk walk(context, file);
  const int pages = walk.Run();
  return context.Finish(pages);
}

TCheckResult TChecker::CheckFile(const std::string& path) {
  TFileReader source(path);
  return CheckSource(path, source);
}

TCheckResult TChecker::CheckSource(const std::string& name, TFileReader& source) {
  TTiffFile file;
  try {
    file.LoadFromReader(name, source);
  } catch (const ELodestarError&) {
    // A header the reader refuses: the check names what is wrong with it.
  }
  return Check(file, source);
}

} // namespace lodestar::check
