// The command-line tool's one table from outcome to exit status, and the refusal it throws
// for expected conditions.
#pragma once

#include <stdexcept>
#include <string>

namespace sarnlink::cli {

enum ExitStatus : int {
  kExitDone = 0,     // the command did what it was asked
  kExitRefused = 1,  // an expected refusal: a missing file, an existing output, a cancel, usage
  kExitFailed = 2,   // a run that failed; the message says what and how far it got
};

// An expected refusal, reported with a one-line reason and exit status 1.
class Refusal : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace sarnlink::cli
