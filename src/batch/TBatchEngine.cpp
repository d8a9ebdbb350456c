#include "TBatchEngine.h"

#include "TLoadWindow.h"
#include "TOutputStream.h"
#include "TRecordFormat.h"
#include "cLodestar.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <new>
#include <vector>

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
  job.Skip = true;
  return job;
}

// A name from a list as the records write it: absolute, "." and ".." resolved by name as for the
// starting directory, split after its last separator.
TFileJob NamedJob(const std::string& workingPrefix, const std::string& name) {
  const std::string full =
      std::filesystem::path(name.front() == PathSeparator ? name : workingPrefix + name)
          .lexically_normal()
          .string();
  const std::size_t split = full.rfind(PathSeparator) + 1;
  TFileJob job;
  job.DirectoryPart = full.substr(0, split);
  job.Name = full.substr(split);
  job.Named = true;
  return job;
}

} // namespace

// A directory whose subdirectories are still to be walked.
struct TBatchEngine::TWalkFrame {
  std::vector<std::string> SubDirectories;
  std::size_t Next = 0;
  std::string Prefix;         // as typed, ending with the separator
  std::string AbsolutePrefix; // ending with the separator
  // Held only where a subdirectory's path may pass the system's limit and must be opened
  // relative to it; the other levels hold no descriptor, so the depth is not bounded by them.
  std::shared_ptr<TDirectoryHandle> Handle;
};

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
  FCountsRead = false;
  FOptionsRead = false;
  FPlan.reset();
  FOptionsFixed = FHost.RecordOptionsFixed();
  FKeepsFiles = FHost.KeepsFiles();
  TRunOptions run;
  FHost.ReadRunOptions(run);
  if (!FNames && !DirectoryExists(run.StartDir))
    FHost.ShowError(StartDirMissingText);
  else if (run.SearchItemCount == 0)
    FHost.ShowError(NoSearchItemText);
  else if (FNames)
    ReadNames(run);
  else
    Walk(run);
}

bool TBatchEngine::List(int parentFd, const std::string& name, const std::string& path,
                        TDirectoryListing& listing, std::string& reason) {
  return FLister ? FLister(parentFd, name, path, listing, reason)
                 : ListDirectory(parentFd, name, listing, reason);
}

void TBatchEngine::StartWindow() {
  if (FJobs <= 1)
    return;
  FHost.ReadRecordOptions(FWorkerOptions);
  FOptions = FWorkerOptions;
  FOptionsRead = true;
  FWorkerPlan.emplace(FWorkerOptions);
  TLoadWindow::TTick tick;
  if (FLive)
    tick = [this] { FHost.ProcessMessages(); };
  FWindow = std::make_unique<TLoadWindow>(
      FJobs, *FWorkerPlan,
      [this](TFileOutcome& outcome) { FLive ? EmitAhead(outcome) : Emit(outcome); }, FLive,
      std::move(tick), FProcessors);
}

void TBatchEngine::FinishWindow() {
  // After a Stop the files read ahead are dropped unseen.
  if (FWindow && !FHost.StopRequested()) {
    if (!FPendingStatus.empty()) {
      TFileJob job;
      job.Skip = true;
      Submit(std::move(job));
    }
    FWindow->Finish();
  }
  FPendingStatus.clear();
  FWindow.reset();
}

void TBatchEngine::ReadNames(const TRunOptions& run) {
  if (run.AddDescription)
    AddHeaderLine();
  StartWindow();
  // Relative names mean nothing once the working directory is gone: the run fails before any.
  std::error_code error;
  const std::string workingPrefix = WithSeparator(std::filesystem::current_path(error).string());
  if (error)
    throw ELodestarError("Cannot read the working directory. " + SystemReason(error.value()));
  std::string name;
  while (!FHost.StopRequested() && FNames(name)) {
    if (name.empty())
      continue;
    Submit(NamedJob(workingPrefix, name));
    Events();
  }
  FinishWindow();
}

void TBatchEngine::Walk(const TRunOptions& run) {
  FEntered.clear();
  if (run.AddDescription)
    AddHeaderLine();
  if (!run.IncludeRoot && !run.IncludeSubDirectories)
    return;
  StartWindow();

  // One listing of the starting directory serves both its own files and its subdirectories.
  const std::string absolute = AbsolutePath(run.StartDir);
  TDirectoryListing listing;
  std::string reason;
  bool listed = false;
  if (run.IncludeRoot) {
    SetStatus(ReadingStatusText + run.StartDir);
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
    WalkBelow(listing, WithSeparator(run.StartDir), WithSeparator(absolute));
  FinishWindow();
}

void TBatchEngine::ReadOptions() {
  if (FOptionsFixed && FOptionsRead)
    return;
  FHost.ReadRecordOptions(FOptions);
  FOptionsRead = true;
}

const TRecordPlan& TBatchEngine::Plan() {
  if (!FPlan || (!FOptionsFixed && FPlan->Options() != FOptions))
    FPlan.emplace(FOptions);
  return *FPlan;
}

void TBatchEngine::AddHeaderLine() {
  ReadOptions();
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
  TFileJob& job = FJob;
  job = TFileJob{};
  job.Directory = listing.Handle;
  job.DirectoryPart = WithSeparator(absolute);
  for (const auto& name : listing.TifFiles) {
    if (FHost.StopRequested())
      break;
    job.Name = name;
    Submit(job);
    Events();
  }
  job.Directory.reset();
}

// Depth first, every directory's files before its subdirectories, in listing order: the order
// of a recursive walk, with a stack of the directories still to be walked instead.
void TBatchEngine::WalkBelow(TDirectoryListing& root, const std::string& prefix,
                             const std::string& absolutePrefix) {
  const auto frameOf = [](TDirectoryListing& listing, std::string prefix,
                          std::string absolutePrefix) {
    TWalkFrame frame;
    frame.SubDirectories = std::move(listing.SubDirectories);
    listing.SubDirectories = {};
    frame.Prefix = std::move(prefix);
    frame.AbsolutePrefix = std::move(absolutePrefix);
    if (frame.AbsolutePrefix.size() + NAME_MAX >= PATH_MAX)
      frame.Handle = listing.Handle;
    return frame;
  };
  std::vector<TWalkFrame> stack;
  stack.push_back(frameOf(root, prefix, absolutePrefix));
  root.Handle.reset();
  TDirectoryListing sub;
  std::string reason;
  Events();
  while (!stack.empty() && !FHost.StopRequested()) {
    TWalkFrame& top = stack.back();
    if (top.Next == top.SubDirectories.size()) {
      stack.pop_back();
      continue;
    }
    const std::string name = std::move(top.SubDirectories[top.Next++]);
    try {
      Events();
      const std::string absolute = top.AbsolutePrefix + name;
      // A path within the limit is opened by itself; a longer one relative to its parent.
      const bool relative = absolute.size() >= PATH_MAX && top.Handle;
      // A subdirectory that cannot be listed is skipped alone; a link back to a directory
      // entered before would walk in circles.
      if (!List(relative ? top.Handle->Fd() : AT_FDCWD, relative ? name : absolute, absolute, sub,
                reason)) {
        Submit(SkipJob(absolute, reason));
      } else if (FEntered.emplace(sub.Device, sub.Inode).second) {
        ReportUnreadable(sub, absolute + PathSeparator);
        if (!sub.TifFiles.empty()) {
          SetStatus(ReadingStatusText + top.Prefix + name);
          ReadFiles(sub, absolute);
        }
        sub.TifFiles = {};
        if (!sub.SubDirectories.empty() && !FHost.StopRequested())
          stack.push_back(
              frameOf(sub, top.Prefix + name + PathSeparator, absolute + PathSeparator));
        sub.Handle.reset();
      }
      Events();
    } catch (const EOutputError&) {
      throw;
    } catch (const std::bad_alloc&) {
      // The rest of this directory's walk is lost for want of memory: the run is incomplete.
      const std::string& lost = stack.back().AbsolutePrefix;
      Submit(SkipJob(lost.substr(0, lost.size() - 1), SystemReason(ENOMEM)));
      stack.pop_back();
    } catch (const std::exception&) {
      // Ends the walk of the directory being listed silently; its parent goes on with its next
      // entry.
      stack.pop_back();
    }
  }
}

// With steps read ahead the status waits for the step it belongs to, so the window never names a
// directory whose files it does not show yet.
void TBatchEngine::SetStatus(std::string text) {
  if (!FWindow) {
    FHost.SetStatusText(text);
    return;
  }
  if (!FPendingStatus.empty()) {
    // A directory without a step of its own: its status is a step alone.
    TFileJob job;
    job.Skip = true;
    Submit(std::move(job));
  }
  FPendingStatus = std::move(text);
}

void TBatchEngine::Submit(TFileJob& job) {
  if (FWindow) {
    if (!FPendingStatus.empty())
      job.Status = std::move(FPendingStatus);
    FPendingStatus.clear();
    FWindow->Add(job);
    job.Status.clear();
    return;
  }
  if (!job.Skip) {
    FHost.ReleaseFile();
    ReadOptions();
  }
  LoadFile(job, Plan(), FScratch, FOutcome);
  std::unique_ptr<TTiffFile> file;
  if (FKeepsFiles)
    file = std::move(FScratch.File);
  EmitAndKeep(FOutcome, file);
}

// The window keeps the file whose records were shown, even when showing them failed.
void TBatchEngine::EmitAndKeep(TFileOutcome& outcome, std::unique_ptr<TTiffFile>& file) {
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

void TBatchEngine::EmitAhead(TFileOutcome& outcome) {
  // A Stop ends the run after the file being shown: what was read ahead is not shown.
  if (FHost.StopRequested())
    return;
  std::unique_ptr<TTiffFile> file = std::move(outcome.File);
  if (outcome.Reload) {
    FHost.ReleaseFile();
    ReadOptions();
    const TFileJob job = std::move(*outcome.Reload);
    LoadFile(job, Plan(), FScratch, outcome);
    file = std::move(FScratch.File);
  } else if (file) {
    FHost.ReleaseFile();
    ReadOptions();
    if (outcome.Built && FOptions != FWorkerOptions) {
      try {
        BuildRecords(outcome, Plan(), *file, FScratch.Record);
      } catch (const std::exception&) {
        outcome.ClearRecords();
      }
    }
  }
  EmitAndKeep(outcome, file);
  FHost.ProcessMessages();
}

// The window's events, where a walk or a list lets them through. With files read ahead for a
// live host they come only after a file has been shown, as they would without read-ahead: a Stop
// then ends the run after the file the window shows.
void TBatchEngine::Events() {
  if (FWindow && FLive) {
    FWindow->EmitDone(); // each file shown lets the events through
    if (!FWindow->Empty())
      return;
  }
  FHost.ProcessMessages();
}

void TBatchEngine::Emit(TFileOutcome& outcome) {
  if (!outcome.Status.empty())
    FHost.SetStatusText(outcome.Status);
  if (outcome.Visited)
    FHost.FileRead(outcome.FullPath);
  try {
    if (outcome.Counted)
      CountFile(outcome.PageCount);
    const std::size_t records = outcome.RecordCount();
    for (std::size_t i = 0; i < records; ++i) {
      if (records == 1) {
        FHost.AddResultLine(outcome.Records);
      } else {
        FLine.assign(outcome.Record(i));
        FHost.AddResultLine(FLine);
      }
    }
  } catch (const EOutputError&) {
    throw;
  } catch (const std::exception&) {
    // The records not yet appended for this file are lost; the run goes on.
  }
  if (outcome.Skipped)
    FHost.EntrySkipped(outcome.FullPath, outcome.SkipReason);
}

// The texts are read at the run's first file only: the engine alone writes them during a run. A
// pages text that is no number starts both counters over at "1".
void TBatchEngine::CountFile(int pageCount) {
  if (!FCountsRead) {
    FCountsRead = true;
    FFiles = 0;
    FPagesValid = ParseCounter(FHost.PagesText(), FPages);
    std::int64_t files = 0;
    if (ParseCounter(FHost.CounterText(), files))
      FFiles = files;
    else
      FPagesValid = false;
  }
  ++FFiles;
  if (!FOptions.AllPages) {
    FPages = FFiles;
    FPagesValid = true;
  } else if (FPagesValid) {
    FPages += pageCount;
  } else {
    FFiles = 1;
    FPages = 1;
    FPagesValid = true;
  }
  FHost.SetCounterText(std::to_string(FFiles));
  FHost.SetPagesText(std::to_string(FPages));
}

} // namespace lodestar
