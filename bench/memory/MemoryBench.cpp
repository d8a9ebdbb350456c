// Memory and time of loading files whose entries claim far more value bytes than the file holds:
//   spread: 10,000 "Ascii" entries, each counting 1 MiB, at 10,000 different offsets of a 1 MiB
//   file shared: 65,535 "Ascii" entries, all counting the same 1 MiB value
//
//   memory-bench DIR        writes DIR/spread.tif and DIR/shared.tif
//   memory-bench FILE RUNS  loads FILE RUNS times in this process and prints one line:
//                           file size, best load time, peak resident memory before and after

#include "TiffBuilder.h"
#include "cLodestar.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <vector>

using namespace lodestar::test;

namespace {

constexpr std::uint32_t MiB = 1 << 20;

long PeakKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss; // KiB on Linux
}

void WriteFiles(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  const std::string text(MiB, 'v');

  TTiffBuilder spread;
  std::vector<TEntryDraft> entries;
  for (std::uint32_t i = 0; i < 10000; ++i)
    entries.push_back(spread.RawEntry(270, Ascii, MiB, 131072 + i * 90));
  spread.Header(8).Directory(8, entries);
  spread.Raw(131072, text).Truncate(MiB);
  spread.Save((dir / "spread.tif").string());

  TTiffBuilder shared;
  const std::uint32_t value = 8 + 2 + 12 * 65535 + 4;
  shared.Header(8).Directory(
      8, std::vector<TEntryDraft>(65535, shared.RawEntry(270, Ascii, MiB, value)));
  shared.Raw(value, text);
  shared.Save((dir / "shared.tif").string());
}

} // namespace

int main(int argc, char** argv) {
  if (argc == 2) {
    WriteFiles(argv[1]);
    return 0;
  }
  if (argc != 3 || std::atoi(argv[2]) < 1) {
    std::fprintf(stderr, "usage: %s DIR | %s FILE RUNS\n", argv[0], argv[0]);
    return 2;
  }
  const std::string path = argv[1];
  const int runs = std::atoi(argv[2]);
  const long before = PeakKiB();
  double best = 1e9;
  std::size_t valueBytes = 0, tags = 0;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    lodestar::TTiffFile file;
    file.SetFileName(path);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
    valueBytes = file.ValueBytes().size();
    tags = 0;
    for (const lodestar::TTiffPage& page : file.Pages())
      tags += static_cast<std::size_t>(page.Tags().Count());
  }
  std::printf("%s: %.2f MiB file, %zu tags, %.2f MiB value bytes, load %.1f ms (best of %d), "
              "peak memory %.1f MiB (%.1f MiB before loading)\n",
              std::filesystem::path(path).filename().c_str(),
              double(std::filesystem::file_size(path)) / MiB, tags, double(valueBytes) / MiB, best,
              runs, double(PeakKiB()) / 1024, double(before) / 1024);
  return 0;
}
