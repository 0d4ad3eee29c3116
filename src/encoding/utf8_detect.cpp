// Is this buffer UTF-8? The import's first question about a file it was not told the encoding of.
#include "encoding/utf8.h"

namespace sarnlink {

// Notes on invalid input: the detector answers, it never fails. A stray continuation byte is a
// "no" at once; FE and FF are passed over; overlong forms, encoded surrogates and values above
// U+10FFFF are not looked for.
bool IsUTF8(const Bytes& buffer, std::int32_t count) {
  if (count <= 0 || buffer.empty()) {
    return false;
  }
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(count), buffer.size());
  int sequences = 0;
  std::size_t i = 0;
  while (i < n) {
    const std::uint8_t x = buffer[i];
    if (x <= 0x7F || x >= 0xFE) {
      i += 1;
      continue;
    }
    if (x <= 0xBF) {
      return false;  // a continuation byte where a character should start
    }
    std::size_t a = 1;
    if ((x & 0xFC) == 0xFC) {
      a = 5;
    } else if ((x & 0xF8) == 0xF8) {
      a = 4;
    } else if ((x & 0xF0) == 0xF0) {
      a = 3;
    } else if ((x & 0xE0) == 0xE0) {
      a = 2;
    }
    if (i + a >= n) {
      break;  // the sequence reaches past the examined bytes: judge by what came before
    }
    for (std::size_t k = 1; k <= a; ++k) {
      if ((buffer[i + k] & 0xC0) != 0x80) {
        return false;
      }
    }
    sequences += 1;
    i += a + 1;
  }
  return sequences > 1;
}

}  // namespace sarnlink
