// Writes the sample TIFF that ships with Lodestar: three blank pages of a scanned document, each
// with the tags a document scanner writes. Regenerate it with `make-sample samples/sample.tif`.

#include "TiffBuilder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

using lodestar::test::TEntryDraft;
using lodestar::test::TTiffBuilder;

struct TSamplePage {
  std::uint32_t Width;
  std::uint32_t Length;
  std::uint32_t Dpi;
  std::string Description;
  std::string DateTime;
};

// A blank page in CCITT Group 4: with an all-white reference line every white row codes as one
// vertical-mode V0 bit "1"; the end-of-facsimile block is two 12-bit EOL codes.
std::vector<std::uint8_t> BlankG4Strip(std::uint32_t rows) {
  std::vector<std::uint8_t> bytes((rows + 24 + 7) / 8, 0);
  auto setBit = [&bytes](std::uint32_t bit) {
    bytes[bit / 8] |= static_cast<std::uint8_t>(0x80u >> (bit % 8)); // FillOrder 1: high bit first
  };
  for (std::uint32_t row = 0; row < rows; ++row)
    setBit(row);
  setBit(rows + 11);
  setBit(rows + 23);
  return bytes;
}

void Replace(std::vector<TEntryDraft>& entries, const TEntryDraft& entry) {
  auto it = std::find_if(entries.begin(), entries.end(),
                         [&entry](const TEntryDraft& e) { return e.Tag == entry.Tag; });
  *it = entry;
}

TTiffBuilder BuildSample() {
  const std::string nul(1, '\0');
  const std::vector<TSamplePage> pages = {
      {2480, 3508, 300, "Invoice 2026-0417, A4", "2026:11:30 09:14:02"},
      {2550, 3300, 300, "Delivery note, US Letter", "2026:11:30 09:14:09"},
      {1654, 2339, 200, "Reply form, A4 draft quality", "2026:11:30 09:14:15"},
  };

  TTiffBuilder b;
  b.Header(0);
  std::vector<std::vector<TEntryDraft>> directories;
  for (const TSamplePage& page : pages) {
    const std::vector<std::uint8_t> strip = BlankG4Strip(page.Length);
    const auto stripPos = static_cast<std::uint32_t>((b.Size() + 1) & ~std::size_t(1));
    b.Raw(stripPos, strip);

    std::vector<TEntryDraft> entries =
        lodestar::test::ScanPage(b, page.Width, page.Length, page.Dpi, "ScanStation 4.2");
    Replace(entries, b.AsciiEntry(270, page.Description + nul));
    Replace(entries, b.AsciiEntry(306, page.DateTime + nul));
    Replace(entries, b.LongEntry(273, stripPos));
    Replace(entries, b.LongEntry(279, static_cast<std::uint32_t>(strip.size())));
    directories.push_back(std::move(entries));
  }
  b.Pages(directories);
  return b;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-sample OUTPUT\n");
    return 2;
  }
  try {
    BuildSample().Save(argv[1]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make-sample: error: %s\n", error.what());
    return 1;
  }
  return 0;
}
