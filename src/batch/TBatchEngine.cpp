#include "TBatchEngine.h"

#include "CodePage.h"
#include "TSearchList.h"
#include "cLodestar.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <memory>

namespace lodestar {

namespace {

// A counter text as the run reads it: an optional sign and decimal digits, nothing else. Wider
// than the tag conversion so a pages total carried over many runs does not fall back to "1".
bool ParseCounter(const std::string& text, std::int64_t& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+')
    ++first;
  if (first == last || (*first == '-' && first + 1 == last))
    return false;
  const auto [end, ec] = std::from_chars(first, last, value);
  return ec == std::errc() && end == last;
}

void AppendQuoted(std::string& record, std::string_view text) {
  record += '"';
  record += text;
  record += '"';
}

bool EndsWithSeparator(const std::string& path) {
  return !path.empty() && path.back() == PathSeparator;
}

std::string WithSeparator(const std::string& path) {
  return EndsWithSeparator(path) ? path : path + PathSeparator;
}

// The absolute path as the platform's own expansion gives it: "." and ".." resolved by name.
std::string AbsolutePath(const std::string& path) {
  return std::filesystem::absolute(std::filesystem::path(path)).lexically_normal().string();
}

} // namespace

void TBatchEngine::Run() {
  FHost.RunStarting();
  FHost.SetCounterText("0");
  try {
    TRunOptions run;
    FHost.ReadRunOptions(run);
    if (!DirectoryExists(run.StartDir))
      FHost.ShowError(StartDirMissingText);
    else if (run.SearchItemCount == 0)
      FHost.ShowError(NoSearchItemText);
    else
      Walk(run);
  } catch (...) {
    FEntered.clear();
    FHost.SetStatusText(FinishedStatusText);
    FHost.RunFinished();
    throw;
  }
  FEntered.clear();
  FHost.SetStatusText(FinishedStatusText);
  FHost.RunFinished();
}

bool TBatchEngine::List(const std::string& path, TDirectoryListing& listing, std::string& reason) {
  return FLister ? FLister(path, listing, reason) : ListDirectory(path, listing, reason);
}

void TBatchEngine::Walk(const TRunOptions& run) {
  FEntered.clear();
  if (run.AddDescription)
    AddHeaderLine();
  if (!run.IncludeRoot && !run.IncludeSubDirectories)
    return;

  // One listing of the starting directory serves both its own files and its subdirectories.
  const std::string absolute = AbsolutePath(run.StartDir);
  TDirectoryListing listing;
  std::string reason;
  bool listed = false;
  if (run.IncludeRoot) {
    FHost.SetStatusText(ReadingStatusText + run.StartDir);
    if (!List(absolute, listing, reason))
      throw EFOpenError(absolute, reason);
    listed = true;
    FEntered.emplace(listing.Device, listing.Inode);
    ReadFiles(absolute, listing.TifFiles);
    listing.TifFiles = {};
  }
  if (run.IncludeSubDirectories) {
    if (!listed) {
      // Neither the status nor an error: a directory whose subdirectories cannot be enumerated
      // contributes nothing.
      if (FHost.StopRequested() || !List(absolute, listing, reason))
        return;
      FEntered.emplace(listing.Device, listing.Inode);
    }
    RetrieveSubDirectories(WithSeparator(run.StartDir), WithSeparator(absolute), listing);
  }
}

void TBatchEngine::AddHeaderLine() {
  FHost.ReadRecordOptions(FOptions);
  FHost.AddResultLine(HeaderRecord(FOptions));
}

std::string TBatchEngine::HeaderRecord(const TRecordOptions& options) {
  std::string record;
  if (options.SplitPath) {
    AppendQuoted(record, "Path");
    record += options.Separator;
  }
  AppendQuoted(record, "Filename");
  // The page label stands in the header in both page modes, since every row carries its page.
  record += options.Separator;
  AppendQuoted(record, "Page");
  for (const auto& item : options.TickedItems) {
    if (const auto description = ItemDescription(item)) {
      record += options.Separator;
      AppendQuoted(record, *description);
    }
  }
  return record;
}

void TBatchEngine::RetrieveDirectory(const std::string& directory, const std::string& absolute,
                                     const std::vector<std::string>& files) {
  FHost.SetStatusText(ReadingStatusText + directory);
  ReadFiles(absolute, files);
}

void TBatchEngine::ReadFiles(const std::string& absolute, const std::vector<std::string>& files) {
  const std::string directoryPart = WithSeparator(absolute);
  for (const auto& name : files) {
    if (FHost.StopRequested())
      break;
    ReadFile(directoryPart, name);
    FHost.ProcessMessages();
  }
}

void TBatchEngine::RetrieveSubDirectories(const std::string& prefix,
                                          const std::string& absolutePrefix,
                                          const TDirectoryListing& listing) {
  if (FHost.StopRequested())
    return;
  try {
    FHost.ProcessMessages();
    TDirectoryListing sub;
    std::string reason;
    for (const auto& name : listing.SubDirectories) {
      FHost.ProcessMessages();
      const std::string absolute = absolutePrefix + name;
      // A subdirectory that cannot be listed is skipped alone; a link back to a directory
      // entered before would walk in circles.
      if (List(absolute, sub, reason) && FEntered.emplace(sub.Device, sub.Inode).second) {
        if (!sub.TifFiles.empty())
          RetrieveDirectory(prefix + name, absolute, sub.TifFiles);
        sub.TifFiles = {};
        RetrieveSubDirectories(prefix + name + PathSeparator, absolute + PathSeparator, sub);
      }
      FHost.ProcessMessages();
    }
  } catch (const std::exception&) {
    // Ends this directory's walk silently; the caller goes on with its next entry.
  }
}

void TBatchEngine::ReadFile(const std::string& directoryPart, const std::string& name) {
  FHost.ReleaseFile();
  auto file = std::make_unique<TTiffFile>(); // drops the reader's messages: nobody waits for them
  try {
    WriteFileRecords(*file, directoryPart, name);
  } catch (const std::exception&) {
    // A file that cannot be read gives no record, no count and no message.
  }
  FHost.KeepFile(std::move(file));
}

void TBatchEngine::WriteFileRecords(TTiffFile& file, const std::string& directoryPart,
                                    const std::string& name) {
  FFullPath.assign(directoryPart).append(name);
  file.SetFileName(FFullPath);
  FHost.FileRead(FFullPath);
  if (!file.ErrorMessage().empty()) {
    FHost.AddResultLine(FFullPath + "Error");
    return;
  }
  FHost.ReadRecordOptions(FOptions);
  CountFile(file.PageCount());
  const int pageCount = file.PageCount();
  for (int k = 1; k <= pageCount; ++k) {
    if (k > 1) {
      FHost.ReadRecordOptions(FOptions);
      if (!FOptions.AllPages)
        break;
    }
    AddPageRecord(directoryPart, name, k, *file.Pages().GetPage(k - 1));
  }
}

void TBatchEngine::CountFile(int pageCount) {
  std::int64_t files = 0;
  std::int64_t pages = 0;
  bool whole = ParseCounter(FHost.CounterText(), files);
  const std::string counter = std::to_string(files + 1);
  FHost.SetCounterText(counter);
  if (FOptions.AllPages) {
    whole = ParseCounter(FHost.PagesText(), pages) && whole;
    FHost.SetPagesText(std::to_string(pages + pageCount));
  } else {
    FHost.SetPagesText(counter);
  }
  if (!whole) {
    FHost.SetCounterText("1");
    FHost.SetPagesText("1");
  }
}

void TBatchEngine::AddPageRecord(const std::string& directoryPart, const std::string& name,
                                 int pageNumber, const TTiffPage& page) {
  FRecord.clear();
  if (FOptions.SplitPath) {
    AppendQuoted(FRecord, directoryPart);
    FRecord += FOptions.Separator;
    AppendQuoted(FRecord, name);
  } else {
    FRecord += '"';
    FRecord += directoryPart;
    FRecord += name;
    FRecord += '"';
  }
  FRecord += FOptions.Separator;
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, pageNumber).ptr;
  AppendQuoted(FRecord, std::string_view(digits, static_cast<std::size_t>(end - digits)));
  AppendTagValues(FRecord, page, FOptions);
  FHost.AddResultLine(FRecord);
}

std::string TBatchEngine::GetTagValues(const TTiffPage& page, const TRecordOptions& options) {
  std::string cells;
  AppendTagValues(cells, page, options);
  return cells;
}

void TBatchEngine::AppendTagValues(std::string& record, const TTiffPage& page,
                                   const TRecordOptions& options) {
  const auto append = [&](const std::string& number, const auto& tags) {
    bool matched = false;
    for (const TTag& tag : tags) {
      if (tag.TagNumber() != number)
        continue;
      matched = true;
      const std::u16string whole = tag.Value();
      std::u16string_view value = whole;
      if (options.TrimValue) {
        while (!value.empty() && value.front() <= 32)
          value.remove_prefix(1);
        while (!value.empty() && value.back() <= 32)
          value.remove_suffix(1);
      }
      std::string text = ToUtf8(value);
      // A record is a line of text, and a pane line would end at its first NUL.
      text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
      record += options.Separator;
      AppendQuoted(record, text);
    }
    if (!matched) {
      record += options.Separator;
      record += "\"\"";
    }
  };
  for (const auto& item : options.TickedItems) {
    const std::string number = GetTagNumber(item);
    // The blank tags past the end of the file have no number: only an item without digits can
    // match them, and the others need not walk them.
    if (number.empty())
      append(number, page.Tags());
    else
      append(number, page.Tags().ReadTags());
  }
}

} // namespace lodestar
