// Ctrl-C and SIGTERM during a run: the first asks the run to stop (it unwinds, removing its
// temporary file or rolling its transaction back, and says what was kept); a second one ends
// the process at once, as the signal's default does.
#pragma once

#include <csignal>

#include "common/stop_request.h"

namespace sarnlink::cli {

class StopSignals : public StopRequest {
 public:
  // Catches SIGINT and SIGTERM from now on; Release gives them back to the system. Outside a
  // run they keep their default: a form or a question is simply ended.
  void Catch();
  void Release();

  bool IsRequested() const override;
  // The signal that asked for the stop, 0 if none did.
  static int Signal();
};

// Runs `work` with the signals caught.
template <class Work>
void RunStoppable(StopSignals& signals, Work&& work) {
  signals.Catch();
  try {
    work();
  } catch (...) {
    signals.Release();
    throw;
  }
  signals.Release();
}

// The exit status of a run stopped by `signal`, as shells report one: 128 and the signal.
int ExitStatusOfStop(int signal);

}  // namespace sarnlink::cli
