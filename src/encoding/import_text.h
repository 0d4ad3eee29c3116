// The import's encoding decision: the bytes of a file in, the encoding chosen and the text out.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "common/bytes.h"
#include "encoding/code_page_932.h"
#include "encoding/utf8.h"

namespace sarnlink {

enum class TextEncoding { kUTF8, kUTF16LE, kUTF16BE, kISO2022JP, kEUCJP, kShiftJIS, kBinary };

// The leading bytes IsUTF8 examines in the decision.
inline constexpr std::size_t kUtf8Window = 1024;

// The encoding whose byte-order mark `bytes` begin with: EF BB BF for UTF-8, FF FE for UTF-16
// LE, FE FF for UTF-16 BE (none of these pairs starts Shift_JIS or EUC-JP text).
std::optional<TextEncoding> EncodingOfByteOrderMark(std::span<const std::uint8_t> bytes);

// The length of `encoding`'s byte-order mark: 3 for UTF-8, 2 for UTF-16, else 0.
std::size_t ByteOrderMarkLength(TextEncoding encoding);

// "UTF-8", "UTF-16LE", "UTF-16BE", "ISO-2022-JP", "EUC-JP", "Shift_JIS" or "binary".
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

struct ImportText {
  TextEncoding encoding;  // what the decision took the bytes to be
  std::u16string text;    // the decoded text, without a byte-order mark
  Replacements replaced;  // the bytes that did not become text, each now U+FFFD
};

// The decision, in this order:
// 1. a buffer that begins with a byte-order mark is UTF-8 or UTF-16 as it says, and the mark is
//    removed;
// 2. IsUTF8 over the first 1024 bytes says yes: UTF-8;
// 3. the whole buffer is decodable UTF-8 with at least one multi-byte sequence: UTF-8 (this
//    catches files whose first kilobyte is English);
// 4. the buffer is mostly UTF-8 (IsMostlyUTF8): UTF-8;
// 5. otherwise the legacy detector decides, its verdict read a second time against the shape
//    of the whole file (SecondReading: EUC-JP led by half-width katakana is EUC-JP, and a file
//    EUC-JP cannot have written is not): ISO-2022-JP and EUC-JP go through their converters,
//    and Shift_JIS or binary through code page 932, every byte included.
// Each byte of UTF-8 that is not UTF-8 becomes U+FFFD, as does each unpaired surrogate of UTF-16.
// `forced` skips the decision and reads the buffer in that encoding (without its own byte-order
// mark). Conversion failures are thrown as conversion errors naming the byte offset.
ImportText DecodeImportText(const Bytes& buffer, const CodePage932& code_page,
                            std::optional<TextEncoding> forced = std::nullopt);

}  // namespace sarnlink
