// Writes the reader's benchmark file: 10,000 pages of a scanned document, 20 tags a page, the
// values longer than 4 bytes stored after each directory as a scanner would.
//
//   make-bench-tiff FILE [PAGES]

#include "TiffBuilder.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace lodestar::test;

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s FILE [PAGES]\n", argv[0]);
    return 2;
  }
  const int pages = argc == 3 ? std::atoi(argv[2]) : 10000;
  if (pages < 1) {
    std::fprintf(stderr, "%s: PAGES must be a positive number\n", argv[0]);
    return 2;
  }

  TTiffBuilder b;
  std::vector<std::vector<TEntryDraft>> directories;
  directories.reserve(static_cast<std::size_t>(pages));
  for (int i = 0; i < pages; ++i) {
    // Alternate sizes and resolutions so that not every page is the same bytes.
    const bool a4 = i % 2 == 0;
    directories.push_back(ScanPage(b, a4 ? 2480 : 2550, a4 ? 3508 : 3300, a4 ? 300 : 200,
                                   "Lodestar bench page " + std::to_string(i + 1)));
  }
  b.Pages(directories);
  b.Save(argv[1]);
  return 0;
}
