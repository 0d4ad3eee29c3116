// Shared steps of the legacy converters: the JIS row-and-cell arithmetic, and the last step: a
// result with no byte at all is a failure (the caller must never get an empty "text"). A zero
// byte is kept like any other: the text after it is never cut off, and the import makes it
// U+FFFD.
#pragma once

#include <string>

#include "common/bytes.h"
#include "common/errors.h"

namespace sarnlink {

inline void ThrowIfEmpty(const Bytes& out, const char* encoding) {
  if (out.empty()) {
    throw Error(ErrorKind::kConversion,
                std::string(encoding) + ": the input holds no text (empty result)");
  }
}

// A JIS X 0208 row and cell as a Shift_JIS pair. False when a computed byte passes FF, which
// only row or cell bytes outside 21-7E can make happen.
inline bool RowCellToShiftJis(unsigned j1, unsigned j2, unsigned& s1, unsigned& s2) {
  // (j1 + 1) / 2 is j1 / 2 for an even row, so one formula serves both; the odd rows take the
  // lower trail bytes. Written without branches: rows alternate in Japanese text.
  const unsigned odd = j1 & 1;
  s1 = (j1 + 1) / 2 + 0x70;
  s2 = j2 + 0x7D - odd * 0x5E;
  s1 += (s1 >= 0xA0) * 0x40u;
  s2 += (s2 >= 0x7F);
  return s1 <= 0xFF && s2 <= 0xFF;
}

}  // namespace sarnlink
