#include "TiffBuilder.h"

#include <fstream>
#include <stdexcept>

namespace lodestar::test {

void TTiffBuilder::Grow(std::size_t size) {
  if (FBytes.size() < size)
    FBytes.resize(size, 0);
}

std::vector<std::uint8_t> TTiffBuilder::Encode16(std::uint16_t v) const {
  if (FOrder == TByteOrder::Big)
    return {std::uint8_t(v >> 8), std::uint8_t(v)};
  return {std::uint8_t(v), std::uint8_t(v >> 8)};
}

std::vector<std::uint8_t> TTiffBuilder::Encode32(std::uint32_t v) const {
  if (FOrder == TByteOrder::Big)
    return {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
  return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
}

TTiffBuilder& TTiffBuilder::U8(std::size_t pos, std::uint8_t v) {
  return Raw(pos, std::vector<std::uint8_t>{v});
}
TTiffBuilder& TTiffBuilder::U16(std::size_t pos, std::uint16_t v) {
  return Raw(pos, Encode16(v));
}
TTiffBuilder& TTiffBuilder::U32(std::size_t pos, std::uint32_t v) {
  return Raw(pos, Encode32(v));
}

TTiffBuilder& TTiffBuilder::Raw(std::size_t pos, const std::vector<std::uint8_t>& bytes) {
  Grow(pos + bytes.size());
  std::copy(bytes.begin(), bytes.end(), FBytes.begin() + static_cast<std::ptrdiff_t>(pos));
  return *this;
}

TTiffBuilder& TTiffBuilder::Raw(std::size_t pos, const std::string& bytes) {
  return Raw(pos, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

TTiffBuilder& TTiffBuilder::Truncate(std::size_t size) {
  FBytes.resize(size);
  return *this;
}

TTiffBuilder& TTiffBuilder::Header(std::uint32_t firstIfd, std::uint16_t magic) {
  Raw(0, FOrder == TByteOrder::Big ? std::string("MM") : std::string("II"));
  U16(2, magic);
  U32(4, firstIfd);
  FLastNextField = 4;
  return *this;
}

std::size_t TTiffBuilder::Directory(std::size_t pos, const std::vector<TEntrySpec>& entries,
                                    std::uint32_t next) {
  U16(pos, static_cast<std::uint16_t>(entries.size()));
  std::size_t dataEnd = pos + 2 + 12 * entries.size() + 4;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const TEntrySpec& e = entries[i];
    std::size_t p = pos + 2 + 12 * i;
    U16(p, e.Tag);
    U16(p + 2, e.Type);
    U32(p + 4, e.Count);
    std::vector<std::uint8_t> field = e.Field;
    field.resize(4, 0);
    if (!e.Data.empty()) {
      std::size_t at;
      if (e.DataPos) {
        at = *e.DataPos;
      } else {
        at = (dataEnd + 1) & ~std::size_t(1);
        dataEnd = at + e.Data.size();
      }
      Raw(at, e.Data);
      field = Encode32(static_cast<std::uint32_t>(at));
    }
    Raw(p + 8, field);
  }
  FLastNextField = pos + 2 + 12 * entries.size();
  U32(FLastNextField, next);
  Grow(dataEnd);
  return dataEnd;
}

TTiffBuilder& TTiffBuilder::Pages(const std::vector<std::vector<TEntrySpec>>& pages) {
  if (FBytes.empty())
    Header(0);
  for (const auto& entries : pages) {
    std::size_t pos = (FBytes.size() + 1) & ~std::size_t(1);
    U32(FLastNextField, static_cast<std::uint32_t>(pos));
    Directory(pos, entries, 0);
  }
  return *this;
}

TEntrySpec TTiffBuilder::ShortEntry(std::uint16_t tag, std::uint16_t value, std::uint32_t count,
                                    std::uint16_t type) const {
  TEntrySpec e;
  e.Tag = tag;
  e.Type = type;
  e.Count = count;
  e.Field = Encode16(value);
  e.Field.resize(4, 0);
  return e;
}

TEntrySpec TTiffBuilder::LongEntry(std::uint16_t tag, std::uint32_t value, std::uint32_t count,
                                   std::uint16_t type) const {
  TEntrySpec e;
  e.Tag = tag;
  e.Type = type;
  e.Count = count;
  e.Field = Encode32(value);
  return e;
}

TEntrySpec TTiffBuilder::AsciiEntry(std::uint16_t tag, const std::string& text,
                                    std::optional<std::uint32_t> dataPos) const {
  return BytesEntry(tag, Ascii, std::vector<std::uint8_t>(text.begin(), text.end()), dataPos);
}

TEntrySpec TTiffBuilder::RationalEntry(std::uint16_t tag, std::uint32_t numerator,
                                       std::uint32_t denominator,
                                       std::optional<std::uint32_t> dataPos,
                                       std::uint16_t type) const {
  TEntrySpec e;
  e.Tag = tag;
  e.Type = type;
  e.Count = 1;
  e.Data = Encode32(numerator);
  auto den = Encode32(denominator);
  e.Data.insert(e.Data.end(), den.begin(), den.end());
  e.DataPos = dataPos;
  return e;
}

TEntrySpec TTiffBuilder::BytesEntry(std::uint16_t tag, std::uint16_t type,
                                    const std::vector<std::uint8_t>& bytes,
                                    std::optional<std::uint32_t> dataPos) const {
  TEntrySpec e;
  e.Tag = tag;
  e.Type = type;
  e.Count = static_cast<std::uint32_t>(bytes.size());
  if (bytes.size() <= 4 && !dataPos) {
    e.Field = bytes;
    e.Field.resize(4, 0);
  } else {
    e.Data = bytes;
    e.DataPos = dataPos;
  }
  return e;
}

TEntrySpec TTiffBuilder::RawEntry(std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                                  std::uint32_t field) const {
  TEntrySpec e;
  e.Tag = tag;
  e.Type = type;
  e.Count = count;
  e.Field = Encode32(field);
  return e;
}

std::string TTiffBuilder::Save(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(FBytes.data()),
            static_cast<std::streamsize>(FBytes.size()));
  if (!out)
    throw std::runtime_error("cannot write " + path);
  return path;
}

std::vector<TEntrySpec> ScanPage(const TTiffBuilder& b, std::uint32_t width, std::uint32_t length,
                                 std::uint32_t dpi, const std::string& software) {
  using std::string;
  const string nul(1, '\0');
  return {
      b.LongEntry(254, 2),                                   // NewSubfileType: page of a document
      b.ShortEntry(256, static_cast<std::uint16_t>(width)),  // ImageWidth
      b.ShortEntry(257, static_cast<std::uint16_t>(length)), // ImageLength
      b.ShortEntry(258, 1),                                  // BitsPerSample: bilevel
      b.ShortEntry(259, 4),                                  // Compression: CCITT G4
      b.ShortEntry(262, 0),                                  // Photometric: WhiteIsZero
      b.ShortEntry(266, 1),                                  // FillOrder
      b.AsciiEntry(269, "Archive box 17" + nul),             // DocumentName
      b.AsciiEntry(270, "Letter, 2 pages" + nul),            // ImageDescription
      b.LongEntry(273, 4096),                                // StripOffsets
      b.ShortEntry(274, 1),                                  // Orientation
      b.ShortEntry(277, 1),                                  // SamplesPerPixel
      b.LongEntry(278, length),                              // RowsPerStrip
      b.LongEntry(279, 1024),                                // StripByteCounts
      b.RationalEntry(282, dpi, 1),                          // XResolution
      b.RationalEntry(283, dpi, 1),                          // YResolution
      b.ShortEntry(296, 2),                                  // ResolutionUnit: inch
      b.AsciiEntry(305, software + nul),                     // Software
      b.AsciiEntry(306, "2026:11:30 09:14:02" + nul),        // DateTime
      b.AsciiEntry(315, "Records office" + nul),             // Artist
  };
}

} // namespace lodestar::test
