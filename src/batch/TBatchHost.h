#pragma once

#include <memory>
#include <string>
#include <vector>

namespace lodestar {

class TTiffFile;

// The options a run takes once, at Start. The export check boxes are disabled while a run goes.
struct TRunOptions {
  std::string StartDir;       // as typed: absolute or relative, with or without a closing '/'
  int SearchItemCount = 0;    // all items of the search list, ticked or not
  bool AddDescription = true; // write the header record
  bool IncludeRoot = true;    // read the files directly in StartDir
  bool IncludeSubDirectories = true;
};

// How records are written. Records: the Batch tab's lines, every cell in quotes with nothing inside
// escaped. Csv: RFC 4180, every cell quoted with its quotes doubled and its line breaks kept, so
// any CSV reader gets one row per record. Ndjson: one JSON object per record and no header.
enum class TRecordFormat { Records, Csv, Ndjson };

// `lodestar-cli check`'s lines for one file, in place of its page records. Called on any worker
// thread; raises EFOpenError when the file cannot be opened.
class TFileReporter {
public:
  virtual ~TFileReporter() = default;
  virtual std::vector<std::string> Report(const std::string& fullPath, const std::string& openName,
                                          int& pages) const = 0;
};

// The options a run reads anew for every record: the separator box, the split check box and the
// tick marks stay usable during a run, and a change applies from the next record on.
struct TRecordOptions {
  std::string Separator = ",";
  bool SplitPath = false;
  bool TrimValue = true;
  bool AllPages = true;
  std::vector<std::string> TickedItems; // texts of the ticked search items, in list order
  TRecordFormat Format = TRecordFormat::Records;
  // "Check files": every record gains the file's verdict and finding count, the header "Verdict"
  // and "Findings". Off, the records are the bytes they always were.
  bool CheckFiles = false;
  // Set by `lodestar-cli check`: a file's lines are its report instead of its page records.
  const TFileReporter* FileReport = nullptr;

  bool operator==(const TRecordOptions&) const = default;
};

// What a batch run needs from its front, the Batch tab or the command line. Records and texts are
// UTF-8. The engine calls these on the thread that runs it, in the order a run needs them.
class TBatchHost {
public:
  virtual ~TBatchHost() = default;

  // Start: clear the stop flag, disable the batch controls, clear the results.
  virtual void RunStarting() {}
  // End of every run, also one left by an error or ended by a start message.
  virtual void RunFinished() {}
  virtual void ReadRunOptions(TRunOptions& options) = 0;
  // Fills options in place; the engine reuses the same object for every record.
  virtual void ReadRecordOptions(TRecordOptions& options) = 0;
  // True when the record options cannot change during a run (a command line): the engine then
  // reads them once a run instead of before every file.
  virtual bool RecordOptionsFixed() const { return false; }

  // "Starting directory does not exist", "At least one tag has to be selected".
  virtual void ShowError(const std::string& message) = 0;
  // One record, without a line end.
  virtual void AddResultLine(const std::string& line) = 0;
  // An entry the walk could not read (a file or directory without permission, one that vanished,
  // a listing that failed), with the system's reason. The run goes on without it.
  virtual void EntrySkipped(const std::string& /*path*/, const std::string& /*reason*/) {}
  // "reading... " and the directory, then "Finished...".
  virtual void SetStatusText(const std::string& /*text*/) {}
  // The full path of the file just read (Label3 and the second panel of the main status bar).
  virtual void FileRead(const std::string& /*fullPath*/) {}
  // Let pending window events run; a click on Stop is handled here.
  virtual void ProcessMessages() {}
  virtual bool StopRequested() { return false; }

  // The two counters are texts the user may type into; see TBatchEngine for how they count.
  virtual std::string CounterText() = 0;
  virtual void SetCounterText(const std::string& text) = 0;
  virtual std::string PagesText() = 0;
  virtual void SetPagesText(const std::string& text) = 0;

  // Before each file: free the file held from before, so at most one file's pages are held.
  virtual void ReleaseFile() {}
  // After each file, loaded or not: the window keeps it in its file slot; the default drops it.
  virtual void KeepFile(std::unique_ptr<TTiffFile> /*file*/) {}
  // False for a host whose KeepFile drops every file: the engine then loads file after file into
  // one object of its own and never hands it over.
  virtual bool KeepsFiles() const { return true; }
};

} // namespace lodestar
