#include "common/errors.h"

namespace sarnlink {

const char* ErrorKindName(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::kDatabase:
      return "database error";
    case ErrorKind::kFile:
      return "file error";
    case ErrorKind::kConversion:
      return "conversion error";
    case ErrorKind::kOverflow:
      return "overflow";
    case ErrorKind::kOutOfRange:
      return "out of range";
    case ErrorKind::kFormat:
      return "format error";
    case ErrorKind::kUsage:
      return "usage error";
    case ErrorKind::kRefused:
      return "refused";
    case ErrorKind::kInterrupted:
      return "interrupted";
  }
  return "error";
}

}  // namespace sarnlink
