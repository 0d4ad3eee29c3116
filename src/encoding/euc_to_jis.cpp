// EUC-JP to ISO-2022-JP, so that EUC-JP goes down the same road to Shift_JIS as JIS code.

#include <string>

#include "common/errors.h"
#include "encoding/jis_text_table.h"
#include "encoding/kanji_code_convert.h"

namespace sarnlink {
namespace {

[[noreturn]] void Fail(const std::string& what, std::size_t offset) {
  throw Error(ErrorKind::kConversion,
              "EUC-JP: " + what + " at byte offset " + std::to_string(offset));
}

std::string HexByte(std::uint8_t b) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[b >> 4], kDigits[b & 15]};
}

// The failure of a pair whose second byte is below 80, naming both bytes.
[[noreturn]] void FailSecond(const std::uint8_t* pair, std::size_t offset) {
  Fail("the second byte of a two-byte character is below 80 (" + HexByte(pair[0]) + " " +
           HexByte(pair[1]) + ")",
       offset);
}

}  // namespace

// Notes on invalid input: any high byte that is not SS2 before a katakana byte or SS3 is taken
// as the first of a JIS X 0208 pair, whatever it is; the code page conversion at the end decides
// what an invalid pair becomes. Only the failures named in the header stop the conversion.
Bytes EUCToJIS(const Bytes& euc) {
  EucToJisStream stream;
  Bytes out;
  stream.Convert(euc.data(), euc.size(), true, out);
  return out;
}

std::size_t EucToJisStream::Convert(const std::uint8_t* in, std::size_t size, bool last,
                                    Bytes& out) {
  const std::size_t start = out.size();
  out.resize(start + 5 * size + 1);  // more than any input needs; cut once at the end
  std::uint8_t* o = out.data() + start;
  std::size_t p = 0;
  auto switch_to = [&](Mode wanted) {
    if (mode_ == wanted) {
      return;
    }
    mode_ = wanted;
    o[p++] = 0x1B;
    if (wanted == Mode::kJisX0212) {  // ESC $ ( D
      o[p++] = 0x24;
      o[p++] = 0x28;
      o[p++] = 0x44;
      return;
    }
    o[p++] = wanted == Mode::kTwoByte ? 0x24 : 0x28;  // ESC $ or ESC (
    o[p++] = wanted == Mode::kTwoByte ? 0x42 : wanted == Mode::kKatakana ? 0x49 : 0x4A;
  };
  std::size_t i = 0;
  while (i < size) {
    const std::uint8_t x = in[i];
    if (x < 0x80) {
      switch_to(Mode::kSingleByte);
      o[p++] = x;
      i += 1;
      continue;
    }
    const std::size_t length = x == 0x8F ? 3 : 2;
    if (i + length > size) {
      if (!last) {
        break;  // the character's other bytes are in the next piece
      }
      if (x == 0x8F && i + 1 < size && (in[i + 1] < 0xA1 || in[i + 1] > 0xFE)) {
        Fail("a JIS X 0212 character (8F " + HexByte(in[i + 1]) +
                 ") whose row and cell are not A1-FE",
             offset_ + i);
      }
      Fail(x == 0x8F ? "a JIS X 0212 character (8F) cut off by the end of the input"
                     : "a two-byte character cut off by the end of the input",
           offset_ + i);
    }
    const std::uint8_t y = in[i + 1];
    if (x == 0x8F) {  // JIS X 0212: 8F, then its row and cell, A1-FE each
      const std::uint8_t z = in[i + 2];
      if (y < 0xA1 || y > 0xFE || z < 0xA1 || z > 0xFE) {
        Fail("a JIS X 0212 character (8F " + HexByte(y) + " " + HexByte(z) +
                 ") whose row and cell are not A1-FE",
             offset_ + i);
      }
      switch_to(Mode::kJisX0212);
      o[p++] = static_cast<std::uint8_t>(y - 0x80);
      o[p++] = static_cast<std::uint8_t>(z - 0x80);
    } else if (x == 0x8E && y >= 0xA1 && y <= 0xDF) {
      switch_to(Mode::kKatakana);
      o[p++] = static_cast<std::uint8_t>(y - 0x80);
    } else {
      if (y < 0x80) {
        FailSecond(in + i, offset_ + i + 1);
      }
      switch_to(Mode::kTwoByte);
      o[p++] = static_cast<std::uint8_t>(x - 0x80);
      o[p++] = static_cast<std::uint8_t>(y - 0x80);
    }
    i += length;
  }
  any_ = any_ || p > 0;
  out.resize(start + p);
  offset_ += i;
  if (last && !any_) {
    throw Error(ErrorKind::kConversion, "EUC-JP: the input holds no text (empty result)");
  }
  return i;
}

Bytes EUCToSJIS(const Bytes& euc) {
  return JISToSJIS(EUCToJIS(euc));
}

std::u16string JISToString(const Bytes& jis, const CodePage932& code_page) {
  std::vector<OtherSetMark> marks;
  const Bytes sjis = JISToSJIS(jis, &marks, &JisTextTableFor(code_page));
  return ShiftJisTextWithMarks(sjis, marks, code_page);
}

// EUC-JP's own reading (AppendEucText), not the two steps through ISO-2022-JP: those would read
// an ESC in the text as an escape, turn a broken pair into another character and fail the rest.
std::u16string EUCToString(const Bytes& euc, const CodePage932& code_page) {
  std::u16string text;
  AppendEucText(euc.data(), euc.size(), JisTextTableFor(code_page), code_page, text);
  return text;
}

}  // namespace sarnlink
