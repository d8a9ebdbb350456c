// libFuzzer entry: arbitrary bytes through the reader, loaded from memory so that an input costs no
// file system call: every value text and the page look-ups of the status bar and the batch run.

#include "cLodestar.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

namespace {

// The status bar's page size and the batch run's look-ups raise EConvertError on odd value texts.
void TouchLookups(const lodestar::TTiffPage& page) {
  using Lookup = std::int32_t (lodestar::TTiffPage::*)() const;
  for (Lookup lookup : {&lodestar::TTiffPage::ImageWidth, &lodestar::TTiffPage::ImageLength,
                        &lodestar::TTiffPage::XResolution, &lodestar::TTiffPage::YResolution}) {
    try {
      (page.*lookup)();
    } catch (const lodestar::ELodestarError&) {
    }
  }
}

// A loaded file holds its value bytes once, however many entries name them: more than the input
// means bytes were taken again and again, and memory would grow with the square of the file.
void CheckValueBytes(const lodestar::TTiffFile& file, std::size_t inputSize) {
  if (file.ValueBytes().size() > inputSize) {
    std::fprintf(stderr, "value bytes of %zu from an input of %zu\n", file.ValueBytes().size(),
                 inputSize);
    std::abort();
  }
}

// Sub-directories: every description from its own table, and no more directories than the
// input could hold entry tables for.
void TouchDirectories(const std::vector<lodestar::TTiffDirectory>& directories,
                      std::size_t& count) {
  for (const lodestar::TTiffDirectory& directory : directories) {
    ++count;
    for (const lodestar::TTag& tag : directory.Tags().ReadTags()) {
      try {
        (void)tag.Description();
      } catch (const lodestar::EConvertError&) {
        // An entry cut by the end of the file is blank, as in a page.
      }
    }
    TouchDirectories(directory.SubDirectories(), count);
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lodestar::TTiffFile file{[](const std::string&) {}};
  try {
    file.LoadFromMemory("input.tif", std::span(data, size));
  } catch (const lodestar::ELodestarError&) {
    return 0;
  }
  CheckValueBytes(file, size);
  // Entries sharing one long value make building every text cost the square of the input, which
  // tests nothing new after the first few: once as many characters as the input has bytes are
  // built, only the texts that are not built from the shared bytes are.
  const std::size_t textBudget = size;
  std::size_t built = 0;
  for (const lodestar::TTiffPage& page : file.Pages()) {
    for (const lodestar::TTag& tag : page.Tags().ReadTags()) {
      const bool fromBytes = tag.FieldType() <= 1; // Byte, Ascii
      if (fromBytes && built > textBudget)
        continue;
      const std::size_t length = tag.Value().size();
      // An input of n bytes yields at most n characters a tag.
      if (length > size + 16)
        std::abort();
      built += length;
    }
    TouchLookups(page);
    // The keys' texts together stay within a budget linear in the input (three tags may share
    // its bytes).
    std::size_t keyText = 0;
    for (const lodestar::TGeoKey& key : page.GeoKeys())
      keyText += key.Value.size();
    if (keyText > 12 * size + 4096 + page.GeoKeys().size())
      std::abort();
  }
  std::size_t directories = 0;
  for (const lodestar::TTiffPage& page : file.Pages())
    TouchDirectories(page.SubDirectories(), directories);
  // Entry tables never overlap and take at least 6 bytes each.
  if (directories > size / 6 + 1)
    std::abort();
  return 0;
}
