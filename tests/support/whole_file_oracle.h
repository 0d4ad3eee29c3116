// The import's decision and decoding over a whole buffer, written plainly from the rules, and
// the whole text cut into lines: the oracle that the piecewise import is compared with.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "encoding/code_page_932.h"
#include "encoding/import_text.h"

namespace sarnlink {

struct ImportText {
  TextEncoding encoding;  // what the decision took the bytes to be
  std::u16string text;    // the decoded text, without a byte-order mark
  Replacements replaced;  // the bytes that did not become text, each now U+FFFD
};

// The decision, in this order:
// 1. a buffer that begins with a byte-order mark is UTF-8 or UTF-16 as it says, and the mark is
//    removed;
// 2. the first 1024 bytes are plainly UTF-16 by their zero bytes (Utf16ByItsZeros): UTF-16 in
//    that byte order;
// 3. IsUTF8 over the first 1024 bytes says yes: UTF-8;
// 4. the whole buffer is decodable UTF-8 with at least one multi-byte sequence: UTF-8 (this
//    catches files whose first kilobyte is English);
// 5. the buffer is mostly UTF-8 (UTF8Survey::MostlyUtf8): UTF-8;
// 6. otherwise the legacy detector decides, its verdict read a second time against the shape
//    of the whole file (SecondReading: EUC-JP led by half-width katakana is EUC-JP, and a file
//    EUC-JP cannot have written is not): ISO-2022-JP goes through Shift_JIS, EUC-JP is read
//    by its own rules (ReadEucJpPlainly), and Shift_JIS or binary through code page 932, every
//    byte included; a Shift_JIS verdict on a buffer without a byte from 80 up is ASCII, read as
//    UTF-8.
// Each byte of UTF-8 that is not UTF-8 becomes U+FFFD, as does each unpaired surrogate of UTF-16,
// and in every encoding each zero byte (U+0000 in UTF-16): nothing after it is cut off.
// `forced` skips the decision and reads the buffer in that encoding (without its own byte-order
// mark). Nothing fails: a file the conversion through Shift_JIS refuses (ISO-2022-JP cut or
// out of range) is read by the ISO-2022-JP decoder, each broken piece one U+FFFD.
ImportText DecodeImportText(const Bytes& buffer, const CodePage932& code_page,
                            std::optional<TextEncoding> forced = std::nullopt);

// EUC-JP a character at a time: ASCII; 8E and a half-width katakana (A1-DF); a JIS X 0208 pair
// (A1-FE twice) as code page 932 reads it, or where it has none, as the platform's eucJP-ms does;
// 8F and a pair of A1-FE as the platform reads JIS X 0212 and eucJP-ms. A zero byte, a character
// without a reading and a broken one each become U+FFFD; a broken lead takes the bytes from 80 up
// after it (8F before A1-FE two of them), never a byte below 80, and any other byte from 80 up
// stands alone.
std::u16string ReadEucJpPlainly(const Bytes& euc, const CodePage932& code_page);

// The text cut into lines: at LF once every CR LF has become LF, when the text has a CR LF; else
// at LF when it has one; else at CR. Empty pieces count, so n separators give n + 1 lines.
std::vector<std::u16string> CutIntoLines(std::u16string text);

}  // namespace sarnlink
