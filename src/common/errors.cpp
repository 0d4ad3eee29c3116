#include "common/errors.h"

#include "common/say.h"

namespace sarnlink {

std::string ErrorKindName(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::kDatabase:
      return Say("database error");
    case ErrorKind::kFile:
      return Say("file error");
    case ErrorKind::kConversion:
      return Say("conversion error");
    case ErrorKind::kOverflow:
      return Say("overflow");
    case ErrorKind::kOutOfRange:
      return Say("out of range");
    case ErrorKind::kFormat:
      return Say("format error");
    case ErrorKind::kUsage:
      return Say("usage error");
    case ErrorKind::kRefused:
      return Say("refused");
    case ErrorKind::kInterrupted:
      return Say("interrupted");
  }
  return Say("error");
}

}  // namespace sarnlink
