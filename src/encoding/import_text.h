// The encodings the import reads, their names and byte-order marks, and the note on bytes that
// did not become text.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "common/bytes.h"
#include "encoding/code_page_932.h"
#include "encoding/utf8.h"

namespace sarnlink {

// kASCII is the decision's word for a file without a byte from 80 up that no escape makes
// ISO-2022-JP: every legacy reading gives it the same text, which is read as UTF-8 reads it.
enum class TextEncoding {
  kUTF8,
  kUTF16LE,
  kUTF16BE,
  kISO2022JP,
  kEUCJP,
  kShiftJIS,
  kBinary,
  kASCII
};

// The leading bytes IsUTF8 and Utf16ByItsZeros examine in the decision.
inline constexpr std::size_t kUtf8Window = 1024;

// The encoding whose byte-order mark `bytes` begin with: EF BB BF for UTF-8, FF FE for UTF-16
// LE, FE FF for UTF-16 BE (none of these pairs starts Shift_JIS or EUC-JP text).
std::optional<TextEncoding> EncodingOfByteOrderMark(std::span<const std::uint8_t> bytes);

// The UTF-16 byte order `head` (a file's first kilobyte) is plainly in without a byte-order mark.
// MovableType's key lines ("AUTHOR: x", "TITLE: y") are ASCII, which UTF-16 writes beside a zero
// byte, and text in the other encodings the import reads has no zero bytes. The units that
// decide are the line ends, TABs, spaces and colons every key line holds: as ASCII beside a zero
// byte they are LF, CR, TAB, space or colon in one byte order and U+0A00, U+0D00, U+0900, U+2000
// or U+3A00 in the other, which text hardly ever holds (where Japanese such as U+3000 and U+4E00
// would blur any count of ASCII letters). LE when at least kUtf16KeyUnits of the whole units are
// one of those bytes then a zero byte, more than four times as many as the other way round; BE
// the other way round; else nothing.
std::optional<TextEncoding> Utf16ByItsZeros(std::span<const std::uint8_t> head);
inline constexpr std::size_t kUtf16KeyUnits = 4;

// The length of `encoding`'s byte-order mark: 3 for UTF-8, 2 for UTF-16, else 0.
std::size_t ByteOrderMarkLength(TextEncoding encoding);

// "UTF-8", "UTF-16LE", "UTF-16BE", "ISO-2022-JP", "EUC-JP", "Shift_JIS", "binary" or "ASCII".
const char* TextEncodingName(TextEncoding encoding);

// The encoding a user names to override the decision: "utf-8", "utf-16le", "utf-16be",
// "shift_jis", "euc-jp" or "iso-2022-jp", or a usual alias (utf8; utf16le, utf16be; sjis,
// cp932, ms932, windows-31j; eucjp; jis), in any letter case; nothing for any other name.
std::optional<TextEncoding> TextEncodingFromName(std::string_view name);

// What did not become its character: each byte (or, in UTF-16, EUC-JP and ISO-2022-JP, each
// character) that could not be read became one U+FFFD.
struct Replacements {
  std::size_t count = 0;
  std::int64_t first_line = 0;  // the line (from 1) of the first, when count > 0
};

// "3 bytes that are not Shift_JIS replaced by U+FFFD; the first on line 40", or empty when
// every byte became its character.
std::string ReplacementsNote(TextEncoding encoding, const Replacements& replaced);

}  // namespace sarnlink
