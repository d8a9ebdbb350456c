#include "TiffBuilder.h"

#include <fstream>
#include <stdexcept>

namespace lodestar::test {

std::size_t TTiffBuilder::Directory(std::size_t pos, const std::vector<TEntryDraft>& entries,
                                    std::uint64_t next) {
  // Sizes of the entry count, an entry and an offset.
  const std::size_t countSize = FBig ? 8 : 2, entrySize = FBig ? 20 : 12, offsetSize = FBig ? 8 : 4;
  FLastNextField = pos + countSize + entrySize * entries.size();
  std::size_t dataEnd = FLastNextField + offsetSize;
  Raw(pos, Encode(entries.size(), countSize));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const TEntryDraft& e = entries[i];
    const std::size_t p = pos + countSize + entrySize * i;
    std::vector<std::uint8_t> field = e.Field;
    if (!e.Data.empty()) {
      const std::size_t at = e.DataPos.value_or((dataEnd + 1) & ~std::size_t(1));
      dataEnd = e.DataPos ? dataEnd : at + e.Data.size();
      field = Raw(at, e.Data).Encode(at, offsetSize);
    }
    field.resize(offsetSize, 0);
    U16(p, e.Tag)
        .U16(p + 2, e.Type)
        .Raw(p + 4, Encode(e.Count, offsetSize))
        .Raw(p + 4 + offsetSize, field);
  }
  Raw(FLastNextField, Encode(next, offsetSize));
  FBytes.resize(std::max(FBytes.size(), dataEnd), 0);
  return dataEnd;
}

TTiffBuilder& TTiffBuilder::Pages(const std::vector<std::vector<TEntryDraft>>& pages) {
  if (FBytes.empty())
    Header(0);
  for (const auto& entries : pages) {
    const std::size_t pos = (FBytes.size() + 1) & ~std::size_t(1);
    Raw(FLastNextField, Encode(pos, FBig ? 8 : 4)).Directory(pos, entries, 0);
  }
  return *this;
}

std::string TTiffBuilder::Save(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out.write(reinterpret_cast<const char*>(FBytes.data()), std::streamsize(FBytes.size())))
    throw std::runtime_error("cannot write " + path);
  return path;
}

std::vector<TEntryDraft> ScanPage(const TTiffBuilder& b, std::uint32_t width, std::uint32_t length,
                                  std::uint32_t dpi, const std::string& software) {
  const std::string nul(1, '\0');
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
