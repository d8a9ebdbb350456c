#pragma once

#include "TBatchEngine.h"
#include "TOutputStream.h"
#include "cLodestar.h"

#include <functional>

namespace lodestar::test {

using TLines = std::vector<std::string>;

// A Batch tab without widgets: options in plain fields, everything a user would see written down
// in order ("status ...", "skip PATH: REASON", "keep PATH", "count F/P", the records), and OnEvents
// run where the window would handle its events (to press Stop or change the options).
class TLogHost : public TBatchHost {
public:
  TRunOptions Run{.StartDir = {}, .SearchItemCount = 9};
  TRecordOptions Record;
  TLines Log, Lines; // everything, and the records alone
  std::string Counter = "0", Pages = "0";
  bool Stop = false;
  int FailAtLine = -1; // the output fails at this record (0-based)
  std::unique_ptr<TTiffFile> Slot;
  std::function<void(TLogHost&)> OnEvents = [](TLogHost&) {};

  TLines Start(int jobs = 1, TBatchEngine::TLister lister = {}, bool live = false,
              unsigned processors = 0) {
    TBatchEngine engine(*this);
    engine.SetJobs(jobs);
    engine.SetProcessors(processors);
    engine.SetLiveOptions(live);
    engine.SetLister(lister);
    engine.Run();
    return Lines;
  }
  TLines Only(const std::string& prefix) const {
    TLines out;
    for (const auto& line : Log)
      if (line.starts_with(prefix))
        out.push_back(line.substr(prefix.size()));
    return out;
  }

  void RunStarting() override {
    Stop = false;
    Log.clear();
    Lines.clear();
  }
  void ReadRunOptions(TRunOptions& options) override { options = Run; }
  void ReadRecordOptions(TRecordOptions& options) override { options = Record; }
  void ShowError(const std::string& message) override { Log.push_back("error " + message); }
  void AddResultLine(const std::string& line) override {
    if (static_cast<int>(Lines.size()) == FailAtLine)
      throw EFWriteError("out", "No space left on device");
    Lines.push_back(line);
    Log.push_back(line);
  }
  void EntrySkipped(const std::string& path, const std::string& reason) override {
    Log.push_back("skip " + path + ": " + reason);
  }
  void SetStatusText(const std::string& text) override { Log.push_back("status " + text); }
  void FileRead(const std::string& path) override { Log.push_back("read " + path); }
  void ProcessMessages() override { OnEvents(*this); }
  bool StopRequested() override { return Stop; }
  std::string CounterText() override { return Counter; }
  void SetCounterText(const std::string& text) override { Counter = text; }
  std::string PagesText() override { return Pages; }
  void SetPagesText(const std::string& text) override {
    Pages = text;
    Log.push_back("count " + Counter + "/" + Pages);
  }
  void ReleaseFile() override { Slot.reset(); }
  void KeepFile(std::unique_ptr<TTiffFile> file) override {
    Log.push_back("keep " + file->FileName());
    Slot = std::move(file);
  }
};

} // namespace lodestar::test
