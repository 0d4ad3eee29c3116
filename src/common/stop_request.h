// Port: whether the user has asked the running conversion to stop (Ctrl-C or SIGTERM on a
// terminal). The drivers look at it between entries and lines, so that a stop unwinds through
// the same road as a failure: the temporary export file removed, the import's transaction
// rolled back.
#pragma once

namespace sarnlink {

class StopRequest {
 public:
  virtual ~StopRequest() = default;
  // True once a stop was asked for; it stays true.
  virtual bool IsRequested() const = 0;
};

// Throws an interruption error when `stop` (which may be null: nobody can stop the run) says
// so; `what` says what is being interrupted ("the export", "the import").
void ThrowIfStopRequested(const StopRequest* stop, const char* what);

}  // namespace sarnlink
