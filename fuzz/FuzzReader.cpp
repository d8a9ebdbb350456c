// libFuzzer entry: arbitrary bytes through the whole reader and the Info listing of every page, in
// both display bases, as the main window, the print job and the batch run would touch them.

#include "ReportRows.h"
#include "cLodestar.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// The reader loads by path only, so every input goes through one file per process. /dev/shm keeps
// the writes off the disk where it exists.
const std::string& InputPath() {
  static const std::string path = [] {
    std::filesystem::path dir = "/dev/shm";
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec))
      dir = std::filesystem::temp_directory_path();
    return (dir / ("lodestar-fuzz-" + std::to_string(::getpid()) + ".tif")).string();
  }();
  return path;
}

void RemoveInputFile() {
  std::remove(InputPath().c_str());
}

bool WriteInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* out = std::fopen(InputPath().c_str(), "wb");
  if (!out)
    return false;
  bool ok = size == 0 || std::fwrite(data, 1, size, out) == size;
  return std::fclose(out) == 0 && ok;
}

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

// What a loaded file holds must stay within a small multiple of the file's size. An entry's own 12
// bytes give at most 11 characters of text ("-2147483648"); every further character comes from the
// file's bytes, so text beyond a few times the file means the same bytes were taken again and again
// (entries sharing one long value), and memory then grows with the square of the file's size.
void CheckTextVolume(const lodestar::TTiffFile& file, std::size_t inputSize) {
  constexpr std::size_t TextPerEntry = 16;
  constexpr std::size_t TimesInput = 4;
  std::size_t chars = 0;
  std::size_t tags = 0;
  for (const auto& page : file.Pages()) {
    for (const auto& tag : page.Tags()) {
      chars += tag.Value().size();
      ++tags;
    }
  }
  const std::size_t limit = TimesInput * inputSize + TextPerEntry * tags;
  if (chars > limit) {
    std::fprintf(stderr, "value texts of %zu characters from %zu bytes in %zu tags (limit %zu)\n",
                 chars, inputSize, tags, limit);
    std::abort();
  }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::atexit(RemoveInputFile);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!WriteInput(data, size)) {
    std::perror(InputPath().c_str());
    std::abort();
  }

  lodestar::TTiffFile file{[](const std::string&) {}};
  try {
    file.SetFileName(InputPath());
  } catch (const lodestar::ELodestarError&) {
    return 0;
  }

  CheckTextVolume(file, size);

  // A file without pages is still listed at page 1, where it reports "Input file wrong".
  const int lastPage = file.PageCount() > 0 ? file.PageCount() : 1;
  for (int page = 1; page <= lastPage; ++page) {
    for (auto base : {lodestar::TDisplayBase::Dec, lodestar::TDisplayBase::Hex})
      lodestar::BuildReportRows(file, page, base);
    if (const lodestar::TTiffPage* p = file.Pages().GetPage(page - 1))
      TouchLookups(*p);
  }
  return 0;
}
