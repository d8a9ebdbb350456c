#include "TLoadWindow.h"

#include "cLodestar.h"

#include <algorithm>

namespace lodestar {

TLoadWindow::TLoadWindow(int jobs, const TRecordOptions& options, TEmit emit)
    : FOptions(options), FEmit(std::move(emit)),
      FSlots(static_cast<std::size_t>(jobs) * SlotsPerJob) {
  FWorkers.reserve(static_cast<std::size_t>(jobs));
  for (int i = 0; i < jobs; ++i)
    FWorkers.emplace_back([this] { Work(); });
}

TLoadWindow::~TLoadWindow() {
  {
    std::lock_guard lock(FLock);
    FStopping = true;
  }
  FJobAdded.notify_all();
  for (auto& worker : FWorkers)
    worker.join();
}

void TLoadWindow::Add(TFileJob job) {
  EmitHead(false);
  if (FTail - FHead == FSlots.size())
    EmitHead(true);
  const bool skip = !job.Directory;
  bool wake;
  {
    std::lock_guard lock(FLock);
    TSlot& slot = FSlots[FTail % FSlots.size()];
    slot.Job = std::move(job);
    if (skip) {
      // Nothing to read: the outcome is ready, and the workers pass the slot over.
      std::unique_ptr<TTiffFile> none;
      slot.Outcome = LoadFile(slot.Job, FOptions, none);
      slot.State = TState::Done;
    } else {
      slot.State = TState::Waiting;
    }
    ++FTail;
    // A worker that is busy takes the job when it is done; only an idle one needs waking.
    wake = !skip && FIdle > 0;
  }
  if (wake)
    FJobAdded.notify_one();
}

void TLoadWindow::Finish() {
  while (FHead != FTail)
    EmitHead(true);
}

void TLoadWindow::EmitHead(bool wait) {
  for (;;) {
    TFileOutcome outcome;
    {
      std::unique_lock lock(FLock);
      if (FHead == FTail)
        return;
      TSlot& slot = FSlots[FHead % FSlots.size()];
      if (slot.State != TState::Done) {
        if (!wait)
          return;
        FHeadWanted = true;
        FHeadDone.wait(lock, [&] { return slot.State == TState::Done; });
        FHeadWanted = false;
      }
      outcome = std::move(slot.Outcome);
      slot = TSlot{};
      ++FHead;
    }
    wait = false; // one finished outcome was asked for; the rest only as far as they are done
    FEmit(outcome);
  }
}

void TLoadWindow::Work() {
  std::unique_ptr<TTiffFile> file;
  for (;;) {
    std::size_t index;
    {
      std::unique_lock lock(FLock);
      ++FIdle;
      FJobAdded.wait(lock, [&] {
        while (FTaken < FTail && FSlots[FTaken % FSlots.size()].State != TState::Waiting)
          ++FTaken; // slots that need no reading
        return FStopping || FTaken < FTail;
      });
      --FIdle;
      if (FStopping)
        return;
      index = FTaken++;
      FSlots[index % FSlots.size()].State = TState::Taken;
    }
    // The slot is this worker's alone until it is marked done: the adding thread reads a slot
    // only then, and does not reuse it before it is emitted. One job at a time: a worker that
    // took several would hold the head back by all of them when every open waits for a server.
    TSlot& slot = FSlots[index % FSlots.size()];
    TFileOutcome outcome = LoadFile(slot.Job, FOptions, file);
    file.reset(); // the next file loads without this one's pages
    bool wake;
    {
      std::lock_guard lock(FLock);
      slot.Outcome = std::move(outcome);
      slot.Job = TFileJob{};
      slot.State = TState::Done;
      wake = FHeadWanted && index == FHead;
    }
    if (wake)
      FHeadDone.notify_one();
  }
}

} // namespace lodestar
