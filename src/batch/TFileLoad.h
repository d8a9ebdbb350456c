#pragma once

#include "TBatchHost.h"
#include "TDirectoryListing.h"

#include <memory>
#include <string>
#include <vector>

namespace lodestar {

class TTiffFile;

// One step of a walk in walk order: a file to read, or an entry the walk could not read.
struct TFileJob {
  std::shared_ptr<TDirectoryHandle> Directory; // null for an entry the walk could not read
  std::string DirectoryPart;                   // absolute, ending with the separator
  std::string Name;                            // as listed; for a skip, the entry's full path
  std::string SkipReason;                      // for a skip: the system's reason
};

// What reading one file gave, ready to be handed to the host in walk order.
struct TFileOutcome {
  bool Skipped = false; // report SkipReason for the path; nothing else
  bool Visited = false; // the host hears of the file (it loaded, or it vanished after listing)
  bool Counted = false; // loaded without an error record: counts, with PageCount pages
  int PageCount = 0;
  std::string FullPath;
  std::string SkipReason;
  std::vector<std::string> Lines; // the file's records, or its error record
};

// Reads one file and builds its records with options. Touches nothing but the job, the options
// and the file object, so several may run at once. file receives the loaded object (loaded or
// not), for a host that keeps it.
TFileOutcome LoadFile(const TFileJob& job, const TRecordOptions& options,
                      std::unique_ptr<TTiffFile>& file);

} // namespace lodestar
