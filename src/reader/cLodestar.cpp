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
  case 0: // Byte: the printable characters, built by Value(); up to 4 lie in the value field.
    if (FCount <= 4) {
      KeepBytesAt(stream, FValuePos, std::max(FCount, 0));
    } else {
      const std::int32_t offset = AsOffset(SwapLong(ReadLong(stream), big));
      FValueCut = FCount > MaxByteBytes;
      KeepBytesAt(stream, offset, std::min(FCount, MaxByteBytes));
    }
    break;
  case 1: { // Ascii: every byte, the terminating NUL and inner NULs included.
    if (FCount > 4)
      FValuePos = AsOffset(SwapLong(ReadLong(stream), big));
    FValueCut = FCount > MaxAsciiBytes;
    KeepBytesAt(stream, FValuePos, std::clamp(FCount, 0, MaxAsciiBytes));
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

void TTag::KeepBytesAt(const TFileReader& stream, std::int64_t offset, std::int64_t length) {
  // Bytes past the end of the file contribute nothing, as a short read would give.
  const std::int64_t start = std::clamp<std::int64_t>(offset, 0, stream.Size());
  const std::int64_t end = offset < 0 ? 0 : std::min<std::int64_t>(offset + length, stream.Size());
  FFromBytes = true;
  FBytesStart = static_cast<std::uint32_t>(start);
  FBytesLength = static_cast<std::uint32_t>(std::max<std::int64_t>(end - start, 0));
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
  if (static_cast<std::size_t>(index) >= FItems.size())
    return &FBlank;
  return &FItems[static_cast<std::size_t>(index)];
}

TTag& TTags::Add(const TTiffFile* owner) {
  return FItems.emplace_back(owner);
}

void TTags::AddBlank(const TTiffFile* owner, int count) {
  FBlank = TTag(owner);
  FBlankCount += count;
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
    // Room for the entries that start inside the file; the rest are blank.
    FTags.Reserve(static_cast<int>(std::min<std::int64_t>(entryCount, (size - offset) / 12 + 1)));
    for (std::int64_t i = 0; i < entryCount; ++i) {
      const std::int64_t position = std::int64_t(offset) + 2 + 12 * i;
      if (position > size) {
        // One message for the directory: a crafted count must not raise thousands of boxes.
        FOwnerFile->Message("streamsize");
        FTags.AddBlank(FOwnerFile, static_cast<int>(entryCount - i));
        break;
      }
      FTags.Add(FOwnerFile).ReadEntry(stream, static_cast<std::int32_t>(position));
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
  FLoadError.clear();
  // Stays when the header raises.
  FLoadStatus = TLoadStatus::Failed;
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
  ReadValueBytes(stream);
  FLoadStatus = TLoadStatus::Loaded;
}

void TTiffFile::ReadValueBytes(TFileReader& stream) {
  // The ranges that values name, merged where they overlap or touch: many entries naming the
  // same bytes, or overlapping parts of them, cost those bytes once.
  struct TRun {
    std::int64_t FileStart, FileEnd, Start;
  };
  std::vector<TRun> runs;
  for (const TTiffPage& page : FPages)
    for (const TTag& tag : page.FTags.FItems)
      if (tag.FFromBytes && tag.FBytesLength > 0)
        runs.push_back({tag.FBytesStart, std::int64_t(tag.FBytesStart) + tag.FBytesLength, 0});
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

  std::int64_t total = 0;
  for (TRun& run : runs) {
    run.Start = total;
    total += run.FileEnd - run.FileStart;
  }
  FValueBytes.resize(static_cast<std::size_t>(total));
  for (TRun& run : runs) {
    stream.Seek(run.FileStart);
    const std::size_t wanted = static_cast<std::size_t>(run.FileEnd - run.FileStart);
    // A file cut while it loads gives fewer bytes; values then end where the bytes did.
    run.FileEnd = run.FileStart +
                  static_cast<std::int64_t>(stream.Read(FValueBytes.data() + run.Start, wanted));
  }

  for (TTiffPage& page : FPages.FItems) {
    for (TTag& tag : page.FTags.FItems) {
      if (!tag.FFromBytes)
        continue;
      const std::int64_t start = tag.FBytesStart;
      auto run = std::upper_bound(runs.begin(), runs.end(), start,
                                  [](std::int64_t at, const TRun& r) { return at < r.FileStart; });
      if (tag.FBytesLength == 0 || run == runs.begin()) {
        tag.FBytesStart = tag.FBytesLength = 0;
        continue;
      }
      --run;
      const std::int64_t end = std::min(start + tag.FBytesLength, run->FileEnd);
      tag.FBytesStart = static_cast<std::uint32_t>(run->Start + (start - run->FileStart));
      tag.FBytesLength = static_cast<std::uint32_t>(std::max<std::int64_t>(end - start, 0));
    }
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
