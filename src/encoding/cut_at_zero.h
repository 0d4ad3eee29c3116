// Shared last step of the legacy converters: the result ends before its first zero byte, and a
// result with no byte left is a failure (the caller must never get an empty "text").
#pragma once

#include <string>

#include "common/bytes.h"
#include "common/errors.h"

namespace sarnlink {

inline void CutAtZero(Bytes& out, const char* encoding) {
  for (std::size_t k = 0; k < out.size(); ++k) {
    if (out[k] == 0) {
      out.resize(k);
      break;
    }
  }
  if (out.empty()) {
    throw Error(ErrorKind::kConversion,
                std::string(encoding) + ": the input holds no text (empty result)");
  }
}

}  // namespace sarnlink
