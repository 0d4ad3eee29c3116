// The escape sequences of ISO-2022-JP and its relatives (-2, -3), read as ISO 2022 writes them:
// ESC, up to three intermediate bytes 20-2F, a final byte 30-7E. Shared by the converter to
// Shift_JIS and the decoder to text, so that both switch sets at the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "encoding/code_page_932.h"

namespace sarnlink {

inline constexpr std::uint8_t kEsc = 0x1B;

// What an escape sequence does.
enum class EscapeAction {
  kJisX0208,         // ESC $ B or ESC $ @: JIS X 0208 pairs
  kAscii,            // ESC ( B or ESC ( J: one byte a character, ASCII or JIS X 0201 Roman
  kKatakana,         // ESC ( I: JIS X 0201 katakana, one byte each
  kOtherTwoByte,     // another two-byte set, one that code page 932 has no place for
  kOtherSingleByte,  // another one-byte set
  kSingleShift,      // ESC N or ESC O: the next byte is another set's character
  kNothing,          // a sequence this reader does not know, passed over whole
  kLoneEsc,          // an ESC without a final byte: only the ESC is passed over
  kCut,              // the sequence's other bytes are still to come (or were cut by the end)
};

struct Escape {
  EscapeAction action = EscapeAction::kNothing;
  std::size_t length = 0;                // the bytes it takes, ESC included
  std::optional<OtherCharacterSet> set;  // kOtherTwoByte: the set, where it is known
};

// The set a reader reads the bytes after an escape in.
enum class Iso2022Set {
  kAscii,           // one byte a character, ASCII or JIS X 0201 Roman
  kJisX0208,        // JIS X 0208 pairs
  kKatakana,        // JIS X 0201 katakana, one byte each
  kOtherTwoByte,    // pairs of a set code page 932 has no place for
  kOtherSingleByte  // single bytes of another set
};

// Where the escapes met so far leave a reader.
struct Iso2022Shift {
  Iso2022Set set = Iso2022Set::kAscii;
  std::optional<OtherCharacterSet> other_set;  // kOtherTwoByte: the set, where it is known
  bool single_shift = false;  // ESC N or ESC O came: the next byte is another set's character

  // Takes in a whole escape (any but a cut one): a known one switches the set; a designation of
  // another set to G0 switches to one whose characters have no Shift_JIS bytes; a single shift
  // marks the next byte; any other sequence, and a lone ESC, changes nothing.
  void Apply(const Escape& escape);
  bool two_byte() const { return set == Iso2022Set::kJisX0208 || set == Iso2022Set::kOtherTwoByte; }
};

// ReadEscape's work for every escape but the three that Japanese text switches with.
Escape ReadOtherEscape(const std::uint8_t* in, std::size_t size);

// The escape at `in[0]` (an ESC) of the `size` bytes there. Like JISToSJIS, it always wants the
// two bytes after the ESC, so an ESC among the last two bytes of the input is cut. Text switches
// sets every few characters, so the usual escapes are told here at once.
inline Escape ReadEscape(const std::uint8_t* in, std::size_t size) {
  if (size >= 3) {
    const std::uint8_t final_byte = in[2];
    if (in[1] == '$' && (final_byte == 'B' || final_byte == '@')) {
      return Escape{EscapeAction::kJisX0208, 3, std::nullopt};
    }
    if (in[1] == '(' && (final_byte == 'B' || final_byte == 'J')) {
      return Escape{EscapeAction::kAscii, 3, std::nullopt};
    }
  }
  return ReadOtherEscape(in, size);
}

}  // namespace sarnlink
