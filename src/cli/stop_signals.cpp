#include "cli/stop_signals.h"

#include <signal.h>

namespace sarnlink::cli {
namespace {

volatile std::sig_atomic_t stop_signal = 0;  // the first SIGINT or SIGTERM, 0 before it

extern "C" void AskToStop(int signal) {
  stop_signal = signal;
  // The next one is the system's again: a run that does not stop can still be ended.
  struct sigaction fallback = {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  ::sigaction(signal, &fallback, nullptr);
}

void Handle(int signal, void (*handler)(int)) {
  struct sigaction action = {};
  action.sa_handler = handler;
  action.sa_flags = SA_RESTART;  // reads and writes go on; the run looks at the flag itself
  sigemptyset(&action.sa_mask);
  ::sigaction(signal, &action, nullptr);
}

}  // namespace

void StopSignals::Catch() {
  stop_signal = 0;
  Handle(SIGINT, AskToStop);
  Handle(SIGTERM, AskToStop);
}

void StopSignals::Release() {
  Handle(SIGINT, SIG_DFL);
  Handle(SIGTERM, SIG_DFL);
}

bool StopSignals::IsRequested() const {
  return stop_signal != 0;
}

int StopSignals::Signal() {
  return stop_signal;
}

int ExitStatusOfStop(int signal) {
  return 128 + (signal != 0 ? signal : SIGINT);
}

}  // namespace sarnlink::cli
