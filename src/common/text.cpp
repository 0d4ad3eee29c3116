#include "common/text.h"

#include <limits>

namespace sarnlink {

std::u16string ReplaceAll(std::u16string_view text, std::u16string_view from,
                          std::u16string_view to) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t start = 0;
  while (true) {
    const std::size_t found = text.find(from, start);
    if (found == std::u16string_view::npos) {
      out.append(text.substr(start));
      return out;
    }
    out.append(text.substr(start, found - start));
    out.append(to);
    start = found + from.size();
  }
}

std::u16string_view TrimSpaces(std::u16string_view text) {
  const std::size_t first = text.find_first_not_of(u' ');
  if (first == std::u16string_view::npos) {
    return std::u16string_view();
  }
  const std::size_t last = text.find_last_not_of(u' ');
  return text.substr(first, last - first + 1);
}

std::optional<std::int64_t> ParseDecimal(std::u16string_view text) {
  std::u16string_view digits = TrimSpaces(text);
  bool negative = false;
  if (!digits.empty() && (digits[0] == u'+' || digits[0] == u'-')) {
    negative = digits[0] == u'-';
    digits.remove_prefix(1);
  }
  if (digits.empty() || digits.size() > 18) {
    return std::nullopt;
  }
  std::int64_t value = 0;
  for (char16_t c : digits) {
    if (c < u'0' || c > u'9') {
      return std::nullopt;
    }
    value = value * 10 + (c - u'0');
  }
  return negative ? -value : value;
}

std::string CountOf(std::int64_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

std::string CommaList(const std::vector<std::string>& items) {
  std::string list;
  for (const std::string& item : items) {
    list += (list.empty() ? "" : ", ") + item;
  }
  return list;
}

std::u16string DecimalText(std::int64_t number) {
  const std::string digits = std::to_string(number);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string_view Mid(std::u16string_view text, std::size_t position, std::size_t length) {
  if (position == 0 || position > text.size()) {
    return std::u16string_view();
  }
  return text.substr(position - 1, length);
}

}  // namespace sarnlink
