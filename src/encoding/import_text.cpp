#include "encoding/import_text.h"

#include <algorithm>
#include <utility>

#include "common/text.h"
#include "encoding/kanji_code_convert.h"
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

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// The line (from 1) that unit `at` of `text` is on, counting LF, or CR in a text without LF.
std::int64_t LineOfUnit(std::u16string_view text, std::size_t at) {
  const bool has_lf = text.find(u'\n') != std::u16string_view::npos;
  const auto end = text.begin() + static_cast<std::ptrdiff_t>(at);
  return 1 + std::count(text.begin(), end, has_lf ? u'\n' : u'\r');
}

ImportText WithReplacements(TextEncoding encoding, std::u16string text, std::size_t count,
                            std::size_t first) {
  ImportText result{encoding, std::move(text), {}};
  result.replaced.count = count;
  if (count > 0) {
    result.replaced.first_line = LineOfUnit(result.text, first);
  }
  return result;
}

// UTF-8 without its byte-order mark; each invalid byte replaced by U+FFFD.
ImportText ReadAsUTF8(const Bytes& buffer) {
  const std::size_t mark = EncodingOfByteOrderMark(buffer) == TextEncoding::kUTF8 ? 3 : 0;
  const std::span<const std::uint8_t> bytes = std::span(buffer).subspan(mark);
  InvalidBytes invalid;
  std::u16string text = DecodeUTF8(bytes, u"\uFFFD", &invalid);
  const std::size_t first =
      invalid.count > 0 ? DecodeUTF8(bytes.first(invalid.first_offset), u"\uFFFD").size() : kNone;
  return WithReplacements(TextEncoding::kUTF8, std::move(text), invalid.count, first);
}

// UTF-16 without its byte-order mark; an unpaired surrogate, and an odd last byte, become
// U+FFFD.
ImportText ReadAsUTF16(const Bytes& buffer, TextEncoding encoding) {
  const bool big_endian = encoding == TextEncoding::kUTF16BE;
  const std::size_t mark = EncodingOfByteOrderMark(buffer) == encoding ? 2 : 0;
  std::u16string units;
  for (std::size_t i = mark; i + 1 < buffer.size(); i += 2) {
    units.push_back(big_endian ? static_cast<char16_t>(buffer[i] << 8 | buffer[i + 1])
                               : static_cast<char16_t>(buffer[i + 1] << 8 | buffer[i]));
  }
  std::u16string text;
  std::size_t count = 0;
  std::size_t first = kNone;
  auto replace = [&] {
    first = count++ == 0 ? text.size() : first;
    text.push_back(0xFFFD);
  };
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t u = units[i];
    const bool high = u >= 0xD800 && u <= 0xDBFF;
    const bool low = u >= 0xDC00 && u <= 0xDFFF;
    if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      text.push_back(u);
      text.push_back(units[++i]);
    } else if (high || low) {
      replace();
    } else {
      text.push_back(u);
    }
  }
  if ((buffer.size() - mark) % 2 != 0) {
    replace();
  }
  return WithReplacements(encoding, std::move(text), count, first);
}

// Through code page 932, which never gives U+FFFD for a character it knows.
ImportText ReadThroughCodePage932(TextEncoding encoding, std::u16string text) {
  const std::size_t first = text.find(u'\uFFFD');
  const std::size_t count =
      first == kNone ? 0
                     : static_cast<std::size_t>(std::count(text.begin(), text.end(), u'\uFFFD'));
  return WithReplacements(encoding, std::move(text), count, first);
}

ImportText ReadAs(TextEncoding encoding, const Bytes& buffer, const CodePage932& code_page) {
  switch (encoding) {
    case TextEncoding::kUTF8:
      return ReadAsUTF8(buffer);
    case TextEncoding::kUTF16LE:
    case TextEncoding::kUTF16BE:
      return ReadAsUTF16(buffer, encoding);
    case TextEncoding::kISO2022JP:
      return ReadThroughCodePage932(encoding, JISToString(buffer, code_page));
    case TextEncoding::kEUCJP:
      return ReadThroughCodePage932(encoding, EUCToString(buffer, code_page));
    case TextEncoding::kShiftJIS:
    case TextEncoding::kBinary:
      break;
  }
  return ReadThroughCodePage932(encoding, code_page.ToUtf16(buffer));
}

}  // namespace

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

ImportText DecodeImportText(const Bytes& buffer, const CodePage932& code_page,
                            std::optional<TextEncoding> forced) {
  if (forced) {
    return ReadAs(*forced, buffer, code_page);
  }
  if (const std::optional<TextEncoding> marked = EncodingOfByteOrderMark(buffer)) {
    return ReadAs(*marked, buffer, code_page);
  }
  if (IsUTF8(buffer, static_cast<std::int32_t>(kUtf8Window)) || IsDecodableUTF8(buffer) ||
      IsMostlyUTF8(buffer)) {
    return ReadAsUTF8(buffer);
  }
  KanjiDetector detector;
  detector.Feed(buffer.data(), buffer.size());
  EucJpShape shape;
  shape.Feed(buffer);
  switch (SecondReading(detector, shape)) {
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
