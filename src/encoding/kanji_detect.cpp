// Which Japanese legacy encoding is this buffer in? Scores byte pairs until one decides.
#include "encoding/kanji_code_convert.h"

namespace sarnlink {

KanjiCode DetectKanjiCode(const Bytes& buffer) {
  if (buffer.size() < 2) {
    return kcShiftJIS;
  }
  int s = 0;  // evidence for Shift_JIS
  int j = 0;  // evidence for ISO-2022-JP
  int e = 0;  // evidence for EUC-JP
  // Every byte but the last is looked at as a first byte, the second of a pair included.
  for (std::size_t i = 0; i + 1 < buffer.size(); ++i) {
    const std::uint8_t x = buffer[i];
    const std::uint8_t y = buffer[i + 1];
    if (x == 0x1B) {
      if (y == 0x24 || y == 0x28) {
        return kcJIS;
      }
      j += 1, s -= 1, e -= 1;
    } else if (x >= 0x80 && x <= 0xA0) {
      if (y >= 0x40 && y <= 0xFC) {
        return kcShiftJIS;
      }
      j -= 1, s += 1, e -= 1;
    } else if (x >= 0xA1 && x <= 0xDF) {
      if (y >= 0xE0 && y <= 0xFE) {
        return kcEUC;
      }
      if (y >= 0xA1 && y <= 0xDF) {
        j -= 1, s -= 1, e += 1;
      } else {
        e += 1;
      }
    } else if (x >= 0xE0) {
      j -= 1, s += 1, e += 1;
    } else if (x == 0x00) {
      return kcBinary;
    }
  }
  if (j > s) {
    return j >= e ? kcJIS : kcEUC;
  }
  return s >= e ? kcShiftJIS : kcEUC;
}

}  // namespace sarnlink
