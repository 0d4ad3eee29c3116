// Which converter calls may run now on this thread. A conversion (Execute) or a form lets the
// thread's messages through while it runs, and with them the host's timers and the calls other
// apartments make into this one: any converter call that arrives so would change what the run
// reads, or start a second run inside the first, and is refused. Calls from a thread that is not
// the object's own (a host that ignores the apartment rules) are refused too.
#pragma once

#include <windows.h>

#include <string>

namespace sarnlink::com {

// Marks a conversion or form of `method` as running on this thread for its lifetime. Made only
// after CheckMayCall, so never inside another.
class RunOnThisThread {
 public:
  explicit RunOnThisThread(const char* method);
  ~RunOnThisThread();
  RunOnThisThread(const RunOnThisThread&) = delete;
  RunOnThisThread& operator=(const RunOnThisThread&) = delete;
};

// Throws a usage error naming `method` when it may not run now: a run is under way on this
// thread, or this is not `home_thread`, the thread the object was made on.
void CheckMayCall(const char* method, DWORD home_thread);

}  // namespace sarnlink::com
