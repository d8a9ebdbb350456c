#pragma once

#include "TBatchHost.h"
#include "TDirectoryListing.h"

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <utility>

namespace lodestar {

class TTiffFile;
class TTiffPage;

inline constexpr const char* StartDirMissingText = "Starting directory does not exist";
inline constexpr const char* NoSearchItemText = "At least one tag has to be selected";
inline constexpr const char* ReadingStatusText = "reading... ";
inline constexpr const char* FinishedStatusText = "Finished...";

// The batch run: walks a directory tree, reads every "*.tif" file and hands one record per page to
// its host. One engine serves the Batch tab and "lodestar-cli batch", so both write the same bytes.
class TBatchEngine {
public:
  using TLister =
      std::function<bool(const std::string& path, TDirectoryListing& listing, std::string& reason)>;

  explicit TBatchEngine(TBatchHost& host) : FHost(host) {}

  // Start. An error outside the per-file and per-directory handling (the header record, listing
  // the starting directory's own files) leaves here after the run has finished as usual.
  void Run();

  // The value cells of a page for the ticked items: each cell with its leading separator.
  static std::string GetTagValues(const TTiffPage& page, const TRecordOptions& options);
  static void AppendTagValues(std::string& record, const TTiffPage& page,
                              const TRecordOptions& options);
  static std::string HeaderRecord(const TRecordOptions& options);

  // Lets tests stand in for the file system's listing.
  void SetLister(TLister lister) { FLister = std::move(lister); }

private:
  void Walk(const TRunOptions& run);
  void AddHeaderLine();
  void RetrieveDirectory(const std::string& directory, const std::string& absolute,
                         const std::vector<std::string>& files);
  void ReadFiles(const std::string& absolute, const std::vector<std::string>& files);
  void RetrieveSubDirectories(const std::string& prefix, const std::string& absolutePrefix,
                              const TDirectoryListing& listing);
  void ReadFile(const std::string& directoryPart, const std::string& name);
  void WriteFileRecords(TTiffFile& file, const std::string& directoryPart, const std::string& name);
  void CountFile(int pageCount);
  void AddPageRecord(const std::string& directoryPart, const std::string& name, int pageNumber,
                     const TTiffPage& page);
  bool List(const std::string& path, TDirectoryListing& listing, std::string& reason);

  TBatchHost& FHost;
  TLister FLister;
  TRecordOptions FOptions;
  std::string FRecord;
  std::string FFullPath;
  std::set<std::pair<std::uint64_t, std::uint64_t>> FEntered;
};

} // namespace lodestar
