#include "encoding/import_text.h"

#include "common/text.h"
#include "encoding/utf8.h"

namespace sarnlink {

std::optional<TextEncoding> EncodingOfByteOrderMark(std::span<const std::uint8_t> bytes) {
  if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    return TextEncoding::kUTF8;
  }
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    return TextEncoding::kUTF16LE;
  }
  if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
    return TextEncoding::kUTF16BE;
  }
  return std::nullopt;
}

std::optional<TextEncoding> Utf16ByItsZeros(std::span<const std::uint8_t> head) {
  auto key_byte = [](std::uint8_t b) {
    return b == '\n' || b == '\r' || b == '\t' || b == ' ' || b == ':';
  };
  std::size_t little = 0;  // units of such a byte, then a zero byte
  std::size_t big = 0;     // units of a zero byte, then such a byte
  for (std::size_t i = 0; i + 1 < head.size(); i += 2) {
    little += key_byte(head[i]) && head[i + 1] == 0 ? 1 : 0;
    big += head[i] == 0 && key_byte(head[i + 1]) ? 1 : 0;
  }
  if (little >= kUtf16KeyUnits && little > 4 * big) {
    return TextEncoding::kUTF16LE;
  }
  if (big >= kUtf16KeyUnits && big > 4 * little) {
    return TextEncoding::kUTF16BE;
  }
  return std::nullopt;
}

std::size_t ByteOrderMarkLength(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUTF8:
      return 3;
    case TextEncoding::kUTF16LE:
    case TextEncoding::kUTF16BE:
      return 2;
    default:
      return 0;
  }
}

const char* TextEncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUTF8:
      return "UTF-8";
    case TextEncoding::kUTF16LE:
      return "UTF-16LE";
    case TextEncoding::kUTF16BE:
      return "UTF-16BE";
    case TextEncoding::kISO2022JP:
      return "ISO-2022-JP";
    case TextEncoding::kEUCJP:
      return "EUC-JP";
    case TextEncoding::kShiftJIS:
      return "Shift_JIS";
    case TextEncoding::kBinary:
      return "binary";
    case TextEncoding::kASCII:
      return "ASCII";
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
      {"utf-16le", TextEncoding::kUTF16LE},    {"utf16le", TextEncoding::kUTF16LE},
      {"utf-16be", TextEncoding::kUTF16BE},    {"utf16be", TextEncoding::kUTF16BE},
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

std::string ReplacementsNote(TextEncoding encoding, const Replacements& replaced) {
  if (replaced.count == 0) {
    return std::string();
  }
  const bool by_character =
      encoding == TextEncoding::kUTF16LE || encoding == TextEncoding::kUTF16BE ||
      encoding == TextEncoding::kEUCJP || encoding == TextEncoding::kISO2022JP;
  const char* name = encoding == TextEncoding::kBinary ? "Shift_JIS" : TextEncodingName(encoding);
  // A character of UTF-16, EUC-JP or ISO-2022-JP may be in its encoding and still have no
  // reading here (JIS X 0212, a lone surrogate); a byte of the others is simply not in it.
  const std::string what =
      by_character ? std::string(" that could not be read as ") + name
                   : std::string(" that ") + (replaced.count == 1 ? "is" : "are") + " not " + name;
  return CountOf(static_cast<std::int64_t>(replaced.count), by_character ? "character" : "byte",
                 by_character ? "characters" : "bytes") +
         what + " replaced by U+FFFD; the first on line " + std::to_string(replaced.first_line);
}

}  // namespace sarnlink
