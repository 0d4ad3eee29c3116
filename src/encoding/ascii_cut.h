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
void HandOverUpToLastAscii(Bytes& waiting, std::span<const std::uint8_t> piece, bool last,
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

// The end of the UTF-8 bytes that can be taken now, or all of them at the `last` piece. UTF-8
// finds its own boundaries: the bytes are cut before their last lead byte (C0-FF), whose
// character may be unfinished; continuation bytes (80-BF) are never cut from their lead. The first
// half of an encoded surrogate pair (ED A0-AF xx) before a second lead ED waits with it, so that
// the pair is decoded, and encoded again, whole. A run of more than six continuation bytes at the
// end belongs to no character and is taken.
inline std::size_t Utf8ReadyEnd(std::span<const std::uint8_t> bytes, bool last) {
  const std::size_t size = bytes.size();
  if (last) {
    return size;
  }
  std::size_t end = size;
  for (std::size_t k = size; k > 0 && size - k < 7; --k) {
    const std::uint8_t b = bytes[k - 1];
    if (b < 0x80) {
      break;  // everything up to an ASCII byte is whole
    }
    if (b >= 0xC0) {
      end = k - 1;
      break;
    }
  }
  if (end >= 3 && end < size && bytes[end] == 0xED && bytes[end - 3] == 0xED &&
      bytes[end - 2] >= 0xA0 && bytes[end - 2] <= 0xAF) {
    end -= 3;
  }
  return end;
}

// Hands `ready` the bytes of `piece` (after those `waiting` from earlier pieces) up to the place
// `cut` gives (a function of the bytes and whether they are the last), in order; keeps the rest
// in `waiting`. `cut` must take the bytes from a place where a character starts. The waiting
// bytes go with the piece's first bytes on their own, so that the piece itself is copied only
// when those cannot finish them.
template <class Cut, class Ready>
void HandOverAtCuts(Bytes& waiting, std::span<const std::uint8_t> piece, bool last, Cut&& cut,
                    Ready&& ready) {
  if (!waiting.empty()) {
    const std::size_t before = waiting.size();
    const std::size_t take = std::min<std::size_t>(piece.size(), 16);
    waiting.insert(waiting.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(take));
    const std::size_t end =
        cut(std::span<const std::uint8_t>(waiting), last && take == piece.size());
    if (end < before) {  // the cut falls among the waiting bytes: they wait with the whole piece
      waiting.resize(before);
      waiting.insert(waiting.end(), piece.begin(), piece.end());
      const std::size_t whole = cut(std::span<const std::uint8_t>(waiting), last);
      ready(std::span<const std::uint8_t>(waiting).first(whole));
      waiting.erase(waiting.begin(), waiting.begin() + static_cast<std::ptrdiff_t>(whole));
      return;
    }
    ready(std::span<const std::uint8_t>(waiting).first(end));
    waiting.clear();
    piece = piece.subspan(end - before);
  }
  const std::size_t end = cut(piece, last);
  ready(piece.first(end));
  waiting.assign(piece.begin() + static_cast<std::ptrdiff_t>(end), piece.end());
}

// HandOverUpToLastAscii's work for UTF-8, cut by Utf8ReadyEnd, so that even a line without one
// ASCII byte passes in pieces.
template <class Ready>
void HandOverUtf8(Bytes& waiting, std::span<const std::uint8_t> piece, bool last, Ready&& ready) {
  HandOverAtCuts(waiting, piece, last, &Utf8ReadyEnd, ready);
}

}  // namespace sarnlink
