#pragma once

#include "Errors.h"
#include "MessageSink.h"
#include "TFileReader.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace lodestar {

class TTiffFile;

// One 12-byte directory entry. Its value text is built when the directory is read, except for
// "Byte" and "Ascii" values: those keep where their bytes lie in the file's shared value bytes and
// build their text when asked, so entries that name the same bytes never hold copies of them.
class TTag {
public:
  // Longest "Ascii" value read whole; a longer one is cut there and marked by ValueCut().
  static constexpr std::int32_t MaxAsciiBytes = 1 << 20;
  // Bytes read at most for a "Byte" value.
  static constexpr std::int32_t MaxByteBytes = 1 << 16;

  explicit TTag(const TTiffFile* owner) : FOwnerFile(owner) {}

  // Reads the entry at position and builds the value text. Never raises: a failure leaves what
  // was read so far. A position past the end of the file leaves the tag blank.
  void ReadEntry(TFileReader& stream, std::int32_t position);

  // TIFF type code minus 1, wrapped to 8 bits: type 0 becomes 255.
  std::uint8_t FieldType() const { return FFieldType; }
  // Decimal, no leading zeros; empty for a blank tag.
  const std::string& TagNumber() const { return FTagNumber; }
  // The value text; " " where no rule assigned one. Built on each call for "Byte" and "Ascii".
  std::u16string Value() const;
  std::int32_t ValuePos() const { return FValuePos; }
  std::int32_t EntryPos() const { return FEntryPos; }
  std::int32_t Count() const { return FCount; }
  const TTiffFile* OwnerFile() const { return FOwnerFile; }
  // True when Value() holds only the start of a "Byte" or "Ascii" value: it was longer than
  // MaxByteBytes or MaxAsciiBytes.
  bool ValueCut() const { return FValueCut; }

  const char* TypeName() const;
  // TagDescription of TagNumber; EConvertError for a blank tag.
  std::string Description() const;

private:
  friend class TTiffFile;

  void ReadValue(TFileReader& stream);
  // Takes the value's bytes from length bytes at a file offset, both clipped to the file.
  void KeepBytesAt(const TFileReader& stream, std::int64_t offset, std::int64_t length);

  std::uint8_t FFieldType = 0;
  std::string FTagNumber;
  std::u16string FValue = u" ";
  std::int32_t FValuePos = 0;
  std::int32_t FEntryPos = 0;
  const TTiffFile* FOwnerFile = nullptr;
  std::int32_t FCount = 0;
  bool FValueCut = false;
  // Where a "Byte" or "Ascii" value's bytes lie: in the file while the directories are read, in
  // the owner's ValueBytes once the file has loaded.
  bool FFromBytes = false;
  std::uint32_t FBytesStart = 0;
  std::uint32_t FBytesLength = 0;
};

// The tags of one page, in entry order; owns them.
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

  TTag& Add(const TTiffFile* owner);
  // Appends count blank tags.
  void AddBlank(const TTiffFile* owner, int count);
  void Reserve(int count) { FItems.reserve(static_cast<std::size_t>(count)); }
  // The tags before the blank ones: only these carry a tag number, so a search by number needs no
  // more.
  std::span<const TTag> ReadTags() const { return FItems; }
  TIterator begin() const { return {this, 0}; }
  TIterator end() const { return {this, Count()}; }

private:
  friend class TTiffFile;
  std::vector<TTag> FItems;
  int FBlankCount = 0;
  TTag FBlank{nullptr};
};

// One image file directory.
class TTiffPage {
public:
  explicit TTiffPage(const TTiffFile* owner) : FOwnerFile(owner) {}

  // Reads the directory at offset and leaves the next-directory offset in it. Failures are
  // reported through the owner's sink; offset is then left unchanged and false is returned.
  bool ReadDirectory(TFileReader& stream, std::int32_t& offset);

  std::int32_t DirectoryOffset() const { return FDirectoryOffset; }
  const TTiffFile* OwnerFile() const { return FOwnerFile; }
  const TTags& Tags() const { return FTags; }

  // Values of tags 256, 257, 282 and 283, or 1 when the page has no such tag. EConvertError when
  // the first such tag's value text is not a decimal integer.
  std::int32_t ImageWidth() const;
  std::int32_t ImageLength() const;
  std::int32_t XResolution() const;
  std::int32_t YResolution() const;

  // The first tag whose number text equals tagNumber, or null.
  const TTag* FindTag(const std::string& tagNumber) const;

private:
  friend class TTiffFile;
  std::int32_t Lookup(const char* tagNumber) const;

  std::int32_t FDirectoryOffset = 0;
  const TTiffFile* FOwnerFile = nullptr;
  TTags FTags;
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
  void SetFileName(const std::string& value);
  const std::string& FileName() const { return FFileName; }
  // Loads bytes in memory as the file name; the same results, messages and errors as a file of
  // these bytes. The bytes are not kept.
  void LoadFromMemory(const std::string& name, std::span<const std::uint8_t> bytes);

  // Why the last load loaded nothing, so that callers need not look at the file system again.
  TLoadStatus LoadStatus() const { return FLoadStatus; }
  // The system's reason for NotFound, IsDirectory and Unreachable; empty otherwise.
  std::error_code LoadError() const { return FLoadError; }

  int PageCount() const { return FPages.Count(); }
  const TTiffPages& Pages() const { return FPages; }
  // 0: no valid header, 1: little-endian, 2: big-endian.
  std::uint8_t ByteOrder() const { return FByteOrder; }
  bool IsBigEndian() const { return FByteOrder == 2; }
  // "Little-endian" for 1, "Big-endian" otherwise (also for 0).
  const char* ByteOrderText() const;

  // Passes a message to the caller's sink.
  void Message(const std::string& text) const;

  // The union of the file ranges that "Byte" and "Ascii" values name, ranges one after another:
  // at most the file's size however many entries share them.
  std::string_view ValueBytes() const { return FValueBytes; }

private:
  void LoadFile(TFileReader& stream);
  void ReadValueBytes(TFileReader& stream);
  bool CheckHeader(TFileReader& stream);
  bool AddPage(TFileReader& stream, std::int32_t& offset);

  TMessageSink FSink;
  TTiffPages FPages;
  std::uint8_t FByteOrder = 0;
  std::string FFileName;
  std::string FValueBytes;
  TLoadStatus FLoadStatus = TLoadStatus::None;
  std::error_code FLoadError;
};

} // namespace lodestar
