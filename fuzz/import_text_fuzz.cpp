// libFuzzer target: the import's encoding decision and line cutting over arbitrary bytes. Any
// input must either give text or a conversion error; nothing may crash or read out of bounds.
#include <cstddef>
#include <cstdint>

#include "common/errors.h"
#include "encoding/import_text.h"
#include "encoding/posix/iconv_code_page_932.h"
#include "import/run_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const sarnlink::IconvCodePage932 code_page;
  const sarnlink::Bytes bytes(data, data + size);
  try {
    sarnlink::CutIntoLines(sarnlink::DecodeImportText(bytes, code_page).text);
  } catch (const sarnlink::Error& e) {
    if (e.kind() != sarnlink::ErrorKind::kConversion) {
      __builtin_trap();
    }
  }
  return 0;
}
