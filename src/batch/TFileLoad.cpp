#include "TFileLoad.h"

#include "Errors.h"
#include "TChecker.h"
#include "TOutputStream.h"
#include "TRecordFormat.h"
#include "cLodestar.h"

#include <cerrno>
#include <climits>
#include <new>
#include <optional>
#include <string_view>
#include <sys/stat.h>

namespace lodestar {

namespace {

// The name the reader opens: a path within the system's limit as it is, as it always was; a
// longer one through the magic link of the open directory, which is as short as the name.
const std::string& OpenName(const TFileJob& job, const std::string& fullPath,
                            std::string& longName) {
  if (fullPath.size() < PATH_MAX || !job.Directory)
    return fullPath;
  longName = "/proc/self/fd/" + std::to_string(job.Directory->Fd()) + "/" + job.Name;
  return longName;
}

// The system's reason from the reader's "Cannot open file "%s". %s".
std::string OpenFailureReason(const EFOpenError& error, const std::string& openName) {
  const std::string prefix = "Cannot open file \"" + openName + "\". ";
  const std::string text = error.what();
  return text.starts_with(prefix) ? text.substr(prefix.size()) : text;
}

// Why a name from a list is not read, or nothing. A directory is refused rather than walked (the
// list chose the files), and a pipe or device would block the run or read a stream for good.
std::string RefusalOf(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0)
    return SystemReason(errno);
  if (S_ISDIR(st.st_mode))
    return SystemReason(EISDIR) + " (a list names files; batch DIR walks a directory)";
  if (!S_ISREG(st.st_mode))
    return "Not a regular file";
  return {};
}

} // namespace

void TFileOutcome::Reset() {
  Skipped = Visited = Counted = Built = false;
  PageCount = 0;
  FullPath.clear();
  SkipReason.clear();
  ClearRecords();
  File.reset();
  Reload.reset();
  Status.clear();
  NameStart = 0;
}

std::string_view TFileOutcome::Record(std::size_t index) const {
  const std::size_t start = index == 0 ? 0 : RecordEnds[index - 1];
  return std::string_view(Records).substr(start, RecordEnds[index] - start);
}

void BuildRecords(TFileOutcome& outcome, const TRecordPlan& plan, const TTiffFile& file,
                  TRecordScratch& scratch) {
  outcome.ClearRecords();
  const TRecordOptions& options = plan.Options();
  const std::string_view full = outcome.FullPath;
  const std::string_view directoryPart = full.substr(0, outcome.NameStart);
  const std::string_view name = full.substr(outcome.NameStart);
  const int pages = options.AllPages ? outcome.PageCount : std::min(outcome.PageCount, 1);
  // The check works on what the reader loaded, and reads the few numbers it judges once more by
  // the name the reader opened.
  std::optional<check::TCheckResult> checked;
  if (options.CheckFiles) {
    TFileReader source(file.FileName());
    checked = check::TChecker::Check(file, source);
  }
  for (int k = 1; k <= pages; ++k) {
    plan.AppendPageRecord(outcome.Records, directoryPart, name, k, *file.Pages().GetPage(k - 1),
                          scratch);
    if (checked)
      AppendCheckCells(outcome.Records, options, check::VerdictText(checked->Verdict),
                       checked->Findings.size());
    outcome.RecordEnds.push_back(outcome.Records.size());
  }
}

void LoadFile(const TFileJob& job, const TRecordPlan& plan, TLoadScratch& scratch,
              TFileOutcome& outcome) {
  outcome.Reset();
  outcome.Status = job.Status;
  if (job.Skip) {
    outcome.Skipped = !job.Name.empty(); // else a step that only carries its status
    outcome.FullPath = job.Name;
    outcome.SkipReason = job.SkipReason;
    return;
  }
  outcome.FullPath.append(job.DirectoryPart).append(job.Name);
  outcome.NameStart = job.DirectoryPart.size();
  if (job.Named) {
    if (std::string refusal = RefusalOf(outcome.FullPath); !refusal.empty()) {
      outcome.Skipped = true;
      outcome.SkipReason = std::move(refusal);
      return;
    }
  }
  // Drops the reader's messages: nobody waits for them.
  if (scratch.File)
    scratch.File->Unload();
  else
    scratch.File = std::make_unique<TTiffFile>();
  TTiffFile& file = *scratch.File;
  std::string longName;
  const std::string& openName = OpenName(job, outcome.FullPath, longName);
  const TRecordOptions& options = plan.Options();
  if (options.FileReport) {
    try {
      for (const std::string& line :
           options.FileReport->Report(outcome.FullPath, openName, outcome.PageCount)) {
        outcome.Records += line;
        outcome.RecordEnds.push_back(outcome.Records.size());
      }
      outcome.Visited = outcome.Counted = true;
    } catch (const EFOpenError& error) {
      outcome.ClearRecords();
      outcome.Skipped = true;
      outcome.SkipReason = OpenFailureReason(error, openName);
    }
    return;
  }
  try {
    // The walk and the list's check both found a regular file here; the walk's is opened in the
    // directory it was listed in.
    TListedName listed;
    if (job.Directory) {
      listed.DirectoryFd = job.Directory->Fd();
      listed.Name = job.Name.c_str();
    }
    file.SetFileName(openName, TFileKind::Regular, listed);
    outcome.Visited = true;
    if (file.FileName().empty()) {
      // The reader leaves a file that is gone without a word; it still counts, without pages.
      outcome.Skipped = true;
      outcome.SkipReason = SystemReason(ENOENT);
    }
    outcome.Counted = true;
    outcome.PageCount = file.PageCount();
    BuildRecords(outcome, plan, file, scratch.Record);
    outcome.Built = true;
  } catch (const EFOpenError& error) {
    // No permission, or it vanished while it was opened: no record and no count, but a word.
    outcome.Skipped = true;
    outcome.SkipReason = OpenFailureReason(error, openName);
  } catch (const std::bad_alloc&) {
    // Not the file's fault, and no reason to pass it over in silence: the run is incomplete.
    outcome.ClearRecords();
    outcome.Counted = false;
    outcome.Skipped = true;
    outcome.SkipReason = SystemReason(ENOMEM);
  } catch (const std::exception&) {
    // Not a TIFF file, or one cut short: no record, no count and no message, as in the tab. The
    // records already built are lost with it.
    outcome.ClearRecords();
  }
}

} // namespace lodestar
