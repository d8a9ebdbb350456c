#include "TBatchEngine.h"

#include "TLoadWindow.h"
#include "TOutputStream.h"
#include "TRecordFormat.h"
#include "cLodestar.h"

#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <filesystem>
#include <new>

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

TFileJob SkipJob(std::string path, std::string reason) {
  TFileJob job;
  job.Name = std::move(path);
  job.SkipReason = std::move(reason);
  return job;
}

} // namespace

TBatchEngine::TBatchEngine(TBatchHost& host) : FHost(host) {}

TBatchEngine::~TBatchEngine() = default;

void TBatchEngine::Run() {
  FHost.RunStarting();
  // However the run ends, also by an error on its way out, the host gets its controls back.
  struct TRunEnd {
    TBatchEngine& Engine;
    ~TRunEnd() {
      Engine.FWindow.reset();
      Engine.FEntered.clear();
      Engine.FHost.SetStatusText(FinishedStatusText);
      Engine.FHost.RunFinished();
    }
  } runEnd{*this};
  FHost.SetCounterText("0");
  TRunOptions run;
  FHost.ReadRunOptions(run);
  if (!DirectoryExists(run.StartDir))
    FHost.ShowError(StartDirMissingText);
  else if (run.SearchItemCount == 0)
    FHost.ShowError(NoSearchItemText);
  else
    Walk(run);
}

bool TBatchEngine::List(int parentFd, const std::string& name, const std::string& path,
                        TDirectoryListing& listing, std::string& reason) {
  return FLister ? FLister(parentFd, name, path, listing, reason)
                 : ListDirectory(parentFd, name, listing, reason);
}

void TBatchEngine::Walk(const TRunOptions& run) {
  FEntered.clear();
  if (run.AddDescription)
    AddHeaderLine();
  if (!run.IncludeRoot && !run.IncludeSubDirectories)
    return;
  if (FJobs > 1) {
    FHost.ReadRecordOptions(FOptions);
    FWindow = std::make_unique<TLoadWindow>(FJobs, FOptions,
                                            [this](TFileOutcome& outcome) { Emit(outcome); });
  }

  // One listing of the starting directory serves both its own files and its subdirectories.
  const std::string absolute = AbsolutePath(run.StartDir);
  TDirectoryListing listing;
  std::string reason;
  bool listed = false;
  if (run.IncludeRoot) {
    FHost.SetStatusText(ReadingStatusText + run.StartDir);
    if (!List(AT_FDCWD, absolute, absolute, listing, reason))
      throw EFOpenError(absolute, reason);
    listed = true;
    FEntered.emplace(listing.Device, listing.Inode);
    ReportUnreadable(listing, WithSeparator(absolute));
    ReadFiles(listing, absolute);
    listing.TifFiles = {};
  }
  if (run.IncludeSubDirectories && !listed && !FHost.StopRequested()) {
    // Neither the status nor an error: a directory whose subdirectories cannot be enumerated
    // contributes nothing, but the run is incomplete and says so.
    if (!List(AT_FDCWD, absolute, absolute, listing, reason))
      Submit(SkipJob(absolute, reason));
    else {
      listed = true;
      FEntered.emplace(listing.Device, listing.Inode);
      ReportUnreadable(listing, WithSeparator(absolute));
    }
  }
  if (run.IncludeSubDirectories && listed)
    RetrieveSubDirectories(WithSeparator(run.StartDir), WithSeparator(absolute), listing);
  if (FWindow) {
    FWindow->Finish();
    FWindow.reset();
  }
}

void TBatchEngine::AddHeaderLine() {
  FHost.ReadRecordOptions(FOptions);
  if (const auto record = lodestar::HeaderRecord(FOptions))
    FHost.AddResultLine(*record);
}

std::string TBatchEngine::HeaderRecord(const TRecordOptions& options) {
  return lodestar::HeaderRecord(options).value_or(std::string());
}

std::string TBatchEngine::GetTagValues(const TTiffPage& page, const TRecordOptions& options) {
  std::string cells;
  AppendTagValues(cells, page, options);
  return cells;
}

void TBatchEngine::ReportUnreadable(const TDirectoryListing& listing,
                                    const std::string& absolutePrefix) {
  for (const auto& [name, reason] : listing.Unreadable)
    Submit(SkipJob(absolutePrefix + name, reason));
}

void TBatchEngine::ReadFiles(const TDirectoryListing& listing, const std::string& absolute) {
  const std::string directoryPart = WithSeparator(absolute);
  for (const auto& name : listing.TifFiles) {
    if (FHost.StopRequested())
      break;
    Submit(TFileJob{listing.Handle, directoryPart, name, {}});
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
      if (!List(listing.Handle->Fd(), name, absolute, sub, reason)) {
        Submit(SkipJob(absolute, reason));
      } else if (FEntered.emplace(sub.Device, sub.Inode).second) {
        ReportUnreadable(sub, absolute + PathSeparator);
        if (!sub.TifFiles.empty()) {
          FHost.SetStatusText(ReadingStatusText + prefix + name);
          ReadFiles(sub, absolute);
        }
        sub.TifFiles = {};
        RetrieveSubDirectories(prefix + name + PathSeparator, absolute + PathSeparator, sub);
      }
      FHost.ProcessMessages();
    }
  } catch (const EOutputError&) {
    throw;
  } catch (const std::bad_alloc&) {
    // The rest of this directory's walk is lost for want of memory: the run is incomplete.
    Submit(SkipJob(absolutePrefix.substr(0, absolutePrefix.size() - 1), SystemReason(ENOMEM)));
  } catch (const std::exception&) {
    // Ends this directory's walk silently; the caller goes on with its next entry.
  }
}

void TBatchEngine::Submit(TFileJob job) {
  if (FWindow) {
    FWindow->Add(std::move(job));
    return;
  }
  std::unique_ptr<TTiffFile> file;
  if (job.Directory) {
    FHost.ReleaseFile();
    FHost.ReadRecordOptions(FOptions);
  }
  TFileOutcome outcome = LoadFile(job, FOptions, file);
  try {
    Emit(outcome);
  } catch (...) {
    if (file)
      FHost.KeepFile(std::move(file));
    throw;
  }
  if (file)
    FHost.KeepFile(std::move(file));
}

void TBatchEngine::Emit(TFileOutcome& outcome) {
  if (outcome.Visited)
    FHost.FileRead(outcome.FullPath);
  try {
    if (outcome.Counted)
      CountFile(outcome.PageCount);
    for (const auto& line : outcome.Lines)
      FHost.AddResultLine(line);
  } catch (const EOutputError&) {
    throw;
  } catch (const std::exception&) {
    // The records not yet appended for this file are lost; the run goes on.
  }
  if (outcome.Skipped)
    FHost.EntrySkipped(outcome.FullPath, outcome.SkipReason);
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

} // namespace lodestar
