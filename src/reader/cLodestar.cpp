#include "cLodestar.h"

#include "CodePage.h"
#include "TLoader.h"
#include "uTagDescription.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <limits>
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

// Why a path that could not be opened names no file: NotFound, IsDirectory or Unreachable with
// the system's reason, or Failed when a file is there and the open's own error holds.
TLoadStatus Absence(const std::string& path, std::error_code& reason) {
  std::error_code ec;
  const auto status = std::filesystem::status(std::filesystem::u8path(path), ec);
  reason.clear();
  if (status.type() == std::filesystem::file_type::not_found) {
    reason = std::make_error_code(std::errc::no_such_file_or_directory);
    return TLoadStatus::NotFound;
  }
  if (ec) {
    reason = ec;
    return TLoadStatus::Unreachable;
  }
  if (std::filesystem::is_directory(status)) {
    reason = std::make_error_code(std::errc::is_a_directory);
    return TLoadStatus::IsDirectory;
  }
  return TLoadStatus::Failed;
}

// The 32-bit value field of a classic entry as an offset.
TFileOffset AsOffset(std::uint32_t value) {
  return value;
}

} // namespace

// --- TTag -------------------------------------------------------------------------------------

void TTag::KeepValueOffset(TFileReader& stream, unsigned fieldSize) {
  static constexpr unsigned char Sizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4,
                                            8, 4, 8, 4, 0, 0, 8, 8, 8};
  const unsigned size = FTypeCode < std::size(Sizes) ? Sizes[FTypeCode] : 0;
  if (size == 0 || (fieldSize == 4 && size == 8 && FTypeCode >= 16))
    return;
  const std::int64_t field = stream.Position();
  if (FCount <= fieldSize / size) {
    FValueOffset = static_cast<TFileOffset>(field);
    return;
  }
  // A peek, not a read that raises: the value's own reading decides what a short field means.
  unsigned char raw[8];
  if (stream.Read(raw, fieldSize) == fieldSize) {
    TFileOffset offset = 0;
    const bool big = FOwnerFile->IsBigEndian();
    for (unsigned i = 0; i < fieldSize; ++i)
      offset |= TFileOffset(raw[big ? fieldSize - 1 - i : i]) << (8 * i);
    FValueOffset = offset;
  }
  stream.Seek(field);
}

void TTag::ReadEntry(TFileReader& stream, TFileOffset position) {
  if (position > stream.Size())
    return;
  const bool big = FOwnerFile->IsBigEndian();
  const bool bigTiff = FOwnerFile->IsBigTiff();
  try {
    FEntryPos = position;
    stream.Seek(static_cast<std::int64_t>(position));
    FCode = SwapWord(ReadWord(stream), big);
    FTagNumber = std::to_string(FCode);
    FTypeCode = SwapWord(ReadWord(stream), big);
    FFieldType = static_cast<std::uint8_t>(FTypeCode - 1);
    if (bigTiff) {
      FCount = SwapLong8(ReadLong8(stream), big);
      KeepValueOffset(stream, 8);
      ReadBigValue(stream);
    } else {
      FCount = SwapLong(ReadLong(stream), big);
      KeepValueOffset(stream, 4);
      ReadValue(stream);
    }
  } catch (const ELodestarError&) {
    // A short entry keeps what was read before the end of the file.
  } catch (const EDivByZero&) {
  }
}

namespace {

// Rational and Float: the first numerator / denominator at the stream's position, rounded half
// to even.
std::u16string FirstQuotient(TFileReader& stream, bool big) {
  const auto numerator = static_cast<std::int32_t>(SwapLong(ReadLong(stream), big));
  const auto denominator = static_cast<std::int32_t>(SwapLong(ReadLong(stream), big));
  if (denominator == 0)
    throw EDivByZero{};
  const long double quotient = static_cast<long double>(numerator) / denominator;
  return AsciiDigits(static_cast<std::int64_t>(std::nearbyint(quotient)));
}

std::u16string UnsignedDigits(std::uint64_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

} // namespace

void TTag::ReadValue(TFileReader& stream) {
  const bool big = FOwnerFile->IsBigEndian();
  FValuePos = static_cast<TFileOffset>(stream.Position());
  switch (FFieldType) {
  case 0: // Byte: the printable characters, built by Value(); up to 4 lie in the value field.
    if (FCount <= 4) {
      KeepBytesAt(stream, FValuePos, FCount);
    } else {
      const TFileOffset offset = AsOffset(SwapLong(ReadLong(stream), big));
      FValueCut = FCount > MaxByteBytes;
      KeepBytesAt(stream, offset, std::min<std::uint64_t>(FCount, MaxByteBytes));
    }
    break;
  case 1: { // Ascii: every byte, the terminating NUL and inner NULs included.
    if (FCount > 4)
      FValuePos = AsOffset(SwapLong(ReadLong(stream), big));
    FValueCut = FCount > MaxAsciiBytes;
    KeepBytesAt(stream, FValuePos, std::min<std::uint64_t>(FCount, MaxAsciiBytes));
    break;
  }
  case 2:
  case 7: // Short and sShort: the first 16-bit number of the value field, unsigned.
    FValue = AsciiDigits(SwapWord(ReadWord(stream), big));
    break;
  case 3:
  case 8:
  case 11:
  case 12: // Long, sLong, Double and IFD: one unsigned number, or nothing for other counts.
    FValue = u"0";
    if (FCount == 1) {
      FValue = AsciiDigits(SwapLong(ReadLong(stream), big));
    } else {
      FValue.clear();
      ReadLong(stream);
    }
    break;
  case 4:
  case 10: // Rational and Float: the value field is taken as an offset.
    stream.Seek(static_cast<std::int64_t>(AsOffset(SwapLong(ReadLong(stream), big))));
    FValue = FirstQuotient(stream, big);
    break;
  default: // sByte, Undefined, sRational and unknown types are not rendered.
    FValue = u"?";
    break;
  }
}

// The same rules on an 8-byte value field, which holds up to 8 bytes of values itself.
void TTag::ReadBigValue(TFileReader& stream) {
  const bool big = FOwnerFile->IsBigEndian();
  FValuePos = static_cast<TFileOffset>(stream.Position());
  switch (FFieldType) {
  case 0:
    if (FCount <= 8) {
      KeepBytesAt(stream, FValuePos, FCount);
    } else {
      const TFileOffset offset = SwapLong8(ReadLong8(stream), big);
      FValueCut = FCount > MaxByteBytes;
      KeepBytesAt(stream, offset, std::min<std::uint64_t>(FCount, MaxByteBytes));
    }
    break;
  case 1:
    if (FCount > 8)
      FValuePos = SwapLong8(ReadLong8(stream), big);
    FValueCut = FCount > MaxAsciiBytes;
    KeepBytesAt(stream, FValuePos, std::min<std::uint64_t>(FCount, MaxAsciiBytes));
    break;
  case 2:
  case 7:
    FValue = AsciiDigits(SwapWord(ReadWord(stream), big));
    break;
  case 3:
  case 8:
  case 12: // Long, sLong and IFD: the first 32-bit number of the field when count is 1.
    FValue = u"0";
    if (FCount == 1) {
      FValue = AsciiDigits(SwapLong(ReadLong(stream), big));
    } else {
      FValue.clear();
    }
    break;
  case 11:
  case 15:
  case 16:
  case 17: // Double, Long8, sLong8 and IFD8: the whole field, unsigned, when count is 1.
    FValue = u"0";
    if (FCount == 1)
      FValue = UnsignedDigits(SwapLong8(ReadLong8(stream), big));
    else
      FValue.clear();
    break;
  case 4:
  case 10: { // Rational and Float: in the field when they fit, else at its offset.
    const std::uint64_t itemSize = FFieldType == 4 ? 8 : 4;
    if (FCount > 8 / itemSize)
      stream.Seek(static_cast<std::int64_t>(std::min<std::uint64_t>(
          SwapLong8(ReadLong8(stream), big), std::numeric_limits<std::int64_t>::max())));
    FValue = FirstQuotient(stream, big);
    break;
  }
  default:
    FValue = u"?";
    break;
  }
}

void TTag::KeepBytesAt(const TFileReader& stream, TFileOffset offset, std::uint64_t length) {
  // Bytes past the end of the file contribute nothing, as a short read would give.
  const TFileOffset size = stream.Size();
  const TFileOffset start = std::min(offset, size);
  const TFileOffset end = size - start < length ? size : start + length;
  FFromBytes = true;
  FBytesStart = start;
  FBytesLength = static_cast<std::uint32_t>(end - start);
}

std::u16string TTag::Value() const {
  if (!FFromBytes)
    return FValue;
  const std::string_view bytes = FOwnerFile->ValueBytes().substr(FBytesStart, FBytesLength);
  if (FFieldType == 1)
    return DecodeNarrow(bytes);
  // Byte: control bytes below 32 are left out.
  std::u16string text;
  text.reserve(bytes.size());
  for (unsigned char byte : bytes)
    if (byte >= 32)
      text += NarrowToWide(byte);
  return text;
}

const char* TTag::TypeName() const {
  static constexpr const char* Names[] = {
      "Byte",      "Ascii", "Short",  "Long", "Rational", "sByte",   "Undefined", "sShort", "sLong",
      "sRational", "Float", "Double", "IFD",  "Unknown",  "Unknown", "Long8",     "sLong8", "IFD8"};
  return FFieldType < std::size(Names) ? Names[FFieldType] : "Unknown";
}

std::string TTag::Description() const {
  if (FTagNumber.empty())
    throw EConvertError(FTagNumber);
  return TagDescription(FKind, FCode);
}

// --- TTags ------------------------------------------------------------------------------------

const TTag* TTags::GetTag(int index) const {
  if (index < 0 || index >= Count())
    return nullptr;
  if (static_cast<std::size_t>(index) >= FItems.size())
    return &FBlank;
  return &FItems[static_cast<std::size_t>(index)];
}

TTag& TTags::Add(const TTiffFile* owner, TDirectoryKind kind) {
  return FItems.emplace_back(owner, kind);
}

void TTags::AddBlank(const TTiffFile* owner, int count, TDirectoryKind kind) {
  FBlank = TTag(owner, kind);
  FBlankCount += count;
}

// --- TTiffPage --------------------------------------------------------------------------------

const TTag* TTiffPage::FindTag(const std::string& tagNumber) const {
  for (const TTag& tag : FTags.ReadTags())
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
    FLoadStatus = Absence(value, FLoadError);
    if (FLoadStatus != TLoadStatus::Failed)
      return;
    FFileName = value;
    throw;
  }
  FFileName = value;
  LoadFile(*stream);
}

void TTiffFile::LoadFromReader(const std::string& name, TFileReader& stream) {
  FFileName = name;
  LoadFile(stream);
}

void TTiffFile::LoadFromMemory(const std::string& name, std::span<const std::uint8_t> bytes) {
  TFileReader stream(bytes);
  FFileName = name;
  LoadFile(stream);
}

const char* TTiffFile::ByteOrderText() const {
  return FByteOrder == 1 ? "Little-endian" : "Big-endian";
}

void TTiffFile::Message(const std::string& text) const {
  if (FSink)
    FSink(text);
}

void TTiffFile::LoadFile(TFileReader& stream) {
  FPages.FItems.clear();
  FValueBytes.clear();
  FReadIssues.clear();
  FLoadError.clear();
  FBigTiff = false;
  FFileSize = stream.Size();
  // Stays when the header raises.
  FLoadStatus = TLoadStatus::Failed;
  TLoader(*this, stream).Load();
  FLoadStatus = TLoadStatus::Loaded;
}

} // namespace lodestar
