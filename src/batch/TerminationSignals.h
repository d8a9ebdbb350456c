#pragma once

#include <csignal>

namespace lodestar {

// Ctrl-C, SIGTERM and SIGHUP end a run at once, as they would without handlers, but first remove
// the temporary results file (TResultsFile registers it), so an interrupted run leaves only the
// old results. A signal the process was started with ignored (nohup, a background job of a
// non-interactive shell, `trap '' INT`) stays ignored. SIGPIPE and SIGXFSZ are ignored: a closed
// pipe, a full disk and a file over the size limit become write errors, which end the run with a
// message and status 1 whatever the caller left them at.
void InstallTerminationHandlers();

// The file a termination signal removes, or nullptr; the pointer must stay valid until it is
// replaced. Registered while TTerminationHeld holds the signals, so no signal sees half of it.
void RemoveOnTermination(const char* name);

// Holds back the termination signals for its lifetime; they arrive when it ends. Never held
// around a call that may wait for another process (opening a pipe without a reader), or the wait
// could not be interrupted.
class TTerminationHeld {
public:
  TTerminationHeld();
  ~TTerminationHeld();
  TTerminationHeld(const TTerminationHeld&) = delete;
  TTerminationHeld& operator=(const TTerminationHeld&) = delete;

private:
  sigset_t FPrevious;
};

} // namespace lodestar
