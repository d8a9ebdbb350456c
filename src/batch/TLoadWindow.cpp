#include "TLoadWindow.h"

#include "cLodestar.h"

#include <algorithm>

namespace lodestar {

TLoadWindow::TLoadWindow(int jobs, const TRecordPlan& plan, TEmit emit, bool keepFiles, TTick tick,
                         unsigned processors)
    : FPlan(plan), FEmit(std::move(emit)), FKeepFiles(keepFiles), FTick(std::move(tick)),
      FSlots(static_cast<std::size_t>(jobs) * SlotsPerJob) {
  FJobs = static_cast<std::size_t>(jobs);
  FActive = FJobs;
  if (processors == 0)
    processors = std::thread::hardware_concurrency();
  FQuickActive = std::clamp<std::size_t>(processors, 2, FActive + 1) - 1;
  FInlineWhenQuick = processors <= 2;
  // Where the adding thread may read the files itself, it starts doing so, and the workers start
  // with the first slow file: while a process has a single thread, the kernel skips the reference
  // counting that threads sharing descriptors cost every system call on a file, which costs quick
  // files more than the workers could give them.
  FInline.store(FInlineWhenQuick, std::memory_order_relaxed);
  if (!FInlineWhenQuick)
    StartWorkers();
}

void TLoadWindow::StartWorkers() {
  FWorkers.reserve(FJobs);
  for (std::size_t i = 0; i < FJobs; ++i)
    FWorkers.emplace_back([this, i] { Work(i); });
}

void TLoadWindow::Measure(std::chrono::steady_clock::duration spent, std::size_t files) {
  // A moving average over runs, so that one run held up by another program does not count.
  const double micros = std::chrono::duration<double, std::micro>(spent).count() / double(files);
  FMicrosPerFile += (micros - FMicrosPerFile) / 8;
  const bool quick = FMicrosPerFile < QuickFileMicros;
  const std::size_t active = quick ? FQuickActive : FJobs;
  FRunLimit = quick ? QuickRun : MaxRun;
  FInline.store(quick && FInlineWhenQuick, std::memory_order_relaxed);
  if (!quick && FWorkers.empty())
    StartWorkers(); // they wait for the lock this thread holds
  if (active > FActive)
    FParked.notify_all();
  FActive = active;
}

TLoadWindow::~TLoadWindow() {
  {
    std::lock_guard lock(FLock);
    FStopping = true;
  }
  FJobAdded.notify_all();
  FParked.notify_all();
  for (auto& worker : FWorkers)
    worker.join();
}

void TLoadWindow::Add(const TFileJob& job) {
  EmitHead(false);
  if (!job.Skip && Empty() && FInline.load(std::memory_order_relaxed)) {
    // Read here with nothing before it to emit: its outcome goes straight to the host, without a
    // slot, a lock or a copy of the job.
    const auto start = std::chrono::steady_clock::now();
    LoadFile(job, FPlan, FAddScratch, FEmitting);
    if (FKeepFiles)
      FEmitting.File = std::move(FAddScratch.File); // shown at once, however large
    CountOwnFile(std::chrono::steady_clock::now() - start);
    FEmit(FEmitting);
    return;
  }
  if (FTail - FHead == FSlots.size())
    EmitHead(true);
  const bool skip = job.Skip;
  bool wake;
  TSlot* own = nullptr; // read here, on the adding thread
  {
    std::lock_guard lock(FLock);
    TSlot& slot = FSlots[FTail % FSlots.size()];
    slot.Job = job;
    if (skip) {
      // Nothing to read: the outcome is ready, and the workers pass the slot over.
      LoadFile(slot.Job, FPlan, FAddScratch, slot.Outcome);
      slot.State = TState::Done;
    } else if (FInline.load(std::memory_order_relaxed)) {
      slot.State = TState::Taken;
      own = &slot;
      if (FTaken == FTail)
        ++FTaken; // no worker need look at it
    } else {
      slot.State = TState::Waiting;
    }
    ++FTail;
    // A worker that is busy takes the job when it is done; an idle one is woken for a run of
    // jobs, not for each.
    wake = slot.State == TState::Waiting && FIdle > 0 && FTail - FTaken >= FRunLimit;
  }
  if (wake)
    FJobAdded.notify_one();
  if (own) {
    const auto start = std::chrono::steady_clock::now();
    LoadFile(own->Job, FPlan, FAddScratch, own->Outcome);
    Keep(own->Job, FAddScratch, own->Outcome);
    const auto spent = std::chrono::steady_clock::now() - start;
    {
      std::lock_guard lock(FLock);
      own->State = TState::Done;
    }
    CountOwnFile(spent);
  }
}

void TLoadWindow::CountOwnFile(std::chrono::steady_clock::duration spent) {
  FOwnSpent += spent;
  if (++FOwnFiles < QuickRun && spent < std::chrono::duration<double, std::micro>(QuickFileMicros))
    return;
  std::lock_guard lock(FLock);
  Measure(FOwnSpent, FOwnFiles);
  FOwnFiles = 0;
  FOwnSpent = {};
}

bool TLoadWindow::StretchDone() {
  FDoneEnd = std::max(FDoneEnd, FHead);
  while (FDoneEnd < FTail && FSlots[FDoneEnd % FSlots.size()].State == TState::Done)
    ++FDoneEnd;
  return FDoneEnd - FHead >= std::min(FSlots.size() / 4, FTail - FHead);
}

void TLoadWindow::Finish() {
  while (FHead != FTail)
    EmitHead(true);
}

void TLoadWindow::EmitHead(bool wait) {
  // Only this thread moves the head and the tail, so it can look without the lock.
  if (Empty())
    return;
  for (;;) {
    {
      std::unique_lock lock(FLock);
      if (FHead == FTail)
        return;
      TSlot& slot = FSlots[FHead % FSlots.size()];
      if (slot.State != TState::Done) {
        if (!wait)
          return;
        // Woken for a stretch of finished outcomes, not for each: a thread switch per file
        // would cost more than reading it.
        FHeadWanted = true;
        if (FIdle > 0 && FTaken < FTail)
          FJobAdded.notify_all(); // the jobs held back for a run are wanted now
        if (!FTick) {
          FHeadDone.wait(lock, [&] { return StretchDone(); });
        } else {
          // A file that takes long (a large one, a slow disk) must not freeze the window.
          while (!FHeadDone.wait_for(lock, TickInterval, [&] { return StretchDone(); })) {
            lock.unlock();
            FTick();
            lock.lock();
          }
        }
        FHeadWanted = false;
      }
      std::swap(FEmitting, slot.Outcome);
      slot.Job.Directory.reset(); // its directory need not stay open for a slot that waits
      slot.State = TState::Free;
      ++FHead;
    }
    wait = false; // one finished outcome was asked for; the rest only as far as they are done
    FEmit(FEmitting);
  }
}

void TLoadWindow::Keep(const TFileJob& job, TLoadScratch& scratch, TFileOutcome& outcome) {
  if (FKeepFiles && outcome.PageCount > MaxKeptPages)
    outcome.Reload = job;
  else if (FKeepFiles)
    outcome.File = std::move(scratch.File);
}

void TLoadWindow::Work(std::size_t number) {
  TLoadScratch scratch;
  for (;;) {
    std::size_t first;
    std::size_t count = 0;
    {
      std::unique_lock lock(FLock);
      // A worker past the number active waits apart, so that waking one for jobs never wakes it.
      FParked.wait(lock, [&] { return FStopping || number < FActive; });
      ++FIdle;
      FJobAdded.wait(lock, [&] {
        FTaken = std::max(FTaken, FHead); // slots emitted unread were skips
        while (FTaken < FTail && FSlots[FTaken % FSlots.size()].State != TState::Waiting)
          ++FTaken; // slots that need no reading
        return FStopping || FTaken < FTail;
      });
      --FIdle;
      if (FStopping)
        return;
      // A few jobs at once where many wait, which saves hand-overs when files take microseconds;
      // few enough that every worker's run fits in the ring twice over, so a run never holds the
      // head back for longer than the others take for theirs.
      const std::size_t run =
          std::clamp<std::size_t>((FTail - FTaken) / (2 * FActive), 1, FRunLimit);
      first = FTaken;
      while (count < run && FTaken < FTail &&
             FSlots[FTaken % FSlots.size()].State == TState::Waiting) {
        FSlots[FTaken % FSlots.size()].State = TState::Taken;
        ++FTaken;
        ++count;
      }
    }
    // These slots are this worker's alone until they are marked done: the adding thread reads a
    // slot only then, and does not reuse it before it is emitted.
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t index = first; index < first + count; ++index) {
      TSlot& slot = FSlots[index % FSlots.size()];
      TFileOutcome& outcome = slot.Outcome;
      LoadFile(slot.Job, FPlan, scratch, outcome);
      Keep(slot.Job, scratch, outcome);
      bool wake;
      {
        std::lock_guard lock(FLock);
        slot.State = TState::Done;
        if (index + 1 == first + count)
          Measure(std::chrono::steady_clock::now() - start, count);
        wake = FHeadWanted && StretchDone();
      }
      if (wake)
        FHeadDone.notify_one();
    }
  }
}

} // namespace lodestar
