// ISO-2022-JP (and the sets of -2 and -3) straight to text, over an input given in pieces: JIS X
// 0208 pairs, ASCII and katakana through the table of code page 932's text, without making
// Shift_JIS first. It never fails: every byte becomes a character or U+FFFD.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "common/bytes.h"
#include "encoding/code_page_932.h"
#include "encoding/iso2022_escape.h"
#include "encoding/jis_text_table.h"

namespace sarnlink {

// The text is the one code page 932 gives for the Shift_JIS that JISToSJIS (marking the pairs
// the code page lacks) makes of the same bytes, with each other set's character as the
// platform's converter reads it. Where the input is broken the text is still made:
// - a pair in a two-byte set that has no character (a row or cell byte outside 21-7E, or one
//   the code page or the platform's converter lacks) is one U+FFFD, its two bytes taken whatever
//   they are, as the converter to Shift_JIS takes them;
// - an escape or a pair cut by the end of the input is one U+FFFD;
// - a zero byte is U+FFFD;
// - a byte of a one-byte state that is not ASCII (80 and up, or a katakana byte outside 21-5F)
//   has no character of its own: such bytes are read as the Shift_JIS they make, with the bytes
//   up to the next ASCII byte, as the converter to Shift_JIS gives them.
class Iso2022JpDecoder {
 public:
  Iso2022JpDecoder(const JisTextTable& table, const CodePage932& code_page)
      : table_(table), code_page_(code_page) {}

  // Decodes `size` bytes at `in`, appending the text to `out`; `last` for the final piece.
  // Returns the bytes taken: an escape or a pair cut by the piece's end waits (the caller gives
  // it again at the front of the next piece).
  std::size_t Decode(const std::uint8_t* in, std::size_t size, bool last, std::u16string& out);

 private:
  std::size_t TakeEscape(const std::uint8_t* in, std::size_t size, bool last, std::u16string& out);
  std::size_t TakeTwoByte(const std::uint8_t* in, std::size_t size, bool last, std::u16string& out);
  void TakeSingleByte(std::uint8_t byte, std::u16string& out);
  // A byte of Shift_JIS that has no character of its own yet: it waits with the bytes after it.
  void Hold(std::uint8_t byte, std::u16string& out);
  // The Shift_JIS bytes that wait, as code page 932 reads them.
  void Release(std::u16string& out);
  void Replacement(std::u16string& out) {
    Release(out);
    out.push_back(u'\uFFFD');
  }

  const JisTextTable& table_;
  const CodePage932& code_page_;
  Iso2022Shift shift_;  // the set the escapes chose
  Bytes held_;  // Shift_JIS bytes from 80 up (and what follows them) waiting for an ASCII byte
};

}  // namespace sarnlink
