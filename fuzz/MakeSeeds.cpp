// Writes the builder-made part of the fuzz seed corpus: small files that each reach one branch of
// the reader (both byte orders, every field type, chains that loop, entries and values past the
// end), so the fuzzer starts from every corner instead of having to find the header first.
//
//   make-fuzz-seeds DIR

#include "TiffBuilder.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace lodestar::test;

namespace {

const std::string Nul(1, '\0');

TTiffBuilder OnePageScan(TByteOrder order) {
  TTiffBuilder b(order);
  b.Pages({ScanPage(b, 1728, 2200, 200, "Lodestar seeds")});
  return b;
}

TTiffBuilder TwoPageScan(TByteOrder order) {
  TTiffBuilder b(order);
  b.Pages({ScanPage(b, 1728, 2200, 200, "Lodestar seeds"),
           ScanPage(b, 2480, 3508, 300, "Lodestar seeds")});
  return b;
}

TTiffBuilder EmptyDirectory(TByteOrder order) {
  TTiffBuilder b(order);
  b.Header(8);
  b.Directory(8, {}, 0);
  return b;
}

TTiffBuilder NoPages() {
  TTiffBuilder b;
  b.Header(0);
  return b;
}

// The second directory names the first as its successor.
TTiffBuilder LoopBackToFirst() {
  TTiffBuilder b;
  b.Header(8);
  std::size_t end = b.Directory(8, {b.ShortEntry(256, 64), b.ShortEntry(257, 32)}, 0);
  std::size_t second = (end + 1) & ~std::size_t(1);
  b.U32(8 + 2 + 12 * 2, static_cast<std::uint32_t>(second));
  b.Directory(second, {b.ShortEntry(256, 32)}, 8);
  return b;
}

// Five entries announced, two present: the rest lie past the end and the next offset is missing.
TTiffBuilder EntriesPastEnd(TByteOrder order) {
  TTiffBuilder b(order);
  b.Header(8);
  b.Directory(8, {b.ShortEntry(256, 64), b.ShortEntry(257, 32), b.ShortEntry(258, 8),
                  b.ShortEntry(259, 1), b.ShortEntry(262, 1)});
  b.Truncate(8 + 2 + 12 * 2);
  return b;
}

TEntryDraft DoubleOne(const TTiffBuilder& b) {
  TEntryDraft e = b.BytesEntry(50004, Double,
                               b.Order() == TByteOrder::Big
                                   ? std::vector<std::uint8_t>{0x3F, 0xF0, 0, 0, 0, 0, 0, 0}
                                   : std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0xF0, 0x3F});
  e.Count = 1;
  return e;
}

// One entry of every type the reader names, with values both in the field and elsewhere, plus the
// codes around them (0 wraps to 255, 13 is unknown).
TTiffBuilder AllTypes(TByteOrder order) {
  TTiffBuilder b(order);
  const std::vector<std::uint8_t> eight = {0x41, 0x00, 0x7F, 0x80, 0x81, 0xFF, 0x20, 0x09};
  b.Pages({{
      b.BytesEntry(269, Byte, {0x41, 0x42}),
      b.BytesEntry(270, Byte, eight),
      b.AsciiEntry(271, "abc" + Nul),
      b.AsciiEntry(272, "A longer text, stored after the directory" + Nul),
      b.AsciiEntry(305, "no terminating NUL here"),
      b.ShortEntry(256, 640),
      b.ShortEntry(258, 8, 2),
      b.ShortEntry(273, 1, 3),
      b.LongEntry(257, 480),
      b.LongEntry(279, 99, 4),
      b.RationalEntry(282, 300, 1),
      b.RationalEntry(283, 2, 3),
      b.RationalEntry(284, 1, 0),
      b.BytesEntry(33432, SByte, {0xFF, 0x01}),
      b.BytesEntry(37500, Undefined, eight),
      b.ShortEntry(50000, 0xFFFF, 1, SShort),
      b.LongEntry(50001, 0xFFFFFFFF, 1, SLong),
      b.RationalEntry(50002, 0xFFFFFFFF, 3, {}, SRational),
      b.LongEntry(50003, 0x3F800000, 1, Float),
      DoubleOne(b),
      b.RawEntry(50005, 0, 1, 7),
      b.RawEntry(50006, 13, 1, 7),
  }});
  return b;
}

// Counts far beyond the file, and offsets with the top bit set, which name no position.
TTiffBuilder BogusCountsAndOffsets(TByteOrder order) {
  TTiffBuilder b(order);
  b.Pages({{
      b.RawEntry(256, Short, 0x7FFFFFFF, 16),
      b.RawEntry(257, Long, 0xFFFFFFFF, 16),
      b.RawEntry(270, Ascii, 0x80000000, 0x80000010),
      b.RawEntry(282, Rational, 1, 0xFFFFFFF0),
      b.RawEntry(37500, Byte, 0x00100000, 8),
      b.RawEntry(305, Ascii, 40, 0x7FFFFFF0),
  }});
  b.U32(b.Size() - 4, 0xFFFFFFF0); // the next offset of the only directory
  return b;
}

// An "Ascii" value longer than 255 bytes, read whole.
TTiffBuilder LongAscii() {
  TTiffBuilder b;
  b.Pages({{b.AsciiEntry(270, std::string(300, 'x') + Nul)}});
  return b;
}

// The first-directory offset points into the header itself.
TTiffBuilder DirectoryInHeader() {
  TTiffBuilder b(TByteOrder::Big);
  b.Header(2);
  b.Truncate(8);
  return b;
}

// Inputs that once cost far more than their size, kept so that every run tries them again: 300
// entries naming one shared 400-byte value with a count of 1 MiB (memory that grew with the square
// of the file), and a directory claiming 65,535 entries in a 14-byte file (tens of thousands of
// blank tags per input).
TTiffBuilder SharedValue() {
  TTiffBuilder b;
  b.Header(8).Directory(8, std::vector<TEntryDraft>(300, b.RawEntry(270, Ascii, 1 << 20, 3620)));
  b.Raw(3620, std::string(400, 's'));
  return b;
}

TTiffBuilder ClaimedEntries() {
  TTiffBuilder b;
  b.Header(8).U16(8, 0xFFFF).Truncate(14);
  return b;
}

// A camera's page: Exif with an Interoperability directory, GPS with Rational triples.
TTiffBuilder ExifAndGps(TByteOrder order) {
  TTiffBuilder b(order);
  b.Header(8).Directory(8,
                        {b.ShortEntry(256, 64), b.LongEntry(34665, 100), b.LongEntry(34853, 200)});
  b.Directory(100,
              {b.AsciiEntry(36867, "2026:01:02 03:04:05" + Nul, 160u), b.LongEntry(40965, 300)});
  b.Directory(200, {b.AsciiEntry(1, "N" + Nul), b.ArrayEntry(2, Rational, 4, {51, 1, 30, 1, 7, 2}),
                    b.AsciiEntry(29, "2026:01:02" + Nul)});
  b.Directory(300, {b.AsciiEntry(1, "R98" + Nul)});
  return b;
}

// Two listed SubIFDs, the first with a chain member and an Exif directory of its own, and one
// pointing back at the page.
TTiffBuilder SubIfdChain() {
  TTiffBuilder b;
  b.Header(8).Directory(8, {b.ShortEntry(256, 64), b.ArrayEntry(330, Long, 4, {100, 200, 8})});
  b.Directory(100, {b.ShortEntry(256, 32), b.LongEntry(34665, 300)}, 150);
  b.Directory(150, {b.ShortEntry(256, 16)});
  b.Directory(200, {b.ShortEntry(256, 8), b.LongEntry(330, 200, 1, Ifd)});
  b.Directory(300, {b.RationalEntry(33434, 1, 250)});
  return b;
}

// GeoTIFF keys inline, in doubles and in characters.
TTiffBuilder GeoKeys(TByteOrder order) {
  TTiffBuilder b(order);
  const std::uint64_t half = 0x3FE0000000000000, semiMajor = 0x415854A640000000;
  b.Header(8).Directory(
      8, {b.ShortEntry(256, 64),
          b.ArrayEntry(34735, Short, 2, {1, 1, 0,    4,     1024, 0, 1,    2,     2057, 34736,
                                         1, 1, 1026, 34737, 7,    0, 3092, 34736, 1,    0}),
          b.ArrayEntry(34736, Double, 8, {half, semiMajor}), b.AsciiEntry(34737, "WGS 84|" + Nul)});
  return b;
}

// Every BigTIFF type and layout: inline values, data past the directory, a SubIFD through IFD8.
TTiffBuilder BigTiff(TByteOrder order) {
  TTiffBuilder b(order);
  b.BigHeader(16);
  b.Directory(16, {b.ShortEntry(256, 300), b.Long8Entry(257, (1ull << 40) + 5),
                   b.Long8Entry(258, ~0ull, SLong8), b.AsciiEntry(269, "ABCDEFG" + Nul),
                   b.AsciiEntry(270, "Hello, BigTIFF" + Nul),
                   b.ArrayEntry(282, Rational, 4, {7, 2}), b.Long8Entry(330, 400, Ifd8)});
  b.Directory(400, {b.ShortEntry(256, 5), b.Long8Entry(34665, 480, Long8)});
  b.Directory(480, {b.AsciiEntry(36867, "2026:01:02 03:04:05" + Nul)});
  return b;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::filesystem::create_directories(dir);

  const std::vector<std::pair<std::string, TTiffBuilder>> seeds = {
      {"le-one-page-scan.tif", OnePageScan(TByteOrder::Little)},
      {"be-one-page-scan.tif", OnePageScan(TByteOrder::Big)},
      {"le-two-page-scan.tif", TwoPageScan(TByteOrder::Little)},
      {"le-empty-directory.tif", EmptyDirectory(TByteOrder::Little)},
      {"be-empty-directory.tif", EmptyDirectory(TByteOrder::Big)},
      {"le-no-pages.tif", NoPages()},
      {"le-loop-back-to-first-ifd.tif", LoopBackToFirst()},
      {"le-entries-past-end.tif", EntriesPastEnd(TByteOrder::Little)},
      {"be-entries-past-end.tif", EntriesPastEnd(TByteOrder::Big)},
      {"le-all-types.tif", AllTypes(TByteOrder::Little)},
      {"be-all-types.tif", AllTypes(TByteOrder::Big)},
      {"le-bogus-counts-and-offsets.tif", BogusCountsAndOffsets(TByteOrder::Little)},
      {"be-bogus-counts-and-offsets.tif", BogusCountsAndOffsets(TByteOrder::Big)},
      {"le-long-ascii.tif", LongAscii()},
      {"be-directory-in-header.tif", DirectoryInHeader()},
      {"blowup-shared-value.tif", SharedValue()},
      {"blowup-claimed-entries.tif", ClaimedEntries()},
      {"le-exif-gps.tif", ExifAndGps(TByteOrder::Little)},
      {"be-exif-gps.tif", ExifAndGps(TByteOrder::Big)},
      {"le-subifd-chain.tif", SubIfdChain()},
      {"le-geokeys.tif", GeoKeys(TByteOrder::Little)},
      {"be-geokeys.tif", GeoKeys(TByteOrder::Big)},
      {"le-bigtiff.tif", BigTiff(TByteOrder::Little)},
      {"be-bigtiff.tif", BigTiff(TByteOrder::Big)},
  };
  for (const auto& [name, builder] : seeds)
    builder.Save((dir / name).string());
  return 0;
}
