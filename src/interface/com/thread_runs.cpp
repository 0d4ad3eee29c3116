#include "interface/com/thread_runs.h"

#include "common/errors.h"

namespace sarnlink::com {
namespace {

// The method whose run is under way on this thread; null when none is.
thread_local const char* t_running = nullptr;

}  // namespace

RunOnThisThread::RunOnThisThread(const char* method) {
  t_running = method;
}

RunOnThisThread::~RunOnThisThread() {
  t_running = nullptr;
}

void CheckMayCall(const char* method, DWORD home_thread) {
  if (t_running) {
    throw Error(ErrorKind::kUsage, std::string("a conversion is running (") + t_running + "): " +
                                       method + " is refused until it ends; nothing was changed");
  }
  if (GetCurrentThreadId() != home_thread) {
    throw Error(ErrorKind::kUsage,
                std::string(method) +
                    " was called from a thread other than the one that made the converter; "
                    "call it through its apartment");
  }
}

}  // namespace sarnlink::com
