#pragma once

#include "Errors.h"
#include "MessageSink.h"
#include "TFileReader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lodestar {

class TTiffFile;

// One 12-byte directory entry with its value text, built when the directory is read.
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
  // The value text; " " where no rule assigned one.
  const std::u16string& Value() const { return FValue; }
  std::int32_t ValuePos() const { return FValuePos; }
  std::int32_t EntryPos() const { return FEntryPos; }
  std::int32_t Count() const { return FCount; }
  const TTiffFile* OwnerFile() const { return FOwnerFile; }
  // True when Value() holds only the start of a "Byte" or "Ascii" value: it was longer than
  // MaxByteBytes or MaxAsciiBytes, or the file's value budget was spent.
  bool ValueCut() const { return FValueCut; }

  const char* TypeName() const;
  // TagDescription of TagNumber; EConvertError for a blank tag.
  std::string Description() const;

private:
  void ReadValue(TFileReader& stream);

  std::uint8_t FFieldType = 0;
  std::string FTagNumber;
  std::u16string FValue = u" ";
  std::int32_t FValuePos = 0;
  std::int32_t FEntryPos = 0;
  const TTiffFile* FOwnerFile = nullptr;
  std::int32_t FCount = 0;
  bool FValueCut = false;
};

// The tags of one page, in entry order; owns them.
class TTags {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  // Null outside 0 .. Count - 1.
  const TTag* GetTag(int index) const;

  TTag& Add(const TTiffFile* owner);
  void Reserve(int count) { FItems.reserve(static_cast<std::size_t>(count)); }
  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }

private:
  std::vector<TTag> FItems;
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
  std::vector<TTiffPage> FItems;
};

// One TIFF file, loaded once by SetFileName; nothing is read from the file afterwards.
class TTiffFile {
public:
  explicit TTiffFile(TMessageSink sink = {}) : FSink(std::move(sink)) {}
  TTiffFile(const TTiffFile&) = delete;
  TTiffFile& operator=(const TTiffFile&) = delete;

  // Loads the named file. Does nothing when no such file exists or the name equals the current
  // one. Raises EFOpenError, EReadError or EInvalidTiff; directory failures go to the sink.
  void SetFileName(const std::string& value);
  const std::string& FileName() const { return FFileName; }

  int PageCount() const { return FPages.Count(); }
  const TTiffPages& Pages() const { return FPages; }
  // 0: no valid header, 1: little-endian, 2: big-endian.
  std::uint8_t ByteOrder() const { return FByteOrder; }
  bool IsBigEndian() const { return FByteOrder == 2; }
  // "Little-endian" for 1, "Big-endian" otherwise (also for 0).
  const char* ByteOrderText() const;
  // Never filled by the loader; callers treat a non-empty text as a failed load.
  const std::string& ErrorMessage() const { return FErrorMessage; }

  // Passes a message to the caller's sink.
  void Message(const std::string& text) const;

private:
  friend class TTag;

  // Value bytes that entries may still copy out of the file. Many entries can name the same
  // bytes, so without a bound a small crafted file would need memory and time that grow with the
  // square of its size.
  std::size_t GrantValueBytes(std::size_t wanted) const;

  void LoadFile(TFileReader& stream);
  bool CheckHeader(TFileReader& stream);
  bool AddPage(TFileReader& stream, std::int32_t& offset);

  TMessageSink FSink;
  TTiffPages FPages;
  std::uint8_t FByteOrder = 0;
  std::string FFileName;
  std::string FErrorMessage;
  mutable std::int64_t FValueBytesLeft = 0;
};

} // namespace lodestar
