// libFuzzer target: the import's encoding decision and line cutting over arbitrary bytes. Any
// input must either give text or a conversion error; nothing may crash or read out of bounds.
// Read in pieces, as the import reads files, the input must give exactly the same text and
// replacements or the same failure, and counting the replacements without the text must find as
// many; and the UTF-8 vector kernels must give what the scalar rules give.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/errors.h"
#include "encoding/import_stream.h"
#include "encoding/import_text.h"
#include "encoding/posix/iconv_code_page_932.h"
#include "encoding/utf8.h"
#include "encoding/utf8_kernels.h"
#include "interface/memory_input_file.h"
#include "support/whole_file_oracle.h"

namespace {

// The replacements as text, to be compared with the text itself.
std::u16string Noted(const sarnlink::Replacements& replaced) {
  return sarnlink::FromUtf8("|" + std::to_string(replaced.count) + "@" +
                            std::to_string(replaced.first_line));
}

std::u16string Whole(const sarnlink::Bytes& bytes, const sarnlink::CodePage932& code_page) {
  try {
    const sarnlink::ImportText whole = sarnlink::DecodeImportText(bytes, code_page);
    return whole.text + Noted(whole.replaced);
  } catch (const sarnlink::Error& e) {
    if (e.kind() != sarnlink::ErrorKind::kConversion) {
      __builtin_trap();
    }
    return u"error: " + sarnlink::FromUtf8(e.what());
  }
}

std::u16string InPieces(const sarnlink::Bytes& bytes, const sarnlink::CodePage932& code_page,
                        std::size_t piece_size) {
  sarnlink::MemoryInputFile file(bytes);
  try {
    const auto decision =
        sarnlink::DecideImportEncoding(file, bytes.size(), std::nullopt, true, piece_size);
    std::u16string text;
    const sarnlink::Replacements replaced = sarnlink::DecodeInPieces(
        file, decision, code_page, [&text](std::u16string_view t) { text += t; }, piece_size);
    // Counted without the text, as `detect` counts, the replacements must be the same.
    file.Rewind();
    const sarnlink::Replacements counted = sarnlink::ReadInPieces(
        file, decision, code_page,
        [](sarnlink::StreamDecoder& decoder, std::span<const std::uint8_t> piece, bool last) {
          decoder.Count(piece, last);
        },
        piece_size);
    if (counted.count != replaced.count || counted.first_line != replaced.first_line) {
      __builtin_trap();
    }
    return text + Noted(replaced);
  } catch (const sarnlink::Error& e) {
    return u"error: " + sarnlink::FromUtf8(e.what());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const sarnlink::IconvCodePage932 code_page;
  const sarnlink::Bytes bytes(data, data + size);
  const std::u16string whole = Whole(bytes, code_page);
  if (whole.rfind(u"error: ", 0) != 0) {
    sarnlink::CutIntoLines(whole.substr(0, whole.rfind(u'|')));
  }
  for (std::size_t piece_size : {std::size_t{1}, std::size_t{7}}) {
    if (InPieces(bytes, code_page, piece_size) != whole) {
      __builtin_trap();
    }
  }
  sarnlink::kernels::SetLevel(sarnlink::kernels::Level::kScalar);
  const std::u16string scalar = sarnlink::DecodeUTF8(bytes, u"?");
  sarnlink::kernels::SetLevel(sarnlink::kernels::Level::kBest);
  if (sarnlink::DecodeUTF8(bytes, u"?") != scalar || sarnlink::FindInvalidUTF8(bytes).count != [&] {
        sarnlink::InvalidBytes invalid;
        sarnlink::DecodeUTF8(bytes, u"", &invalid);
        return invalid.count;
      }()) {
    __builtin_trap();
  }
  return 0;
}
