// The benchmarks' deterministic Japanese corpus: MovableType-shaped entries of kanji, kana,
// ASCII and full-width punctuation with CR LF lines, and the same text in every encoding.
#pragma once

#include <string>

#include "common/bytes.h"

namespace sarnlink::bench {

// About `bytes` bytes of UTF-8 worth of text, the same for the same size.
std::u16string MakeCorpus(std::size_t bytes);

// The text converted by iconv(3) into `encoding` ("UTF-8", "CP932", "EUC-JP", "ISO-2022-JP").
Bytes ConvertWithIconv(const std::u16string& text, const char* encoding);

}  // namespace sarnlink::bench
