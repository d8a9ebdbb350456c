#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lodestar::test {

enum class TByteOrder { Little, Big };

// TIFF type codes as stored in an entry.
enum TTiffType : std::uint16_t {
  Byte = 1,
  Ascii = 2,
  Short = 3,
  Long = 4,
  Rational = 5,
  SByte = 6,
  Undefined = 7,
  SShort = 8,
  SLong = 9,
  SRational = 10,
  Float = 11,
  Double = 12,
};

// One directory entry as it will be written. Field is the 4-byte value field in file order;
// Data, when not empty, is written elsewhere (at DataPos, or after the directory) and Field then
// becomes its offset.
struct TEntrySpec {
  std::uint16_t Tag = 0;
  std::uint16_t Type = 0;
  std::uint32_t Count = 0;
  std::vector<std::uint8_t> Field = {0, 0, 0, 0};
  std::vector<std::uint8_t> Data;
  std::optional<std::uint32_t> DataPos;
};

// Writes TIFF bytes for tests: either byte order, directories and values at chosen positions,
// any counts and types, truncation and arbitrary chains. Writing past the end grows the file
// with zero bytes.
class TTiffBuilder {
public:
  explicit TTiffBuilder(TByteOrder order = TByteOrder::Little) : FOrder(order) {}

  TByteOrder Order() const { return FOrder; }
  std::size_t Size() const { return FBytes.size(); }
  const std::vector<std::uint8_t>& Bytes() const { return FBytes; }
  std::string Text() const { return std::string(FBytes.begin(), FBytes.end()); }

  // Raw writes in the builder's byte order.
  TTiffBuilder& U8(std::size_t pos, std::uint8_t v);
  TTiffBuilder& U16(std::size_t pos, std::uint16_t v);
  TTiffBuilder& U32(std::size_t pos, std::uint32_t v);
  TTiffBuilder& Raw(std::size_t pos, const std::vector<std::uint8_t>& bytes);
  TTiffBuilder& Raw(std::size_t pos, const std::string& bytes);
  TTiffBuilder& Truncate(std::size_t size);

  // "II" or "MM", the magic and the first-directory offset.
  TTiffBuilder& Header(std::uint32_t firstIfd = 8, std::uint16_t magic = 42);

  // Writes a directory at pos: count, entries, next offset. Entry data without a position is
  // placed after the directory (word aligned). Returns the end of what was written.
  std::size_t Directory(std::size_t pos, const std::vector<TEntrySpec>& entries,
                        std::uint32_t next = 0);

  // Appends pages after everything written so far and links them into a chain from the header.
  // Writes the header when the file is still empty.
  TTiffBuilder& Pages(const std::vector<std::vector<TEntrySpec>>& pages);

  // Entry makers; the value field is encoded in the builder's byte order.
  TEntrySpec ShortEntry(std::uint16_t tag, std::uint16_t value, std::uint32_t count = 1,
                        std::uint16_t type = Short) const;
  TEntrySpec LongEntry(std::uint16_t tag, std::uint32_t value, std::uint32_t count = 1,
                       std::uint16_t type = Long) const;
  // text is written as given; add the terminating NUL yourself ("abc" + std::string(1, '\0')).
  // Up to 4 bytes stand in the value field, longer ones at dataPos or after the directory.
  TEntrySpec AsciiEntry(std::uint16_t tag, const std::string& text,
                        std::optional<std::uint32_t> dataPos = {}) const;
  TEntrySpec RationalEntry(std::uint16_t tag, std::uint32_t numerator, std::uint32_t denominator,
                           std::optional<std::uint32_t> dataPos = {},
                           std::uint16_t type = Rational) const;
  TEntrySpec BytesEntry(std::uint16_t tag, std::uint16_t type,
                        const std::vector<std::uint8_t>& bytes,
                        std::optional<std::uint32_t> dataPos = {}) const;
  // Any type and count with a raw 32-bit value field.
  TEntrySpec RawEntry(std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                      std::uint32_t field) const;

  // Writes the bytes to path; returns path.
  std::string Save(const std::string& path) const;

private:
  std::vector<std::uint8_t> Encode16(std::uint16_t v) const;
  std::vector<std::uint8_t> Encode32(std::uint32_t v) const;
  void Grow(std::size_t size);

  TByteOrder FOrder;
  std::vector<std::uint8_t> FBytes;
  std::size_t FLastNextField = 4; // where the next page's offset goes
};

// A realistic page of a scanned document: size, compression, resolution, strips, texts.
std::vector<TEntrySpec> ScanPage(const TTiffBuilder& b, std::uint32_t width, std::uint32_t length,
                                 std::uint32_t dpi, const std::string& software);

} // namespace lodestar::test
