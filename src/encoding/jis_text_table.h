// Code page 932's text for every JIS X 0208 row and cell, and for every single byte, read once
// through the code page port. With it EUC-JP becomes text in one pass; where a character is not
// plain (a pair code page 932 has no character for, the 8F form, a zero byte, a broken
// character), the text is made a character at a time by EUC-JP's own rules (EucCharacterLength).
#pragma once

#include <cstdint>
#include <string>

#include "common/bytes.h"
#include "encoding/code_page_932.h"
#include "encoding/pair_scan.h"

namespace sarnlink {

class JisTextTable {
 public:
  explicit JisTextTable(const CodePage932& code_page);

  // The unit of row and cell bytes (21-7E each); 0 for any other two bytes, or when code page 932
  // gives no single unit for them.
  char16_t Pair(unsigned row, unsigned cell) const { return jis_[row << 8 | cell]; }
  // Whether Pair gives a unit, from a table small enough to stay in the nearest cache.
  bool Known(std::uint8_t row, std::uint8_t cell) const { return known_.Has(row, cell); }
  // The unit of two EUC-JP bytes: a JIS X 0208 pair (A1-FE each) or a half-width katakana
  // (8E, A1-DF); 0 for anything else.
  char16_t EucPair(unsigned first, unsigned second) const { return euc_[first << 8 | second]; }
  // The unit of a Shift_JIS byte that stands alone; 0 for a lead byte or no single unit.
  char16_t Single(std::uint8_t byte) const { return singles_[byte]; }
  // Every byte from 01 to 7F is its own character.
  bool AsciiIsItself() const { return ascii_is_itself_; }

 private:
  char16_t jis_[65536] = {};  // indexed by the two bytes, so that lookups need no range checks
  PairBits known_;            // the rows and cells whose jis_ is not 0
  char16_t euc_[65536] = {};
  char16_t singles_[256] = {};
  bool ascii_is_itself_ = false;
};

// The table for this process's code page (every port gives code page 932 the same way), built
// when first asked for.
const JisTextTable& JisTextTableFor(const CodePage932& code_page);

// EUC-JP as text, appended to `out`; false (with `out` cut back) when some character is not plain
// (a byte from 80 up is always taken as the first of a pair here): then AppendEucText must read
// the bytes a character at a time.
bool AppendPlainEucText(const std::uint8_t* in, std::size_t size, const JisTextTable& table,
                        std::u16string& out);

// Whether AppendPlainEucText would take every byte of `in`, without making the text.
bool IsPlainEucText(const std::uint8_t* in, std::size_t size, const JisTextTable& table);

// How many bytes the EUC-JP character at `in` takes, of the `available` there; 0 when that
// depends on bytes still to come, unless `at_end` says none will. A byte below 80 is always a
// character of its own, so a broken character never swallows ASCII: a lead byte (8E, 8F, A1-FE)
// followed by one stands alone; any other byte from 80 up stands alone; a lead followed by a
// byte from 80 up takes it, and 8F followed by A1-FE takes the third byte too, whatever they
// are.
inline std::size_t EucCharacterLength(const std::uint8_t* in, std::size_t available, bool at_end) {
  const std::uint8_t x = in[0];
  if (x != 0x8E && x != 0x8F && (x < 0xA1 || x == 0xFF)) {
    return 1;
  }
  if (available < 2) {
    return at_end ? 1 : 0;
  }
  if (in[1] < 0x80) {
    return 1;
  }
  if (x != 0x8F || in[1] < 0xA1 || in[1] == 0xFF) {
    return 2;
  }
  if (available < 3) {
    return at_end ? 2 : 0;
  }
  return in[2] < 0x80 ? 2 : 3;
}

// EUC-JP as text, appended to `out` (by AppendPlainEucText where it can), `in` ending where a
// character ends or at the end of the input. Never fails: a JIS X 0208 pair that code page 932
// has no character for, and the 8F form, become what the platform's converter makes of them
// (eucJP-ms's characters where it knows them); each character that has no reading, each broken
// one (EucCharacterLength) and each zero byte becomes one U+FFFD.
void AppendEucText(const std::uint8_t* in, std::size_t size, const JisTextTable& table,
                   const CodePage932& code_page, std::u16string& out);

}  // namespace sarnlink
