#include "TLoadWindow.h"

#include "cLodestar.h"

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
  {
    std::lock_guard lock(FLock);
    TSlot& slot = FSlots[FTail % FSlots.size()];
    slot.Job = std::move(job);
    if (skip) {
      // Nothing to read: the outcome is ready, and a worker passes the slot over.
      std::unique_ptr<TTiffFile> none;
      slot.Outcome = LoadFile(slot.Job, FOptions, none);
      slot.State = TState::Done;
    } else {
      slot.State = TState::Waiting;
    }
    ++FTail;
  }
  if (!skip)
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
        FHeadDone.wait(lock, [&] { return slot.State == TState::Done; });
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
      FJobAdded.wait(lock, [&] {
        while (FTaken < FTail && FSlots[FTaken % FSlots.size()].State != TState::Waiting)
          ++FTaken; // slots that need no reading
        return FStopping || FTaken < FTail;
      });
      if (FStopping)
        return;
      index = FTaken++;
      FSlots[index % FSlots.size()].State = TState::Taken;
    }
    // The slot is this worker's alone until it is marked done: the adding thread reads it only
    // then, and does not reuse it before it is emitted.
    TSlot& slot = FSlots[index % FSlots.size()];
    TFileOutcome outcome = LoadFile(slot.Job, FOptions, file);
    file.reset(); // the next file loads without this one's pages
    bool head;
    {
      std::lock_guard lock(FLock);
      slot.Outcome = std::move(outcome);
      slot.Job = TFileJob{};
      slot.State = TState::Done;
      head = index == FHead;
    }
    if (head)
      FHeadDone.notify_one();
  }
}

} // namespace lodestar
