#pragma once

#include "TBatchHost.h"
#include "TDirectoryListing.h"
#include "TFileLoad.h"
#include "TRecordPlan.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
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
// Given a source of names, it reads the named files in the list's order instead of walking.
//
// With more than one job the files are read on that many worker threads while the walk goes on;
// the host hears of them in walk order all the same, on the thread that runs the engine, so the
// records are the same bytes in the same order. The workers build the records with the options
// read at the start; a host that changes them during a run must say so (SetLiveOptions).
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
  // The processors the jobs share; 0 (the default) asks the system. Lets tests take both ways
  // of reading quick files whatever machine they run on.
  void SetProcessors(unsigned processors) { FProcessors = processors; }
  // Lets tests stand in for the file system's listing.
  void SetLister(TLister lister) { FLister = std::move(lister); }

  // Gives the next name of a list in name; false at its end. An error reading the list leaves
  // as an exception, after the files before it.
  using TNameSource = std::function<bool(std::string& name)>;
  // Reads the named files instead of walking the starting directory (which is then not looked
  // at): names relative to the working directory or absolute, empty names passed over, any other
  // name read whatever it is called. A name that is missing, a directory or no regular file is
  // an entry that could not be read.
  void SetNameSource(TNameSource source) { FNames = std::move(source); }

  // For a host whose record options may change during a run and that keeps the object of every
  // file (the Batch tab): with more than one job, each file read ahead carries its object to the
  // engine's thread, where its records are built again if the options changed, and a Stop drops
  // every file not yet handed to the host.
  void SetLiveOptions(bool live) { FLive = live; }

private:
  struct TWalkFrame;

  void Walk(const TRunOptions& run);
  void WalkBelow(TDirectoryListing& root, const std::string& prefix, const std::string& absolute);
  void ReadNames(const TRunOptions& run);
  void StartWindow();
  void FinishWindow();
  void EmitAhead(TFileOutcome& outcome);
  void Events();
  void SetStatus(std::string text);
  void AddHeaderLine();
  void ReadFiles(const TDirectoryListing& listing, const std::string& absolute);
  void ReportUnreadable(const TDirectoryListing& listing, const std::string& absolutePrefix);
  // Hands the job on; its status text is used up, its other fields stay for the caller.
  void Submit(TFileJob& job);
  void Submit(TFileJob&& job) { Submit(job); }
  void ReadOptions();
  // The plan of the options last read, compiled anew only when they changed.
  const TRecordPlan& Plan();
  void Emit(TFileOutcome& outcome);
  void EmitAndKeep(TFileOutcome& outcome, std::unique_ptr<TTiffFile>& file);
  void CountFile(int pageCount);
  bool List(int parentFd, const std::string& name, const std::string& path,
            TDirectoryListing& listing, std::string& reason);

  TBatchHost& FHost;
  TLister FLister;
  TNameSource FNames;
  int FJobs = 1;
  unsigned FProcessors = 0;
  bool FLive = false;
  TRecordOptions FOptions;
  TRecordOptions FWorkerOptions; // what files read ahead are built with; fixed during a run
  std::optional<TRecordPlan> FWorkerPlan;
  std::optional<TRecordPlan> FPlan;
  bool FOptionsFixed = false; // the host's options cannot change during the run
  bool FOptionsRead = false;
  bool FKeepsFiles = true;
  // Reused from file to file on the engine's thread: no allocation per file once warm.
  TFileJob FJob;
  TFileOutcome FOutcome;
  TLoadScratch FScratch;
  std::string FLine;
  std::string FPendingStatus; // goes with the next step read ahead
  // The counters as numbers; the host's texts are read once a run, at its first file.
  bool FCountsRead = false;
  bool FPagesValid = false;
  std::int64_t FFiles = 0;
  std::int64_t FPages = 0;
  std::unique_ptr<TLoadWindow> FWindow;
  std::set<std::pair<std::uint64_t, std::uint64_t>> FEntered;
};

} // namespace lodestar
