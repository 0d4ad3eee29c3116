// Port: bytes in code page 932 (Shift_JIS as Windows writes it) to UTF-16. Code page 932 is
// named explicitly on every platform, never the system's ANSI code page, so the result does not
// depend on the machine's locale. Each platform supplies an adapter (encoding/posix,
// encoding/win32).
#pragma once

#include <span>
#include <string>

#include "common/bytes.h"

namespace sarnlink {

class CodePage932 {
 public:
  virtual ~CodePage932() = default;

  // Every byte of `bytes` is converted; a byte or pair that code page 932 cannot map becomes
  // U+FFFD, so nothing is dropped silently and the conversion never fails.
  virtual std::u16string ToUtf16(std::span<const std::uint8_t> bytes) const = 0;
};

}  // namespace sarnlink
