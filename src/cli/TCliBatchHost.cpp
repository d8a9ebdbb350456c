#include "TCliBatchHost.h"

#include "EscapeControls.h"
#include "TResultsFile.h"
#include "TSearchList.h"

#include <charconv>
#include <cstdio>
#include <unistd.h>

namespace lodestar::cli {

namespace {

long long Number(const std::string& text) {
  long long value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

} // namespace

TCliBatchHost::TCliBatchHost(const TBatchOptions& options, const TSearchList& list,
                             TResultsFile* output)
    : FOutput(output), FStdout(STDOUT_FILENO, "standard output") {
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

void TCliBatchHost::AddResultLine(const std::string& line) {
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

void TCliBatchHost::EntrySkipped(const std::string& path, const std::string& reason) {
  ++FSkipped;
  FStdout.Flush(); // the records before it reach a reader of both streams first
  FProgress.Clear();
  std::fprintf(stderr, "lodestar-cli: cannot read '%s': %s\n", EscapeControls(path).c_str(),
               reason.c_str());
}

void TCliBatchHost::SetStatusText(const std::string& text) {
  if (FProgress.Shown())
    FStatus = text;
}

void TCliBatchHost::FileRead(const std::string&) {
  FProgress.Tick(Number(FCounter), Number(FPages), FStatus);
}

void TCliBatchHost::ShowProgress(bool final) {
  FProgress.Show(final, Number(FCounter), Number(FPages), FStatus);
}

} // namespace lodestar::cli
