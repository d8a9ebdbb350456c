#pragma once

#include <csignal>

namespace lodestar::cli {

// A closed pipe, a full disk and a file over the size limit become write errors that end the run
// with status 1, whatever the caller left SIGPIPE at; Ctrl-C and kill leave no half file behind.
void InstallSignalHandlers();

// The temporary output file while a run writes it (null when there is none): an interrupted run
// removes it on its way out, so only the old results stay. Change it only while TSignalsHeld.
void SetTemporaryOutput(const char* name);

// Holds back the terminating signals for its lifetime; they arrive when it ends.
class TSignalsHeld {
public:
  TSignalsHeld();
  ~TSignalsHeld();
  TSignalsHeld(const TSignalsHeld&) = delete;
  TSignalsHeld& operator=(const TSignalsHeld&) = delete;

private:
  sigset_t FPrevious;
};

} // namespace lodestar::cli
