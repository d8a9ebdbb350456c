#include "TFileLoad.h"

#include "Errors.h"
#include "TOutputStream.h"
#include "TRecordFormat.h"
#include "cLodestar.h"

#include <cerrno>
#include <climits>
#include <new>

namespace lodestar {

namespace {

// The name the reader opens. A path within the system's limit is opened as it is, as it always
// was; a longer one through the magic link of the open directory, which is as short as the name.
std::string OpenName(const TFileJob& job, const std::string& fullPath) {
  if (fullPath.size() < PATH_MAX || !job.Directory)
    return fullPath;
  return "/proc/self/fd/" + std::to_string(job.Directory->Fd()) + "/" + job.Name;
}

// The system's reason from the reader's "Cannot open file "%s". %s".
std::string OpenFailureReason(const EFOpenError& error, const std::string& openName) {
  const std::string prefix = "Cannot open file \"" + openName + "\". ";
  const std::string text = error.what();
  return text.starts_with(prefix) ? text.substr(prefix.size()) : text;
}

} // namespace

TFileOutcome LoadFile(const TFileJob& job, const TRecordOptions& options,
                      std::unique_ptr<TTiffFile>& file) {
  TFileOutcome outcome;
  if (!job.Directory) {
    outcome.Skipped = true;
    outcome.FullPath = job.Name;
    outcome.SkipReason = job.SkipReason;
    return outcome;
  }
  outcome.FullPath = job.DirectoryPart + job.Name;
  file = std::make_unique<TTiffFile>(); // drops the reader's messages: nobody waits for them
  const std::string openName = OpenName(job, outcome.FullPath);
  try {
    file->SetFileName(openName);
    outcome.Visited = true;
    if (file->FileName().empty()) {
      // The reader leaves a file that is gone without a word; it still counts, without pages.
      outcome.Skipped = true;
      outcome.SkipReason = SystemReason(ENOENT);
    }
    outcome.Counted = true;
    outcome.PageCount = file->PageCount();
    const int pages = options.AllPages ? outcome.PageCount : std::min(outcome.PageCount, 1);
    outcome.Lines.reserve(static_cast<std::size_t>(pages));
    for (int k = 1; k <= pages; ++k) {
      std::string record;
      AppendPageRecord(record, options, job.DirectoryPart, job.Name, k,
                       *file->Pages().GetPage(k - 1));
      outcome.Lines.push_back(std::move(record));
    }
  } catch (const EFOpenError& error) {
    // No permission, or it vanished while it was opened: no record and no count, but a word.
    outcome.Skipped = true;
    outcome.SkipReason = OpenFailureReason(error, openName);
  } catch (const std::bad_alloc&) {
    // Not the file's fault, and no reason to pass it over in silence: the run is incomplete.
    outcome.Lines.clear();
    outcome.Counted = false;
    outcome.Skipped = true;
    outcome.SkipReason = SystemReason(ENOMEM);
  } catch (const std::exception&) {
    // Not a TIFF file, or one cut short: no record, no count and no message, as in the tab. The
    // records already built are lost with it.
    outcome.Lines.clear();
  }
  return outcome;
}

} // namespace lodestar
