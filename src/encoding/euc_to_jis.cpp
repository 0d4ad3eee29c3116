// EUC-JP to ISO-2022-JP, so that EUC-JP goes down the same road to Shift_JIS as JIS code.
#include <cstring>

#include "common/errors.h"
#include "encoding/cut_at_zero.h"
#include "encoding/jis_text_table.h"
#include "encoding/kanji_code_convert.h"

namespace sarnlink {
namespace {

enum class JisMode { kSingleByte, kTwoByte, kKatakana };

[[noreturn]] void Fail(const std::string& what, std::size_t offset) {
  throw Error(ErrorKind::kConversion,
              "EUC-JP: " + what + " at byte offset " + std::to_string(offset));
}

// The escape that selects `wanted`, written at `o` when the mode changes; returns its length.
std::size_t SwitchTo(JisMode wanted, JisMode& mode, std::uint8_t* o) {
  if (mode == wanted) {
    return 0;
  }
  mode = wanted;
  o[0] = 0x1B;
  o[1] = wanted == JisMode::kTwoByte ? 0x24 : 0x28;  // ESC $ or ESC (
  o[2] = wanted == JisMode::kTwoByte ? 0x42 : wanted == JisMode::kKatakana ? 0x49 : 0x4A;
  return 3;
}

// Whether `euc` can take the one-pass road to Shift_JIS: with no ESC or zero byte in it, and no
// 9B or 80 (which lose their high bit to become ESC or zero in a pair), the JIS stream EUCToJIS
// would write holds no ESC but its own mode switches and no zero byte, so JISToSJIS would read
// every mode back as written and convert every pair without failing.
bool OnePassSafe(const Bytes& euc) {
  if (euc.empty()) {
    return true;
  }
  for (int b : {0x1B, 0x00, 0x80, 0x9B}) {
    if (std::memchr(euc.data(), b, euc.size())) {
      return false;
    }
  }
  return true;
}

}  // namespace

// Notes on invalid input: any high byte that is not SS2 before a katakana byte is taken as the
// first of a JIS X 0208 pair, whatever it is; the code page conversion at the end decides what
// an invalid pair becomes. Only the failures named in the header stop the conversion.
Bytes EUCToJIS(const Bytes& euc) {
  const std::size_t size = euc.size();
  const std::uint8_t* in = euc.data();
  Bytes out(5 * size + 1);  // one allocation, more than any input needs; cut once at the end
  std::uint8_t* o = out.data();
  std::size_t p = 0;
  JisMode mode = JisMode::kSingleByte;
  std::size_t i = 0;
  while (i < size) {
    const std::uint8_t x = in[i];
    if (x < 0x80) {
      p += SwitchTo(JisMode::kSingleByte, mode, o + p);
      o[p++] = x;
      i += 1;
      continue;
    }
    if (i + 1 >= size) {
      Fail("a two-byte character cut off by the end of the input", i);
    }
    const std::uint8_t y = in[i + 1];
    if (x == 0x8E && y >= 0xA1 && y <= 0xDF) {
      p += SwitchTo(JisMode::kKatakana, mode, o + p);
      o[p++] = static_cast<std::uint8_t>(y - 0x80);
    } else {
      if (y < 0x80) {
        Fail("the second byte of a two-byte character is below 80", i + 1);
      }
      p += SwitchTo(JisMode::kTwoByte, mode, o + p);
      o[p++] = static_cast<std::uint8_t>(x - 0x80);
      o[p++] = static_cast<std::uint8_t>(y - 0x80);
    }
    i += 2;
  }
  out.resize(p);
  CutAtZero(out, "EUC-JP");
  return out;
}

std::size_t EucPairsToShiftJis(const std::uint8_t* in, std::size_t size, std::size_t offset,
                               std::uint8_t* o) {
  std::size_t p = 0;
  std::size_t i = 0;
  while (i < size) {
    const std::uint8_t x = in[i];
    if (x < 0x80) {
      o[p++] = x;
      i += 1;
      continue;
    }
    if (i + 1 >= size) {
      Fail("a two-byte character cut off by the end of the input", offset + i);
    }
    const std::uint8_t y = in[i + 1];
    if (x == 0x8E && y >= 0xA1 && y <= 0xDF) {
      o[p++] = y;  // katakana: (y - 80) OR 80
    } else {
      if (y < 0x80) {
        Fail("the second byte of a two-byte character is below 80", offset + i + 1);
      }
      unsigned s1 = 0;
      unsigned s2 = 0;
      RowCellToShiftJis(x - 0x80u, y - 0x80u, s1, s2);  // never fails for bytes below 80
      o[p++] = static_cast<std::uint8_t>(s1);
      o[p++] = static_cast<std::uint8_t>(s2);
    }
    i += 2;
  }
  return p;
}

// The same result as JISToSJIS(EUCToJIS(euc)), in one pass where that is safe (OnePassSafe).
Bytes EUCToSJIS(const Bytes& euc) {
  if (!OnePassSafe(euc)) {
    return JISToSJIS(EUCToJIS(euc));
  }
  Bytes out(euc.size());
  out.resize(EucPairsToShiftJis(euc.data(), euc.size(), 0, out.data()));
  CutAtZero(out, "EUC-JP");
  return out;
}

// Both take one pass with the JIS text table where every character is plain; the two-step road
// otherwise, which also gives every failure.
std::u16string JISToString(const Bytes& jis, const CodePage932& code_page) {
  std::u16string text;
  if (AppendPlainJisText(jis.data(), jis.size(), JisTextTableFor(code_page), text)) {
    return text;
  }
  return code_page.ToUtf16(JISToSJIS(jis));
}

std::u16string EUCToString(const Bytes& euc, const CodePage932& code_page) {
  std::u16string text;
  if (!euc.empty() && OnePassSafe(euc) &&
      AppendPlainEucText(euc.data(), euc.size(), JisTextTableFor(code_page), text)) {
    return text;
  }
  return code_page.ToUtf16(EUCToSJIS(euc));
}

}  // namespace sarnlink
