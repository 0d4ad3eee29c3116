// Port: bytes in code page 932 (Shift_JIS as Windows writes it) to UTF-16. Code page 932 is
// named explicitly on every platform, never the system's ANSI code page, so the result does not
// depend on the machine's locale. Each platform supplies an adapter (encoding/posix,
// encoding/win32).
#pragma once

#include <span>
#include <string>

#include "common/bytes.h"

namespace sarnlink {

// The two-byte sets beside JIS X 0208 that ISO-2022-JP-2 and -3 (and EUC-JP's 8F form) write,
// and that code page 932 has no place for. kJisX0212 takes in eucJP-ms's characters of the 8F
// form too (the IBM extensions in rows 73-74, such as 髙, and the user-defined rows 75-7E), which
// JIS X 0212 leaves empty. kEucJpMsTwoByte is an EUC-JP pair (rows 21-7E) that code page 932 has
// no character for: eucJP-ms puts its user-defined area there.
enum class OtherCharacterSet {
  kJisX0212,
  kJisX0213Plane1,
  kJisX0213Plane2,
  kGb2312,
  kKsC5601,
  kEucJpMsTwoByte
};

// A character of another set as EUC's 8F form writes it: 8F, then row and cell with their high
// bits set; its last two bytes are the set's pair form. False for a row or cell outside 21-7E,
// which no set has.
inline bool OtherSetBytes(std::uint8_t row, std::uint8_t cell, char (&three)[3]) {
  if (row < 0x21 || row > 0x7E || cell < 0x21 || cell > 0x7E) {
    return false;
  }
  three[0] = static_cast<char>(0x8F);
  three[1] = static_cast<char>(row | 0x80);
  three[2] = static_cast<char>(cell | 0x80);
  return true;
}

class CodePage932 {
 public:
  virtual ~CodePage932() = default;

  // Every byte of `bytes` is converted; a byte or pair that code page 932 cannot map becomes
  // U+FFFD, so nothing is dropped silently and the conversion never fails.
  virtual std::u16string ToUtf16(std::span<const std::uint8_t> bytes) const = 0;

  // Whether every byte of `bytes` becomes a character, ToUtf16 giving no U+FFFD: what counting
  // the replacements of a file needs, without its text. An adapter may answer without converting.
  virtual bool AllCharacters(std::span<const std::uint8_t> bytes) const {
    return ToUtf16(bytes).find(u'\uFFFD') == std::u16string::npos;
  }

  // The text of the character at `row` and `cell` (21-7E each) of another set, as this
  // platform's converters know it (one character may be two code points in JIS X 0213); empty
  // where they do not.
  virtual std::u16string OtherSetCharacter(OtherCharacterSet set, std::uint8_t row,
                                           std::uint8_t cell) const = 0;
};

}  // namespace sarnlink
