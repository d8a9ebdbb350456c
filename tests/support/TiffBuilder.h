#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lodestar::test {

enum class TByteOrder { Little, Big };

// TIFF type codes as stored in an entry.
constexpr std::uint16_t Byte = 1, Ascii = 2, Short = 3, Long = 4, Rational = 5, SByte = 6,
                        Undefined = 7, SShort = 8, SLong = 9, SRational = 10, Float = 11,
                        Double = 12, Ifd = 13, Long8 = 16, SLong8 = 17, Ifd8 = 18;

// One directory entry. Field is the value field in file order; non-empty Data is written at DataPos
// (or after the directory) and Field then becomes its offset.
struct TEntryDraft {
  std::uint16_t Tag = 0;
  std::uint16_t Type = 0;
  std::uint32_t Count = 0;
  std::vector<std::uint8_t> Field = {0, 0, 0, 0};
  std::vector<std::uint8_t> Data;
  std::optional<std::uint32_t> DataPos;
};

// Writes TIFF bytes in either byte order, classic or BigTIFF (after BigHeader): directories and
// values at chosen positions, any counts and types, truncation, any chain. Writing past the end
// grows the file with zero bytes. In BigTIFF, value fields are 8 bytes: a 4-byte Field is padded
// with zeros after it, and data offsets take all 8.
class TTiffBuilder {
public:
  explicit TTiffBuilder(TByteOrder order = TByteOrder::Little) : FOrder(order) {}
  TByteOrder Order() const { return FOrder; }
  std::size_t Size() const { return FBytes.size(); }
  const std::vector<std::uint8_t>& Bytes() const { return FBytes; }

  TTiffBuilder& U16(std::size_t pos, std::uint16_t v) { return Raw(pos, Encode(v, 2)); }
  TTiffBuilder& U32(std::size_t pos, std::uint32_t v) { return Raw(pos, Encode(v, 4)); }
  TTiffBuilder& U64(std::size_t pos, std::uint64_t v) { return Raw(pos, Encode(v, 8)); }
  TTiffBuilder& Raw(std::size_t pos, const std::vector<std::uint8_t>& bytes) {
    FBytes.resize(std::max(FBytes.size(), pos + bytes.size()), 0);
    std::copy(bytes.begin(), bytes.end(), FBytes.begin() + static_cast<std::ptrdiff_t>(pos));
    return *this;
  }
  TTiffBuilder& Raw(std::size_t pos, const std::string& bytes) {
    return Raw(pos, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  }
  TTiffBuilder& Truncate(std::size_t size) {
    FBytes.resize(size);
    return *this;
  }

  // "II" or "MM", the magic and the first-directory offset.
  TTiffBuilder& Header(std::uint32_t firstIfd = 8, std::uint16_t magic = 42) {
    FLastNextField = 4;
    return U16(0, FOrder == TByteOrder::Big ? 0x4D4D : 0x4949).U16(2, magic).U32(4, firstIfd);
  }

  // "II" or "MM", 43, offset size 8, reserved 0 and the first-directory offset; directories
  // written after it are BigTIFF's.
  TTiffBuilder& BigHeader(std::uint64_t firstIfd = 16) {
    FBig = true;
    FLastNextField = 8;
    return U16(0, FOrder == TByteOrder::Big ? 0x4D4D : 0x4949)
        .U16(2, 43)
        .U16(4, 8)
        .U16(6, 0)
        .U64(8, firstIfd);
  }
  bool IsBig() const { return FBig; }

  // Writes a directory at pos: count, entries, next offset. Entry data without a position is
  // placed after the directory (word aligned). Returns the end of what was written.
  std::size_t Directory(std::size_t pos, const std::vector<TEntryDraft>& entries,
                        std::uint64_t next = 0);

  // Appends pages after all written so far, chained from the header (written first if missing).
  TTiffBuilder& Pages(const std::vector<std::vector<TEntryDraft>>& pages);

  TEntryDraft ShortEntry(std::uint16_t tag, std::uint16_t value, std::uint32_t count = 1,
                         std::uint16_t type = Short) const {
    return LongEntry(tag, FOrder == TByteOrder::Big ? std::uint32_t(value) << 16 : value, count,
                     type);
  }
  TEntryDraft LongEntry(std::uint16_t tag, std::uint32_t value, std::uint32_t count = 1,
                        std::uint16_t type = Long) const {
    return {tag, type, count, Encode(value, 4), {}, {}};
  }
  // text as given, with its NUL if wanted; more than 4 bytes go to dataPos or after the directory.
  TEntryDraft AsciiEntry(std::uint16_t tag, const std::string& text,
                         std::optional<std::uint32_t> dataPos = {}) const {
    return BytesEntry(tag, Ascii, std::vector<std::uint8_t>(text.begin(), text.end()), dataPos);
  }
  TEntryDraft RationalEntry(std::uint16_t tag, std::uint32_t numerator, std::uint32_t denominator,
                            std::optional<std::uint32_t> dataPos = {},
                            std::uint16_t type = Rational) const {
    TEntryDraft e{tag, type, 1, {0, 0, 0, 0}, Encode(numerator, 4), dataPos};
    for (std::uint8_t byte : Encode(denominator, 4))
      e.Data.push_back(byte);
    return e;
  }
  TEntryDraft BytesEntry(std::uint16_t tag, std::uint16_t type,
                         const std::vector<std::uint8_t>& bytes,
                         std::optional<std::uint32_t> dataPos = {}) const {
    TEntryDraft e{tag, type, static_cast<std::uint32_t>(bytes.size()), bytes, {}, dataPos};
    if (bytes.size() > (FBig ? 8u : 4u) || dataPos)
      std::swap(e.Field, e.Data); // the field will hold the data's offset
    e.Field.resize(FBig ? 8 : 4, 0);
    return e;
  }
  // One 64-bit value filling a BigTIFF value field.
  TEntryDraft Long8Entry(std::uint16_t tag, std::uint64_t value, std::uint16_t type = Long8) const {
    return {tag, type, 1, Encode(value, 8), {}, {}};
  }
  // Values of size bytes each (2, 4 or 8) as one entry: in the field when they fit, else after
  // the directory.
  TEntryDraft ArrayEntry(std::uint16_t tag, std::uint16_t type, std::size_t size,
                         const std::vector<std::uint64_t>& values) const {
    std::vector<std::uint8_t> bytes;
    for (std::uint64_t v : values)
      for (std::uint8_t byte : Encode(v, size))
        bytes.push_back(byte);
    TEntryDraft e{tag, type, static_cast<std::uint32_t>(values.size()), bytes, {}, {}};
    if (bytes.size() > (FBig ? 8u : 4u))
      std::swap(e.Field, e.Data);
    return e;
  }
  // Any type and count with a raw 32-bit value field.
  TEntryDraft RawEntry(std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                       std::uint32_t field) const {
    return LongEntry(tag, field, count, type);
  }

  std::string Save(const std::string& path) const;

private:
  // The lowest size bytes of v in the builder's byte order.
  std::vector<std::uint8_t> Encode(std::uint64_t v, std::size_t size) const {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
      bytes[FOrder == TByteOrder::Big ? size - 1 - i : i] = static_cast<std::uint8_t>(v >> (8 * i));
    return bytes;
  }

  TByteOrder FOrder;
  std::vector<std::uint8_t> FBytes;
  std::size_t FLastNextField = 4; // where the next page's offset goes
  bool FBig = false;
};

// A realistic page of a scanned document: size, compression, resolution, strips, texts.
std::vector<TEntryDraft> ScanPage(const TTiffBuilder& b, std::uint32_t width, std::uint32_t length,
                                  std::uint32_t dpi, const std::string& software);

} // namespace lodestar::test
