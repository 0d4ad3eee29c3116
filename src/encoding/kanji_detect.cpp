// Which Japanese legacy encoding is this buffer in? Scores byte pairs until one decides.
#include "encoding/kanji_code_convert.h"

namespace sarnlink {

// Every byte but the last is looked at as a first byte, the second of a pair included, so a
// piece's last byte waits for the next piece's first.
void KanjiDetector::Feed(const std::uint8_t* bytes, std::size_t size) {
  std::size_t k = 0;
  if (!has_previous_ && size > 0) {
    previous_ = bytes[0];
    has_previous_ = true;
    k = 1;
  }
  for (; k < size && !decided_; ++k) {
    const std::uint8_t x = previous_;
    const std::uint8_t y = bytes[k];
    previous_ = y;
    pairs_ += 1;
    if (x == 0x1B) {
      if (y == 0x24 || y == 0x28) {
        Decide(kcJIS);
      } else {
        j_ += 1, s_ -= 1, e_ -= 1;
      }
    } else if (x >= 0x80 && x <= 0xA0) {
      if (y >= 0x40 && y <= 0xFC) {
        euc_prefix_ =
            (x == 0x8E && y >= 0xA1 && y <= 0xDF) || (x == 0x8F && y >= 0xA1 && y <= 0xFE);
        Decide(kcShiftJIS);
      } else {
        j_ -= 1, s_ += 1, e_ -= 1;
      }
    } else if (x >= 0xA1 && x <= 0xDF) {
      if (y >= 0xE0 && y <= 0xFE) {
        Decide(kcEUC);
      } else if (y >= 0xA1 && y <= 0xDF) {
        j_ -= 1, s_ -= 1, e_ += 1;
      } else {
        e_ += 1;
      }
    } else if (x >= 0xE0) {
      j_ -= 1, s_ += 1, e_ += 1;
    } else if (x == 0x00) {
      Decide(kcBinary);
    }
  }
}

KanjiCode KanjiDetector::Result() const {
  if (decided_) {
    return verdict_;
  }
  if (pairs_ == 0) {
    return kcShiftJIS;  // fewer than two bytes
  }
  if (j_ > s_) {
    return j_ >= e_ ? kcJIS : kcEUC;
  }
  return s_ >= e_ ? kcShiftJIS : kcEUC;
}

void EucJpShape::Feed(std::span<const std::uint8_t> bytes) {
  for (const std::uint8_t b : bytes) {
    if (broken_) {
      return;
    }
    if (due_ > 0) {
      broken_ = katakana_ ? (b < 0xA1 || b > 0xDF) : (b < 0xA1 || b > 0xFE);
      due_ -= 1;
      jis_x0208_ += due_ == 0 && counted_ ? 1 : 0;
    } else if (b >= 0x80) {
      katakana_ = b == 0x8E;
      counted_ = b >= 0xA1 && b <= 0xFE;
      due_ = b == 0x8F ? 2 : 1;
      broken_ = !(katakana_ || counted_ || b == 0x8F);
    }
  }
}

}  // namespace sarnlink
