// The import's encoding decision: the bytes of a file in, the encoding chosen and the text out.
#pragma once

#include <string>

#include "common/bytes.h"
#include "encoding/code_page_932.h"

namespace sarnlink {

enum class TextEncoding { kUTF8, kISO2022JP, kEUCJP, kShiftJIS, kBinary };

// "UTF-8", "ISO-2022-JP", "EUC-JP", "Shift_JIS" or "binary".
const char* TextEncodingName(TextEncoding encoding);

struct ImportText {
  TextEncoding encoding;  // what the decision took the bytes to be
  std::u16string text;    // the decoded text, without a byte-order mark
};

// The decision, in this order:
// 1. a buffer that begins with the byte-order mark EF BB BF is UTF-8, and the mark is removed;
// 2. IsUTF8 over the first 1024 bytes says yes: UTF-8 (invalid bytes dropped);
// 3. the whole buffer is decodable UTF-8 with at least one multi-byte sequence: UTF-8 (this
//    catches files whose first kilobyte is English);
// 4. otherwise DetectKanjiCode decides: ISO-2022-JP and EUC-JP go through their converters, and
//    Shift_JIS or binary through code page 932, every byte included.
// Conversion failures are thrown as conversion errors naming the byte offset.
ImportText DecodeImportText(const Bytes& buffer, const CodePage932& code_page);

}  // namespace sarnlink
