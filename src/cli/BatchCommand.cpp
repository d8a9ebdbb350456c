#include "BatchCommand.h"

#include "Diagnostics.h"
#include "Errors.h"
#include "ExitStatus.h"
#include "TBatchEngine.h"
#include "TBatchOptions.h"
#include "TCliBatchHost.h"
#include "TNameList.h"
#include "TOutputStream.h"
#include "TResultsFile.h"
#include "TSearchList.h"
#include "TagPath.h"
#include "TerminationSignals.h"
#include "uTagDescription.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace lodestar::cli {

// On network storage most of a file's time is the wait for the server, which overlaps however
// few processors there are.
int DefaultJobs() {
  const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
  return static_cast<int>(std::clamp<long>(online, 4, 256));
}

namespace {

// The label an item gets when --tags names only its number: the default item's, else the
// description table's.
std::string DefaultLabel(const std::string& number) {
  if (IsTagPath(number))
    return PathDescription(number);
  for (const auto& text : DefaultSearchItemTexts())
    if (GetTagNumber(text) == number)
      return *ItemDescription(text);
  std::string label = TagDescription(StrToInt(number));
  label.erase(label.find_last_not_of(' ') + 1);
  return label;
}

// Builds the search list from "N[:LABEL]" items the way the Batch tab's Add does, so a repeated
// item is taken once. Without items the nine defaults are taken, all ticked.
std::optional<TSearchList> BuildSearchList(const std::vector<std::string>& tags) {
  TSearchList list;
  if (tags.empty()) {
    for (int i = 0; i < list.Count(); ++i)
      list.SetTicked(i, true);
    return list;
  }
  list.Clear();
  for (const auto& tag : tags) {
    const auto colon = tag.find(':');
    const std::string number = tag.substr(0, colon);
    bool digits = !number.empty() && number.size() <= 10;
    for (char c : number)
      digits = digits && c >= '0' && c <= '9';
    // A path into a sub-directory, "34665/36867".
    digits = digits || (IsTagPath(number) && IsTagNumberOrPath(number));
    try {
      if (!digits)
        throw EConvertError(number);
      const std::string label =
          colon == std::string::npos ? DefaultLabel(number) : tag.substr(colon + 1);
      list.Add(number, label);
    } catch (const EConvertError&) {
      ReportError(tag, "not a tag number");
      return std::nullopt;
    }
  }
  return list;
}

// Closes the list file when the run is done with it; standard input stays open.
struct TListFile {
  int Fd = -1;
  ~TListFile() {
    if (Fd > STDIN_FILENO)
      ::close(Fd);
  }
};

int RunBatch(const TBatchOptions& options) {
  const bool fromList = !options.FilesFrom.empty();
  if (fromList == !options.Dir.empty()) {
    ReportError(fromList ? options.Dir : "batch", "give either DIR or --files-from FILE");
    return ExitUsage;
  }
  if (options.NulSeparated && !fromList) {
    ReportError("-0", "needs --files-from");
    return ExitUsage;
  }
  // Checked before the output file is created, so a mistyped directory or list leaves no file.
  TListFile listFile;
  if (fromList) {
    listFile.Fd = options.FilesFrom == "-"
                      ? STDIN_FILENO
                      : ::open(options.FilesFrom.c_str(), O_RDONLY | O_CLOEXEC);
    if (listFile.Fd < 0) {
      ReportError(options.FilesFrom, SystemReason(errno));
      return ExitUsage;
    }
  } else if (!DirectoryExists(options.Dir)) {
    ReportError(options.Dir, StartDirMissingText);
    return ExitUsage;
  }
  const std::string subject = fromList ? options.FilesFrom : options.Dir;
  const auto list = BuildSearchList(options.Tags);
  if (!list)
    return ExitUsage;
  if (list->Count() == 0) {
    ReportError(subject, NoSearchItemText);
    return ExitUsage;
  }

  InstallTerminationHandlers();
  std::unique_ptr<TResultsFile> output;
  try {
    if (!options.Output.empty())
      output = std::make_unique<TResultsFile>(options.Output);
  } catch (const ELodestarError& error) {
    ReportError(options.Output, error.what());
    return ExitFailed;
  }

  TCliBatchHost host(options, *list, output.get());
  TBatchEngine engine(host);
  engine.SetJobs(options.Jobs);
  std::optional<TNameList> names;
  if (fromList) {
    names.emplace(listFile.Fd, options.NulSeparated ? '\0' : '\n',
                  options.FilesFrom == "-" ? "standard input" : options.FilesFrom);
    engine.SetNameSource([&names](std::string& name) { return names->Next(name); });
  }
  int status = ExitSuccess;
  const auto outputFailed = [&](const EOutputError& error) {
    if (output)
      ReportError(options.Output, error.what());
    else
      ReportError("standard output", error.Reason());
    status = ExitFailed;
  };
  try {
    engine.Run();
    host.ShowProgress(true);
  } catch (const EOutputError& error) {
    host.ShowProgress(true);
    outputFailed(error);
  } catch (const ELodestarError& error) {
    host.ShowProgress(true);
    ReportError(subject, error.what());
    status = ExitFailed;
  }
  try {
    if (status == ExitSuccess) {
      host.FlushOutput();
      if (output)
        output->Close();
    }
  } catch (const EOutputError& error) {
    outputFailed(error);
  } catch (const ELodestarError& error) {
    ReportError(options.Output, error.what());
    status = ExitFailed;
  }
  output.reset(); // a run that failed leaves the old file and no temporary one
  if (const auto error = host.Error()) {
    // The directory vanished between the check above and the start of the run.
    ReportError(options.Dir, *error);
    status = ExitUsage;
  }
  if (status == ExitSuccess && host.SkippedCount() > 0) {
    ReportLine("incomplete", std::to_string(host.SkippedCount()) +
                                 (host.SkippedCount() == 1 ? " entry" : " entries") +
                                 " could not be read");
    status = ExitIncomplete;
  }
  return status;
}

} // namespace

void RegisterBatchCommand(CLI::App& app) {
  auto options = std::make_shared<TBatchOptions>();
  CLI::App* batch = app.add_subcommand(
      "batch",
      "Write one quoted, separated record per page of every *.tif and *.tiff file below DIR, "
      "or of every file a list names (--files-from)");
  CLI::Option* dir = batch->add_option("DIR", options->Dir, "The starting directory");
  batch
      ->add_option("--files-from", options->FilesFrom,
                   "Read the files named in FILE, one a line (\"-\": standard input), in its "
                   "order, instead of walking DIR")
      ->excludes(dir);
  batch->add_flag("-0,--null", options->NulSeparated,
                  "The names in --files-from end with a NUL character (find -print0)");
  batch
      ->add_option("--tags", options->Tags,
                   "Tag items N[:LABEL], comma-separated; N may be a path into a "
                   "sub-directory, 34665/36867 (default: the Batch tab's nine items "
                   "256:Imagewidth, 257:Imageheight, 269:Description, 270:Name, 282:XResolution, "
                   "283:YResolution, 305:Software, 306:DateTime, 315:Artist)")
      ->delimiter(',')
      // One argument per --tags, so DIR after it is not taken for an item.
      ->allow_extra_args(false);
  batch->add_option("--separator", options->Separator, "Text between cells (default \",\")");
  batch->add_flag("--split-path", options->SplitPath, "Directory and file name as two cells");
  batch->add_flag("--no-header", options->NoHeader, "No header record");
  batch->add_flag("--no-root", options->NoRoot, "Skip the files directly in DIR");
  batch->add_flag("--no-subdirs", options->NoSubdirs, "Do not walk the directories below DIR");
  batch->add_flag("--no-trim", options->NoTrim, "Write values untrimmed");
  batch->add_flag("--first-page-only", options->FirstPageOnly, "One record per file");
  batch->add_flag("--check", options->Check,
                  "Two more cells per record: the file's verdict and its number of findings, as "
                  "`check` gives them");
  batch->add_option("-o,--output", options->Output,
                    "Write the records to FILE (records and csv lines end with CR LF, as the Batch "
                    "tab saves them; ndjson lines with LF). FILE is replaced only when the run "
                    "has written everything, by renaming the hidden temporary file "
                    ".FILE.lodestar-XXXXXX beside it; a run killed outright leaves that file, "
                    "which may be deleted");
  batch
      ->add_option("-j,--jobs", options->Jobs,
                   "Files read at once (default: the number of processors, at least 4); the "
                   "output is the same for every N")
      ->check(CLI::Range(1, 1024));
  batch
      ->add_option("--format", options->Format,
                   "records: the Batch tab's lines (default); csv: RFC 4180, every cell quoted, "
                   "quotes doubled; ndjson: one JSON object per page, file names that are not "
                   "UTF-8 written with U+FFFD replacement characters")
      ->check(CLI::IsMember({"records", "csv", "ndjson"}));
  batch->callback([options] {
    const int status = RunBatch(*options);
    if (status != ExitSuccess)
      throw CLI::RuntimeError(status);
  });
}

} // namespace lodestar::cli
