#include "BatchCommand.h"

#include "Errors.h"
#include "EscapeControls.h"
#include "ExitStatus.h"
#include "TBatchEngine.h"
#include "TOutputStream.h"
#include "TResultsFile.h"
#include "TSearchList.h"
#include "uTagDescription.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <pthread.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace lodestar::cli {

namespace {

// One file in flight per online processor, and at least four: on network storage most of a
// file's time is the wait for the server, which overlaps however few processors there are.
int DefaultJobs() {
  const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
  return static_cast<int>(std::clamp<long>(online, 4, 256));
}

struct TBatchOptions {
  std::string Dir;
  std::vector<std::string> Tags;
  std::string Separator = ",";
  bool SplitPath = false;
  bool NoHeader = false;
  bool NoRoot = false;
  bool NoSubdirs = false;
  bool NoTrim = false;
  bool FirstPageOnly = false;
  bool Check = false;
  std::string Output;
  int Jobs = DefaultJobs();
  std::string Format = "records";
};

void PrintError(const std::string& subject, const std::string& message) {
  std::fflush(stdout);
  std::fprintf(stderr, "lodestar-cli: error: '%s': %s\n", subject.c_str(), message.c_str());
}

// The label an item gets when --tags names only its number: the default item's, else the
// description table's.
std::string DefaultLabel(const std::string& number) {
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
    try {
      if (!digits)
        throw EConvertError(number);
      const std::string label =
          colon == std::string::npos ? DefaultLabel(number) : tag.substr(colon + 1);
      list.Add(number, label);
    } catch (const EConvertError&) {
      PrintError(tag, "not a tag number");
      return std::nullopt;
    }
  }
  return list;
}

// The temporary output file while a run writes it: an interrupted run removes it on its way out,
// so only the old results stay.
std::atomic<const char*> GTemporaryOutput{nullptr};

extern "C" void OnTerminatingSignal(int signal) {
  if (const char* name = GTemporaryOutput.load())
    ::unlink(name);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// A closed pipe, a full disk and a file over the size limit become write errors that end the run
// with status 1, whatever the caller left SIGPIPE at; Ctrl-C and kill leave no half file behind.
void InstallSignalHandlers() {
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  for (int signal : {SIGINT, SIGTERM, SIGHUP})
    std::signal(signal, OnTerminatingSignal);
}

// Holds back the terminating signals for its lifetime; they arrive when it ends.
class TSignalsHeld {
public:
  TSignalsHeld() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
      sigaddset(&set, signal);
    pthread_sigmask(SIG_BLOCK, &set, &FPrevious);
  }
  ~TSignalsHeld() { pthread_sigmask(SIG_SETMASK, &FPrevious, nullptr); }
  TSignalsHeld(const TSignalsHeld&) = delete;
  TSignalsHeld& operator=(const TSignalsHeld&) = delete;

private:
  sigset_t FPrevious;
};

// The command line's side of a run: fixed options, records to standard output or a results file,
// every entry that could not be read on standard error, and a progress line when a person is
// watching standard error.
class TCliHost : public TBatchHost {
public:
  TCliHost(const TBatchOptions& options, const TSearchList& list, TResultsFile* output)
      : FOutput(output), FStdout(STDOUT_FILENO, "standard output"),
        FProgress(isatty(STDERR_FILENO) == 1) {
    FRun.StartDir = options.Dir;
    FRun.SearchItemCount = list.Count();
    FRun.AddDescription = !options.NoHeader;
    FRun.IncludeRoot = !options.NoRoot;
    FRun.IncludeSubDirectories = !options.NoSubdirs;
    FRecord.Separator = options.Separator;
    FRecord.SplitPath = options.SplitPath;
    FRecord.TrimValue = !options.NoTrim;
    FRecord.AllPages = !options.FirstPageOnly;
    FRecord.CheckFiles = options.Check;
    FRecord.Format = options.Format == "csv"      ? TRecordFormat::Csv
                     : options.Format == "ndjson" ? TRecordFormat::Ndjson
                                                  : TRecordFormat::Records;
    list.TickedTexts(FRecord.TickedItems);
  }

  std::optional<std::string> Error() const { return FError; }
  long long SkippedCount() const { return FSkipped; }
  void FlushOutput() { FStdout.Flush(); }

  void ReadRunOptions(TRunOptions& options) override { options = FRun; }
  void ReadRecordOptions(TRecordOptions& options) override { options = FRecord; }
  void ShowError(const std::string& message) override { FError = message; }

  void AddResultLine(const std::string& line) override {
    // Files end their lines with CR LF as the tab's Save does; JSON lines always end with LF.
    if (!FOutput) {
      FStdout.Write(line);
      FStdout.Write("\n");
    } else if (FRecord.Format == TRecordFormat::Records) {
      FOutput->WriteLine(line);
    } else {
      FOutput->WriteText(line);
      FOutput->WriteText(FRecord.Format == TRecordFormat::Csv ? "\r\n" : "\n");
    }
  }

  void EntrySkipped(const std::string& path, const std::string& reason) override {
    ++FSkipped;
    FStdout.Flush(); // the records before it reach a reader of both streams first
    ClearProgress();
    std::fprintf(stderr, "lodestar-cli: cannot read '%s': %s\n", EscapeControls(path).c_str(),
                 reason.c_str());
  }

  void SetStatusText(const std::string& text) override {
    if (FProgress)
      FStatus = text;
  }

  void FileRead(const std::string&) override {
    if (!FProgress)
      return;
    const auto now = std::chrono::steady_clock::now();
    if (now - FLastShown >= std::chrono::milliseconds(100)) {
      FLastShown = now;
      ShowProgress(false);
    }
  }

  std::string CounterText() override { return FCounter; }
  void SetCounterText(const std::string& text) override { FCounter = text; }
  std::string PagesText() override { return FPages; }
  void SetPagesText(const std::string& text) override { FPages = text; }

  void ShowProgress(bool final) {
    if (!FProgress)
      return;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - FStarted).count();
    const long long files = Number(FCounter);
    const double rate = seconds > 0 ? static_cast<double>(files) / seconds : 0;
    if (final) {
      std::fprintf(stderr, "\r\033[K%lld files, %lld pages in %.1f s (%.0f files/s)\n", files,
                   Number(FPages), seconds, rate);
      return;
    }
    // The directory is cut from the left so the line stays one line on an ordinary terminal.
    const std::string status = CutFromLeft(EscapeControls(FStatus), 70);
    std::fprintf(stderr, "\r\033[K%lld files, %lld pages, %.0f files/s, %s", files, Number(FPages),
                 rate, status.c_str());
    std::fflush(stderr);
    FProgressShown = true;
  }

private:
  static long long Number(const std::string& text) {
    long long value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
  }

  void ClearProgress() {
    if (FProgressShown)
      std::fputs("\r\033[K", stderr);
    FProgressShown = false;
  }

  TRunOptions FRun;
  TRecordOptions FRecord;
  TResultsFile* FOutput;
  TOutputStream FStdout;
  bool FProgress;
  bool FProgressShown = false;
  long long FSkipped = 0;
  std::optional<std::string> FError;
  std::string FCounter = "0";
  std::string FPages = "0";
  std::string FStatus;
  std::chrono::steady_clock::time_point FStarted = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point FLastShown;
};

int RunBatch(const TBatchOptions& options) {
  // Checked before the output file is created, so a mistyped directory leaves no file.
  if (!DirectoryExists(options.Dir)) {
    PrintError(options.Dir, StartDirMissingText);
    return ExitUsage;
  }
  const auto list = BuildSearchList(options.Tags);
  if (!list)
    return ExitUsage;
  if (list->Count() == 0) {
    PrintError(options.Dir, NoSearchItemText);
    return ExitUsage;
  }

  InstallSignalHandlers();
  std::unique_ptr<TResultsFile> output;
  try {
    // A signal between the creation of the temporary file and its registration would leave it.
    TSignalsHeld held;
    if (!options.Output.empty()) {
      output = std::make_unique<TResultsFile>(options.Output);
      if (*output->TemporaryName())
        GTemporaryOutput = output->TemporaryName();
    }
  } catch (const ELodestarError& error) {
    PrintError(options.Output, error.what());
    return ExitFailed;
  }

  TCliHost host(options, *list, output.get());
  TBatchEngine engine(host);
  engine.SetJobs(options.Jobs);
  int status = ExitSuccess;
  const auto outputFailed = [&](const EOutputError& error) {
    if (output)
      PrintError(options.Output, error.what());
    else
      PrintError("standard output", error.Reason());
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
    PrintError(options.Dir, error.what());
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
    PrintError(options.Output, error.what());
    status = ExitFailed;
  }
  {
    TSignalsHeld held;
    GTemporaryOutput = nullptr;
    output.reset(); // a run that failed leaves the old file and no temporary one
  }
  if (const auto error = host.Error()) {
    // The directory vanished between the check above and the start of the run.
    PrintError(options.Dir, *error);
    status = ExitUsage;
  }
  if (status == ExitSuccess && host.SkippedCount() > 0) {
    std::fprintf(stderr, "lodestar-cli: incomplete: %lld %s could not be read\n",
                 host.SkippedCount(), host.SkippedCount() == 1 ? "entry" : "entries");
    status = ExitIncomplete;
  }
  return status;
}

} // namespace

void RegisterBatchCommand(CLI::App& app) {
  auto options = std::make_shared<TBatchOptions>();
  CLI::App* batch = app.add_subcommand(
      "batch", "Write one quoted, separated record per page of every *.tif file below DIR");
  batch->add_option("DIR", options->Dir, "The starting directory")->required();
  batch
      ->add_option("--tags", options->Tags,
                   "Tag items N[:LABEL], comma-separated (default: the nine default items)")
      ->delimiter(',');
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
                    "Write the records to FILE with CR LF line ends, as the Batch tab saves them; "
                    "FILE is replaced only when the run has written everything");
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
