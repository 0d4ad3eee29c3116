// The import's encoding decision: the bytes of a file in, the encoding chosen and the text out.
#pragma once

#include <optional>
#include <string>

#include "common/bytes.h"
#include "encoding/code_page_932.h"
#include "encoding/utf8.h"

namespace sarnlink {

enum class TextEncoding { kUTF8, kISO2022JP, kEUCJP, kShiftJIS, kBinary };

// The leading bytes IsUTF8 examines in the decision.
inline constexpr std::size_t kUtf8Window = 1024;

// Whether `bytes` begin with the UTF-8 byte-order mark EF BB BF.
inline bool StartsWithByteOrderMark(const Bytes& bytes) {
  return bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
}

// "UTF-8", "ISO-2022-JP", "EUC-JP", "Shift_JIS" or "binary".
const char* TextEncodingName(TextEncoding encoding);

// The encoding a user names to override the decision: "utf-8", "shift_jis", "euc-jp" or
// "iso-2022-jp", or a usual alias (utf8; sjis, cp932, ms932, windows-31j; eucjp; jis), in any
// letter case; nothing for any other name.
std::optional<TextEncoding> TextEncodingFromName(std::string_view name);

struct ImportText {
  TextEncoding encoding;  // what the decision took the bytes to be
  std::u16string text;    // the decoded text, without a byte-order mark
  // UTF-8 only: the bytes that were not UTF-8. A file the decision took for UTF-8 by its first
  // kilobyte or as a whole has them dropped, as they always were; a mostly-UTF-8 file, or one
  // read as UTF-8 because the user said so, has each replaced by U+FFFD.
  InvalidBytes invalid;
  bool invalid_replaced = false;
  std::int64_t first_invalid_line = 0;  // the line (from 1) of the first invalid byte
};

// "3 bytes that are not UTF-8 replaced by U+FFFD; the first on line 40", or empty when every
// byte was text.
std::string InvalidBytesNote(const ImportText& text);
std::string InvalidBytesNote(std::size_t count, bool replaced, std::int64_t line);

// The decision, in this order:
// 1. a buffer that begins with the byte-order mark EF BB BF is UTF-8, and the mark is removed;
// 2. IsUTF8 over the first 1024 bytes says yes: UTF-8 (invalid bytes dropped);
// 3. the whole buffer is decodable UTF-8 with at least one multi-byte sequence: UTF-8 (this
//    catches files whose first kilobyte is English);
// 4. the buffer is mostly UTF-8 (IsMostlyUTF8): UTF-8, each invalid byte becoming U+FFFD;
// 5. otherwise DetectKanjiCode decides: ISO-2022-JP and EUC-JP go through their converters, and
//    Shift_JIS or binary through code page 932, every byte included.
// `forced` skips the decision and reads the buffer in that encoding (UTF-8 with U+FFFD for each
// invalid byte and without a byte-order mark). Conversion failures are thrown as conversion
// errors naming the byte offset.
ImportText DecodeImportText(const Bytes& buffer, const CodePage932& code_page,
                            std::optional<TextEncoding> forced = std::nullopt);

}  // namespace sarnlink
