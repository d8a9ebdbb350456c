#pragma once

#include "TFileLoad.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace lodestar {

// Reads files on worker threads while their outcomes come back in the order they were added.
//
// The jobs and their outcomes wait in a ring of a fixed number of slots: the walk adds a job at
// the tail, the workers take the jobs in order, and the thread that adds hands the outcomes at
// the head to Emit as soon as they are complete. When the ring is full, Add waits for the head,
// so a run holds at most Jobs loaded files and the ring's finished outcomes, however large the
// tree. Emit runs only on the thread that calls Add and Finish.
class TLoadWindow {
public:
  using TEmit = std::function<void(TFileOutcome&)>;

  using TTick = std::function<void()>;

  // plan is read by every worker and must not change during the run. With keepFiles every
  // outcome of a file carries its loaded object to Emit. tick, when given, runs on the adding
  // thread at least every TickInterval while it waits for a file (a window's events).
  // processors: how many the workers share, 0 for the system's count.
  TLoadWindow(int jobs, const TRecordPlan& plan, TEmit emit, bool keepFiles = false,
              TTick tick = {}, unsigned processors = 0);
  // Stops and joins the workers; outcomes not yet emitted are dropped (a run left by an error).
  ~TLoadWindow();
  TLoadWindow(const TLoadWindow&) = delete;
  TLoadWindow& operator=(const TLoadWindow&) = delete;

  // Copies the job into a slot whose texts' memory serves job after job.
  void Add(const TFileJob& job);
  // Emits the outcomes at the head that are finished, without waiting for any.
  void EmitDone() { EmitHead(false); }
  // Every job added has been emitted.
  bool Empty() const { return FHead == FTail; }
  // Emits every outcome still outstanding.
  void Finish();

  // Slots per worker: enough that a worker rarely waits for the head while the walk lists a
  // directory.
  static constexpr std::size_t SlotsPerJob = 8;
  // Jobs a worker takes at once at most; QuickRun where files are quick.
  static constexpr std::size_t MaxRun = 4;
  static constexpr std::size_t QuickRun = 16;
  // Below this time a file, on average, a file costs processor time rather than waiting for its
  // storage: more workers than processors then only take turns, and with so little work per
  // file their hand-overs cost more than they gain. Such a run keeps one worker per processor
  // beside the adding thread (at least one) and hands each a longer run of jobs; on two
  // processors or fewer the adding thread reads the files itself, as one job does; a window's
  // thread too, as it did when the tab read one file at a time, since such a file takes well
  // under a millisecond. Slower files (a network disk) bring every worker back.
  static constexpr double QuickFileMicros = 200;
  static constexpr std::chrono::milliseconds TickInterval{10};
  // Pages of a file kept for the host at most: a larger one is loaded again when it is shown,
  // so the files waiting in the ring stay small however large the archive's files are.
  static constexpr int MaxKeptPages = 64;

private:
  enum class TState { Free, Waiting, Taken, Done };
  struct TSlot {
    TState State = TState::Free;
    TFileJob Job;
    TFileOutcome Outcome;
  };

  void StartWorkers();
  void Work(std::size_t number);
  // Hands a host that keeps files the loaded object, or the job to load it again when it is shown.
  void Keep(const TFileJob& job, TLoadScratch& scratch, TFileOutcome& outcome);
  // Counts a run of files a worker read in spent into the average, and sets the workers active
  // and the run length from it; under the lock.
  void Measure(std::chrono::steady_clock::duration spent, std::size_t files);
  // Counts a file the adding thread read itself: a run of them at a time, or at once for a slow
  // one, so that a slow disk brings the workers back after a file or two.
  void CountOwnFile(std::chrono::steady_clock::duration spent);
  // The head and the outcomes after it are finished, a quarter of the ring or all there are;
  // under the lock.
  bool StretchDone();
  // Emits the finished outcomes at the head; with wait, first waits until the head is finished.
  void EmitHead(bool wait);

  const TRecordPlan& FPlan;
  TEmit FEmit;
  bool FKeepFiles;
  TTick FTick;
  std::vector<TSlot> FSlots;
  TFileOutcome FEmitting;   // the outcome being emitted; its memory goes back to the slot
  TLoadScratch FAddScratch; // for the skips the adding thread settles itself
  std::size_t FHead = 0;    // oldest outcome not yet emitted
  std::size_t FTail = 0;    // next free slot (count of jobs added)
  std::size_t FTaken = 0;   // next job for a worker
  std::size_t FDoneEnd = 0; // end of the finished outcomes that follow the head without a gap
  std::size_t FIdle = 0;    // workers waiting for a job
  bool FHeadWanted = false; // the adding thread waits for the head
  bool FStopping = false;
  std::mutex FLock;
  std::condition_variable FJobAdded;
  std::condition_variable FHeadDone;
  std::condition_variable FParked; // workers past FActive
  std::size_t FJobs = 1;           // workers there are once they are started
  std::size_t FActive = 1;         // workers that take jobs
  std::size_t FQuickActive = 1;    // how many when files are quick
  std::size_t FRunLimit = MaxRun;
  bool FInlineWhenQuick = false;
  // The adding thread reads the files it adds. Written under the lock, read also without it.
  std::atomic<bool> FInline = false;
  // Files the adding thread read itself since it last counted them, and their time.
  std::size_t FOwnFiles = 0;
  std::chrono::steady_clock::duration FOwnSpent{};
  double FMicrosPerFile = QuickFileMicros; // neither quick nor slow until measured
  std::vector<std::thread> FWorkers;
};

} // namespace lodestar
