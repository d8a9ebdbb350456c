#include "TForm1BatchHost.h"

#include "TForm1.h"
#include "cLodestar.h"

#include <QCoreApplication>
#include <QEvent>

TForm1BatchHost::TForm1BatchHost(TForm1& form) : FForm(form) {
  FForm.installEventFilter(this);
}

TForm1BatchHost::~TForm1BatchHost() {
  FForm.removeEventFilter(this);
}

bool TForm1BatchHost::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &FForm && event->type() == QEvent::Close)
    FForm.RequestBatchStop();
  return false;
}

void TForm1BatchHost::RunStarting() {
  FForm.BeginBatchRun();
  FCounter = FForm.BatchCounterText();
  FPages = FForm.BatchPagesText();
}

void TForm1BatchHost::RunFinished() {
  Flush();
  FForm.EndBatchRun();
}

void TForm1BatchHost::ReadRunOptions(lodestar::TRunOptions& options) {
  FForm.ReadBatchRunOptions(options);
}

void TForm1BatchHost::ReadRecordOptions(lodestar::TRecordOptions& options) {
  FForm.ReadBatchRecordOptions(options);
}

void TForm1BatchHost::ShowError(const std::string& message) {
  // The box stands over a cleared pane and a file counter of "0".
  Flush();
  FForm.ShowErrorMessage(message);
}

void TForm1BatchHost::AddResultLine(const std::string& line) {
  FPendingRecords += line;
  FPendingRecords += '\n';
}

void TForm1BatchHost::SetStatusText(const std::string& text) {
  FForm.SetBatchStatusText(text);
}

void TForm1BatchHost::FileRead(const std::string& fullPath) {
  FLastFile = fullPath;
}

void TForm1BatchHost::ProcessMessages() {
  if (FEventsLetOnce && std::chrono::steady_clock::now() - FEventsLet < EventInterval)
    return;
  Flush();
  QCoreApplication::processEvents();
  FEventsLetOnce = true;
  FEventsLet = std::chrono::steady_clock::now();
}

void TForm1BatchHost::Flush() {
  if (!FPendingRecords.empty()) {
    // One append for many records: the pane then lays out only the lines it shows.
    FPendingRecords.pop_back();
    FForm.AddResultLine(FPendingRecords);
    FPendingRecords.clear();
  }
  if (FShowCounters) {
    FForm.ShowBatchCounters(FCounter, FPages);
    FShowCounters = false;
  }
  if (!FLastFile.empty()) {
    FForm.ShowFileRead(FLastFile);
    FLastFile.clear();
  }
}

bool TForm1BatchHost::StopRequested() {
  return FForm.BatchStopRequested();
}

// Both counters are disabled during a run, so their texts change only through the run.
std::string TForm1BatchHost::CounterText() {
  return FCounter;
}

void TForm1BatchHost::SetCounterText(const std::string& text) {
  FCounter = text;
  FShowCounters = true;
}

std::string TForm1BatchHost::PagesText() {
  return FPages;
}

void TForm1BatchHost::SetPagesText(const std::string& text) {
  FPages = text;
  FShowCounters = true;
}

void TForm1BatchHost::ReleaseFile() {
  FForm.SetTiffFile(nullptr);
}

void TForm1BatchHost::KeepFile(std::unique_ptr<lodestar::TTiffFile> file) {
  FForm.SetTiffFile(std::move(file));
}
