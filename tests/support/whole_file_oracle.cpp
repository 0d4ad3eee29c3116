#include "support/whole_file_oracle.h"

#include <algorithm>
#include <utility>

#include "common/errors.h"
#include "encoding/iso2022jp_decoder.h"
#include "encoding/jis_text_table.h"
#include "encoding/kanji_code_convert.h"
#include "encoding/legacy_steps.h"
#include "encoding/utf8.h"
#include "import/line_stream.h"

namespace sarnlink {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// Only sequences DecodeUTF8 decodes, and at least one of them multi-byte.
bool IsDecodableUTF8(const Bytes& buffer) {
  return FindInvalidUTF8(buffer, 0, true).count == 0 &&
         std::any_of(buffer.begin(), buffer.end(), [](std::uint8_t b) { return b >= 0x80; });
}

bool IsMostlyUTF8(const Bytes& buffer) {
  UTF8Survey survey(buffer.size());
  survey.Feed(buffer, true);
  return survey.MostlyUtf8();
}

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

// UTF-8 (or ASCII, read the same) without its byte-order mark; each invalid byte, and each zero
// byte, replaced by U+FFFD.
ImportText ReadAsUTF8(const Bytes& buffer, TextEncoding encoding = TextEncoding::kUTF8) {
  const std::size_t mark = EncodingOfByteOrderMark(buffer) == TextEncoding::kUTF8 ? 3 : 0;
  const std::span<const std::uint8_t> bytes = std::span(buffer).subspan(mark);
  InvalidBytes invalid;
  std::u16string text = DecodeUTF8(bytes, u"\uFFFD", &invalid);
  std::size_t first =
      invalid.count > 0 ? DecodeUTF8(bytes.first(invalid.first_offset), u"\uFFFD").size() : kNone;
  const std::size_t nuls = static_cast<std::size_t>(std::count(text.begin(), text.end(), u'\0'));
  first = std::min(first, text.find(u'\0'));
  std::replace(text.begin(), text.end(), u'\0', u'\uFFFD');
  return WithReplacements(encoding, std::move(text), invalid.count + nuls, first);
}

// UTF-16 without its byte-order mark; an unpaired surrogate, U+0000 and an odd last byte become
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
    } else if (high || low || u == 0) {
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

}  // namespace

std::u16string ReadEucJpPlainly(const Bytes& euc, const CodePage932& code_page) {
  auto within = [&euc](std::size_t k, unsigned low, unsigned high) {
    return k < euc.size() && euc[k] >= low && euc[k] <= high;
  };
  std::u16string text;
  std::size_t i = 0;
  while (i < euc.size()) {
    const std::uint8_t x = euc[i];
    std::u16string character;  // empty: no reading, U+FFFD
    std::size_t length = 1;
    if (x < 0x80) {
      if (x != 0) {
        character = code_page.ToUtf16(Bytes{x});
      }
    } else if (x == 0x8E && within(i + 1, 0xA1, 0xDF)) {
      character = code_page.ToUtf16(Bytes{euc[i + 1]});
      length = 2;
    } else if (x == 0x8F && within(i + 1, 0xA1, 0xFE) && within(i + 2, 0xA1, 0xFE)) {
      character = code_page.OtherSetCharacter(OtherCharacterSet::kJisX0212,
                                              static_cast<std::uint8_t>(euc[i + 1] - 0x80),
                                              static_cast<std::uint8_t>(euc[i + 2] - 0x80));
      length = 3;
    } else if (within(i, 0xA1, 0xFE) && within(i + 1, 0xA1, 0xFE)) {
      const auto row = static_cast<std::uint8_t>(x - 0x80);
      const auto cell = static_cast<std::uint8_t>(euc[i + 1] - 0x80);
      unsigned s1 = 0;
      unsigned s2 = 0;
      RowCellToShiftJis(row, cell, s1, s2);
      character =
          code_page.ToUtf16(Bytes{static_cast<std::uint8_t>(s1), static_cast<std::uint8_t>(s2)});
      if (character.size() != 1 || character[0] == u'\uFFFD') {
        character = code_page.OtherSetCharacter(OtherCharacterSet::kEucJpMsTwoByte, row, cell);
      }
      length = 2;
    } else if (x == 0x8E || x == 0x8F || within(i, 0xA1, 0xFE)) {
      // Broken: the lead takes the byte from 80 up after it (8F before A1-FE takes a third too),
      // never a byte below 80.
      if (within(i + 1, 0x80, 0xFF)) {
        length = x == 0x8F && within(i + 1, 0xA1, 0xFE) && within(i + 2, 0x80, 0xFF) ? 3 : 2;
      }
    }
    text += character.empty() ? std::u16string(1, u'\uFFFD') : character;
    i += length;
  }
  return text;
}

namespace {

// ISO-2022-JP through Shift_JIS (JISToString); a file JISToString refuses, which the import
// now reads with a U+FFFD for each broken piece, by the decoder over the whole buffer at once.
std::u16string ReadIso2022Jp(const Bytes& buffer, const CodePage932& code_page) {
  try {
    return JISToString(buffer, code_page);
  } catch (const Error& e) {
    if (e.kind() != ErrorKind::kConversion) {
      throw;
    }
  }
  Iso2022JpDecoder decoder(JisTextTableFor(code_page), code_page);
  std::u16string text;
  decoder.Decode(buffer.data(), buffer.size(), true, text);
  return text;
}

// Through code page 932, which never gives U+FFFD for a character it knows; U+0000 becomes U+FFFD.
ImportText ReadThroughCodePage932(TextEncoding encoding, std::u16string text) {
  std::replace(text.begin(), text.end(), u'\0', u'\uFFFD');
  const std::size_t first = text.find(u'\uFFFD');
  const std::size_t count =
      first == kNone ? 0
                     : static_cast<std::size_t>(std::count(text.begin(), text.end(), u'\uFFFD'));
  return WithReplacements(encoding, std::move(text), count, first);
}

ImportText ReadAs(TextEncoding encoding, const Bytes& buffer, const CodePage932& code_page) {
  switch (encoding) {
    case TextEncoding::kUTF8:
    case TextEncoding::kASCII:
      return ReadAsUTF8(buffer, encoding);
    case TextEncoding::kUTF16LE:
    case TextEncoding::kUTF16BE:
      return ReadAsUTF16(buffer, encoding);
    case TextEncoding::kISO2022JP:
      return ReadThroughCodePage932(encoding, ReadIso2022Jp(buffer, code_page));
    case TextEncoding::kEUCJP:
      return ReadThroughCodePage932(encoding, ReadEucJpPlainly(buffer, code_page));
    case TextEncoding::kShiftJIS:
    case TextEncoding::kBinary:
      break;
  }
  return ReadThroughCodePage932(encoding, code_page.ToUtf16(buffer));
}

}  // namespace

ImportText DecodeImportText(const Bytes& buffer, const CodePage932& code_page,
                            std::optional<TextEncoding> forced) {
  if (forced) {
    return ReadAs(*forced, buffer, code_page);
  }
  if (const std::optional<TextEncoding> marked = EncodingOfByteOrderMark(buffer)) {
    return ReadAs(*marked, buffer, code_page);
  }
  const std::span<const std::uint8_t> head =
      std::span(buffer).first(std::min(buffer.size(), kUtf8Window));
  if (const std::optional<TextEncoding> utf16 = Utf16ByItsZeros(head)) {
    return ReadAs(*utf16, buffer, code_page);
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
  const bool ascii =
      std::none_of(buffer.begin(), buffer.end(), [](std::uint8_t b) { return b >= 0x80; });
  return ReadAs(ascii ? TextEncoding::kASCII : TextEncoding::kShiftJIS, buffer, code_page);
}

std::vector<std::u16string> CutIntoLines(std::u16string text) {
  LineCount count;
  count.Feed(text);
  LineCutter cutter(count);
  std::vector<std::u16string> lines;
  auto keep = [&lines](std::u16string_view line) { lines.emplace_back(line); };
  cutter.Feed(text, keep);
  cutter.Finish(keep);
  return lines;
}

}  // namespace sarnlink
