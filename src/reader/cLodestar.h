#pragma once

#include "Errors.h"
#include "MessageSink.h"
#include "TFileReader.h"
#include "TiffTypes.h"
#include "uTagDescription.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace lodestar {

class TTiffFile;

// One directory entry (12 bytes, 20 in BigTIFF). Reading it keeps what its value text is made of
// (a number, a quotient, or where a "Byte" or "Ascii" value's bytes lie in the file's shared value
// bytes); the text itself is built only when asked, so a view that shows a few entries of a
// directory formats no others, and entries that name the same bytes never hold copies of them.
class TTag {
public:
  // Longest "Ascii" value read whole; a longer one is cut there and marked by ValueCut().
  static constexpr std::int32_t MaxAsciiBytes = 1 << 20;
  // Bytes read at most for a "Byte" value.
  static constexpr std::int32_t MaxByteBytes = 1 << 16;

  explicit TTag(const TTiffFile* owner, TDirectoryKind kind = TDirectoryKind::Page)
      : FOwnerFile(owner), FKind(kind) {}

  // Reads the entry at position and builds the value text. Never raises: a failure leaves what
  // was read so far. A position past the end of the file leaves the tag blank.
  void ReadEntry(TFileReader& stream, TFileOffset position);

  // TIFF type code minus 1, wrapped to 8 bits: type 0 becomes 255.
  std::uint8_t FieldType() const { return FFieldType; }
  // Decimal, no leading zeros; empty for a blank tag.
  std::string TagNumber() const { return FHasNumber ? std::to_string(FCode) : std::string(); }
  // False for a blank tag and for an entry cut short before its tag number.
  bool HasNumber() const { return FHasNumber; }
  // The tag number and the type code as stored; 0 for a blank tag.
  std::uint16_t Code() const { return FCode; }
  std::uint16_t TypeCode() const { return FTypeCode; }
  TDirectoryKind DirectoryKind() const { return FKind; }
  // The value text; " " where no rule assigned one. Built on each call.
  std::u16string Value() const;
  // Appends Value() in UTF-8, without building it in UTF-16 first.
  void AppendValueUtf8(std::string& out) const;
  TFileOffset ValuePos() const { return FValuePos; }
  TFileOffset EntryPos() const { return FEntryPos; }
  // Where the value's bytes lie: the value field itself when they fit in it, else the offset the
  // field holds; 0 for a blank tag, an unknown type or a field cut off by the end of the file.
  TFileOffset ValueOffset() const { return FValueOffset; }
  std::uint64_t Count() const { return FCount; }
  const TTiffFile* OwnerFile() const { return FOwnerFile; }
  // True when Value() holds only the start of a "Byte" or "Ascii" value: it was longer than
  // MaxByteBytes or MaxAsciiBytes.
  bool ValueCut() const { return FValueCut; }

  const char* TypeName() const;
  // TagDescription of the directory's kind and the tag number; EConvertError for a blank tag.
  std::string Description() const;

private:
  friend class TTiffFile;

  friend class TLoader;

  void ReadValue(TFileReader& stream);
  void KeepValueOffset(TFileReader& stream, unsigned fieldSize);
  void ReadBigValue(TFileReader& stream);
  // Takes the value's bytes from length bytes at a file offset, both clipped to the file.
  void KeepBytesAt(const TFileReader& stream, TFileOffset offset, std::uint64_t length);

  // What Value() is made of. Blank: " "; Empty: ""; Unknown: "?"; Number: FNumber in decimal;
  // Quotient: the signed numerator (low half of FNumber) over the signed denominator (high half),
  // rounded half to even; Bytes: FBytesStart and FBytesLength.
  enum class TForm : std::uint8_t { Blank, Empty, Unknown, Number, Quotient, Bytes };

  std::uint8_t FFieldType = 0;
  TForm FForm = TForm::Blank;
  bool FHasNumber = false;
  std::uint64_t FNumber = 0;
  TFileOffset FValuePos = 0;
  TFileOffset FEntryPos = 0;
  TFileOffset FValueOffset = 0;
  const TTiffFile* FOwnerFile = nullptr;
  std::uint64_t FCount = 0;
  std::uint16_t FCode = 0;
  std::uint16_t FTypeCode = 0;
  TDirectoryKind FKind = TDirectoryKind::Page;
  bool FValueCut = false;
  // Where a "Byte" or "Ascii" value's bytes lie: in the file while the directories are read, in
  // the owner's ValueBytes once the file has loaded.
  std::uint64_t FBytesStart = 0;
  std::uint32_t FBytesLength = 0;
};

// The tags of one directory, in entry order; owns them.
// Entries past the end of the file are all blank and all alike, and a directory of a few bytes may
// claim 65,535 of them: those are counted, and stand for one blank tag, instead of being held.
class TTags {
public:
  class TIterator {
  public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = TTag;
    using difference_type = std::ptrdiff_t;
    using pointer = const TTag*;
    using reference = const TTag&;

    TIterator() = default;
    TIterator(const TTags* tags, int index) : FTags(tags), FIndex(index) {}
    reference operator*() const { return *FTags->GetTag(FIndex); }
    pointer operator->() const { return FTags->GetTag(FIndex); }
    TIterator& operator++() {
      ++FIndex;
      return *this;
    }
    TIterator operator++(int) {
      TIterator before = *this;
      ++FIndex;
      return before;
    }
    bool operator==(const TIterator&) const = default;

  private:
    const TTags* FTags = nullptr;
    int FIndex = 0;
  };

  int Count() const { return static_cast<int>(FItems.size()) + FBlankCount; }
  // Null outside 0 .. Count - 1.
  const TTag* GetTag(int index) const;

  TTag& Add(const TTiffFile* owner, TDirectoryKind kind = TDirectoryKind::Page);
  // Appends count blank tags.
  void AddBlank(const TTiffFile* owner, int count, TDirectoryKind kind = TDirectoryKind::Page);
  void Reserve(int count) { FItems.reserve(static_cast<std::size_t>(count)); }
  // The tags before the blank ones: only these carry a tag number, so a search by number needs no
  // more.
  std::span<const TTag> ReadTags() const { return FItems; }
  TIterator begin() const { return {this, 0}; }
  TIterator end() const { return {this, Count()}; }

private:
  friend class TTiffFile;
  friend class TLoader;
  std::vector<TTag> FItems;
  int FBlankCount = 0;
  TTag FBlank{nullptr};
};

// One directory reached through a pointer tag (330, 34665, 34853, 40965, 400); never a page.
class TTiffDirectory {
public:
  TDirectoryKind Kind() const { return FKind; }
  // "Exif", "GPS", "Interoperability", "GlobalParameters", "SubIFD 1", "SubIFD 2"; the members
  // of a SubIFD's own chain "SubIFD 1.2", "SubIFD 1.3", ...
  const std::string& Name() const { return FName; }
  // The tag whose value pointed here; for a chain member, the tag that pointed at the chain.
  std::uint16_t PointerTag() const { return FPointerTag; }
  TFileOffset DirectoryOffset() const { return FDirectoryOffset; }
  const TTags& Tags() const { return FTags; }
  // Its own children, in entry order.
  const std::vector<TTiffDirectory>& SubDirectories() const { return FSubDirectories; }

private:
  friend class TTiffFile;
  friend class TLoader;

  TDirectoryKind FKind = TDirectoryKind::SubIfd;
  std::uint16_t FPointerTag = 0;
  TFileOffset FDirectoryOffset = 0;
  std::string FName;
  TTags FTags;
  std::vector<TTiffDirectory> FSubDirectories;
};

// One GeoTIFF key of a page's key directory (tag 34735).
struct TGeoKey {
  std::uint16_t KeyId = 0;
  // The GeoTIFF 1.1 key name, or "Unknown-NNNN" with the key's decimal number.
  std::string Name;
  // 0: the value is the key's own value field; 34736: doubles; 34737: characters; any other
  // tag number as stored.
  std::uint16_t Location = 0;
  std::uint16_t Count = 0;
  // The key's last number as stored: the value itself for location 0, else the index of the first
  // value in the location's tag.
  std::uint16_t ValueOffset = 0;
  // Numbers in decimal, several separated by one blank; characters without the closing "|".
  std::u16string Value;
};

// One image file directory.
class TTiffPage {
public:
  explicit TTiffPage(const TTiffFile* owner) : FOwnerFile(owner) {}

  TFileOffset DirectoryOffset() const { return FDirectoryOffset; }
  const TTiffFile* OwnerFile() const { return FOwnerFile; }
  const TTags& Tags() const { return FTags; }
  // Children of this page, in entry order; a SubIFD chain's members are siblings.
  const std::vector<TTiffDirectory>& SubDirectories() const { return FSubDirectories; }
  // Empty without tag 34735.
  const std::vector<TGeoKey>& GeoKeys() const { return FGeoKeys; }

  // Values of tags 256, 257, 282 and 283, or 1 when the page has no such tag. EConvertError when
  // the first such tag's value text is not a decimal integer.
  std::int32_t ImageWidth() const;
  std::int32_t ImageLength() const;
  std::int32_t XResolution() const;
  std::int32_t YResolution() const;

  // The first tag whose number text equals tagNumber, or null.
  const TTag* FindTag(const std::string& tagNumber) const;
  const TTag* FindTag(std::uint16_t code) const;

private:
  friend class TTiffFile;
  friend class TLoader;
  std::int32_t Lookup(std::uint16_t code) const;

  TFileOffset FDirectoryOffset = 0;
  const TTiffFile* FOwnerFile = nullptr;
  TTags FTags;
  std::vector<TTiffDirectory> FSubDirectories;
  std::vector<TGeoKey> FGeoKeys;
};

// The pages of a file in chain order; owns them.
class TTiffPages {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  // Null outside 0 .. Count - 1. Index 0 is the directory the header names.
  const TTiffPage* GetPage(int index) const;

  TTiffPage& Add(const TTiffFile* owner);
  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }

private:
  friend class TTiffFile;
  friend class TLoader;
  std::vector<TTiffPage> FItems;
};

// What the last load left: why nothing was loaded, or that the file was.
enum class TLoadStatus {
  None,        // nothing asked yet
  Loaded,      // read; directory failures went to the sink and may have ended the chain early
  NotFound,    // no such file: nothing loaded, nothing raised
  IsDirectory, // the name is a directory: nothing loaded, nothing raised
  Unreachable, // the name cannot be examined, e.g. under a directory without search rights
  Failed,      // EFOpenError, EReadError or EInvalidTiff was raised
};

// One TIFF file, loaded once by SetFileName or LoadFromMemory; nothing is read from the file
// afterwards.
class TTiffFile {
public:
  explicit TTiffFile(TMessageSink sink = {}) : FSink(std::move(sink)) {}
  TTiffFile(const TTiffFile&) = delete;
  TTiffFile& operator=(const TTiffFile&) = delete;

  // Loads the named file. Does nothing when the name equals the current one, and loads nothing,
  // without raising, when no file of that name can be opened because there is none (LoadStatus
  // says why). Raises EFOpenError, EReadError or EInvalidTiff; directory failures go to the sink.
  // kind and listed: what the caller knows of the path already (a directory listing's "regular
  // file", and the open directory and name it was listed by).
  void SetFileName(const std::string& value, TFileKind kind = TFileKind::Unknown,
                   TListedName listed = {});
  // Forgets the file loaded, so that the object loads the next one as a new object would, also
  // one of the same name; the memory of its pages may serve the next.
  void Unload();
  const std::string& FileName() const { return FFileName; }
  // Loads bytes in memory as the file name; the same results, messages and errors as a file of
  // these bytes. The bytes are not kept.
  void LoadFromMemory(const std::string& name, std::span<const std::uint8_t> bytes);
  // Loads what an open reader holds as the file name, leaving the reader open for the caller's
  // own reads.
  void LoadFromReader(const std::string& name, TFileReader& stream);

  // Why the last load loaded nothing, so that callers need not look at the file system again.
  TLoadStatus LoadStatus() const { return FLoadStatus; }
  // The system's reason for NotFound, IsDirectory and Unreachable; empty otherwise.
  std::error_code LoadError() const { return FLoadError; }

  int PageCount() const { return FPages.Count(); }
  const TTiffPages& Pages() const { return FPages; }
  // 0: no valid header, 1: little-endian, 2: big-endian.
  std::uint8_t ByteOrder() const { return FByteOrder; }
  bool IsBigEndian() const { return FByteOrder == 2; }
  // Version 43: 8-byte offsets and counts, 20-byte entries.
  bool IsBigTiff() const { return FBigTiff; }
  // "TIFF" or "BigTIFF".
  const char* FormatText() const { return FBigTiff ? "BigTIFF" : "TIFF"; }
  // The file's size when it was loaded.
  TFileOffset FileSize() const { return FFileSize; }
  // Everything the last load could not read, in the order met; the sink's messages are made
  // from these.
  const std::vector<TReadIssue>& ReadIssues() const { return FReadIssues; }
  // "Little-endian" for 1, "Big-endian" otherwise (also for 0).
  const char* ByteOrderText() const;

  // Passes a message to the caller's sink.
  void Message(const std::string& text) const;

  // The union of the file ranges that "Byte" and "Ascii" values name, ranges one after another:
  // at most the file's size however many entries share them.
  std::string_view ValueBytes() const { return FValueBytes; }

private:
  friend class TLoader;
  void LoadFile(TFileReader& stream);

  TMessageSink FSink;
  TTiffPages FPages;
  std::uint8_t FByteOrder = 0;
  bool FBigTiff = false;
  TFileOffset FFileSize = 0;
  std::vector<TReadIssue> FReadIssues;
  std::string FFileName;
  std::string FValueBytes;
  std::unique_ptr<unsigned char[]> FReadBuffer; // the last load's, for the next one
  TLoadStatus FLoadStatus = TLoadStatus::None;
  std::error_code FLoadError;
};

// The sink's text for an issue of a file of fileSize bytes; empty for an issue that has none.
std::string ReadIssueMessage(const TReadIssue& issue, TFileOffset fileSize, bool bigTiff);

} // namespace lodestar
