#pragma once

#include "TBatchHost.h"
#include "TDirectoryListing.h"
#include "TRecordPlan.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lodestar {

class TTiffFile;

// One step of a run in its order: a file to read, or an entry the run could not read.
struct TFileJob {
  std::shared_ptr<TDirectoryHandle> Directory; // the listed directory; null for a named file
  std::string DirectoryPart;                   // absolute, ending with the separator
  std::string Name;                            // as listed; for a skip, the entry's full path
  std::string SkipReason;                      // for a skip: the system's reason
  bool Skip = false;  // nothing to read: report SkipReason for Name, if there is a name
  std::string Status; // a status text to show before this step, when steps are read ahead
  // Named by a list rather than listed by the walk: what it is has not been looked at yet.
  bool Named = false;
};

// What reading one file gave, ready to be handed to the host in walk order. A thread reuses one
// outcome for file after file: Reset keeps the texts' memory.
struct TFileOutcome {
  bool Skipped = false; // report SkipReason for the path; nothing else
  bool Visited = false; // the host hears of the file (it loaded, or it vanished after listing)
  bool Counted = false; // loaded without an error record: counts, with PageCount pages
  int PageCount = 0;
  std::string FullPath;
  std::string SkipReason;
  // The file's records, or its error record, one after another; each ends at its RecordEnds.
  std::string Records;
  std::vector<std::size_t> RecordEnds;
  // The loaded object, for a host that keeps it (a file read ahead reaches the window only when
  // it is shown); null otherwise.
  std::unique_ptr<TTiffFile> File;
  // A file too large to be held while it waits to be shown: loaded again when it is shown.
  std::optional<TFileJob> Reload;
  std::string Status;        // the job's
  std::size_t NameStart = 0; // where the name begins in FullPath
  bool Built = false;        // the file loaded far enough for its records to be built from it

  void Reset();
  std::size_t RecordCount() const { return RecordEnds.size(); }
  std::string_view Record(std::size_t index) const;
  void ClearRecords() {
    Records.clear();
    RecordEnds.clear();
  }
};

// What one thread of a run reuses from file to file.
struct TLoadScratch {
  // Reloaded for the next file unless the caller took it for a host that keeps it.
  std::unique_ptr<TTiffFile> File;
  TRecordScratch Record;
};

// Reads one file into outcome and builds its records with plan. Touches nothing but the job, the
// plan, the scratch and the outcome, so several may run at once. scratch.File receives the loaded
// object (loaded or not), for a host that keeps it.
void LoadFile(const TFileJob& job, const TRecordPlan& plan, TLoadScratch& scratch,
              TFileOutcome& outcome);

// Builds the outcome's records anew from file, the object LoadFile gave for it, with plan.
void BuildRecords(TFileOutcome& outcome, const TRecordPlan& plan, const TTiffFile& file,
                  TRecordScratch& scratch);

} // namespace lodestar
