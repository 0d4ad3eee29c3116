// UTF-8 to UTF-16 for the import, and the whole-buffer check that rescues UTF-8 files whose
// first kilobyte is nearly all ASCII.
#include <algorithm>
#include <cstring>
#include <limits>

#include "common/errors.h"
#include "encoding/ascii_cut.h"
#include "encoding/utf8.h"
#include "encoding/utf8_kernels.h"

namespace sarnlink {
namespace {

bool IsContinuation(std::uint8_t b) {
  return (b & 0xC0) == 0x80;
}

// Length of the sequence DecodeUTF8 decodes at `i` (1 to 4), and its code point; 0 when the byte
// at `i` is invalid. The rules: ASCII; C2-DF with one continuation; E0-EF with two (no overlong
// or surrogate check, so the six-byte surrogate form decodes to its pair); F0-F4 with three and a
// value from U+10000 to U+10FFFF.
std::size_t DecodeOne(const std::uint8_t* s, std::size_t i, std::size_t size, char32_t& c) {
  const std::uint8_t b = s[i];
  if (b <= 0x7F) {
    c = b;
    return 1;
  }
  if (b >= 0xC2 && b <= 0xDF) {
    if (i + 1 >= size || !IsContinuation(s[i + 1])) {
      return 0;
    }
    c = (char32_t(b & 0x1F) << 6) | (s[i + 1] & 0x3F);
    return 2;
  }
  if (b >= 0xE0 && b <= 0xEF) {
    if (i + 2 >= size || !IsContinuation(s[i + 1]) || !IsContinuation(s[i + 2])) {
      return 0;
    }
    c = (char32_t(b & 0x0F) << 12) | (char32_t(s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F);
    return 3;
  }
  if (b >= 0xF0 && b <= 0xF4) {
    if (i + 3 >= size || !IsContinuation(s[i + 1]) || !IsContinuation(s[i + 2]) ||
        !IsContinuation(s[i + 3])) {
      return 0;
    }
    c = (char32_t(b & 0x07) << 18) | (char32_t(s[i + 1] & 0x3F) << 12) |
        (char32_t(s[i + 2] & 0x3F) << 6) | (s[i + 3] & 0x3F);
    return (c >= 0x10000 && c <= 0x10FFFF) ? 4 : 0;
  }
  return 0;  // 80-C1 and F5-FF never start a sequence
}

// Eight bytes at `s` are all ASCII.
bool EightAscii(const std::uint8_t* s) {
  std::uint64_t word;
  std::memcpy(&word, s, sizeof word);
  return (word & 0x8080808080808080ULL) == 0;
}

}  // namespace

// Notes on invalid input: decoding never fails. Each invalid byte is replaced by `replacement`
// (or dropped when it is empty), only that byte is consumed, and the next byte is judged afresh.
std::u16string DecodeUTF8(std::span<const std::uint8_t> buffer, std::u16string_view replacement,
                          InvalidBytes* invalid) {
  const std::size_t size = buffer.size();
  if (size == 0) {
    return std::u16string();
  }
  const std::size_t r = replacement.size();
  const std::size_t units_max = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
  if (size > units_max || (r > 0 && size > units_max / r)) {
    throw Error(ErrorKind::kOverflow,
                "a buffer of " + std::to_string(size) + " bytes is too large to decode as UTF-8");
  }
  // Sized once at the worst case and cut once at the end: a byte gives at most one unit, or the
  // replacement; a four-byte form gives two units.
  std::u16string out(r > 0 ? size * r : size, u'\0');
  char16_t* o = out.data();
  const std::uint8_t* s = buffer.data();
  std::size_t p = 0;
  std::size_t i = 0;
  while (i < size) {
    std::size_t vector_units = 0;
    i += kernels::DecodeAsciiAndThreeByteRuns(s + i, size - i, o + p, vector_units);
    p += vector_units;
    while (i + 8 <= size && EightAscii(s + i)) {
      for (int k = 0; k < 8; ++k) {
        o[p++] = s[i + k];
      }
      i += 8;
    }
    // Fast path: the runs of kana and kanji, three bytes a unit.
    while (i + 2 < size && (s[i] & 0xF0) == 0xE0 && IsContinuation(s[i + 1]) &&
           IsContinuation(s[i + 2])) {
      o[p++] = static_cast<char16_t>(((s[i] & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) |
                                     (s[i + 2] & 0x3F));
      i += 3;
    }
    if (i == size) {
      break;
    }
    char32_t c = 0;
    const std::size_t length = DecodeOne(s, i, size, c);
    if (length == 0) {
      if (invalid && invalid->count++ == 0) {
        invalid->first_offset = i;
      }
      for (char16_t unit : replacement) {
        o[p++] = unit;
      }
      i += 1;
    } else if (c >= 0x10000) {
      o[p++] = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      o[p++] = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      i += length;
    } else {
      o[p++] = static_cast<char16_t>(c);
      i += length;
    }
  }
  out.resize(p);
  return out;
}

InvalidBytes FindInvalidUTF8(std::span<const std::uint8_t> buffer, std::size_t offset,
                             bool first_only) {
  InvalidBytes invalid;
  const std::uint8_t* s = buffer.data();
  const std::size_t size = buffer.size();
  std::size_t i = 0;
  while (i < size) {
    i += kernels::SkipAsciiAndThreeByteRuns(s + i, size - i);
    while (i + 8 <= size && EightAscii(s + i)) {
      i += 8;
    }
    if (i == size) {
      break;
    }
    char32_t c = 0;
    const std::size_t length = DecodeOne(s, i, size, c);
    if (length == 0) {
      if (invalid.count++ == 0) {
        invalid.first_offset = offset + i;
        if (first_only) {
          break;
        }
      }
      i += 1;
    } else {
      i += length;
    }
  }
  return invalid;
}

bool IsVerbatimUTF8(std::span<const std::uint8_t> buffer) {
  if (buffer.empty()) {
    return true;
  }
  const std::uint8_t* end = buffer.data() + buffer.size();
  for (const std::uint8_t lead : {std::uint8_t{0xE0}, std::uint8_t{0xED}}) {
    for (const std::uint8_t* p = buffer.data();
         (p = static_cast<const std::uint8_t*>(
              std::memchr(p, lead, static_cast<std::size_t>(end - p)))) &&
         p + 1 < end;
         ++p) {
      if (IsContinuation(p[1]) && (lead == 0xE0 ? p[1] < 0xA0 : p[1] >= 0xA0)) {
        return false;  // decodes to a unit that encodes otherwise
      }
    }
  }
  return FindInvalidUTF8(buffer).count == 0;
}

void UTF8Survey::Feed(std::span<const std::uint8_t> piece, bool last) {
  if (ratio_out_of_reach_) {
    return;
  }
  HandOverUtf8(waiting_, piece, last, [this](std::span<const std::uint8_t> bytes) {
    const std::uint8_t* s = bytes.data();
    const std::size_t end = bytes.size();
    std::size_t i = 0;
    while (i < end && !ratio_out_of_reach_) {
      while (i + 8 <= end && EightAscii(s + i)) {
        i += 8;
      }
      if (i == end) {
        break;
      }
      char32_t c = 0;
      const std::size_t length = DecodeOne(s, i, end, c);
      if (length == 0) {
        invalid_ += 1;
        i += 1;
        // Every later sequence takes at least two bytes: past this point the ratio is out of
        // reach.
        ratio_out_of_reach_ =
            multibyte_ + (total_ - consumed_ - i) / 2 < kMostlyUTF8Ratio * invalid_;
      } else {
        multibyte_ += length > 1 ? 1 : 0;
        i += length;
      }
    }
    consumed_ += end;
  });
}

std::u16string FromUtf8(std::string_view utf8) {
  return DecodeUTF8(std::span<const std::uint8_t>(
                        reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size()),
                    u"\uFFFD");
}

}  // namespace sarnlink
