// The order of texts in the queries on a Jet diary: the SQLite diary's, which compares texts
// by code point (its UTF-8 bytes), so that both diaries list days, genres and runs alike. In
// UTF-16 that is code-unit order but for the surrogates, which stand for code points above
// every other unit.
#pragma once

#include <algorithm>
#include <string_view>

namespace sarnlink {

inline int CompareText(std::u16string_view a, std::u16string_view b) {
  const auto weight = [](char16_t unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) {
      return unit + 0x2000;
    }
    return unit >= 0xE000 ? unit - 0x800 : static_cast<int>(unit);
  };
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t k = 0; k < common; ++k) {
    if (a[k] != b[k]) {
      return weight(a[k]) < weight(b[k]) ? -1 : 1;
    }
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace sarnlink
