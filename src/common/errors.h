// The one error type the core throws. Each error has a kind (what went wrong, in the terms a
// front end maps to its own convention: an exit status, an HRESULT) and a message that names
// the file, line, byte offset or entry where it happened. Nothing in the core swallows these;
// a driver may catch one only to add where it happened and throw it on.
#pragma once

#include <stdexcept>
#include <string>

namespace sarnlink {

enum class ErrorKind {
  kDatabase,     // the diary could not be opened, or a statement or insertion was refused
  kFile,         // a file could not be examined, opened, read, written or deleted
  kConversion,   // bytes that a legacy-encoding converter cannot turn into text
  kOverflow,     // a 16- or 32-bit value that would leave its range
  kOutOfRange,   // a scan that ran off the end of its input (an unclosed section)
  kFormat,       // a value that cannot be read as what it must be (an hour that is no number)
  kUsage,        // the caller broke the object's contract (a front end's expected refusal)
  kRefused,      // a request that would destroy the user's data (the diary as an output file)
  kInterrupted,  // the user stopped the run (Ctrl-C); the message says what was kept
};

// Short lower-case name of a kind, used at the start of messages ("conversion error: ..."), in
// the reader's language.
std::string ErrorKindName(ErrorKind kind);

class Error : public std::runtime_error {
 public:
  Error(ErrorKind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}

  ErrorKind kind() const { return kind_; }

  // The same error with more context around its message, for a caller that knows where it
  // happened (which file, line or entry) and how much of the work was already done.
  Error WithContext(const std::string& before, const std::string& after = "") const {
    return Error(kind_, before + what() + after);
  }

 private:
  ErrorKind kind_;  // what kind of failure this is
};

}  // namespace sarnlink
