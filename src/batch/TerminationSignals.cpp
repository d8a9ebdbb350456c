#include "TerminationSignals.h"

#include <atomic>
#include <pthread.h>
#include <unistd.h>

namespace lodestar {

namespace {

constexpr int TerminationSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<const char*> GRemoveOnTermination{nullptr};

extern "C" void OnTerminationSignal(int signal) {
  if (const char* name = GRemoveOnTermination.load())
    ::unlink(name);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

bool IgnoredAtStart(int signal) {
  struct sigaction current {};
  return ::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

} // namespace

void InstallTerminationHandlers() {
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  for (int signal : TerminationSignals)
    if (!IgnoredAtStart(signal))
      std::signal(signal, OnTerminationSignal);
}

void RemoveOnTermination(const char* name) {
  GRemoveOnTermination = name;
}

TTerminationHeld::TTerminationHeld() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : TerminationSignals)
    sigaddset(&set, signal);
  pthread_sigmask(SIG_BLOCK, &set, &FPrevious);
}

TTerminationHeld::~TTerminationHeld() {
  pthread_sigmask(SIG_SETMASK, &FPrevious, nullptr);
}

} // namespace lodestar
