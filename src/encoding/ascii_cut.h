// Cutting a byte stream that arrives in pieces where a character always starts: after an ASCII
// byte. That holds for UTF-8, Shift_JIS and EUC-JP alike (no byte of theirs below 80 belongs to
// the character before it), so a converter fed such cuts gives what it gives over the whole.
#pragma once

#include <algorithm>
#include <span>

#include "common/bytes.h"

namespace sarnlink {

// The end of the bytes that can be taken now: after the last ASCII byte, or all at the last.
inline std::size_t ReadyEnd(std::span<const std::uint8_t> bytes, bool last) {
  std::size_t end = bytes.size();
  if (!last) {
    while (end > 0 && bytes[end - 1] >= 0x80) {
      --end;
    }
  }
  return end;
}

// Hands `ready` the bytes of `piece` (after those `waiting` from earlier pieces) that end after
// an ASCII byte, or all of them at the `last` piece, in order; keeps the rest in `waiting`. The
// waiting bytes go with the piece's bytes up to its first ASCII byte on their own, so that the
// piece itself is never copied.
template <class Ready>
void HandOverAfterAscii(Bytes& waiting, std::span<const std::uint8_t> piece, bool last,
                        Ready&& ready) {
  if (!waiting.empty()) {
    std::size_t head = 0;
    while (head < piece.size() && piece[head] >= 0x80) {
      ++head;
    }
    if (head == piece.size() && !last) {
      waiting.insert(waiting.end(), piece.begin(), piece.end());
      return;
    }
    head = std::min(head + 1, piece.size());
    waiting.insert(waiting.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(head));
    ready(std::span<const std::uint8_t>(waiting));
    waiting.clear();
    piece = piece.subspan(head);
    if (piece.empty()) {
      return;
    }
  }
  const std::size_t end = ReadyEnd(piece, last);
  ready(piece.first(end));
  waiting.assign(piece.begin() + static_cast<std::ptrdiff_t>(end), piece.end());
}

}  // namespace sarnlink
