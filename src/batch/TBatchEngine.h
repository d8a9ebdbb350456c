#pragma once

#include "TBatchHost.h"
#include "TDirectoryListing.h"
#include "TFileLoad.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>

namespace lodestar {

class TLoadWindow;
class TTiffPage;

inline constexpr const char* StartDirMissingText = "Starting directory does not exist";
inline constexpr const char* NoSearchItemText = "At least one tag has to be selected";
inline constexpr const char* ReadingStatusText = "reading... ";
inline constexpr const char* FinishedStatusText = "Finished...";

// The batch run: walks a directory tree, reads every "*.tif" file and hands one record per page to
// its host. One engine serves the Batch tab and "lodestar-cli batch", so both write the same bytes.
//
// With more than one job the files are read on that many worker threads while the walk goes on;
// the host hears of them in walk order all the same, on the thread that runs the engine, so the
// records are the same bytes in the same order. The record options are then read once, at the
// start: the host must not change them during the run.
class TBatchEngine {
public:
  // Lists the directory name below the open directory parentFd; path is its full path.
  using TLister = std::function<bool(int parentFd, const std::string& name, const std::string& path,
                                     TDirectoryListing& listing, std::string& reason)>;

  explicit TBatchEngine(TBatchHost& host);
  ~TBatchEngine();

  // Start. An error outside the per-file and per-directory handling (the header record, listing
  // the starting directory's own files) leaves here after the run has finished as usual, and so
  // does an EOutputError of the host, which ends the run at once.
  void Run();

  // The value cells of a page for the ticked items: each cell with its leading separator.
  static std::string GetTagValues(const TTiffPage& page, const TRecordOptions& options);
  static std::string HeaderRecord(const TRecordOptions& options);

  // Files read at once; 1 (the default) reads each in turn on the engine's thread.
  void SetJobs(int jobs) { FJobs = jobs < 1 ? 1 : jobs; }
  // Lets tests stand in for the file system's listing.
  void SetLister(TLister lister) { FLister = std::move(lister); }

private:
  void Walk(const TRunOptions& run);
  void AddHeaderLine();
  void ReadFiles(const TDirectoryListing& listing, const std::string& absolute);
  void RetrieveSubDirectories(const std::string& prefix, const std::string& absolutePrefix,
                              const TDirectoryListing& listing);
  void ReportUnreadable(const TDirectoryListing& listing, const std::string& absolutePrefix);
  void Submit(TFileJob job);
  void Emit(TFileOutcome& outcome);
  void CountFile(int pageCount);
  bool List(int parentFd, const std::string& name, const std::string& path,
            TDirectoryListing& listing, std::string& reason);

  TBatchHost& FHost;
  TLister FLister;
  int FJobs = 1;
  TRecordOptions FOptions;
  std::unique_ptr<TLoadWindow> FWindow;
  std::set<std::pair<std::uint64_t, std::uint64_t>> FEntered;
};

} // namespace lodestar
