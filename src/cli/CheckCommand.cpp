#include "CheckCommand.h"

#include "CheckReport.h"
#include "Diagnostics.h"
#include "Errors.h"
#include "EscapeControls.h"
#include "ExitStatus.h"
#include "TBatchEngine.h"
#include "TChecker.h"
#include "TFileReader.h"
#include "TNameList.h"
#include "TOutputStream.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace lodestar::cli {

namespace {

struct TCheckOptions {
  std::vector<std::string> Paths;
  std::string Format = "text";
  int Jobs = 0;
  bool NoSubdirs = false;
  std::vector<std::string> Ignore;
  bool ListRules = false;
  std::string FilesFrom; // a list of names instead of PATH; "-" for standard input
  bool NulSeparated = false;
};

// The check's side of a run over a directory: the walk, the jobs and the order are batch's; each
// file's lines are its findings.
class TCheckHost : public TBatchHost {
public:
  TCheckHost(TOutputStream& out, TRecordOptions record) : FOut(out), FRecord(std::move(record)) {}

  long long SkippedCount() const { return FSkipped; }
  const std::string& Error() const { return FError; }
  void SetRun(const TRunOptions& run) { FRun = run; }

  void ReadRunOptions(TRunOptions& options) override { options = FRun; }
  void ReadRecordOptions(TRecordOptions& options) override { options = FRecord; }
  void ShowError(const std::string& message) override { FError = message; }
  void AddResultLine(const std::string& line) override {
    FOut.Write(line);
    FOut.Write("\n");
  }
  void EntrySkipped(const std::string& path, const std::string& reason) override {
    ++FSkipped;
    FOut.Flush(); // the lines before it reach a reader of both streams first
    std::fprintf(stderr, "lodestar-cli: cannot read '%s': %s\n", EscapeControls(path).c_str(),
                 reason.c_str());
  }
  std::string CounterText() override { return FCounter; }
  void SetCounterText(const std::string& text) override { FCounter = text; }
  std::string PagesText() override { return FPages; }
  void SetPagesText(const std::string& text) override { FPages = text; }

private:
  TOutputStream& FOut;
  TRecordOptions FRecord;
  TRunOptions FRun;
  long long FSkipped = 0;
  std::string FError;
  std::string FCounter = "0";
  std::string FPages = "0";
};

// One file's check in the chosen format, on any worker thread; counts the files not valid.
class TReporter : public TFileReporter {
public:
  TReporter(check::TReportFormat format, std::vector<std::string> ignore)
      : FFormat(format), FIgnore(std::move(ignore)) {}

  std::vector<std::string> Report(const std::string& fullPath, const std::string& openName,
                                  int& pages) const override {
    check::TCheckResult result = check::TChecker::CheckFile(openName);
    check::IgnoreRules(result, FIgnore);
    pages = result.Pages;
    if (result.Verdict != check::TVerdict::Valid)
      ++FFaulty;
    return check::ReportLines(fullPath, result, FFormat);
  }
  long long Faulty() const { return FFaulty; }

private:
  check::TReportFormat FFormat;
  std::vector<std::string> FIgnore;
  mutable std::atomic<long long> FFaulty{0};
};

int RunCheck(const TCheckOptions& options) {
  if (options.ListRules) {
    std::fputs(check::RuleCatalogueText().c_str(), stdout);
    return FinishStandardOutput(ExitSuccess);
  }
  const bool fromList = !options.FilesFrom.empty();
  if (fromList && !options.Paths.empty()) {
    ReportError(options.Paths.front(), "give either PATH or --files-from FILE");
    return ExitUsage;
  }
  if (options.NulSeparated && !fromList) {
    ReportError("-0", "needs --files-from");
    return ExitUsage;
  }
  if (options.Paths.empty() && !fromList) {
    ReportLine("error", "PATH is required\nRun with --help for more information.");
    return ExitUsage;
  }
  for (const std::string& id : options.Ignore)
    if (!check::FindRule(id)) {
      ReportError(EscapeControls(id), "no such rule (see --list-rules)");
      return ExitUsage;
    }
  // Every path is looked at before the first line is written, so a mistyped one costs no run.
  std::vector<bool> isDirectory;
  for (const std::string& path : options.Paths) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) {
      ReportError(EscapeControls(path), ec ? ec.message() : "No such file or directory");
      return ExitUsage;
    }
    isDirectory.push_back(std::filesystem::is_directory(status));
  }

  const auto format = options.Format == "csv"      ? check::TReportFormat::Csv
                      : options.Format == "ndjson" ? check::TReportFormat::Ndjson
                                                   : check::TReportFormat::Text;
  TReporter reporter(format, options.Ignore);
  TRecordOptions record;
  record.FileReport = &reporter;

  // The list's names as batch --files-from takes them: in its order, each a file, under any --jobs.
  int listFd = -1;
  if (fromList) {
    listFd = options.FilesFrom == "-" ? STDIN_FILENO
                                      : ::open(options.FilesFrom.c_str(), O_RDONLY | O_CLOEXEC);
    if (listFd < 0) {
      ReportError(options.FilesFrom, SystemReason(errno));
      return ExitUsage;
    }
  }
  const std::shared_ptr<void> closeList(nullptr, [listFd](void*) {
    if (listFd > STDIN_FILENO)
      ::close(listFd);
  });

  std::signal(SIGPIPE, SIG_IGN);
  TOutputStream out(STDOUT_FILENO, "standard output");
  TCheckHost host(out, record);
  int status = ExitSuccess;
  try {
    if (format == check::TReportFormat::Csv)
      host.AddResultLine(check::CsvHeader());
    if (fromList) {
      TRunOptions run;
      run.SearchItemCount = 1;
      run.AddDescription = false;
      host.SetRun(run);
      TNameList names(listFd, options.NulSeparated ? '\0' : '\n',
                      options.FilesFrom == "-" ? "standard input" : options.FilesFrom);
      TBatchEngine engine(host);
      engine.SetJobs(options.Jobs);
      engine.SetNameSource([&names](std::string& name) { return names.Next(name); });
      engine.Run();
    }
    for (std::size_t i = 0; i < options.Paths.size(); ++i) {
      const std::string& path = options.Paths[i];
      if (!isDirectory[i]) {
        // A file named on the command line is checked whatever its name.
        int pages = 0;
        try {
          for (const std::string& line : reporter.Report(path, path, pages))
            host.AddResultLine(line);
        } catch (const EFOpenError& error) {
          host.EntrySkipped(path, error.what());
        }
        continue;
      }
      TRunOptions run;
      run.StartDir = path;
      run.SearchItemCount = 1;
      run.AddDescription = false;
      run.IncludeSubDirectories = !options.NoSubdirs;
      host.SetRun(run);
      TBatchEngine engine(host);
      engine.SetJobs(options.Jobs);
      engine.Run();
      if (!host.Error().empty()) {
        ReportError(EscapeControls(path), host.Error());
        return ExitUsage;
      }
    }
    out.Flush();
  } catch (const EOutputError& error) {
    ReportError("standard output", error.Reason());
    return ExitFailed;
  } catch (const ELodestarError& error) {
    ReportError(EscapeControls(fromList ? options.FilesFrom : options.Paths.front()), error.what());
    status = ExitFailed;
  }
  if (status != ExitSuccess)
    return status;
  if (host.SkippedCount() > 0) {
    ReportLine("incomplete", std::to_string(host.SkippedCount()) +
                                 (host.SkippedCount() == 1 ? " entry" : " entries") +
                                 " could not be read");
    return ExitIncomplete;
  }
  return reporter.Faulty() > 0 ? ExitNotValid : ExitSuccess;
}

} // namespace

void RegisterCheckCommand(CLI::App& app) {
  auto options = std::make_shared<TCheckOptions>();
  options->Jobs = static_cast<int>(std::clamp<long>(::sysconf(_SC_NPROCESSORS_ONLN), 4, 256));
  CLI::App* command = app.add_subcommand(
      "check", "Check the structure of TIFF files: every finding with its rule, then a verdict per "
               "file (\"well-formed and valid\", \"well-formed, not valid\", \"not well-formed\")");
  command->add_option("PATH", options->Paths,
                      "Files, and directories whose *.tif files are checked as batch walks them");
  command
      ->add_option("--format", options->Format,
                   "text: one line per finding, \"PATH: SEVERITY RULE [directory, tag, @position] "
                   "message\", then the file's verdict (default); csv: one row per finding with "
                   "the file's verdict; ndjson: one JSON object per file")
      ->check(CLI::IsMember({"text", "csv", "ndjson"}));
  command
      ->add_option("-j,--jobs", options->Jobs,
                   "Files checked at once (default: the number of processors, at least 4); the "
                   "output is the same for every N")
      ->check(CLI::Range(1, 1024));
  command->add_option("--files-from", options->FilesFrom,
                      "Check the files named in FILE, one a line (\"-\": standard input), in its "
                      "order, as batch --files-from reads them, instead of PATH");
  command->add_flag("-0,--null", options->NulSeparated,
                    "The names in --files-from end with a NUL character (find -print0)");
  command->add_flag("--no-subdirs", options->NoSubdirs,
                    "Do not walk the directories below a directory PATH");
  command->add_option("--ignore", options->Ignore, "Rule IDs to leave out, comma-separated")
      ->delimiter(',')
      ->allow_extra_args(false);
  command->add_flag("--list-rules", options->ListRules,
                    "Print every rule: ID, severity, summary and reference");
  command->footer("Exit status: 0 every file well-formed and valid; 4 some file not; 3 some entry "
                  "could not be read; 2 usage; 1 failure.");
  command->callback([options] {
    const int status = RunCheck(*options);
    if (status != ExitSuccess)
      throw CLI::RuntimeError(status);
  });
}

} // namespace lodestar::cli
