#include "cLodestar.h"

#include "CodePage.h"
#include "uTagDescription.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace lodestar {
namespace {

// The reader's own signal for a zero denominator; it never leaves ReadEntry.
struct EDivByZero {};

std::u16string AsciiDigits(std::int64_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

bool FileExists(const std::string& path) {
  // A directory is no file; anything else that exists is, and the open decides whether it is
  // readable.
  std::error_code ec;
  const auto status = std::filesystem::status(std::filesystem::u8path(path), ec);
  return !ec && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

// Offsets are signed 32-bit numbers; 2^31 and above wrap negative and name no position.
std::int32_t AsOffset(std::uint32_t value) {
  return static_cast<std::int32_t>(value);
}

} // namespace

// --- TTag -------------------------------------------------------------------------------------

void TTag::ReadEntry(TFileReader& stream, std::int32_t position) {
  if (position > stream.Size())
    return;
  const bool big = FOwnerFile->IsBigEndian();
  try {
    FEntryPos = position;
    stream.Seek(position);
    FTagNumber = std::to_string(SwapWord(ReadWord(stream), big));
    FFieldType = static_cast<std::uint8_t>(SwapWord(ReadWord(stream), big) - 1);
    FCount = static_cast<std::int32_t>(SwapLong(ReadLong(stream), big));
    const std::int64_t valueField = std::int64_t(position) + 8;
    ReadValue(stream);
    stream.Seek(valueField + 4);
  } catch (const ELodestarError&) {
    // A short entry keeps what was read before the end of the file.
  } catch (const EDivByZero&) {
  }
}

void TTag::ReadValue(TFileReader& stream) {
  const bool big = FOwnerFile->IsBigEndian();
  FValuePos = static_cast<std::int32_t>(stream.Position());
  switch (FFieldType) {
  case 0: { // Byte: the printable characters; control bytes below 32 are left out.
    unsigned char inlineBytes[4] = {};
    std::string bytes;
    if (FCount <= 4) {
      std::size_t got = stream.Read(inlineBytes, 4);
      std::size_t n = FCount > 0 ? std::min<std::size_t>(got, std::size_t(FCount)) : 0;
      bytes.assign(reinterpret_cast<char*>(inlineBytes), n);
    } else {
      stream.Seek(AsOffset(SwapLong(ReadLong(stream), big)));
      const auto wanted = static_cast<std::size_t>(std::min(FCount, MaxByteBytes));
      bytes.resize(FOwnerFile->GrantValueBytes(wanted));
      FValueCut = FCount > MaxByteBytes || bytes.size() < wanted;
      bytes.resize(stream.Read(bytes.data(), bytes.size()));
    }
    std::u16string text;
    text.reserve(bytes.size());
    for (unsigned char byte : bytes)
      if (byte >= 32)
        text += NarrowToWide(byte);
    FValue = std::move(text);
    break;
  }
  case 1: { // Ascii: every byte, the terminating NUL and inner NULs included.
    if (FCount > 4) {
      const std::int32_t offset = AsOffset(SwapLong(ReadLong(stream), big));
      FValuePos = offset;
      stream.Seek(offset);
    }
    std::string bytes;
    if (FCount > 0) {
      const auto wanted = static_cast<std::size_t>(std::min(FCount, MaxAsciiBytes));
      bytes.resize(FCount > 4 ? FOwnerFile->GrantValueBytes(wanted) : wanted);
      FValueCut = FCount > MaxAsciiBytes || bytes.size() < wanted;
      bytes.resize(stream.Read(bytes.data(), bytes.size()));
    }
    FValue = DecodeNarrow(bytes);
    break;
  }
  case 2:
  case 7: // Short and sShort: the first 16-bit number of the value field, unsigned.
    FValue = AsciiDigits(SwapWord(ReadWord(stream), big));
    break;
  case 3:
  case 8:
  case 11: // Long, sLong and Double: one unsigned number, or nothing for other counts.
    FValue = u"0";
    if (FCount == 1) {
      FValue = AsciiDigits(SwapLong(ReadLong(stream), big));
    } else {
      FValue.clear();
      ReadLong(stream);
    }
    break;
  case 4:
  case 10: { // Rational and Float: the first numerator / denominator, rounded half to even.
    stream.Seek(AsOffset(SwapLong(ReadLong(stream), big)));
    const auto numerator = static_cast<std::int32_t>(SwapLong(ReadLong(stream), big));
    const auto denominator = static_cast<std::int32_t>(SwapLong(ReadLong(stream), big));
    if (denominator == 0)
      throw EDivByZero{};
    const long double quotient = static_cast<long double>(numerator) / denominator;
    FValue = AsciiDigits(static_cast<std::int64_t>(std::nearbyint(quotient)));
    break;
  }
  default: // sByte, Undefined, sRational and unknown types are not rendered.
    FValue = u"?";
    break;
  }
}

const char* TTag::TypeName() const {
  static constexpr const char* Names[] = {"Byte",     "Ascii",     "Short",     "Long",
                                          "Rational", "sByte",     "Undefined", "sShort",
                                          "sLong",    "sRational", "Float",     "Double"};
  return FFieldType < std::size(Names) ? Names[FFieldType] : "Unknown";
}

std::string TTag::Description() const {
  return TagDescription(StrToInt(FTagNumber));
}

// --- TTags ------------------------------------------------------------------------------------

const TTag* TTags::GetTag(int index) const {
  if (index < 0 || index >= Count())
    return nullptr;
  return &FItems[static_cast<std::size_t>(index)];
}

TTag& TTags::Add(const TTiffFile* owner) {
  return FItems.emplace_back(owner);
}

// --- TTiffPage --------------------------------------------------------------------------------

bool TTiffPage::ReadDirectory(TFileReader& stream, std::int32_t& offset) {
  const bool big = FOwnerFile->IsBigEndian();
  const std::int32_t size = stream.Size();
  std::int64_t entryCount = 0;
  FDirectoryOffset = offset;
  try {
    stream.Seek(offset);
    entryCount = SwapWord(ReadWord(stream), big);
    FTags.Reserve(static_cast<int>(entryCount));
    bool reportedPastEnd = false;
    for (std::int64_t i = 0; i < entryCount; ++i) {
      TTag& tag = FTags.Add(FOwnerFile);
      const std::int64_t position = std::int64_t(offset) + 2 + 12 * i;
      // One message for the directory: a crafted count must not raise thousands of boxes.
      if (position > size && !reportedPastEnd) {
        FOwnerFile->Message("streamsize");
        reportedPastEnd = true;
      }
      tag.ReadEntry(stream, static_cast<std::int32_t>(std::min<std::int64_t>(position, INT32_MAX)));
    }
    stream.Seek(std::int64_t(offset) + 2 + 12 * entryCount);
    offset = AsOffset(SwapLong(ReadLong(stream), big));
    return true;
  } catch (const ELodestarError&) {
    // The directory's end as a signed 32-bit number, written right after the file size.
    const auto end = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(std::int64_t(offset) + 2 + 12 * entryCount));
    FOwnerFile->Message(std::to_string(size) + std::to_string(end));
    return false;
  }
}

const TTag* TTiffPage::FindTag(const std::string& tagNumber) const {
  for (const TTag& tag : FTags)
    if (tag.TagNumber() == tagNumber)
      return &tag;
  return nullptr;
}

std::int32_t TTiffPage::Lookup(const char* tagNumber) const {
  const TTag* tag = FindTag(tagNumber);
  return tag ? StrToInt(ToUtf8(tag->Value())) : 1;
}

std::int32_t TTiffPage::ImageWidth() const {
  return Lookup("256");
}
std::int32_t TTiffPage::ImageLength() const {
  return Lookup("257");
}
std::int32_t TTiffPage::XResolution() const {
  return Lookup("282");
}
std::int32_t TTiffPage::YResolution() const {
  return Lookup("283");
}

// --- TTiffPages -------------------------------------------------------------------------------

const TTiffPage* TTiffPages::GetPage(int index) const {
  if (index < 0 || index >= Count())
    return nullptr;
  return &FItems[static_cast<std::size_t>(index)];
}

TTiffPage& TTiffPages::Add(const TTiffFile* owner) {
  return FItems.emplace_back(owner);
}

// --- TTiffFile --------------------------------------------------------------------------------

void TTiffFile::SetFileName(const std::string& value) {
  if (value == FFileName)
    return;
  // The open comes first and the existence test only after a failed one: a batch run over a
  // large tree saves a system call per file.
  std::optional<TFileReader> stream;
  try {
    stream.emplace(value);
  } catch (const EFOpenError&) {
    if (!FileExists(value))
      return;
    FFileName = value;
    throw;
  }
  FFileName = value;
  LoadFile(*stream);
}

const char* TTiffFile::ByteOrderText() const {
  return FByteOrder == 1 ? "Little-endian" : "Big-endian";
}

void TTiffFile::Message(const std::string& text) const {
  if (FSink)
    FSink(text);
}

std::size_t TTiffFile::GrantValueBytes(std::size_t wanted) const {
  const auto granted = static_cast<std::size_t>(
      std::clamp<std::int64_t>(FValueBytesLeft, 0, static_cast<std::int64_t>(wanted)));
  FValueBytesLeft -= static_cast<std::int64_t>(granted);
  return granted;
}

void TTiffFile::LoadFile(TFileReader& stream) {
  // Twice the file: every value of a sound file fits, even where a few entries share their bytes.
  FValueBytesLeft = 2 * std::int64_t(stream.Size()) + 4096;
  stream.Seek(0);
  CheckHeader(stream);
  std::int32_t offset = AsOffset(SwapLong(ReadLong(stream), IsBigEndian()));

  // Entry tables read so far, start to end. A directory whose table overlaps one of them ends
  // the chain: that covers a next offset leading back into the chain, and it bounds the pages
  // and tags held by the size of the file.
  std::map<std::int64_t, std::int64_t> tables;
  while (offset != 0) {
    std::int64_t entryCount = 0;
    if (offset >= 0) {
      stream.Seek(offset);
      unsigned char raw[2];
      if (stream.Read(raw, 2) == 2)
        entryCount = SwapWord(static_cast<std::uint16_t>(raw[0] | (raw[1] << 8)), IsBigEndian());
    }
    const std::int64_t start = offset;
    const std::int64_t end = start + 2 + 12 * entryCount + 4;
    auto next = tables.lower_bound(start);
    if (next != tables.end() && next->first < end)
      break;
    if (next != tables.begin() && std::prev(next)->second > start)
      break;
    tables.emplace(start, end);
    if (!AddPage(stream, offset))
      break;
  }
}

bool TTiffFile::CheckHeader(TFileReader& stream) {
  const std::uint16_t mark = ReadWord(stream);
  if (mark == 0x4949) {
    FByteOrder = 1;
  } else if (mark == 0x4D4D) {
    FByteOrder = 2;
  } else {
    FByteOrder = 0;
    throw EInvalidTiff();
  }
  if (SwapWord(ReadWord(stream), IsBigEndian()) != 42) {
    FByteOrder = 0;
    throw EInvalidTiff();
  }
  return true;
}

bool TTiffFile::AddPage(TFileReader& stream, std::int32_t& offset) {
  TTiffPage& page = FPages.Add(this);
  return page.ReadDirectory(stream, offset);
}

} // namespace lodestar
