#include "TerminationSignals.h"

#include <atomic>
#include <pthread.h>
#include <unistd.h>

namespace lodestar::cli {

namespace {

std::atomic<const char*> GTemporaryOutput{nullptr};

extern "C" void OnTerminatingSignal(int signal) {
  if (const char* name = GTemporaryOutput.load())
    ::unlink(name);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

} // namespace

void InstallSignalHandlers() {
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  for (int signal : {SIGINT, SIGTERM, SIGHUP})
    std::signal(signal, OnTerminatingSignal);
}

void SetTemporaryOutput(const char* name) {
  GTemporaryOutput = name;
}

TSignalsHeld::TSignalsHeld() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : {SIGINT, SIGTERM, SIGHUP})
    sigaddset(&set, signal);
  pthread_sigmask(SIG_BLOCK, &set, &FPrevious);
}

TSignalsHeld::~TSignalsHeld() {
  pthread_sigmask(SIG_SETMASK, &FPrevious, nullptr);
}

} // namespace lodestar::cli
