#include "common/stop_request.h"

#include <string>

#include "common/errors.h"

namespace sarnlink {

void ThrowIfStopRequested(const StopRequest* stop, const char* what) {
  if (stop && stop->IsRequested()) {
    throw Error(ErrorKind::kInterrupted, std::string(what) + " was stopped");
  }
}

}  // namespace sarnlink
