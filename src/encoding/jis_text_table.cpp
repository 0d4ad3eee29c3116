#include "encoding/jis_text_table.h"

#include <bit>

#include "encoding/kanji_code_convert.h"
#include "encoding/legacy_steps.h"
#include "encoding/pair_scan.h"

namespace sarnlink {
namespace {

// The one unit `bytes` give alone, or 0.
char16_t OneUnit(const CodePage932& code_page, const Bytes& bytes) {
  const std::u16string text = code_page.ToUtf16(bytes);
  return text.size() == 1 ? text[0] : char16_t{0};
}

}  // namespace

JisTextTable::JisTextTable(const CodePage932& code_page) {
  for (unsigned b = 0; b < 256; ++b) {
    // A lead byte alone gives U+FFFD here, but next to another byte it may start a pair: such
    // bytes are never plain singles.
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    singles_[b] = lead ? char16_t{0} : OneUnit(code_page, Bytes{static_cast<std::uint8_t>(b)});
    if (singles_[b] == 0xFFFD) {
      singles_[b] = 0;
    }
  }
  for (unsigned row = 0x21; row <= 0x7E; ++row) {
    for (unsigned cell = 0x21; cell <= 0x7E; ++cell) {
      unsigned s1 = 0;
      unsigned s2 = 0;
      RowCellToShiftJis(row, cell, s1, s2);
      const char16_t unit =
          OneUnit(code_page, Bytes{static_cast<std::uint8_t>(s1), static_cast<std::uint8_t>(s2)});
      jis_[row << 8 | cell] = unit == 0xFFFD ? char16_t{0} : unit;
      if (jis_[row << 8 | cell] != 0) {
        known_.Set(static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(cell));
      }
      euc_[(row | 0x80) << 8 | (cell | 0x80)] = jis_[row << 8 | cell];
    }
  }
  for (unsigned kana = 0xA1; kana <= 0xDF; ++kana) {
    euc_[0x8E << 8 | kana] = singles_[kana];
  }
  ascii_is_itself_ = true;
  for (unsigned b = 1; b < 0x80; ++b) {
    ascii_is_itself_ = ascii_is_itself_ && singles_[b] == b;
  }
}

const JisTextTable& JisTextTableFor(const CodePage932& code_page) {
  static const JisTextTable table(code_page);
  return table;
}

bool AppendPlainEucText(const std::uint8_t* in, std::size_t size, const JisTextTable& table,
                        std::u16string& out) {
  const std::size_t start = out.size();
  out.resize(start + size);  // one unit at most for each byte
  char16_t* o = out.data() + start;
  std::size_t p = 0;
  std::size_t i = 0;
  // Without branches on the bytes, which alternate between ASCII and pairs: both lookups are
  // made, and the first byte chooses.
  while (i + 1 < size) {
    const std::uint8_t x = in[i];
    const char16_t unit = x < 0x80 ? table.Single(x) : table.EucPair(x, in[i + 1]);
    if (unit == 0) {
      out.resize(start);
      return false;
    }
    o[p++] = unit;
    i += x < 0x80 ? 1 : 2;
  }
  if (i < size) {
    const char16_t unit = in[i] < 0x80 ? table.Single(in[i]) : char16_t{0};
    if (unit == 0) {
      out.resize(start);
      return false;
    }
    o[p++] = unit;
  }
  out.resize(start + p);
  return true;
}

// Every byte from 80 up leads a pair here, as AppendPlainEucText reads them: whole blocks are
// judged by masks (a zero byte that is no pair's second fails, each pair is looked up), the
// bytes after the last block a character at a time.
bool IsPlainEucText(const std::uint8_t* in, std::size_t size, const JisTextTable& table) {
  std::size_t i = 0;
  bool second = false;  // in[i] is the second byte of a pair already judged
  const bool vector = VectorMasks();
  for (; table.AsciiIsItself() && size - i > 64; i += 64) {  // a pair's second byte is there
    const std::uint64_t high = BytesInRange64(in + i, 0x80, 0xFF, vector);
    const std::uint64_t zeros = BytesInRange64(in + i, 0, 0, vector);
    const bool first_is_second = second;
    const std::uint64_t starts = PairStarts(high, second);
    if ((zeros & ~(starts << 1 | first_is_second)) != 0) {
      return false;  // U+0000 is no plain character
    }
    for (std::uint64_t pairs = starts; pairs != 0; pairs &= pairs - 1) {
      const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(pairs));
      if (table.EucPair(in[at], in[at + 1]) == 0) {
        return false;
      }
    }
  }
  i += second ? 1 : 0;
  while (i < size) {
    const std::uint8_t x = in[i];
    if (x < 0x80) {
      if (table.Single(x) == 0) {
        return false;
      }
      ++i;
      continue;
    }
    if (i + 1 == size || table.EucPair(x, in[i + 1]) == 0) {
      return false;
    }
    i += 2;
  }
  return true;
}

namespace {

// The text of one EUC-JP character of `length` bytes (EucCharacterLength), appended to `out`.
void AppendEucCharacter(const std::uint8_t* in, std::size_t length, const JisTextTable& table,
                        const CodePage932& code_page, std::u16string& out) {
  const std::uint8_t x = in[0];
  char16_t unit = 0;
  std::u16string other;  // a character of the platform's converter
  auto row_or_cell = [](std::uint8_t b) { return b >= 0xA1 && b <= 0xFE; };
  if (length == 1) {
    unit = x < 0x80 ? table.Single(x) : char16_t{0};
  } else if (length == 2) {
    unit = table.EucPair(x, in[1]);
    if (unit == 0 && row_or_cell(x) && row_or_cell(in[1])) {
      other = code_page.OtherSetCharacter(OtherCharacterSet::kEucJpMsTwoByte,
                                          static_cast<std::uint8_t>(x & 0x7F),
                                          static_cast<std::uint8_t>(in[1] & 0x7F));
    }
  } else if (row_or_cell(in[1]) && row_or_cell(in[2])) {
    other = code_page.OtherSetCharacter(OtherCharacterSet::kJisX0212,
                                        static_cast<std::uint8_t>(in[1] & 0x7F),
                                        static_cast<std::uint8_t>(in[2] & 0x7F));
  }
  if (unit != 0) {
    out += unit;
  } else if (!other.empty()) {
    out += other;
  } else {
    out += u'\uFFFD';
  }
}

}  // namespace

void AppendEucText(const std::uint8_t* in, std::size_t size, const JisTextTable& table,
                   const CodePage932& code_page, std::u16string& out) {
  if (AppendPlainEucText(in, size, table, out)) {
    return;  // plain characters only
  }
  out.reserve(out.size() + size);
  std::size_t i = 0;
  while (i < size) {
    const std::size_t length = EucCharacterLength(in + i, size - i, true);
    AppendEucCharacter(in + i, length, table, code_page, out);
    i += length;
  }
}

}  // namespace sarnlink
