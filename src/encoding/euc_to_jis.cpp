// EUC-JP to ISO-2022-JP, so that EUC-JP goes down the same road to Shift_JIS as JIS code.
#include "common/errors.h"
#include "encoding/cut_at_zero.h"
#include "encoding/kanji_code_convert.h"

namespace sarnlink {
namespace {

enum class JisMode { kSingleByte, kTwoByte, kKatakana };

[[noreturn]] void Fail(const std::string& what, std::size_t offset) {
  throw Error(ErrorKind::kConversion,
              "EUC-JP: " + what + " at byte offset " + std::to_string(offset));
}

void SwitchTo(JisMode wanted, JisMode& mode, Bytes& out) {
  if (mode == wanted) {
    return;
  }
  static const std::uint8_t kSingle[] = {0x1B, 0x28, 0x4A};    // ESC ( J
  static const std::uint8_t kTwo[] = {0x1B, 0x24, 0x42};       // ESC $ B
  static const std::uint8_t kKatakana[] = {0x1B, 0x28, 0x49};  // ESC ( I
  const std::uint8_t* escape = wanted == JisMode::kSingleByte ? kSingle
                               : wanted == JisMode::kTwoByte  ? kTwo
                                                              : kKatakana;
  out.insert(out.end(), escape, escape + 3);
  mode = wanted;
}

}  // namespace

// Notes on invalid input: any high byte that is not SS2 before a katakana byte is taken as the
// first of a JIS X 0208 pair, whatever it is; the code page conversion at the end decides what
// an invalid pair becomes. Only the failures named in the header stop the conversion.
Bytes EUCToJIS(const Bytes& euc) {
  const std::size_t size = euc.size();
  Bytes out;
  out.reserve(5 * size + 1);  // one allocation: more than any input needs
  JisMode mode = JisMode::kSingleByte;
  std::size_t i = 0;
  while (i < size) {
    const std::uint8_t x = euc[i];
    if (x < 0x80) {
      SwitchTo(JisMode::kSingleByte, mode, out);
      out.push_back(x);
      i += 1;
      continue;
    }
    if (i + 1 >= size) {
      Fail("a two-byte character cut off by the end of the input", i);
    }
    const std::uint8_t y = euc[i + 1];
    if (x == 0x8E && y >= 0xA1 && y <= 0xDF) {
      SwitchTo(JisMode::kKatakana, mode, out);
      out.push_back(static_cast<std::uint8_t>(y - 0x80));
    } else {
      if (y < 0x80) {
        Fail("the second byte of a two-byte character is below 80", i + 1);
      }
      SwitchTo(JisMode::kTwoByte, mode, out);
      out.push_back(static_cast<std::uint8_t>(x - 0x80));
      out.push_back(static_cast<std::uint8_t>(y - 0x80));
    }
    i += 2;
  }
  CutAtZero(out, "EUC-JP");
  return out;
}

Bytes EUCToSJIS(const Bytes& euc) {
  return JISToSJIS(EUCToJIS(euc));
}

std::u16string JISToString(const Bytes& jis, const CodePage932& code_page) {
  return code_page.ToUtf16(JISToSJIS(jis));
}

std::u16string EUCToString(const Bytes& euc, const CodePage932& code_page) {
  return code_page.ToUtf16(EUCToSJIS(euc));
}

}  // namespace sarnlink
