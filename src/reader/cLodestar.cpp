#include "cLodestar.h"

#include "CodePage.h"
#include "TLoader.h"
#include "uTagDescription.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <filesystem>
#include <limits>
#include <map>
#include <optional>
#include <string>

namespace lodestar {
namespace {

// The reader's own signal for a zero denominator; it never leaves ReadEntry.
struct EDivByZero {};

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
  // Multiplied, not divided: this runs for every entry, and a division would be its slowest step.
  if (FCount <= fieldSize && FCount * size <= fieldSize) {
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
    FHasNumber = true;
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

// Rational and Float: the first numerator and denominator at the stream's position, kept for
// Value() to divide.
std::uint64_t FirstQuotient(TFileReader& stream, bool big) {
  const std::uint32_t numerator = SwapLong(ReadLong(stream), big);
  const std::uint32_t denominator = SwapLong(ReadLong(stream), big);
  if (denominator == 0)
    throw EDivByZero{};
  return numerator | (std::uint64_t(denominator) << 32);
}

// The quotient's text: rounded half to even, as the default rounding mode rounds, in integers.
std::int64_t Quotient(std::uint64_t parts) {
  std::int64_t numerator = static_cast<std::int32_t>(static_cast<std::uint32_t>(parts));
  std::int64_t denominator = static_cast<std::int32_t>(static_cast<std::uint32_t>(parts >> 32));
  if (denominator < 0) {
    numerator = -numerator;
    denominator = -denominator;
  }
  std::int64_t quotient = numerator / denominator;
  const std::int64_t remainder = numerator % denominator;
  const std::int64_t twice = 2 * (remainder < 0 ? -remainder : remainder);
  if (twice > denominator || (twice == denominator && (quotient & 1) != 0))
    quotient += numerator < 0 ? -1 : 1;
  return quotient;
}

// Appends the decimal digits of value.
template <typename TText, typename TNumber> void AppendDigits(TText& out, TNumber value) {
  char digits[24];
  const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.insert(out.end(), static_cast<const char*>(digits), end);
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
    FNumber = SwapWord(ReadWord(stream), big);
    FForm = TForm::Number;
    break;
  case 3:
  case 8:
  case 11:
  case 12: // Long, sLong, Double and IFD: one unsigned number, or nothing for other counts.
    FNumber = 0;
    FForm = TForm::Number;
    if (FCount == 1) {
      FNumber = SwapLong(ReadLong(stream), big);
    } else {
      FForm = TForm::Empty;
      ReadLong(stream);
    }
    break;
  case 4:
  case 10: // Rational and Float: the value field is taken as an offset.
    stream.Seek(static_cast<std::int64_t>(AsOffset(SwapLong(ReadLong(stream), big))));
    FNumber = FirstQuotient(stream, big);
    FForm = TForm::Quotient;
    break;
  default: // sByte, Undefined, sRational and unknown types are not rendered.
    FForm = TForm::Unknown;
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
    FNumber = SwapWord(ReadWord(stream), big);
    FForm = TForm::Number;
    break;
  case 3:
  case 8:
  case 12: // Long, sLong and IFD: the first 32-bit number of the field when count is 1.
    FNumber = 0;
    FForm = FCount == 1 ? TForm::Number : TForm::Empty;
    if (FCount == 1)
      FNumber = SwapLong(ReadLong(stream), big);
    break;
  case 11:
  case 15:
  case 16:
  case 17: // Double, Long8, sLong8 and IFD8: the whole field, unsigned, when count is 1.
    FNumber = 0;
    FForm = FCount == 1 ? TForm::Number : TForm::Empty;
    if (FCount == 1)
      FNumber = SwapLong8(ReadLong8(stream), big);
    break;
  case 4:
  case 10: { // Rational and Float: in the field when they fit, else at its offset.
    const std::uint64_t itemSize = FFieldType == 4 ? 8 : 4;
    if (FCount > 8 / itemSize)
      stream.Seek(static_cast<std::int64_t>(std::min<std::uint64_t>(
          SwapLong8(ReadLong8(stream), big), std::numeric_limits<std::int64_t>::max())));
    FNumber = FirstQuotient(stream, big);
    FForm = TForm::Quotient;
    break;
  }
  default:
    FForm = TForm::Unknown;
    break;
  }
}

void TTag::KeepBytesAt(const TFileReader& stream, TFileOffset offset, std::uint64_t length) {
  // Bytes past the end of the file contribute nothing, as a short read would give.
  const TFileOffset size = stream.Size();
  const TFileOffset start = std::min(offset, size);
  const TFileOffset end = size - start < length ? size : start + length;
  FForm = TForm::Bytes;
  FBytesStart = start;
  FBytesLength = static_cast<std::uint32_t>(end - start);
}

std::u16string TTag::Value() const {
  std::u16string text;
  switch (FForm) {
  case TForm::Blank:
    return u" ";
  case TForm::Empty:
    return text;
  case TForm::Unknown:
    return u"?";
  case TForm::Number:
    AppendDigits(text, FNumber);
    return text;
  case TForm::Quotient:
    AppendDigits(text, Quotient(FNumber));
    return text;
  case TForm::Bytes:
    break;
  }
  const std::string_view bytes = FOwnerFile->ValueBytes().substr(FBytesStart, FBytesLength);
  if (FFieldType == 1)
    return DecodeNarrow(bytes);
  // Byte: control bytes below 32 are left out.
  text.reserve(bytes.size());
  for (unsigned char byte : bytes)
    if (byte >= 32)
      text += NarrowToWide(byte);
  return text;
}

void TTag::AppendValueUtf8(std::string& out) const {
  switch (FForm) {
  case TForm::Blank:
    out += ' ';
    return;
  case TForm::Empty:
    return;
  case TForm::Unknown:
    out += '?';
    return;
  case TForm::Number:
    AppendDigits(out, FNumber);
    return;
  case TForm::Quotient:
    AppendDigits(out, Quotient(FNumber));
    return;
  case TForm::Bytes:
    break;
  }
  const std::string_view bytes = FOwnerFile->ValueBytes().substr(FBytesStart, FBytesLength);
  // Every byte is one character of the code page in the basic plane: one UTF-8 byte below 0x80,
  // two or three above.
  const bool skipControls = FFieldType != 1; // Byte leaves control bytes out
  const auto plain = [skipControls](unsigned char byte) {
    return byte < 0x80 && (byte >= 32 || !skipControls);
  };
  for (std::size_t i = 0; i < bytes.size();) {
    std::size_t end = i;
    while (end < bytes.size() && plain(static_cast<unsigned char>(bytes[end])))
      ++end;
    out.append(bytes.substr(i, end - i));
    if (end == bytes.size())
      break;
    i = end + 1;
    const auto byte = static_cast<unsigned char>(bytes[end]);
    if (byte < 0x80)
      continue; // a control byte of a Byte value
    const char16_t wide = NarrowToWide(byte);
    if (wide < 0x800) {
      out += static_cast<char>(0xC0 | (wide >> 6));
    } else {
      out += static_cast<char>(0xE0 | (wide >> 12));
      out += static_cast<char>(0x80 | ((wide >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (wide & 0x3F));
  }
}

const char* TTag::TypeName() const {
  static constexpr const char* Names[] = {
      "Byte",      "Ascii", "Short",  "Long", "Rational", "sByte",   "Undefined", "sShort", "sLong",
      "sRational", "Float", "Double", "IFD",  "Unknown",  "Unknown", "Long8",     "sLong8", "IFD8"};
  return FFieldType < std::size(Names) ? Names[FFieldType] : "Unknown";
}

std::string TTag::Description() const {
  if (!FHasNumber)
    throw EConvertError(std::string());
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

const TTag* TTiffPage::FindTag(std::uint16_t code) const {
  for (const TTag& tag : FTags.ReadTags())
    if (tag.Code() == code && tag.HasNumber())
      return &tag;
  return nullptr;
}

std::int32_t TTiffPage::Lookup(std::uint16_t code) const {
  const TTag* tag = FindTag(code);
  return tag ? StrToInt(ToUtf8(tag->Value())) : 1;
}

std::int32_t TTiffPage::ImageWidth() const {
  return Lookup(256);
}
std::int32_t TTiffPage::ImageLength() const {
  return Lookup(257);
}
std::int32_t TTiffPage::XResolution() const {
  return Lookup(282);
}
std::int32_t TTiffPage::YResolution() const {
  return Lookup(283);
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

void TTiffFile::Unload() {
  FFileName.clear();
  FPages.FItems.clear();
  FValueBytes.clear();
  FReadIssues.clear();
  FByteOrder = 0;
  FBigTiff = false;
  FFileSize = 0;
  FLoadStatus = TLoadStatus::None;
  FLoadError.clear();
}

void TTiffFile::SetFileName(const std::string& value, TFileKind kind, TListedName listed) {
  if (value == FFileName)
    return;
  // The open comes first and the existence test only after a failed one: a batch run over a
  // large tree saves a system call per file.
  std::optional<TFileReader> stream;
  try {
    stream.emplace(value, kind, std::move(FReadBuffer), listed);
  } catch (const EFOpenError&) {
    FLoadStatus = Absence(value, FLoadError);
    if (FLoadStatus != TLoadStatus::Failed)
      return;
    FFileName = value;
    throw;
  }
  FFileName = value;
  LoadFile(*stream);
  FReadBuffer = stream->TakeBuffer();
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
