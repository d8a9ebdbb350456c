#pragma once

#include "TBatchHost.h"
#include "TBatchOptions.h"
#include "TOutputStream.h"
#include "TProgressLine.h"

#include <optional>
#include <string>

namespace lodestar {
class TResultsFile;
class TSearchList;
} // namespace lodestar

namespace lodestar::cli {

// The command line's side of a run: fixed options, records to standard output or a results file,
// every entry that could not be read on standard error, and a progress line when a person is
// watching standard error.
class TCliBatchHost : public TBatchHost {
public:
  TCliBatchHost(const TBatchOptions& options, const TSearchList& list, TResultsFile* output);

  std::optional<std::string> Error() const { return FError; }
  long long SkippedCount() const { return FSkipped; }
  void FlushOutput() { FStdout.Flush(); }
  // The progress line's last state; final leaves the totals on a line of their own.
  void ShowProgress(bool final);

  void ReadRunOptions(TRunOptions& options) override { options = FRun; }
  void ReadRecordOptions(TRecordOptions& options) override { options = FRecord; }
  bool RecordOptionsFixed() const override { return true; }
  bool KeepsFiles() const override { return false; }
  void ShowError(const std::string& message) override { FError = message; }
  void AddResultLine(const std::string& line) override;
  void EntrySkipped(const std::string& path, const std::string& reason) override;
  void SetStatusText(const std::string& text) override;
  void FileRead(const std::string&) override;
  std::string CounterText() override { return FCounter; }
  void SetCounterText(const std::string& text) override { FCounter = text; }
  std::string PagesText() override { return FPages; }
  void SetPagesText(const std::string& text) override { FPages = text; }

private:
  TRunOptions FRun;
  TRecordOptions FRecord;
  TResultsFile* FOutput;
  TOutputStream FStdout;
  TProgressLine FProgress;
  long long FSkipped = 0;
  std::optional<std::string> FError;
  std::string FCounter = "0";
  std::string FPages = "0";
  std::string FStatus;
};

} // namespace lodestar::cli
