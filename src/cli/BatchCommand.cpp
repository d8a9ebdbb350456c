#include "BatchCommand.h"

#include "Errors.h"
#include "ExitStatus.h"
#include "TBatchEngine.h"
#include "TResultsFile.h"
#include "TSearchList.h"
#include "uTagDescription.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace lodestar::cli {

namespace {

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
  std::string Output;
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

// The command line's side of a run: fixed options, records to standard output or a results file,
// and a progress line when a person is watching standard error.
class TCliHost : public TBatchHost {
public:
  TCliHost(const TBatchOptions& options, const TSearchList& list, TResultsFile* output)
      : FOutput(output), FProgress(isatty(STDERR_FILENO) == 1) {
    FRun.StartDir = options.Dir;
    FRun.SearchItemCount = list.Count();
    FRun.AddDescription = !options.NoHeader;
    FRun.IncludeRoot = !options.NoRoot;
    FRun.IncludeSubDirectories = !options.NoSubdirs;
    FRecord.Separator = options.Separator;
    FRecord.SplitPath = options.SplitPath;
    FRecord.TrimValue = !options.NoTrim;
    FRecord.AllPages = !options.FirstPageOnly;
    list.TickedTexts(FRecord.TickedItems);
  }

  std::optional<std::string> Error() const { return FError; }

  void ReadRunOptions(TRunOptions& options) override { options = FRun; }
  void ReadRecordOptions(TRecordOptions& options) override { options = FRecord; }
  void ShowError(const std::string& message) override { FError = message; }

  void AddResultLine(const std::string& line) override {
    if (FOutput) {
      FOutput->WriteLine(line);
      return;
    }
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
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
    std::string status = FStatus;
    if (status.size() > 70)
      status = "..." + status.substr(status.size() - 67);
    std::fprintf(stderr, "\r\033[K%lld files, %lld pages, %.0f files/s, %s", files, Number(FPages),
                 rate, status.c_str());
    std::fflush(stderr);
  }

private:
  static long long Number(const std::string& text) {
    long long value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
  }

  TRunOptions FRun;
  TRecordOptions FRecord;
  TResultsFile* FOutput;
  bool FProgress;
  std::optional<std::string> FError;
  std::string FCounter = "0";
  std::string FPages = "0";
  std::string FStatus;
  std::chrono::steady_clock::time_point FStarted = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point FLastShown;
};

int RunBatch(const TBatchOptions& options) {
  // Checked before the output file is created, so a mistyped directory leaves no empty file.
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

  std::unique_ptr<TResultsFile> output;
  try {
    if (!options.Output.empty())
      output = std::make_unique<TResultsFile>(options.Output);
  } catch (const ELodestarError& error) {
    PrintError(options.Output, error.what());
    return ExitFailed;
  }

  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  TCliHost host(options, *list, output.get());
  TBatchEngine engine(host);
  int status = ExitSuccess;
  try {
    engine.Run();
    host.ShowProgress(true);
    if (output)
      output->Close();
  } catch (const ELodestarError& error) {
    host.ShowProgress(true);
    PrintError(options.Output.empty() ? options.Dir : options.Output, error.what());
    status = ExitFailed;
  }
  if (const auto error = host.Error()) {
    // The directory vanished between the check above and the start of the run.
    PrintError(options.Dir, *error);
    status = ExitUsage;
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "lodestar-cli: error: writing standard output failed\n");
    status = ExitFailed;
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
  batch->add_option("-o,--output", options->Output,
                    "Write the records to FILE with CR LF line ends, as the Batch tab saves them");
  batch->callback([options] {
    const int status = RunBatch(*options);
    if (status != ExitSuccess)
      throw CLI::RuntimeError(status);
  });
}

} // namespace lodestar::cli
