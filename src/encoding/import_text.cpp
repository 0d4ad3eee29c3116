#include "encoding/import_text.h"

#include "encoding/kanji_code_convert.h"
#include "encoding/utf8.h"

namespace sarnlink {
namespace {

constexpr std::int32_t kUtf8Window = 1024;  // leading bytes IsUTF8 examines

bool StartsWithByteOrderMark(const Bytes& buffer) {
  return buffer.size() >= 3 && buffer[0] == 0xEF && buffer[1] == 0xBB && buffer[2] == 0xBF;
}

}  // namespace

const char* TextEncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUTF8:
      return "UTF-8";
    case TextEncoding::kISO2022JP:
      return "ISO-2022-JP";
    case TextEncoding::kEUCJP:
      return "EUC-JP";
    case TextEncoding::kShiftJIS:
      return "Shift_JIS";
    case TextEncoding::kBinary:
      return "binary";
  }
  return "unknown";
}

ImportText DecodeImportText(const Bytes& buffer, const CodePage932& code_page) {
  if (StartsWithByteOrderMark(buffer)) {
    std::u16string text = DecodeUTF8(buffer, u"");
    text.erase(0, 1);  // the mark decodes to the single unit U+FEFF
    return {TextEncoding::kUTF8, std::move(text)};
  }
  if (IsUTF8(buffer, kUtf8Window) || IsDecodableUTF8(buffer)) {
    return {TextEncoding::kUTF8, DecodeUTF8(buffer, u"")};
  }
  switch (DetectKanjiCode(buffer)) {
    case kcJIS:
      return {TextEncoding::kISO2022JP, JISToString(buffer, code_page)};
    case kcEUC:
      return {TextEncoding::kEUCJP, EUCToString(buffer, code_page)};
    case kcBinary:
      return {TextEncoding::kBinary, code_page.ToUtf16(buffer)};
    case kcShiftJIS:
      break;
  }
  return {TextEncoding::kShiftJIS, code_page.ToUtf16(buffer)};
}

}  // namespace sarnlink
