// ISO-2022-JP to Shift_JIS by arithmetic on the JIS X 0208 row and cell bytes.
#include "common/errors.h"
#include "encoding/cut_at_zero.h"
#include "encoding/kanji_code_convert.h"

namespace sarnlink {
namespace {

constexpr std::uint8_t kEsc = 0x1B;

enum class JisState { kSingleByte, kTwoByte, kKatakana };

[[noreturn]] void Fail(const std::string& what, std::size_t offset) {
  throw Error(ErrorKind::kConversion,
              "ISO-2022-JP: " + what + " at byte offset " + std::to_string(offset));
}

}  // namespace

// Notes on invalid input: bytes that are not valid ISO-2022-JP but cause none of the failures
// below pass through as computed bytes, and the code page conversion decides what they become.
// An unknown escape drops only the ESC itself.
Bytes JISToSJIS(const Bytes& jis) {
  const std::size_t size = jis.size();
  const std::uint8_t* in = jis.data();
  Bytes out(size);  // at most one byte out for each byte in; cut once at the end
  std::uint8_t* o = out.data();
  std::size_t p = 0;
  JisState state = JisState::kSingleByte;
  std::size_t i = 0;
  while (i < size) {
    const std::uint8_t b = in[i];
    if (b == kEsc) {
      if (i + 2 >= size) {
        Fail("an escape sequence cut off by the end of the input", i);
      }
      const std::uint8_t b1 = in[i + 1];
      const std::uint8_t b2 = in[i + 2];
      if (b1 == '$' && (b2 == 'B' || b2 == 0x40)) {
        state = JisState::kTwoByte;
        i += 3;
      } else if (b1 == '(' && (b2 == 'J' || b2 == 'B')) {
        state = JisState::kSingleByte;
        i += 3;
      } else if (b1 == '(' && b2 == 'I') {
        state = JisState::kKatakana;
        i += 3;
      } else {
        i += 1;
      }
      continue;
    }
    if (state == JisState::kSingleByte) {
      o[p++] = b;
      i += 1;
    } else if (state == JisState::kKatakana) {
      o[p++] = static_cast<std::uint8_t>(b | 0x80);
      i += 1;
    } else {
      // The run of pairs up to the next escape.
      while (i < size && in[i] != kEsc) {
        if (i + 1 >= size) {
          Fail("a two-byte character cut off by the end of the input", i);
        }
        unsigned s1 = 0;
        unsigned s2 = 0;
        if (!RowCellToShiftJis(in[i], in[i + 1], s1, s2)) {
          Fail("a row or cell byte outside 21-7E", i);
        }
        o[p++] = static_cast<std::uint8_t>(s1);
        o[p++] = static_cast<std::uint8_t>(s2);
        i += 2;
      }
    }
  }
  out.resize(p);
  CutAtZero(out, "ISO-2022-JP");
  return out;
}

}  // namespace sarnlink
