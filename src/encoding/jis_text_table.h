// Code page 932's text for every JIS X 0208 row and cell, and for every single byte, read once
// through the code page port. With it EUC-JP becomes text in one pass instead of going through
// Shift_JIS bytes first; where a character is not plain (an unmapped or incomplete one, a zero
// byte, a failure), the callers take the two-step road for that input, so the text is always
// exactly the two-step road's.
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

// EUC-JP without 00, 1B, 80 or 9B as text, appended to `out`; false (with `out` cut back) when
// some character is not plain: then EUCToString's road must be taken.
bool AppendPlainEucText(const std::uint8_t* in, std::size_t size, const JisTextTable& table,
                        std::u16string& out);

// Whether AppendPlainEucText would take every byte of `in`, without making the text.
bool IsPlainEucText(const std::uint8_t* in, std::size_t size, const JisTextTable& table);

// The same bytes as text whatever their characters, appended to `out` (by AppendPlainEucText
// where it can): a pair that code page 932 has no character for becomes one U+FFFD, and the pair
// after it is read as itself. Throws
// EUCToJIS's failures (a second byte below 80, a pair cut off by the end), `offset` being where
// `in` stands in the whole input.
void AppendEucText(const std::uint8_t* in, std::size_t size, std::size_t offset,
                   const JisTextTable& table, std::u16string& out);

}  // namespace sarnlink
