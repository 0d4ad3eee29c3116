#include "encoding/import_text.h"

#include <algorithm>
#include <utility>

#include "common/text.h"
#include "encoding/kanji_code_convert.h"
#include "encoding/utf8.h"

namespace sarnlink {
namespace {}  // namespace

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

std::optional<TextEncoding> TextEncodingFromName(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  // The names and the aliases that iconv, nkf and editors use for each.
  static constexpr std::pair<const char*, TextEncoding> kNames[] = {
      {"utf-8", TextEncoding::kUTF8},          {"utf8", TextEncoding::kUTF8},
      {"shift_jis", TextEncoding::kShiftJIS},  {"shift-jis", TextEncoding::kShiftJIS},
      {"sjis", TextEncoding::kShiftJIS},       {"cp932", TextEncoding::kShiftJIS},
      {"ms932", TextEncoding::kShiftJIS},      {"windows-31j", TextEncoding::kShiftJIS},
      {"euc-jp", TextEncoding::kEUCJP},        {"eucjp", TextEncoding::kEUCJP},
      {"euc_jp", TextEncoding::kEUCJP},        {"iso-2022-jp", TextEncoding::kISO2022JP},
      {"iso2022jp", TextEncoding::kISO2022JP}, {"jis", TextEncoding::kISO2022JP},
  };
  for (const auto& [known, encoding] : kNames) {
    if (lower == known) {
      return encoding;
    }
  }
  return std::nullopt;
}

namespace {

// The line (from 1) that byte `offset` is on, counting LF, or CR in a buffer without LF.
std::int64_t LineOfOffset(const Bytes& buffer, std::size_t offset) {
  const auto end = buffer.begin() + static_cast<std::ptrdiff_t>(offset);
  const bool has_lf = std::find(buffer.begin(), buffer.end(), '\n') != buffer.end();
  return 1 + std::count(buffer.begin(), end, has_lf ? '\n' : '\r');
}

// UTF-8 without its byte-order mark; invalid bytes dropped or replaced by U+FFFD.
ImportText ReadAsUTF8(const Bytes& buffer, bool replace_invalid) {
  ImportText result{TextEncoding::kUTF8, {}, {}, replace_invalid};
  result.text = DecodeUTF8(buffer, replace_invalid ? u"\uFFFD" : u"", &result.invalid);
  if (result.invalid.count > 0) {
    result.first_invalid_line = LineOfOffset(buffer, result.invalid.first_offset);
  }
  if (StartsWithByteOrderMark(buffer)) {
    result.text.erase(0, 1);  // the mark decodes to the single unit U+FEFF
  }
  return result;
}

ImportText ReadAs(TextEncoding encoding, const Bytes& buffer, const CodePage932& code_page) {
  switch (encoding) {
    case TextEncoding::kUTF8:
      return ReadAsUTF8(buffer, true);
    case TextEncoding::kISO2022JP:
      return {encoding, JISToString(buffer, code_page), {}};
    case TextEncoding::kEUCJP:
      return {encoding, EUCToString(buffer, code_page), {}};
    case TextEncoding::kShiftJIS:
    case TextEncoding::kBinary:
      break;
  }
  return {encoding, code_page.ToUtf16(buffer), {}};
}

}  // namespace

std::string InvalidBytesNote(std::size_t count, bool replaced, std::int64_t line) {
  if (count == 0) {
    return std::string();
  }
  return CountOf(static_cast<std::int64_t>(count), "byte", "bytes") + " that are not UTF-8 " +
         (replaced ? "replaced by U+FFFD" : "dropped") + "; the first on line " +
         std::to_string(line);
}

std::string InvalidBytesNote(const ImportText& text) {
  return InvalidBytesNote(text.invalid.count, text.invalid_replaced, text.first_invalid_line);
}

ImportText DecodeImportText(const Bytes& buffer, const CodePage932& code_page,
                            std::optional<TextEncoding> forced) {
  if (forced) {
    return ReadAs(*forced, buffer, code_page);
  }
  if (StartsWithByteOrderMark(buffer) || IsUTF8(buffer, static_cast<std::int32_t>(kUtf8Window)) ||
      IsDecodableUTF8(buffer)) {
    return ReadAsUTF8(buffer, false);
  }
  if (IsMostlyUTF8(buffer)) {
    return ReadAsUTF8(buffer, true);
  }
  switch (DetectKanjiCode(buffer)) {
    case kcJIS:
      return ReadAs(TextEncoding::kISO2022JP, buffer, code_page);
    case kcEUC:
      return ReadAs(TextEncoding::kEUCJP, buffer, code_page);
    case kcBinary:
      return ReadAs(TextEncoding::kBinary, buffer, code_page);
    case kcShiftJIS:
      break;
  }
  return ReadAs(TextEncoding::kShiftJIS, buffer, code_page);
}

}  // namespace sarnlink
