#pragma once

#include "TBatchHost.h"

#include <QObject>
#include <chrono>
#include <string>

class TForm1;

// The Batch tab's side of a run: the options come from the tab's controls, read anew whenever the
// engine asks, and everything the run writes goes to the tab's controls and the window's file
// slot. Lives for one run, on the stack of the Start handler.
//
// Pending window events are let through at the engine's points, but not more often than every
// EventInterval: a repaint of the window costs about as much as reading fifty small files. The
// records, the counters and the name of the file just read are held here in between and reach
// their controls right before the window gets the events, so whatever runs then (a repaint, Stop,
// a save) sees the pane and the controls as the run left them.
class TForm1BatchHost : public QObject, public lodestar::TBatchHost {
public:
  explicit TForm1BatchHost(TForm1& form);
  ~TForm1BatchHost() override;

  void RunStarting() override;
  void RunFinished() override;
  void ReadRunOptions(lodestar::TRunOptions& options) override;
  void ReadRecordOptions(lodestar::TRecordOptions& options) override;
  void ShowError(const std::string& message) override;
  void AddResultLine(const std::string& line) override;
  void SetStatusText(const std::string& text) override;
  void FileRead(const std::string& fullPath) override;
  void ProcessMessages() override;
  bool StopRequested() override;
  std::string CounterText() override;
  void SetCounterText(const std::string& text) override;
  std::string PagesText() override;
  void SetPagesText(const std::string& text) override;
  void ReleaseFile() override;
  void KeepFile(std::unique_ptr<lodestar::TTiffFile> file) override;

protected:
  // Closing the window while a run goes stops the run, so the program can end.
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  static constexpr std::chrono::milliseconds EventInterval{20};

  void Flush();

  TForm1& FForm;
  std::string FPendingRecords; // each record ended by '\n'
  std::string FCounter;
  std::string FPages;
  std::string FLastFile;
  bool FShowCounters = false;
  // The first point of a run always lets the events through: a Stop clicked while the first file
  // loads ends the run after it.
  std::chrono::steady_clock::time_point FEventsLet{};
  bool FEventsLetOnce = false;
};
