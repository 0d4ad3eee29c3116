// ISO-2022-JP to Shift_JIS by arithmetic on the JIS X 0208 row and cell bytes.
#include <cstring>

#include "common/errors.h"
#include "encoding/cut_at_zero.h"
#include "encoding/kanji_code_convert.h"

namespace sarnlink {
namespace {

constexpr std::uint8_t kEsc = 0x1B;

[[noreturn]] void Fail(const std::string& what, std::size_t offset) {
  throw Error(ErrorKind::kConversion,
              "ISO-2022-JP: " + what + " at byte offset " + std::to_string(offset));
}

}  // namespace

// Notes on invalid input: bytes that are not valid ISO-2022-JP but cause none of the failures
// below pass through as computed bytes, and the code page conversion decides what they become.
// An unknown escape drops only the ESC itself.
Bytes JISToSJIS(const Bytes& jis) {
  JisToShiftJisStream stream;
  Bytes out;
  out.reserve(jis.size());
  stream.Convert(jis.data(), jis.size(), true, out);
  return out;
}

// The escape at `i`: a known one switches the state and is passed over, an unknown one loses
// only its ESC. False when its other bytes are still to come; at the end, a failure.
bool JisToShiftJisStream::TakeEscape(const std::uint8_t* in, std::size_t size, bool last,
                                     std::size_t& i) {
  if (i + 2 >= size) {
    if (!last) {
      return false;
    }
    Fail("an escape sequence cut off by the end of the input", offset_ + i);
  }
  const std::uint8_t b1 = in[i + 1];
  const std::uint8_t b2 = in[i + 2];
  if (b1 == '$' && (b2 == 'B' || b2 == 0x40)) {
    state_ = State::kTwoByte;
    i += 3;
  } else if (b1 == '(' && (b2 == 'J' || b2 == 'B')) {
    state_ = State::kSingleByte;
    i += 3;
  } else if (b1 == '(' && b2 == 'I') {
    state_ = State::kKatakana;
    i += 3;
  } else {
    i += 1;
  }
  return true;
}

std::size_t JisToShiftJisStream::Convert(const std::uint8_t* in, std::size_t size, bool last,
                                         Bytes& out) {
  const std::size_t start = out.size();
  out.resize(start + size);  // at most one byte out for each byte in
  std::size_t written = 0;
  const std::size_t converted = Run(in, size, last, out.data() + start, written);
  out.resize(start + written);
  return converted;
}

std::size_t JisToShiftJisStream::Check(const std::uint8_t* in, std::size_t size, bool last) {
  std::uint64_t high = 0;  // the high bits of every byte, gathered eight bytes at a time
  std::size_t k = 0;
  for (; k + 8 <= size; k += 8) {
    std::uint64_t word;
    std::memcpy(&word, in + k, sizeof word);
    high |= word;
  }
  for (; k < size; ++k) {
    high |= in[k];
  }
  if ((high & 0x8080808080808080ULL) != 0) {
    std::size_t written = 0;
    return Run(in, size, last, nullptr, written);
  }
  return CheckSevenBit(in, size, last);
}

// Seven-bit input cannot fail a pair, so only the escapes and the zero bytes matter: the runs
// between escapes are skipped with memchr. In two-byte mode a pair swallows whatever follows its
// first byte, an ESC included, so only an ESC an even distance into the run is an escape.
std::size_t JisToShiftJisStream::CheckSevenBit(const std::uint8_t* in, std::size_t size,
                                               bool last) {
  auto next_esc = [&](std::size_t from) {
    const void* found = from < size ? std::memchr(in + from, kEsc, size - from) : nullptr;
    return found ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - in) : size;
  };
  std::size_t i = 0;
  while (i < size) {
    if (in[i] != kEsc) {
      std::size_t end = next_esc(i);
      if (state_ == State::kTwoByte) {
        while (end < size && (end - i) % 2 == 1) {
          end = next_esc(end + 1);  // this ESC is a pair's second byte
        }
        if (end == size && (size - i) % 2 == 1) {
          if (!last) {
            any_ = any_ || (!cut_ && size - 1 > i);
            i = size - 1;  // the last pair's second byte is in the next piece
            break;
          }
          Fail("a two-byte character cut off by the end of the input", offset_ + size - 1);
        }
        any_ = any_ || !cut_;  // pairs are never zero
      } else if (state_ == State::kKatakana) {
        any_ = any_ || !cut_;  // a byte with its high bit set is never zero
      } else if (!cut_) {
        const void* zero = std::memchr(in + i, 0, end - i);
        any_ = any_ || zero != in + i;
        cut_ = zero != nullptr;
      }
      i = end;
      continue;
    }
    if (!TakeEscape(in, size, last, i)) {
      break;  // the escape's other bytes are in the next piece
    }
  }
  offset_ += i;
  if (last && !any_) {
    throw Error(ErrorKind::kConversion, "ISO-2022-JP: the input holds no text (empty result)");
  }
  return i;
}

// The result ends before its first zero byte, but the input is still read to its end, so that
// its failures are the whole input's. With `o` null nothing is written.
std::size_t JisToShiftJisStream::Run(const std::uint8_t* in, std::size_t size, bool last,
                                     std::uint8_t* o, std::size_t& p) {
  auto put = [&](unsigned byte) {
    if (cut_) {
      return;
    }
    if (byte == 0) {
      cut_ = true;
      return;
    }
    any_ = true;
    if (o) {
      o[p] = static_cast<std::uint8_t>(byte);
    }
    ++p;
  };
  std::size_t i = 0;
  while (i < size) {
    const std::uint8_t b = in[i];
    if (b == kEsc) {
      if (!TakeEscape(in, size, last, i)) {
        break;  // the escape's other bytes are in the next piece
      }
      continue;
    }
    if (state_ == State::kSingleByte) {
      put(b);
      i += 1;
    } else if (state_ == State::kKatakana) {
      put(b | 0x80u);
      i += 1;
    } else {
      if (i + 1 >= size) {
        if (!last) {
          break;  // the pair's second byte is in the next piece
        }
        Fail("a two-byte character cut off by the end of the input", offset_ + i);
      }
      unsigned s1 = 0;
      unsigned s2 = 0;
      if (!RowCellToShiftJis(in[i], in[i + 1], s1, s2)) {
        Fail("a row or cell byte outside 21-7E", offset_ + i);
      }
      put(s1);
      put(s2);
      i += 2;
    }
  }
  offset_ += i;
  if (last && !any_) {
    throw Error(ErrorKind::kConversion, "ISO-2022-JP: the input holds no text (empty result)");
  }
  return i;
}

}  // namespace sarnlink
