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
  Bytes out;
  out.reserve(size);  // at most one byte out for each byte in
  JisState state = JisState::kSingleByte;
  std::size_t i = 0;
  while (i < size) {
    const std::uint8_t b = jis[i];
    if (b == kEsc) {
      if (i + 2 >= size) {
        Fail("an escape sequence cut off by the end of the input", i);
      }
      const std::uint8_t b1 = jis[i + 1];
      const std::uint8_t b2 = jis[i + 2];
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
      out.push_back(b);
      i += 1;
    } else if (state == JisState::kKatakana) {
      out.push_back(static_cast<std::uint8_t>(b | 0x80));
      i += 1;
    } else {
      if (i + 1 >= size) {
        Fail("a two-byte character cut off by the end of the input", i);
      }
      const unsigned j1 = b;
      const unsigned j2 = jis[i + 1];
      unsigned s1 = (j1 % 2 == 1) ? (j1 + 1) / 2 + 0x70 : j1 / 2 + 0x70;
      unsigned s2 = (j1 % 2 == 1) ? j2 + 0x1F : j2 + 0x7D;
      if (s1 >= 0xA0) {
        s1 += 0x40;
      }
      if (s2 >= 0x7F) {
        s2 += 1;
      }
      if (s1 > 0xFF || s2 > 0xFF) {
        Fail("a row or cell byte outside 21-7E", i);
      }
      out.push_back(static_cast<std::uint8_t>(s1));
      out.push_back(static_cast<std::uint8_t>(s2));
      i += 2;
    }
  }
  CutAtZero(out, "ISO-2022-JP");
  return out;
}

}  // namespace sarnlink
