#pragma once

#include "TBatchEngine.h"
#include "TBatchHost.h"
#include "TSearchList.h"
#include "cLodestar.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lodestar::test {

// A Batch tab without widgets: options in plain fields, everything the run does written down.
class TTestHost : public TBatchHost {
public:
  TRunOptions Run;
  TRecordOptions Record;
  TSearchList List; // Record.TickedItems is taken from it before every record
  std::vector<std::string> Lines;
  std::vector<std::string> Errors;
  std::vector<std::string> Status;
  std::vector<std::string> FilesRead;
  std::string Counter = "0";
  std::string Pages = "0";
  bool Stop = false;
  int Started = 0;
  int Finished = 0;
  std::unique_ptr<TTiffFile> Slot;
  // Runs at every point where the window would handle its pending events.
  std::function<void()> OnProcessMessages;

  explicit TTestHost(const std::string& startDir) {
    Run.StartDir = startDir;
    for (int i = 0; i < List.Count(); ++i)
      List.SetTicked(i, true);
  }

  // Leaves only the items whose texts are given, all ticked.
  void Items(const std::vector<std::string>& texts) {
    List.Clear();
    for (const auto& text : texts) {
      const auto blank = text.find(' ');
      // Rebuilds "N  description" through Add, as a user would type it.
      List.Add(text.substr(0, blank), blank == std::string::npos ? "" : text.substr(blank + 2));
    }
  }

  void RunStarting() override {
    ++Started;
    Stop = false;
    Lines.clear();
  }
  void RunFinished() override { ++Finished; }
  void ReadRunOptions(TRunOptions& options) override {
    options = Run;
    options.SearchItemCount = List.Count();
  }
  void ReadRecordOptions(TRecordOptions& options) override {
    options = Record;
    List.TickedTexts(options.TickedItems);
  }
  void ShowError(const std::string& message) override { Errors.push_back(message); }
  void AddResultLine(const std::string& line) override { Lines.push_back(line); }
  void SetStatusText(const std::string& text) override { Status.push_back(text); }
  void FileRead(const std::string& fullPath) override { FilesRead.push_back(fullPath); }
  void ProcessMessages() override {
    if (OnProcessMessages)
      OnProcessMessages();
  }
  bool StopRequested() override { return Stop; }
  std::string CounterText() override { return Counter; }
  void SetCounterText(const std::string& text) override { Counter = text; }
  std::string PagesText() override { return Pages; }
  void SetPagesText(const std::string& text) override { Pages = text; }
  void ReleaseFile() override { Slot.reset(); }
  void KeepFile(std::unique_ptr<TTiffFile> file) override { Slot = std::move(file); }

  // Starts a run and returns its records.
  const std::vector<std::string>& Start() {
    TBatchEngine engine(*this);
    engine.Run();
    return Lines;
  }
};

} // namespace lodestar::test
