// libFuzzer entry: arbitrary bytes loaded from a file, as the window, the command line and the
// batch run load them, and everything built from a loaded file: the Info listing of every page in
// both display bases, the status bar's panels and the batch records of every page with all nine
// default search items, trimmed and not. The same bytes loaded from memory must give the same
// messages, error and tags.

#include "CodePage.h"
#include "ReportRows.h"
#include "StatusPanels.h"
#include "TBatchEngine.h"
#include "TSearchList.h"
#include "cLodestar.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// One file per process; /dev/shm keeps the writes off the disk where it exists.
const std::string& InputPath() {
  static const std::string path = [] {
    std::filesystem::path dir = "/dev/shm";
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec))
      dir = std::filesystem::temp_directory_path();
    return (dir / ("lodestar-fuzz-views-" + std::to_string(::getpid()) + ".tif")).string();
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

// What a load gave: the messages, the error raised and every tag's fields and text.
struct TOutcome {
  std::vector<std::string> Messages;
  std::optional<std::string> Error;
  std::vector<std::string> Tags;

  bool operator==(const TOutcome&) const = default;
};

std::string Fields(const lodestar::TTag& tag) {
  return tag.TagNumber() + ' ' + std::to_string(tag.FieldType()) + ' ' +
         std::to_string(tag.Count()) + ' ' + std::to_string(tag.EntryPos()) + ' ' +
         std::to_string(tag.ValuePos()) + ' ' + lodestar::ToUtf8(tag.Value());
}

template <typename Load> void Outcome(lodestar::TTiffFile& file, TOutcome& outcome, Load load) {
  try {
    load();
  } catch (const lodestar::ELodestarError& error) {
    outcome.Error = error.what();
  }
  for (const lodestar::TTiffPage& page : file.Pages()) {
    // The blank tags past the end of the file are counted, not held.
    outcome.Tags.push_back(std::to_string(page.Tags().Count()));
    for (const lodestar::TTag& tag : page.Tags().ReadTags())
      outcome.Tags.push_back(Fields(tag));
  }
}

lodestar::TRecordOptions DefaultItems(bool trim) {
  lodestar::TRecordOptions options;
  options.TrimValue = trim;
  options.TickedItems = lodestar::DefaultSearchItemTexts();
  return options;
}

void BuildViews(const lodestar::TTiffFile& file) {
  static const lodestar::TRecordOptions Trimmed = DefaultItems(true), Whole = DefaultItems(false);
  (void)lodestar::FileNamePanelText(file.FileName());
  // A file without pages is still listed at page 1, where it reports "Input file wrong".
  const int lastPage = file.PageCount() > 0 ? file.PageCount() : 1;
  for (int page = 1; page <= lastPage; ++page) {
    for (auto base : {lodestar::TDisplayBase::Dec, lodestar::TDisplayBase::Hex})
      lodestar::BuildReportRows(file, page, base);
    (void)lodestar::PagePanelText(page, file.PageCount());
    try {
      (void)lodestar::PageSizePanelText(file, page, ",");
    } catch (const std::exception&) {
      // EConvertError and EZeroDivide reach the default error report.
    }
    if (const lodestar::TTiffPage* p = file.Pages().GetPage(page - 1)) {
      (void)lodestar::TBatchEngine::GetTagValues(*p, Trimmed);
      (void)lodestar::TBatchEngine::GetTagValues(*p, Whole);
    }
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

  TOutcome fromFile, fromMemory;
  lodestar::TTiffFile file{[&](const std::string& m) { fromFile.Messages.push_back(m); }};
  Outcome(file, fromFile, [&] { file.SetFileName(InputPath()); });
  lodestar::TTiffFile inMemory{[&](const std::string& m) { fromMemory.Messages.push_back(m); }};
  Outcome(inMemory, fromMemory,
          [&] { inMemory.LoadFromMemory(InputPath(), std::span(data, size)); });
  if (!(fromFile == fromMemory)) {
    std::fprintf(stderr, "loading from memory differs from loading the file\n");
    std::abort();
  }
  if (!fromFile.Error)
    BuildViews(file);
  return 0;
}
